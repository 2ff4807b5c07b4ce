// numplace-bench: runs every puzzle of the given collections exactly as the program does (blank
// grid, snapshot, givens, solving loop) and prints per file how many it solved and how fast.
//
//   numplace-bench [--engine=own|plain|both] [--runs=N] [--emit] FILE...
//
// FILE holds one puzzle a line, 81 characters row by row: 1-9 for givens, '.' or '0' for blanks;
// other lines are skipped. All files are read before anything is timed. Per file it prints
//   FILE puzzles=N solved=M cycles=C seconds=S per_second=R
// where solved counts puzzles left without a 0, cycles totals the loop's cycles, and S is the
// median of N runs (best_per_second is added when N > 1). own is SolveUntilStable, plain the
// plain loop of sweeps it is compared with. --engine=both times the two turn about, prints a line
// for each and then the speed ratio, and finally checks, puzzle by puzzle and outside the timing,
// that both leave the same 810 grid bytes, the same snapshot and the same cycle count. --emit
// prints instead the 81 final values of every puzzle, one line each.
#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <string>
#include <string_view>
#include <vector>

#include "solver/givens.h"

namespace {

struct Collection {
    std::string path;
    std::vector<Givens> puzzles;
};

enum class Engine { kOwn, kPlain, kBoth };

struct Totals {
    long long solved = 0;
    long long cycles = 0;
    double seconds = 0;
};

// One puzzle line, trailing blanks and CR allowed; false for any other line.
bool ParsePuzzle(std::string_view line, Givens& givens) {
    while (!line.empty() && (line.back() == '\r' || line.back() == ' ' || line.back() == '\t'))
        line.remove_suffix(1);
    if (line.size() != kCells) return false;
    for (int i = 0; i < kCells; ++i) {
        const char c = line[i];
        if (c >= '1' && c <= '9') {
            givens[i] = static_cast<std::int8_t>(c - '0');
        } else if (c == '.' || c == '0') {
            givens[i] = 0;
        } else {
            return false;
        }
    }
    return true;
}

bool Load(const char* path, Collection& collection) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return false;
    collection.path = path;
    std::string line;
    Givens givens;
    while (std::getline(in, line)) {
        if (ParsePuzzle(line, givens)) collection.puzzles.push_back(givens);
    }
    return !in.bad();
}

int Solve(Engine engine, const Givens& givens, Grid& snapshot) {
    return SolveGivens(givens, snapshot,
                       engine == Engine::kPlain ? PlainSolveUntilStable : SolveUntilStable);
}

bool Solved() {
    return std::none_of(std::begin(grid.cells), std::end(grid.cells),
                        [](const Cell& cell) { return cell.value == 0; });
}

Totals Run(Engine engine, const Collection& collection) {
    Totals totals;
    Grid snapshot;
    const auto start = std::chrono::steady_clock::now();
    for (const Givens& givens : collection.puzzles) {
        totals.cycles += Solve(engine, givens, snapshot);
        totals.solved += Solved();
    }
    const std::chrono::duration<double> elapsed = std::chrono::steady_clock::now() - start;
    totals.seconds = elapsed.count();
    return totals;
}

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    const std::size_t n = values.size();
    return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

struct Timing {
    Totals totals;  // of the last run; the counts are the same every run
    double median = 0;
    double best = 0;
};

void Print(const Collection& collection, const Timing& timing, int runs, const char* engine) {
    const double n = static_cast<double>(collection.puzzles.size());
    std::printf("%s puzzles=%zu solved=%lld cycles=%lld seconds=%.4f per_second=%.0f",
                collection.path.c_str(), collection.puzzles.size(), timing.totals.solved,
                timing.totals.cycles, timing.median, timing.median > 0 ? n / timing.median : 0);
    if (runs > 1) std::printf(" best_per_second=%.0f", timing.best > 0 ? n / timing.best : 0);
    if (engine) std::printf(" engine=%s", engine);
    std::printf("\n");
}

