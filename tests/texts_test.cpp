// The user-visible texts are the exact code page 932 bytes of the Japanese they stand for.
#include <gtest/gtest.h>
#include <iconv.h>

#include <string>

#include "app/texts.h"

namespace {

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

struct TextCase {
    const char* name;
    std::string bytes;
    std::size_t length;
    const char* utf8;
    friend void PrintTo(const TextCase& c, std::ostream* os) { *os << c.name; }
};

class UserText : public testing::TestWithParam<TextCase> {};

TEST_P(UserText, IsCodePage932) {
    EXPECT_EQ(GetParam().bytes.size(), GetParam().length);
    EXPECT_EQ(Cp932ToUtf8(GetParam().bytes), GetParam().utf8);
}

INSTANTIATE_TEST_SUITE_P(
    Texts, UserText,
    testing::Values(TextCase{"ConfirmCaption", kConfirmCaption, 8, "問題確認"},
                    TextCase{"AnswerCaption", kAnswerCaption, 4, "回答"},
                    TextCase{"MissingFile", kMissingFileText, 22, "ファイルがありません。"},
                    TextCase{"ClassName", kWindowClassName, 14, "Tavrin Game 01"}),
    [](const testing::TestParamInfo<TextCase>& info) { return info.param.name; });

}  // namespace
