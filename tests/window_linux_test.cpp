// The Linux user32 itself, which carries the end of every run: classes, windows, WM_DESTROY to
// the class's own procedure, and the quit message it posts reaching the loop with its code.
#include <gtest/gtest.h>

#include <tuple>
#include <utility>
#include <vector>

#include "platform/win32.h"

namespace {

// window, message, its parameters, procedure
std::vector<std::tuple<HWND, UINT, WPARAM, LPARAM, int>> deliveries;

// Procedure n posts the quit code 40 + n, so the code tells which procedure ran.
template <int n>
LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    deliveries.push_back({window, message, wParam, lParam, n});
    if (message == WM_DESTROY) PostQuitMessage(40 + n);
    return 0;
}

ATOM Register(const char* name, WNDPROC procedure, UINT size = sizeof(WNDCLASSEXA)) {
    WNDCLASSEXA windowClass = {};
    windowClass.cbSize = size;
    windowClass.lpfnWndProc = procedure;
    windowClass.lpszClassName = name;
    return RegisterClassExA(&windowClass);
}

struct WindowCase {
    const char* name;
    const char* className;  // asked of CreateWindowExA
    int procedure;          // of the class it names; 0 when no class has that name
    friend void PrintTo(const WindowCase& c, std::ostream* os) { *os << c.name; }
};

// The classes, registered once per process whichever case runs first: whether each
// registration succeeded.
const std::vector<bool>& Registrations() {
    static const std::vector<bool> succeeded = {
        Register("Tavrin A", Procedure<1>) != 0, Register("Tavrin B", Procedure<2>) != 0,
        Register("Tavrin A", Procedure<3>) != 0,       // a name already registered
        Register("Tavrin C", nullptr) != 0,            // no procedure
        Register("Tavrin C", Procedure<3>, 40) != 0};  // a record of another size
    return succeeded;
}

class LinuxWindow : public testing::TestWithParam<WindowCase> {};

TEST_P(LinuxWindow, IsCreatedForItsClassAndItsDestructionEndsTheLoop) {
    const WindowCase& c = GetParam();
    EXPECT_EQ(Registrations(), (std::vector<bool>{true, true, false, false, false}));
    deliveries.clear();
    const HWND window =
        CreateWindowExA(0, c.className, c.className, WS_OVERLAPPEDWINDOW, CW_USEDEFAULT,
                        CW_USEDEFAULT, 400, 300, nullptr, nullptr, nullptr, nullptr);
    MSG message = {};
    if (c.procedure == 0) {
        EXPECT_EQ(window, nullptr);
        EXPECT_FALSE(DestroyWindow(window));
        EXPECT_FALSE(PeekMessageA(&message, nullptr, 0, 0, PM_NOREMOVE));
        return;
    }
    ASSERT_NE(window, nullptr);
    RECT client = {};
    EXPECT_TRUE(GetClientRect(window, &client));
    EXPECT_EQ(std::tuple(client.left, client.top, client.right, client.bottom),
              std::tuple(0, 0, 400, 300));
    EXPECT_FALSE(PeekMessageA(&message, nullptr, 0, 0, PM_NOREMOVE)) << "nothing queued yet";
    EXPECT_TRUE(DestroyWindow(window));
    EXPECT_EQ(deliveries, (decltype(deliveries){{window, WM_DESTROY, 0, 0, c.procedure}}));
    EXPECT_FALSE(DestroyWindow(window)) << "destroyed once only";

    // The entry routine's loop: look without removing, then take it; GetMessageA gives 0 for
    // the quit message.
    const auto quit = std::pair(WM_QUIT, static_cast<WPARAM>(40 + c.procedure));
    ASSERT_TRUE(PeekMessageA(&message, nullptr, 0, 0, PM_NOREMOVE));
    EXPECT_EQ(std::pair(message.message, message.wParam), quit);
    message = {};
    EXPECT_EQ(GetMessageA(&message, nullptr, 0, 0), FALSE);
    EXPECT_EQ(std::pair(message.message, message.wParam), quit);
    EXPECT_FALSE(PeekMessageA(&message, nullptr, 0, 0, PM_NOREMOVE)) << "taken off the queue";
    // An empty queue that nothing can fill: waiting on it fails rather than hangs.
    EXPECT_FALSE(WaitMessage());
    EXPECT_EQ(GetMessageA(&message, nullptr, 0, 0), -1);

    // PM_REMOVE takes a quit message as GetMessageA does; a message the window does not handle
    // gives 0 from the default procedure.
    PostQuitMessage(7);
    ASSERT_TRUE(PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE));
    EXPECT_EQ(std::pair(message.message, message.wParam), std::pair(WM_QUIT, WPARAM{7}));
    EXPECT_FALSE(PeekMessageA(&message, nullptr, 0, 0, PM_NOREMOVE));
    EXPECT_EQ(DefWindowProcA(window, WM_PAINT, 0, 0), 0);
}

INSTANTIATE_TEST_SUITE_P(Classes, LinuxWindow,
                         testing::Values(WindowCase{"FirstClass", "Tavrin A", 1},
                                         WindowCase{"SecondClass", "Tavrin B", 2},
                                         WindowCase{"UnknownName", "Tavrin C", 0},
                                         WindowCase{"PrefixOfAName", "Tavrin", 0},
                                         WindowCase{"NameAndMore", "Tavrin AB", 0},
                                         WindowCase{"OtherCase", "tavrin a", 0}),
                         [](const testing::TestParamInfo<WindowCase>& info) {
                             return info.param.name;
                         });

}  // namespace
