// Challenges copied by another program, Copy, and texts that must change nothing.
#include <gtest/gtest.h>

#include <string>

#include "resources/resource.h"
#include "tests/e2e/clipboard.h"
#include "tests/e2e/program.h"
#include "tests/e2e/registry.h"

namespace {

const char kChallenge[] = "otp-md5 99 test\r\n";
const char kPassPhrase[] = "This is a test.";
const char kWords[] = "BAIL TUFT BITS GANG CHEF THY"; // RFC 2289: MD5, 99, test

// Scanning on; nothing else that could act by itself during a test.
Settings Scanning(bool appendReturn) {
    Settings settings = QuietSettings();
    settings.Clipboard = 1;
    settings.Return = appendReturn ? 1 : 0;
    return settings;
}

// A watcher in the viewer chain first, so that it stands behind the program started next.
struct WatchedProgram {
    ScopedClipboardWatcher watcher;
    ScopedProgram run;
};

void StartWatched(const Settings& settings, WatchedProgram* watched) {
    ASSERT_TRUE(watched->watcher.started);
    ASSERT_TRUE(StartProgramWith(settings, &watched->run.program));
}

struct CopyCase {
    bool appendReturn;
    const char* copied;
};

const CopyCase kCopyCases[] = {
    {true, "BAIL TUFT BITS GANG CHEF THY\r\n"},
    {false, "BAIL TUFT BITS GANG CHEF THY"},
};

TEST(Clipboard, ACopiedChallengeBringsTheDialogUpAndCopyGivesTheResponse) {
    for (const CopyCase& copy : kCopyCases) {
        SCOPED_TRACE(copy.appendReturn ? "Return on" : "Return off");
        ScopedProgram run;
        const Program& program = run.program;
        ASSERT_TRUE(StartProgramWith(Scanning(copy.appendReturn), &run.program));
        ASSERT_TRUE(IsChecked(Control(program, IDC_MD4)));

        ASSERT_TRUE(PutClipboardText(kChallenge));
        ASSERT_TRUE(WaitUntil([&] { return IsShown(program); })) << "the challenge was missed";
        EXPECT_TRUE(IsChecked(Control(program, IDC_MD5)));
        EXPECT_FALSE(IsChecked(Control(program, IDC_MD4)));
        EXPECT_EQ("99", Field(program, IDC_COUNT));
        EXPECT_EQ("test", Field(program, IDC_SEED));
        EXPECT_TRUE(WaitUntil([&] {
            return FocusedWindow(program) == Control(program, IDC_PASSPHRASE);
        })) << "focus on "
            << FocusedWindow(program);

        ASSERT_TRUE(SetField(program, IDC_PASSPHRASE, kPassPhrase));
        ASSERT_EQ(kWords, PressOk(program).response);
        ASSERT_TRUE(Click(program, IDC_COPY));
        std::string text;
        EXPECT_TRUE(WaitUntil([&] { return ClipboardText(&text) && text == copy.copied; }))
            << "clipboard holds \"" << text << "\"";
        // A one-time password stays out of clipboard history and the cloud clipboard.
        for (const char* format : {"CanIncludeInClipboardHistory", "CanUploadToCloudClipboard"}) {
            DWORD value = 1;
            EXPECT_TRUE(ClipboardFormatDword(format, &value)) << format << " missing";
            EXPECT_EQ(0u, value) << format;
        }
    }
}

// RFC 2289 seeds run to 16 characters; the words come from an independent implementation
// (Python's hashlib with its own fold and six-word coding over the RFC 1760 dictionary).
TEST(Clipboard, ASixteenCharacterSeedArrivesWholeAndIsHashedWhole) {
    ScopedProgram run;
    const Program& program = run.program;
    ASSERT_TRUE(StartProgramWith(Scanning(true), &run.program));
    ASSERT_TRUE(PutClipboardText("otp-sha1 7 abcdefghij012345\r\n"));
    ASSERT_TRUE(WaitUntil([&] { return IsShown(program); }));
    EXPECT_EQ("abcdefghij012345", Field(program, IDC_SEED));
    ASSERT_TRUE(SetField(program, IDC_PASSPHRASE, kPassPhrase));
    EXPECT_EQ("DAY LYRA DANK TOUR BOND TOWN", PressOk(program).response);
}

// A seed or count longer than Ok answers reaches its field long enough to be refused, never
// cut to one that would be answered wrongly.
TEST(Clipboard, ASeedOrCountTooLongIsRefusedNotAnsweredCut) {
    const struct {
        const char* what;
        std::string copied;
        int field;
        std::string arrives;
        const char* refusal;
    } cases[] = {
        {"40-character seed", "otp-md5 99 " + std::string(40, 's') + "\r\n", IDC_SEED,
         std::string(17, 's'), "Invalid input: Seed too long\n (At most 16 characters)"},
        {"ten nines", "otp-md5 9999999999 test\r\n", IDC_COUNT, "9999999999",
         "Invalid input: Iteration count too long\n (At most 9 digits)"},
    };
    ScopedProgram run;
    const Program& program = run.program;
    ASSERT_TRUE(StartProgramWith(Scanning(true), &run.program));
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        ASSERT_TRUE(PutClipboardText(c.copied.c_str()));
        ASSERT_TRUE(WaitUntil([&] { return IsShown(program); }));
        EXPECT_EQ(c.arrives, Field(program, c.field));
        ASSERT_TRUE(SetField(program, IDC_PASSPHRASE, kPassPhrase));
        EXPECT_EQ(c.refusal,
                  PressForBoxText(program.dialog, IDC_COMPUTE, program.processId, "Input Error"));
        EXPECT_EQ("", Field(program, IDC_RESPONSE));
        EXPECT_FALSE(IsEnabled(Control(program, IDC_COPY)));
        ASSERT_TRUE(Click(program, IDC_CLOSE));
        ASSERT_TRUE(WaitUntil([&] { return IsDocked(program); }));
    }
}

