// The deduction rules, applied cell by cell in a fixed order that decides the result.
#include "propagation.h"

#include <array>
#include <bit>
#include <cstdint>
#include <cstring>

namespace {

// How many peers of a unit still allow each digit; index 0 is unused. At most eight peers count,
// so a byte never overflows.
using Tally = std::uint8_t[10];

// One peer of (x, y): a solved peer removes its digit from the cell, and every peer's flags count
// towards the tally (a solved peer's single flag counts for its own digit).
void Visit(Cell& cell, const Cell& peer, Tally& tally) {
    if (peer.value > 0) cell.candidates[peer.value - 1] = 0;
    for (int d = 1; d <= 9; ++d)
        tally[d] = static_cast<std::uint8_t>(tally[d] + peer.candidates[d - 1]);
}

// Hidden single: a digit no peer of the unit allows must be the cell's. The cell's own flags are
// not consulted, and when several digits qualify the highest one is placed last and stays.
void PlaceUnseenDigits(int x, int y, const Tally& tally) {
    for (int d = 1; d <= 9; ++d) {
        if (tally[d] == 0) PlaceDigit(x, y, d);
    }
}

}  // namespace

void PropagateCell(int x, int y) {
    Cell& cell = CellAt(x, y);
    if (cell.value > 0) return;

    // The column and box steps still run when the row step has just solved the cell: in a
    // consistent grid they find nothing new, in an inconsistent one they may change it again.
    Tally tally = {};
    for (int c = 0; c < kSide; ++c) {
        if (c != x) Visit(cell, CellAt(c, y), tally);
    }
    PlaceUnseenDigits(x, y, tally);

    Tally column = {};
    for (int r = 0; r < kSide; ++r) {
        if (r != y) Visit(cell, CellAt(x, r), column);
    }
    PlaceUnseenDigits(x, y, column);

    Tally box = {};
    const int left = x / 3 * 3;
    const int top = y / 3 * 3;
    for (int r = top; r < top + 3; ++r) {
        for (int c = left; c < left + 3; ++c) {
            if (c != x || r != y) Visit(cell, CellAt(c, r), box);
        }
    }
    PlaceUnseenDigits(x, y, box);

    ResolveSingleCandidate(x, y);
}

void SolvePass() {
    for (int x = 0; x < kSide; ++x) {
        for (int y = 0; y < kSide; ++y) PropagateCell(x, y);
    }
}

