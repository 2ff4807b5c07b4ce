// FastSolveUntilStable: the solving loop on a compact copy of the grid, visiting only the cells
// whose visit can change them, with the results of cycles of two SolvePass calls byte for byte;
// and SolveUntilStable, which hands it every grid and the plain loop the grids it refuses. The
// copy is one of two layouts, chosen by the build: digit fields in 64-bit words, or byte vectors.
#include "solving_loop.h"

#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>

#include "propagation.h"

// The vector operations below take SSE2 where the compiler has it, and plain byte loops elsewhere
// or wherever NUMPLACE_PORTABLE_VECTORS asks for them, so that x86 builds test that path too.
#if defined(__SSE2__) && !defined(NUMPLACE_PORTABLE_VECTORS)
#include <emmintrin.h>
#define NUMPLACE_SSE2 1
#else
#define NUMPLACE_SSE2 0
#endif

// 64-bit code keeps a cell's flags and a unit's counts as fields of one machine word each; in
// 32-bit code such a word takes two registers of the few there are, and the byte vectors are
// faster. NUMPLACE_32_BIT_SET_WORDS and NUMPLACE_PORTABLE_VECTORS ask a 64-bit build for the byte
// vectors too, so that its tests check the 32-bit program's loop on machines that run no 32-bit
// program.
#if UINTPTR_MAX > 0xFFFFFFFFu && !defined(NUMPLACE_32_BIT_SET_WORDS) && \
    !defined(NUMPLACE_PORTABLE_VECTORS)
#define NUMPLACE_FIELDS 1
#else
#define NUMPLACE_FIELDS 0
#endif

