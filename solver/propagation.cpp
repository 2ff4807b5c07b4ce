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
// exactly as cycles of two SolvePass calls would, but works on a compact copy of the grid and
// visits only the cells whose outcome can have changed.
namespace {

// The working copy: one 32-bit word per cell, in sweep order (position k = x*9 + y, so the
// sweep walks the array front to back: down column 0, then down column 1, ...):
//
//   bit   31 ... 25   24 ........... 16   15 ... 9   8 ............ 0
//       +-----------+------------------+-----------+----------------+
//       |     0     | digit: bit d+15  |     0     | flags: bit d-1 |
//       +-----------+------------------+-----------+----------------+
//
// The digit bit is set when the cell's value is d (none while unsolved); flag bit d-1 is
// candidates[d - 1]. ORing the words of a unit's cells gives, in one operation, the digits its
// solved cells hold (high half) and the digits any of its cells still allows (low half).
constexpr std::uint32_t kFlagBits = 0x1FF;
constexpr int kDigitShift = 16;

constexpr std::uint32_t DigitBit(int d) {
    return 1u << (d - 1 + kDigitShift);
}

// Positions 0 to 80 as bits of two 64-bit words: which cells are still unsolved, which must be
// visited in the current or the next sweep, which have changed and must be written back.
struct CellSet {
    std::uint64_t word[2];

