// The display text, and reading it back through the parser.
#include <gtest/gtest.h>

#include <cstring>

#include "grid_fixture.h"
#include "puzzle_text/file_buffer.h"
#include "puzzle_text/grid_render.h"
#include "puzzle_text/puzzle_parser.h"
#include "sample_puzzles.h"

namespace {

std::string Rendered() {
    char text[1024];
    std::memset(text, 'x', sizeof text);
    RenderGrid(text);
    EXPECT_EQ(text[kGridTextLength], 'x') << "nothing written past the grid, not even a NUL";
    return std::string(text, kGridTextLength);
}

class RenderGridText : public testing::TestWithParam<const char*> {};

TEST_P(RenderGridText, ShowsEveryCellAsItsDigitAndUnsolvedAsZero) {
    LoadPuzzle(GetParam());
    EXPECT_EQ(Rendered(), DisplayText(GetParam()));
}

TEST_P(RenderGridText, ReadsBackAsTheGridItShows) {
    LoadPuzzle(GetParam());
    const std::string text = Rendered();
    const Grid shown = grid;

    FileBuffer file;
    ASSERT_TRUE(file.Allocate(static_cast<std::uint32_t>(text.size())));
    std::memcpy(file.data, text.data(), text.size());
    ResetGrid();
    char line[kLineCapacity];
    ParsePuzzle(file, line);
    file.Release();
    EXPECT_TRUE(MatchesSnapshot(shown));
}

INSTANTIATE_TEST_SUITE_P(Grids, RenderGridText,
                         testing::Values(kBlank, kClassicSolution, kPartial,
                                         "900000000000000000000000000000000000000000000000000000000"
                                         "000000000000000000000001"));

TEST(RenderGrid, BlankGridIsNineRowsOfZeros) {
    ResetGrid();
    std::string expected;
    for (int row = 0; row < 9; ++row) expected += "0 0 0 0 0 0 0 0 0 \n";
    EXPECT_EQ(Rendered(), expected);
}

}  // namespace
