// The crossings into Windows, in UTF-16: the path from the process's own command line, opened
// with CreateFileW, and message boxes whose code page 932 texts are converted right here.
#include "platform/boundary.h"

namespace {

constexpr UINT kTextCodePage = 932;  // Shift-JIS, the code page of every text of ours

// The command line past the program's name and the blanks and control characters after it, as
// the runtime finds WinMain's tail: the name ends at the first blank or control character that is
// not between double quotes.
const WCHAR* TailOf(const WCHAR* commandLine) {
    if (commandLine == nullptr) return nullptr;
    bool quoted = false;
    while (*commandLine > L' ' || (*commandLine != L'\0' && quoted)) {
        if (*commandLine == L'"') quoted = !quoted;
        ++commandLine;
    }
    while (*commandLine != L'\0' && *commandLine <= L' ') ++commandLine;
    return commandLine;
}

// False when the text is missing or does not fit; the program's own texts always fit.
bool Widen(LPCSTR bytes, WCHAR (&wide)[kBoxTextCapacity]) {
    if (bytes == nullptr) return false;
    const int units = MultiByteToWideChar(kTextCodePage,      // CodePage
                                          0,                  // dwFlags
                                          bytes,              // lpMultiByteStr
                                          -1,                 // cbMultiByte: up to the NUL
                                          wide,               // lpWideCharStr
                                          kBoxTextCapacity);  // cchWideChar
    return units != 0;
}

}  // namespace

HANDLE OpenCommandLineFile(LPCSTR) {
    WCHAR path[kPathCapacity];
    if (!PathOfTail(TailOf(GetCommandLineW()), path)) return INVALID_HANDLE_VALUE;
    return OpenExistingForReading(CreateFileW, path);
}

int ShowMessageBox(LPCSTR lpText, LPCSTR lpCaption) {
    WCHAR text[kBoxTextCapacity];
    WCHAR caption[kBoxTextCapacity];
    // Whatever cannot be converted is shown as it is rather than not at all.
    if (!Widen(lpText, text) || (lpCaption != nullptr && !Widen(lpCaption, caption))) {
        return MessageBoxA(nullptr, lpText, lpCaption, MB_OK);
    }
    return MessageBoxW(nullptr,                                   // hWnd: no owner
                       text,                                      // lpText
                       lpCaption != nullptr ? caption : nullptr,  // none: the caption for errors
                       MB_OK);                                    // uType: one OK button
}
