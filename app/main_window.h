// The program's hidden main window: its class, its procedure and the message loop that its
// destruction ends. The run sequence itself is WinMain's (win_main.cpp).
#pragma once

#include "platform/win32.h"

// Registers the main window's class, with the program's icon, for instance. False when Windows
// refuses it: the run then ends before any window exists.
bool RegisterMainWindowClass(HINSTANCE instance);

// Creates the main window of that class, never shown, and keeps its handle for painting;
// nullptr when it cannot be created.
HWND CreateMainWindow();

// Destroying the main window posts the quit message that ends the run; painting fills the client
// area. Everything else goes to DefWindowProcA.
LRESULT CALLBACK MainWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// Runs until the quit message and returns its code. A queue that reports an error or can never
// receive another message ends the loop too, with 0, so the run cannot hang here.
int RunMessageLoop();