// Both engines on every puzzle, compared byte for byte: grid, snapshot and cycle count.
std::size_t CountIdentical(const Collection& collection) {
    std::size_t identical = 0;
    Grid snapshot;
    for (const Givens& givens : collection.puzzles) {
        const int cycles = Solve(Engine::kPlain, givens, snapshot);
        const Grid expectedGrid = grid;
        const Grid expectedSnapshot = snapshot;
        const int ownCycles = Solve(Engine::kOwn, givens, snapshot);
        identical += ownCycles == cycles && std::memcmp(&grid, &expectedGrid, sizeof grid) == 0 &&
                     std::memcmp(&snapshot, &expectedSnapshot, sizeof snapshot) == 0;
    }
    return identical;
}

void Time(Engine engine, const Collection& collection, int runs) {
    const bool both = engine == Engine::kBoth;
    std::vector<double> own;
    std::vector<double> plain;
    Timing ownTiming;
    Timing plainTiming;
    // Turn about, so that load from elsewhere on the machine falls on both engines alike.
    for (int run = 0; run < runs; ++run) {
        if (engine != Engine::kOwn) {
            plainTiming.totals = Run(Engine::kPlain, collection);
            plain.push_back(plainTiming.totals.seconds);
        }
        if (engine != Engine::kPlain) {
            ownTiming.totals = Run(Engine::kOwn, collection);
            own.push_back(ownTiming.totals.seconds);
        }
    }
    for (auto [timing, seconds] : {std::pair{&ownTiming, &own}, {&plainTiming, &plain}}) {
        if (seconds->empty()) continue;
        timing->median = Median(*seconds);
        timing->best = *std::min_element(seconds->begin(), seconds->end());
    }
    if (!both) {
        Print(collection, engine == Engine::kOwn ? ownTiming : plainTiming, runs, nullptr);
        return;
    }
    Print(collection, plainTiming, runs, "plain");
    Print(collection, ownTiming, runs, "own");
    std::printf("%s ratio=%.1f best_ratio=%.1f identical=%zu/%zu\n", collection.path.c_str(),
                ownTiming.median > 0 ? plainTiming.median / ownTiming.median : 0,
                ownTiming.best > 0 ? plainTiming.best / ownTiming.best : 0,
                CountIdentical(collection), collection.puzzles.size());
}

void Emit(Engine engine, const Collection& collection) {
    Grid snapshot;
    char line[kCells + 1];
    line[kCells] = '\n';
    for (const Givens& givens : collection.puzzles) {
        Solve(engine, givens, snapshot);
        for (int i = 0; i < kCells; ++i) line[i] = static_cast<char>('0' + grid.cells[i].value);
        std::fwrite(line, 1, sizeof line, stdout);
    }
}

int Usage() {
    std::fprintf(stderr,
                 "usage: numplace-bench [--engine=own|plain|both] [--runs=N] [--emit] "
                 "FILE...\n");
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    Engine engine = Engine::kOwn;
    bool emit = false;
    int runs = 1;
    std::vector<const char*> paths;
    for (int i = 1; i < argc; ++i) {
        const std::string_view arg = argv[i];
        if (arg == "--engine=own") {
            engine = Engine::kOwn;
        } else if (arg == "--engine=plain") {
            engine = Engine::kPlain;
        } else if (arg == "--engine=both") {
            engine = Engine::kBoth;
        } else if (arg == "--emit") {
            emit = true;
        } else if (arg.starts_with("--runs=")) {
            runs = std::atoi(argv[i] + 7);
            if (runs < 1 || runs > 1000) return Usage();
        } else if (arg.starts_with("--")) {
            return Usage();
        } else {
            paths.push_back(argv[i]);
        }
    }
    if (paths.empty() || (emit && engine == Engine::kBoth)) return Usage();

    std::vector<Collection> collections(paths.size());
    for (std::size_t i = 0; i < paths.size(); ++i) {
        if (!Load(paths[i], collections[i])) {
            std::fprintf(stderr, "numplace-bench: cannot read %s\n", paths[i]);
            return 1;
        }
    }
    for (const Collection& collection : collections) {
        if (emit) {
            Emit(engine, collection);
        } else {
            Time(engine, collection, runs);
        }
        std::fflush(stdout);
    }
    return 0;
}
