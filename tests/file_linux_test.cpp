// The POSIX file layer held to Win32: each call's result and last error, paths that are no regular
// file refused before they are opened, and the size contract.
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <cerrno>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <future>
#include <thread>

#include "platform/win32.h"
#include "text_fixture.h"

// How many of the next read() calls fail with EINTR before reading anything, as a read from a file
// system whose reads a signal can interrupt (FUSE, a network mount) may.
int interruptedReads = 0;

// The process's read(), the file layer's among them: the kernel's, but for those interruptions.
extern "C" ssize_t read(int descriptor, void* buffer, std::size_t count) {
    if (interruptedReads > 0) {
        --interruptedReads;
        errno = EINTR;
        return -1;
    }
    return syscall(SYS_read, descriptor, buffer, count);
}

namespace {

std::string Sparse(const TempDir& dir, std::uint64_t size) {
    const std::string path = dir.Write("sparse.txt", "");
    EXPECT_EQ(truncate(path.c_str(), static_cast<off_t>(size)), 0);
    return path;
}

TEST(LinuxFiles, SizeOf4GiBLessOneClearsTheLastError) {
    const TempDir dir;
    EXPECT_EQ(OpenForReading(dir.Path("missing").c_str()), INVALID_HANDLE_VALUE);
    EXPECT_EQ(GetLastError(), ERROR_FILE_NOT_FOUND);
    const HANDLE file = OpenForReading(Sparse(dir, INVALID_FILE_SIZE).c_str());
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    DWORD high = 7;
    EXPECT_EQ(GetFileSize(file, &high), INVALID_FILE_SIZE);
    EXPECT_EQ(GetLastError(), NO_ERROR) << "a true size must not read as a failure";
    EXPECT_EQ(high, 0u);
    EXPECT_TRUE(CloseHandle(file));
    EXPECT_FALSE(CloseHandle(file));
}

// Not under AddressSanitizer, which reserves more address space than any cap leaves.
#ifndef __SANITIZE_ADDRESS__
// With the address space capped below a file's size no block can be had for it: Allocate says so,
// and Load fails, leaving the buffer empty, rather than reading into nothing.
TEST(LinuxFiles, NoBlockBeyondTheAddressSpace) {
    const TempDir dir;
    constexpr std::uint32_t kSize = 1u << 30;
    const std::string path = Sparse(dir, kSize);
    long pages = 0;
    std::ifstream("/proc/self/statm") >> pages;
    rlimit saved{};
    ASSERT_EQ(getrlimit(RLIMIT_AS, &saved), 0);
    rlimit capped = saved;
    capped.rlim_cur = static_cast<rlim_t>(pages * sysconf(_SC_PAGESIZE)) + kSize / 4;
    ASSERT_EQ(setrlimit(RLIMIT_AS, &capped), 0);
    rlimit took{};
    if (getrlimit(RLIMIT_AS, &took) != 0 || took.rlim_cur != capped.rlim_cur) {
        setrlimit(RLIMIT_AS, &saved);
        GTEST_SKIP() << "the address space cannot be capped here (qemu keeps its own)";
    }
    FileBuffer buffer;
    const bool allocated = buffer.Allocate(kSize);
    const bool loaded = buffer.Load(path.c_str());
    setrlimit(RLIMIT_AS, &saved);
    EXPECT_FALSE(allocated);
    EXPECT_FALSE(loaded);
    EXPECT_EQ(buffer.data, nullptr);
    EXPECT_EQ(buffer.size, 0u);
}
#endif

// Win32's result and last error for the calls the file layer answers, each on what a caller could
// hand it. A call returns whether it succeeded, and false also where it did more than Win32 does;
// what it does after the call under test leaves the last error alone.
struct ContractCase {
    const char* name;
    bool (*call)(const TempDir& dir);
    bool succeeds;
    DWORD lastError;  // after a failure, unless NO_ERROR
    friend void PrintTo(const ContractCase& c, std::ostream* os) { *os << c.name; }
};

// Whether Load loaded the file, or left anything behind when it did not.
bool Loads(const std::string& path) {
    FileBuffer buffer;
    return buffer.Load(path.c_str()) || buffer.data != nullptr;
}

// Asked for more than the file holds, a read delivers the file and stops at its end, and so does
// the next.
bool ReadsToTheEnd(const std::string& bytes, const TempDir& dir) {
    const HANDLE file = OpenForReading(dir.Write("puzzle.txt", bytes).c_str());
    bool whole = file != INVALID_HANDLE_VALUE;
    for (const std::size_t expected : {bytes.size(), std::size_t{0}}) {
        std::string buffer(32, '#');
        DWORD got = 99;
        whole = whole && ReadFile(file, buffer.data(), 16, &got, nullptr) && got == expected &&
                buffer == bytes.substr(0, expected) + std::string(32 - expected, '#');
    }
    return CloseHandle(file) && whole;
}

bool ReadsWith(LPVOID buffer, DWORD count, LPOVERLAPPED overlapped, const TempDir& dir) {
    const HANDLE file = OpenForReading(dir.Write("puzzle.txt", "5 3").c_str());
    DWORD got = 99;
    const BOOL read = ReadFile(file, buffer, count, &got, overlapped);
    CloseHandle(file);  // succeeds, and so leaves the last error as it is
    return read && got == count;
}

const ContractCase kContract[] = {
    {"LoadMissing", [](const TempDir& dir) { return Loads(dir.Path("missing")); }, false,
     ERROR_FILE_NOT_FOUND},
    {"LoadDirectory", [](const TempDir& dir) { return Loads(dir.Path("")); }, false,
     ERROR_ACCESS_DENIED},
    // A device or FIFO could block a read forever or has no size; without a writer, a FIFO's open
    // would wait for one (the test's time limit ends that).
    {"LoadDevNull", [](const TempDir&) { return Loads("/dev/null"); }, false, ERROR_NOT_SUPPORTED},
    {"LoadFifoWithoutWriter",
     [](const TempDir& dir) {
         EXPECT_EQ(mkfifo(dir.Path("fifo").c_str(), 0600), 0);
         return Loads(dir.Path("fifo"));
     },
     false, ERROR_NOT_SUPPORTED},
    // 4 GiB and 16 bytes: the low part alone would pass for a 16-byte file. Sizing it is no
    // error, so the last error is not looked at.
    {"LoadLargerThan4GiB",
     [](const TempDir& dir) { return Loads(Sparse(dir, (std::uint64_t{1} << 32) + 16)); }, false,
     NO_ERROR},
    {"OpenEmptyPath", [](const TempDir&) { return OpenForReading("") != INVALID_HANDLE_VALUE; },
     false, ERROR_PATH_NOT_FOUND},
    // A name is empty only at its terminator: one that starts with byte 1 opens.
    {"OpenNameStartingWithByte1",
     [](const TempDir& dir) {
         dir.Write("\x01puzzle.txt", "5");
         const std::string here = std::filesystem::current_path();
         std::filesystem::current_path(dir.Path(""));
         const HANDLE file = OpenForReading("\x01puzzle.txt");
         std::filesystem::current_path(here);
         return file != INVALID_HANDLE_VALUE && CloseHandle(file);
     },
     true, NO_ERROR},
    // Refused before it is opened: a writer waiting for a reader goes on waiting.
    {"OpenFifoWithAWriterWaiting",
     [](const TempDir& dir) {
         const std::string fifo = dir.Path("fifo");
         EXPECT_EQ(mkfifo(fifo.c_str(), 0600), 0);
         auto writer = std::async(std::launch::async, [&] { return open(fifo.c_str(), O_WRONLY); });
         std::this_thread::sleep_for(std::chrono::milliseconds(200));  // into its open()
         const HANDLE file = OpenForReading(fifo.c_str());
         const bool released =
             writer.wait_for(std::chrono::milliseconds(500)) == std::future_status::ready;
         close(open(fifo.c_str(), O_RDONLY | O_NONBLOCK));  // now let it go
         close(writer.get());
         return file != INVALID_HANDLE_VALUE || released;
     },
     false, ERROR_NOT_SUPPORTED},
    {"ReadEmptyFile", [](const TempDir& dir) { return ReadsToTheEnd("", dir); }, true, NO_ERROR},
    {"ReadOneByte", [](const TempDir& dir) { return ReadsToTheEnd("5", dir); }, true, NO_ERROR},
    {"ReadTenBytes", [](const TempDir& dir) { return ReadsToTheEnd("5 3 0 0 7\n", dir); }, true,
     NO_ERROR},
    // An interrupted read is asked again, not reported: the whole file arrives.
    {"ReadInterruptedOnce",
     [](const TempDir& dir) {
         interruptedReads = 1;
         const bool whole = ReadsToTheEnd("5 3 0 0 7\n", dir);
         return whole && interruptedReads == 0;  // and the interruption did happen
     },
     true, NO_ERROR},
    // A closed handle reads nothing, and says so: a read error is no end of file.
    {"ReadAfterClose",
     [](const TempDir& dir) {
         const HANDLE file = OpenForReading(dir.Write("puzzle.txt", "5").c_str());
         CloseHandle(file);
         char byte = '#';
         DWORD got = 99;
         return ReadFile(file, &byte, 1, &got, nullptr) || got != 0;
     },
     false, ERROR_INVALID_HANDLE},
    // INVALID_HANDLE_VALUE is no descriptor, standard input least of all.
    {"ReadInvalidHandle",
     [](const TempDir&) {
         char byte = '#';
         DWORD got = 99;
         return ReadFile(INVALID_HANDLE_VALUE, &byte, 1, &got, nullptr) || got != 0;
     },
     false, ERROR_INVALID_HANDLE},
    // Sized or not, a failure tells itself from a file of 4 GiB less one byte by its error.
    {"SizeInvalidHandle",
     [](const TempDir&) {
         DWORD high = 99;
         return GetFileSize(INVALID_HANDLE_VALUE, &high) != INVALID_FILE_SIZE;
     },
     false, ERROR_INVALID_HANDLE},
    {"ReadOverlapped",
     [](const TempDir& dir) {
         char buffer[3];
         int overlapped = 0;
         return ReadsWith(buffer, 3, reinterpret_cast<LPOVERLAPPED>(&overlapped), dir);
     },
     false, ERROR_INVALID_PARAMETER},
    {"ReadIntoNoBuffer", [](const TempDir& dir) { return ReadsWith(nullptr, 3, nullptr, dir); },
     false, ERROR_INVALID_PARAMETER},
    // With standard input closed the file gets descriptor 0, and closing it closes that.
    {"CloseDescriptorZero",
     [](const TempDir& dir) {
         const int input = dup(STDIN_FILENO);
         close(STDIN_FILENO);
         const HANDLE file = OpenForReading(dir.Write("puzzle.txt", "5").c_str());
         const bool onZero = fcntl(STDIN_FILENO, F_GETFD) != -1;
         const bool closed = CloseHandle(file) && fcntl(STDIN_FILENO, F_GETFD) == -1;
         dup2(input, STDIN_FILENO);
         close(input);
         return onZero && closed;
     },
     true, NO_ERROR},
};

class FileContract : public testing::TestWithParam<ContractCase> {};

// Leaves a last error other than expected, so that a case that expects one must set it itself
// rather than find it left by the case before.
void SetOtherLastError(DWORD expected) {
    if (expected == ERROR_PATH_NOT_FOUND) {
        CloseHandle(INVALID_HANDLE_VALUE);  // ERROR_INVALID_HANDLE
    } else {
        OpenForReading("");  // ERROR_PATH_NOT_FOUND
    }
}

TEST_P(FileContract, GivesWin32sResultAndLastError) {
    const TempDir dir;
    const ContractCase& c = GetParam();
    SetOtherLastError(c.lastError);
    EXPECT_EQ(c.call(dir), c.succeeds);
    if (!c.succeeds && c.lastError != NO_ERROR) {
        EXPECT_EQ(GetLastError(), c.lastError);
    }
}

INSTANTIATE_TEST_SUITE_P(Calls, FileContract, testing::ValuesIn(kContract),
                         [](const testing::TestParamInfo<ContractCase>& info) {
                             return info.param.name;
                         });

}  // namespace
