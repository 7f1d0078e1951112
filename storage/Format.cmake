# The file format alone (charsets, reader, element tree, writer): QtCore only. Included by
# storage/CMakeLists.txt and by the fuzzer's own project (fuzz/), which builds it with clang.
add_library(taskwick_storage_format STATIC
    ${CMAKE_CURRENT_LIST_DIR}/Charset.cpp ${CMAKE_CURRENT_LIST_DIR}/Charset.h
    ${CMAKE_CURRENT_LIST_DIR}/XmlReader.cpp ${CMAKE_CURRENT_LIST_DIR}/XmlReader.h
    ${CMAKE_CURRENT_LIST_DIR}/XmlTree.cpp ${CMAKE_CURRENT_LIST_DIR}/XmlTree.h
    ${CMAKE_CURRENT_LIST_DIR}/XmlWriter.cpp ${CMAKE_CURRENT_LIST_DIR}/XmlWriter.h
    ${CMAKE_CURRENT_LIST_DIR}/ToDoListData.h)
target_link_libraries(taskwick_storage_format PUBLIC Qt6::Core)
include(${CMAKE_CURRENT_LIST_DIR}/../cmake/LibraryHeaders.cmake)
taskwick_library_headers(taskwick_storage_format)
