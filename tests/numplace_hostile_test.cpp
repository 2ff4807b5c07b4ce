// The built numplace as a process, on the shipped examples, ordinary paths and hostile paths and
// files: every run ends with exit code 0 and the boxes the program defines, within a time limit.
// Where valgrind is available the same runs go through memcheck too: no invalid access, no
// uninitialised byte used, no leak.
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <random>
#include <string>
#include <string_view>
#include <tuple>
#include <vector>

#include "grid_fixture.h"
#include "puzzle_text/puzzle_parser.h"
#include "run_process.h"
#include "sample_puzzles.h"
#include "solver/propagation.h"
#include "text_fixture.h"

namespace {

namespace fs = std::filesystem;

const fs::path kExamples = NUMPLACE_EXAMPLES_DIR;
// What starts the built program: nothing, or for another processor's the emulator.
const std::vector<std::string> kRunner = {NUMPLACE_RUNNER};
constexpr uid_t kNobody = 65534;

// What numplace prints: each box's caption in brackets, then its text.
std::string Boxes(std::string_view puzzle, std::string_view answer) {
    return "[問題確認]\n" + DisplayText(puzzle) + "[回答]\n" + DisplayText(answer);
}

const std::string kMissingFile = "[Error]\nファイルがありません。\n";
const std::string kClassicText = DisplayText(kClassic);
const std::string kClassicBoxes = Boxes(kClassic, kClassicSolution);
const std::string kBlankBoxes = Boxes(kBlank, kBlank);

// The boxes for a file that loads with these bytes, worked out in-process by the same library
// code: for inputs too large or too random to write the grids down by hand.
std::string BoxesFor(const std::string& bytes) {
    Grid reference;
    FileBuffer file;
    Fill(file, bytes);
    ResetGrid();
    TakeSnapshot(reference);
    char line[kLineCapacity];
    ParsePuzzle(file, line);
    const std::string confirm = Values();
    SolveUntilStable(reference);
    return Boxes(confirm, Values());
}

// The scratch folder every case starts from: the classic puzzle under ordinary, blank-filled and
// non-UTF-8 names, a link to nothing, a file no one may read and one in a folder no one may enter.
void LayOut(const TempDir& dir) {
    for (const char* name : {"classic.txt", "my puzzle.txt", "puzzle-\xff\xfe\xc3(.txt",
                             "\x82\xa0\x96\xe2.txt", "locked.txt"}) {
        dir.Write(name, kClassicText);
    }
    fs::create_directory(dir.Path("with blanks"));
    dir.Write("with blanks/my puzzle.txt", kClassicText);
    fs::create_symlink(dir.Path("gone.txt"), dir.Path("link.txt"));
    fs::create_directory(dir.Path("shut"));
    dir.Write("shut/puzzle.txt", kClassicText);
    EXPECT_EQ(chmod(dir.Path("locked.txt").c_str(), 0), 0);
    EXPECT_EQ(chmod(dir.Path("shut").c_str(), 0), 0);
}

// Bytes too many or too random to write down: a megabyte of noise; 50 MB of a first line that
// never ends, of which nine rows of 1023 characters are read and the rest never looked at; and the
// classic puzzle with a million blank lines, LF and CR LF, between its rows.
std::string RandomMegabyte() {
    std::mt19937 random(20240601);
    std::string bytes(1 << 20, '\0');
    for (char& byte : bytes) byte = static_cast<char>(random() & 0xFF);
    return bytes;
}

std::string EndlessFirstLine() {
    std::string bytes;
    bytes.reserve(50u << 20);
    while (bytes.size() < (50u << 20)) bytes += "5 3 0 0 7 0 0 0 0 6 0 1 9 ";
    return bytes;
}

std::string MillionBlankLines() {
    std::string bytes;
    for (int row = 0; row < 9; ++row) {
        bytes += kClassicText.substr(static_cast<std::size_t>(row) * 19, 18);
        if (row < 8)
            bytes += row % 2 ? std::string(125000, '\n') : std::string(125000, '\r') + "\n";
    }
    return bytes;
}

// The boxes for case.txt, worked out in-process from its bytes by the same library code.
const std::string kWorkedOut = "(worked out from case.txt)";

// One run: the words after the program ("%/" stands for the scratch folder), what it must print,
// and case.txt's bytes (or the function that makes them). The permission cases run as a user the
// files' modes apply to, even under root; the stream cases with other streams than /dev/null in
// and a pipe out.
struct HostileCase {
    const char* name;
    std::vector<std::string> args;
    std::string output;
    std::string bytes = {};
    std::string (*make)() = nullptr;
    bool unprivileged = false;
    Streams streams = {};
    friend void PrintTo(const HostileCase& c, std::ostream* os) { *os << c.name; }
};

const HostileCase kCases[] = {
    {"ExampleClassic", {kExamples / "classic.txt"}, kClassicBoxes},
    {"ExamplePartial", {kExamples / "partial.txt"}, Boxes(kPartial, kPartialAnswer)},
    {"ExampleCommas", {kExamples / "commas.txt"}, Boxes(kCommas, kCommasSolution)},
    {"NoArgument", {}, kMissingFile},
    // The shell's words are joined by single blanks into one path.
    {"PathSplitIntoWords", {"%/with", "blanks/my", "puzzle.txt"}, kClassicBoxes},
    {"PathWithBlanksInOneWord", {"%/my puzzle.txt"}, kClassicBoxes},
    {"PathNotUtf8", {"%/puzzle-\xff\xfe\xc3(.txt"}, kClassicBoxes},
    {"QuotedPathNotUtf8", {"\"%/\x82\xa0\x96\xe2.txt\""}, kClassicBoxes},
    {"DanglingSymlink", {"%/link.txt"}, kMissingFile},
    {"FileWithoutReadPermission", {"%/locked.txt"}, kMissingFile, {}, nullptr, true},
    {"FileInDirectoryNoOneCanEnter", {"%/shut/puzzle.txt"}, kMissingFile, {}, nullptr, true},
    // A regular file that reports size 0 whatever it holds: the program reads what was sized.
    {"ProcFileSizedZero", {"/proc/self/status"}, kBlankBoxes},
    {"OneByte", {"%/case.txt"}, kWorkedOut, "5"},
    {"ZeroBytes", {"%/case.txt"}, kBlankBoxes, ""},
    {"NulBytes", {"%/case.txt"}, kBlankBoxes, std::string(65536, '\0')},
    {"CrOnly", {"%/case.txt"}, kClassicBoxes, DisplayText(kClassic, "\r")},
    {"RandomMegabyte", {"%/case.txt"}, kWorkedOut, {}, RandomMegabyte},
    {"EndlessFirstLine", {"%/case.txt"}, kWorkedOut, {}, EndlessFirstLine},
    {"MillionBlankLines", {"%/case.txt"}, kClassicBoxes, {}, MillionBlankLines},
    // With standard input closed the puzzle file is descriptor 0, a file like any other; with
    // standard output closed it is descriptor 1, where the boxes go, opened to be read only and
    // left unchanged; and `numplace p.txt | true` loses its reader before the first box.
    {"StandardInputClosed",
     {"%/classic.txt"},
     kClassicBoxes,
     {},
     nullptr,
     false,
     {.input = Streams::kClosedInput}},
    {"StandardOutputClosed",
     {"%/classic.txt"},
     "",
     {},
     nullptr,
     false,
     {.output = Streams::kClosedOutput}},
    {"ReaderOfTheOutputGone",
     {"%/classic.txt"},
     "",
     {},
     nullptr,
     false,
     {.output = Streams::kReaderGone}},
};

// The regular files in the scratch folder, by name, with their bytes.
std::map<std::string, std::string> Files(const TempDir& dir) {
    std::map<std::string, std::string> files;
    for (const fs::directory_entry& entry : fs::directory_iterator(dir.Path(""))) {
        if (!entry.is_regular_file()) continue;
        std::ifstream in(entry.path(), std::ios::binary);
        files[entry.path().filename()] = std::string(std::istreambuf_iterator<char>(in), {});
    }
    return files;
}

enum class Under { kNative, kMemcheck };

// Any memcheck error, and any block lost for good, fails the run with exit code 99. The build
// says why when there can be no memcheck run: no valgrind, or one that cannot run its programs.
constexpr std::string_view kNoMemcheck = NUMPLACE_NO_MEMCHECK;
const std::vector<std::string> kMemcheck = {VALGRIND_EXECUTABLE,
                                            "--quiet",
                                            "--error-exitcode=99",
                                            "--leak-check=full",
                                            "--show-leak-kinds=definite,indirect",
                                            "--errors-for-leak-kinds=definite,indirect"};
constexpr std::string_view kSetpriv = SETPRIV_EXECUTABLE;

const char* NameOf(Under under) {
    return under == Under::kMemcheck ? "Memcheck" : "Native";
}

void PrintTo(Under under, std::ostream* os) {
    *os << NameOf(under);
}

class Hostile : public testing::TestWithParam<std::tuple<HostileCase, Under>> {};

TEST_P(Hostile, EndsWithTheDefinedBoxAndExitCodeZero) {
    const auto& [hostile, under] = GetParam();
    if (under == Under::kMemcheck && !kNoMemcheck.empty()) GTEST_SKIP() << kNoMemcheck;
    const TempDir dir;
    LayOut(dir);
    const std::string bytes = hostile.make ? hostile.make() : hostile.bytes;
    dir.Write("case.txt", bytes);
    const std::string expected = hostile.output == kWorkedOut ? BoxesFor(bytes) : hostile.output;

    std::string executable = NUMPLACE_EXECUTABLE;
    std::vector<std::string> argv;
    if (hostile.unprivileged && geteuid() == 0) {
        if (kSetpriv.empty()) GTEST_SKIP() << "setpriv not found: cannot run as nobody under root";
        // Root reads anything; nobody must be able to reach the program itself.
        executable = dir.Path("numplace-copy");
        fs::copy_file(NUMPLACE_EXECUTABLE, executable);
        argv = {std::string(kSetpriv), "--reuid=" + std::to_string(kNobody),
                "--regid=" + std::to_string(kNobody), "--clear-groups"};
    }
    if (under == Under::kMemcheck) argv.insert(argv.end(), kMemcheck.begin(), kMemcheck.end());
    argv.insert(argv.end(), kRunner.begin(), kRunner.end());
    argv.push_back(executable);
    for (std::string arg : hostile.args) {
        if (const auto at = arg.find("%/"); at != std::string::npos)
            arg.replace(at, 2, dir.Path(""));
        argv.push_back(arg);
    }

    const auto files = Files(dir);
    const ProcessResult result = RunProcess(
        argv, under == Under::kMemcheck ? std::chrono::seconds(180) : std::chrono::seconds(60),
        hostile.streams);
    EXPECT_FALSE(result.timedOut);
    EXPECT_EQ(Files(dir), files) << "the program writes no file";
    EXPECT_EQ(result.exitCode, 0) << (under == Under::kMemcheck ? "memcheck's report is above"
                                                                : "");
    EXPECT_EQ(result.output, expected);

    // Let the scratch directory be removed even where the run took the permissions away.
    for (const fs::directory_entry& entry : fs::directory_iterator(dir.Path(""))) {
        if (!entry.is_symlink()) chmod(entry.path().c_str(), 0700);
    }
}

// Sanitized builds have no memcheck runs: the two cannot instrument one program together.
#if NUMPLACE_MEMCHECK
const auto kUnder = testing::Values(Under::kNative, Under::kMemcheck);
#else
const auto kUnder = testing::Values(Under::kNative);
#endif

INSTANTIATE_TEST_SUITE_P(Inputs, Hostile, testing::Combine(testing::ValuesIn(kCases), kUnder),
                         [](const testing::TestParamInfo<Hostile::ParamType>& info) {
                             return std::string(NameOf(std::get<1>(info.param))) + "_" +
                                    std::get<0>(info.param).name;
                         });

// At a terminal each box waits for Enter, or Ctrl-D; with either stream redirected none waits
// and no prompt is shown.
struct TerminalCase {
    const char* name;
    Streams streams;
    std::string transcript;  // the output, and what was typed where it was typed
    friend void PrintTo(const TerminalCase& c, std::ostream* os) { *os << c.name; }
};

const std::string kPrompt = "(press Enter) ";

Streams Typing(std::vector<std::string> typed) {
    return {Streams::kTerminalInput, Streams::kTerminalOutput, std::move(typed), kPrompt};
}

// The classic puzzle's boxes, each answered at its prompt.
std::string Answered(const std::string& first, const std::string& second) {
    return "[問題確認]\n" + kClassicText + kPrompt + first + "[回答]\n" +
           DisplayText(kClassicSolution) + kPrompt + second;
}

const TerminalCase kTerminalCases[] = {
    {"EnterAtEachBox", Typing({"\n", "\n"}), Answered("\n", "\n")},
    {"TextThenEnter", Typing({"abc\n", "\n"}), Answered("abc\n", "\n")},
    // Ctrl-D shows no line end at the terminal: the program ends the box's line itself.
    {"CtrlDAtEachBox", Typing({"\x04", "\x04"}), Answered("\x04\n", "\x04\n")},
    {"OutputRedirected", {.input = Streams::kTerminalInput}, kClassicBoxes},
    {"InputRedirected", {.output = Streams::kTerminalOutput}, kClassicBoxes},
};

class AtTerminal : public testing::TestWithParam<TerminalCase> {};

TEST_P(AtTerminal, WaitsOnlyWhenBothStreamsAreTheTerminal) {
    const TerminalCase& c = GetParam();
    std::vector<std::string> argv = kRunner;
    argv.insert(argv.end(), {NUMPLACE_EXECUTABLE, kExamples / "classic.txt"});
    const ProcessResult result = RunProcess(argv, std::chrono::seconds(10), c.streams);
    EXPECT_FALSE(result.timedOut);
    EXPECT_EQ(result.exitCode, 0);
    EXPECT_EQ(result.output, c.transcript);
}

INSTANTIATE_TEST_SUITE_P(Terminal, AtTerminal, testing::ValuesIn(kTerminalCases),
                         [](const testing::TestParamInfo<TerminalCase>& info) {
                             return info.param.name;
                         });

}  // namespace
