// The entry routine and the hidden main window: read, confirm, solve, answer, then the message
// loop that the window's destruction ends.
#include "main_window.h"

#include "app/resource.h"
#include "app/texts.h"
#include "platform/boundary.h"
#include "puzzle_text/file_buffer.h"
#include "puzzle_text/grid_render.h"
#include "puzzle_text/puzzle_parser.h"
#include "solver/propagation.h"

namespace {

constexpr int kWindowWidth = 400;
constexpr int kWindowHeight = 300;
constexpr int kTextCapacity = 1024;
static_assert(kGridTextLength < kTextCapacity, "the display text keeps its terminating NUL");
static_assert(kTextCapacity <= kBoxTextCapacity, "a message box shows the whole display text");

HINSTANCE instance;
HWND mainWindow;
WNDCLASSEXA windowClass;

LRESULT OnDestroy() {
    PostQuitMessage(0);
    return 0;
}

LRESULT OnPaint() {
    PAINTSTRUCT paint = {};
    HDC dc = BeginPaint(mainWindow, &paint);
    RECT client = {};
    GetClientRect(mainWindow, &client);
    // A system colour index plus one stands for that colour's brush.
    FillRect(dc, &client, reinterpret_cast<HBRUSH>(static_cast<INT_PTR>(COLOR_WINDOWFRAME + 1)));
    EndPaint(mainWindow, &paint);
    return 0;
}

bool RegisterMainWindowClass() {
    windowClass.cbSize = sizeof windowClass;
    windowClass.style = CS_CLASSDC;
    windowClass.lpfnWndProc = MainWndProc;
    windowClass.hInstance = instance;
    windowClass.hIcon = LoadIconA(instance, MAKEINTRESOURCEA(IDI_NUMPLACE));
    windowClass.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    windowClass.lpszClassName = kWindowClassName;
    return RegisterClassExA(&windowClass) != 0;
}

HWND CreateMainWindow() {
    return CreateWindowExA(0,                    // extended style
                           kWindowClassName,     // class name
                           kWindowClassName,     // title
                           WS_OVERLAPPEDWINDOW,  // without WS_VISIBLE: never shown
                           CW_USEDEFAULT,        // x
                           CW_USEDEFAULT,        // y
                           kWindowWidth,         // width
                           kWindowHeight,        // height
                           nullptr,              // parent
                           nullptr,              // menu
                           instance,             // instance
                           nullptr);             // creation data
}

void ShowGrid(char (&text)[kTextCapacity], const char* caption) {
    RenderGrid(text);
    ShowMessageBox(text, caption);
}

// Runs until the quit message and returns its code. A queue that reports an error or can never
// receive another message ends the loop too, so the run cannot hang here.
int RunMessageLoop() {
    MSG message = {};
    for (;;) {
        if (PeekMessageA(&message, nullptr, 0, 0, PM_NOREMOVE)) {
            const BOOL result = GetMessageA(&message, nullptr, 0, 0);
            if (result == 0) return static_cast<int>(message.wParam);
            if (result == -1) return 0;
            TranslateMessage(&message);
            DispatchMessageA(&message);
        } else if (!WaitMessage()) {
            return 0;
        }
    }
}

}  // namespace

LRESULT CALLBACK MainWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_DESTROY:
            return OnDestroy();
        case WM_PAINT:
            return OnPaint();
        default:
            return DefWindowProcA(window, message, wParam, lParam);
    }
}

int WINAPI WinMain(HINSTANCE hInstance, HINSTANCE, LPSTR lpCmdLine, int) {
    instance = hInstance;
    if (!RegisterMainWindowClass()) return 0;
    mainWindow = CreateMainWindow();

    Grid reference;
    FileBuffer file;
    char text[kTextCapacity] = {};
    // The givens: the file the command line names, parsed, then shown for confirmation.
    const auto readAndConfirm = [&] {
        if (!file.LoadOpenFile(OpenCommandLineFile(lpCmdLine))) return false;
        char line[kLineCapacity];
        ParsePuzzle(file, line);
        ShowGrid(text, kConfirmCaption);
        return true;
    };
    if (SolvePuzzle(reference, readAndConfirm) < 0) {
        ShowMessageBox(kMissingFileText, nullptr);  // the system's caption for errors
        DestroyWindow(mainWindow);
        file.Release();
        return 0;
    }
    ShowGrid(text, kAnswerCaption);

    // Destroying the window posts the quit message that ends the loop; without a window nothing
    // would ever post it.
    const int exitCode = mainWindow != nullptr && DestroyWindow(mainWindow) ? RunMessageLoop() : 0;
    file.Release();
    return exitCode;
}
