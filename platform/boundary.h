// Where the program's byte strings cross into the system: the file named on the command line, and
// the message box. The build picks one side: Windows crosses in UTF-16 (boundary_windows.cpp),
// so every name the file system holds opens and the code page 932 texts read right whatever the
// system's code page; Linux passes the bytes as they are (boundary_linux.cpp).
#pragma once

#include "platform/win32.h"

// Room for a path and its terminator, in the system's units: UTF-16 units on Windows, bytes
// elsewhere.
inline constexpr int kPathCapacity = 1024;

// Room for a message box's text or caption and its terminator, in bytes of code page 932; each of
// its characters is one UTF-16 unit, so the same room holds it on Windows.
inline constexpr int kBoxTextCapacity = 1024;

// The path that a command-line tail names: the whole tail or, when it opens with a double quote,
// the tail without that quote and without its last character, normally the closing one. False
// when there is no tail or the path does not fit: a cut path could name another file.
template <typename Unit>
bool PathOfTail(const Unit* tail, Unit (&path)[kPathCapacity]) {
    if (tail == nullptr) return false;
    const bool quoted = tail[0] == '"';
    const Unit* const start = quoted ? tail + 1 : tail;
    const int limit = quoted ? kPathCapacity + 1 : kPathCapacity;  // room for the closing quote
    int length = 0;
    while (start[length] != 0) {
        if (++length == limit) return false;
    }
    if (quoted && length > 0) --length;
    for (int i = 0; i < length; ++i) path[i] = start[i];
    path[length] = 0;
    return true;
}

// The one way numplace opens a file: one that exists, for reading, while others may read it too.
// createFile is CreateFileA, or on Windows CreateFileW for a path in UTF-16.
template <typename Create, typename Char>
HANDLE OpenExistingForReading(Create createFile, const Char* path) {
    return createFile(path,                   // lpFileName
                      GENERIC_READ,           // dwDesiredAccess
                      FILE_SHARE_READ,        // dwShareMode
                      nullptr,                // lpSecurityAttributes
                      OPEN_EXISTING,          // dwCreationDisposition
                      FILE_ATTRIBUTE_NORMAL,  // dwFlagsAndAttributes
                      nullptr);               // hTemplateFile
}

// Opens a path of bytes for reading, as CreateFileA opens it: in the ANSI code page on Windows, as
// the bytes they are elsewhere.
inline HANDLE OpenForReading(LPCSTR path) {
    return OpenExistingForReading(CreateFileA, path);
}

// Opens for reading the file that the command-line tail names, as CreateFile opens it; a path
// that does not fit gives INVALID_HANDLE_VALUE, as a file that cannot be opened does. lpCmdLine is
// the tail WinMain was given; Windows reads the process's own command line in UTF-16 instead,
// since the ANSI tail has lost every character outside the ANSI code page.
HANDLE OpenCommandLineFile(LPCSTR lpCmdLine);

// A modal box with no owner and one OK button, showing code page 932 text and caption (none: the
// system's caption for errors); returns what MessageBox returns.
int ShowMessageBox(LPCSTR lpText, LPCSTR lpCaption);
