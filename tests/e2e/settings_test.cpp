// The stored settings: first start, reading back, damaged values, and the two timers they steer.
#include <gtest/gtest.h>

#include "resources/resource.h"
#include "tests/e2e/more_harness.h"

namespace {

// Every value away from its default, so that a value that was not read shows.
Settings OppositeSettings() {
    Settings settings = {};
    settings.DockTime = 77;
    settings.SNK = 1;
    settings.DecrTime = 9;
    return settings;
}

std::string ShownByOptions(const Program& program) {
    const HWND options = OpenOptionsWithButton(program);
    if (options == nullptr) return "<no Options dialog>";
    const std::string shown = DescribeOptions(options);
    CloseBox(options, IDCANCEL);
    return shown;
}

TEST(Settings, FirstStartWritesExactlyTheEightDefaultsAndASecondStartReadsThem) {
    KillRunningInstances();
    ASSERT_TRUE(DeleteSettingsKey());
    {
        ScopedProgram run;
        ASSERT_TRUE(StartProgram(&run.program));
        EXPECT_EQ(DescribeStored(DefaultSettings()), DescribeKey());
    }
    ScopedProgram run;
    ASSERT_TRUE(StartProgram(&run.program));
    EXPECT_EQ(DescribeOptionsFor(DefaultSettings()), ShownByOptions(run.program));
    EXPECT_EQ(DescribeStored(DefaultSettings()), DescribeKey()) << "a start that found the key";
}

struct DamagedValues {
    const char* what;
    int size; // bytes stored for each of the eight values, the first one its old value; -1 deletes
};

// Only a value of exactly one byte is taken; anything else reads as its default.
const DamagedValues kDamaged[] = {
    {"deleted", -1},
    {"empty", 0},
    {"3 bytes", 3},
    {"6 bytes", 6},
};

void WriteDamaged(const DamagedValues& damage, const Settings& old) {
    const struct {
        const char* name;
        std::uint8_t value;
    } values[] = {{"Clipboard", old.Clipboard}, {"Return", old.Return},
                  {"ClearPass", old.ClearPass}, {"AutoDock", old.AutoDock},
                  {"DockTime", old.DockTime},   {"SNK", old.SNK},
                  {"AutoDecr", old.AutoDecr},   {"DecrTime", old.DecrTime}};
    for (const auto& value : values) {
        if (damage.size < 0) {
            ASSERT_TRUE(DeleteValue(value.name));
            continue;
        }
        std::string bytes(static_cast<size_t>(damage.size) + 1, '\x07');
        bytes[0] = static_cast<char>(value.value);
        ASSERT_TRUE(
            WriteRawValue(value.name, REG_BINARY, bytes.data(), static_cast<DWORD>(damage.size)));
    }
}

TEST(Settings, AMissingOrMisshapenValueTakesItsDefault) {
    for (const DamagedValues& damage : kDamaged) {
        SCOPED_TRACE(damage.what);
        KillRunningInstances();
        ASSERT_TRUE(DeleteSettingsKey());
        ASSERT_TRUE(WriteSettings(OppositeSettings()));
        WriteDamaged(damage, OppositeSettings());
        const std::string stored = DescribeKey();

        ScopedProgram run;
        ASSERT_TRUE(StartProgram(&run.program));
        EXPECT_EQ(DescribeOptionsFor(DefaultSettings()), ShownByOptions(run.program));
        EXPECT_EQ(stored, DescribeKey()) << "the start wrote into an existing key";
    }
}

TEST(Settings, AStoredDockTimeOfZeroIsTakenAsThirty) {
    Settings zeros = {};
    ScopedProgram run;
    ASSERT_TRUE(StartProgramWith(zeros, &run.program));
    Settings shown = zeros;
    shown.DockTime = 30;
    EXPECT_EQ(DescribeOptionsFor(shown), ShownByOptions(run.program));
}

TEST(Settings, WithTheDefaultsTheCountDropsByOneOnceAboutASecondAfterAResponse) {
    ScopedProgram run;
    const Program& program = run.program;
    ASSERT_TRUE(StartProgramWith(DefaultSettings(), &run.program));
    ASSERT_TRUE(ShowFromTray(program));

    ASSERT_TRUE(EnterChallenge(program, IDC_MD5, "99", "test", "This is a test."));
    ASSERT_EQ("BAIL TUFT BITS GANG CHEF THY", PressOk(program).response);
    const DWORD answered = GetTickCount();
    EXPECT_EQ("99", Field(program, IDC_COUNT)) << "lowered at once";
    ASSERT_TRUE(WaitUntil([&] { return Field(program, IDC_COUNT) != "99"; }));
    EXPECT_GE(GetTickCount() - answered, 500u) << "the one-second delay was not kept";
    EXPECT_EQ("98", Field(program, IDC_COUNT));
    // Twice the delay and more: a timer left running would have lowered it again.
    EXPECT_FALSE(WaitUntil([&] { return Field(program, IDC_COUNT) != "98"; }, 2500))
        << "lowered again to " << Field(program, IDC_COUNT);
}

TEST(Settings, TheDialogDocksAfterDockTimeAndClearsOnlyThePassPhrase) {
    Settings settings = DefaultSettings();
    settings.DockTime = 2;
    ScopedProgram run;
    const Program& program = run.program;
    ASSERT_TRUE(StartProgramWith(settings, &run.program));
    ASSERT_TRUE(ShowFromTray(program));

    ASSERT_TRUE(SetField(program, IDC_COUNT, "5"));
    ASSERT_TRUE(SetField(program, IDC_SEED, "abc"));
    ASSERT_TRUE(SetField(program, IDC_PASSPHRASE, "secret"));
    const DWORD lastTyped = GetTickCount();
    ASSERT_TRUE(WaitUntil([&] { return IsDocked(program); }));
    EXPECT_GE(GetTickCount() - lastTyped, 1500u) << "docked before DockTime had passed";
    EXPECT_EQ("", Field(program, IDC_PASSPHRASE));
    EXPECT_EQ("5", Field(program, IDC_COUNT));
    EXPECT_EQ("abc", Field(program, IDC_SEED));
}

} // namespace
