// The crossings into our own Linux layer: the path is the tail's bytes, and the texts go to the
// terminal's message box as they are.
#include "platform/boundary.h"

HANDLE OpenCommandLineFile(LPCSTR lpCmdLine) {
    char path[kPathCapacity];
    return PathOfTail(lpCmdLine, path) ? OpenForReading(path) : INVALID_HANDLE_VALUE;
}

int ShowMessageBox(LPCSTR lpText, LPCSTR lpCaption) {
    return MessageBoxA(nullptr,    // hWnd: no owner
                       lpText,     // lpText
                       lpCaption,  // lpCaption; none: the caption for errors
                       MB_OK);     // uType: one OK button
}
