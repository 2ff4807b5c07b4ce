// The crossings into our own Linux layer: the path is the tail's bytes, and the texts go to the
// terminal's message box as they are.
#include "platform/boundary.h"

HANDLE OpenCommandLineFile(LPCSTR lpCmdLine) {
    char path[kPathCapacity];
    if (!PathOfTail(lpCmdLine, path)) return INVALID_HANDLE_VALUE;
    return CreateFileA(path,                   // lpFileName
                       GENERIC_READ,           // dwDesiredAccess
                       FILE_SHARE_READ,        // dwShareMode
                       nullptr,                // lpSecurityAttributes
                       OPEN_EXISTING,          // dwCreationDisposition
                       FILE_ATTRIBUTE_NORMAL,  // dwFlagsAndAttributes
                       nullptr);               // hTemplateFile
}

int ShowMessageBox(LPCSTR lpText, LPCSTR lpCaption) {
    return MessageBoxA(nullptr,    // hWnd: no owner
                       lpText,     // lpText
                       lpCaption,  // lpCaption; none: the caption for errors
                       MB_OK);     // uType: one OK button
}
