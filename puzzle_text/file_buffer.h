// The puzzle file held whole in memory, handed out line by line.
#pragma once

#include <cstdint>

#include "platform/win32.h"

// Owns one heap block with a file's bytes and a read cursor into it. The block is not
// NUL-terminated; every read stops at size. While loaded, data <= cursor <= data + size.
class FileBuffer {
  public:
    unsigned char* data = nullptr;    // the file's bytes, or none
    std::uint32_t size = 0;           // bytes in data
    unsigned char* cursor = nullptr;  // the next byte not yet handed out

    FileBuffer() = default;
    FileBuffer(const FileBuffer&) = delete;
    FileBuffer& operator=(const FileBuffer&) = delete;
    ~FileBuffer() { Release(); }

    // Frees the block and returns to the empty state; harmless when already empty.
    void Release();

    // Releases, then takes a fresh block of n bytes with the cursor at its start. False, and
    // empty, when no block can be had.
    bool Allocate(std::uint32_t n);

    // Reads the whole of a file opened for reading into a fresh block, and closes it. False, and
    // empty, for a handle that names no file (null or INVALID_HANDLE_VALUE: it could not be
    // opened), or when the file cannot be sized, buffered or read. A file that shrinks while being
    // read keeps the bytes that arrived.
    bool LoadOpenFile(HANDLE file);

    // Opens the file at path with CreateFileA, then loads it as LoadOpenFile does. False, and
    // empty, for no path.
    bool Load(const char* path);

    // Copies the next line, at most capacity - 1 bytes, into out and NUL-terminates it; returns
    // the count copied. A line ends at CR or LF, and the whole run of CR and LF after it is
    // skipped. A longer line is cut and continues on the next call; past the end, lines are empty.
    int ReadLine(char* out, int capacity);
};
