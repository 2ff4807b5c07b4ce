# Build for 32-bit x86 Linux on a 64-bit one with g++-multilib, with the code generation of the
# 32-bit program users download (SSE2, floating point in SSE registers): its code, run natively
# where the kernel runs 32-bit programs. As for any other target, GoogleTest is built from source.
set(CMAKE_SYSTEM_NAME Linux)
set(CMAKE_SYSTEM_PROCESSOR i686)
set(CMAKE_C_COMPILER gcc)
set(CMAKE_CXX_COMPILER g++)
set(CMAKE_C_FLAGS_INIT "-m32 -msse2 -mfpmath=sse")
set(CMAKE_CXX_FLAGS_INIT "-m32 -msse2 -mfpmath=sse")
