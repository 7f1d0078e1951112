# taskwick_library_headers(target): shows the headers among the target's sources to the target
# itself and to every target that links it, and to no other.
#
# Every include names a header by its path from the source root ("storage/ListFile.h"), but the
# root itself is on no include path. Instead each library gets a folder of its own in the build
# tree, <build>/include/<target>, holding a symbolic link to each of its headers under that
# path, and adds it to its PUBLIC include folders. A target therefore finds the headers of the
# libraries it links, directly or through a PUBLIC link, and a header of any other library is
# "file not found": a missing link, or a PRIVATE link that a public header needs, fails the
# build instead of building by chance. Libraries that share a source folder (storage and its
# format, platform and its matching rules) stay apart, since the links are made per header.
include_guard(GLOBAL)

# The source root: the folder above this file's, also when the fuzzer's own project includes it.
cmake_path(GET CMAKE_CURRENT_LIST_DIR PARENT_PATH TASKWICK_SOURCE_ROOT)

function(taskwick_library_headers target)
    set(staging ${CMAKE_BINARY_DIR}/include/${target})
    file(REMOVE_RECURSE ${staging})
    get_target_property(sources ${target} SOURCES)
    get_target_property(folder ${target} SOURCE_DIR)
    foreach(source IN LISTS sources)
        if(NOT source MATCHES "\\.h$")
            continue()
        endif()
        cmake_path(ABSOLUTE_PATH source BASE_DIRECTORY ${folder} NORMALIZE)
        cmake_path(RELATIVE_PATH source BASE_DIRECTORY ${TASKWICK_SOURCE_ROOT}
            OUTPUT_VARIABLE path)
        if(path MATCHES "^\\.\\./")
            message(FATAL_ERROR "${target}: ${source} lies outside the source tree")
        endif()
        cmake_path(GET path PARENT_PATH parent)
        file(MAKE_DIRECTORY ${staging}/${parent})
        file(CREATE_LINK ${source} ${staging}/${path} SYMBOLIC)
    endforeach()
    target_include_directories(${target} PUBLIC $<BUILD_INTERFACE:${staging}>)
endfunction()
