// Test helpers: fill the process-wide grid from the 81-character puzzle form, run it as the
// program does, and read it back.
#pragma once

#include <string>
#include <string_view>

#include "solver/grid.h"
#include "solver/propagation.h"

// A given for every digit 1 to 9 of the row-major puzzle text, on the grid as it stands.
inline void PlaceGivens(std::string_view puzzle) {
    for (int i = 0; i < kCells && i < static_cast<int>(puzzle.size()); ++i) {
        if (puzzle[i] >= '1' && puzzle[i] <= '9') PlaceDigit(i % kSide, i / kSide, puzzle[i] - '0');
    }
}

// Blank grid, then the givens.
inline void LoadPuzzle(std::string_view puzzle) {
    ResetGrid();
    PlaceGivens(puzzle);
}

// The program's run of the puzzle text through loop; returns its cycles.
inline int SolvePuzzleText(std::string_view puzzle, Grid& reference,
                           SolvingLoop loop = SolveUntilStable) {
    return SolvePuzzle(
        reference,
        [puzzle] {
            PlaceGivens(puzzle);
            return true;
        },
        loop);
}

// The 81 values row by row, 0 for an unsolved cell.
inline std::string Values() {
    std::string text;
    for (const Cell& cell : grid.cells) text += static_cast<char>('0' + cell.value);
    return text;
}

inline Grid BlankGrid() {
    ResetGrid();
    Grid blank;
    TakeSnapshot(blank);
    return blank;
}