// Password managers mark the secrets they copy so that monitors leave them alone.
TEST(Clipboard, TextMarkedForMonitorsIsNotScannedButTheNoticeGoesOn) {
    WatchedProgram watched;
    ASSERT_NO_FATAL_FAILURE(StartWatched(Scanning(true), &watched));
    const Program& program = watched.run.program;

    const LONG before = ClipboardNotices();
    ASSERT_TRUE(PutClipboardTextMarked(kChallenge, "ExcludeClipboardContentFromMonitorProcessing"));
    ASSERT_TRUE(WaitUntil([&] { return ClipboardNotices() > before; }))
        << "the notice was not passed on";
    EXPECT_TRUE(StaysDocked(program));
    EXPECT_EQ("", Field(program, IDC_COUNT));
    EXPECT_EQ("", Field(program, IDC_SEED));

    // The same text unmarked is a challenge.
    ASSERT_TRUE(PutClipboardText(kChallenge));
    EXPECT_TRUE(WaitUntil([&] { return IsShown(program); }));
}

// Another process names the dialog itself as the successor of its next viewer. Taken, every
// later notice would go round to the dialog itself and never reach the rest of the chain.
TEST(Clipboard, AChainChangeThatMakesTheDialogItsOwnSuccessorIsIgnored) {
    WatchedProgram watched;
    ASSERT_NO_FATAL_FAILURE(StartWatched(Scanning(true), &watched));
    const Program& program = watched.run.program;

    DWORD_PTR ignored = 0;
    SendMessageTimeoutA(program.dialog, WM_CHANGECBCHAIN,
                        reinterpret_cast<WPARAM>(ClipboardWatcherWindow()),
                        reinterpret_cast<LPARAM>(program.dialog), SMTO_NORMAL, kWaitMs, &ignored);
    ASSERT_TRUE(StillRunning(program));
    for (const char* text : {"one", "two"}) {
        EXPECT_TRUE(CopyAndWaitForNotice(text)) << "\"" << text << "\" did not reach the watcher";
    }
    ASSERT_TRUE(PutClipboardText(kChallenge));
    EXPECT_TRUE(WaitUntil([&] { return IsShown(program); }));
}

// The next viewer's thread stops pumping messages: a copied challenge must still bring the
// dialog up while it hangs.
TEST(Clipboard, AHungNextViewerDoesNotHoldUpTheChallenge) {
    WatchedProgram watched;
    ASSERT_NO_FATAL_FAILURE(StartWatched(Scanning(true), &watched));
    const Program& program = watched.run.program;

    HoldClipboardWatcher();
    ASSERT_TRUE(PutClipboardText("no challenge here"));
    ASSERT_TRUE(WaitUntil(ClipboardWatcherHangs)) << "the notice never reached the watcher";
    ASSERT_TRUE(PutClipboardText(kChallenge));
    const bool shown = WaitUntil([&] { return IsShown(program); });
    const bool stillHangs = ClipboardWatcherHangs();
    ReleaseClipboardWatcher();
    EXPECT_TRUE(shown) << "the dialog waited for the hung viewer";
    EXPECT_TRUE(stillHangs);
    EXPECT_EQ("test", Field(program, IDC_SEED));
}

struct IgnoredCase {
    const char* what;
    bool scanning;
    const char* text;
};

const IgnoredCase kIgnored[] = {
    {"scanning off", false, kChallenge},
    {"no prefix", true, "md5 99 test\r\n"},
    {"prefix in capitals", true, "OTP-MD5 99 test\r\n"},
};

