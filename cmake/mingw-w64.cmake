# What the two MinGW-w64 toolchain files share: the posix-thread flavour of the compilers (the C++
# runtime of the win32 flavour has no std::mutex), the target's own headers and libraries only,
# and Wine to run what the build makes. The including file names the target in mingw_target.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_C_COMPILER ${mingw_target}-gcc-posix)
set(CMAKE_CXX_COMPILER ${mingw_target}-g++-posix)
set(CMAKE_RC_COMPILER ${mingw_target}-windres)
set(CMAKE_FIND_ROOT_PATH /usr/${mingw_target})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
# scripts/with-wine.sh puts a `wine` first on the PATH that starts the loader of its prefix's
# architecture.
set(CMAKE_CROSSCOMPILING_EMULATOR wine)
