// The POSIX file layer: paths that are no regular file fail promptly; the Win32 size contract.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <future>

#include "platform/win32.h"
#include "text_fixture.h"

namespace {

struct RefusedCase {
    const char* name;
    std::string (*make)(const TempDir& dir);  // the path to try
    friend void PrintTo(const RefusedCase& c, std::ostream* os) { *os << c.name; }
};

std::string Sparse(const TempDir& dir, std::uint64_t size) {
    const std::string path = dir.Write("sparse.txt", "");
    EXPECT_EQ(truncate(path.c_str(), static_cast<off_t>(size)), 0);
    return path;
}

class LoadRefuses : public testing::TestWithParam<RefusedCase> {};

TEST_P(LoadRefuses, PromptlyAndLeavesTheBufferEmpty) {
    const TempDir dir;
    const std::string path = GetParam().make(dir);
    auto loading = std::async(std::launch::async, [&path] {
        FileBuffer buffer;
        return buffer.Load(OpenForReading(path.c_str())) || buffer.data != nullptr;
    });
    if (loading.wait_for(std::chrono::seconds(10)) == std::future_status::timeout) {
        ADD_FAILURE() << "Load blocked on " << path;
        // A FIFO reader waits for a writer: become one and leave, so the reader sees the end.
        const int writer = open(path.c_str(), O_WRONLY | O_NONBLOCK);
        if (writer >= 0) close(writer);
    }
    EXPECT_FALSE(loading.get());
}

INSTANTIATE_TEST_SUITE_P(
    Paths, LoadRefuses,
    testing::Values(RefusedCase{"Missing", [](const TempDir& dir) { return dir.Path("missing"); }},
                    RefusedCase{"EmptyPath", [](const TempDir&) { return std::string(); }},
                    RefusedCase{"Directory", [](const TempDir& dir) { return dir.Path(""); }},
                    RefusedCase{"FifoWithoutWriter",
                                [](const TempDir& dir) {
                                    const std::string path = dir.Path("fifo");
                                    EXPECT_EQ(mkfifo(path.c_str(), 0600), 0);
                                    return path;
                                }},
                    RefusedCase{"DevNull", [](const TempDir&) { return std::string("/dev/null"); }},
                    RefusedCase{"DevZero", [](const TempDir&) { return std::string("/dev/zero"); }},
                    // 4 GiB and 16 bytes: the low part alone would pass for a 16-byte file.
                    RefusedCase{"LargerThan4GiB",
                                [](const TempDir& dir) {
                                    return Sparse(dir, (std::uint64_t{1} << 32) + 16);
                                }}),
    [](const testing::TestParamInfo<RefusedCase>& info) { return info.param.name; });

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

struct ReadCase {
    const char* name;
    std::string bytes;  // the file
    friend void PrintTo(const ReadCase& c, std::ostream* os) { *os << c.name; }
};

class RealReadFile : public testing::TestWithParam<ReadCase> {};

// Asked for more than the file holds, a read delivers the file and stops at its end, and so does
// the next; after CloseHandle the handle reads nothing.
TEST_P(RealReadFile, StopsAtTheEndOfTheFile) {
    const TempDir dir;
    const std::string& bytes = GetParam().bytes;
    const HANDLE file = OpenForReading(dir.Write("puzzle.txt", bytes).c_str());
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    for (const std::size_t expected : {bytes.size(), std::size_t{0}}) {
        std::string buffer(32, '#');
        DWORD got = 99;
        auto reading = std::async(std::launch::async,
                                  [&] { return ReadFile(file, buffer.data(), 16, &got, nullptr); });
        if (reading.wait_for(std::chrono::seconds(10)) == std::future_status::timeout) {
            ADD_FAILURE() << "ReadFile went on past the end of the file";
            CloseHandle(file);  // its next read fails, which ends it
            reading.wait();
            return;
        }
        EXPECT_TRUE(reading.get());
        EXPECT_EQ(got, expected);
        EXPECT_EQ(buffer, bytes.substr(0, expected) + std::string(32 - expected, '#'));
    }
    EXPECT_TRUE(CloseHandle(file));
    char byte = '#';
    DWORD got = 99;
    EXPECT_FALSE(ReadFile(file, &byte, 1, &got, nullptr)) << "a read error is no end of file";
    EXPECT_EQ(GetLastError(), ERROR_INVALID_HANDLE);
    EXPECT_EQ(got, 0u);
}

INSTANTIATE_TEST_SUITE_P(Files, RealReadFile,
                         testing::Values(ReadCase{"Empty", ""}, ReadCase{"OneByte", "5"},
                                         ReadCase{"TenBytes", "5 3 0 0 7\n"}),
                         [](const testing::TestParamInfo<ReadCase>& info) {
                             return info.param.name;
                         });

}  // namespace
