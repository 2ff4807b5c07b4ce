// user32 on Linux: window classes, hidden windows, the thread's message queue, and the message
// box shown in the terminal.
#include <iconv.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

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

// The characters of the program's own texts, so that showing them needs no iconv: loading its
// CP932 module takes longer than all the rest of a run.
struct KnownCharacter {
    unsigned char lead, trail;  // the two code page 932 bytes
    char utf8[4];
};

constexpr KnownCharacter kKnownCharacters[] = {
    {0x96, 0xE2, "\xE5\x95\x8F"},  // 問
    {0x91, 0xE8, "\xE9\xA1\x8C"},  // 題
    {0x8A, 0x6D, "\xE7\xA2\xBA"},  // 確
    {0x94, 0x46, "\xE8\xAA\x8D"},  // 認
    {0x89, 0xF1, "\xE5\x9B\x9E"},  // 回
    {0x93, 0x9A, "\xE7\xAD\x94"},  // 答
    {0x83, 0x74, "\xE3\x83\x95"},  // フ
    {0x83, 0x40, "\xE3\x82\xA1"},  // ァ
    {0x83, 0x43, "\xE3\x82\xA4"},  // イ
    {0x83, 0x8B, "\xE3\x83\xAB"},  // ル
    {0x82, 0xAA, "\xE3\x81\x8C"},  // が
    {0x82, 0xA0, "\xE3\x81\x82"},  // あ
    {0x82, 0xE8, "\xE3\x82\x8A"},  // り
    {0x82, 0xDC, "\xE3\x81\xBE"},  // ま
    {0x82, 0xB9, "\xE3\x81\x9B"},  // せ
    {0x82, 0xF1, "\xE3\x82\x93"},  // ん
    {0x81, 0x42, "\xE3\x80\x82"},  // 。
};

// Writes code page 932 text to stdout as UTF-8 through iconv; a byte that is not valid there
// shows as '?'.
void PrintThroughIconv(const char* text) {
    static const iconv_t cp932 = iconv_open("UTF-8", "CP932");
    if (cp932 == reinterpret_cast<iconv_t>(-1)) {
        std::fputs(text, stdout);
        return;
    }
    char* in = const_cast<char*>(text);
    std::size_t inLeft = std::strlen(text);
    while (inLeft > 0) {
        char chunk[256];
        char* out = chunk;
        std::size_t outLeft = sizeof chunk;
        const std::size_t result = iconv(cp932, &in, &inLeft, &out, &outLeft);
        std::fwrite(chunk, 1, sizeof chunk - outLeft, stdout);
        if (result == static_cast<std::size_t>(-1) && errno != E2BIG) {
            std::fputc('?', stdout);
            ++in;
            --inLeft;
            iconv(cp932, nullptr, nullptr, nullptr, nullptr);
        }
    }
}

// Writes code page 932 text to stdout as UTF-8: ASCII and the known characters directly, the
// rest from the first other byte on through iconv.
void PrintCp932(const char* text) {
    for (const char* at = text; *at != '\0';) {
        const auto lead = static_cast<unsigned char>(*at);
        if (lead < 0x80) {
            std::fputc(lead, stdout);
            ++at;
            continue;
        }
        const auto trail = static_cast<unsigned char>(at[1]);
        const KnownCharacter* known = nullptr;
        for (const KnownCharacter& c : kKnownCharacters) {
            if (c.lead == lead && c.trail == trail) known = &c;
        }
        if (known == nullptr) {
            PrintThroughIconv(at);
            return;
        }
        std::fputs(known->utf8, stdout);
        at += 2;
    }
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
        window.client = RECT{0, 0, nWidth > 0 ? nWidth : 0, nHeight > 0 ? nHeight : 0};
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
