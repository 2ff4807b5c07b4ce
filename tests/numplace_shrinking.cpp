// numplace_shrinking: numplace whose puzzle file shrinks between sizing and reading. The scripted
// file layer reports the named file's full size but delivers only its first half. Test-only.
#include <fstream>
#include <iterator>
#include <string>
#include <utility>

#include "platform/win32.h"
#include "scripted_file_platform.h"

namespace {
HINSTANCE__ thisInstance;
}  // namespace

// Usage: numplace_shrinking <puzzle file>; the path is also the command-line tail WinMain sees.
int main(int argc, char** argv) {
    if (argc != 2) return 2;
    std::ifstream file(argv[1], std::ios::binary);
    std::string bytes{std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
    FileScript script;
    script.size = bytes.size();
    bytes.resize(bytes.size() / 2);
    script.content = std::move(bytes);
    ScriptFile(std::move(script));
    return WinMain(&thisInstance, nullptr, argv[1], SW_SHOWDEFAULT);
}
