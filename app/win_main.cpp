// The entry routine: the whole run, in its fixed order, from the hidden window to the exit code.
#include "app/main_window.h"
#include "app/texts.h"
#include "platform/boundary.h"
#include "puzzle_text/file_buffer.h"
#include "puzzle_text/grid_render.h"
#include "puzzle_text/puzzle_parser.h"
#include "solver/propagation.h"

namespace {

constexpr int kTextCapacity = 1024;
static_assert(kGridTextLength < kTextCapacity, "the display text keeps its terminating NUL");
static_assert(kTextCapacity <= kBoxTextCapacity, "a message box shows the whole display text");

void ShowGrid(char (&text)[kTextCapacity], const char* caption) {
    RenderGrid(text);
    ShowMessageBox(text, caption);
}

}  // namespace

// Reads the puzzle that the command-line tail names, shows it, solves it, shows the answer, and
// ends with exit code 0, also when the file cannot be read.
int WINAPI WinMain(HINSTANCE hInstance, HINSTANCE, LPSTR lpCmdLine, int) {
    if (!RegisterMainWindowClass(hInstance)) return 0;
    HWND mainWindow = CreateMainWindow();

    ResetGrid();
    Grid reference;  // the blank grid: the solving loop's first snapshot
    TakeSnapshot(reference);

    FileBuffer file;
    if (!file.LoadOpenFile(OpenCommandLineFile(lpCmdLine))) {
        ShowMessageBox(kMissingFileText, nullptr);  // the system's caption for errors
        DestroyWindow(mainWindow);
        file.Release();
        return 0;
    }
    char line[kLineCapacity];
    ParsePuzzle(file, line);

    char text[kTextCapacity] = {};  // zero-filled once: each rendering leaves its NUL in place
    ShowGrid(text, kConfirmCaption);
    SolveUntilStable(reference);
    ShowGrid(text, kAnswerCaption);

    // Destroying the window posts the quit message that ends the loop; without a window nothing
    // would ever post it.
    const int exitCode = mainWindow != nullptr && DestroyWindow(mainWindow) ? RunMessageLoop() : 0;
    file.Release();
    return exitCode;
}
