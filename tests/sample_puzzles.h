// Puzzles the tests share, in the 81-character row-major form (0 for an empty cell), and the
// display text the program shows for a grid.
#pragma once

#include <string>
#include <string_view>

// Singles solve it completely, in three cycles; examples/classic.txt.
inline constexpr char kClassic[] =
    "530070000600195000098000060800060003400803001700020006060000280000419005000080079";
inline constexpr char kClassicSolution[] =
    "534678912672195348198342567859761423426853791713924856961537284287419635345286179";

// Singles place 28 digits here and then stall; examples/partial.txt.
inline constexpr char kPartial[] =
    "030008902600100000100000060009061420426003000700000000001030280000000600000286079";
inline constexpr char kPartialAnswer[] =
    "530608912600100340100300560859761423426803701713000806961037280200010630345286179";

// examples/commas.txt, which singles solve.
inline constexpr char kCommas[] =
    "003020600900305001001806400008102900700000008006708200002609500800203009005010300";
inline constexpr char kCommasSolution[] =
    "483921657967345821251876493548132976729564138136798245372689514814253769695417382";

// Needs guessing from the start: singles place nothing.
inline constexpr char kHard[] =
    "800000000003600000070090200050007000000045700000100030001000068008500010090000400";

inline constexpr char kBlank[] =
    "000000000000000000000000000000000000000000000000000000000000000000000000000000000";

// "5 3 0 0 7 0 0 0 0 \n" per row: each digit followed by a blank, lineEnd after the ninth.
inline std::string DisplayText(std::string_view digits, std::string_view lineEnd = "\n") {
    std::string text;
    for (std::size_t i = 0; i < digits.size(); ++i) {
        text += digits[i];
        text += ' ';
        if (i % 9 == 8) text += lineEnd;
    }
    return text;
}
