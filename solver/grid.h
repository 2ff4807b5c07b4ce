// The puzzle state: one process-wide grid of 81 ten-byte cells and the single-cell writes.
#pragma once

#include <cstdint>

// One cell, ten bytes:
//
//   byte  0      1   2   3   4   5   6   7   8   9
//       +-------+---+---+---+---+---+---+---+---+---+
//       | value | 1 | 2 | 3 | 4 | 5 | 6 | 7 | 8 | 9 |   candidate flag of each digit, 0 or 1
//       +-------+---+---+---+---+---+---+---+---+---+
//
// value is 0 while the cell is unsolved and its digit once solved. Flags only ever hold 0 or 1,
// so the solver may sum up to nine of them in a byte.
struct Cell {
    std::int8_t value;
    std::uint8_t candidates[9];  // candidates[d - 1] is the flag of digit d
};

constexpr int kSide = 9;
constexpr int kCells = kSide * kSide;

// The grid: 81 cells, row-major, no gaps. Cell (x, y), x the column and y the row, is cell
// y*9 + x and starts at byte y*90 + x*10; the whole grid is 810 bytes. Snapshots copy and compare
// those bytes, flags included.
struct Grid {
    Cell cells[kCells];
};

static_assert(sizeof(Cell) == 10 && alignof(Cell) == 1, "a cell is ten packed bytes");
static_assert(sizeof(Grid) == 810, "the grid is 81 cells with no padding");

// The one grid of the process: reset at start-up, filled by the parser, changed by the solver,
// read by the renderer.
extern Grid grid;

inline Cell& CellAt(int x, int y) {
    return grid.cells[y * kSide + x];
}

// Unsolved, every digit possible.
void ResetCell(int x, int y);

// ResetCell on all 81 cells: the blank grid.
void ResetGrid();

// The bytes of a cell solved with n that holds n's flag alone, for n 1 to 9: the first eight and
// the last two, as a cell is written in two stores; [0] is all zeros, for no digit.
struct PlacedBytes {
    std::uint64_t low[kSide + 1];
    std::uint16_t high[kSide + 1];
};

constexpr PlacedBytes MakePlacedBytes() {
    PlacedBytes t{};
    for (int n = 1; n <= kSide; ++n) {
        t.low[n] = static_cast<std::uint64_t>(n) | (n < 8 ? std::uint64_t{1} << 8 * n : 0);
        t.high[n] = static_cast<std::uint16_t>(n < 8 ? 0 : 1 << 8 * (n - 8));
    }
    return t;
}

inline constexpr PlacedBytes kPlacedBytes = MakePlacedBytes();

// The bytes of a blank cell, value 0 and every flag 1, in the same two stores.
struct BlankBytes {
    std::uint64_t low;
    std::uint16_t high;
};

inline constexpr BlankBytes kBlankBytes = {0x0101010101010100, 0x0101};

// n when it names a digit, 1 to 9, else 0: how a number to place is read, without a branch.
constexpr unsigned DigitOrZero(std::uint8_t n) {
    return n & -unsigned{static_cast<unsigned>(n - 1) < kSide};
}

// Makes (x, y) hold digit d when the low byte of d, read as signed, is 1 to 9; any other d leaves
// the cell as it was. Overwrites solved cells too.
void PlaceDigit(int x, int y, long long d);

// Solves an unsolved cell whose flags leave exactly one digit; the flags stay as they are.
void ResolveSingleCandidate(int x, int y);

// Whole-grid snapshot: a byte copy of the grid, and a byte-for-byte comparison with it.
void TakeSnapshot(Grid& snapshot);
bool MatchesSnapshot(const Grid& snapshot);
