# What `cmake --install` gives a user, checked in a scratch prefix: the program, which solves an
# installed example, and its documents; never a test, the benchmark or the fuzzer.
# Usage: cmake -DBUILD_DIR=... -DSOURCE_DIR=... -DPREFIX=... -DBINDIR=... -DDOCDIR=...
#              -P install_test.cmake
file(REMOVE_RECURSE "${PREFIX}")
execute_process(COMMAND "${CMAKE_COMMAND}" --install "${BUILD_DIR}" --prefix "${PREFIX}"
    OUTPUT_QUIET RESULT_VARIABLE status)
if(NOT status EQUAL 0)
    message(FATAL_ERROR "cmake --install failed: ${status}")
endif()

file(GLOB examples RELATIVE "${SOURCE_DIR}" "${SOURCE_DIR}/examples/*")
set(expected "${BINDIR}/numplace" "${DOCDIR}/README.md")
foreach(example IN LISTS examples)
    list(APPEND expected "${DOCDIR}/${example}")
endforeach()
file(GLOB_RECURSE installed RELATIVE "${PREFIX}" "${PREFIX}/*")
list(SORT expected)
list(SORT installed)
if(NOT installed STREQUAL expected)
    message(FATAL_ERROR "installed:\n  ${installed}\nexpected:\n  ${expected}")
endif()

# With no input of its own, a run at a terminal is the same as in CI.
execute_process(COMMAND "${PREFIX}/${BINDIR}/numplace" "${PREFIX}/${DOCDIR}/examples/classic.txt"
    INPUT_FILE /dev/null OUTPUT_VARIABLE output RESULT_VARIABLE status TIMEOUT 30)
string(FIND "${output}" "5 3 4 6 7 8 9 1 2 \n" solved)
if(NOT status STREQUAL "0" OR solved EQUAL -1)
    message(FATAL_ERROR "the installed numplace (exit ${status}) printed:\n${output}")
endif()
file(REMOVE_RECURSE "${PREFIX}")
