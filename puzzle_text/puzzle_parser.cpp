// Number conversion and the row-by-row reading of a puzzle into the grid.
#include "puzzle_parser.h"

#include <cstring>
#include <limits>

#include "solver/grid.h"

namespace {

constexpr std::uint32_t kLargestPositive = 2147483647u;
constexpr std::uint32_t kLargestNegative = 2147483648u;  // magnitude of the most negative
constexpr std::int32_t kSaturatedPositive = std::numeric_limits<std::int32_t>::max();
constexpr std::int32_t kSaturatedNegative = std::numeric_limits<std::int32_t>::min();
constexpr int kNotADigit = 36;  // above every base

bool IsSpace(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

// 0 to 9 for the digits, 10 to 35 for the letters of either case.
int DigitValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'z') return c - 'a' + 10;
    if (c >= 'A' && c <= 'Z') return c - 'A' + 10;
    return kNotADigit;
}

// Any other byte separates numbers; the NUL ends the line.
bool CanStartNumber(char c) {
    return (c >= '0' && c <= '9') || c == '+' || c == '-' || c == '\0';
}

}  // namespace

ParsedInteger ParseInteger(const char* text) {
    const char* p = text;
    while (IsSpace(*p)) ++p;
    const bool negative = *p == '-';
    if (*p == '-' || *p == '+') ++p;
    int base = 10;
    if (p[0] == '0' && (p[1] == 'x' || p[1] == 'X')) {
        base = 16;
        p += 2;
    } else if (p[0] == '0') {
        base = 8;  // the 0 stays: it is the number's first octal digit
    }

    // Accumulating the magnitude unsigned and checking before each step keeps clear of overflow.
    const std::uint32_t limit = negative ? kLargestNegative : kLargestPositive;
    const char* const digits = p;
    std::uint32_t magnitude = 0;
    bool saturated = false;
    for (int digit = DigitValue(*p); digit < base; digit = DigitValue(*++p)) {
        const auto d = static_cast<std::uint32_t>(digit);
        if (saturated || magnitude > (limit - d) / static_cast<std::uint32_t>(base)) {
            saturated = true;  // the rest of the digits are still consumed
        } else {
            magnitude = magnitude * static_cast<std::uint32_t>(base) + d;
        }
    }
    if (p == digits) return {0, text};
    if (saturated) return {negative ? kSaturatedNegative : kSaturatedPositive, p};
    const auto value = static_cast<std::int64_t>(magnitude);
    return {static_cast<std::int32_t>(negative ? -value : value), p};
}

void ParsePuzzle(FileBuffer& buffer, char (&line)[kLineCapacity]) {
    for (int y = 0; y < kSide; ++y) {
        std::memset(line, 0, sizeof line);
        buffer.ReadLine(line, kLineCapacity);
        const char* p = line;
        for (int x = 0; x < kSide; ++x) {
            while (!CanStartNumber(*p)) ++p;
            // A sign or 0x that no digit follows reads as nothing, so the scan stays on it and
            // the rest of the row is empty.
            const ParsedInteger parsed = ParseInteger(p);
            PlaceDigit(x, y, parsed.number);
            p = parsed.end;
        }
    }
}
