// Scripted stand-ins for the Win32 file calls, linked instead of the real file layer so a test
// can make opening, sizing or reading fail, or the file shrink between sizing and reading.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "platform/win32.h"

// What every file opened from now on does; each CreateFileA starts reading at the beginning.
// Every field has a default, so a script names only what it changes.
struct FileScript {
    std::string content = "";                          // the bytes reading finds
    std::optional<std::uint64_t> size = std::nullopt;  // what sizing reports; unset: the content's
    bool openFails = false;                            // CreateFileA gives INVALID_HANDLE_VALUE
    bool openGivesNull = false;                        // CreateFileA gives a null handle
    bool sizeFails = false;  // GetFileSize gives INVALID_FILE_SIZE with an error
    bool readFails = false;  // ReadFile fails without delivering anything
};

// How often each call was made since the script was set.
struct FileCalls {
    int opens = 0;
    int sizings = 0;
    int reads = 0;
    int closes = 0;  // of the handle CreateFileA gave; any other handle fails to close
};

// Replaces the script and forgets the calls recorded so far.
void ScriptFile(FileScript script);

const FileCalls& RecordedFileCalls();
