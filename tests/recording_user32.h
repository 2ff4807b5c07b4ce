// A stand-in for user32 that records what the entry routine asks of it, for tests that run
// WinMain in-process. Replaces the real window layer at link time.
#pragma once

#include <string>
#include <vector>

#include "platform/win32.h"

struct RecordedBox {
    HWND owner;
    std::string text;
    bool hasCaption;
    std::string caption;
    UINT type;
};

struct RecordedWindow {
    DWORD exStyle;
    std::string className;
    std::string title;
    DWORD style;
    int x, y, width, height;
    HWND parent;
    HMENU menu;
    HINSTANCE instance;
    LPVOID param;
};

struct User32Record {
    // Knobs, set before WinMain runs.
    bool failRegisterClass = false;
    bool failCreateWindow = false;
    bool failMessageBox = false;     // returns 0 at once
    bool failDestroyWindow = false;  // FALSE, and no WM_DESTROY
    bool failGetMessage = false;     // -1, though the quit message waits
    bool quitAfterWait = false;      // the quit message shows only once WaitMessage has waited
    bool failWaitMessage = false;    // FALSE, without waiting

    // What happened.
    std::vector<std::string> calls;  // the calls that shape the run, in order
    WNDCLASSEXA windowClass = {};
    std::string className;
    std::vector<RecordedWindow> windows;
    std::vector<RecordedBox> boxes;
};

// Forgets everything recorded and every knob.
User32Record& ResetUser32();
User32Record& RecordedUser32();
