// The entry routine run in-process against a recording user32 and real files: the boxes, their
// order and texts, the window's life, and the exit code, for each way the program can be started.
#include <gtest/gtest.h>
#include <malloc.h>

#include <optional>
#include <string>
#include <string_view>
#include <tuple>
#include <vector>

#include "app/main_window.h"
#include "app/texts.h"
#include "recording_user32.h"
#include "sample_puzzles.h"
#include "text_fixture.h"

namespace {

HINSTANCE__ testInstance;

class WinMainRun : public testing::Test {
  public:
    static void SetUpTestSuite() {
        dir.emplace();
        dir->Write("classic.txt", DisplayText(kClassic));
        dir->Write("my puzzle.txt", DisplayText(kClassic));
        dir->Write("partial.txt", DisplayText(kPartial));
    }
    static void TearDownTestSuite() { dir.reset(); }

    static std::string Path(const char* name) { return dir->Path(name); }
    // The longest path the program takes: 1023 characters, naming classic.txt.
    static std::string Longest(std::size_t more = 0) {
        return dir->PaddedPath("classic.txt", 1023 + more);
    }

    int Run(std::string tail) {
        return WinMain(&testInstance, nullptr, tail.data(), SW_SHOWDEFAULT);
    }

    static inline std::optional<TempDir> dir;
};

struct Box {
    const char* caption;  // nullptr: the system's caption for errors
    std::string text;
};

void ExpectBoxes(const std::vector<Box>& expected) {
    const auto& boxes = RecordedUser32().boxes;
    ASSERT_EQ(boxes.size(), expected.size());
    for (std::size_t i = 0; i < boxes.size(); ++i) {
        EXPECT_EQ(boxes[i].owner, nullptr);
        EXPECT_EQ(boxes[i].type, MB_OK);
        EXPECT_EQ(boxes[i].hasCaption, expected[i].caption != nullptr) << "box " << i;
        if (expected[i].caption) {
            EXPECT_EQ(boxes[i].caption, expected[i].caption) << "box " << i;
        }
        EXPECT_EQ(boxes[i].text, expected[i].text) << "box " << i;
    }
}

const std::vector<std::string> kClassicSolutionCalls = {
    "RegisterClassExA", "CreateWindowExA",   "MessageBoxA",        "MessageBoxA",
    "DestroyWindow",    "PostQuitMessage 0", "GetMessageA WM_QUIT"};
const std::vector<std::string> kMissingCalls = {
    "RegisterClassExA", "CreateWindowExA", "MessageBoxA", "DestroyWindow", "PostQuitMessage 0"};

struct TailCase {
    const char* name;
    std::string (*tail)();
    bool loads;  // else the missing-file box
    friend void PrintTo(const TailCase& c, std::ostream* os) { *os << c.name; }
};

class StartedWith : public WinMainRun, public testing::WithParamInterface<TailCase> {};

TEST_P(StartedWith, ShowsThePuzzleOrTheMissingFileBox) {
    ResetUser32();
    EXPECT_EQ(Run(GetParam().tail()), 0);
    if (GetParam().loads) {
        ExpectBoxes({{kConfirmCaption, DisplayText(kClassic)},
                     {kAnswerCaption, DisplayText(kClassicSolution)}});
        EXPECT_EQ(RecordedUser32().calls, kClassicSolutionCalls);
    } else {
        ExpectBoxes({{nullptr, kMissingFileText}});
        EXPECT_EQ(RecordedUser32().calls, kMissingCalls);
    }
}

// An opening quote, the path, then `last`; appended rather than prepended, which g++ 12 at -O3
// warns about falsely (-Wrestrict).
std::string Quoted(const std::string& path, std::string_view last = "\"") {
    return std::string("\"").append(path).append(last);
}

INSTANTIATE_TEST_SUITE_P(
    Tails, StartedWith,
    testing::Values(
        TailCase{"NoArgument", [] { return std::string(); }, false},
        TailCase{"QuotedPathWithBlanks", [] { return Quoted(WinMainRun::Path("my puzzle.txt")); },
                 true},
        TailCase{"UnquotedPathWithBlanks", [] { return WinMainRun::Path("my puzzle.txt"); }, true},
        // An opening quote without a closing one still costs the last character.
        TailCase{"OpeningQuoteOnly", [] { return Quoted(WinMainRun::Path("classic.txt"), ""); },
                 false},
        TailCase{"OpeningQuoteAndAnyLastCharacter",
                 [] { return Quoted(WinMainRun::Path("classic.txt"), "x"); }, true},
        TailCase{"LoneQuote", [] { return std::string("\""); }, false},
        TailCase{"LongestPathThatFits", [] { return WinMainRun::Longest(); }, true},
        TailCase{"QuotedLongestPath", [] { return Quoted(WinMainRun::Longest()); }, true},
        // The first 1023 characters name a real file; the path as given is longer and must not
        // be cut down to it.
        TailCase{"OverlongTailNeverCut", [] { return WinMainRun::Longest() + "/more"; }, false},
        // A file the system would open, named by one character more than fits.
        TailCase{"QuotedPathOneOverTheLimit", [] { return Quoted(WinMainRun::Longest(1)); }, false},
        TailCase{"OverlongTail", [] { return std::string(5000, 'a'); }, false}),
    [](const testing::TestParamInfo<TailCase>& info) { return info.param.name; });

TEST_F(WinMainRun, LeavesUnsolvedCellsAtZero) {
    ResetUser32();
    EXPECT_EQ(Run(Path("partial.txt")), 0);
    ExpectBoxes(
        {{kConfirmCaption, DisplayText(kPartial)}, {kAnswerCaption, DisplayText(kPartialAnswer)}});
}

TEST_F(WinMainRun, RegistersItsClassAndCreatesAHiddenWindow) {
    ResetUser32();
    Run(Path("classic.txt"));
    const User32Record& record = RecordedUser32();
    const WNDCLASSEXA& c = record.windowClass;
    const std::string name = kWindowClassName;
    EXPECT_EQ(
        std::tuple(c.cbSize, c.style, c.lpfnWndProc, c.hInstance, c.hbrBackground,
                   record.className),
        std::tuple(UINT{sizeof c}, UINT{CS_CLASSDC}, &MainWndProc, &testInstance, HBRUSH{}, name));
    ASSERT_EQ(record.windows.size(), 1u);
    const RecordedWindow& w = record.windows[0];
    EXPECT_EQ(std::tuple(w.className, w.title, w.exStyle, w.style, w.x, w.y, w.width, w.height),
              std::tuple(name, name, DWORD{0}, WS_OVERLAPPEDWINDOW, CW_USEDEFAULT, CW_USEDEFAULT,
                         400, 300))
        << "never WS_VISIBLE";
    EXPECT_EQ(std::tuple(w.parent, w.instance), std::tuple(HWND{}, &testInstance));
}

// Each user32 call that can fail, failing: the run still ends, at once, with exit code 0.
struct FailureCase {
    const char* name;
    void (*fail)(User32Record& record);
    std::vector<std::string> calls;
    friend void PrintTo(const FailureCase& c, std::ostream* os) { *os << c.name; }
};

class WhenUser32Fails : public WinMainRun, public testing::WithParamInterface<FailureCase> {};

TEST_P(WhenUser32Fails, TheRunStillEndsWithExitCodeZero) {
    GetParam().fail(ResetUser32());
    EXPECT_EQ(Run(Path("classic.txt")), 0);
    EXPECT_EQ(RecordedUser32().calls, GetParam().calls);
}

// The calls up to the second box, then those given.
std::vector<std::string> BoxesThen(std::vector<std::string> rest) {
    std::vector<std::string> calls = {"RegisterClassExA", "CreateWindowExA", "MessageBoxA",
                                      "MessageBoxA"};
    calls.insert(calls.end(), rest.begin(), rest.end());
    return calls;
}

INSTANTIATE_TEST_SUITE_P(
    Calls, WhenUser32Fails,
    testing::Values(
        FailureCase{"RegisterClassExA",
                    [](User32Record& r) { r.failRegisterClass = true; },
                    {"RegisterClassExA"}},
        // Without a window nothing would post the quit message: the loop is skipped.
        FailureCase{"CreateWindowExA", [](User32Record& r) { r.failCreateWindow = true; },
                    BoxesThen({})},
        FailureCase{"MessageBoxA", [](User32Record& r) { r.failMessageBox = true; },
                    kClassicSolutionCalls},
        FailureCase{"DestroyWindow", [](User32Record& r) { r.failDestroyWindow = true; },
                    BoxesThen({"DestroyWindow"})},
        FailureCase{"GetMessageA", [](User32Record& r) { r.failGetMessage = true; },
                    BoxesThen({"DestroyWindow", "PostQuitMessage 0", "GetMessageA -1"})},
        FailureCase{"WaitMessage",
                    [](User32Record& r) { r.quitAfterWait = r.failWaitMessage = true; },
                    BoxesThen({"DestroyWindow", "PostQuitMessage 0", "WaitMessage"})},
        // Not a failure: the quit message comes while the loop waits.
        FailureCase{"NoneQuitAfterWait", [](User32Record& r) { r.quitAfterWait = true; },
                    BoxesThen({"DestroyWindow", "PostQuitMessage 0", "WaitMessage",
                               "GetMessageA WM_QUIT"})}),
    [](const testing::TestParamInfo<FailureCase>& info) { return info.param.name; });

TEST_F(WinMainRun, ReleasesTheFileOnEveryPath) {
    // A 4 MiB file: a run that kept its copy would show in the heap in use afterwards.
    dir->Write("big.txt", DisplayText(kClassic) + std::string(4 << 20, '\n'));
    for (const char* name : {"big.txt", "absent.txt"}) {
        ResetUser32();
        Run(Path(name));  // warm up whatever the run allocates once
        const std::size_t before = mallinfo2().uordblks;
        ResetUser32();
        Run(Path(name));
        EXPECT_LT(mallinfo2().uordblks, before + (1 << 20)) << name;
    }
}

// Destruction posts the quit message, painting fills the client area with the window-frame
// colour's brush (its index plus one), and anything else goes to the default procedure.
TEST(MainWndProc, AnswersEachMessageAsItsOwnOrTheDefault) {
    const std::vector<std::tuple<UINT, LRESULT, std::vector<std::string>>> rows = {
        {WM_DESTROY, 0, {"PostQuitMessage 0"}},
        {WM_PAINT, 0, {"BeginPaint", "GetClientRect", "FillRect 7", "EndPaint"}},
        {WM_QUIT, 42, {"DefWindowProcA"}}};
    for (const auto& [message, result, calls] : rows) {
        ResetUser32();
        EXPECT_EQ(MainWndProc(nullptr, message, 0, 0), result) << message;
        EXPECT_EQ(RecordedUser32().calls, calls) << message;
    }
}

}  // namespace
