// The kernel32 file calls on POSIX: open, size, read and close a regular file for reading.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstddef>
#include <cstdint>

#include "platform/win32.h"

namespace {

// Win32 keeps the last error per thread, and so do we.
thread_local DWORD lastError = NO_ERROR;

// errno values become Win32 error codes here and nowhere else.
struct ErrorCode {
    int posix;
    DWORD win32;
};
constexpr ErrorCode kErrorCodes[] = {
    {ENOENT, ERROR_FILE_NOT_FOUND},
    {ENOTDIR, ERROR_PATH_NOT_FOUND},
    {EACCES, ERROR_ACCESS_DENIED},
    {EPERM, ERROR_ACCESS_DENIED},
    {EISDIR, ERROR_ACCESS_DENIED},
    {ENAMETOOLONG, ERROR_FILENAME_EXCED_RANGE},
    {EMFILE, ERROR_TOO_MANY_OPEN_FILES},
    {ENFILE, ERROR_TOO_MANY_OPEN_FILES},
    {EBADF, ERROR_INVALID_HANDLE},
    {ENOMEM, ERROR_NOT_ENOUGH_MEMORY},
    {EIO, ERROR_READ_FAULT},
    {ENXIO, ERROR_NOT_SUPPORTED},
};

DWORD Translate(int posix, DWORD otherwise) {
    for (const ErrorCode& code : kErrorCodes) {
        if (code.posix == posix) return code.win32;
    }
    return otherwise;
}

HANDLE FailOpen(DWORD error) {
    lastError = error;
    return INVALID_HANDLE_VALUE;
}

BOOL Fail(DWORD error) {
    lastError = error;
    return FALSE;
}

// A handle is the descriptor plus one, so descriptor 0 is not the null handle.
HANDLE HandleOf(int descriptor) {
    return reinterpret_cast<HANDLE>(static_cast<std::intptr_t>(descriptor) + 1);
}

int DescriptorOf(HANDLE handle) {
    const std::intptr_t descriptor = reinterpret_cast<std::intptr_t>(handle) - 1;
    return descriptor >= 0 && descriptor <= INT_MAX ? static_cast<int>(descriptor) : -1;
}

// Only regular files are puzzle files. A directory is refused as Windows refuses it; a FIFO,
// socket or device could block a read forever or has no size, so it is refused too.
DWORD Refusal(const struct stat& info) {
    if (S_ISREG(info.st_mode)) return NO_ERROR;
    return S_ISDIR(info.st_mode) ? ERROR_ACCESS_DENIED : ERROR_NOT_SUPPORTED;
}

// read() may transfer less than asked for; keep each request well inside ssize_t.
constexpr std::size_t kLargestRead = std::size_t{1} << 30;

}  // namespace

// Reading an existing file is all the program asks for: share mode, security and attributes have
// no POSIX counterpart and are ignored.
HANDLE WINAPI CreateFileA(LPCSTR lpFileName, DWORD dwDesiredAccess, DWORD /*dwShareMode*/,
                          LPSECURITY_ATTRIBUTES /*lpSecurityAttributes*/,
                          DWORD dwCreationDisposition, DWORD /*dwFlagsAndAttributes*/,
                          HANDLE /*hTemplateFile*/) {
    if (lpFileName == nullptr || *lpFileName == '\0') return FailOpen(ERROR_PATH_NOT_FOUND);
    if (dwDesiredAccess != GENERIC_READ || dwCreationDisposition != OPEN_EXISTING) {
        return FailOpen(ERROR_NOT_SUPPORTED);
    }
    // Looking before opening keeps devices from seeing an open at all; O_NONBLOCK and the second
    // look cover a path that changes in between, so a FIFO can never hold us up.
    struct stat info {};
    if (stat(lpFileName, &info) != 0) return FailOpen(Translate(errno, ERROR_OPEN_FAILED));
    if (const DWORD refusal = Refusal(info); refusal != NO_ERROR) return FailOpen(refusal);
    int descriptor;
    do {
        descriptor = open(lpFileName, O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    } while (descriptor < 0 && errno == EINTR);
    if (descriptor < 0) return FailOpen(Translate(errno, ERROR_OPEN_FAILED));
    DWORD refusal = fstat(descriptor, &info) == 0 ? Refusal(info) : ERROR_OPEN_FAILED;
    if (refusal != NO_ERROR) {
        close(descriptor);
        return FailOpen(refusal);
    }
    return HandleOf(descriptor);
}

DWORD WINAPI GetFileSize(HANDLE hFile, LPDWORD lpFileSizeHigh) {
    struct stat info {};
    const int descriptor = DescriptorOf(hFile);
    if (descriptor < 0) {
        lastError = ERROR_INVALID_HANDLE;
        return INVALID_FILE_SIZE;
    }
    if (fstat(descriptor, &info) != 0) {
        lastError = Translate(errno, ERROR_INVALID_HANDLE);
        return INVALID_FILE_SIZE;
    }
    const auto size = static_cast<std::uint64_t>(info.st_size);
    if (lpFileSizeHigh != nullptr) *lpFileSizeHigh = static_cast<DWORD>(size >> 32);
    const auto low = static_cast<DWORD>(size);
    // A true size whose low part looks like the failure value: say there was no error.
    if (low == INVALID_FILE_SIZE) lastError = NO_ERROR;
    return low;
}

// As Win32 has it, the buffer holds nNumberOfBytesToRead bytes. Telling the compiler so lets a
// fortified build check every read() against what is left of it.
#if __has_cpp_attribute(gnu::access)
[[gnu::access(write_only, 2, 3)]]
#endif
BOOL WINAPI
ReadFile(HANDLE hFile, LPVOID lpBuffer, DWORD nNumberOfBytesToRead, LPDWORD lpNumberOfBytesRead,
         LPOVERLAPPED lpOverlapped) {
    // The count stays 0 on every failure: numplace looks at it only after a read that succeeded.
    if (lpNumberOfBytesRead != nullptr) *lpNumberOfBytesRead = 0;
    const int descriptor = DescriptorOf(hFile);
    if (descriptor < 0) return Fail(ERROR_INVALID_HANDLE);
    if (lpOverlapped != nullptr || (lpBuffer == nullptr && nNumberOfBytesToRead > 0)) {
        return Fail(ERROR_INVALID_PARAMETER);
    }
    auto* bytes = static_cast<unsigned char*>(lpBuffer);
    DWORD total = 0;
    while (total < nNumberOfBytesToRead) {
        std::size_t request = nNumberOfBytesToRead - total;
        if (request > kLargestRead) request = kLargestRead;
        const ssize_t got = read(descriptor, bytes + total, request);
        if (got == 0) break;  // end of file: a file that shrank delivers what is left
        if (got < 0) {
            if (errno == EINTR) continue;
            return Fail(Translate(errno, ERROR_READ_FAULT));
        }
        total += static_cast<DWORD>(got);
    }
    if (lpNumberOfBytesRead != nullptr) *lpNumberOfBytesRead = total;
    return TRUE;
}

BOOL WINAPI CloseHandle(HANDLE hObject) {
    const int descriptor = DescriptorOf(hObject);
    // After EINTR Linux has closed the descriptor already, so only EBADF is a failure.
    if (descriptor < 0 || (close(descriptor) != 0 && errno == EBADF)) {
        return Fail(ERROR_INVALID_HANDLE);
    }
    return TRUE;
}

DWORD WINAPI GetLastError() {
    return lastError;
}
