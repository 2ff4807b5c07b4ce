// The hidden main window: the class record, the window, its procedure and the message loop.
#include "main_window.h"

#include "app/resource.h"
#include "app/texts.h"

namespace {

constexpr int kWindowWidth = 400;
constexpr int kWindowHeight = 300;

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

}  // namespace

bool RegisterMainWindowClass(HINSTANCE hInstance) {
    instance = hInstance;
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
    mainWindow = CreateWindowExA(0,                    // extended style
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
    return mainWindow;
}

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
