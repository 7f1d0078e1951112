# Runs inside CPack, after the install rules filled the package's tree and before the DEB is
# made (CPACK_PRE_BUILD_SCRIPTS): adds what only a Debian package carries (the copyright file,
# the Debian changelog compressed as Debian wants it, gzip -9n: no name, no time; lintian's
# overrides) and strips the executable as Debian strips, with the sections no program needs.
set(taskwick_root "${CPACK_TEMPORARY_INSTALL_DIRECTORY}/usr")

function(taskwick_run)
    execute_process(COMMAND ${ARGN} RESULT_VARIABLE result)
    if(NOT result EQUAL 0)
        message(FATAL_ERROR "${ARGN} failed: ${result}")
    endif()
endfunction()

set(taskwick_doc "${taskwick_root}/share/doc/taskwick")
file(MAKE_DIRECTORY "${taskwick_doc}")
file(COPY "${TASKWICK_DEBIAN_COPYRIGHT}" DESTINATION "${taskwick_doc}"
    FILE_PERMISSIONS OWNER_READ OWNER_WRITE GROUP_READ WORLD_READ)
execute_process(COMMAND gzip -9n -c "${TASKWICK_DEBIAN_CHANGELOG}"
    OUTPUT_FILE "${taskwick_doc}/changelog.gz" RESULT_VARIABLE taskwick_gzip)
if(NOT taskwick_gzip EQUAL 0)
    message(FATAL_ERROR "gzip of the changelog failed: ${taskwick_gzip}")
endif()
file(CHMOD "${taskwick_doc}/changelog.gz" PERMISSIONS OWNER_READ OWNER_WRITE GROUP_READ WORLD_READ)

set(taskwick_overrides "${taskwick_root}/share/lintian/overrides")
file(MAKE_DIRECTORY "${taskwick_overrides}")
file(COPY_FILE "${TASKWICK_DEBIAN_OVERRIDES}" "${taskwick_overrides}/taskwick")
file(CHMOD "${taskwick_overrides}/taskwick" PERMISSIONS OWNER_READ OWNER_WRITE GROUP_READ WORLD_READ)

taskwick_run("${TASKWICK_STRIP}" --remove-section=.comment --remove-section=.note
    --strip-unneeded "${taskwick_root}/${TASKWICK_PROGRAM}")
