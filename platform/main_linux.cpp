// The start-up on Linux: what the Windows runtime does before WinMain, from argc and argv.
#include <string>

#include "platform/win32.h"

namespace {
HINSTANCE__ thisInstance;
}  // namespace

// The command-line tail is the arguments joined by single blanks, so `numplace my puzzle.txt`
// and `numplace "my puzzle.txt"` both name the file "my puzzle.txt".
int main(int argc, char** argv) {
    std::string tail;
    for (int i = 1; i < argc; ++i) {
        if (i > 1) tail += ' ';
        tail += argv[i];
    }
    return WinMain(&thisInstance, nullptr, tail.data(), SW_SHOWDEFAULT);
}
