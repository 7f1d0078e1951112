# Runs at install time, after the executable is installed: writes the desktop entry with the
# absolute path of the installed executable, so the entry is right for whatever prefix the
# install was given (`cmake --install ... --prefix P`), and links bin/taskwick to the
# executable. DESTDIR is honoured: the files go below it, while the entry names the path
# without it, where the program will run from. The manifest (install_manifest.txt) lists
# both files, as it lists those that CMake installs itself.
#
# Expects TASKWICK_DESKTOP_TEMPLATE (the .desktop.in) and TASKWICK_PROGRAM_DIR,
# TASKWICK_BIN_DIR and TASKWICK_APPLICATIONS_DIR (relative to the prefix) to be set by the
# install code.

get_filename_component(taskwick_prefix "${CMAKE_INSTALL_PREFIX}" ABSOLUTE)
set(taskwick_executable "${taskwick_prefix}/${TASKWICK_PROGRAM_DIR}/taskwick")

# A desktop entry has no way to name a control character (a line break, say) in Exec.
foreach(taskwick_code RANGE 1 31)
    string(ASCII ${taskwick_code} taskwick_control)
    string(FIND "${taskwick_executable}" "${taskwick_control}" taskwick_found)
    if(taskwick_found GREATER_EQUAL 0)
        message(FATAL_ERROR "The install path holds a control character, which a desktop "
            "entry cannot name: ${taskwick_executable}")
    endif()
endforeach()

# The Exec key: the path becomes one argument, in double quotes when it holds a character
# the key reserves, with ", `, $ and \ escaped inside the quotes; % is doubled (a field code
# otherwise). Then, as for every string value, each backslash is escaped once more.
set(taskwick_exec "${taskwick_executable}")
if(taskwick_exec MATCHES [=[[] "'\\><~|&;$*?#()`]]=])
    string(REPLACE [[\]] [[\\]] taskwick_exec "${taskwick_exec}")
    string(REPLACE [["]] [[\"]] taskwick_exec "${taskwick_exec}")
    string(REPLACE [[`]] [[\`]] taskwick_exec "${taskwick_exec}")
    string(REPLACE [[$]] [[\$]] taskwick_exec "${taskwick_exec}")
    set(taskwick_exec "\"${taskwick_exec}\"")
endif()
string(REPLACE "%" "%%" taskwick_exec "${taskwick_exec}")
string(REPLACE [[\]] [[\\]] TASKWICK_EXEC "${taskwick_exec}")
# TryExec is a plain string value: only the backslash is escaped.
string(REPLACE [[\]] [[\\]] TASKWICK_TRYEXEC "${taskwick_executable}")

file(READ "${TASKWICK_DESKTOP_TEMPLATE}" taskwick_template)
string(CONFIGURE "${taskwick_template}" taskwick_entry @ONLY)

set(taskwick_entry_dir "$ENV{DESTDIR}${taskwick_prefix}/${TASKWICK_APPLICATIONS_DIR}")
set(taskwick_entry_file "${taskwick_entry_dir}/taskwick.desktop")
message(STATUS "Installing: ${taskwick_entry_file}")
file(MAKE_DIRECTORY "${taskwick_entry_dir}")
file(WRITE "${taskwick_entry_file}" "${taskwick_entry}")
file(CHMOD "${taskwick_entry_file}" PERMISSIONS OWNER_READ OWNER_WRITE GROUP_READ WORLD_READ)
list(APPEND CMAKE_INSTALL_MANIFEST_FILES
    "${taskwick_prefix}/${TASKWICK_APPLICATIONS_DIR}/taskwick.desktop")

# The launcher: a relative symbolic link, so that it also points right inside a DESTDIR
# staging tree. A file already there is replaced. The program finds its folder through the
# link's target (applicationDirPath resolves links), so the list stays beside the executable.
set(taskwick_bin_dir "$ENV{DESTDIR}${taskwick_prefix}/${TASKWICK_BIN_DIR}")
file(RELATIVE_PATH taskwick_link_target "${taskwick_prefix}/${TASKWICK_BIN_DIR}"
    "${taskwick_executable}")
message(STATUS "Installing: ${taskwick_bin_dir}/taskwick -> ${taskwick_link_target}")
file(MAKE_DIRECTORY "${taskwick_bin_dir}")
file(CREATE_LINK "${taskwick_link_target}" "${taskwick_bin_dir}/taskwick" SYMBOLIC)
list(APPEND CMAKE_INSTALL_MANIFEST_FILES "${taskwick_prefix}/${TASKWICK_BIN_DIR}/taskwick")

message(STATUS "Taskwick keeps its task list in ${taskwick_prefix}/${TASKWICK_PROGRAM_DIR}/"
    "ToDoList.xml for users who may write to that folder, and in ~/.local/share/taskwick/ "
    "for every other user.")
