// Loading an open file whole through the Win32 file calls, and splitting it into lines.
#include "file_buffer.h"

#include <cstdlib>

#include "platform/boundary.h"

namespace {

constexpr unsigned char kCarriageReturn = 13;
constexpr unsigned char kLineFeed = 10;

bool IsLineEnd(unsigned char byte) {
    return byte == kCarriageReturn || byte == kLineFeed;
}

}  // namespace

void FileBuffer::Release() {
    std::free(data);
    data = nullptr;
    size = 0;
    cursor = nullptr;
}

bool FileBuffer::Allocate(std::uint32_t n) {
    Release();
    // The C heap rather than new[], whose failure path would bring the C++ exception runtime into
    // the executable. At least one byte, so an empty file still has a block and loads.
    data = static_cast<unsigned char*>(std::malloc(n > 0 ? n : 1));
    if (data == nullptr) return false;
    size = n;
    cursor = data;
    return true;
}

bool FileBuffer::LoadOpenFile(HANDLE file) {
    Release();
    if (file == nullptr || file == INVALID_HANDLE_VALUE) return false;

    bool loaded = false;
    DWORD high = 0;
    const DWORD low = GetFileSize(file, &high);
    // A failed sizing would otherwise pass as a 4 GiB file, and a file of 4 GiB or more does
    // not fit size at all.
    const bool sized = !(low == INVALID_FILE_SIZE && GetLastError() != NO_ERROR) && high == 0;
    if (sized && Allocate(low)) {
        DWORD read = 0;
        if (ReadFile(file,     // hFile
                     data,     // lpBuffer
                     low,      // nNumberOfBytesToRead
                     &read,    // lpNumberOfBytesRead
                     nullptr)  // lpOverlapped
            && read <= low) {
            size = read;  // a file that shrank since it was sized keeps only what arrived
            loaded = true;
        } else {
            Release();
        }
    }
    CloseHandle(file);
    return loaded;
}

bool FileBuffer::Load(const char* path) {
    return LoadOpenFile(path != nullptr ? OpenForReading(path) : INVALID_HANDLE_VALUE);
}

int FileBuffer::ReadLine(char* out, int capacity) {
    if (out == nullptr || capacity < 1) return 0;  // no room even for the terminator
    int count = 0;
    if (cursor != nullptr) {
        const unsigned char* const end = data + size;
        while (cursor < end && count < capacity - 1 && !IsLineEnd(*cursor)) {
            out[count++] = static_cast<char>(*cursor++);
        }
        while (cursor < end && IsLineEnd(*cursor)) ++cursor;
    }
    out[count] = '\0';
    return count;
}
