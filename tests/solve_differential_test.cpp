// The solving loop against the plain loop of sweeps, byte for byte: real puzzle collections, and
// random grids from every state the public operations can reach and some they cannot.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <fstream>
#include <random>
#include <string>
#include <vector>

#include "grid_fixture.h"
#include "solver/propagation.h"
#include "solver/solving_loop.h"

namespace {

#ifdef NUMPLACE_QUICK_TESTS  // sanitizer builds: the same cases, fewer of them
constexpr int kCollectionSample = 150;
constexpr int kGridsPerFamily = 1500;
#else
constexpr int kCollectionSample = 1000;  // every puzzle of the shipped samples
constexpr int kGridsPerFamily = 17000;   // six families: over 100,000 grids
#endif

struct Outcome {
    Grid grid;
    Grid snapshot;
    int cycles;
};

// One loop from the grid and snapshot given.
Outcome Solve(SolvingLoop loop, const Grid& start, const Grid& snapshot) {
    Outcome out{start, snapshot, 0};
    grid = start;
    out.cycles = loop(out.snapshot);
    out.grid = grid;
    return out;
}

// One loop on a puzzle text, as the program runs it.
Outcome Solve(SolvingLoop loop, const std::string& puzzle) {
    Outcome out;
    out.cycles = SolvePuzzleText(puzzle, out.snapshot, loop);
    out.grid = grid;
    return out;
}

std::string Where(const Grid& a, const Grid& b) {
    const auto* pa = reinterpret_cast<const unsigned char*>(&a);
    const auto* pb = reinterpret_cast<const unsigned char*>(&b);
    for (std::size_t i = 0; i < sizeof(Grid); ++i) {
        if (pa[i] != pb[i]) {
            return "byte " + std::to_string(i) + " (cell x=" + std::to_string(i / 10 % 9) +
                   " y=" + std::to_string(i / 90) + "): " + std::to_string(pa[i]) + " vs " +
                   std::to_string(pb[i]);
        }
    }
    return "";
}

testing::AssertionResult Same(const Outcome& own, const Outcome& plain) {
    if (own.cycles != plain.cycles) {
        return testing::AssertionFailure()
               << "cycles " << own.cycles << " vs " << plain.cycles << " (own vs plain)";
    }
    if (std::memcmp(&own.grid, &plain.grid, sizeof(Grid)) != 0)
        return testing::AssertionFailure() << "grid differs at " << Where(own.grid, plain.grid);
    if (std::memcmp(&own.snapshot, &plain.snapshot, sizeof(Grid)) != 0) {
        return testing::AssertionFailure()
               << "snapshot differs at " << Where(own.snapshot, plain.snapshot);
    }
    return testing::AssertionSuccess();
}

// Unless plainAllowed, the grid must take the fast loop: the plain one gives the same results,
// many times slower. A grid the fast loop refuses must come back untouched, and SolveUntilStable
// then runs the plain loop on it; refused tells which.
testing::AssertionResult SameOutcome(const Grid& start, const Grid& snapshot,
                                     bool plainAllowed = false, bool* refused = nullptr) {
    Outcome own = Solve(FastSolveUntilStable, start, snapshot);
    if (refused) *refused = own.cycles < 0;
    if (own.cycles < 0) {
        if (!plainAllowed) return testing::AssertionFailure() << "the fast loop refused the grid";
        if (std::memcmp(&own.grid, &start, sizeof(Grid)) != 0 ||
            std::memcmp(&own.snapshot, &snapshot, sizeof(Grid)) != 0) {
            return testing::AssertionFailure() << "a refused grid was changed";
        }
        own = Solve(SolveUntilStable, start, snapshot);
    }
    return Same(own, Solve(PlainSolveUntilStable, start, snapshot));
}

// --- Real puzzles, as the program runs them: blank grid, blank snapshot, givens, loop.

std::vector<std::string> ReadPuzzles(const std::string& path) {
    std::vector<std::string> puzzles;
    std::ifstream in(path);
    std::string line;
    while (std::getline(in, line)) {
        if (line.size() >= kCells) puzzles.push_back(line.substr(0, kCells));
    }
    return puzzles;
}

class Collection : public testing::TestWithParam<const char*> {};

TEST_P(Collection, SampleMatchesTheModel) {
    const std::string path = std::string(NUMPLACE_COLLECTIONS_DIR) + "/" + GetParam();
    const std::vector<std::string> puzzles = ReadPuzzles(path);
    ASSERT_FALSE(puzzles.empty()) << "no puzzles at " << path;

    // Evenly spread over the file, so easy and hard stretches are both sampled.
    const std::size_t step = (puzzles.size() + kCollectionSample - 1) / kCollectionSample;
    int checked = 0;
    for (std::size_t i = 0; i < puzzles.size(); i += step, ++checked) {
        ASSERT_TRUE(
            Same(Solve(FastSolveUntilStable, puzzles[i]), Solve(PlainSolveUntilStable, puzzles[i])))
            << "line " << i + 1 << ": " << puzzles[i];
    }
    EXPECT_GT(checked, kCollectionSample / 2);
}

INSTANTIATE_TEST_SUITE_P(Files, Collection,
                         testing::Values("17-clue.txt", "top1465.txt", "generated-mixed.txt"),
                         [](const testing::TestParamInfo<const char*>& info) {
                             std::string name = info.param;
                             name = name.substr(0, name.find('.'));
                             std::erase(name, '-');
                             return name;
                         });

// --- Random grids. The generator is the standard's fully specified mt19937_64 with fixed
// seeds, and only its raw output is used, so every platform tests the same grids.

class Random {
  public:
    explicit Random(std::uint64_t seed) : engine_(seed) {}
    int Below(int n) { return static_cast<int>(engine_() % static_cast<std::uint64_t>(n)); }
    bool Chance(int percent) { return Below(100) < percent; }

