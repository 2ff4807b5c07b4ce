// The start-up on Linux: what the Windows runtime does before WinMain, from argc and argv.
#include <cstdlib>
#include <cstring>

#include "platform/win32.h"

namespace {
HINSTANCE__ thisInstance;
}  // namespace

// The command-line tail is the arguments joined by single blanks, so `numplace my puzzle.txt`
// and `numplace "my puzzle.txt"` both name the file "my puzzle.txt". Built on the C heap, so the
// program needs no C++ runtime library.
int main(int argc, char** argv) {
    std::size_t size = 1;
    for (int i = 1; i < argc; ++i) size += std::strlen(argv[i]) + 1;
    char* const tail = static_cast<char*>(std::malloc(size));
    if (tail == nullptr) return 1;  // as a runtime that cannot start the program
    char* end = tail;
    for (int i = 1; i < argc; ++i) {
        if (i > 1) *end++ = ' ';
        const std::size_t length = std::strlen(argv[i]);
        std::memcpy(end, argv[i], length);
        end += length;
    }
    *end = '\0';
    const int code = WinMain(&thisInstance, nullptr, tail, SW_SHOWDEFAULT);
    std::free(tail);
    return code;
}
