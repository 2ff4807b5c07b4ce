# Cross-build for 32-bit Windows, the program as released, with MinGW-w64; the tests run under
# 32-bit Wine.
set(CMAKE_SYSTEM_PROCESSOR x86)
set(mingw_target i686-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-w64.cmake)
