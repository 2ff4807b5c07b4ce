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

FileScript Script(std::string content, std::optional<std::uint64_t> size = std::nullopt) {
    FileScript script;
    script.content = std::move(content);
    script.size = size;
    return script;
}

// The usual small file with one thing gone wrong.
template <typename Change>
FileScript Faulty(Change change) {
    FileScript script = Script("1 2 3\n");
    change(script);
    return script;
}

class LoadWithFaults : public testing::TestWithParam<FaultCase> {};

TEST_P(LoadWithFaults, LoadsWhatArrivedOrNothing) {
    const FaultCase& c = GetParam();
    FileBuffer buffer;
    Fill(buffer, "left over from an earlier load");
    ScriptFile(c.script);
    EXPECT_EQ(buffer.Load("puzzle.txt"), c.loaded);
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
        FaultCase{"Whole", Script("1 2 3\n"), true, "1 2 3\n", 1},
        FaultCase{"Empty", Script(""), true, "", 1},
        FaultCase{"OpenFails", Faulty([](FileScript& s) { s.openFails = true; }), false, "", 0},
        FaultCase{"OpenGivesNull", Faulty([](FileScript& s) { s.openGivesNull = true; }), false, "",
                  0},
        FaultCase{"SizingFails", Faulty([](FileScript& s) { s.sizeFails = true; }), false, "", 0},
        FaultCase{"Over4GiB", Script("1 2 3\n", (std::uint64_t{1} << 32) + 6), false, "", 0},
        FaultCase{"ReadFails", Faulty([](FileScript& s) { s.readFails = true; }), false, "", 1},
        // The file lost bytes between sizing and reading: keep those that arrived.
        FaultCase{"ShrankBeforeReading", Script("1 2", 6), true, "1 2", 1},
        FaultCase{"ShrankToNothing", Script("", 6), true, "", 1}),
    [](const testing::TestParamInfo<FaultCase>& info) { return info.param.name; });

}  // namespace
