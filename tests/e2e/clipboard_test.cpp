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
const Settings kScanning = QuietSettingsWith(&Settings::Clipboard);

// A watcher in the viewer chain first, so that it stands behind the program started next.
struct WatchedProgram {
    ScopedClipboardWatcher watcher;
    ScopedProgram run;
};

void StartWatched(const Settings& settings, WatchedProgram* watched) {
    ASSERT_TRUE(watched->watcher.started);
    ASSERT_TRUE(StartProgramWith(settings, &watched->run.program));
}

// Copied as a user copies them: a challenge alone, a server's whole line, the longest seed, a
// seed followed by punctuation. The words come from Heimdal's otpprint or, for the
// 16-character seed, Python's hashlib with its own fold and six-word coding over the RFC 1760
// dictionary.
struct CopyCase {
    const char* what;
    const char* copied;
    bool appendReturn;
    int radio;
    const char* count;
    const char* seed;
    const char* words;
};

const CopyCase kCopyCases[] = {
    {"a challenge alone", kChallenge, true, IDC_MD5, "99", "test", kWords},
    {"a server's line, the seed in capitals", "331 otp-md5 499 MyHost1 ext required for alice.\r\n",
     false, IDC_MD5, "499", "MyHost1", "CLAN TEET LUCK FUND ACHE WAND"},
    {"RFC 2289's longest seed", "otp-sha1 7 abcdefghij012345\r\n", true, IDC_SHA1, "7",
     "abcdefghij012345", "DAY LYRA DANK TOUR BOND TOWN"},
    {"a seed followed by a comma", "otp-md5 99 test, Response: ", false, IDC_MD5, "99", "test",
     kWords},
};

// Each challenge fills the dialog, brings it up ready and is answered; Copy gives the words.
// The next challenge takes the last words away: they answer another one.
TEST(Clipboard, ACopiedChallengeBringsTheDialogUpAndCopyGivesTheResponse) {
    ScopedProgram run;
    const Program& program = run.program;
    ASSERT_TRUE(StartProgramWith(kScanning, &run.program));
    ASSERT_TRUE(IsChecked(Control(program, IDC_MD4)));
    bool answered = false;
    for (const CopyCase& copy : kCopyCases) {
        SCOPED_TRACE(copy.what);
        ASSERT_TRUE(Click(program, IDC_CLOSE));
        ASSERT_TRUE(WaitUntil([&] { return IsDocked(program); }));
        if (answered) {
            ASSERT_FALSE(Field(program, IDC_RESPONSE).empty());
            ASSERT_TRUE(IsEnabled(Control(program, IDC_COPY)));
        }

        ASSERT_TRUE(PutClipboardText(copy.copied));
        ASSERT_TRUE(WaitUntil([&] { return IsShown(program); })) << "the challenge was missed";
        EXPECT_TRUE(IsChecked(Control(program, copy.radio)));
        EXPECT_EQ(copy.count, Field(program, IDC_COUNT));
        EXPECT_EQ(copy.seed, Field(program, IDC_SEED));
        EXPECT_TRUE(WaitUntil([&] {
            return FocusedWindow(program) == Control(program, IDC_PASSPHRASE);
        })) << "focus on "
            << FocusedWindow(program);
        // What is typed next replaces the pass phrase left from the last answer.
        DWORD_PTR selection = 0;
        EXPECT_TRUE(SendMessageTimeoutA(Control(program, IDC_PASSPHRASE), EM_GETSEL, 0, 0,
                                        SMTO_ABORTIFHUNG, kWaitMs, &selection) != 0 &&
                    selection == (answered ? sizeof kPassPhrase - 1 : 0) << 16)
            << std::hex << selection;
        EXPECT_EQ("", Field(program, IDC_RESPONSE)) << "the last words stayed";
        EXPECT_FALSE(IsEnabled(Control(program, IDC_COPY))) << "Copy would give the last words";

        // The option to append a line end is read at Copy.
        const HWND options = OpenOptionsWithButton(program);
        ASSERT_NE(nullptr, options);
        if (IsChecked(GetDlgItem(options, IDC_OPT_RETURN)) != copy.appendReturn) {
            ASSERT_TRUE(Click(GetDlgItem(options, IDC_OPT_RETURN)));
        }
        ASSERT_EQ(nullptr, ConfirmOptions(program, options, IDNO, false));
        ASSERT_TRUE(SetField(program, IDC_PASSPHRASE, kPassPhrase));
        ASSERT_EQ(copy.words, PressOk(program).response);
        answered = true;
        ASSERT_TRUE(Click(program, IDC_COPY));
        const std::string expected = std::string(copy.words) + (copy.appendReturn ? "\r\n" : "");
        std::string text;
        EXPECT_TRUE(WaitUntil([&] { return ClipboardText(&text) && text == expected; }))
            << "clipboard holds \"" << text << "\"";
        // A one-time password stays out of clipboard history and the cloud clipboard.
        for (const char* format : {"CanIncludeInClipboardHistory", "CanUploadToCloudClipboard"}) {
            DWORD value = 1;
            EXPECT_TRUE(ClipboardFormatDword(format, &value)) << format << " missing";
            EXPECT_EQ(0u, value) << format;
        }
    }
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
    ASSERT_TRUE(StartProgramWith(kScanning, &run.program));
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
    ASSERT_NO_FATAL_FAILURE(StartWatched(kScanning, &watched));
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
    ASSERT_NO_FATAL_FAILURE(StartWatched(kScanning, &watched));
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
    ASSERT_NO_FATAL_FAILURE(StartWatched(kScanning, &watched));
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
    {"a prefix inside a word", true, "Sign in with a passkey instead, 2 ways\r\n"},
    {"a keyword with no count after it", true, "we use otp-md5 for logins\r\n"},
    {"a prefix of no known keyword", true, "otp-tokens 3 remaining on this account\r\n"},
    {"an unknown hash", true, "otp-xyz 33 s\r\n"},
};

TEST(Clipboard, ScanningOffOrNoChallengeChangesNothingButPassesTheNoticeOn) {
    for (const IgnoredCase& ignored : kIgnored) {
        SCOPED_TRACE(ignored.what);
        Settings settings = kScanning;
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
    ASSERT_TRUE(StartProgramWith(kScanning, &run.program));
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

std::string RepeatText(const char* unit, size_t size) {
    std::string text;
    while (text.size() < size)
        text += unit;
    return text;
}

const size_t kMegabyte = 1024 * 1024;

TEST(Clipboard, HostileTextsNeitherCrashNorHang) {
    const HostileText hostile[] = {
        {"1 MB without a prefix", Repeat('a', kMegabyte), true, false},
        {"1 MB without any NUL", Repeat('b', kMegabyte), false, false},
        {"1 MB after a prefix, one word", "otp-md5" + Repeat('c', kMegabyte), true, false},
        {"1 MB seed", "otp-md5 99 " + Repeat('d', kMegabyte), true, true},
        {"1 MB count, no NUL", "otp-md5 " + Repeat('9', kMegabyte), false, true},
        {"1 MB of blanks after the keyword", "otp-md5" + Repeat(' ', kMegabyte), false, false},
        {"1 MB of prefixes with no count", RepeatText("skey otp- ", kMegabyte), true, false},
        {"a count of bytes above 127", "otp-md5 \xb9\xb9 t\xe9st\xff\x80\r\n", true, false},
        {"only bytes above 127", Repeat('\xa0', 4096), true, false},
    };
    WatchedProgram watched;
    ASSERT_NO_FATAL_FAILURE(StartWatched(kScanning, &watched));
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

} // namespace
