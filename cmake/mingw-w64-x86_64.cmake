# Cross-build for 64-bit Windows with MinGW-w64: the same program and tests, run under 64-bit Wine
# on machines that run no 32-bit programs.
set(CMAKE_SYSTEM_PROCESSOR AMD64)
set(mingw_target x86_64-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-w64.cmake)
