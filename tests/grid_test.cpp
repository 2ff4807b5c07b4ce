// The cell writes and the snapshot comparison, byte by byte.
#include <gtest/gtest.h>

#include <array>
#include <cstring>

#include "grid_fixture.h"

namespace {

using Flags = std::array<int, 9>;

Flags FlagsOf(const Cell& cell) {
    Flags flags{};
    for (int i = 0; i < 9; ++i) flags[i] = cell.candidates[i];
    return flags;
}

void SetFlags(Cell& cell, const Flags& flags) {
    for (int i = 0; i < 9; ++i) cell.candidates[i] = static_cast<std::uint8_t>(flags[i]);
}

TEST(ResetCell, MakesASolvedCellBlank) {
    ResetGrid();
    PlaceDigit(3, 4, 6);
    ResetCell(3, 4);
    EXPECT_EQ(CellAt(3, 4).value, 0);
    EXPECT_EQ(FlagsOf(CellAt(3, 4)), (Flags{1, 1, 1, 1, 1, 1, 1, 1, 1}));
}

TEST(ResetGrid, MakesEveryCellBlank) {
    std::memset(&grid, 7, sizeof grid);
    ResetGrid();
    for (const Cell& cell : grid.cells) {
        ASSERT_EQ(cell.value, 0);
        ASSERT_EQ(FlagsOf(cell), (Flags{1, 1, 1, 1, 1, 1, 1, 1, 1}));
    }
}

struct PlaceCase {
    long long d;
    int placed;  // the digit that ends in the cell, 0 when the cell must stay as it was
    friend void PrintTo(const PlaceCase& c, std::ostream* os) { *os << c.d; }
};

class PlaceDigitNarrowing : public testing::TestWithParam<PlaceCase> {};

TEST_P(PlaceDigitNarrowing, KeepsTheLowByteReadAsSigned) {
    const PlaceCase c = GetParam();
    for (const bool solvedBefore : {false, true}) {
        ResetGrid();
        if (solvedBefore) PlaceDigit(2, 7, 4);
        const Cell before = CellAt(2, 7);
        PlaceDigit(2, 7, c.d);
        const Cell& after = CellAt(2, 7);
        if (c.placed == 0) {
            EXPECT_EQ(std::memcmp(&before, &after, sizeof after), 0) << "d = " << c.d;
            continue;
        }
        Flags expected{};
        expected[c.placed - 1] = 1;
        EXPECT_EQ(after.value, c.placed) << "d = " << c.d;
        EXPECT_EQ(FlagsOf(after), expected) << "d = " << c.d;
    }
}

INSTANTIATE_TEST_SUITE_P(Values, PlaceDigitNarrowing,
                         testing::Values(PlaceCase{5, 5}, PlaceCase{1, 1}, PlaceCase{9, 9},
                                         PlaceCase{0, 0}, PlaceCase{10, 0}, PlaceCase{-5, 0},
                                         PlaceCase{256, 0}, PlaceCase{257, 1}, PlaceCase{265, 9},
                                         PlaceCase{-255, 1}, PlaceCase{2147483647, 0},
                                         PlaceCase{-2147483647 - 1, 0}));

TEST(PlaceDigit, TouchesOnlyItsOwnCell) {
    const Grid blank = BlankGrid();
    PlaceDigit(8, 8, 3);
    EXPECT_EQ(std::memcmp(&blank, &grid, sizeof(Cell) * (kCells - 1)), 0);
}

struct ResolveCase {
    const char* name;
    int value;
    Flags flags;
    int expectedValue;
    friend void PrintTo(const ResolveCase& c, std::ostream* os) { *os << c.name; }
};

class ResolveSingle : public testing::TestWithParam<ResolveCase> {};

TEST_P(ResolveSingle, SolvesOnlyAnUnsolvedCellWithOneFlag) {
    const ResolveCase c = GetParam();
    ResetGrid();
    Cell& cell = CellAt(5, 1);
    cell.value = static_cast<std::int8_t>(c.value);
    SetFlags(cell, c.flags);
    ResolveSingleCandidate(5, 1);
    EXPECT_EQ(cell.value, c.expectedValue);
    EXPECT_EQ(FlagsOf(cell), c.flags) << "the flags never change";
}

INSTANTIATE_TEST_SUITE_P(
    Cells, ResolveSingle,
    testing::Values(ResolveCase{"OnlySeven", 0, {0, 0, 0, 0, 0, 0, 1, 0, 0}, 7},
                    ResolveCase{"OnlyOne", 0, {1, 0, 0, 0, 0, 0, 0, 0, 0}, 1},
                    ResolveCase{"OnlyNine", 0, {0, 0, 0, 0, 0, 0, 0, 0, 1}, 9},
                    ResolveCase{"NoFlags", 0, {0, 0, 0, 0, 0, 0, 0, 0, 0}, 0},
                    ResolveCase{"TwoFlags", 0, {0, 1, 0, 0, 0, 0, 0, 1, 0}, 0},
                    ResolveCase{"AllFlags", 0, {1, 1, 1, 1, 1, 1, 1, 1, 1}, 0},
                    ResolveCase{"AlreadySolved", 3, {0, 0, 0, 0, 0, 1, 0, 0, 0}, 3}),
    [](const testing::TestParamInfo<ResolveCase>& info) { return info.param.name; });

TEST(Snapshot, EqualAfterCopyAndUnequalForOneFlag) {
    ResetGrid();
    PlaceDigit(4, 4, 9);
    Grid snapshot;
    TakeSnapshot(snapshot);
    EXPECT_TRUE(MatchesSnapshot(snapshot));

    CellAt(0, 8).candidates[2] = 0;  // one flag of an unsolved cell, nothing else
    EXPECT_FALSE(MatchesSnapshot(snapshot));
}

TEST(Layout, CellsAreRowMajorTenBytesApart) {
    const auto* base = reinterpret_cast<const unsigned char*>(&grid);
    EXPECT_EQ(reinterpret_cast<const unsigned char*>(&CellAt(3, 2)) - base, 2 * 90 + 3 * 10);
    EXPECT_EQ(reinterpret_cast<const unsigned char*>(&CellAt(8, 8).candidates[8]) - base, 809);
}

}  // namespace