    void Add(int k) { word[k >> 6] |= std::uint64_t{1} << (k & 63); }
    void Remove(int k) { word[k >> 6] &= ~(std::uint64_t{1} << (k & 63)); }
    // The first member at or after position from, or kCells when there is none.
    int NextFrom(int from) const {
        if (from < 64) {
            const std::uint64_t rest = word[0] & (~std::uint64_t{0} << from);
            if (rest) return std::countr_zero(rest);
            from = 64;
        }
        const std::uint64_t rest = word[1] & (~std::uint64_t{0} << (from - 64));
        return rest ? 64 + std::countr_zero(rest) : kCells;
    }
};

// For each position, the positions of its 8 row peers, 8 column peers and 8 box peers, and the
// 20 distinct peers as a set. Positions are in sweep order, like the working copy.
struct PeerTables {
    std::uint8_t unit[kCells][3][8];
    CellSet all[kCells];
};

constexpr int Position(int x, int y) {
    return x * kSide + y;
}

constexpr PeerTables MakePeerTables() {
    PeerTables t{};
    for (int x = 0; x < kSide; ++x) {
        for (int y = 0; y < kSide; ++y) {
            const int k = Position(x, y);
            int row = 0;
            int column = 0;
            int box = 0;
            for (int c = 0; c < kSide; ++c) {
                for (int r = 0; r < kSide; ++r) {
                    if (c == x && r == y) continue;
                    const int peer = Position(c, r);
                    const bool inBox = c / 3 == x / 3 && r / 3 == y / 3;
                    if (r == y) t.unit[k][0][row++] = static_cast<std::uint8_t>(peer);
                    if (c == x) t.unit[k][1][column++] = static_cast<std::uint8_t>(peer);
                    if (inBox) t.unit[k][2][box++] = static_cast<std::uint8_t>(peer);
                    if (r == y || c == x || inBox) t.all[k].word[peer >> 6] |= 1ull << (peer & 63);
                }
            }
        }
    }
    return t;
}

constexpr PeerTables kPeers = MakePeerTables();

// Byte i of kFlagBytes[f] is bit i of f: the first eight candidate flags of a cell.
constexpr std::array<std::uint64_t, 256> MakeFlagBytes() {
    std::array<std::uint64_t, 256> t{};
    for (int f = 0; f < 256; ++f) {
        for (int i = 0; i < 8; ++i) {
            if (f >> i & 1) t[f] |= std::uint64_t{1} << (8 * i);
        }
    }
    return t;
}

constexpr std::array<std::uint64_t, 256> kFlagBytes = MakeFlagBytes();

// Flags are read eight bytes at a time, byte i at bits 8i to 8i+7.
static_assert(std::endian::native == std::endian::little);

struct Work {
    std::uint32_t cell[kCells];
    CellSet unsolved;
    CellSet pending;  // unsolved cells with a peer changed since their last visit
    CellSet changed;
};

// Copies the grid into w. False when some cell is outside what the grid's writers ever produce
// (a flag other than 0 or 1, a value outside 0 to 9): such a grid takes the plain loop.
bool Load(Work& w) {
    std::uint64_t stray = 0;
    w.unsolved = {};
    for (int x = 0; x < kSide; ++x) {
        for (int y = 0; y < kSide; ++y) {
            const Cell& cell = CellAt(x, y);
            const int k = Position(x, y);
            std::uint64_t low;  // flags of digits 1 to 8, one byte each
            std::memcpy(&low, cell.candidates, sizeof low);
            const std::uint8_t nine = cell.candidates[8];
            const auto value = static_cast<std::uint8_t>(cell.value);
            stray |= (low & 0xFEFEFEFEFEFEFEFE) | (nine & 0xFE) | (value > 9);
            // Each 0/1 byte lands on its own bit of the top byte; no two partial products meet.
            std::uint32_t word = static_cast<std::uint32_t>((low * 0x0102040810204080) >> 56);
            word |= std::uint32_t{nine} << 8;
            if (value > 0 && value <= 9) {
                word |= DigitBit(value);
            } else {
                w.unsolved.Add(k);
            }
            w.cell[k] = word;
        }
    }
    w.pending = w.unsolved;
    w.changed = {};
    return stray == 0;
}

// Writes back the cells that changed.
void Store(const Work& w) {
    for (int k = w.changed.NextFrom(0); k < kCells; k = w.changed.NextFrom(k + 1)) {
        Cell& cell = CellAt(k / kSide, k % kSide);
        const std::uint32_t word = w.cell[k];
        cell.value = static_cast<std::int8_t>(std::bit_width(word >> kDigitShift));
        std::memcpy(cell.candidates, &kFlagBytes[word & 0xFF], 8);
        cell.candidates[8] = static_cast<std::uint8_t>(word >> 8 & 1);
    }
}

// kHighest[s] is the flag bit of the highest digit in the set s, 0 for the empty set.
constexpr std::array<std::uint16_t, 512> MakeHighest() {
    std::array<std::uint16_t, 512> t{};
    for (unsigned s = 1; s < 512; ++s)
        t[s] = static_cast<std::uint16_t>(1u << (std::bit_width(s) - 1));
    return t;
}

constexpr std::array<std::uint16_t, 512> kHighest = MakeHighest();

// One unit step of PropagateCell on the flags being built and the digit placed so far (as its
// flag bit): the unit's solved digits leave the flags, then every digit that no peer allows is
// placed in turn, so the highest one stays, replacing the digit and the flags. Branch-free: which
// way it goes depends on the puzzle and would defeat the branch predictor.
void UnitStep(std::uint32_t unit, std::uint32_t& flags, std::uint32_t& digit) {
    flags &= ~(unit >> kDigitShift);
    const std::uint32_t placed = kHighest[~unit & kFlagBits];
    const std::uint32_t keep = placed == 0 ? ~0u : 0u;
    flags = (flags & keep) | placed;
    digit = (digit & keep) | placed;
}

// PropagateCell on the unsolved cell at position k. Only that cell is written, so the three
// units can be gathered before any step runs; the steps then follow the same order as in
// PropagateCell. Returns whether the cell changed.
bool Visit(Work& w, int k) {
    const auto& unit = kPeers.unit[k];
    const auto gather = [&](const std::uint8_t* p) {
        return (w.cell[p[0]] | w.cell[p[1]]) | (w.cell[p[2]] | w.cell[p[3]]) |
               ((w.cell[p[4]] | w.cell[p[5]]) | (w.cell[p[6]] | w.cell[p[7]]));
    };
    const std::uint32_t row = gather(unit[0]);
    const std::uint32_t column = gather(unit[1]);
    const std::uint32_t box = gather(unit[2]);
    const std::uint32_t before = w.cell[k];
    std::uint32_t flags = before;
    std::uint32_t digit = 0;
    UnitStep(row, flags, digit);
    UnitStep(column, flags, digit);
    UnitStep(box, flags, digit);
    // The naked single. After a placement the flags are the placed digit's or none, so this
    // changes nothing then, as ResolveSingleCandidate leaves a solved cell alone.
    digit |= (flags & (flags - 1)) == 0 ? flags : 0;

    const std::uint32_t after = flags | digit << kDigitShift;
    if (after == before) return false;
    w.cell[k] = after;
    w.changed.Add(k);
    if (digit) w.unsolved.Remove(k);
    w.pending.word[0] |= kPeers.all[k].word[0] & w.unsolved.word[0];
    w.pending.word[1] |= kPeers.all[k].word[1] & w.unsolved.word[1];
    return true;
}

// One sweep in sweep order. A cell left out would find nothing: it is solved, or nothing it
// reads has changed since its last visit, and a visit that leaves a cell unsolved has applied
// every elimination and found no single, so the same visit again changes nothing. Returns
// whether any cell changed.
bool Sweep(Work& w) {
    bool changed = false;
    for (int k = w.pending.NextFrom(0); k < kCells; k = w.pending.NextFrom(k + 1)) {
        w.pending.Remove(k);
        changed |= Visit(w, k);
    }
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

// Cells only ever lose flags or become solved, and solved cells stay as they are, so a cycle
// leaves the grid as it found it exactly when neither of its sweeps changed a cell; and a sweep
// that changes nothing is followed only by sweeps that change nothing. If sweep s is the first
// to change nothing, the loop stops after the cycle that begins with sweep s or s+1, cycle
// s/2 + 1, and the snapshot then equals the grid. That first quiet sweep is the last one run.
int SolveUntilStable(Grid& reference) {
    if (MatchesSnapshot(reference)) return 0;
    Work w;
    if (!Load(w)) return PlainSolveUntilStable(reference);
    int sweeps = 1;
    while (Sweep(w)) ++sweeps;
    Store(w);
    TakeSnapshot(reference);
    return sweeps / 2 + 1;
}
