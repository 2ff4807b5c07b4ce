// The user-visible texts are the exact code page 932 bytes of the Japanese they stand for, and
// the Linux message box shows them, and any other code page 932 text, as the same UTF-8.
#include <gtest/gtest.h>
#include <iconv.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <string_view>

#include "app/texts.h"
#include "platform/cp932_terminal.h"
#include "platform/win32.h"

namespace {

// iconv's CP932 converter is the reference, and the Linux box's way to show characters not in its
// table. Some systems have none: 64-bit ARM under qemu, whose cross libraries bring no gconv
// modules. The cases that need it then skip themselves.
const bool kHasCp932 = [] {
    const iconv_t cd = iconv_open("UTF-8", "CP932");
    if (cd == reinterpret_cast<iconv_t>(-1)) return false;
    iconv_close(cd);
    return true;
}();
constexpr const char* kNoCp932 = "no CP932 converter in this system's iconv";

std::string Cp932ToUtf8(const std::string& bytes) {
    const iconv_t cd = iconv_open("UTF-8", "CP932");
    if (cd == reinterpret_cast<iconv_t>(-1)) return "(no CP932 converter)";
    std::string out(bytes.size() * 3, '\0');
    char* in = const_cast<char*>(bytes.data());
    std::size_t inLeft = bytes.size();
    char* outPtr = out.data();
    std::size_t outLeft = out.size();
    const bool ok = iconv(cd, &in, &inLeft, &outPtr, &outLeft) != static_cast<std::size_t>(-1);
    iconv_close(cd);
    return ok ? out.substr(0, out.size() - outLeft) : "(invalid CP932)";
}

// What the terminal shows for a box with text as both caption and text, read from a pipe on
// standard output once the box has returned: text still in stdio's buffer was not shown. The
// program's own characters come from a table of their own and every other one from iconv.
std::string ShownInBox(const char* text) {
    int ends[2];
    if (pipe(ends) != 0) return "(no pipe)";
    std::fflush(stdout);
    const int terminal = dup(STDOUT_FILENO);
    dup2(ends[1], STDOUT_FILENO);
    close(ends[1]);
    EXPECT_EQ(MessageBoxA(nullptr, text, text, MB_OK), IDOK);
    dup2(terminal, STDOUT_FILENO);  // the pipe's last writer gone, the reads below end
    close(terminal);
    std::string shown;
    char chunk[256];
    for (ssize_t got; (got = read(ends[0], chunk, sizeof chunk)) > 0;) shown.append(chunk, got);
    close(ends[0]);
    return shown;
}

// The same as UTF-8, built by appending: "[" + std::string trips a false -Wrestrict in g++ 12
// at -O3.
std::string BoxOf(const char* utf8) {
    std::string shown = "[";
    shown.append(utf8).append("]\n").append(utf8).append("\n");
    return shown;
}

struct TextCase {
    const char* name;
    std::string bytes;
    std::size_t length;
    const char* utf8;
    friend void PrintTo(const TextCase& c, std::ostream* os) { *os << c.name; }
};

class UserText : public testing::TestWithParam<TextCase> {};

// And every character of it is in the terminal printer's table, as iconv reads it: a changed text
// fails here rather than quietly loading iconv at every run.
TEST_P(UserText, IsCodePage932) {
    const std::string& bytes = GetParam().bytes;
    EXPECT_EQ(bytes.size(), GetParam().length);
    EXPECT_EQ(ShownInBox(bytes.c_str()), BoxOf(GetParam().utf8));
    if (!kHasCp932) GTEST_SKIP() << kNoCp932;
    EXPECT_EQ(Cp932ToUtf8(bytes), GetParam().utf8);
    for (std::size_t at = 0; at < bytes.size(); ++at) {
        if (static_cast<unsigned char>(bytes[at]) < 0x80) continue;
        const std::string character = bytes.substr(at++, 2);
        const char* utf8 = OwnCharacterUtf8(static_cast<unsigned char>(character[0]),
                                            static_cast<unsigned char>(character[1]));
        EXPECT_EQ(utf8 ? utf8 : "(not in the table)", Cp932ToUtf8(character));
    }
}

INSTANTIATE_TEST_SUITE_P(
    Texts, UserText,
    testing::Values(TextCase{"ConfirmCaption", kConfirmCaption, 8, "問題確認"},
                    TextCase{"AnswerCaption", kAnswerCaption, 4, "回答"},
                    TextCase{"MissingFile", kMissingFileText, 22, "ファイルがありません。"},
                    TextCase{"ClassName", kWindowClassName, 14, "Tavrin Game 01"}),
    [](const testing::TestParamInfo<TextCase>& info) { return info.param.name; });

struct OtherTextCase {
    const char* name;
    const char* cp932;
    const char* utf8;
    friend void PrintTo(const OtherTextCase& c, std::ostream* os) { *os << c.name; }
};

class OtherText : public testing::TestWithParam<OtherTextCase> {};

TEST_P(OtherText, ShowsInTheLinuxBoxAsUtf8) {
    const std::string_view text = GetParam().cp932;
    if (!kHasCp932 && std::ranges::any_of(text, [](char c) { return c & 0x80; })) {
        GTEST_SKIP() << kNoCp932;
    }
    EXPECT_EQ(ShownInBox(GetParam().cp932), BoxOf(GetParam().utf8));
}

INSTANTIATE_TEST_SUITE_P(
    Texts, OtherText,
    testing::Values(OtherTextCase{"Empty", "", ""}, OtherTextCase{"Ascii", "1.2\\|~", "1.2\\|~"},
                    OtherTextCase{"OtherKanji", "\x8A\xBF\x8E\x9A", "漢字"},
                    OtherTextCase{"HalfWidthKana", "\xB1", "ｱ"},
                    OtherTextCase{"KnownThenOther", "\x96\xE2x\x8A\xBF\x89\xF1", "問x漢回"},
                    OtherTextCase{"LoneLeadByte", "\x89\xF1\x96", "回?"}),
    [](const testing::TestParamInfo<OtherTextCase>& info) { return info.param.name; });

}  // namespace
