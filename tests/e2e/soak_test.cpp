// Load and soak: thousands of clipboard changes, Ok presses, Options and docking in a row.
// Afterwards the program must still answer, still sit in the viewer chain, and hold hardly
// more handles and memory than it did before.
#include <gtest/gtest.h>

#include <windows.h>

#include <cstdio>
#include <string>

#include "resources/resource.h"
#include "tests/e2e/clipboard.h"
#include "tests/e2e/figures.h"
#include "tests/e2e/program.h"
#include "tests/e2e/registry.h"
#include "tests/unit/engine/data_file.h"

namespace {

constexpr int kClipboardTexts = 5000;
constexpr int kOkPresses = 1000;
constexpr int kOptionsRounds = 50;
constexpr int kDockRounds = 200;
constexpr int kLongJobs = 40;
constexpr size_t kMegabyte = 1024 * 1024;
// A leak of one handle per action, or of one 1 MB copy in ten, goes far beyond these.
constexpr long kHandleMargin = 20;
constexpr long long kMemoryMargin = 8LL * kMegabyte;
constexpr DWORD kDrainMs = 300000;
constexpr DWORD kLongWaitMs = 60000;

double Seconds(DWORD since) {
    return (GetTickCount() - since) / 1000.0;
}

// Scanning on, so every challenge brings the dialog up; nothing that docks or counts down
// by itself, so only the soak's own actions change the dialog.
Settings SoakSettings() {
    // Clipboard, Return, ClearPass, AutoDock, DockTime, SNK, AutoDecr, DecrTime.
    return {1, 1, 1, 0, 30, 0, 0, 1, 0};
}

// The mix of texts, in turn: challenges of each kind, plain text, an empty text, bytes above
// 127, blocks without a NUL, over-long tokens and, every fiftieth, a megabyte. The bytes go
// onto the clipboard exactly as they stand, with a NUL or without one.
std::string TextNumber(int i) {
    static const std::string megabyteOfWords = [] {
        std::string text;
        while (text.size() < kMegabyte)
            text += "word ";
        return text + "otp-md5 77 big\r\n";
    }();
    static const std::string megabyteToken = std::string(kMegabyte, 'x') + "skey";
    char line[64];
    switch (i % 10) {
    case 0: std::snprintf(line, sizeof line, "otp-md5 %d soak%d", i, i % 97); break;
    case 1: std::snprintf(line, sizeof line, "s/key %d ab12", i); break;
    case 2: std::snprintf(line, sizeof line, "otp-sha1 1 x%d\r\n", i); break;
    case 3: std::snprintf(line, sizeof line, "nothing to see here %d", i); break;
    case 4: line[0] = '\0'; break;
    case 5: return std::string("otp-md4 5 t\xe9st\xff\x80\xa0", 17) + '\0';
    case 6: {
        std::string high;
        for (int byte = 128; byte < 256; ++byte)
            high += static_cast<char>(byte);
        return high + '\0';
    }
    case 7: return "otp-md4 12 nonul";
    case 8: return std::string(4096, 'A');
    default:
        if (i % 50 == 9) return (i / 50) % 2 == 0 ? megabyteOfWords + '\0' : megabyteToken;
        return std::string(300, 'q') + " skey " + std::string(300, 'r') + '\0';
    }
    return std::string(line) + '\0';
}

// The RFC 2289 words of `kind`, `count` and `seed` as the RFC prints it; "" when the file
// lacks them.
std::string RfcWords(HashKind kind, std::uint32_t count, const char* seed) {
    for (const Rfc2289Vector& v : ReadRfc2289Vectors())
        if (v.kind == kind && v.count == count && v.seed == seed) return v.words;
    return "";
}

struct Kind {
    int radio;
    std::string words; // count 1, seed "test", pass phrase "This is a test."
};
const Kind kKinds[] = {
    {IDC_MD4, RfcWords(HashKind::MD4, 1, "TeSt")},
    {IDC_MD5, RfcWords(HashKind::MD5, 1, "TeSt")},
    {IDC_SHA1, RfcWords(HashKind::SHA1, 1, "TeSt")},
};

// Posts the click and polls tightly: a thousand presses at the harness's pace would take long.
bool PressOkFor(const Program& program, const std::string& expected) {
    PostClick(program, IDC_COMPUTE);
    const DWORD start = GetTickCount();
    while (GetTickCount() - start < kWaitMs) {
        if (Field(program, IDC_RESPONSE) == expected) return true;
        if (FindAnyBox(program) != nullptr) return false;
        Sleep(1);
    }
    return false;
}

bool OpenAndCancelOptions(const Program& program) {
    const HWND options = OpenOptionsWithButton(program);
    return options != nullptr && CloseBox(options, IDCANCEL) &&
           WaitUntil([&] { return IsShown(program) && FindAnyBox(program) == nullptr; });
}

// A count for the worker, stopped once its progress shows: by Clear All or by another seed.
bool StartAndStopLongJob(const Program& program, bool byClearAll) {
    if (!EnterChallenge(program, IDC_MD5, "999999999", "test", "This is a test.")) return false;
    PostClick(program, IDC_COMPUTE);
    if (!WaitUntil([&] { return ProgressPercent(Field(program, IDC_RESPONSE)) >= 0; })) {
        return false;
    }
    if (!(byClearAll ? Click(program, IDC_CLEARALL) : SetField(program, IDC_SEED, "other"))) {
        return false;
    }
    return Field(program, IDC_RESPONSE).empty();
}

bool DockAndShow(const Program& program) {
    return Click(program, IDC_CLOSE) && WaitUntil([&] { return IsDocked(program); }) &&
           ShowFromTray(program);
}

// Wine drops a share of the WM_DRAWCLIPBOARD notices of a burst before they reach the
// program (its trace shows one clipboard read per notice delivered), so the number passed
// on is reported, not demanded: waits until it stops growing and returns it.
LONG SettledNotices() {
    const DWORD start = GetTickCount();
    LONG seen = -1;
    while (ClipboardNotices() != seen && GetTickCount() - start < kDrainMs) {
        seen = ClipboardNotices();
        Sleep(4 * kSettleMs);
    }
    return seen;
}

TEST(Soak, ThousandsOfActionsLoseNothingAndLeakNothing) {
    ScopedClipboardWatcher watcher;
    ASSERT_TRUE(watcher.started);
    ScopedProgram run;
    const Program& program = run.program;
    ASSERT_TRUE(StartProgramWith(SoakSettings(), &run.program));
    const DWORD soakStart = GetTickCount();

    for (const Kind& kind : kKinds)
        ASSERT_NE("", kind.words) << "the vector file was not read";
    // One round of everything first, so that what is made once and kept counts as before.
    ASSERT_TRUE(ShowFromTray(program));
    ASSERT_TRUE(EnterChallenge(program, IDC_MD4, "1", "test", "This is a test."));
    for (const Kind& kind : kKinds) {
        ASSERT_TRUE(Click(program, kind.radio));
        ASSERT_TRUE(PressOkFor(program, kind.words));
    }
    ASSERT_TRUE(OpenAndCancelOptions(program));
    ASSERT_TRUE(DockAndShow(program));
    for (int i = 0; i < 50; ++i) {
        const std::string text = TextNumber(i);
        ASSERT_TRUE(PutClipboardBytes(text.data(), text.size()));
    }
    SettledNotices();
    Figures before;
    ASSERT_TRUE(ReadFigures(program, &before));
    PrintFigures("soak", "before", before);

    DWORD phase = GetTickCount();
    const LONG noticesBefore = ClipboardNotices();
    for (int i = 0; i < kClipboardTexts; ++i) {
        const std::string text = TextNumber(i);
        ASSERT_TRUE(PutClipboardBytes(text.data(), text.size())) << "text " << i;
    }
    const double putSeconds = Seconds(phase);
    const LONG passedOn = SettledNotices() - noticesBefore;
    std::printf("soak: %d clipboard texts put in %.1f s; %ld notices passed on, settled after "
                "%.1f s\n",
                kClipboardTexts, putSeconds, passedOn, Seconds(phase));
    ASSERT_TRUE(PutClipboardText("otp-sha1 4242 drained"));
    ASSERT_TRUE(WaitUntil([&] { return Field(program, IDC_SEED) == "drained"; }, kLongWaitMs))
        << "the last challenge was not scanned";
    EXPECT_TRUE(IsChecked(Control(program, IDC_SHA1)));
    ASSERT_TRUE(StillRunning(program));

    phase = GetTickCount();
    ASSERT_TRUE(ShowFromTray(program));
    ASSERT_TRUE(SetField(program, IDC_COUNT, "1"));
    ASSERT_TRUE(SetField(program, IDC_SEED, "test"));
    ASSERT_TRUE(SetField(program, IDC_PASSPHRASE, "This is a test."));
    for (int i = 0; i < kOkPresses; ++i) {
        const Kind& kind = kKinds[i % 3];
        ASSERT_TRUE(Click(program, kind.radio));
        ASSERT_TRUE(PressOkFor(program, kind.words))
            << "press " << i << " gave " << Field(program, IDC_RESPONSE);
    }
    std::printf("soak: %d Ok presses in %.1f s\n", kOkPresses, Seconds(phase));

    phase = GetTickCount();
    for (int i = 0; i < kOptionsRounds; ++i)
        ASSERT_TRUE(OpenAndCancelOptions(program)) << "round " << i;
    std::printf("soak: Options opened and closed %d times in %.1f s\n", kOptionsRounds,
                Seconds(phase));

    phase = GetTickCount();
    for (int i = 0; i < kDockRounds; ++i)
        ASSERT_TRUE(DockAndShow(program)) << "round " << i;
    std::printf("soak: docked and shown %d times in %.1f s\n", kDockRounds, Seconds(phase));

    phase = GetTickCount();
    for (int i = 0; i < kLongJobs; ++i)
        ASSERT_TRUE(StartAndStopLongJob(program, i % 2 == 0)) << "job " << i;
    std::printf("soak: %d long counts started and stopped in %.1f s\n", kLongJobs, Seconds(phase));

    // Still in the chain: a new challenge brings the docked dialog up and is answered.
    ASSERT_TRUE(Click(program, IDC_CLOSE));
    ASSERT_TRUE(WaitUntil([&] { return IsDocked(program); }));
    const LONG noticesAtEnd = ClipboardNotices();
    ASSERT_TRUE(PutClipboardText("otp-md5 99 alpha1"));
    ASSERT_TRUE(WaitUntil([&] { return IsShown(program); })) << "the challenge was missed";
    EXPECT_TRUE(WaitUntil([&] { return ClipboardNotices() > noticesAtEnd; }))
        << "the notice was not passed on";
    EXPECT_TRUE(IsChecked(Control(program, IDC_MD5)));
    EXPECT_EQ("99", Field(program, IDC_COUNT));
    EXPECT_EQ("alpha1", Field(program, IDC_SEED));
    ASSERT_TRUE(SetField(program, IDC_PASSPHRASE, "AbCdEfGhIjK"));
    EXPECT_EQ(RfcWords(HashKind::MD5, 99, "alpha1"), PressOk(program).response);

    Sleep(kSettleMs);
    Figures after;
    ASSERT_TRUE(ReadFigures(program, &after));
    PrintFigures("soak", "after", after);
    std::printf("soak: %.1f s in all\n", Seconds(soakStart));
    EXPECT_LE(after.handles, before.handles + kHandleMargin);
    EXPECT_LE(after.privateBytes, before.privateBytes + kMemoryMargin);
    EXPECT_EQ(before.windows, after.windows);
}

} // namespace
