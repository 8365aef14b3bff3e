// Counts above what one Ok press answers: worked out while the dialog keeps answering, with
// the progress in the response field, and stopped by anything that would make the answer stale.
#include <gtest/gtest.h>

#include <cstdio>

#include "engine/otp.h"
#include "resources/resource.h"
#include "shell/logic/main_logic.h"
#include "tests/e2e/clipboard.h"
#include "tests/e2e/program.h"
#include "tests/e2e/registry.h"

namespace {

constexpr const char* kSeed = "test";
constexpr const char* kPassPhrase = "This is a test.";
// A job stops between two slices of milliseconds; this is the fraction of a second allowed.
constexpr DWORD kStopMs = 300;
// CPU time that a stopped program may still use over a second: Linux counts in 10 ms ticks.
constexpr double kIdleCpuSeconds = 0.05;
constexpr DWORD kJobBoundMs = 5 * 60 * 1000;

// The CPU time the program uses over a second, from a fraction of a second on.
double CpuUsedAfterStop(const Program& program) {
    Sleep(kStopMs);
    const double before = CpuSeconds(program);
    Sleep(1000);
    return CpuSeconds(program) - before;
}

// The program is at work: its CPU time grows.
bool Busy(const Program& program) {
    const double before = CpuSeconds(program);
    return before >= 0 && WaitUntil([&] { return CpuSeconds(program) > before + 0.1; });
}

// The engine's words, as the program must show them.
std::string WordsOf(HashKind kind, std::uint32_t count) {
    char words[kResponseSize] = {};
    ComputeOtp(kind, count, kSeed, kPassPhrase, words);
    return words;
}

TEST(LongCount, DialogAnswersWhileTheProgressMovesAndClearAllStopsIt) {
    ScopedProgram run;
    const Program& program = run.program;
    ASSERT_TRUE(StartShown(&run.program));
    ASSERT_TRUE(StartLongCount(program));
    ASSERT_TRUE(Busy(program)) << "CPU time " << CpuSeconds(program);

    const int first = ProgressPercent(Field(program, IDC_RESPONSE));
    int later = first;
    const DWORD start = GetTickCount();
    while (later <= first && GetTickCount() - start < kWaitMs) {
        const DWORD asked = GetTickCount();
        ASSERT_TRUE(Handled(program)) << "the dialog did not answer";
        EXPECT_LT(GetTickCount() - asked, 1000u) << "the dialog answered late";
        EXPECT_FALSE(IsEnabled(Control(program, IDC_COPY))) << "Copy enabled during the job";
        later = ProgressPercent(Field(program, IDC_RESPONSE));
        Sleep(100);
    }
    EXPECT_GT(later, first) << "the progress did not move";

    // A second Ok starts nothing: the progress goes on from where it was.
    ASSERT_TRUE(Click(program, IDC_COMPUTE));
    EXPECT_GE(ProgressPercent(Field(program, IDC_RESPONSE)), later);

    ASSERT_TRUE(Click(program, IDC_CLEARALL));
    EXPECT_LT(CpuUsedAfterStop(program), kIdleCpuSeconds) << "the stopped job still computes";
    EXPECT_EQ("", Field(program, IDC_RESPONSE));
    EXPECT_EQ("", Field(program, IDC_COUNT));
    EXPECT_FALSE(IsEnabled(Control(program, IDC_COPY)));
}

struct Change {
    const char* name;
    bool (*act)(const Program&);
    bool stops;
};

const Change kChanges[] = {
    {"count typed", [](const Program& p) { return SetField(p, IDC_COUNT, "99999999"); }, true},
    {"seed typed", [](const Program& p) { return SetField(p, IDC_SEED, "tesT"); }, true},
    {"pass phrase typed",
     [](const Program& p) { return SetField(p, IDC_PASSPHRASE, "This is a test"); }, true},
    {"another hash kind", [](const Program& p) { return Click(p, IDC_SHA1); }, true},
    {"the same seed written again", [](const Program& p) { return SetField(p, IDC_SEED, kSeed); },
     false},
    {"the same kind clicked again", [](const Program& p) { return Click(p, IDC_MD5); }, false},
    {"shown again from the tray", [](const Program& p) { return ShowFromTray(p); }, false},
    // Putting the dialog away is no change, though it clears the pass phrase.
    {"docked, the pass phrase cleared",
     [](const Program& p) {
         return Click(p, IDC_CLOSE) && WaitUntil([&] { return IsDocked(p); }) &&
                Field(p, IDC_PASSPHRASE).empty();
     },
     false},
};

TEST(LongCount, ARealChangeOfTheFieldsStopsItAndNothingElseDoes) {
    for (const Change& change : kChanges) {
        SCOPED_TRACE(change.name);
        ScopedProgram run;
        const Program& program = run.program;
        ASSERT_TRUE(StartShown(&run.program, QuietSettingsWith(&Settings::ClearPass)));
        ASSERT_TRUE(StartLongCount(program));
        ASSERT_TRUE(change.act(program));
        if (change.stops) {
            EXPECT_LT(CpuUsedAfterStop(program), kIdleCpuSeconds);
            EXPECT_EQ("", Field(program, IDC_RESPONSE)) << "a stale answer or progress stays";
        } else {
            EXPECT_TRUE(Busy(program));
            EXPECT_LE(0, ProgressPercent(Field(program, IDC_RESPONSE)));
        }
    }
}

TEST(LongCount, ANewChallengeStopsItAndIsAnsweredAfresh) {
    ScopedProgram run;
    const Program& program = run.program;
    ASSERT_TRUE(StartShown(&run.program, QuietSettingsWith(&Settings::Clipboard)));
    ASSERT_TRUE(StartLongCount(program, IDC_SHA1));
    ASSERT_TRUE(PutClipboardText("otp-md4 99 test"));
    ASSERT_TRUE(WaitUntil([&] { return Field(program, IDC_COUNT) == "99"; }));
    EXPECT_LT(CpuUsedAfterStop(program), kIdleCpuSeconds);
    EXPECT_EQ("", Field(program, IDC_RESPONSE));
    EXPECT_TRUE(IsChecked(Control(program, IDC_MD4)));
    EXPECT_EQ(WordsOf(HashKind::MD4, 99), PressOk(program).response);
}

// Just above what one press answers, the words come from the worker and everything that
// follows an answer in the press follows: Copy, and the decrement a second later.
TEST(LongCount, JustAboveThePressGivesTheSameWordsAndTheDecrement) {
    ScopedProgram run;
    const Program& program = run.program;
    ASSERT_TRUE(
        StartShown(&run.program, QuietSettingsWith(&Settings::AutoDecr, &Settings::DecrTime)));
    for (HashKind kind : {HashKind::MD4, HashKind::MD5, HashKind::SHA1}) {
        SCOPED_TRACE(static_cast<int>(kind));
        const std::uint32_t count = kLongestCountInPress + 1;
        ASSERT_TRUE(Click(program, IDC_CLEARALL));
        ASSERT_TRUE(EnterChallenge(program, RadioFor(kind), std::to_string(count).c_str(), kSeed,
                                   kPassPhrase));
        PostClick(program, IDC_COMPUTE);
        EXPECT_EQ(WordsOf(kind, count), WaitForWords(program, kWaitMs));
        EXPECT_TRUE(IsEnabled(Control(program, IDC_COPY)));
        EXPECT_TRUE(WaitUntil([&] { return Field(program, IDC_COUNT) == "100000"; }))
            << "no decrement";
    }
    // At the threshold the words are there when the press has been handled; with nothing
    // remembered, since the memory's check of count 100001 would add its step.
    ASSERT_TRUE(DeleteSequences());
    ASSERT_TRUE(SetField(program, IDC_COUNT, "100000"));
    ASSERT_TRUE(Click(program, IDC_COMPUTE));
    EXPECT_EQ(WordsOf(HashKind::SHA1, kLongestCountInPress), Field(program, IDC_RESPONSE));
}

// The progress keeps the docking countdown from running out: an open dialog docks only
// after the answer.
TEST(LongCount, AnOpenDialogDocksOnlyAfterTheAnswer) {
    ScopedProgram run;
    const Program& program = run.program;
    ASSERT_TRUE(
        StartShown(&run.program, QuietSettingsWith(&Settings::AutoDock, &Settings::DockTime)));
    // A few seconds of MD5: several docking timeouts long.
    ASSERT_TRUE(StartLongCount(program, IDC_MD5, "30000000"));
    std::string response;
    bool stayedShown = true;
    WaitUntil(
        [&] {
            response = Field(program, IDC_RESPONSE);
            stayedShown = stayedShown && IsShown(program);
            return ProgressPercent(response) < 0;
        },
        kJobBoundMs);
    EXPECT_TRUE(stayedShown) << "docked in the middle of the job";
    EXPECT_EQ(WordsOf(HashKind::MD5, 30000000), response);
    EXPECT_TRUE(WaitUntil([&] { return IsDocked(program); })) << "did not dock after the answer";
}

} // namespace
