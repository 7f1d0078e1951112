# cmake -DSEEDS=dir -DDICT=file -DARTIFACTS=dir -P run_fuzzer.cmake
set(binary "$ENV{FUZZ_BINARY}")
if(binary STREQUAL "" OR NOT EXISTS "${binary}")
    message("SKIPPED: no fuzzer binary (FUZZ_BINARY='${binary}'); build it with scripts/build-fuzzer.sh")
    return()
endif()
set(seconds "$ENV{FUZZ_SECONDS}")
if(NOT seconds MATCHES "^[0-9]+$")
    set(seconds 60)
endif()

# The fuzzer adds what it finds to the corpus folder, so it works on a copy.
string(RANDOM LENGTH 12 suffix)
set(work "$ENV{TMPDIR}")
if(work STREQUAL "")
    set(work "/tmp")
endif()
set(work "${work}/taskwick-fuzz-${suffix}")
file(MAKE_DIRECTORY "${work}/corpus" "${ARTIFACTS}")
file(COPY "${SEEDS}/" DESTINATION "${work}/corpus")

message("Fuzzing ${binary} for ${seconds} s; crash inputs go to ${ARTIFACTS}/")
execute_process(
    COMMAND "${binary}" -max_total_time=${seconds} -timeout=10 -rss_limit_mb=2560 -max_len=16384
            -dict=${DICT} -artifact_prefix=${ARTIFACTS}/ -print_final_stats=1 "${work}/corpus"
    WORKING_DIRECTORY "${work}"
    RESULT_VARIABLE result)
file(REMOVE_RECURSE "${work}")
if(NOT result EQUAL 0)
    message(FATAL_ERROR "the fuzzer failed (${result}); see the crash input in ${ARTIFACTS}/")
endif()
