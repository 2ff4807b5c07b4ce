// Load against scripted file calls: every failure leaves an empty buffer and a closed file.
#include <string>

#include "puzzle_text/file_buffer.h"
#include "scripted_file_platform.h"
#include "text_fixture.h"

namespace {

struct FaultCase {
    const char* name;
    FileScript script;
    bool loaded;
    std::string bytes;  // what the buffer holds after loading
    int reads;
    friend void PrintTo(const FaultCase& c, std::ostream* os) { *os << c.name; }
};

// The usual small file; most cases make one thing go wrong with it.
constexpr char kSmall[] = "1 2 3\n";

class LoadWithFaults : public testing::TestWithParam<FaultCase> {};

TEST_P(LoadWithFaults, LoadsWhatArrivedOrNothing) {
    const FaultCase& c = GetParam();
    FileBuffer buffer;
    Fill(buffer, "left over from an earlier load");
    ScriptFile(c.script);
    EXPECT_EQ(buffer.Load(OpenForReading("puzzle.txt")), c.loaded);
    const FileCalls& calls = RecordedFileCalls();
    EXPECT_EQ(calls.reads, c.reads);
    EXPECT_EQ(calls.closes, c.script.openFails || c.script.openGivesNull ? 0 : 1);
    if (!c.loaded) {
        EXPECT_EQ(buffer.data, nullptr);
        EXPECT_EQ(buffer.size, 0u);
        EXPECT_EQ(buffer.cursor, nullptr);
        return;
    }
    EXPECT_EQ(std::string(reinterpret_cast<char*>(buffer.data), buffer.size), c.bytes);
    EXPECT_EQ(buffer.cursor, buffer.data);
}

INSTANTIATE_TEST_SUITE_P(
    Faults, LoadWithFaults,
    testing::Values(
        FaultCase{"Whole", {.content = kSmall}, true, "1 2 3\n", 1},
        FaultCase{"Empty", {}, true, "", 1},
        FaultCase{"OpenFails", {.content = kSmall, .openFails = true}, false, "", 0},
        FaultCase{"OpenGivesNull", {.content = kSmall, .openGivesNull = true}, false, "", 0},
        FaultCase{"SizingFails", {.content = kSmall, .sizeFails = true}, false, "", 0},
        FaultCase{
            "Over4GiB", {.content = kSmall, .size = (std::uint64_t{1} << 32) + 6}, false, "", 0},
        FaultCase{"ReadFails", {.content = kSmall, .readFails = true}, false, "", 1},
        // The file lost bytes between sizing and reading: keep those that arrived.
        FaultCase{"ShrankBeforeReading", {.content = "1 2", .size = 6}, true, "1 2", 1},
        FaultCase{"ShrankToNothing", {.size = 6}, true, "", 1}),
    [](const testing::TestParamInfo<FaultCase>& info) { return info.param.name; });

}  // namespace
