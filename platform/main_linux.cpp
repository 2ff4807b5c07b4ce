// The start-up on Linux: what the Windows runtime does before WinMain, from argc and argv.
#include <csignal>
#include <cstdlib>
#include <cstring>

#include "platform/win32.h"

namespace {
HINSTANCE__ thisInstance;
char noTail[] = "";
}  // namespace

// The command-line tail is the arguments joined by single blanks, so `numplace my puzzle.txt`
// and `numplace "my puzzle.txt"` both name the file "my puzzle.txt". Built on the C heap, so the
// program needs no C++ runtime library.
int main(int argc, char** argv) {
    // A reader that has gone away makes a write fail, as any other failed write does, instead of
    // ending the program: the exit code stays 0 whoever reads the boxes.
    std::signal(SIGPIPE, SIG_IGN);
    std::size_t size = 1;
    for (int i = 1; i < argc; ++i) size += std::strlen(argv[i]) + 1;
    char* const tail = static_cast<char*>(std::malloc(size));
    if (tail == nullptr) {
        // No room for the path is no file to read: the program says so, as for a file it cannot
        // buffer, and ends with 0 like every other run.
        return WinMain(&thisInstance, nullptr, noTail, SW_SHOWDEFAULT);
    }
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
