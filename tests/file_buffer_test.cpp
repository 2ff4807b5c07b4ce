// Line splitting over every kind of line end and the capacity cut; loading real files.
#include <cstring>
#include <string>
#include <vector>

#include "text_fixture.h"

namespace {

using namespace std::string_literals;

struct LinesCase {
    const char* name;
    std::string bytes;
    std::vector<std::string> lines;  // read with capacity 1024, then only empty lines
    friend void PrintTo(const LinesCase& c, std::ostream* os) { *os << c.name; }
};

class ReadLineSplits : public testing::TestWithParam<LinesCase> {};

TEST_P(ReadLineSplits, YieldsTheLinesThenEmptyOnes) {
    const LinesCase& c = GetParam();
    FileBuffer buffer;
    Fill(buffer, c.bytes);
    char out[1025];
    out[1024] = '#';
    std::vector<std::string> lines;
    for (std::size_t i = 0; i < c.lines.size() + 2; ++i) {
        const int count = buffer.ReadLine(out, 1024);
        ASSERT_EQ(out[count], '\0');
        lines.emplace_back(out, count);
    }
    std::vector<std::string> expected = c.lines;
    expected.insert(expected.end(), {"", ""});
    EXPECT_EQ(lines, expected);
    EXPECT_EQ(out[1024], '#') << "wrote past capacity";
}

const std::string k1023(1023, '7');

INSTANTIATE_TEST_SUITE_P(
    Cases, ReadLineSplits,
    testing::Values(LinesCase{"CrLfRun", "ab\r\n\r\ncd", {"ab", "cd"}},
                    LinesCase{"Lf", "ab\ncd\n", {"ab", "cd"}},
                    LinesCase{"Cr", "ab\rcd\r", {"ab", "cd"}},
                    LinesCase{"MixedRun", "ab\n\r\r\n\ncd", {"ab", "cd"}},
                    LinesCase{"LeadingBlankLines", "\n\n12", {"", "12"}},
                    LinesCase{"Empty", "", {}}, LinesCase{"NulKept", "a\0b\ncd"s, {"a\0b"s, "cd"}},
                    LinesCase{"CutAndContinued", k1023 + "89\nx", {k1023, "89", "x"}},
                    LinesCase{"ExactlyFullThenLf", k1023 + "\nx", {k1023, "x"}}),
    [](const testing::TestParamInfo<LinesCase>& info) { return info.param.name; });

struct RoomCase {
    const char* name;
    int capacity;
    bool hasOut;           // else out is null
    std::string expected;  // what the call leaves in the six bytes after the sentinel before
    friend void PrintTo(const RoomCase& c, std::ostream* os) { *os << c.name; }
};

class ReadLineWithoutRoom : public testing::TestWithParam<RoomCase> {};

// Too small a buffer or none: nothing written outside it and nothing consumed, so the next call
// still gets the whole line.
TEST_P(ReadLineWithoutRoom, WritesNoMoreThanItMayAndKeepsTheLine) {
    const RoomCase& c = GetParam();
    FileBuffer buffer;
    Fill(buffer, "12\n34");
    char out[8];
    std::memset(out, '#', sizeof out);
    EXPECT_EQ(buffer.ReadLine(c.hasOut ? out + 1 : nullptr, c.capacity), 0);
    EXPECT_EQ(std::string(out, sizeof out), "#" + c.expected + "#");
    EXPECT_EQ(buffer.ReadLine(out, sizeof out), 2);
    EXPECT_STREQ(out, "12");
}

INSTANTIATE_TEST_SUITE_P(Capacities, ReadLineWithoutRoom,
                         testing::Values(RoomCase{"Zero", 0, true, "######"},
                                         RoomCase{"Negative", -1, true, "######"},
                                         RoomCase{"One", 1, true, std::string(1, '\0') + "#####"},
                                         RoomCase{"NoBuffer", 1024, false, "######"}),
                         [](const testing::TestParamInfo<RoomCase>& info) {
                             return info.param.name;
                         });

TEST(FileBuffer, ReleaseTwiceThenReadIsHarmless) {
    FileBuffer buffer;
    Fill(buffer, "12");
    buffer.Release();
    buffer.Release();
    EXPECT_EQ(buffer.data, nullptr);
    EXPECT_EQ(buffer.size, 0u);
    char out[4] = "xyz";
    EXPECT_EQ(buffer.ReadLine(out, sizeof out), 0);
    EXPECT_EQ(out[0], '\0');
}

TEST(FileBuffer, LoadsFilesWholeEmptyOnesToo) {
    const TempDir dir;
    FileBuffer buffer;
    const std::string bytes = "5 3\r\n\0\xff\n7"s;
    // A missing file first: the error it leaves behind must not fail the next load.
    EXPECT_FALSE(buffer.Load(dir.Path("absent.txt").c_str()));
    ASSERT_TRUE(buffer.Load(dir.Write("puzzle.txt", bytes).c_str()));
    EXPECT_EQ(std::string(reinterpret_cast<char*>(buffer.data), buffer.size), bytes);
    EXPECT_EQ(buffer.cursor, buffer.data);
    ASSERT_TRUE(buffer.Load(dir.Write("empty.txt", "").c_str()));
    EXPECT_EQ(buffer.size, 0u);
    char out[4] = "xyz";
    EXPECT_EQ(buffer.ReadLine(out, sizeof out), 0);
    EXPECT_FALSE(buffer.Load(nullptr));
    EXPECT_EQ(buffer.data, nullptr);
    for (const HANDLE unopened : {HANDLE{}, INVALID_HANDLE_VALUE}) {
        ASSERT_TRUE(buffer.Load(dir.Write("puzzle.txt", bytes).c_str()));
        EXPECT_FALSE(buffer.LoadOpenFile(unopened));
        EXPECT_EQ(buffer.data, nullptr);
    }
}

}  // namespace
