// The built numplace run as a process on real files: what it prints and how it exits.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "display_text.h"
#include "run_process.h"
#include "sample_puzzles.h"

namespace {

namespace fs = std::filesystem;

const fs::path kExamples = NUMPLACE_EXAMPLES_DIR;

std::string ConfirmAndAnswer(const char* puzzle, const char* answer) {
    return "[問題確認]\n" + DisplayText(puzzle) + "[回答]\n" + DisplayText(answer);
}

const std::string kMissingFile = "[Error]\nファイルがありません。\n";
const std::string kClassicRun = ConfirmAndAnswer(kClassic, kClassicSolution);

struct ProcessCase {
    const char* name;
    std::vector<std::string> args;
    std::string output;
    friend void PrintTo(const ProcessCase& c, std::ostream* os) { *os << c.name; }
};

class Numplace : public testing::TestWithParam<ProcessCase> {
  public:
    static void SetUpTestSuite() {
        fs::create_directories(dir / "with blanks");
        fs::copy_file(kExamples / "classic.txt", dir / "with blanks" / "my puzzle.txt",
                      fs::copy_options::overwrite_existing);
    }
    static void TearDownTestSuite() { fs::remove_all(dir); }
    static inline const fs::path dir =
        fs::temp_directory_path() / ("numplace_process_test_" + std::to_string(getpid()));
};

TEST_P(Numplace, PrintsItsBoxesAndExitsWithZero) {
    std::vector<std::string> argv = {NUMPLACE_EXECUTABLE};
    argv.insert(argv.end(), GetParam().args.begin(), GetParam().args.end());
    const ProcessResult run = RunProcess(argv);
    EXPECT_FALSE(run.timedOut);
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_EQ(run.output, GetParam().output);
}

INSTANTIATE_TEST_SUITE_P(
    Runs, Numplace,
    testing::Values(
        ProcessCase{"Classic", {(kExamples / "classic.txt").string()}, kClassicRun},
        ProcessCase{"PartlySolved",
                    {(kExamples / "partial.txt").string()},
                    ConfirmAndAnswer(kPartial, kPartialAnswer)},
        ProcessCase{"Commas",
                    {(kExamples / "commas.txt").string()},
                    ConfirmAndAnswer("003020600900305001001806400008102900700000008006708200002609"
                                     "500800203009005010300",
                                     "483921657967345821251876493548132976729564138136798245372689"
                                     "514814253769695417382")},
        ProcessCase{"NoArgument", {}, kMissingFile},
        ProcessCase{"MissingFile", {(kExamples / "absent.txt").string()}, kMissingFile},
        // The shell's words are joined by single blanks into one path.
        ProcessCase{"PathSplitIntoWords",
                    {(Numplace::dir / "with").string(), "blanks/my", "puzzle.txt"},
                    kClassicRun},
        ProcessCase{"PathWithBlanksInOneWord",
                    {(Numplace::dir / "with blanks" / "my puzzle.txt").string()},
                    kClassicRun}),
    [](const testing::TestParamInfo<ProcessCase>& info) { return info.param.name; });

}  // namespace
