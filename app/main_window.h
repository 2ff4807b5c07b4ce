// The program's entry routine and its hidden main window.
#pragma once

#include "platform/win32.h"

// Destroying the main window posts the quit message that ends the run; painting fills the client
// area. Everything else goes to DefWindowProcA.
LRESULT CALLBACK MainWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// WinMain (declared by the platform header) runs the whole job: read the puzzle named by the
// command-line tail, show it, solve it, show the answer, and end with exit code 0.