// Words of this file, each defined once:
//
//   visit      PropagateCell on one unsolved cell: the row, column and box steps, each placing a
//              hidden single, then the naked single.
//   sweep      SolvePass: visits in sweep order, down column 0, then down column 1, and so on.
//   peers      the cells of a cell's row, column and box, but the cell itself.
//   flags      a cell's candidate flags: the digits still possible in it.
//   unseen     a digit of a unit is unseen by a cell when no peer of the cell in that unit has its
//              flag: the unit's step places it (a hidden single).
//   holders    how many cells of a unit have a digit's flag, per digit (the compact counts below).
//   quiet      a cell whose visit would change nothing.
//   pending    the cells still to visit: those that may not be quiet.
//   mark       to add a cell's peers to pending, because its change may make them not quiet.
//   walk       one pass along a word of pending's bits, which is how a sweep visits.
//   shadow     of a digit: the peers of the cells solved with it so far.
//
// Why skipping visits leaves every result as the plain loop has it. The comments below cite these
// by number.
//
// (1) A visit of an unsolved cell is a function of its own flags, the digits its row, column and
//     box are solved with, and, per unit and digit, how many of its peers in the unit have the
//     digit's flag (the unit's holders less the cell's own flag). It reads nothing else and
//     writes only the cell.
// (2) A visit that leaves its cell unsolved leaves it quiet. It has cleared every solved digit
//     of its units, found no unseen digit (it would have placed it) and kept more or fewer flags
//     than one (it would have taken that one), and the peers it read are the same for the next
//     visit.
// (3) A quiet cell stays quiet until a peer changes: only the cell's own visit writes its flags,
//     and everything else a visit reads (1) is its peers' state.
// (4) pending, less the solved cells in it, holds every unsolved cell that may not be quiet: all
//     of them at the start, then the peers of each cell whose change can reach them (7). A cell
//     outside it is quiet (2, 3), so a sweep that leaves it out leaves the grid as visiting it
//     would.
// (5) Visits go in sweep order, which is the order of pending's bits: a sweep walks them from the
//     first to the last, each once. A peer marked past the changed cell is visited later in this
//     sweep, one before it in the next: each as SolvePass reaches it, having seen every change
//     before it.
// (6) A change is never undone, and a sweep that changes nothing is followed only by sweeps that
//     change nothing, each being a function of the grid. So if sweep s (counted from 1) is the
//     first to change nothing, the loop stops after the first cycle whose two sweeps both change
//     nothing, cycle s/2 + 1 (two sweeps a cycle), and the snapshot then equals the grid. Sweep s
//     is the last one run.
// (7) A change reaches a peer only through what (1) reads. A cell solved with d adds d to its
//     units' solved digits, which every peer with d's flag will clear: those peers are marked. A
//     cell left unsolved changes only holders. A count that rises changes no quiet peer (the peer
//     saw no 0), and one that falls changes a peer only where the peer's count reaches 0 (an
//     unseen digit, or every cell of the unit on a contradiction): where the unit's holders of the
//     digit fall to 1 or 0. Only then are the peers marked that may hold the digit; most
//     eliminations mark none. The changed cell itself sees the same counts as before (its own
//     flag is out of them) and stays quiet (2). The byte vectors mark all the peers each time,
//     which is more than enough.
// (8) The fields mark fewer. An unsolved cell with d's flag is outside d's shadow or pending:
//     entering the shadow marks it unless it was in already, its next visit clears d or solves
//     it, and no unsolved cell regains a flag. So the peers outside d's shadow are all those a
//     solve with d must mark, and where a count of d falls to 1, the last holder is among them.
//     A count that falls to 0, only ever on a contradiction, or two digits at once, mark all the
//     peers.
// (9) A sweep may visit every unsolved cell instead: the cells it adds are quiet (4), and a quiet
//     visit changes nothing (2). Such a sweep needs no marks, so its walk never waits for a visit
//     to know the next cell; but it keeps no pending, so every sweep after it must be one too.
namespace {

// ---- Digit vectors ---------------------------------------------------------------------------

// Byte d for digit d, byte 0 for a cell's value: a cell loads and stores as it lies in the grid.
// Arithmetic, comparisons and bitwise operators work byte by byte; comparisons give 0xFF for true.
// SSE2 keeps a vector in one register, in 32-bit code as well.
typedef std::uint8_t Digits __attribute__((vector_size(16)));

// The top bit of every byte, bit i for byte i.
unsigned TopBits(Digits bytes) {
#if NUMPLACE_SSE2
    return static_cast<unsigned>(_mm_movemask_epi8(std::bit_cast<__m128i>(bytes)));
#else
    unsigned bits = 0;
    for (int i = 0; i < 16; ++i) bits |= static_cast<unsigned>(bytes[i] >> 7) << i;
    return bits;
#endif
}

// All ones in every byte where a and b are equal, else 0.
Digits Equal(Digits a, Digits b) {
    return std::bit_cast<Digits>(a == b);
}

// Sets of cells, one bit a cell, in sweep order, in words of the machine's width: as many whole
// columns a word as fit, nine bits a column, row 0 lowest, so that bit i of word w is cell
// w * kCellsPerWord + i of the compact grid. With 64-bit words:
//
//   word 0:  bit 63 unused | column 6: bits 54-62 | ... | column 0: bits 0-8
//   word 1:  bits 18-63 unused | column 8: bits 9-17 | column 7: bits 0-8
//
// and with 32-bit words, columns 0-2, 3-5 and 6-8 in words 0, 1 and 2, bits 0-26 of each. A
// 64-bit build with NUMPLACE_32_BIT_SET_WORDS takes the 32-bit program's layout, so that its tests
// check that layout on machines that run no 32-bit program.
#ifdef NUMPLACE_32_BIT_SET_WORDS
using SetWord = std::uint32_t;
#else
using SetWord = std::uintptr_t;
#endif

constexpr int kColumnsPerWord = static_cast<int>(sizeof(SetWord)) * 8 / kSide;
constexpr int kCellsPerWord = kColumnsPerWord * kSide;
constexpr int kSetWords = (kSide + kColumnsPerWord - 1) / kColumnsPerWord;
static_assert(kSetWords <= 3, "a cell set is at most three words");

struct CellSet {
    SetWord word[kSetWords];
};

// Cells of the compact grid go down each column, column by column, as the sweep does; cell c is
// bit c % kCellsPerWord of word c / kCellsPerWord of a cell set.
constexpr int IndexOf(int x, int y) {
    return x * kSide + y;
}

constexpr int WordOf(int c) {
    return c / kCellsPerWord;
}

constexpr SetWord BitOf(int c) {
    return SetWord{1} << c % kCellsPerWord;
}

// The same for cell (x, y), with the divisions looked up per column: loading takes it for every
// cell that is not blank. A column's bits are consecutive within one word.
struct ColumnBits {
    int word[kSide];
    int shift[kSide];
};

constexpr ColumnBits MakeColumnBits() {
    ColumnBits t{};
    for (int x = 0; x < kSide; ++x) {
        t.word[x] = WordOf(IndexOf(x, 0));
        t.shift[x] = IndexOf(x, 0) % kCellsPerWord;
    }
    return t;
}

constexpr ColumnBits kColumnBits = MakeColumnBits();

// Looked up, not divided: y / 3 * 3, the top row of y's band, and x / 3, the stack of x's column.
constexpr int kBandTop[kSide] = {0, 0, 0, 3, 3, 3, 6, 6, 6};
constexpr int kStackOf[kSide] = {0, 0, 0, 1, 1, 1, 2, 2, 2};

constexpr int BoxOf(int x, int y) {
    return kBandTop[y] + kStackOf[x];
}

struct CellSets {
    CellSet peers[kCells];  // [IndexOf]: the cells of its row, column and box but itself
    CellSet all;
};

constexpr CellSets MakeCellSets() {
    CellSets t{};
    for (int x = 0; x < kSide; ++x) {
        for (int y = 0; y < kSide; ++y) {
            const int cell = IndexOf(x, y);
            t.all.word[WordOf(cell)] |= BitOf(cell);
            for (int c = 0; c < kSide; ++c) {
                for (int r = 0; r < kSide; ++r) {
                    const bool peer = c == x || r == y || BoxOf(c, r) == BoxOf(x, y);
                    const int other = IndexOf(c, r);
                    if (peer && other != cell) t.peers[cell].word[WordOf(other)] |= BitOf(other);
                }
            }
        }
    }
    return t;
}

constexpr CellSets kCellSets = MakeCellSets();

// A compact grid, in either layout, holds cell[IndexOf] and unit[27]: the rows, then the
// columns, then the boxes numbered as BoxOf.
constexpr int RowUnit(int y) {
    return y;
}

constexpr int ColumnUnit(int x) {
    return kSide + x;
}

constexpr int BoxUnit(int x, int y) {
    return 2 * kSide + BoxOf(x, y);
}

// Where a cell's units lie in a compact grid, in bytes: the sweep reaches them with an add, where
// an index would take a multiply (a byte-vector unit's 32 bytes are past what an address can scale
// by); and where the cell lies in the grid, which writing it back would otherwise work out with a
// division by nine. Eight bytes, so that finding the place takes no multiply either.
struct Place {
    std::uint16_t grid;
    std::uint16_t row;
    std::uint16_t column;
    std::uint16_t box;
};
static_assert(sizeof(Place) == 8, "a place is a scaled index");

struct Places {
    Place of[kCells];  // [IndexOf]
};

template <typename Compact>
constexpr Places MakePlaces() {
    static_assert(sizeof(Compact) <= 0xFFFF, "every offset fits a place");
    constexpr auto unit = [](int i) {
        return std::uint16_t(offsetof(Compact, unit) + i * sizeof(Compact::unit[0]));
    };
    Places t{};
    for (int x = 0; x < kSide; ++x) {
        for (int y = 0; y < kSide; ++y) {
            const int c = IndexOf(x, y);
            t.of[c] = {std::uint16_t((y * kSide + x) * sizeof(Cell)), unit(RowUnit(y)),
                       unit(ColumnUnit(x)), unit(BoxUnit(x, y))};
        }
    }
    return t;
}

// What lies at offset in compact.
template <typename T, typename Compact>
T& At(Compact& compact, std::uint16_t offset) {
    return *reinterpret_cast<T*>(reinterpret_cast<unsigned char*>(&compact) + offset);
}

// Whether cell (x, y) is blank, in one sixteen-byte read from the row's bytes: the cell and what
// follows it, or for the row's last cell what precedes it.
bool IsBlank(int x, int y) {
    constexpr Digits kBlank = {0, 1, 1, 1, 1, 1, 1, 1, 1, 1};
    constexpr Digits kBlankLast = {0, 0, 0, 0, 0, 0, 0, 1, 1, 1, 1, 1, 1, 1, 1, 1};
    const bool last = x == kSide - 1;
    Digits bytes;
    std::memcpy(&bytes, reinterpret_cast<const unsigned char*>(&CellAt(x, y)) - (last ? 6 : 0),
                sizeof bytes);
    const unsigned ours = last ? 0xFFC0 : 0x3FF;
    return (TopBits(Equal(bytes, last ? kBlankLast : kBlank)) & ours) == ours;
}

// Sets row y's cells of a compact grid to blank, which is what the starting counts assume and
// what most cells are, and returns the others, bit x for column x: one pass along the row without
// branches finds them.
template <typename T>
unsigned BlankRow(T (&cells)[kCells], T blank, int y) {
    unsigned others = 0;
#pragma GCC unroll 9
    for (int x = 0; x < kSide; ++x) {
        cells[IndexOf(x, y)] = blank;
        others |= unsigned{!IsBlank(x, y)} << x;
    }
    return others;
}

// A sweep's walk along word w of the cell sets, in registers: ahead, the word's pending cells
// still to visit in this sweep, and the word's unsolved cells, which only its visits change.
struct Walk {
    SetWord ahead;
    SetWord unsolved;
};

// How a sweep walks: the pending cells, marking the peers a visit's change can reach (4), or
// every unsolved cell, marking none (9); and in the first sweep, when every unsolved cell is
// pending, the marks past the visit are ahead already, and go to the next sweep's pending alone.
enum class Walking { kFirst, kPending, kUnsolved };

// Adds the cells of marked to pending (4), the visit being of cell i of word w: those past it in
// word w to the walk's ahead, if unsolved; the others where the walk finds them, in this sweep if
// their word is still to come, else in the next (5). inWord is marked's word w, which the caller
// takes as it best can: from a table by index, or by a mask from words worked out in registers,
// which an index would send through memory.
template <Walking kWalking>
[[gnu::always_inline]] inline void Mark(CellSet& pending, const CellSet& marked, SetWord inWord,
                                        int w, int i, Walk& walk) {
    const SetWord past = ~SetWord{1} << i;
    for (int k = 0; k < kSetWords; ++k)
        pending.word[k] |= marked.word[k] & ~(past & -SetWord{k == w});
    if (kWalking == Walking::kPending) walk.ahead |= inWord & past & walk.unsolved;
}

#if !NUMPLACE_FIELDS

// All ones in every byte that is 0, else 0.
Digits IsZero(Digits bytes) {
    return Equal(bytes, Digits{});
}

// The smaller and the larger of each pair of bytes, unsigned.
Digits Min(Digits a, Digits b) {
    return a < b ? a : b;
}

Digits Max(Digits a, Digits b) {
    return a > b ? a : b;
}

// Bits of the bytes of a that are above b's, unsigned.
unsigned Above(Digits a, Digits b) {
    return TopBits(std::bit_cast<Digits>(a > b));
}

// All ones when true, else 0: selects a whole vector without a branch.
Digits AllIf(bool condition) {
    return Digits{} - static_cast<std::uint8_t>(condition);
}

// A cell's ten bytes, the rest 0, read as eight and two: no further, and without a trip through
// memory.
Digits LoadCell(const Cell& cell) {
#if NUMPLACE_SSE2
    const __m128i low = _mm_loadl_epi64(reinterpret_cast<const __m128i*>(&cell));
    std::uint16_t last;  // flags 8 and 9
    std::memcpy(&last, cell.candidates + 7, sizeof last);
    return std::bit_cast<Digits>(_mm_insert_epi16(low, last, 4));
#else
    Digits bytes = {};
    std::memcpy(&bytes, &cell, sizeof cell);
    return bytes;
#endif
}

// ---- The compact grid ------------------------------------------------------------------------

// The compact grid's three kinds of digit vectors, by what their bytes hold:
//
//   byte       0      1    2    3    4    5    6    7    8    9    10 .. 15
//            +------+----+----+----+----+----+----+----+----+----+----------+
//   cell     | value| F1 | F2 | F3 | F4 | F5 | F6 | F7 | F8 | F9 |    0     |  F: 0x00 or 0xFF
//   holders  |  0   | n1 | n2 | n3 | n4 | n5 | n6 | n7 | n8 | n9 |    0     |  n: 0 to 18
//   solved   |  0   | S1 | S2 | S3 | S4 | S5 | S6 | S7 | S8 | S9 |    0     |  S: 0x00 or 0xFF
//            +------+----+----+----+----+----+----+----+----+----+----------+
//
// F is the cell's flag of digit d, all ones when set so that it reads as -1 (bytes wrap around).
// A unit's holders n count its cells with d's flag, twice those also solved with d: n plus a
// cell's F is 0 just where d is unseen by the cell, and n falls to 1 or 0 only where that can
// newly happen to a peer (7), not while a solved cell holds d. S is set for every digit that some
// cell of the unit is solved with. A digit mask is a vector's TopBits: bit d for digit d.
constexpr unsigned kDigitBits = 0x3FE;  // bits 1 to 9 of a digit mask

// The digits whose byte is 0.
unsigned ZeroDigits(Digits bytes) {
    return TopBits(IsZero(bytes)) & kDigitBits;
}

// [d]: F of digit d alone, [0]: nothing; and in kValueOf, d in the value byte alone.
constexpr Digits kFlagOf[10] = {{},
                                {0, 0xFF},
                                {0, 0, 0xFF},
                                {0, 0, 0, 0xFF},
                                {0, 0, 0, 0, 0xFF},
                                {0, 0, 0, 0, 0, 0xFF},
                                {0, 0, 0, 0, 0, 0, 0xFF},
                                {0, 0, 0, 0, 0, 0, 0, 0xFF},
                                {0, 0, 0, 0, 0, 0, 0, 0, 0xFF},
                                {0, 0, 0, 0, 0, 0, 0, 0, 0, 0xFF}};
constexpr Digits kValueOf[10] = {{0}, {1}, {2}, {3}, {4}, {5}, {6}, {7}, {8}, {9}};
constexpr Digits kAllFlags = {0, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF};
constexpr Digits kNine = {0, 9, 9, 9, 9, 9, 9, 9, 9, 9};  // the holders of a unit of blank cells
constexpr Digits kOne = {0, 1, 1, 1, 1, 1, 1, 1, 1, 1};
constexpr Digits kValueByte = {0xFF};
constexpr Digits kCellBytes = {0xFF, 1, 1, 1, 1, 1, 1, 1, 1, 1};  // F to the grid's flag of 1

// The second count of a cell solved with the digit of placed (its F), where the cell keeps that
// digit's flag: 1 in the digit's byte, else nothing (see holders).
Digits SecondCount(Digits flags, Digits placed) {
    return flags & placed & kOne;
}

// How many of a unit's cells allow each digit, and which digits its cells are solved with.
struct Unit {
    Digits holders;
    Digits solved;
};

// The grid in the layout above, the counts of its units, and the sweep's cell sets.
struct CompactGrid {
    Digits cell[kCells];   // [IndexOf]
    Unit unit[3 * kSide];  // rows, columns, boxes
    CellSet unsolved;
    CellSet pending;  // (4)
};

// Static, like the grid: on the stack its vectors would need the frame realigned, which in 32-bit
// code takes a register of the few there are for the frame pointer.
CompactGrid staticCompact;

constexpr Places kPlaces = MakePlaces<CompactGrid>();

// Copies the grid into g. False when some cell is outside what the grid's writers ever
// produce (a flag other than 0 or 1, a value outside 0 to 9): such a grid takes the plain loop.
bool Load(CompactGrid& g) {
    for (Unit& unit : g.unit) unit = {kNine, Digits{}};
    g.unsolved = kCellSets.all;
    Digits highest = {};  // each byte's highest value in the cells that are not blank
    for (int y = 0; y < kSide; ++y) {
        Unit row = {kNine, Digits{}};
        for (unsigned touched = BlankRow(g.cell, kAllFlags, y); touched; touched &= touched - 1) {
            const int x = std::countr_zero(touched);
            const Digits bytes = LoadCell(CellAt(x, y));
            const unsigned value = bytes[0];
            highest = Max(highest, bytes);
            const Digits flags = -bytes & kAllFlags;
            g.cell[IndexOf(x, y)] = flags | (bytes & kValueByte);
            // -1 for each digit the cell does not allow, +1 for the one it is solved with and keeps
            Digits missing = kAllFlags - flags;
            const bool solved = value != 0 && value <= 9;
            if (solved) missing += SecondCount(flags, kFlagOf[value]);
            Unit& column = g.unit[ColumnUnit(x)];
            Unit& box = g.unit[BoxUnit(x, y)];
            row.holders += missing;
            column.holders += missing;
            box.holders += missing;
            if (solved) {
                row.solved |= kFlagOf[value];
                column.solved |= kFlagOf[value];
                box.solved |= kFlagOf[value];
                g.unsolved.word[kColumnBits.word[x]] &= ~(SetWord{1} << (kColumnBits.shift[x] + y));
            }
        }
        g.unit[RowUnit(y)] = row;
    }
    // Word by word: a wider read would wait on the word-sized writes above.
    for (int i = 0; i < kSetWords; ++i) g.pending.word[i] = g.unsolved.word[i];
    constexpr Digits kHighest = {9, 1, 1, 1, 1, 1, 1, 1, 1, 1};
    return Above(highest, kHighest) == 0;
}

// Writes column x of the compact grid back to the grid, kBytes a cell.
template <std::size_t kBytes>
void StoreColumn(const CompactGrid& g, int x) {
    for (int y = 0; y < kSide; ++y) {
        const Digits cell = g.cell[IndexOf(x, y)] & kCellBytes;
        std::memcpy(&CellAt(x, y), &cell, kBytes);
    }
}

// Writes the compact grid back to the grid, whole, a column at a time, then the snapshot as a copy
// of the grid, which the last cycle leaves equal to it (6). A cell goes as sixteen bytes, the six
// past its ten landing on the next cell of its row, which the next column writes; the last
// column's cells have no next cell and go as ten.
void Store(const CompactGrid& g, Grid& reference) {
    for (int x = 0; x < kSide - 1; ++x) StoreColumn<sizeof(Digits)>(g, x);
    StoreColumn<sizeof(Cell)>(g, kSide - 1);
    TakeSnapshot(reference);
}

// The bytes a sweep's visits changed, ored together.
using Changes = Digits;

bool Any(Changes changes) {
    return TopBits(IsZero(changes)) != 0xFFFF;
}

// PropagateCell on cell c of g, bit i of word w of the cell sets. Where its change can reach its
// peers (7) it marks them (Mark), unless the sweep walks every unsolved cell (9); a solve takes its
// bit out of the walk's unsolved; the bytes it changed go into changes.
//
// A visit of a quiet cell (2) is not told apart: it takes the elimination's path, writing back the
// bytes it read and adding nothing to the counts. Which cells are quiet cannot be foreseen, and a
// branch on it is guessed wrong too often to pay for the writes it would save.
template <Walking kWalking>
[[gnu::always_inline]] inline void Visit(CompactGrid& g, int c, int w, int i, Walk& walk,
                                         Changes& changes) {
    const Place place = kPlaces.of[c];
    Digits& cell = g.cell[c];
    Unit& row = At<Unit>(g, place.row);
    Unit& column = At<Unit>(g, place.column);
    Unit& box = At<Unit>(g, place.box);

    // (1): the three unit steps read only units the visit does not write, so their unseen digits
    // are known up front; with none, the steps only clear the solved digits.
    const Digits before = cell;  // unsolved: flags only
    const Digits peersRow = row.holders + before;
    const Digits peersColumn = column.holders + before;
    const Digits peersBox = box.holders + before;
    Digits flags = before;
    int digit = 0;
    Digits placed = {};  // F of the digit the cell is solved with, if any
    if (TopBits(IsZero(peersRow) | IsZero(peersColumn) | IsZero(peersBox)) & kDigitBits) {
        // The steps go row, column, box, each placing its highest unseen digit over what the one
        // before placed, then clearing its solved digits: the last unit with an unseen digit
        // decides, and only the units after it clear that digit's flag. Selected, not branched
        // on: which units have one is anybody's guess.
        const unsigned inRow = ZeroDigits(peersRow);
        const unsigned inColumn = ZeroDigits(peersColumn);
        const unsigned inBox = ZeroDigits(peersBox);
        const bool boxAfter = !inBox;  // the box comes after the unit that decides
        const bool columnAfter = boxAfter && !inColumn;
        digit = std::bit_width(inBox | (inColumn & -unsigned{boxAfter}) |
                               (inRow & -unsigned{columnAfter})) -
                1;
        placed = kFlagOf[digit];
        flags = placed & ~(box.solved & AllIf(boxAfter)) & ~(column.solved & AllIf(columnAfter));
    } else {
        flags &= ~(row.solved | column.solved | box.solved);
    }
    const unsigned had = TopBits(before) & kDigitBits;
    const unsigned has = TopBits(flags) & kDigitBits;
    // The naked single, which ResolveSingleCandidate takes only while the value is 0. Its flags
    // are its digit's F already: the next visit need not wait for a table to say so. Most cells
    // keep two flags or more, so that is tested first.
    if (!digit && !(has & (has - 1)) && has) {
        digit = std::countr_zero(has);
        placed = flags;
    }

    cell = flags | kValueOf[digit];
    // F reads as -1: old flags leave, new ones come, and a digit solved and kept counts twice.
    // Tested rather than added from an empty placed, so that the visits that solve nothing, most
    // of them, can take a path without the solve's work.
    Digits delta = before - flags;
    if (digit) delta += SecondCount(flags, placed);
    row.holders += delta;
    column.holders += delta;
    box.holders += delta;
    // (7): a solve marks its peers; a cell left unsolved, only where a digit it lost now has 1
    // or 0 holders in one of its units.
    const auto countFell = [&] {
        return had & ~has & ZeroDigits(Min(Min(row.holders, column.holders), box.holders) & ~kOne);
    };
    if (kWalking != Walking::kUnsolved && (digit || countFell())) {
        const CellSet& peers = kCellSets.peers[c];
        Mark<kWalking>(g.pending, peers, peers.word[w], w, i, walk);
    }
    if (digit) {
        row.solved |= placed;
        column.solved |= placed;
        box.solved |= placed;
        walk.unsolved &= ~(SetWord{1} << i);
    }
    changes |= cell ^ before;
}

#else

// ---- The field grid ---------------------------------------------------------------------------

// A digit's field is seven bits of a 64-bit word, field d - 1 for digit d, bit 63 unused:
//
//   bit     62 .. 56  55 .. 49  48 .. 42  41 .. 35  34 .. 28  27 .. 21  20 .. 14  13 .. 7  6 .. 0
//          +--------+---------+---------+---------+---------+---------+---------+--------+------+
//          |   9    |    8    |    7    |    6    |    5    |    4    |    3    |   2    |  1   |
//          +--------+---------+---------+---------+---------+---------+---------+--------+------+
//
//   field bit    6        5 .. 0
//              +-----+--------------+
//   cell       |  0  |  0 ..... F   |  F: the cell's flag of the digit, 0 or 1
//   unit       |  S  |   31 + n     |  n: holders, 0 to 18; S: some cell is solved with the digit
//              +-----+--------------+
//
// n counts as holders do in the byte vectors: a cell solved with the digit and keeping its flag
// twice. 31 + n takes a cell's F away without borrowing from the next field, and then has bit 5
// set just where some peer of the cell holds the digit; 31 + n - 1 has it where n is 2 or more.
using Fields = std::uint64_t;

constexpr int kFieldWidth = 7;

// The same value in each of the nine fields.
constexpr Fields EveryField(unsigned value) {
    Fields fields = 0;
    for (int i = 0; i < kSide; ++i) fields |= Fields{value} << kFieldWidth * i;
    return fields;
}

constexpr Fields kFlags = EveryField(1);  // a blank cell: every digit's F
constexpr Fields kHeld = EveryField(32);  // bit 5 of every field
constexpr Fields kBlankUnit = EveryField(31 + kSide);
constexpr int kSolvedShift = 6;  // from F to S

// [bit]: the digit whose field holds the bit.
struct DigitAt {
    std::uint8_t of[64];
};

constexpr DigitAt MakeDigitAt() {
    DigitAt t{};
    for (int bit = 0; bit < 64; ++bit) t.of[bit] = static_cast<std::uint8_t>(bit / kFieldWidth + 1);
    return t;
}

constexpr DigitAt kDigitAt = MakeDigitAt();

// [d]: F of digit d alone, the flags of a cell solved with d as PlaceDigit leaves it; [0]: none.
struct FlagOf {
    Fields of[kSide + 1];
};

constexpr FlagOf MakeFlagOf() {
    FlagOf t{};
    for (int v = 1; v <= kSide; ++v) t.of[v] = Fields{1} << kFieldWidth * (v - 1);
    return t;
}

constexpr FlagOf kFlagOf = MakeFlagOf();

// Flags 1 to 8 as the grid's bytes lie, flag d in bit 8 * (d - 1), to bit 7 * (d - 1): each moves
// down by d - 1, in three steps by the bits of d - 1 (masks: where the flags of those d lie when
// their step comes). Fields, and Bytes to undo it.
constexpr Fields kDownBy1 = 0x0100010001000100;  // flags 2, 4, 6 and 8
constexpr Fields kDownBy2 = 0x0081000000810000;  // 3, 4, 7 and 8
constexpr Fields kDownBy4 = 0x0020408100000000;  // 5 to 8
constexpr Fields kUpBy4 = kDownBy4 >> 4;
constexpr Fields kUpBy2 = kDownBy2 >> 2;
constexpr Fields kUpBy1 = kDownBy1 >> 1;
constexpr Fields kLowBytes = 0x0101010101010101;
constexpr Fields kNinth = Fields{1} << kFieldWidth * 8;  // F of 9

Fields ToFields(std::uint64_t flags) {
    flags = (flags & ~kDownBy1) | (flags & kDownBy1) >> 1;
    flags = (flags & ~kDownBy2) | (flags & kDownBy2) >> 2;
    return (flags & ~kDownBy4) | (flags & kDownBy4) >> 4;
}

std::uint64_t ToBytes(Fields flags) {
    flags = (flags & ~kUpBy4) | (flags & kUpBy4) << 4;
    flags = (flags & ~kUpBy2) | (flags & kUpBy2) << 2;
    return (flags & ~kUpBy1) | (flags & kUpBy1) << 1;
}

// A digit's shadow lies in the slot of its field's lowest bit, so that a solve reaches it from its
// flag's bit, with no table read between finding the digit and marking its peers. The slots
// between stay empty, kNoShadow among them: marking outside that one marks every peer.
constexpr int ShadowSlot(int d) {
    return kFieldWidth * (d - 1);
}

constexpr int kShadowSlots = ShadowSlot(kSide) + 1;
constexpr int kNoShadow = 1;
static_assert(kNoShadow % kFieldWidth != 0, "no digit's shadow lies in the empty slot");

// The grid in the layout above, its units' counts, and the sweep's cell sets.
struct CompactGrid {
    Fields cell[kCells];        // [IndexOf]
    Fields unit[3 * kSide];     // rows, columns, boxes
    std::int8_t value[kCells];  // [IndexOf]: the digits of the cells the loop solves, else 0
    CellSet unsolved;
    CellSet loaded;                // unsolved when loaded: the only cells the loop can change
    CellSet pending;               // (4)
    CellSet shadow[kShadowSlots];  // [ShadowSlot(d)]: the peers of the cells solved with d (8)
};

constexpr Places kPlaces = MakePlaces<CompactGrid>();

// The unit at offset in g.
Fields& UnitAt(CompactGrid& g, std::uint16_t offset) {
    return At<Fields>(g, offset);
}

// fields, in a register the compiler knows nothing of: it can no longer take the sum apart.
[[gnu::always_inline]] inline Fields Opaque(Fields fields) {
    asm("" : "+r"(fields));
    return fields;
}

// The flags of a cell as fields, from its bytes (low: the value and flags 1 to 7, high: flags 8
// and 9), for a cell neither blank nor as PlaceDigit leaves it; bits past bit 0 of its bytes (a
// flag above 1, or a value above 9) go into strays. Only grids the loop has run on before, or
// a test's, have such cells: the loading of a puzzle as parsed need not carry this code.
[[gnu::cold, gnu::noinline]] Fields OtherCellFields(std::uint64_t low, std::uint16_t high,
                                                    std::uint64_t& strays) {
    const std::uint64_t flags = low >> 8 | std::uint64_t{high} << 56;  // flags 1 to 8
    const unsigned ninth = high >> 8;
    const auto value = static_cast<std::uint8_t>(low);
    strays |= flags | std::uint64_t{ninth} << 56 | std::uint64_t{value > kSide} << 1;
    return ToFields(flags & kLowBytes) | (ninth & 1 ? kNinth : 0);
}

// Copies the grid into g. False when some cell is outside what the grid's writers ever
// produce (a flag other than 0 or 1, a value outside 0 to 9): such a grid takes the plain loop.
bool Load(CompactGrid& g) {
    for (int u = ColumnUnit(0); u < 3 * kSide; ++u) g.unit[u] = kBlankUnit;
#pragma GCC unroll 1  // unrolled, these stores took the 64-bit Windows program past 32 KiB
    for (int d = 1; d <= kSide; ++d) g.shadow[ShadowSlot(d)] = CellSet{};
    g.shadow[kNoShadow] = CellSet{};  // the slots between are never read
    g.unsolved = kCellSets.all;
    std::uint64_t strays = 0;  // see OtherCellFields
    for (int y = 0; y < kSide; ++y) {
        Fields row = kBlankUnit;  // only this row's cells change it
        for (unsigned touched = BlankRow(g.cell, kFlags, y); touched; touched &= touched - 1) {
            const int x = std::countr_zero(touched);
            const int c = IndexOf(x, y);
            const auto* bytes = reinterpret_cast<const unsigned char*>(&CellAt(x, y));
            std::uint64_t low;   // the value and flags 1 to 7
            std::uint16_t high;  // flags 8 and 9
            std::memcpy(&low, bytes, sizeof low);
            std::memcpy(&high, bytes + sizeof low, sizeof high);
            const auto value = static_cast<std::uint8_t>(low);
            const bool solves = value != 0 && value <= kSide;
            const Fields placed = solves ? kFlagOf.of[value] : 0;
            Fields flags = placed;  // what most of these cells are: givens, the digit's flag alone
            if (!solves || low != kPlacedBytes.low[value] || high != kPlacedBytes.high[value])
                flags = OtherCellFields(low, high, strays);
            g.cell[c] = flags;
            // Added before kFlags is taken: no borrow.
            const Fields count = flags + (flags & placed) - kFlags;
            const Fields solved = placed << kSolvedShift;
            if (solves) {
                g.unsolved.word[kColumnBits.word[x]] &= ~(SetWord{1} << (kColumnBits.shift[x] + y));
                for (int k = 0; k < kSetWords; ++k)
                    g.shadow[ShadowSlot(value)].word[k] |= kCellSets.peers[c].word[k];
            }
            const Place place = kPlaces.of[c];
            row = (row + count) | solved;
            UnitAt(g, place.column) = (UnitAt(g, place.column) + count) | solved;
            UnitAt(g, place.box) = (UnitAt(g, place.box) + count) | solved;
        }
        g.unit[RowUnit(y)] = row;
    }
    g.loaded = g.pending = g.unsolved;
    std::memset(g.value, 0, sizeof g.value);
    return (strays & ~kLowBytes) == 0;
}

// Writes back the cells the loop can have changed, then the snapshot as a copy of the grid, which
// the last cycle leaves equal to it (6).
void Store(const CompactGrid& g, Grid& reference) {
    for (int w = 0; w < kSetWords; ++w) {
        for (SetWord todo = g.loaded.word[w]; todo; todo &= todo - 1) {
            const unsigned c = w * kCellsPerWord + std::countr_zero(todo);
            const Fields cell = g.cell[c];
            const int value = g.value[c];
            // Most cells the loop writes back are solved and hold their digit's flag alone; an
            // unsolved cell left without flags is all zeros, as kPlacedBytes has it for 0.
            std::uint64_t low = kPlacedBytes.low[value];
            std::uint16_t high = kPlacedBytes.high[value];
            if (cell != kFlagOf.of[value]) {
                const std::uint64_t flags = ToBytes(cell & ~kNinth);  // flag d in byte d - 1
                low = std::uint64_t(value) | flags << 8;
                high = static_cast<std::uint16_t>(flags >> 56 | (cell & kNinth) >> 48);
            }
            auto* bytes = reinterpret_cast<unsigned char*>(&grid) + kPlaces.of[c].grid;
            std::memcpy(bytes, &low, sizeof low);
            std::memcpy(bytes + sizeof low, &high, sizeof high);
        }
    }
    TakeSnapshot(reference);
}

// The bits a sweep's visits changed, ored together.
using Changes = Fields;

bool Any(Changes changes) {
    return changes != 0;
}

// Marks the peers of cell c, bit i of word w, outside the shadows in slots a and b (8): all of
// them when either is kNoShadow. Where c is solved, with a's digit, that shadow then takes in c's
// peers, from the same reads.
template <Walking kWalking, bool kSolved>
[[gnu::always_inline]] inline void MarkPeers(CompactGrid& g, int c, int w, int i, Walk& walk, int a,
                                             int b) {
    const CellSet& peers = kCellSets.peers[c];
    CellSet marked;
    SetWord inWord = 0;  // picked by a mask: an index would send marked through memory
    for (int k = 0; k < kSetWords; ++k) {
        const SetWord shadow = g.shadow[a].word[k];
        marked.word[k] = peers.word[k] & ~(shadow & g.shadow[b].word[k]);
        inWord |= marked.word[k] & -SetWord{k == w};
        if (kSolved) g.shadow[a].word[k] = shadow | peers.word[k];
    }
    Mark<kWalking>(g.pending, marked, inWord, w, i, walk);
}

// The digit a visit places where more than one is unseen, or the one unseen is solved in a unit:
// the steps go row, column, box, each placing its highest unseen digit over what the one before
// placed, then clearing its solved digits, so the last unit with an unseen digit decides and only
// the units after it clear that digit's flag. Only grids with a contradiction come here, so it
// lies apart from the sweep's code, which it would otherwise crowd. Returns the digit's F; flags
// becomes what is left of it.
[[gnu::cold]] Fields Decide(Fields before, Fields row, Fields column, Fields box, Fields& flags) {
    const Fields unseenBox = ~(box - before) & kHeld;
    const Fields unseenColumn = ~(column - before) & kHeld;
    const Fields unseenRow = ~(row - before) & kHeld;
    const Fields boxAfter = -Fields{!unseenBox};  // the box comes after the unit that decides
    const Fields columnAfter = boxAfter & -Fields{!unseenColumn};
    const Fields deciding = unseenBox | (unseenColumn & boxAfter) | (unseenRow & columnAfter);
    const Fields placed = Fields{1} << (std::bit_width(deciding) - 1 - 5);
    flags = placed & ~(((box & boxAfter) | (column & columnAfter)) >> kSolvedShift);
    return placed;
}

// PropagateCell on cell c of g, bit i of word w of the cell sets. Where its change can reach its
// peers (7, 8) it marks them (Mark), unless the sweep walks every unsolved cell (9); a solve takes
// its bit out of the walk's unsolved; the bits it changed go into changes.
template <Walking kWalking>
[[gnu::always_inline]] inline void Visit(CompactGrid& g, int c, int w, int i, Walk& walk,
                                         Changes& changes) {
    const Place place = kPlaces.of[c];
    const Fields before = g.cell[c];
    const Fields row = UnitAt(g, place.row);
    const Fields column = UnitAt(g, place.column);
    const Fields box = UnitAt(g, place.box);

    // (1): a digit is unseen in a unit where its peers' count, the unit's less the cell's own F,
    // is 31: bit 5 clear.
    const Fields unseen = ~((row - before) & (column - before) & (box - before)) & kHeld;
    // S moved to F; the bits elsewhere are never read: flags and placed have none there.
    const Fields solved = (row | column | box) >> kSolvedShift;
    Fields flags = before & ~solved;
    Fields placed;
    bool decided = false;  // by Decide: a contradiction, which may leave a unit without a holder
    if (unseen) {
        placed = unseen >> 5;  // one digit, solved in none of the units: every step agrees
        decided = (unseen & (unseen - 1)) || (placed & solved);
        if (decided) {
            placed = Decide(before, row, column, box, flags);
        } else {
            flags = placed;
        }
    } else if (!flags || (flags & (flags - 1))) {
        // Left unsolved, having lost the solved digits' flags: (7) marks where one of them now
        // has one holder in a unit (it never has none here: no digit was unseen).
        const Fields lost = before & solved;
        UnitAt(g, place.row) = row - lost;
        UnitAt(g, place.column) = column - lost;
        UnitAt(g, place.box) = box - lost;
        g.cell[c] = flags;
        changes |= lost;
        const Fields fell =
            lost << 5 & ~((row - lost - kFlags) & (column - lost - kFlags) & (box - lost - kFlags));
        if (kWalking != Walking::kUnsolved && fell) {
            const int e = fell & (fell - 1) ? kNoShadow : std::countr_zero(fell >> 5);
            MarkPeers<kWalking, false>(g, c, w, i, walk, e, e);
        }
        return;
    } else {
        placed = flags;  // the naked single
    }

    // Solved: a digit kept counts twice, and the units are solved with it. The counts change by
    // one sum, as a whole (Opaque): split, the compiler would reuse the peers' counts of (1) and
    // keep three of them on the stack through every visit. Its fields may borrow from each other;
    // the counts they are added to come out as if added field by field.
    const Fields second = flags & placed;
    const Fields solvedBit = placed << kSolvedShift;
    const Fields delta = Opaque(flags + second - before);
    const Fields newRow = (row + delta) | solvedBit;
    const Fields newColumn = (column + delta) | solvedBit;
    const Fields newBox = (box + delta) | solvedBit;
    UnitAt(g, place.row) = newRow;
    UnitAt(g, place.column) = newColumn;
    UnitAt(g, place.box) = newBox;
    g.cell[c] = flags;
    changes |= placed;
    const int slot = std::countr_zero(placed);
    g.value[c] = static_cast<std::int8_t>(kDigitAt.of[slot]);
    walk.unsolved &= ~(SetWord{1} << i);
    if (kWalking == Walking::kUnsolved) return;
    // (7, 8): the peers outside the digit's shadow, and outside the shadow of a digit it lost
    // where a unit is left with one holder; all of them where it lost two such. Without a
    // contradiction no unit is left with none: the cell would have been its one holder, and
    // the digit unseen.
    const Fields lost = (before & ~flags) << 5;
    const Fields fell = lost & ~((newRow - kFlags) & (newColumn - kFlags) & (newBox - kFlags));
    const int e = std::countr_zero(fell >> 5 | (placed & -Fields{!fell}));  // no branch
    const bool all = decided || (fell & (fell - 1));
    MarkPeers<kWalking, true>(g, c, w, i, walk, slot, all ? kNoShadow : e);
}

#endif

// Visit on every pending cell in sweep order (5), or on every unsolved cell (9), in one walk along
// the set's bits: no loop ends at each column, to be guessed wrong where it does. Returns whether a
// cell changed.
//
// With the digit fields each word gets a copy of the walk in which the word is a constant, not a
// mask taken at every mark: 4% faster, for about 800 bytes of code, which builds for size do
// without (NUMPLACE_ONE_WALK), as they do without all but the pending cells' walk. The byte
// vectors, as 32-bit code, gain nothing by it; clang (the fuzz target, the ARM build) declines to
// unroll the loop.
template <Walking kWalking>
bool Sweep(CompactGrid& g) {
    Changes changes = {};
#if NUMPLACE_FIELDS && !defined(NUMPLACE_ONE_WALK) && !defined(__clang__)
#pragma GCC unroll 2
#endif
    for (int w = 0; w < kSetWords; ++w) {
        // Visits add the cells they mark past themselves to ahead, and the others to pending.
        const SetWord walked = kWalking == Walking::kUnsolved ? ~SetWord{0} : g.pending.word[w];
        Walk walk = {walked & g.unsolved.word[w], g.unsolved.word[w]};
        if (kWalking != Walking::kUnsolved) g.pending.word[w] = 0;
        while (walk.ahead) {
            const int i = std::countr_zero(walk.ahead);
            walk.ahead &= walk.ahead - 1;
            Visit<kWalking>(g, w * kCellsPerWord + i, w, i, walk, changes);
        }
        g.unsolved.word[w] = walk.unsolved;
    }
    return Any(changes);
}

// Builds for size keep one walk, the pending cells', in every sweep, and so do the byte vectors,
// which mark every peer: with more cells pending, walking every unsolved cell paid on the
// singles-solved puzzles and cost 11% on top1465, whose puzzles most cells leave unsolved.
#if defined(NUMPLACE_ONE_WALK) || !NUMPLACE_FIELDS
constexpr bool kOneWalk = true;
#else
constexpr bool kOneWalk = false;
#endif

// Whether fewer than two in five unsolved cells are pending: then walking them and marking costs
// less than visiting every unsolved cell without marks (9), which the sweeps do from then on.
bool FewPending(const CompactGrid& g) {
    int pending = 0;
    int unsolved = 0;
    for (int w = 0; w < kSetWords; ++w) {
        pending += std::popcount(g.pending.word[w] & g.unsolved.word[w]);
        unsolved += std::popcount(g.unsolved.word[w]);
    }
    return 5 * pending < 2 * unsolved;
}

}  // namespace