  private:
    std::mt19937_64 engine_;
};

// A solved grid: the usual pattern under random relabelling and row, band, column and stack
// shuffles.
Grid RandomSolution(Random& random) {
    int digit[9], row[9], column[9];
    for (int i = 0; i < 9; ++i) digit[i] = row[i] = column[i] = i;
    for (int i = 8; i > 0; --i) std::swap(digit[i], digit[random.Below(i + 1)]);
    for (int* order : {row, column}) {
        int band[3] = {0, 1, 2};
        for (int i = 2; i > 0; --i) std::swap(band[i], band[random.Below(i + 1)]);
        int shuffled[9];
        for (int b = 0; b < 3; ++b) {
            int within[3] = {0, 1, 2};
            for (int i = 2; i > 0; --i) std::swap(within[i], within[random.Below(i + 1)]);
            for (int i = 0; i < 3; ++i) shuffled[b * 3 + i] = band[b] * 3 + within[i];
        }
        std::copy(shuffled, shuffled + 9, order);
    }
    ResetGrid();
    for (int y = 0; y < kSide; ++y) {
        for (int x = 0; x < kSide; ++x) {
            const int r = row[y], c = column[x];
            PlaceDigit(x, y, digit[(r * 3 + r / 3 + c) % 9] + 1);
        }
    }
    return grid;
}

enum class Family {
    kRandomGivens,   // blank grid and givens anywhere: mostly contradictory puzzles
    kPuzzles,        // consistent puzzles cut from a solved grid
    kMidRun,         // either of those after some sweeps or single visits, any snapshot
    kClearedFlags,   // flags cleared at random, solved cells with their flag or none
    kAnyFlags,       // values 0 to 9 and flags 0 or 1 with no relation between them
    kOutsideRanges,  // some flags above 1 and some values outside 0 to 9: the plain loop's ground
};

// Blank grid, then n givens at random cells with random digits.
void RandomGivens(Random& random, int n) {
    ResetGrid();
    for (int i = 0; i < n; ++i) PlaceDigit(random.Below(9), random.Below(9), random.Below(9) + 1);
}

// A consistent puzzle: a solved grid with some cells blanked.
void RandomPuzzle(Random& random) {
    const Grid solution = RandomSolution(random);
    const int keep = 15 + random.Below(50);
    ResetGrid();
    for (int i = 0; i < kCells; ++i) {
        if (random.Below(100) < keep) PlaceDigit(i % 9, i / 9, solution.cells[i].value);
    }
}

void RandomCell(Random& random, Cell& cell, int solvedPercent, int flagPercent) {
    cell.value = random.Chance(solvedPercent) ? static_cast<std::int8_t>(random.Below(9) + 1) : 0;
    for (std::uint8_t& flag : cell.candidates) flag = random.Chance(flagPercent);
}

// Half the time a consistent puzzle cut from a random solution, else up to maxGivens - 1
// random givens.
void RandomPuzzleOrGivens(Random& random, int maxGivens) {
    if (random.Chance(50)) {
        RandomPuzzle(random);
    } else {
        RandomGivens(random, random.Below(maxGivens));
    }
}

// Fills grid and snapshot with one grid of the family.
void MakeGrid(Family family, Random& random, Grid& snapshot) {
    snapshot = BlankGrid();
    switch (family) {
        case Family::kRandomGivens:
            RandomGivens(random, random.Below(kCells + 1));
            break;
        case Family::kPuzzles:
            RandomPuzzle(random);
            break;
        case Family::kMidRun: {
            RandomPuzzleOrGivens(random, 40);
            const Grid start = grid;
            for (int passes = random.Below(3); passes > 0; --passes) SolvePass();
            for (int visits = random.Below(30); visits > 0; --visits)
                PropagateCell(random.Below(9), random.Below(9));
            switch (random.Below(4)) {
                case 0:
                    break;  // blank
                case 1:
                    snapshot = start;
                    break;  // as it was before
                case 2:
                    TakeSnapshot(snapshot);
                    break;  // equal: no cycle at all
                default:    // equal but for one byte
                    TakeSnapshot(snapshot);
                    reinterpret_cast<unsigned char*>(&snapshot)[random.Below(sizeof(Grid))] ^= 1;
            }
            break;
        }
        case Family::kClearedFlags: {
            RandomPuzzleOrGivens(random, 30);
            const int clear = random.Below(100);
            for (Cell& cell : grid.cells) {
                if (cell.value == 0) {
                    for (std::uint8_t& flag : cell.candidates) flag = flag && !random.Chance(clear);
                } else if (random.Chance(10)) {
                    cell.candidates[cell.value - 1] = 0;
                }
            }
            if (random.Chance(20)) TakeSnapshot(snapshot);
            break;
        }
        case Family::kAnyFlags:
        case Family::kOutsideRanges: {
            const int solved = random.Below(101);
            const int flags = random.Below(101);
            for (Cell& cell : grid.cells) RandomCell(random, cell, solved, flags);
            if (family == Family::kOutsideRanges) {
                for (int n = 1 + random.Below(4); n > 0; --n) {
                    Cell& cell = grid.cells[random.Below(kCells)];
                    if (random.Chance(50)) {  // just past 1 often, else anywhere from 2 up
                        cell.candidates[random.Below(9)] = static_cast<std::uint8_t>(
                            random.Chance(30) ? 2 : 2 + random.Below(254));
                    } else {  // just past 9 often, else anywhere from 10 up or below 0
                        cell.value = static_cast<std::int8_t>(
                            random.Chance(30) ? 10 : 10 + random.Below(246));
                    }
                }
            }
            if (random.Chance(30)) {
                for (Cell& cell : snapshot.cells) RandomCell(random, cell, solved, flags);
            }
            break;
        }
    }
}

struct FamilyCase {
    const char* name;
    Family family;
    std::uint64_t seed;
    bool plain;  // some grids hold stray bytes and take the plain loop
    friend void PrintTo(const FamilyCase& c, std::ostream* os) { *os << c.name; }
};

class RandomGrids : public testing::TestWithParam<FamilyCase> {};

TEST_P(RandomGrids, MatchTheModel) {
    const FamilyCase& c = GetParam();
    Random random(c.seed);
    int plain = 0;  // grids that took the plain loop
    for (int i = 0; i < kGridsPerFamily; ++i) {
        Grid snapshot;
        MakeGrid(c.family, random, snapshot);
        const Grid start = grid;
        bool refused = false;
        ASSERT_TRUE(SameOutcome(start, snapshot, c.plain, &refused)) << "grid " << i;
        plain += refused;
    }
    EXPECT_EQ(plain > 0, c.plain) << "the plain loop is for stray bytes alone";
}

INSTANTIATE_TEST_SUITE_P(
    Families, RandomGrids,
    testing::Values(FamilyCase{"RandomGivens", Family::kRandomGivens, 1, false},
                    FamilyCase{"Puzzles", Family::kPuzzles, 2, false},
                    FamilyCase{"MidRun", Family::kMidRun, 3, false},
                    FamilyCase{"ClearedFlags", Family::kClearedFlags, 4, false},
                    FamilyCase{"AnyFlags", Family::kAnyFlags, 5, false},
                    FamilyCase{"OutsideRanges", Family::kOutsideRanges, 6, true}),
    [](const testing::TestParamInfo<FamilyCase>& info) { return info.param.name; });

}  // namespace
