// Records the user32 calls of a run; one window at most, and a queue that holds the quit message.
#include "recording_user32.h"

namespace {

User32Record record;
HWND__ theWindow;
bool windowAlive;
bool quitPosted;
int quitCode;
bool waited;
int loopCalls;

// A message loop that outlives this many calls is spinning: it is told the quit message has
// come, so the test ends and shows the calls.
constexpr int kLoopCallLimit = 100;

bool Spinning() {
    if (++loopCalls == kLoopCallLimit) record.calls.push_back("still looping");
    return loopCalls >= kLoopCallLimit;
}

}  // namespace

User32Record& ResetUser32() {
    record = User32Record{};
    windowAlive = false;
    quitPosted = false;
    quitCode = 0;
    waited = false;
    loopCalls = 0;
    return record;
}

User32Record& RecordedUser32() {
    return record;
}

ATOM WINAPI RegisterClassExA(const WNDCLASSEXA* lpwcx) {
    record.calls.push_back("RegisterClassExA");
    record.windowClass = *lpwcx;
    record.className = lpwcx->lpszClassName ? lpwcx->lpszClassName : "";
    return record.failRegisterClass ? 0 : 1;
}

HICON WINAPI LoadIconA(HINSTANCE, LPCSTR) {
    return nullptr;
}
HCURSOR WINAPI LoadCursorA(HINSTANCE, LPCSTR) {
    return nullptr;
}

HWND WINAPI CreateWindowExA(DWORD dwExStyle, LPCSTR lpClassName, LPCSTR lpWindowName, DWORD dwStyle,
                            int X, int Y, int nWidth, int nHeight, HWND hWndParent, HMENU hMenu,
                            HINSTANCE hInstance, LPVOID lpParam) {
    record.calls.push_back("CreateWindowExA");
    record.windows.push_back(RecordedWindow{dwExStyle, lpClassName, lpWindowName, dwStyle, X, Y,
                                            nWidth, nHeight, hWndParent, hMenu, hInstance,
                                            lpParam});
    if (record.failCreateWindow) return nullptr;
    windowAlive = true;
    return &theWindow;
}

BOOL WINAPI DestroyWindow(HWND hWnd) {
    record.calls.push_back("DestroyWindow");
    if (hWnd != &theWindow || !windowAlive || record.failDestroyWindow) return FALSE;
    record.windowClass.lpfnWndProc(hWnd, WM_DESTROY, 0, 0);
    windowAlive = false;
    return TRUE;
}

int WINAPI MessageBoxA(HWND hWnd, LPCSTR lpText, LPCSTR lpCaption, UINT uType) {
    record.calls.push_back("MessageBoxA");
    record.boxes.push_back(
        RecordedBox{hWnd, lpText, lpCaption != nullptr, lpCaption ? lpCaption : "", uType});
    return record.failMessageBox ? 0 : IDOK;
}

void WINAPI PostQuitMessage(int nExitCode) {
    record.calls.push_back("PostQuitMessage " + std::to_string(nExitCode));
    quitPosted = true;
    quitCode = nExitCode;
}

BOOL WINAPI PeekMessageA(LPMSG lpMsg, HWND, UINT, UINT, UINT) {
    const bool shown = quitPosted && (waited || !record.quitAfterWait);
    if (!shown && !Spinning()) return FALSE;
    *lpMsg = MSG{nullptr, WM_QUIT, static_cast<WPARAM>(quitCode), 0, 0, {}};
    return TRUE;
}

BOOL WINAPI GetMessageA(LPMSG lpMsg, HWND hWnd, UINT min, UINT max) {
    if ((record.failGetMessage && !Spinning()) ||
        !PeekMessageA(lpMsg, hWnd, min, max, PM_NOREMOVE)) {
        record.calls.push_back("GetMessageA -1");
        return -1;
    }
    record.calls.push_back("GetMessageA WM_QUIT");
    quitPosted = false;
    return FALSE;
}

BOOL WINAPI TranslateMessage(const MSG*) {
    return FALSE;
}
LRESULT WINAPI DispatchMessageA(const MSG*) {
    return 0;
}

BOOL WINAPI WaitMessage() {
    record.calls.push_back("WaitMessage");
    if (record.failWaitMessage) return FALSE;
    waited = true;
    return TRUE;
}

// The default procedure's result is one no handler of ours returns, so it shows who answered.
LRESULT WINAPI DefWindowProcA(HWND, UINT, WPARAM, LPARAM) {
    record.calls.push_back("DefWindowProcA");
    return 42;
}
HDC WINAPI BeginPaint(HWND, LPPAINTSTRUCT) {
    record.calls.push_back("BeginPaint");
    return nullptr;
}
BOOL WINAPI GetClientRect(HWND, LPRECT) {
    record.calls.push_back("GetClientRect");
    return FALSE;
}
int WINAPI FillRect(HDC, const RECT*, HBRUSH hbr) {
    record.calls.push_back("FillRect " + std::to_string(reinterpret_cast<INT_PTR>(hbr)));
    return 0;
}
BOOL WINAPI EndPaint(HWND, const PAINTSTRUCT*) {
    record.calls.push_back("EndPaint");
    return TRUE;
}
