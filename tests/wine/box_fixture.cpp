// A stand-in for numplace with the same outward behaviour, so box_driver and the Wine set-up can
// be tested on their own: the program's own hidden window, three boxes shown as the program shows
// them, destruction, message loop.
// The command-line tail picks a fault for the driver to catch: "show" shows the main window,
// "stay" shows no box and never destroys the window, so the program never ends.
#include <windows.h>

#include <cstring>

#include "app/main_window.h"
#include "app/texts.h"
#include "platform/boundary.h"

namespace {

// A grid as the program renders it: LF line ends, a blank after every digit.
constexpr char kGridText[] =
    "5 3 4 6 7 8 9 1 2 \n6 7 2 1 9 5 3 4 8 \n1 9 8 3 4 2 5 6 7 \n"
    "8 5 9 7 6 1 4 2 3 \n4 2 6 8 5 3 7 9 1 \n7 1 3 9 2 4 8 5 6 \n"
    "9 6 1 5 3 7 2 8 4 \n2 8 7 4 1 9 6 3 5 \n3 4 5 2 8 6 1 7 9 \n";

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR tail, int) {
    if (!RegisterMainWindowClass(instance)) return 1;
    HWND window = CreateMainWindow();
    if (window == nullptr) return 1;
    if (std::strcmp(tail, "show") == 0) ShowWindow(window, SW_SHOWNORMAL);

    if (std::strcmp(tail, "stay") != 0) {
        ShowMessageBox(kGridText, kConfirmCaption);
        // Echoes the tail, so the tests see exactly what reached the program.
        ShowMessageBox(tail, kAnswerCaption);
        ShowMessageBox(kMissingFileText, nullptr);
        DestroyWindow(window);
    }
    return RunMessageLoop();
}
