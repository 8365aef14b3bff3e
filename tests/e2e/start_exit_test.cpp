// Start, single instance and the ways out.
#include <gtest/gtest.h>

#include "resources/resource.h"
#include "vantreth_version.h"
#include "tests/e2e/clipboard.h"
#include "shell/app/single_instance.h"
#include "tests/e2e/program.h"
#include "tests/e2e/registry.h"

namespace {

// A second start must hand over and end by itself, with code 0.
void ExpectSecondStartExitsWithZero() {
    DWORD code = 1;
    ASSERT_TRUE(RunSecondStart(&code)) << "the second instance kept running";
    EXPECT_EQ(0u, code);
}

TEST(Start, FirstStartDocksAtOnceWithTheTrayIcon) {
    KillRunningInstances();
    ASSERT_TRUE(DeleteSettingsKey());
    ScopedProgram run;
    Program& program = run.program;
    ASSERT_TRUE(LaunchProgram(&program)) << ProgramPath();
    ASSERT_TRUE(WaitForMainDialog(&program)) << "no top-level window titled \"Vantreth\"";
    EXPECT_TRUE(WaitUntil([&] { return IsDocked(program); }))
        << "visible " << IsWindowVisible(program.dialog) << ", tray icon "
        << TrayIconPresent(program.dialog);
    EXPECT_TRUE(StaysDocked(program)) << "the dialog came up again after docking";
}

// A show request and a Close that arrive before the program's first idle moment
// (a challenge copied, or a second start, right as it starts): it must end docked.
TEST(Start, ShowAndCloseAtOnceAfterStartLeaveItDocked) {
    for (int round = 0; round < 5; ++round) {
        SCOPED_TRACE(testing::Message() << "round " << round);
        KillRunningInstances();
        ASSERT_TRUE(DeleteSettingsKey() && WriteStoredSettings(QuietSettings()));
        ScopedProgram run;
        Program& program = run.program;
        ASSERT_TRUE(LaunchProgram(&program));
        // No Sleep between looks: the point is to be there before the first idle.
        const DWORD start = GetTickCount();
        while ((program.dialog = FindMainDialog(program.processId)) == nullptr &&
               GetTickCount() - start < kWaitMs) {
        }
        ASSERT_NE(nullptr, program.dialog);
        PostMessageA(program.dialog, WM_SHOWMAIN, 0, 0);
        PostMessageA(program.dialog, WM_COMMAND, IDC_CLOSE, 0);
        EXPECT_TRUE(WaitUntil([&] { return IsDocked(program); }));
        EXPECT_TRUE(StaysDocked(program)) << "the dialog came up again after Close";
    }
}

TEST(Start, SecondStartExitsWithZeroAndShowsTheFirst) {
    ScopedProgram run;
    ASSERT_TRUE(StartProgramWith(QuietSettings(), &run.program));
    ASSERT_TRUE(StaysDocked(run.program));

    ExpectSecondStartExitsWithZero();
    // In front, with the keyboard: never on screen without it.
    EXPECT_TRUE(WaitUntil(
        [&] { return IsShown(run.program) && GetForegroundWindow() == run.program.dialog; }));
    EXPECT_EQ(run.program.dialog, FindWindowA("#32770", VANTRETH_TITLE));
}

// Explorer titles a folder's window with the folder's name: a folder named Vantreth is no
// running copy. The program starts beside it, and a second start still hands over to the
// program's own dialog; the foreign window receives nothing either time.
TEST(Start, AnotherProgramsWindowTitledVantrethIsNoRunningCopy) {
    KillRunningInstances();
    ASSERT_TRUE(DeleteSettingsKey() && WriteStoredSettings(QuietSettings()));
    ScopedProgram run;
    Program& program = run.program;
    // Declared after the program, so it goes first and the program's stop never meets it.
    ScopedForeignWindow folder(VANTRETH_TITLE);
    ASSERT_NE(nullptr, folder.window);

    ASSERT_TRUE(LaunchProgram(&program));
    ASSERT_TRUE(WaitForMainDialog(&program)) << "the program did not start";
    EXPECT_TRUE(WaitUntil([&] { return IsDocked(program); }));

    ExpectSecondStartExitsWithZero();
    EXPECT_TRUE(WaitUntil([&] { return IsShown(program); })) << "no hand-over";
    EXPECT_EQ(0, folder.ShowRequests()) << "the foreign window received WM_SHOWMAIN";
}

// A copy run as administrator holds its mutex with rights a normal start does not have: that
// start can neither create nor open it, and must still take it for a running copy. An empty
// DACL plays the administrator's mutex, and a dialog-class window titled Vantreth its dialog.
TEST(Start, AMutexThisStartMayNotOpenIsARunningCopyToHandOverTo) {
    KillRunningInstances();
    SECURITY_DESCRIPTOR descriptor;
    ASSERT_TRUE(InitializeSecurityDescriptor(&descriptor, SECURITY_DESCRIPTOR_REVISION));
    ACL emptyAcl;
    ASSERT_TRUE(InitializeAcl(&emptyAcl, sizeof emptyAcl, ACL_REVISION));
    ASSERT_TRUE(SetSecurityDescriptorDacl(&descriptor, TRUE, &emptyAcl, FALSE));
    SECURITY_ATTRIBUTES attributes = {sizeof attributes, &descriptor, FALSE};
    const HANDLE elevatedMutex = CreateMutexA(&attributes, FALSE, kRunningMutex);
    ASSERT_NE(nullptr, elevatedMutex);
    ScopedForeignWindow elevatedDialog(VANTRETH_TITLE, true);
    ASSERT_NE(nullptr, elevatedDialog.window);

    Program start;
    ASSERT_TRUE(LaunchProgram(&start));
    DWORD code = 1;
    const bool ended = WaitForExit(start.process, kWaitMs, &code);
    if (!ended) TerminateProcess(start.process, 1);
    CloseHandle(start.process);
    CloseHandle(elevatedMutex);
    ASSERT_TRUE(ended) << "it ran as a second program";
    EXPECT_EQ(0u, code);
    EXPECT_TRUE(WaitUntil([&] { return elevatedDialog.ShowRequests() == 1; }))
        << elevatedDialog.ShowRequests() << " show requests";
}

// Where the user is when Exit comes: each leaves something under way that the exit must end
// cleanly, writing nothing.
enum class Moment { Docked, Shown, LongCount, Enrolment, OptionsRefusal, InputError };

// Brings the program to `moment`; true once it is there.
bool BringTo(const Program& program, Moment moment) {
    switch (moment) {
    case Moment::Docked: return IsDocked(program);
    case Moment::Shown: return ShowFromTray(program);
    case Moment::LongCount: return ShowFromTray(program) && StartLongCount(program);
    case Moment::Enrolment: return OpenEnrolment(program) != nullptr;
    case Moment::OptionsRefusal: {
        // OK still under way behind its refusal, SNK ticked and a time refused.
        const HWND options = OpenOptionsWithButton(program);
        return options != nullptr && Click(GetDlgItem(options, IDC_OPT_SNK)) &&
               SetField(options, IDC_OPT_DOCKTIME, "0") &&
               PressForBox(options, IDOK, program.processId, "Error") != nullptr;
    }
    case Moment::InputError:
        return ShowFromTray(program) && PressForBox(program.dialog, IDC_COMPUTE, program.processId,
                                                    "Input Error") != nullptr;
    }
    return false;
}

struct ExitCase {
    const ExitWay& way;
    Moment moment;
    const char* what;
};

// Boxes and dialogs of ours disable the dialog under them: only the tray and the end of the
// session reach the program then.
const ExitCase kExits[] = {
    {kExitButton, Moment::Shown, "shown"},
    {kEscapeKey, Moment::Shown, "shown"},
    {kTrayExit, Moment::Docked, "docked"},
    {kEndOfSession, Moment::Docked, "docked"},
    {kExitButton, Moment::LongCount, "a long count running"},
    {kEscapeKey, Moment::LongCount, "a long count running"},
    {kTrayExit, Moment::LongCount, "a long count running"},
    {kTrayExit, Moment::Enrolment, "the SNK enrolment open"},
    {kEndOfSession, Moment::Enrolment, "the SNK enrolment open"},
    {kTrayExit, Moment::OptionsRefusal, "Options' refusal up"},
    {kTrayExit, Moment::InputError, "an input error up"},
};

// One way out, however it is asked for and whatever is under way: exit code 0, the icon gone,
// the viewer chain handed back (our watcher joined before the program, so the program's
// leaving must hand the notices back to it), and the registry as it was.
TEST(Exit, AtAnyMomentEndsWithCodeZeroAndLeavesNothingBehind) {
    ScopedClipboardWatcher watcher;
    ASSERT_TRUE(watcher.started);
    for (const ExitCase& exit : kExits) {
        SCOPED_TRACE(testing::Message() << exit.way.name << ", " << exit.what);
        ScopedProgram run;
        ASSERT_TRUE(StartProgramWith(QuietSettings(), &run.program));
        const HWND dialog = run.program.dialog;
        const std::string stored = DescribeKey();
        ASSERT_TRUE(BringTo(run.program, exit.moment));

        exit.way.act(run.program);
        DWORD code = 1;
        if (!WaitForExit(run.program.process, kWaitMs, &code)) {
            ADD_FAILURE() << "still running";
            continue;
        }
        EXPECT_EQ(0u, code);
        EXPECT_FALSE(TrayIconPresent(dialog));
        EXPECT_TRUE(CopyAndWaitForNotice("after the exit")) << "the chain ended at the program";
        EXPECT_EQ(stored, DescribeKey()) << "the exit wrote";
    }
}

} // namespace
