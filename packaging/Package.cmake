# The Debian package, `make deb`: CPack's DEB generator over the install rules of this folder,
# run in the build tree of `make build`, so the package costs no second compile. The program
# goes to /usr/lib/taskwick/taskwick with the command /usr/bin/taskwick; a user cannot write
# there, so the program keeps each user's list in ~/.local/share/taskwick/. dpkg-shlibdeps
# derives the dependencies from the libraries the executable links.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME taskwick)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "The Taskwick developers")
set(CPACK_PACKAGE_CONTACT "The Taskwick developers <bugs@taskwick.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "small to-do list that stays on top of the desktop")
# The long description below the summary; CPack indents it and marks the empty line.
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION [=[Taskwick shows one borderless window that stays on top of the other windows and
holds an editable table of tasks, framed by pictures. Click a cell and type;
every change is saved on its own a moment later. The window folds into a
narrow red bar at the edge of the screen with one click and hides in the
system tray; skins dress its frame.

Each user's task list is kept in ~/.local/share/taskwick/ToDoList.xml.]=])
set(CPACK_DEBIAN_PACKAGE_SECTION misc)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "https://taskwick.example.com/")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)  # taskwick_<version>_<arch>.deb
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# The table's font is Tahoma: fonts-wine has a metric-compatible one. A German program shows
# the toolkit's own texts (Yes, No ...) in German from Qt's translations.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "fonts-wine")
if(TASKWICK_LANGUAGE STREQUAL "German")
    string(APPEND CPACK_DEBIAN_PACKAGE_RECOMMENDS ", qt6-translations-l10n")
endif()
set(CPACK_DEBIAN_COMPRESSION_TYPE xz)
# The install rules see the real prefix (/usr) and install below DESTDIR, so that the menu
# entry names /usr/lib/taskwick/taskwick rather than the staging folder.
set(CPACK_SET_DESTDIR ON)
set(CPACK_INSTALL_PREFIX /usr)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
# The executable is stripped by debian/DebianDocs.cmake, as Debian strips: with the
# sections no program needs (.comment, .note).
set(CPACK_THREADS 2)
set(CPACK_PRE_BUILD_SCRIPTS ${CMAKE_CURRENT_SOURCE_DIR}/debian/DebianDocs.cmake)
configure_file(debian/changelog.in ${CMAKE_CURRENT_BINARY_DIR}/debian/changelog @ONLY)
set(TASKWICK_DEBIAN_COPYRIGHT ${CMAKE_CURRENT_SOURCE_DIR}/debian/copyright)
set(TASKWICK_DEBIAN_CHANGELOG ${CMAKE_CURRENT_BINARY_DIR}/debian/changelog)
set(CPACK_PROJECT_CONFIG_FILE ${CMAKE_CURRENT_BINARY_DIR}/CPackProjectConfig.cmake)
file(WRITE ${CPACK_PROJECT_CONFIG_FILE}
    "set(TASKWICK_DEBIAN_COPYRIGHT [==[${TASKWICK_DEBIAN_COPYRIGHT}]==])\n"
    "set(TASKWICK_DEBIAN_CHANGELOG [==[${TASKWICK_DEBIAN_CHANGELOG}]==])\n"
    "set(TASKWICK_DEBIAN_OVERRIDES [==[${CMAKE_CURRENT_SOURCE_DIR}/debian/lintian-overrides]==])\n"
    "set(TASKWICK_STRIP [==[${CMAKE_STRIP}]==])\n"
    "set(TASKWICK_PROGRAM [==[${TASKWICK_INSTALL_PROGRAM_DIR}/taskwick]==])\n")
include(CPack)