// Where the build asks for it (NUMPLACE_X86_64_V3_COPY), the loop comes twice, for any x86-64
// processor and for those of x86-64-v3 (2013 on), whose bit instructions (ANDN, SHLX, TZCNT, LZCNT)
// it runs on every visit; the dynamic loader picks one at start-up. Everything the loop calls in
// this file is inlined into each copy, so that each is built whole for its processors.
#ifdef NUMPLACE_X86_64_V3_COPY
[[gnu::target_clones("default", "arch=x86-64-v3"), gnu::flatten]]
#endif
int FastSolveUntilStable(Grid& reference) {
    if (MatchesSnapshot(reference)) return 0;
#if NUMPLACE_FIELDS
    // In the frame, which the stack pointer addresses: a static grid's address would take a
    // register of its own in position-independent code, and the sweep has none to spare.
    CompactGrid g;
#else
    CompactGrid& g = staticCompact;
#endif
    if (!Load(g)) return -1;
    // Every sweep but the last solves a cell or clears one of its flags (6), so no grid needs more
    // than ten sweeps a cell and one more. A loop still going has gone wrong: the plain loop takes
    // the grid, which nothing has written yet, rather than the run hanging.
    constexpr int kMostSweeps = kCells * 10 + 1;
    int sweeps = 1;
    // The pending cells are walked while few enough, and every unsolved cell from then on (9): a
    // visit that marks nothing costs about half what one that may mark does, since the walk need
    // not wait for it, and once two in five unsolved cells are pending the marks spare too little.
    if constexpr (kOneWalk) {
        while (Sweep<Walking::kPending>(g)) {
            if (++sweeps > kMostSweeps) return -1;
        }
    } else {
        bool changed = Sweep<Walking::kFirst>(g);
        bool fewPending = true;
        while (changed) {
            if (++sweeps > kMostSweeps) return -1;
            fewPending = fewPending && FewPending(g);
            changed = fewPending ? Sweep<Walking::kPending>(g) : Sweep<Walking::kUnsolved>(g);
        }
    }
    Store(g, reference);
    return sweeps / 2 + 1;
}

int SolveUntilStable(Grid& reference) {
    const int cycles = FastSolveUntilStable(reference);
    return cycles >= 0 ? cycles : PlainSolveUntilStable(reference);
}
