#include "shell/logic/settings_logic.h"

#include <gtest/gtest.h>

#include <cstring>
#include <set>
#include <string>
#include <vector>

namespace {

struct TimeCase {
    const char* text;
    int expected;
};

TEST(ReadTimeField, ReadsLikeTheOptionsDialog) {
    const TimeCase cases[] = {
        {"30", 30},
        {"", 0},
        {"abc", 0},
        {"256", 256},
        {"300", 300},
        {"12345", 1234},
        {"-1", -1},
        {"7s", 7},
        {"1", 1},
        {"255", 255},
        {" 5", 5},
        {"\t12", 12},
        {"+9", 9},
        {"-", 0},
        {"--1", 0},
        {"0300", 300},
        {"99999", 9999},
        {"-256", -256},
        {"-999", -999},
        {"    7", 0},
        {"\r\n\v9", 9},
        {"1 2", 1},
        {"\xff"
         "1",
         0},
    };
    for (const TimeCase& c : cases) {
        EXPECT_EQ(ReadTimeField(c.text), c.expected) << '"' << c.text << '"';
    }
}

TEST(ReadTimeField, NeverLooksPastTheFourthCharacter) {
    // No NUL after the fourth character: a reader that runs on would see the digits.
    const char unterminated[] = {'1', '2', '3', '4', '5', '6', '7', '8'};
    char buffer[4];
    std::memcpy(buffer, unterminated, sizeof buffer);
    EXPECT_EQ(ReadTimeField(buffer), 1234);
}

TEST(ShowTimeField, WritesPlainDecimal) {
    const struct {
        int seconds;
        const char* text;
    } cases[] = {{0, "0"},     {1, "1"},     {10, "10"},  {30, "30"},
                 {100, "100"}, {205, "205"}, {255, "255"}};
    for (const auto& c : cases) {
        char text[kTimeTextSize];
        std::memset(text, 'x', sizeof text);
        ShowTimeField(static_cast<std::uint8_t>(c.seconds), text);
        EXPECT_STREQ(text, c.text);
    }
}

TEST(ShowTimeField, EveryByteReadsBackAsItself) {
    for (int seconds = 0; seconds < 256; ++seconds) {
        char text[kTimeTextSize];
        ShowTimeField(static_cast<std::uint8_t>(seconds), text);
        EXPECT_EQ(ReadTimeField(text), seconds) << text;
    }
}

const SettingEntry& Row(const char* name) {
    for (const SettingEntry& entry : kSettingTable) {
        if (std::string(entry.name) == name) return entry;
    }
    ADD_FAILURE() << "no row " << name;
    return kSettingTable[0];
}

TEST(StoredSettingValue, BadValuesTakeTheirDefault) {
    const std::uint8_t zero[] = {0};
    const std::uint8_t seven[] = {7, 9, 9, 9, 9, 9};
    const std::uint8_t sixty[] = {60};
    const struct {
        const char* name;
        bool readOk;
        const std::uint8_t* data;
        std::size_t length;
        int expected;
    } cases[] = {
        {"Clipboard", false, zero, 1, 1}, // query failed: missing or longer than 5 bytes
        {"Clipboard", true, zero, 0, 1},  // empty value
        {"Clipboard", true, seven, 6, 1}, // a reported length beyond the read buffer
        {"Clipboard", true, zero, 1, 0},
        {"Clipboard", true, seven, 5, 1}, // a five-byte value is not ours
        {"Clipboard", true, seven, 2, 1},
        {"SNK", false, seven, 1, 0},
        {"SNK", true, seven, 3, 0},
        {"SNK", true, seven, 1, 7},
        {"DockTime", true, zero, 1, 30}, // would dock the instant the dialog shows
        {"DockTime", true, sixty, 1, 60},
        {"DockTime", false, sixty, 1, 30},
        {"DecrTime", true, zero, 1, 0}, // 0 is a valid decrement delay
        {"DecrTime", false, zero, 1, 1},
        {"AutoDecr", true, zero, 1, 0},
        {"Return", true, nullptr, 1, 1},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(StoredSettingValue(Row(c.name), c.readOk, c.data, c.length), c.expected)
            << c.name << " readOk=" << c.readOk << " length=" << c.length;
    }
}

// Everything off, DockTime 45 and DecrTime 9: what a refused OK must keep.
Settings Stored() {
    return Settings{0, 0, 0, 0, 45, 0, 0, 9, 0};
}

// The form with the check boxes of `boxes` ticked and the two times typed.
OptionsForm Form(const Settings& boxes, const char* dock, const char* decr) {
    OptionsForm form = {};
    for (std::size_t row = 0; row < kSettingCount; ++row) {
        const SettingEntry& entry = kSettingTable[row];
        form.checked[row] = boxes.*entry.field != 0;
        const char* text = entry.field == &Settings::DockTime   ? dock
                           : entry.field == &Settings::DecrTime ? decr
                                                                : "";
        std::strncpy(form.text[row], text, kTimeFieldChars);
    }
    return form;
}

// Every check box on but SNK.
OptionsForm Form(const char* dock, const char* decr) {
    return Form(Settings{1, 1, 1, 1, 0, 0, 1, 0, 1}, dock, decr);
}

OptionsForm WithSnk(OptionsForm form, bool snk) {
    form.checked[&SettingRowOf(&Settings::SNK) - kSettingTable] = snk;
    return form;
}

bool Same(const Settings& a, const Settings& b) {
    return std::memcmp(&a, &b, sizeof a) == 0;
}

// Only a value that fits its stored byte is taken; nothing wraps; and a refused OK changes
// nothing at all, the check boxes read before the refusal included.
TEST(DecideOptionsOk, ARefusedTimeChangesNothing) {
    const struct {
        std::vector<const char*> dock;
        std::vector<const char*> decr;
        Message refusal;
    } groups[] = {
        {{"0", "", "abc", "-0"}, {"5", "256"}, Message::DockTimeMissing},
        {{"256", "300", "12345", "-1", "0300"}, {"5"}, Message::DockTimeRange},
        {{"30"}, {"256", "-1", "1000", "-255", "0999"}, Message::DecrTimeRange},
        {{"0001", "255"}, {"0", "255"}, Message::None},
    };
    for (const auto& group : groups) {
        for (const char* dock : group.dock) {
            for (const char* decr : group.decr) {
                SCOPED_TRACE(testing::Message() << dock << " / " << decr);
                const OptionsOkOutcome out =
                    DecideOptionsOk(Stored(), WithSnk(Form(dock, decr), true), true);
                EXPECT_EQ(out.refusal, group.refusal);
                if (group.refusal == Message::None) continue;
                EXPECT_TRUE(Same(Stored(), out.settings));
                EXPECT_EQ(Message::None, out.warning);
                EXPECT_FALSE(out.enrolSnk);
                EXPECT_FALSE(out.askReconfigure);
            }
        }
    }
}

TEST(DecideOptionsOk, TakesBothTimes) {
    const struct {
        const char* dock;
        const char* decr;
        int dockTime;
        int decrTime;
        bool warning;
    } cases[] = {
        {"1", "1", 1, 1, false},    {"255", "255", 255, 255, false}, {"30", "0", 30, 0, true},
        {"30", "abc", 30, 0, true}, {"30", "", 30, 0, true},         {"7s", "7s", 7, 7, false},
        {"+9", "-0", 9, 0, true},
    };
    for (const auto& c : cases) {
        const OptionsOkOutcome out = DecideOptionsOk(Stored(), Form(c.dock, c.decr), false);
        EXPECT_EQ(out.refusal, Message::None) << c.dock;
        EXPECT_EQ(out.settings.DockTime, c.dockTime) << c.dock;
        EXPECT_EQ(out.settings.DecrTime, c.decrTime) << c.decr;
        EXPECT_EQ(out.warning, c.warning ? Message::DecrTimeZero : Message::None) << c.decr;
        EXPECT_EQ(out.settings.AutoDecr, 1);
    }
}

TEST(DecideOptionsOk, FlagsFollowTheCheckBoxes) {
    Settings current = Stored();
    current.Clipboard = 5; // an outside edit: on, but not 1
    current.Return = 0;
    const OptionsOkOutcome out =
        DecideOptionsOk(current, Form(Settings{0, 1, 0, 0, 0, 0, 0, 0, 1}, "30", "1"), false);
    EXPECT_TRUE(Same(Settings{0, 1, 0, 0, 30, 0, 0, 1, 1}, out.settings));
}

TEST(DecideOptionsOk, SnkEnrolmentAndQuestion) {
    const struct {
        bool box;
        bool keysSaved;
        int snk;
        bool enrol;
        bool ask;
    } cases[] = {
        {true, false, 1, true, false},
        {true, true, 1, true, true},
        {false, true, 0, false, false},
        {false, false, 0, false, false},
    };
    for (const auto& c : cases) {
        Settings current = Stored();
        current.SNK = c.box ? 0 : 1;
        const OptionsOkOutcome out =
            DecideOptionsOk(current, WithSnk(Form("30", "1"), c.box), c.keysSaved);
        EXPECT_EQ(out.settings.SNK, c.snk);
        EXPECT_EQ(out.enrolSnk, c.enrol);
        EXPECT_EQ(out.askReconfigure, c.ask);
    }
}

} // namespace
