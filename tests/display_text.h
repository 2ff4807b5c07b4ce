// Expected display text, written from the 81-character puzzle form.
#pragma once

#include <string>
#include <string_view>

// "5 3 0 0 7 0 0 0 0 \n" per row: each digit followed by a blank, LF after the ninth.
inline std::string DisplayText(std::string_view digits) {
    std::string text;
    for (std::size_t i = 0; i < digits.size(); ++i) {
        text += digits[i] == '.' ? '0' : digits[i];
        text += ' ';
        if (i % 9 == 8) text += '\n';
    }
    return text;
}
