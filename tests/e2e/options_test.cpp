// The Options dialog: what it shows, what its OK writes or refuses, Cancel and its own timeout.
#include <gtest/gtest.h>

#include "resources/resource.h"
#include "tests/e2e/clipboard.h"
#include "tests/e2e/foreground.h"
#include "tests/e2e/program.h"
#include "tests/e2e/registry.h"

namespace {

const char kDockRefused[] =
    "No docking timeout value provided\nDelay must be greater than 1 (second).";
const char kDecrWarning[] = "No iteration decrement delay value provided\nIteration decrement will "
                            "be immediately after the calculation\n";

struct Opener {
    const char* what;
    HWND (*open)(const Program&);
};

const Opener kOpeners[] = {
    {"Options button", OpenOptionsWithButton},
    {"tray menu", OpenOptionsFromTray},
};

// Clipboard, Return, ClearPass, AutoDock, DockTime, SNK, AutoDecr, DecrTime, Guard.
const Settings kMixed = {0, 1, 0, 1, 255, 1, 0, 0, 1};
const Settings kFlipped = {1, 0, 1, 0, 7, 0, 1, 100, 0};

// The program started with `settings`, which are then forgotten so that whatever the dialog
// writes shows in the key, and Options opened.
struct OpenedOptions {
    ScopedProgram run;
    HWND dialog = nullptr;
    DWORD seenAt = 0; // when the dialog was found
};

void StartForgetAndOpen(const Settings& settings, HWND (*open)(const Program&),
                        OpenedOptions* opened) {
    ASSERT_TRUE(StartProgramWith(settings, &opened->run.program));
    ASSERT_TRUE(ForgetStoredSettings());
    opened->dialog = open(opened->run.program);
    opened->seenAt = GetTickCount();
    ASSERT_NE(nullptr, opened->dialog);
}

TEST(Options, ShowsTheStoredValuesWhicheverWayItIsOpened) {
    for (const Opener& opener : kOpeners) {
        for (const Settings& settings : {kMixed, kFlipped}) {
            SCOPED_TRACE(opener.what);
            ScopedProgram run;
            ASSERT_TRUE(StartProgramWith(settings, &run.program));
            const HWND options = opener.open(run.program);
            ASSERT_NE(nullptr, options);
            EXPECT_EQ(DescribeOptionsFor(settings), DescribeOptions(options));
            EXPECT_TRUE(CloseBox(options, IDCANCEL));
        }
    }
}

// Each click takes effect at once, on the clicked flag's time alone, both ways.
TEST(Options, TheTwoCheckBoxesEnableAndDisableTheirTimesAtOnce) {
    const struct {
        int box;
        std::uint8_t Settings::*flag;
    } kClicks[] = {
        {IDC_OPT_AUTODOCK, &Settings::AutoDock},
        {IDC_OPT_AUTODECR, &Settings::AutoDecr},
        {IDC_OPT_AUTODOCK, &Settings::AutoDock},
        {IDC_OPT_AUTODECR, &Settings::AutoDecr},
    };
    ScopedProgram run;
    ASSERT_TRUE(StartProgramWith(DefaultSettings(), &run.program));
    const HWND options = OpenOptionsWithButton(run.program);
    ASSERT_NE(nullptr, options);
    Settings shown = DefaultSettings();
    for (const auto& click : kClicks) {
        ASSERT_TRUE(Click(GetDlgItem(options, click.box)));
        shown.*click.flag ^= 1;
        EXPECT_EQ(DescribeOptionsFor(shown), DescribeOptions(options));
    }
    EXPECT_TRUE(CloseBox(options, IDCANCEL));
}

struct TimeRefusal {
    const char* dock;
    const char* decr;
    const char* text;
};

// Nothing wraps: a value outside its stored byte is refused, never saved modulo 256.
const TimeRefusal kTimeRefusals[] = {
    {"0", "5", kDockRefused},
    {"300", "5", "Docking timeout must be from 1 to 255 (seconds)."},
    {"-1", "5", "Docking timeout must be from 1 to 255 (seconds)."},
    {"30", "-1", "Auto decrement delay must be from 0 to 255 (seconds)."},
    {"30", "256", "Auto decrement delay must be from 0 to 255 (seconds)."},
};

TEST(Options, TimesOutsideTheirByteAreRefusedAndLettersSaveNoDelay) {
    const Settings settings = {1, 1, 1, 1, 9, 0, 1, 1, 1}; // the defaults but for DockTime
    OpenedOptions opened;
    ASSERT_NO_FATAL_FAILURE(StartForgetAndOpen(settings, OpenOptionsWithButton, &opened));
    const Program& program = opened.run.program;
    HWND options = opened.dialog;
    // Cleared in the form, scanning must stay on after the refusals and Cancel.
    ASSERT_TRUE(Click(GetDlgItem(options, IDC_OPT_CLIPBOARD)));
    for (const TimeRefusal& refusal : kTimeRefusals) {
        SCOPED_TRACE(testing::Message() << refusal.dock << " / " << refusal.decr);
        ASSERT_TRUE(SetField(options, IDC_OPT_DOCKTIME, refusal.dock));
        ASSERT_TRUE(SetField(options, IDC_OPT_DECRTIME, refusal.decr));
        EXPECT_EQ(refusal.text, PressForBoxText(options, IDOK, program.processId, "Error"));
        EXPECT_FALSE(WaitForGone(options, kSettleMs)) << "a refused OK closed the dialog";
        EXPECT_EQ("", DescribeKey()) << "a refused OK wrote";
    }
    ASSERT_TRUE(CloseBox(options, IDCANCEL));

    // Nothing of a refused OK took effect: scanning is still on.
    ASSERT_TRUE(PutClipboardText("otp-md5 5 still"));
    EXPECT_TRUE(WaitUntil([&] { return Field(program, IDC_SEED) == "still"; }))
        << "a refused OK turned scanning off";
    ASSERT_TRUE(Click(program, IDC_CLOSE));

    // The refused 0 must not stay in force: shown again, the dialog would dock at once.
    ASSERT_TRUE(ShowFromTray(program));
    EXPECT_FALSE(WaitUntil([&] { return !IsShown(program); }, 1500))
        << "docked at once after the refused docking timeout";

    options = OpenOptionsWithButton(program);
    ASSERT_NE(nullptr, options);
    ASSERT_TRUE(Click(GetDlgItem(options, IDC_OPT_CLIPBOARD)));
    ASSERT_TRUE(SetField(options, IDC_OPT_DOCKTIME, "255"));
    ASSERT_TRUE(SetField(options, IDC_OPT_DECRTIME, "abc"));
    EXPECT_EQ(kDecrWarning, PressForBoxText(options, IDOK, program.processId, "Warning"));
    ASSERT_TRUE(WaitForGone(options));
    // Clipboard clicked off, 255 taken, the letters saved as no delay.
    EXPECT_EQ(DescribeStored({0, 1, 1, 1, 255, 0, 1, 0, 1}), DescribeKey());
}

TEST(Options, CancelWritesNothing) {
    OpenedOptions opened;
    ASSERT_NO_FATAL_FAILURE(StartForgetAndOpen(DefaultSettings(), OpenOptionsWithButton, &opened));
    const HWND options = opened.dialog;
    ASSERT_TRUE(Click(GetDlgItem(options, IDC_OPT_RETURN)));
    ASSERT_TRUE(Click(GetDlgItem(options, IDC_OPT_AUTODOCK)));
    ASSERT_TRUE(SetField(options, IDC_OPT_DECRTIME, "5"));
    ASSERT_TRUE(CloseBox(options, IDCANCEL));
    EXPECT_FALSE(WaitUntil([&] { return DescribeKey() != ""; }, kSettleMs))
        << "Cancel wrote " << DescribeKey();
}

TEST(Options, LeftAloneClosesItselfAfterTwentySecondsWritingNothing) {
    OpenedOptions opened;
    ASSERT_NO_FATAL_FAILURE(StartForgetAndOpen(DefaultSettings(), OpenOptionsFromTray, &opened));
    ASSERT_TRUE(WaitForGone(opened.dialog, 25000));
    EXPECT_GE(GetTickCount() - opened.seenAt, 18000u) << "closed before its 20 seconds";
    EXPECT_EQ("", DescribeKey());
    EXPECT_TRUE(IsWindow(opened.run.program.dialog)) << "the main dialog went with it";
}

// The 20 seconds count from the user's last input in the dialog: answering its own box that
// stayed up past them keeps it open, and so does a click on a box; left alone, it goes.
TEST(Options, TheTwentySecondsCountFromTheLastInput) {
    OpenedOptions opened;
    ASSERT_NO_FATAL_FAILURE(StartForgetAndOpen(DefaultSettings(), OpenOptionsFromTray, &opened));
    const HWND options = opened.dialog;
    ASSERT_TRUE(SetField(options, IDC_OPT_DOCKTIME, "0"));
    const HWND box = PressForBox(options, IDOK, opened.run.program.processId, "Error");
    ASSERT_NE(nullptr, box);
    EXPECT_FALSE(WaitForGone(options, 21000)) << "the dialog went under its box";
    ASSERT_TRUE(CloseBox(box, IDOK));
    EXPECT_FALSE(WaitForGone(options, 15000)) << "gone once the box was answered";
    ClickInto(GetDlgItem(options, IDC_OPT_RETURN));
    const DWORD clicked = GetTickCount();
    EXPECT_FALSE(WaitForGone(options, 8000)) << "gone 20 seconds after the box, under the click";
    EXPECT_TRUE(WaitForGone(options, 20000)) << "still there, left alone";
    EXPECT_GE(GetTickCount() - clicked, 18000u);
    EXPECT_EQ("", DescribeKey());
}

// One of each: two Options dialogs would both edit the same settings, each unaware of the
// other. A second request, from the tray menu while the button's dialog is open, brings the
// open one to the front, behind whatever the user moved to meanwhile.
struct OneOfEach {
    const char* caption;
    HWND (*open)(const Program&);
    char trayMnemonic;
};

HWND OpenAboutFromOptions(const Program& program) {
    const HWND options = OpenOptionsWithButton(program);
    if (options == nullptr) return nullptr;
    PostClick(GetDlgItem(options, IDC_OPT_ABOUT));
    return WaitForDialog(program.processId, "About");
}

const OneOfEach kOneOfEach[] = {
    {kOptionsCaption, OpenOptionsWithButton, 'p'},
    {"About", OpenAboutFromOptions, 'a'},
};

TEST(OneOfEach, ASecondRequestBringsTheOpenDialogToTheFront) {
    for (const OneOfEach& dialog : kOneOfEach) {
        SCOPED_TRACE(dialog.caption);
        ScopedProgram run;
        const Program& program = run.program;
        ASSERT_TRUE(StartProgramWith(QuietSettings(), &run.program));
        ScopedForeignWindow elsewhere("Terminal");
        const HWND open = dialog.open(program);
        ASSERT_NE(nullptr, open);

        // Ten requests, each once the user has gone elsewhere.
        for (int request = 0; request < 10; ++request) {
            SCOPED_TRACE(request);
            ASSERT_TRUE(BringToFront(elsewhere.window));
            const HWND menu = OpenTrayMenu(program);
            ASSERT_NE(nullptr, menu);
            ChooseMenuItemByKey(menu, dialog.trayMnemonic);
            ASSERT_TRUE(WaitForGone(menu));
            EXPECT_TRUE(WaitUntil([&] { return GetForegroundWindow() == open; }))
                << "in front: \"" << Caption(GetForegroundWindow()) << "\"";
        }
        EXPECT_FALSE(WaitUntil([&] { return CountDialogs(program.processId, dialog.caption) != 1; },
                               kSettleMs))
            << CountDialogs(program.processId, dialog.caption) << " dialogs";
    }
}

std::wstring Widened(const std::string& text) {
    return std::wstring(text.begin(), text.end());
}

std::wstring Lowered(std::wstring text) {
    for (wchar_t& c : text)
        if (c >= L'A' && c <= L'Z') c = static_cast<wchar_t>(c - L'A' + L'a');
    return text;
}

std::wstring ShortPath(const std::wstring& path) {
    wchar_t shortPath[MAX_PATH];
    const DWORD length = GetShortPathNameW(path.c_str(), shortPath, MAX_PATH);
    return length > 0 && length < MAX_PATH ? shortPath : path;
}

// The program run from a folder with a long name, whatever the checkout's: its short form then
// differs from its long one.
struct ProgramInLongFolder {
    std::string original = ProgramPath();
    std::string copy;
    ProgramInLongFolder() {
        char temp[MAX_PATH];
        GetTempPathA(MAX_PATH, temp);
        const std::string folder = std::string(temp) + "Vantreth in a long folder";
        CreateDirectoryA(folder.c_str(), nullptr);
        copy = folder + "\\Vantreth.exe";
        if (CopyFileA(original.c_str(), copy.c_str(), FALSE)) SetProgramPath(copy.c_str());
    }
    ~ProgramInLongFolder() {
        SetProgramPath(original.c_str());
        DeleteFileA(copy.c_str());
    }
};

// "Start with Windows" shows on only for a Run value that starts this very program, by any
// name the system gives it; OK writes this program's path in quotes where the user ticked the
// box and deletes the value where the user cleared it, and leaves alone a value the user did
// not touch; Cancel leaves the value alone.
TEST(Options, StartWithWindowsFollowsTheRunValueOfThisProgram) {
    const ProgramInLongFolder longFolder;
    const std::wstring ours = L"\"" + Widened(ProgramPath()) + L"\"";
    const std::wstring ourPath = Widened(ProgramPath());
    const std::wstring byHand = Lowered(ourPath);
    const std::wstring shortForm = ShortPath(ourPath);
    ASSERT_NE(Lowered(shortForm), byHand) << "no short form to try";
    const std::wstring another = L"\"C:\\Tools\\Vantreth.exe\"";
    const struct {
        const char* what;
        const wchar_t* stored; // null: none
        bool shown;
        bool click;           // the box clicked once
        int button;           // IDOK or IDCANCEL
        const wchar_t* after; // null: none
    } cases[] = {
        {"none, ticked", nullptr, false, true, IDOK, ours.c_str()},
        {"this program's, cleared", ours.c_str(), true, true, IDOK, nullptr},
        {"this program's as typed by hand", byHand.c_str(), true, false, IDOK, byHand.c_str()},
        {"another copy's, ticked", another.c_str(), false, true, IDOK, ours.c_str()},
        {"another copy's, left clear", another.c_str(), false, false, IDOK, another.c_str()},
        {"this program's by its short path", shortForm.c_str(), true, false, IDOK,
         shortForm.c_str()},
        {"this program's, cleared, cancelled", ours.c_str(), true, true, IDCANCEL, ours.c_str()},
    };
    ScopedProgram run;
    const Program& program = run.program;
    ASSERT_TRUE(StartProgramWith(QuietSettings(), &run.program));
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        ASSERT_TRUE(c.stored != nullptr ? WriteRunValue(c.stored) : DeleteRunValue());
        const HWND options = OpenOptionsWithButton(program);
        ASSERT_NE(nullptr, options);
        const HWND box = GetDlgItem(options, IDC_OPT_STARTUP);
        EXPECT_EQ(c.shown, IsChecked(box));
        if (c.click) {
            ASSERT_TRUE(Click(box));
        }
        ASSERT_TRUE(CloseBox(options, c.button));
        std::wstring value;
        DWORD type = 0;
        const bool exists = ReadRunValue(&value, &type);
        EXPECT_EQ(c.after != nullptr, exists);
        if (c.after != nullptr && exists) {
            EXPECT_TRUE(value == c.after) << std::string(value.begin(), value.end());
            EXPECT_EQ(static_cast<DWORD>(REG_SZ), type);
        }
    }
    DeleteRunValue();
}

} // namespace
