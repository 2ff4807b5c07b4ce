// Drives a program's message boxes the way a user would, for the end-to-end tests under Wine:
// starts it, reads and records each box it shows, presses OK, and records how the program ends.
//
// Usage: box_driver SECONDS PROGRAM [TAIL]
//   Starts PROGRAM with the command-line tail TAIL (passed as it is: quotes and blanks included,
//   in UTF-16 throughout, so any character of a path arrives whatever the locale's code page) and
//   gives it SECONDS in all. Writes to standard output, one line each:
//     box caption=HEX text=HEX main_window=hidden|visible|missing   for every box, in order
//     main_window=visible                 once, when the main window is first seen shown
//     exit CODE                           the program's exit code, or
//     timeout                             it was still running when time ran out: it is killed
//   HEX is the texts' bytes in code page 932, under any locale, two lowercase digits each.
//   Exit status: 0 when the program ended in time, 1 on timeout, 2 when it could not start.
#include <fcntl.h>
#include <io.h>
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

constexpr char kMainClass[] = "Tavrin Game 01";
constexpr char kBoxClass[] = "#32770";  // the dialog class message boxes use
constexpr int kBoxTextId = 0xFFFF;      // the box's static text control
constexpr DWORD kPollMs = 20;

struct Search {
    DWORD process;
    HWND previousBox;  // the box just answered, possibly not yet gone
    HWND box;
    HWND mainWindow;
};

bool HasClass(HWND window, const char* name) {
    char className[64] = {};
    GetClassNameA(window, className, sizeof className);
    return std::string(className) == name;
}

BOOL CALLBACK Inspect(HWND window, LPARAM lParam) {
    Search& search = *reinterpret_cast<Search*>(lParam);
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    if (process != search.process) return TRUE;
    if (HasClass(window, kMainClass)) {
        search.mainWindow = window;
    } else if (search.box == nullptr && window != search.previousBox &&
               HasClass(window, kBoxClass) && IsWindowVisible(window)) {
        search.box = window;  // visible means its texts are set
    }
    return TRUE;
}

std::string Hex(const char* bytes) {
    static constexpr char kDigits[] = "0123456789abcdef";
    std::string hex;
    for (const char* p = bytes; *p != '\0'; ++p) {
        const auto byte = static_cast<unsigned char>(*p);
        hex += kDigits[byte >> 4];
        hex += kDigits[byte & 0xF];
    }
    return hex;
}

const char* Visibility(HWND mainWindow) {
    if (mainWindow == nullptr) return "missing";
    return IsWindowVisible(mainWindow) ? "visible" : "hidden";
}

void Emit(const std::string& line) {
    std::fwrite(line.data(), 1, line.size(), stdout);
    std::fputc('\n', stdout);
    std::fflush(stdout);
}

// The window's text as code page 932 bytes, whatever our own ANSI code page is: the program's
// bytes read right only if its code page was 932 when it passed them to the system.
std::string Cp932Text(HWND window) {
    wchar_t wide[4096] = {};
    GetWindowTextW(window, wide, sizeof wide / sizeof wide[0]);
    char bytes[8192] = {};
    WideCharToMultiByte(932, 0, wide, -1, bytes, sizeof bytes, nullptr, nullptr);
    return Hex(bytes);
}

// Records the box, then answers it with OK as a click on its button would.
void Answer(HWND box, HWND mainWindow) {
    Emit("box caption=" + Cp932Text(box) + " text=" + Cp932Text(GetDlgItem(box, kBoxTextId)) +
         " main_window=" + Visibility(mainWindow));
    PostMessageA(box,                                               // the dialog
                 WM_COMMAND,                                        // as from a control
                 MAKEWPARAM(IDOK, BN_CLICKED),                      // OK, clicked
                 reinterpret_cast<LPARAM>(GetDlgItem(box, IDOK)));  // the button
}

}  // namespace

// The wide entry point (linked with -municode): argv in the ANSI code page would have lost every
// character outside it before the program under test ever saw the tail.
int wmain(int argc, wchar_t** argv) {
    _setmode(_fileno(stdout), _O_BINARY);  // LF stays LF in the transcript
    if (argc < 3 || argc > 4 || _wtoi(argv[1]) <= 0) {
        std::fprintf(stderr, "usage: box_driver SECONDS PROGRAM [TAIL]\n");
        return 2;
    }
    const DWORD budgetMs = static_cast<DWORD>(_wtoi(argv[1])) * 1000;
    std::wstring commandLine = std::wstring(L"\"") + argv[2] + L"\"";
    if (argc == 4) commandLine += std::wstring(L" ") + argv[3];

    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION started{};
    if (!CreateProcessW(nullptr,             // program: first token of the command line
                        commandLine.data(),  // command line
                        nullptr,             // process security
                        nullptr,             // thread security
                        FALSE,               // inherit no handles
                        0,                   // creation flags
                        nullptr,             // our environment
                        nullptr,             // our directory
                        &startup,            // start-up information
                        &started)) {         // handles and ids
        std::fprintf(stderr, "box_driver: cannot start %ls (error %lu)\n", argv[2], GetLastError());
        return 2;
    }

    const DWORD start = GetTickCount();
    HWND previousBox = nullptr;
    bool reportedVisible = false;
    bool ended = false;
    while (GetTickCount() - start < budgetMs) {
        if (WaitForSingleObject(started.hProcess, 0) == WAIT_OBJECT_0) {
            ended = true;
            break;
        }
        Search search{started.dwProcessId, previousBox, nullptr, nullptr};
        EnumWindows(Inspect, reinterpret_cast<LPARAM>(&search));
        // Checked before the box, so a window shown before it is reported before it.
        if (!reportedVisible && search.mainWindow != nullptr &&
            IsWindowVisible(search.mainWindow)) {
            Emit("main_window=visible");
            reportedVisible = true;
        }
        if (search.box != nullptr) {
            Answer(search.box, search.mainWindow);
            previousBox = search.box;
        }
        Sleep(kPollMs);
    }
    if (!ended) ended = WaitForSingleObject(started.hProcess, 0) == WAIT_OBJECT_0;

    int status = 0;
    if (ended) {
        DWORD code = 0;
        GetExitCodeProcess(started.hProcess, &code);
        Emit("exit " + std::to_string(code));
    } else {
        TerminateProcess(started.hProcess, 1);
        WaitForSingleObject(started.hProcess, 5000);
        Emit("timeout");
        status = 1;
    }
    CloseHandle(started.hThread);
    CloseHandle(started.hProcess);
    return status;
}
