// The number rules of the loose format, row by row, and whole files read into the grid.
#include "puzzle_text/puzzle_parser.h"

#include <cstring>
#include <string>

#include "grid_fixture.h"
#include "sample_puzzles.h"
#include "text_fixture.h"

namespace {

using namespace std::string_literals;

constexpr std::int32_t kMax = 2147483647;
constexpr std::int32_t kMin = -kMax - 1;

struct IntegerCase {
    const char* text;
    std::int32_t number;
    int used;  // bytes consumed
    friend void PrintTo(const IntegerCase& c, std::ostream* os) { *os << '"' << c.text << '"'; }
};

class ParseIntegerReads : public testing::TestWithParam<IntegerCase> {};

TEST_P(ParseIntegerReads, NumberAndEnd) {
    const IntegerCase& c = GetParam();
    const ParsedInteger parsed = ParseInteger(c.text);
    EXPECT_EQ(parsed.number, c.number);
    EXPECT_EQ(parsed.end - c.text, c.used);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ParseIntegerReads,
    testing::Values(IntegerCase{"7", 7, 1}, IntegerCase{"0", 0, 1}, IntegerCase{"+5", 5, 2},
                    IntegerCase{"-3", -3, 2}, IntegerCase{" \t\r\n\v\f42", 42, 8},
                    IntegerCase{"5a3", 5, 1}, IntegerCase{"09", 0, 1}, IntegerCase{"010", 8, 3},
                    IntegerCase{"08", 0, 1}, IntegerCase{"0x9", 9, 3}, IntegerCase{"0X1fz", 31, 4},
                    IntegerCase{"-0x10", -16, 5}, IntegerCase{"0x7FFFFFFF", kMax, 10},
                    // Nothing to read consumes nothing, not even a sign, blanks or a bare 0x.
                    IntegerCase{"", 0, 0}, IntegerCase{"+", 0, 0}, IntegerCase{"- 5", 0, 0},
                    IntegerCase{"  x", 0, 0}, IntegerCase{"0x 5", 0, 0}, IntegerCase{"-0xg", 0, 0},
                    // Saturation at the 32-bit limits, with every remaining digit consumed.
                    IntegerCase{"2147483646", kMax - 1, 10},
                    IntegerCase{"-2147483647", kMin + 1, 11}, IntegerCase{"2147483647", kMax, 10},
                    IntegerCase{"2147483648", kMax, 10}, IntegerCase{"-2147483648", kMin, 11},
                    IntegerCase{"-2147483649", kMin, 11},
                    IntegerCase{"99999999999999999999;", kMax, 20},
                    IntegerCase{"-99999999999999999999", kMin, 21},
                    IntegerCase{"0xffffffff", kMax, 10}, IntegerCase{"040000000000", kMax, 12},
                    // Both ends of both letter ranges, and the first byte past each base.
                    IntegerCase{"0xA", 10, 3}, IntegerCase{"0XA", 10, 3}, IntegerCase{"0xa", 10, 3},
                    IntegerCase{"0xF", 15, 3}, IntegerCase{"0XF", 15, 3},
                    IntegerCase{"0xfg", 15, 3}, IntegerCase{"0XFG", 15, 3},
                    IntegerCase{"0xg", 0, 0}, IntegerCase{"0X@", 0, 0}, IntegerCase{"0x`", 0, 0},
                    IntegerCase{"078", 7, 2}, IntegerCase{"9a", 9, 1}));

// Parses bytes as a whole puzzle file; the line buffer starts out full of a stale path.
std::string Parse(const std::string& bytes) {
    FileBuffer buffer;
    Fill(buffer, bytes);
    char line[kLineCapacity];
    std::memset(line, '7', sizeof line);
    ResetGrid();
    ParsePuzzle(buffer, line);
    return Values();
}

struct RowCase {
    std::string row;
    const char* cells;
    friend void PrintTo(const RowCase& c, std::ostream* os) {
        *os << testing::PrintToString(c.row);
    }
};

class ParsePuzzleRow : public testing::TestWithParam<RowCase> {};

TEST_P(ParsePuzzleRow, FillsRowZeroOnly) {
    const RowCase& c = GetParam();
    EXPECT_EQ(Parse(c.row + "\n"), c.cells + std::string(72, '0')) << c.row;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ParsePuzzleRow,
    testing::Values(RowCase{"5 3 0 0 7 0 0 0 0", "530070000"}, RowCase{"5,3,,,7", "537000000"},
                    RowCase{"+ 5 6", "000000000"}, RowCase{"1 - 5 6", "100000000"},
                    RowCase{"0x 5", "000000000"}, RowCase{"0x5 6", "560000000"},
                    RowCase{"09", "090000000"}, RowCase{"010 9", "890000000"},
                    RowCase{"08", "080000000"}, RowCase{"5a3", "530000000"},
                    RowCase{"123456789", "000000000"},  // one number, low byte 21
                    RowCase{"000000004", "400000000"},  // one octal number
                    RowCase{"257 -3 9", "109000000"},
                    RowCase{"99999999999 -99999999999 4", "004000000"},
                    // Just inside the limits: low bytes 1, 9 and 8.
                    RowCase{"-2147483647 -0x7FFFFFF7 -2147483640", "198000000"},
                    RowCase{"1 2 3 4 5 6 7 8 9 1 2", "123456789"},
                    RowCase{"1\t2\x82Q3", "123000000"},  // a full-width digit separates
                    RowCase{"1 2\0 3 4"s, "120000000"},
                    RowCase{"0XA 0xf 5 0xg 6", "005000000"}));  // 10 and 15 are no givens

const std::string kPuzzle = kClassic;

TEST(ParsePuzzle, ReadsBackTheDisplayFormatFromAFile) {
    const TempDir dir;
    FileBuffer buffer;
    ASSERT_TRUE(buffer.Load(OpenForReading(dir.Write("puzzle.txt", DisplayText(kPuzzle)).c_str())));
    char line[kLineCapacity];
    ResetGrid();
    ParsePuzzle(buffer, line);
    EXPECT_EQ(Values(), kPuzzle);
}

TEST(ParsePuzzle, WholeFiles) {
    EXPECT_EQ(Parse(DisplayText(kPuzzle, "\r\n\r\n")), kPuzzle) << "blank lines between rows";
    EXPECT_EQ(Parse("\n"s.append(DisplayText(kPuzzle))),
              std::string(9, '0') + kPuzzle.substr(0, 72))
        << "a leading blank line is row 0 and pushes the ninth row out";
    EXPECT_EQ(Parse(DisplayText(kPuzzle) + "1 2 3 4 5 6 7 8 9\n"), kPuzzle) << "a tenth line";
    EXPECT_EQ(Parse(DisplayText(kPuzzle).substr(0, 3 * 19)),
              kPuzzle.substr(0, 27) + std::string(54, '0'))
        << "three rows only";
    // Row 0 is cut after 1023 bytes, in the middle of 12; the rest is read as row 1.
    EXPECT_EQ(Parse(std::string(1022, '.') + "12 3\n4\n"),
              "100000000230000000400000000" + std::string(54, '0'));
}

TEST(ParsePuzzle, NoDigitsLeaveTheBlankGrid) {
    const Grid blank = BlankGrid();
    Parse("abc\r\nx y z\n\xe5\x95\x8f\n-\n+\n0x\n");
    EXPECT_TRUE(MatchesSnapshot(blank));
    Parse("");
    EXPECT_TRUE(MatchesSnapshot(blank));
}

}  // namespace
