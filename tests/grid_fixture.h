// Test helpers: fill the process-wide grid from the 81-character puzzle form, run it as the
// program does, and read it back.
#pragma once

#include <string>
#include <string_view>

#include "solver/givens.h"

// The givens of the row-major puzzle text: its digits 1 to 9, anything else a blank.
inline Givens GivensOf(std::string_view puzzle) {
    Givens givens{};
    for (int i = 0; i < kCells && i < static_cast<int>(puzzle.size()); ++i) {
        if (puzzle[i] >= '1' && puzzle[i] <= '9')
            givens[i] = static_cast<std::int8_t>(puzzle[i] - '0');
    }
    return givens;
}

// Blank grid, then the givens: the program's run without the solving loop.
inline void LoadPuzzle(std::string_view puzzle) {
    Grid reference;
    SolveGivens(GivensOf(puzzle), reference, [](Grid&) { return 0; });
}

// The program's run of the puzzle text through loop; returns its cycles.
inline int SolvePuzzleText(std::string_view puzzle, Grid& reference,
                           SolvingLoop loop = SolveUntilStable) {
    return SolveGivens(GivensOf(puzzle), reference, loop);
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