TEST(Clipboard, ScanningOffOrNoPrefixChangesNothingButPassesTheNoticeOn) {
    for (const IgnoredCase& ignored : kIgnored) {
        SCOPED_TRACE(ignored.what);
        Settings settings = Scanning(true);
        settings.Clipboard = ignored.scanning ? 1 : 0;
        WatchedProgram watched;
        ASSERT_NO_FATAL_FAILURE(StartWatched(settings, &watched));
        const Program& program = watched.run.program;

        ASSERT_TRUE(CopyAndWaitForNotice(ignored.text)) << "the notice was not passed on";
        EXPECT_TRUE(StaysDocked(program));
        EXPECT_TRUE(IsChecked(Control(program, IDC_MD4)));
        EXPECT_EQ("", Field(program, IDC_COUNT));
        EXPECT_EQ("", Field(program, IDC_SEED));
    }
}

TEST(Clipboard, AChallengeAlreadyThereAtStartIsNotPickedUp) {
    ASSERT_TRUE(PutClipboardText(kChallenge));
    ScopedProgram run;
    const Program& program = run.program;
    ASSERT_TRUE(StartProgramWith(Scanning(true), &run.program));
    EXPECT_TRUE(StaysDocked(program));
    EXPECT_EQ("", Field(program, IDC_SEED));
}

// Texts that must neither crash nor hang the program: after each, it still recognises a
// challenge and answers it.
struct HostileText {
    const char* what;
    std::string text;
    bool withNul;
    bool recognised;
};

std::string Repeat(char c, size_t count) {
    return std::string(count, c);
}

const size_t kMegabyte = 1024 * 1024;

TEST(Clipboard, HostileTextsNeitherCrashNorHang) {
    const HostileText hostile[] = {
        {"1 MB without a prefix", Repeat('a', kMegabyte), true, false},
        {"1 MB without any NUL", Repeat('b', kMegabyte), false, false},
        {"1 MB after a prefix, one token", "otp-md5" + Repeat('c', kMegabyte), true, true},
        {"1 MB seed", "otp-md5 99 " + Repeat('d', kMegabyte), true, true},
        {"1 MB count, no NUL", "otp-md5 " + Repeat('9', kMegabyte), false, true},
        {"1 MB of blanks after the keyword", "otp-md5" + Repeat(' ', kMegabyte), false, true},
        {"bytes above 127", "otp-md5 \xb9\xb9 t\xe9st\xff\x80\r\n", true, true},
        {"only bytes above 127", Repeat('\xa0', 4096), true, false},
    };
    WatchedProgram watched;
    ASSERT_NO_FATAL_FAILURE(StartWatched(Scanning(true), &watched));
    const Program& program = watched.run.program;
    const std::string stored = DescribeKey();

    for (const HostileText& text : hostile) {
        SCOPED_TRACE(text.what);
        ASSERT_TRUE(CopyAndWaitForNotice(text.text, text.withNul)) << "no notice passed on";
        ASSERT_TRUE(StillRunning(program));
        if (!text.recognised) {
            EXPECT_TRUE(StaysDocked(program));
            continue;
        }
        ASSERT_TRUE(WaitUntil([&] { return IsShown(program); }));
        // A token reaches its field cut to its slot, one past what Ok answers: 10 characters
        // for the count, 17 for the seed.
        EXPECT_LE(Field(program, IDC_COUNT).size(), 10u);
        EXPECT_LE(Field(program, IDC_SEED).size(), 17u);
        ASSERT_TRUE(Click(program, IDC_CLOSE));
        ASSERT_TRUE(WaitUntil([&] { return IsDocked(program); }));
    }
    ASSERT_TRUE(PutClipboardText(kChallenge));
    ASSERT_TRUE(WaitUntil([&] { return IsShown(program); }));
    EXPECT_EQ("test", Field(program, IDC_SEED));
    ASSERT_TRUE(SetField(program, IDC_PASSPHRASE, kPassPhrase));
    EXPECT_EQ(kWords, PressOk(program).response);
    EXPECT_EQ(stored, DescribeKey());
}

TEST(Clipboard, HighBytesReachTheFieldsAsTheyStand) {
    ScopedProgram run;
    const Program& program = run.program;
    ASSERT_TRUE(StartProgramWith(Scanning(true), &run.program));
    ASSERT_TRUE(PutClipboardText("otp-sha1 \xb9\xb2 t\xe9st\xff\r\n"));
    ASSERT_TRUE(WaitUntil([&] { return IsShown(program); }));
    EXPECT_TRUE(IsChecked(Control(program, IDC_SHA1)));
    EXPECT_EQ("\xb9\xb2", Field(program, IDC_COUNT));
    EXPECT_EQ("t\xe9st\xff", Field(program, IDC_SEED));
}

} // namespace
