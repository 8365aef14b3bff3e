// The keyboard as a user works the dialogs with it.
#include <gtest/gtest.h>

#include <string>

#include "resources/resource.h"
#include "tests/e2e/program.h"

namespace {

std::string Describe(HWND control) {
    if (control == nullptr) return "no control";
    return "control " + std::to_string(GetDlgCtrlID(control)) + " \"" + Text(control) + "\"";
}

// The order users know, with Copy enabled by a response and SHA1 the checked radio: the Tab
// key lands on the checked radio of the group, not on the group's first.
TEST(Keyboard, TabWalksTheMainDialogInItsOrderAndBackToTheCount) {
    ScopedProgram run;
    const Program& program = run.program;
    ASSERT_TRUE(StartShown(&run.program));
    ASSERT_TRUE(EnterChallenge(program, IDC_SHA1, "99", "ke1234", "This is a test."));
    ASSERT_FALSE(PressOk(program).response.empty());
    ASSERT_TRUE(IsEnabled(Control(program, IDC_COPY)));

    ClickInto(Control(program, IDC_COUNT));
    ASSERT_TRUE(WaitUntil([&] { return FocusedWindow(program) == Control(program, IDC_COUNT); }))
        << Describe(FocusedWindow(program));
    const int order[] = {IDC_SEED, IDC_PASSPHRASE, IDC_COMPUTE, IDC_CLOSE,    IDC_OPTIONS,
                         IDC_EXIT, IDC_COPY,       IDC_SHA1,    IDC_CLEARALL, IDC_COUNT};
    for (int id : order) {
        const HWND from = FocusedWindow(program);
        PressKey(from, VK_TAB);
        ASSERT_TRUE(WaitUntil([&] { return FocusedWindow(program) == Control(program, id); }))
            << "Tab from " << Describe(from) << " reached " << Describe(FocusedWindow(program))
            << ", not control " << id;
    }
    EXPECT_TRUE(IsChecked(Control(program, IDC_SHA1))) << "walking the order changed the hash";
}

} // namespace
