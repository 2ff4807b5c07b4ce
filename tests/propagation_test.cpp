// Singles propagation: whole puzzles through the solving loop, and single-cell rule cases.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "grid_fixture.h"
#include "sample_puzzles.h"
#include "solver/propagation.h"

namespace {

// Two 5s in row 0 and two 1s in column 8: no solution, yet the loop must end and keep the givens.
constexpr const char* kInconsistent =
    "550000001000000000000000000000000000000000000000000000000000000000000000000000001";

int Solve(const char* puzzle) {
    Grid reference;
    const int cycles = SolvePuzzleText(puzzle, reference);
    EXPECT_TRUE(MatchesSnapshot(reference)) << "the loop ends on a cycle that changed nothing";
    return cycles;
}

TEST(SolveUntilStable, SolvesTheClassicPuzzleInThreeCycles) {
    EXPECT_EQ(Solve(kClassic), 3);
    EXPECT_EQ(Values(), kClassicSolution);
}

TEST(SolveUntilStable, EmptyPuzzleRunsNoSweep) {
    const Grid blank = BlankGrid();
    EXPECT_EQ(Solve(""), 0);
    EXPECT_TRUE(MatchesSnapshot(blank));
}

TEST(SolveUntilStable, FixpointOfAHardPuzzleKeepsUnsolvedCellsConsistent) {
    Solve(kHard);
    const std::string values = Values();
    EXPECT_NE(values.find('0'), std::string::npos);

    // Another sweep finds nothing, so every unsolved cell has lost the digits of its solved
    // peers and still has at least two candidates.
    Grid fixpoint;
    TakeSnapshot(fixpoint);
    SolvePass();
    EXPECT_TRUE(MatchesSnapshot(fixpoint));
    for (int i = 0; i < kCells; ++i) {
        const Cell& cell = grid.cells[i];
        if (cell.value != 0) continue;
        int open = 0;
        for (int d = 1; d <= 9; ++d) open += cell.candidates[d - 1];
        EXPECT_GE(open, 2) << "cell " << i;
        for (int j = 0; j < kCells; ++j) {
            const bool peer = j != i && (j / 9 == i / 9 || j % 9 == i % 9 ||
                                         (j / 27 == i / 27 && j % 9 / 3 == i % 9 / 3));
            if (peer && grid.cells[j].value > 0) {
                EXPECT_EQ(cell.candidates[grid.cells[j].value - 1], 0) << i << " sees " << j;
            }
        }
    }
}

class GivensStay : public testing::TestWithParam<const char*> {};

TEST_P(GivensStay, WhateverTheirNeighboursHold) {
    LoadPuzzle(GetParam());
    const Grid givens = grid;
    Solve(GetParam());
    for (int i = 0; i < kCells; ++i) {
        if (givens.cells[i].value == 0) continue;
        EXPECT_EQ(std::memcmp(&givens.cells[i], &grid.cells[i], sizeof(Cell)), 0) << "cell " << i;
    }
}

INSTANTIATE_TEST_SUITE_P(Puzzles, GivensStay, testing::Values(kClassic, kHard, kInconsistent));

// One cell of an otherwise blank grid, with chosen digits removed from the flags of the other
// eight cells of one of its units: that unit's hidden single. The cell's own visit finds it, and
// so does the solving loop, whose sweeps reach the cell before anything else changes there.
enum class Unit { kRow, kColumn, kBox };

struct HiddenCase {
    const char* name;
    Unit unit;
    int x, y;
    const char* missing;  // the digits no other cell of the unit allows
    const char* own;      // the digits the cell itself allows
    int expected;
    friend void PrintTo(const HiddenCase& c, std::ostream* os) { *os << c.name; }
};

bool InUnit(const HiddenCase& c, int x, int y) {
    if (c.unit == Unit::kRow) return y == c.y;
    if (c.unit == Unit::kColumn) return x == c.x;
    return x / 3 == c.x / 3 && y / 3 == c.y / 3;
}

class HiddenSingle : public testing::TestWithParam<HiddenCase> {};

TEST_P(HiddenSingle, PlacesTheDigitNoPeerAllows) {
    const HiddenCase c = GetParam();
    Grid reference = BlankGrid();
    for (int i = 0; i < kCells; ++i) {
        const int x = i % kSide, y = i / kSide;
        if ((x != c.x || y != c.y) && InUnit(c, x, y)) {
            for (const char* d = c.missing; *d; ++d) CellAt(x, y).candidates[*d - '1'] = 0;
        }
    }
    std::memset(CellAt(c.x, c.y).candidates, 0, 9);
    for (const char* d = c.own; *d; ++d) CellAt(c.x, c.y).candidates[*d - '1'] = 1;
    const Grid start = grid;
    PropagateCell(c.x, c.y);
    EXPECT_EQ(CellAt(c.x, c.y).value, c.expected) << "PropagateCell";
    grid = start;
    SolveUntilStable(reference);
    EXPECT_EQ(CellAt(c.x, c.y).value, c.expected) << "SolveUntilStable";
}

// When two digits are unseen, both are placed in turn and the higher one stays.
INSTANTIATE_TEST_SUITE_P(
    Units, HiddenSingle,
    testing::Values(HiddenCase{"EvenWithoutItsOwnFlag", Unit::kRow, 0, 0, "4", "12356789", 4},
                    HiddenCase{"HighestOfTwoWins", Unit::kRow, 0, 0, "38", "123456789", 8},
                    HiddenCase{"NoneMissing", Unit::kRow, 0, 0, "", "123456789", 0},
                    HiddenCase{"ColumnHighestOfTwoWins", Unit::kColumn, 8, 8, "38", "123456789", 8},
                    HiddenCase{"BoxHighestOfTwoWins", Unit::kBox, 4, 4, "38", "123456789", 8}),
    [](const testing::TestParamInfo<HiddenCase>& info) { return info.param.name; });

TEST(PropagateCell, CellWithoutCandidatesStaysUnsolved) {
    Grid reference = BlankGrid();
    std::memset(CellAt(4, 4).candidates, 0, 9);
    SolveUntilStable(reference);
    EXPECT_EQ(CellAt(4, 4).value, 0);
    EXPECT_EQ(Values(), std::string(81, '0'));
}

TEST(SolvePass, LaterCellsSeeDigitsFoundEarlierInTheSweep) {
    // No other cell of row 0 allows 4, so (0, 0) becomes 4 first in the sweep; (0, 1), visited
    // right after it, must already lose its 4 to it.
    ResetGrid();
    for (int x = 1; x < kSide; ++x) CellAt(x, 0).candidates[3] = 0;
    SolvePass();
    EXPECT_EQ(CellAt(0, 0).value, 4);
    EXPECT_EQ(CellAt(0, 1).candidates[3], 0);
}

}  // namespace
