// The file calls played from a script held in memory, recording what they were asked.
#include "scripted_file_platform.h"

#include <cstring>
#include <utility>

namespace {

FileScript script;
FileCalls calls;
std::size_t readPosition = 0;
DWORD lastError = NO_ERROR;
int theFile;  // its address is the one handle handed out

HANDLE TheHandle() {
    return &theFile;
}

}  // namespace

void ScriptFile(FileScript next) {
    script = std::move(next);
    calls = FileCalls{};
    readPosition = 0;
    lastError = NO_ERROR;
}

const FileCalls& RecordedFileCalls() {
    return calls;
}

// Whatever the path, the scripted file opens.
HANDLE WINAPI CreateFileA(LPCSTR, DWORD, DWORD, LPSECURITY_ATTRIBUTES, DWORD, DWORD, HANDLE) {
    ++calls.opens;
    readPosition = 0;
    if (script.openGivesNull) return nullptr;
    if (script.openFails) {
        lastError = ERROR_FILE_NOT_FOUND;
        return INVALID_HANDLE_VALUE;
    }
    return TheHandle();
}

DWORD WINAPI GetFileSize(HANDLE hFile, LPDWORD lpFileSizeHigh) {
    ++calls.sizings;
    if (hFile != TheHandle() || script.sizeFails) {
        lastError = ERROR_INVALID_HANDLE;
        return INVALID_FILE_SIZE;
    }
    const std::uint64_t size = script.size.value_or(script.content.size());
    if (lpFileSizeHigh != nullptr) *lpFileSizeHigh = static_cast<DWORD>(size >> 32);
    if (static_cast<DWORD>(size) == INVALID_FILE_SIZE) lastError = NO_ERROR;
    return static_cast<DWORD>(size);
}

BOOL WINAPI ReadFile(HANDLE hFile, LPVOID lpBuffer, DWORD nNumberOfBytesToRead,
                     LPDWORD lpNumberOfBytesRead, LPOVERLAPPED) {
    ++calls.reads;
    if (lpNumberOfBytesRead != nullptr) *lpNumberOfBytesRead = 0;
    if (hFile != TheHandle() || script.readFails) {
        lastError = ERROR_READ_FAULT;
        return FALSE;
    }
    std::size_t count = script.content.size() - readPosition;
    if (count > nNumberOfBytesToRead) count = nNumberOfBytesToRead;
    std::memcpy(lpBuffer, script.content.data() + readPosition, count);
    readPosition += count;
    if (lpNumberOfBytesRead != nullptr) *lpNumberOfBytesRead = static_cast<DWORD>(count);
    return TRUE;
}

BOOL WINAPI CloseHandle(HANDLE hObject) {
    if (hObject != TheHandle()) {
        lastError = ERROR_INVALID_HANDLE;
        return FALSE;
    }
    ++calls.closes;
    return TRUE;
}

DWORD WINAPI GetLastError() {
    return lastError;
}