// The loop that SolveUntilStable runs. It leaves the grid, the snapshot and the cycle count
// exactly as cycles of two SolvePass calls would, but works on a compact copy of the grid, keeps
// per-unit digit counts up to date instead of tallying neighbours at every visit, and visits only
// the cells whose visit can change something. The visits themselves go in sweep order and apply
// PropagateCell's steps in its order, with the same overwriting placements, so contradictory
// grids come out the same too.
namespace {

// Cell words: one 64-bit word per cell, digit d owning the five bits 5(d-1) to 5(d-1)+4.
//
//   digit          9                8                        1
//   bit    44 43 42 41 40   39 38 37 36 35   ...   4  3  2  1  0
//         +--+--+--+--+--+ +--+--+--+--+--+     +--+--+--+--+--+
//         | 0| 0| 0| S| F| | 0| 0| 0| S| F| ... | 0| 0| 0| S| F|
//         +--+--+--+--+--+ +--+--+--+--+--+     +--+--+--+--+--+
//
//   F: candidate flag d (candidates[d - 1]); S: the cell's value is d.
//
// Unit words, for each row, column and box, on the same fields. free holds in each field
// 16 minus the number of the unit's cells that allow the digit (7 to 16): 16 in every field
// minus the F bits of the nine cells. Adding one cell's F bits gives 16 minus what its peers
// allow, so a digit no peer allows is a field of exactly 16, the only value with bit 4 set.
// solved has the F bit of every digit a cell of the unit is solved with.
using Word = std::uint64_t;

constexpr int kFieldWidth = 5;
constexpr int kSolvedShift = 1;   // F to S
constexpr int kSixteenShift = 4;  // F to the field's bit 4

constexpr Word FlagOf(int d) {
    return Word{1} << (kFieldWidth * (d - 1));
}

constexpr Word MakeFlagBits() {
    Word bits = 0;
    for (int d = 1; d <= 9; ++d) bits |= FlagOf(d);
    return bits;
}

constexpr Word kFlagBits = MakeFlagBits();  // the F bit of every digit

// The F bits of the fields of value that have bit 4 set.
constexpr Word Sixteens(Word value) {
    return value >> kSixteenShift & kFlagBits;
}

// The F bit of the highest digit in set, 0 for none.
Word Highest(Word set) {
    return (Word{1} << std::bit_width(set)) >> 1;
}

// Sets of cells, one bit a cell, in sweep order: columns 0 to 6 in the first word and 7 and 8
// in the second, nine bits a column, so that no column straddles the two:
//
//   word 0:  bit 63 unused | column 6: bits 54-62 | ... | column 0: bits 0-8 (row 0 lowest)
//   word 1:  bits 18-63 unused | column 8: bits 9-17 | column 7: bits 0-8
struct CellSet {
    std::uint64_t word[2];
};

constexpr int kColumnsInFirstWord = 7;
// Bit 63 is no cell in either word: a sweep sets it in the pending set when it changes a cell.
constexpr std::uint64_t kChangedBit = std::uint64_t{1} << 63;
constexpr std::uint64_t kColumnBits = 0x1FF;

constexpr int HalfOf(int x) {
    return x / kColumnsInFirstWord;
}

constexpr int ShiftOf(int x) {
    return x % kColumnsInFirstWord * kSide;
}

constexpr int kBoxRow[kSide] = {0, 0, 0, 3, 3, 3, 6, 6, 6};  // y / 3 * 3

constexpr int BoxOf(int x, int y) {
    return y / 3 * 3 + x / 3;
}

// The nine cells of each row, column and box.
struct UnitCells {
    CellSet row[kSide];
    CellSet column[kSide];
    CellSet box[kSide];
};

constexpr UnitCells MakeUnitCells() {
    UnitCells t{};
    for (int x = 0; x < kSide; ++x) {
        for (int y = 0; y < kSide; ++y) {
            const std::uint64_t bit = std::uint64_t{1} << (ShiftOf(x) + y);
            t.row[y].word[HalfOf(x)] |= bit;
            t.column[x].word[HalfOf(x)] |= bit;
            t.box[BoxOf(x, y)].word[HalfOf(x)] |= bit;
        }
    }
    return t;
}

constexpr UnitCells kUnitCells = MakeUnitCells();

// The 20 peers of each cell, [x][y]: its row, column and box but itself.
constexpr std::array<std::array<CellSet, kSide>, kSide> MakePeers() {
    std::array<std::array<CellSet, kSide>, kSide> t{};
    for (int x = 0; x < kSide; ++x) {
        for (int y = 0; y < kSide; ++y) {
            for (int i = 0; i < 2; ++i) {
                t[x][y].word[i] = kUnitCells.row[y].word[i] | kUnitCells.column[x].word[i] |
                                  kUnitCells.box[BoxOf(x, y)].word[i];
            }
            t[x][y].word[HalfOf(x)] &= ~(std::uint64_t{1} << (ShiftOf(x) + y));
        }
    }
    return t;
}

constexpr auto kPeers = MakePeers();

// Eight 0/1 flag bytes (byte i at bits 8i to 8i+7) to the F bits of digits 1 to 8, and back, by
// multiplication: the product moves bit 8i to bit 5i (or back). Every partial product lands on
// a bit of its own, so nothing carries, and none but the wanted ones land on a target bit; going
// back, the even and the odd digits are spread apart for that.
constexpr Word kLowFlagBits = kFlagBits & ((Word{1} << 40) - 1);  // digits 1 to 8

constexpr Word BytesToFlags(std::uint64_t bytes) {
    constexpr Word kGather = 0x249249;  // bits 21, 18, ..., 0: bit 8i to 21 + 5i
    return (bytes * kGather) >> 21 & kLowFlagBits;
}

constexpr std::uint64_t FlagsToBytes(Word flags) {
    constexpr Word kEven = 0x40100401;     // F bits of digits 1, 3, 5, 7 (bits 0, 10, 20, 30)
    constexpr Word kOdd = 0x802008020;     // F bits of digits 2, 4, 6, 8 (bits 5, 15, 25, 35)
    constexpr Word kSpreadEven = 0x41041;  // bits 0, 6, 12, 18: bit 5i to 8i, i even
    constexpr Word kSpreadOdd = 0x208208;  // bits 3, 9, 15, 21: bit 5i to 8i, i odd
    constexpr std::uint64_t kBytes = 0x0101010101010101;
    return ((flags & kEven) * kSpreadEven | (flags & kOdd) * kSpreadOdd) & kBytes;
}

static_assert(BytesToFlags(0x0100000000000101) == (FlagOf(1) | FlagOf(2) | FlagOf(8)));
static_assert(BytesToFlags(0x0101010101010101) == kLowFlagBits);
static_assert(FlagsToBytes(FlagOf(1) | FlagOf(2) | FlagOf(8)) == 0x0100000000000101);
static_assert(FlagsToBytes(kFlagBits | kFlagBits << kSolvedShift) == 0x0101010101010101);

// Flags are read and written eight bytes at a time, byte i at bits 8i to 8i+7.
static_assert(std::endian::native == std::endian::little);

// The counts and solved digits of one unit.
struct Unit {
    Word free;
    Word solved;
};

struct Work {
    Word cell[kSide][kSide];  // [x][y]
    Unit row[kSide];
    Unit column[kSide];
    Unit box[kSide];
    CellSet open;      // unsolved when loaded: the only cells that can change
    CellSet unsolved;  // unsolved now
    CellSet pending;   // unsolved cells whose next visit may change them
};

// The F bit of the digit of a cell value, 0 for an unsolved cell (values above 9 never pass).
constexpr std::array<Word, 16> MakeDigitOfValue() {
    std::array<Word, 16> t{};
    for (int v = 1; v <= 9; ++v) t[v] = FlagOf(v);
    return t;
}

constexpr std::array<Word, 16> kDigitOfValue = MakeDigitOfValue();

// Copies the grid into w. False when some cell is outside what the grid's writers ever produce
// (a flag other than 0 or 1, a value outside 0 to 9): such a grid takes the plain loop.
bool Load(Work& w) {
    std::uint64_t stray = 0;
    std::uint64_t solvedBits = 0;  // this column's cells solved, by row
    CellSet unsolved = {};
    for (int i = 0; i < kSide; ++i) w.row[i] = w.box[i] = {kFlagBits << kSixteenShift, 0};
    for (int x = 0; x < kSide; ++x) {
        Unit column = {kFlagBits << kSixteenShift, 0};
        for (int y = 0; y < kSide; ++y) {
            const Cell& cell = CellAt(x, y);
            std::uint64_t bytes;  // flags of digits 1 to 8
            std::memcpy(&bytes, cell.candidates, sizeof bytes);
            const std::uint8_t nine = cell.candidates[8];
            const auto value = static_cast<std::uint8_t>(cell.value);
            stray |= (bytes & 0xFEFEFEFEFEFEFEFE) | (nine & 0xFE) | (value > 9);
            const Word flags = BytesToFlags(bytes) | Word{nine} << (kFieldWidth * 8);
            const Word digit = kDigitOfValue[value & 15];
            w.cell[x][y] = flags | digit << kSolvedShift;
            solvedBits |= std::uint64_t{digit != 0} << y;
            Unit& row = w.row[y];
            Unit& box = w.box[BoxOf(x, y)];
            row.free -= flags;
            row.solved |= digit;
            column.free -= flags;
            column.solved |= digit;
            box.free -= flags;
            box.solved |= digit;
        }
        w.column[x] = column;
        unsolved.word[HalfOf(x)] |= (~solvedBits & kColumnBits) << ShiftOf(x);
        solvedBits = 0;
    }
    w.open = w.pending = w.unsolved = unsolved;
    return stray == 0;
}

// Writes back every cell that can have changed, to the grid and to the snapshot, which holds a
// copy of the grid as loaded.
void Store(const Work& w, Grid& reference) {
    for (int x = 0; x < kSide; ++x) {
        for (std::uint64_t rest = w.open.word[HalfOf(x)] >> ShiftOf(x) & kColumnBits; rest;
             rest &= rest - 1) {
            const int y = std::countr_zero(rest);
            const Word word = w.cell[x][y];
            Cell cell;
            // The S bit of digit d is bit 5(d-1)+1; with a stop bit where digit 10 would be,
            // the lowest set bit is field d-1, or field 9 for an unsolved cell. (t * 13) >> 6
            // is t / 5 for every multiple t of 5 up to 45.
            const int field =
                std::countr_zero((word >> kSolvedShift & kFlagBits) | FlagOf(10)) * 13 >> 6;
            cell.value = static_cast<std::int8_t>(field == 9 ? 0 : field + 1);
            const std::uint64_t bytes = FlagsToBytes(word);
            std::memcpy(cell.candidates, &bytes, sizeof bytes);
            cell.candidates[8] = static_cast<std::uint8_t>(word >> (kFieldWidth * 8) & 1);
            CellAt(x, y) = cell;
            reference.cells[y * kSide + x] = cell;
        }
    }
}

// One unit step of PropagateCell on the flags being built and the digit placed so far (its F
// bit): the unit's solved digits leave the flags; then every digit that no peer allows is placed
// in turn, so the highest one stays, replacing the digit and the flags.
[[gnu::always_inline]] inline void UnitStep(const Unit& unit, Word before, Word& flags,
                                            Word& digit) {
    flags &= ~unit.solved;
    const Word placed = Highest(Sixteens(unit.free + before));
    if (placed) {
        flags = placed;
        digit = placed;
    }
}

// One column of a sweep: PropagateCell on every pending cell of column x, top to bottom. The
// column's unit stays in registers: consecutive visits go down the column, and each reads what
// the one before wrote there. own and other are the words of the cell sets that hold this column
// and that do not.
void SweepColumn(int x, Work& w, std::uint64_t& ownPending, std::uint64_t& otherPending,
                 std::uint64_t& ownUnsolved, std::uint64_t& otherUnsolved) {
    const int shift = ShiftOf(x);
    auto ahead = static_cast<std::uint32_t>(ownPending >> shift & kColumnBits);
    if (!ahead) return;
    ownPending &= ~(kColumnBits << shift);
    Unit column = w.column[x];
    Unit* const boxes = &w.box[x / 3];
    do {
        const int y = std::countr_zero(ahead);
        ahead &= ahead - 1;
        Unit& row = w.row[y];
        Unit& box = boxes[kBoxRow[y]];

        // PropagateCell writes only this cell, so its three units can be read up front. With
        // no digit unseen in any unit, the three steps only clear the units' solved digits;
        // otherwise they run one by one as PropagateCell has them.
        const Word before = w.cell[x][y];  // unsolved: F bits only
        Word flags = before & ~(row.solved | column.solved | box.solved);
        Word digit = 0;
        const Word unseenRow = Sixteens(row.free + before);
        const Word unseenColumn = Sixteens(column.free + before);
        const Word unseenBox = Sixteens(box.free + before);
        if (unseenRow | unseenColumn | unseenBox) {
            flags = before;
            UnitStep(row, before, flags, digit);
            UnitStep(column, before, flags, digit);
            UnitStep(box, before, flags, digit);
        }
        // The naked single. After a placement the flags are the placed digit's or none, so
        // this changes nothing then, as ResolveSingleCandidate leaves a solved cell alone.
        digit |= (flags & (flags - 1)) == 0 ? flags : 0;
        const Word after = flags | digit << kSolvedShift;
        if (after == before) continue;

        w.cell[x][y] = after;
        // 16 minus the count, per field: the cell's old flags come back, its new ones go. The
        // difference may borrow across fields, but the sum never leaves 0 to 31 in any field.
        const Word delta = before - flags;
        row.free += delta;
        column.free += delta;
        box.free += delta;
        row.solved |= digit;
        column.solved |= digit;
        box.solved |= digit;
        // Every unsolved peer may change now. Those further down this column are visited in
        // this sweep, the rest when the sweep gets there or in the next one. (The cell is no
        // peer of its own, so its leaving the unsolved set can wait.)
        const std::uint64_t ownMarks = kPeers[x][y].word[HalfOf(x)] & ownUnsolved;
        const auto below = static_cast<std::uint32_t>(ownMarks >> shift) & (~0u << y) & kColumnBits;
        ahead |= below;
        ownPending |= (ownMarks & ~(std::uint64_t{below} << shift)) | kChangedBit;
        otherPending |= kPeers[x][y].word[1 - HalfOf(x)] & otherUnsolved;
        ownUnsolved &= ~(digit ? std::uint64_t{1} << (shift + y) : 0);
    } while (ahead);
    w.column[x] = column;
}

// One sweep in sweep order: PropagateCell on every pending cell. A cell left out would find
// nothing: it is solved, or none of its peers has changed since its last visit, and a visit that
// leaves a cell unsolved has applied every elimination and found no single, so the same visit
// again changes nothing. Returns whether any cell changed.
bool Sweep(Work& w) {
    std::uint64_t pending0 = w.pending.word[0];
    std::uint64_t pending1 = w.pending.word[1];
    std::uint64_t unsolved0 = w.unsolved.word[0];
    std::uint64_t unsolved1 = w.unsolved.word[1];
    for (int x = 0; x < kSide; ++x) {
        if (HalfOf(x) == 0) {
            SweepColumn(x, w, pending0, pending1, unsolved0, unsolved1);
        } else {
            SweepColumn(x, w, pending1, pending0, unsolved1, unsolved0);
        }
    }
    const bool changed = (pending0 | pending1) & kChangedBit;
    w.pending = {pending0 & ~kChangedBit, pending1 & ~kChangedBit};
    w.unsolved = {unsolved0, unsolved1};
    return changed;
}

// Cycles of two SolvePass calls, as plainly as they read.
int PlainSolveUntilStable(Grid& reference) {
    int cycles = 0;
    while (!MatchesSnapshot(reference)) {
        TakeSnapshot(reference);
        SolvePass();
        SolvePass();
        ++cycles;
    }
    return cycles;
}

}  // namespace

// A visit leaves a cell solved, or unsolved with some of its flags; solved cells are never
// visited. So a change is never undone, and a cycle leaves the grid as it found it exactly when
// neither of its sweeps changed a cell; and a sweep that changes nothing is followed only by
// sweeps that change nothing, each being a function of the grid. If sweep s is the first to
// change nothing, the loop stops after the cycle that begins with sweep s or s+1, cycle s/2 + 1,
// and the snapshot then equals the grid. That first quiet sweep is the last one run.
int SolveUntilStable(Grid& reference) {
    if (MatchesSnapshot(reference)) return 0;
    Work w;
    if (!Load(w)) return PlainSolveUntilStable(reference);
    TakeSnapshot(reference);
    int sweeps = 1;
    while (Sweep(w)) ++sweeps;
    Store(w, reference);
    return sweeps / 2 + 1;
}
