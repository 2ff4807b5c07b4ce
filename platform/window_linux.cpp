// user32 on Linux: window classes, hidden windows, the thread's message queue, and the message
// box shown in the terminal (its code page 932 text printed by cp932_terminal_linux.cpp).
#include <unistd.h>

#include <cstdio>
#include <cstring>

#include "platform/cp932_terminal.h"
#include "platform/win32.h"

namespace {

constexpr int kMaxClasses = 8;
constexpr int kMaxWindows = 8;
constexpr int kMaxClassName = 256;

struct WindowClass {
    char name[kMaxClassName];
    WNDPROC proc;
};

struct Window {
    HWND__ handle;  // its address is the HWND
    bool alive;
    WNDPROC proc;
    RECT client;
};

WindowClass classes[kMaxClasses];
int classCount;
Window windows[kMaxWindows];

// The thread's queue. Nothing here produces input, timers or messages from other threads, so
// the only message that can ever be queued is the quit message, held as a flag as Windows does.
thread_local bool quitPosted;
thread_local int quitCode;

const WindowClass* FindClass(LPCSTR name) {
    for (int i = 0; i < classCount; ++i) {
        if (std::strcmp(classes[i].name, name) == 0) return &classes[i];
    }
    return nullptr;
}

Window* Lookup(HWND hWnd) {
    for (Window& window : windows) {
        if (window.alive && &window.handle == hWnd) return &window;
    }
    return nullptr;
}

}  // namespace

ATOM WINAPI RegisterClassExA(const WNDCLASSEXA* lpwcx) {
    if (lpwcx == nullptr || lpwcx->cbSize != sizeof(WNDCLASSEXA) || lpwcx->lpfnWndProc == nullptr ||
        lpwcx->lpszClassName == nullptr || std::strlen(lpwcx->lpszClassName) >= kMaxClassName ||
        FindClass(lpwcx->lpszClassName) != nullptr || classCount == kMaxClasses) {
        return 0;
    }
    WindowClass& added = classes[classCount++];
    std::strcpy(added.name, lpwcx->lpszClassName);
    added.proc = lpwcx->lpfnWndProc;
    return static_cast<ATOM>(classCount);
}

HICON WINAPI LoadIconA(HINSTANCE, LPCSTR) {
    return nullptr;
}  // no resources outside Windows

HCURSOR WINAPI LoadCursorA(HINSTANCE, LPCSTR) {
    return nullptr;
}

HWND WINAPI CreateWindowExA(DWORD, LPCSTR lpClassName, LPCSTR, DWORD, int, int, int nWidth,
                            int nHeight, HWND, HMENU, HINSTANCE, LPVOID) {
    const WindowClass* windowClass = lpClassName ? FindClass(lpClassName) : nullptr;
    if (windowClass == nullptr) return nullptr;
    for (Window& window : windows) {
        if (window.alive) continue;
        window.alive = true;
        window.proc = windowClass->proc;
        window.client = RECT{0, 0, nWidth, nHeight};  // numplace asks for 400 by 300
        return &window.handle;
    }
    return nullptr;
}

BOOL WINAPI DestroyWindow(HWND hWnd) {
    Window* window = Lookup(hWnd);
    if (window == nullptr) return FALSE;
    window->proc(hWnd, WM_DESTROY, 0, 0);
    window->alive = false;
    return TRUE;
}

int WINAPI MessageBoxA(HWND, LPCSTR lpText, LPCSTR lpCaption, UINT) {
    std::fputc('[', stdout);
    PrintCp932(lpCaption ? lpCaption : "Error");
    std::fputs("]\n", stdout);
    const char* text = lpText ? lpText : "";
    PrintCp932(text);
    const std::size_t length = std::strlen(text);
    if (length == 0 || text[length - 1] != '\n') std::fputc('\n', stdout);

    // The OK button: at a terminal, wait for Enter; in a script or pipeline, go on at once. Only
    // when the terminal has both streams: with the output redirected the prompt would land in the
    // file and the user would wait at a blank screen.
    if (isatty(STDIN_FILENO) && isatty(STDOUT_FILENO)) {
        std::fputs("(press Enter) ", stdout);
        std::fflush(stdout);
        int c;
        do c = std::getchar();
        while (c != '\n' && c != EOF);
        // Ctrl-D closes the box as Enter does, but echoes no line end; and the next box waits
        // afresh, where the stream would otherwise stay at its end.
        if (c == EOF) std::fputc('\n', stdout);
        std::clearerr(stdin);
    }
    std::fflush(stdout);
    return IDOK;
}

void WINAPI PostQuitMessage(int nExitCode) {
    quitPosted = true;
    quitCode = nExitCode;
}

BOOL WINAPI PeekMessageA(LPMSG lpMsg, HWND, UINT, UINT, UINT wRemoveMsg) {
    if (!quitPosted) return FALSE;
    *lpMsg = MSG{};
    lpMsg->message = WM_QUIT;
    lpMsg->wParam = static_cast<WPARAM>(quitCode);
    if (wRemoveMsg != PM_NOREMOVE) quitPosted = false;
    return TRUE;
}

BOOL WINAPI GetMessageA(LPMSG lpMsg, HWND hWnd, UINT wMsgFilterMin, UINT wMsgFilterMax) {
    // An empty queue would wait forever: nothing else can post to this thread.
    if (!PeekMessageA(lpMsg, hWnd, wMsgFilterMin, wMsgFilterMax, PM_NOREMOVE)) return -1;
    quitPosted = false;
    return lpMsg->message == WM_QUIT ? FALSE : TRUE;
}

BOOL WINAPI TranslateMessage(const MSG*) {
    return FALSE;
}  // no keyboard input to translate

LRESULT WINAPI DispatchMessageA(const MSG* lpMsg) {
    const Window* window = Lookup(lpMsg->hwnd);
    return window ? window->proc(lpMsg->hwnd, lpMsg->message, lpMsg->wParam, lpMsg->lParam) : 0;
}

// Fails rather than sleeping forever when the queue is empty, for the same reason as GetMessageA.
BOOL WINAPI WaitMessage() {
    return quitPosted ? TRUE : FALSE;
}

LRESULT WINAPI DefWindowProcA(HWND, UINT, WPARAM, LPARAM) {
    return 0;
}

HDC WINAPI BeginPaint(HWND hWnd, LPPAINTSTRUCT lpPaint) {
    *lpPaint = PAINTSTRUCT{};
    if (const Window* window = Lookup(hWnd)) lpPaint->rcPaint = window->client;
    return nullptr;  // no device to draw on
}

BOOL WINAPI GetClientRect(HWND hWnd, LPRECT lpRect) {
    const Window* window = Lookup(hWnd);
    if (window == nullptr) return FALSE;
    *lpRect = window->client;
    return TRUE;
}

int WINAPI FillRect(HDC, const RECT*, HBRUSH) {
    return 0;
}

BOOL WINAPI EndPaint(HWND, const PAINTSTRUCT*) {
    return TRUE;
}
