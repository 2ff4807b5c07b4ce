// libFuzzer target: arbitrary bytes as a puzzle file, through the program's own path from the
// file buffer to the answer, checking what every step promises rather than only surviving it.
#include <climits>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "puzzle_text/file_buffer.h"
#include "puzzle_text/grid_render.h"
#include "puzzle_text/puzzle_parser.h"
#include "solver/grid.h"
#include "solver/propagation.h"

namespace {

// Every cycle but the last removes a flag or solves a cell, so a solve that runs longer has
// stopped making progress.
constexpr int kFlags = kCells * 9;
constexpr int kMostCycles = kFlags + kCells + 1;

// How many leading offsets of the input also go through the number conversion on their own.
constexpr std::size_t kConversionOffsets = 64;

constexpr int kTextCapacity = 1024;

// A broken promise: say which, then stop, so libFuzzer keeps the input that broke it.
[[noreturn]] void Broken(const char* promise, int line) {
    std::fprintf(stderr, "puzzle_fuzzer.cpp:%d: broken: %s\n", line, promise);
    __builtin_trap();
}
#define REQUIRE(promise) ((promise) ? void() : Broken(#promise, __LINE__))

int FlagCount(const Cell& cell) {
    int count = 0;
    for (const std::uint8_t flag : cell.candidates) count += flag;
    return count;
}

// Values 0 to 9 and flags 0 or 1 everywhere; a solved cell keeps at most its own digit's flag.
void RequireWellFormedGrid() {
    for (const Cell& cell : grid.cells) {
        REQUIRE(cell.value >= 0 && cell.value <= 9);
        for (const std::uint8_t flag : cell.candidates) REQUIRE(flag <= 1);
        if (cell.value > 0) {
            const int flags = FlagCount(cell);
            REQUIRE(flags == 0 || (flags == 1 && cell.candidates[cell.value - 1] == 1));
        }
    }
}

// 171 bytes of digit, blank, ..., LF per row matching the grid, and the caller's zero after them.
void RequireDisplayText(const char (&text)[kTextCapacity]) {
    const char* p = text;
    for (int i = 0; i < kCells; ++i) {
        REQUIRE(*p++ == '0' + grid.cells[i].value);
        REQUIRE(*p++ == ' ');
        if (i % kSide == kSide - 1) REQUIRE(*p++ == '\n');
    }
    REQUIRE(p == text + kGridTextLength);
    for (const char* rest = p; rest < text + kTextCapacity; ++rest) REQUIRE(*rest == '\0');
}

bool IsHexDigit(char c) {
    return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
}

// The conversion agrees with the C library's strtol in base 0, saturated to 32 bits, except that
// a 0x with no hexadecimal digit after it consumes nothing at all.
void RequireConversionMatchesStrtol(const char* text) {
    const ParsedInteger parsed = ParseInteger(text);
    char* end = nullptr;
    const long long expected = std::strtoll(text, &end, 0);
    long long saturated = expected;
    if (saturated > INT32_MAX) saturated = INT32_MAX;
    if (saturated < INT32_MIN) saturated = INT32_MIN;

    const char* p = text;
    while (*p == ' ' || *p == '\t' || *p == '\n' || *p == '\v' || *p == '\f' || *p == '\r') ++p;
    if (*p == '+' || *p == '-') ++p;
    const bool bareHexPrefix = p[0] == '0' && (p[1] == 'x' || p[1] == 'X') && !IsHexDigit(p[2]);
    if (bareHexPrefix) {
        REQUIRE(parsed.number == 0 && parsed.end == text);
        return;
    }
    REQUIRE(parsed.number == saturated);
    REQUIRE(parsed.end == end);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* bytes, std::size_t size) {
    if (size > UINT32_MAX) return 0;

    // The file as Load leaves it: a block of exactly size bytes, not NUL-terminated.
    FileBuffer file;
    if (!file.Allocate(static_cast<std::uint32_t>(size))) return 0;
    if (size > 0) std::memcpy(file.data, bytes, size);

    // The program's run: the blank grid as the reference snapshot, the file parsed and shown,
    // then the solving loop.
    ResetGrid();
    Grid reference;
    TakeSnapshot(reference);
    const Grid blank = reference;
    char line[kLineCapacity];
    ParsePuzzle(file, line);
    REQUIRE(file.cursor >= file.data && file.cursor <= file.data + file.size);
    RequireWellFormedGrid();
    for (const Cell& cell : grid.cells) {
        // The parser only places givens: a cell is blank or holds exactly its digit's flag.
        REQUIRE(cell.value == 0 ? FlagCount(cell) == 9 : FlagCount(cell) == 1);
    }
    Grid parsed;
    TakeSnapshot(parsed);
    char text[kTextCapacity] = {};
    RenderGrid(text);
    RequireDisplayText(text);
    const int cycles = SolveUntilStable(reference);
    RequireWellFormedGrid();
    REQUIRE(cycles >= 0 && cycles <= kMostCycles);
    // No given at all runs no cycle; anything else runs at least one.
    REQUIRE((cycles == 0) == (std::memcmp(&parsed, &blank, sizeof parsed) == 0));
    REQUIRE(MatchesSnapshot(reference));
    for (int i = 0; i < kCells; ++i) {
        const Cell& before = parsed.cells[i];
        const Cell& after = grid.cells[i];
        if (before.value > 0) REQUIRE(std::memcmp(&before, &after, sizeof before) == 0);
        // An unsolved cell only ever loses flags.
        if (after.value == 0) {
            for (int d = 0; d < 9; ++d) REQUIRE(after.candidates[d] <= before.candidates[d]);
        }
    }

    RenderGrid(text);
    RequireDisplayText(text);

    // The answer is a fixpoint: solving it again runs no cycle, and even one more sweep over it
    // changes nothing.
    Grid answer;
    TakeSnapshot(answer);
    Grid again;
    TakeSnapshot(again);
    REQUIRE(SolveUntilStable(again) == 0);
    REQUIRE(MatchesSnapshot(answer));
    SolvePass();
    REQUIRE(MatchesSnapshot(answer));

    // The number conversion on its own, over the input as a NUL-terminated string.
    char* string = static_cast<char*>(std::malloc(size + 1));
    if (string == nullptr) return 0;
    if (size > 0) std::memcpy(string, bytes, size);
    string[size] = '\0';
    const std::size_t length = std::strlen(string);
    for (std::size_t offset = 0; offset <= length && offset < kConversionOffsets; ++offset) {
        RequireConversionMatchesStrtol(string + offset);
    }
    std::free(string);
    return 0;
}
