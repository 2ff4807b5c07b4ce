// Renders the process-wide grid, row by row, in the digit-and-blank display format.
#include "grid_render.h"

#include "solver/grid.h"

void RenderGrid(char* text) {
    for (int i = 0; i < kCells; ++i) {
        *text++ = static_cast<char>('0' + grid.cells[i].value);
        *text++ = ' ';
        if (i % kSide == kSide - 1) *text++ = '\n';
    }
}
