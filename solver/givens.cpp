// Givens onto the blank grid, and one puzzle run as the program runs it, apart from the grid's and
// the loop's files so that the programs, which never call them, do not carry them.
#include "givens.h"

#include <cstring>

void PlaceGivens(const Givens& givens) {
    for (int i = 0; i < kCells; ++i) {
        // Given or blank comes in no order a processor could learn: the bytes are selected, not
        // branched to. Any number but 1 to 9 is a blank, as PlaceDigit leaves a blank cell.
        const unsigned digit = DigitOrZero(static_cast<std::uint8_t>(givens[i]));
        const std::uint64_t blank = -std::uint64_t{digit == 0};  // all ones for no digit
        const std::uint64_t low = kPlacedBytes.low[digit] | (kBlankBytes.low & blank);
        const auto high =
            static_cast<std::uint16_t>(kPlacedBytes.high[digit] | (kBlankBytes.high & blank));
        auto* bytes = reinterpret_cast<unsigned char*>(&grid.cells[i]);
        std::memcpy(bytes, &low, sizeof low);
        std::memcpy(bytes + sizeof low, &high, sizeof high);
    }
}

int SolveGivens(const Givens& givens, Grid& reference, SolvingLoop loop) {
    ResetGrid();
    TakeSnapshot(reference);
    PlaceGivens(givens);
    return loop(reference);
}
