// Givens onto the blank grid, and one puzzle run as the program runs it, apart from the grid's and
// the loop's files so that the programs, which never call them, do not carry them.
#include "givens.h"

#include <cstring>

namespace {

// A cell's bytes by the number given for it: [d] as PlaceDigit places d, [0] blank.
constexpr PlacedBytes MakeGivenBytes() {
    PlacedBytes t = kPlacedBytes;
    t.low[0] = kBlankBytes.low;
    t.high[0] = kBlankBytes.high;
    return t;
}

constexpr PlacedBytes kGivenBytes = MakeGivenBytes();

}  // namespace

void PlaceGivens(const Givens& givens) {
    for (int i = 0; i < kCells; ++i) {
        // Given or blank comes in no order a processor could learn: the bytes are looked up, not
        // branched to. Any number but 1 to 9 is a blank, as PlaceDigit leaves a blank cell.
        const unsigned digit = DigitOrZero(static_cast<std::uint8_t>(givens[i]));
        auto* bytes = reinterpret_cast<unsigned char*>(&grid.cells[i]);
        std::memcpy(bytes, &kGivenBytes.low[digit], sizeof kGivenBytes.low[0]);
        std::memcpy(bytes + sizeof kGivenBytes.low[0], &kGivenBytes.high[digit],
                    sizeof kGivenBytes.high[0]);
    }
}

int SolveGivens(const Givens& givens, Grid& reference, SolvingLoop loop) {
    ResetGrid();
    TakeSnapshot(reference);
    PlaceGivens(givens);
    return loop(reference);
}
