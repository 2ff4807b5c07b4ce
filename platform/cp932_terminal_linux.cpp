// Code page 932 text on a UTF-8 terminal: the characters of the program's own texts from a table
// of ours, any other through iconv.
#include "platform/cp932_terminal.h"

#include <iconv.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

namespace {

// Every character of app/texts.h (a test holds the two to each other).
struct KnownCharacter {
    unsigned char lead, trail;  // the two code page 932 bytes
    char utf8[4];
};

constexpr KnownCharacter kKnownCharacters[] = {
    {0x96, 0xE2, "\xE5\x95\x8F"},  // 問
    {0x91, 0xE8, "\xE9\xA1\x8C"},  // 題
    {0x8A, 0x6D, "\xE7\xA2\xBA"},  // 確
    {0x94, 0x46, "\xE8\xAA\x8D"},  // 認
    {0x89, 0xF1, "\xE5\x9B\x9E"},  // 回
    {0x93, 0x9A, "\xE7\xAD\x94"},  // 答
    {0x83, 0x74, "\xE3\x83\x95"},  // フ
    {0x83, 0x40, "\xE3\x82\xA1"},  // ァ
    {0x83, 0x43, "\xE3\x82\xA4"},  // イ
    {0x83, 0x8B, "\xE3\x83\xAB"},  // ル
    {0x82, 0xAA, "\xE3\x81\x8C"},  // が
    {0x82, 0xA0, "\xE3\x81\x82"},  // あ
    {0x82, 0xE8, "\xE3\x82\x8A"},  // り
    {0x82, 0xDC, "\xE3\x81\xBE"},  // ま
    {0x82, 0xB9, "\xE3\x81\x9B"},  // せ
    {0x82, 0xF1, "\xE3\x82\x93"},  // ん
    {0x81, 0x42, "\xE3\x80\x82"},  // 。
};

// Writes code page 932 text to stdout as UTF-8 through iconv; a byte that is not valid there
// shows as '?'.
void PrintThroughIconv(const char* text) {
    static const iconv_t cp932 = iconv_open("UTF-8", "CP932");
    if (cp932 == reinterpret_cast<iconv_t>(-1)) {
        std::fputs(text, stdout);
        return;
    }
    char* in = const_cast<char*>(text);
    std::size_t inLeft = std::strlen(text);
    while (inLeft > 0) {
        char chunk[256];
        char* out = chunk;
        std::size_t outLeft = sizeof chunk;
        const std::size_t result = iconv(cp932, &in, &inLeft, &out, &outLeft);
        std::fwrite(chunk, 1, sizeof chunk - outLeft, stdout);
        if (result == static_cast<std::size_t>(-1) && errno != E2BIG) {
            std::fputc('?', stdout);
            ++in;
            --inLeft;
            iconv(cp932, nullptr, nullptr, nullptr, nullptr);
        }
    }
}

}  // namespace

const char* OwnCharacterUtf8(unsigned char lead, unsigned char trail) {
    for (const KnownCharacter& c : kKnownCharacters) {
        if (c.lead == lead && c.trail == trail) return c.utf8;
    }
    return nullptr;
}

// ASCII and the known characters directly, the rest from the first other byte on through iconv.
void PrintCp932(const char* text) {
    for (const char* at = text; *at != '\0';) {
        const auto lead = static_cast<unsigned char>(*at);
        if (lead < 0x80) {
            std::fputc(lead, stdout);
            ++at;
            continue;
        }
        const char* utf8 = OwnCharacterUtf8(lead, static_cast<unsigned char>(at[1]));
        if (utf8 == nullptr) {
            PrintThroughIconv(at);
            return;
        }
        std::fputs(utf8, stdout);
        at += 2;
    }
}
