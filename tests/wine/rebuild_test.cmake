# Builds numplace.exe again in a folder of its own, later than the build under test, and expects
# the same bytes: no link time, no build folder in the program.
# Usage: cmake -DSOURCE_DIR=... -DBUILD_DIR=... -DGENERATOR=... -DMAKE_PROGRAM=... -DTOOLCHAIN=...
#              -DBUILD_TYPE=... -DEXPECTED=.../numplace.exe -P rebuild_test.cmake
file(REMOVE_RECURSE "${BUILD_DIR}")
execute_process(COMMAND "${CMAKE_COMMAND}" -S "${SOURCE_DIR}" -B "${BUILD_DIR}" -G "${GENERATOR}"
    "-DCMAKE_MAKE_PROGRAM=${MAKE_PROGRAM}" "-DCMAKE_TOOLCHAIN_FILE=${TOOLCHAIN}"
    "-DCMAKE_BUILD_TYPE=${BUILD_TYPE}" -DBUILD_TESTING=OFF
    OUTPUT_QUIET RESULT_VARIABLE status)
if(status EQUAL 0)
    execute_process(COMMAND "${CMAKE_COMMAND}" --build "${BUILD_DIR}" --target numplace
        OUTPUT_QUIET RESULT_VARIABLE status)
endif()
if(NOT status EQUAL 0)
    message(FATAL_ERROR "the second build failed: ${status}")
endif()

execute_process(COMMAND "${CMAKE_COMMAND}" -E compare_files "${EXPECTED}"
    "${BUILD_DIR}/app/numplace.exe" RESULT_VARIABLE differ)
if(NOT differ EQUAL 0)
    file(SIZE "${EXPECTED}" first)
    file(SIZE "${BUILD_DIR}/app/numplace.exe" second)
    message(FATAL_ERROR "two builds of numplace.exe differ (${first} and ${second} bytes): "
        "compare `i686-w64-mingw32-objdump -p` of ${EXPECTED} and ${BUILD_DIR}/app/numplace.exe")
endif()
file(REMOVE_RECURSE "${BUILD_DIR}")
