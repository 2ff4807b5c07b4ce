// Test helpers: fill the process-wide grid from the 81-character puzzle form and read it back.
#pragma once

#include <string>
#include <string_view>

#include "solver/grid.h"

// Blank grid, then a given for every digit 1 to 9 of the row-major puzzle text.
inline void LoadPuzzle(std::string_view puzzle) {
    ResetGrid();
    for (int i = 0; i < kCells && i < static_cast<int>(puzzle.size()); ++i) {
        if (puzzle[i] >= '1' && puzzle[i] <= '9') PlaceDigit(i % kSide, i / kSide, puzzle[i] - '0');
    }
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
