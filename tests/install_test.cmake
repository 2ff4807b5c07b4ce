# What `cmake --install` gives a user, checked in a scratch prefix: the program, which solves an
# installed example, its manual page, which man renders without a warning, and its documents;
# never a test, the benchmark or the fuzzer.
# Usage: cmake -DBUILD_DIR=... -DSOURCE_DIR=... -DPREFIX=... -DBINDIR=... -DDOCDIR=...
#              -DMANDIR=... -DVERSION=... [-DRUNNER=EMULATOR...] -P install_test.cmake
file(REMOVE_RECURSE "${PREFIX}")
execute_process(COMMAND "${CMAKE_COMMAND}" --install "${BUILD_DIR}" --prefix "${PREFIX}"
    OUTPUT_QUIET RESULT_VARIABLE status)
if(NOT status EQUAL 0)
    message(FATAL_ERROR "cmake --install failed: ${status}")
endif()

file(GLOB examples RELATIVE "${SOURCE_DIR}" "${SOURCE_DIR}/examples/*")
set(man_page "${MANDIR}/man1/numplace.1.gz")
set(expected "${BINDIR}/numplace" "${man_page}" "${DOCDIR}/README.md" "${DOCDIR}/changelog.gz"
    "${DOCDIR}/copyright")
foreach(example IN LISTS examples)
    list(APPEND expected "${DOCDIR}/${example}")
endforeach()
file(GLOB_RECURSE installed RELATIVE "${PREFIX}" "${PREFIX}/*")
list(SORT expected)
list(SORT installed)
if(NOT installed STREQUAL expected)
    message(FATAL_ERROR "installed:\n  ${installed}\nexpected:\n  ${expected}")
endif()

# With no input of its own, a run at a terminal is the same as in CI. A program for another
# processor starts through RUNNER, the emulator.
execute_process(
    COMMAND ${RUNNER} "${PREFIX}/${BINDIR}/numplace" "${PREFIX}/${DOCDIR}/examples/classic.txt"
    INPUT_FILE /dev/null OUTPUT_VARIABLE output RESULT_VARIABLE status TIMEOUT 30)
string(FIND "${output}" "5 3 4 6 7 8 9 1 2 \n" solved)
if(NOT status STREQUAL "0" OR solved EQUAL -1)
    message(FATAL_ERROR "the installed numplace (exit ${status}) printed:\n${output}")
endif()

# The compressed files as Debian wants them, the same bytes from every build: gzip's flags byte
# (no name), time stamp and extra flags (best compression) at offsets 3 to 8.
foreach(compressed "${man_page}" "${DOCDIR}/changelog.gz")
    file(READ "${PREFIX}/${compressed}" header OFFSET 3 LIMIT 6 HEX)
    if(NOT header STREQUAL "000000000002")
        message(FATAL_ERROR "${compressed}: not gzip -9n (flags, time, extra flags: ${header})")
    endif()
endforeach()

# Each reads as its reader reads it, without a warning: how what it prints begins, and a part it
# must hold (the page's footer with the version, a signed entry).
set(readers
    "${man_page}|man --warnings -E UTF-8 -l|NUMPLACE(1) |\nnumplace ${VERSION} "
    "${DOCDIR}/changelog.gz|gzip -dc|numplace (${VERSION}|\n\n -- ")
foreach(reader IN LISTS readers)
    string(REPLACE "|" ";" reader "${reader}")
    list(GET reader 0 file)
    list(GET reader 1 command)
    list(GET reader 2 beginning)
    list(GET reader 3 part)
    separate_arguments(command)
    list(GET command 0 program)
    unset(found)
    find_program(found ${program} NO_CACHE)
    if(NOT found)
        message(STATUS "no ${program} here: ${file} is not read")
        continue()
    endif()
    execute_process(COMMAND ${CMAKE_COMMAND} -E env LC_ALL=C.UTF-8 MANWIDTH=80
        ${command} "${PREFIX}/${file}"
        OUTPUT_VARIABLE output ERROR_VARIABLE errors RESULT_VARIABLE status TIMEOUT 30)
    string(FIND "${output}" "${beginning}" at)
    string(FIND "${output}" "${part}" part_at)
    if(NOT status STREQUAL "0" OR NOT errors STREQUAL "" OR NOT at EQUAL 0 OR part_at EQUAL -1)
        list(JOIN command " " command)
        message(FATAL_ERROR "${command} ${file} (exit ${status}) said:\n${errors}\nand printed, "
            "not beginning with \"${beginning}\" or without \"${part}\":\n${output}")
    endif()
endforeach()
file(REMOVE_RECURSE "${PREFIX}")
