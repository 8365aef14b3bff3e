#include "shell/logic/main_logic.h"

#include <climits>
#include <cstring>
#include <string>

#include <gtest/gtest.h>

#include "resources/resource.h"

namespace {

Settings With(unsigned char autoDecr, unsigned char decrTime, unsigned char autoDock = 0,
              unsigned char dockTime = 0, unsigned char snk = 0) {
    Settings s{};
    s.AutoDecr = autoDecr;
    s.DecrTime = decrTime;
    s.AutoDock = autoDock;
    s.DockTime = dockTime;
    s.SNK = snk;
    return s;
}

TEST(ReadCount, ReadsLikeTheCRuntime) {
    struct Case {
        const char* text;
        long value;
    } const cases[] = {
        {"", 0},
        {"0", 0},
        {"1", 1},
        {"99", 99},
        {"  42", 42},
        {"\t\n\v\f\r7", 7},
        {"+5", 5},
        {"-3", -3},
        {"7x", 7},
        {"x7", 0},
        {"- 5", 0},
        {"+-5", 0},
        {"00012", 12},
        {"999999999", 999999999L},
        {"12 34", 12},
        {"99999999999999999999999", LONG_MAX},
        {"-99999999999999999999999", -LONG_MAX},
        {"5\r", 5},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ReadCount(c.text), c.value) << '"' << c.text << '"';
}

TEST(CheckOkFields, LastFailingCheckDecides) {
    struct Case {
        bool snk;
        const char* count;
        const char* seed;
        const char* pass;
        Message error;
    } const cases[] = {
        {false, "99", "test", "pass", Message::None},
        {false, "", "", "", Message::NoPassPhrase},
        {false, "0", "", "pass", Message::NoSeed},
        {false, "abc", "", "pass", Message::NoSeed},
        {false, "", "test", "pass", Message::BadCount},
        {false, "0", "test", "pass", Message::BadCount},
        {false, "-4", "test", "pass", Message::BadCount},
        {false, "x1", "test", "pass", Message::BadCount},
        {false, " ", "test", "pass", Message::BadCount},
        {false, "1", "test", "", Message::NoPassPhrase},
        {false, "1", "", "", Message::NoPassPhrase},
        {false, " 3", "test", "pass", Message::None},
        {false, "1abc", "s", "p", Message::None},
        // The count field plays no part in SNK mode.
        {true, "", "12345678", "pw", Message::None},
        {true, "0", "12345678", "pw", Message::None},
        {true, "", "", "pw", Message::NoSeed},
        {true, "", "", "", Message::NoPassPhrase},
    };
    for (const Case& c : cases)
        EXPECT_EQ(CheckOkFields(c.snk, c.count, c.seed, c.pass), c.error)
            << c.snk << " '" << c.count << "' '" << c.seed << "' '" << c.pass << "'";
}

// A text one past its field's limit is refused, never answered cut. The limits are RFC 2289's
// 16-character seed, 9 digits of count and 63 characters of pass phrase.
TEST(CheckOkFields, TooLongTextsAreRefusedAfterTheOtherErrors) {
    const std::string count9(9, '9');
    const std::string seed16(16, 's');
    const std::string pass63(63, 'p');
    const std::string count10 = count9 + "9";
    const std::string seed17 = seed16 + "s";
    const std::string pass64 = pass63 + "p";
    struct Case {
        bool snk;
        std::string count;
        std::string seed;
        std::string pass;
        Message error;
    } const cases[] = {
        {false, count9, seed16, pass63, Message::None},
        {false, count10, "test", "pass", Message::CountTooLong},
        {false, "0000000001", "test", "pass", Message::CountTooLong},
        {false, "99", seed17, "pass", Message::SeedTooLong},
        {false, "99", std::string(40, 's'), "pass", Message::SeedTooLong},
        {false, "99", "test", pass64, Message::PassPhraseTooLong},
        {false, "99", "test", std::string(10000, 'p'), Message::PassPhraseTooLong},
        // The last failing one decides, as for the errors above.
        {false, count10, seed17, "pass", Message::SeedTooLong},
        {false, count10, seed17, pass64, Message::PassPhraseTooLong},
        // An empty or bad field is still reported first.
        {false, count10, "", "pass", Message::NoSeed},
        {false, "0", seed17, "pass", Message::BadCount},
        {false, count10, seed17, "", Message::NoPassPhrase},
        // In SNK mode the challenge counts by its first eight characters and the password by
        // the 39 that enrolment keeps: nothing is cut there that was not cut at enrolment.
        {true, count10, seed17, pass64, Message::None},
    };
    for (const Case& c : cases)
        EXPECT_EQ(CheckOkFields(c.snk, c.count.c_str(), c.seed.c_str(), c.pass.c_str()), c.error)
            << c.snk << " " << c.count.size() << "/" << c.seed.size() << "/" << c.pass.size();
}

TEST(FieldLimitOf, NamesTheLimitOfEachTooLongRefusal) {
    EXPECT_EQ(9u, FieldLimitOf(Message::CountTooLong));
    EXPECT_EQ(16u, FieldLimitOf(Message::SeedTooLong));
    EXPECT_EQ(63u, FieldLimitOf(Message::PassPhraseTooLong));
    EXPECT_EQ(0u, FieldLimitOf(Message::NoSeed));
}

// Whatever a field holds, the read buffer shows it whole or shows it too long: a text the
// buffer cut is never accepted.
TEST(CheckOkFields, NoTextCutByTheReadBufferIsAccepted) {
    for (std::size_t extra = 0; extra < 4; ++extra) {
        const std::string count(kCountLimit + extra, '1');
        const std::string seed(kSeedLimit + extra, 's');
        const std::string pass(kPassPhraseLimit + extra, 'p');
        OkFields read = {};
        std::strncpy(read.count, count.c_str(), sizeof read.count - 1);
        std::strncpy(read.seed, seed.c_str(), sizeof read.seed - 1);
        std::strncpy(read.passPhrase, pass.c_str(), sizeof read.passPhrase - 1);
        const bool accepted =
            CheckOkFields(false, read.count, read.seed, read.passPhrase) == Message::None;
        EXPECT_EQ(extra == 0, accepted) << extra;
    }
}

TEST(ChooseComputation, TestsSnkThenMd5Md4Sha1) {
    struct Case {
        RadioState radios;
        Computation computation;
    } const cases[] = {
        {{false, false, false, false}, Computation::None},
        {{true, false, false, false}, Computation::Md5},
        {{false, true, false, false}, Computation::Md4},
        {{false, false, true, false}, Computation::Sha1},
        {{false, false, false, true}, Computation::Snk},
        {{true, true, true, true}, Computation::Snk},
        {{true, true, true, false}, Computation::Md5},
        {{false, true, true, false}, Computation::Md4},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ChooseComputation(c.radios), c.computation);
}

TEST(OkOutcomeFor, DecrementFollowsOnlyAProducedResponse) {
    struct Case {
        bool computed;
        Settings settings;
        bool show;
        bool timer;
        unsigned interval;
    } const cases[] = {
        {true, With(1, 1), true, true, 1000},    {true, With(1, 255), true, true, 255000},
        {true, With(1, 0), true, true, 0},       {true, With(0, 5), true, false, 5000},
        {true, With(7, 2), true, true, 2000}, // any non-zero byte is on
        {false, With(1, 1), false, false, 1000}, {false, With(0, 1), false, false, 1000},
    };
    for (const Case& c : cases) {
        const OkOutcome outcome = OkOutcomeFor(c.computed, c.settings);
        EXPECT_EQ(outcome.showResponse, c.show);
        EXPECT_EQ(outcome.startDecrTimer, c.timer);
        if (outcome.startDecrTimer) {
            EXPECT_EQ(outcome.decrIntervalMs, c.interval);
        }
    }
}

TEST(DecrTimerExpiry, ActsAndStopsOnlyWithAutoDecrOn) {
    EXPECT_FALSE(DecrTimerExpiry(With(0, 1)).lowerCount);
    EXPECT_FALSE(DecrTimerExpiry(With(0, 1)).stopTimer);
    EXPECT_TRUE(DecrTimerExpiry(With(1, 1)).lowerCount);
    EXPECT_TRUE(DecrTimerExpiry(With(1, 1)).stopTimer);
    EXPECT_TRUE(DecrTimerExpiry(With(0x80, 1)).lowerCount);
}

TEST(LowerCount, WritesOneLessOrLeavesTheField) {
    struct Case {
        const char* text;
        const char* written; // nullptr: the field keeps its text
    } const cases[] = {
        {"1", "0"},
        {"0", nullptr},
        {"", nullptr},
        {"100", "99"},
        {"  10", "9"},
        {"+2", "1"},
        {"007", "6"},
        {"5abc", "4"},
        {"abc", nullptr},
        {"-1", nullptr},
        {"999999999", "999999998"},
        // Longer than a count Ok answers: lowering a cut count would rewrite the field wrongly.
        {"1000000000", nullptr},
        {"0000000005", nullptr},
    };
    for (const Case& c : cases) {
        char out[kCountTextSize] = {};
        const bool writes = LowerCount(c.text, out);
        EXPECT_EQ(writes, c.written != nullptr) << c.text;
        if (writes && c.written) {
            EXPECT_STREQ(out, c.written) << c.text;
        }
    }
}

TEST(LowerCount, AnOverlongCountLeavesTheBufferUntouched) {
    char out[kCountTextSize];
    std::memset(out, 'z', sizeof out);
    EXPECT_FALSE(LowerCount("99999999999999999999999", out));
    for (const char c : out)
        ASSERT_EQ('z', c);
}

TEST(RadioCommandEffectFor, HashRadiosRestoreSkeyModeAndSnkNeedsTheSetting) {
    struct Case {
        unsigned id;
        bool snkSetting;
        bool apply;
        bool countEnabled;
        const char* challenge;
        const char* response;
        HashKind remembered;
    } const cases[] = {
        {IDC_MD5, false, true, true, "S/Key Challange", "S/Key Response", HashKind::MD5},
        {IDC_MD4, true, true, true, "S/Key Challange", "S/Key Response", HashKind::MD4},
        {IDC_SHA1, false, true, true, "S/Key Challange", "S/Key Response", HashKind::SHA1},
        {IDC_SNK, true, true, false, "SNK Challange", "SNK Response", HashKind::SNK},
        {IDC_SNK, false, false, false, "SNK Challange", "SNK Response", HashKind::SNK},
    };
    for (const Case& c : cases) {
        const RadioCommandEffect effect = RadioCommandEffectFor(c.id, c.snkSetting);
        EXPECT_EQ(effect.applyMode, c.apply) << c.id;
        EXPECT_EQ(effect.remembered, c.remembered) << c.id;
        if (!effect.applyMode) continue;
        EXPECT_EQ(effect.mode.countEnabled, c.countEnabled) << c.id;
        EXPECT_STREQ(effect.mode.challengeLabel, c.challenge) << c.id;
        EXPECT_STREQ(effect.mode.responseLabel, c.response) << c.id;
    }
}

TEST(ShowPlanFor, FollowsAutoDockAndSnk) {
    const ShowPlan off = ShowPlanFor(Settings{}, HashKind::MD4);
    EXPECT_FALSE(off.startDockTimer);
    EXPECT_FALSE(off.snkRadioEnabled);

    const ShowPlan on = ShowPlanFor(With(0, 0, 1, 30, 1), HashKind::MD4);
    EXPECT_TRUE(on.startDockTimer);
    EXPECT_EQ(on.dockIntervalMs, 30000u);
    EXPECT_TRUE(on.snkRadioEnabled);

    EXPECT_EQ(ShowPlanFor(With(0, 0, 2, 255, 0), HashKind::MD4).dockIntervalMs, 255000u);
}

TEST(RunsOnWorker, OnlyOtpCountsAboveThePress) {
    struct Case {
        Computation computation;
        std::uint32_t count;
        bool worker;
    } const cases[] = {
        {Computation::Md5, 1, false},
        {Computation::Md5, kLongestCountInPress, false},
        {Computation::Md5, kLongestCountInPress + 1, true},
        {Computation::Md4, kLongestCountInPress + 1, true},
        {Computation::Sha1, 999999999, true},
        {Computation::Snk, 999999999, false},
        {Computation::None, 999999999, false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(RunsOnWorker(c.computation, c.count), c.worker)
            << static_cast<int>(c.computation) << ' ' << c.count;
}

TEST(FormatProgress, RoundsDownWithoutOverflow) {
    struct Case {
        std::uint32_t done;
        std::uint32_t total;
        const char* text;
    } const cases[] = {
        {0, 999999999, "0 %"},
        {9999999, 999999999, "0 %"},
        {10000000, 999999999, "1 %"},
        {370000000, 999999999, "37 %"},
        // done * 100 no longer fits 32 bits.
        {999999998, 999999999, "99 %"},
        {999999999, 999999999, "100 %"},
        {4294967295u, 4294967295u, "100 %"},
        {5, 0, "0 %"},
    };
    for (const Case& c : cases) {
        char text[kProgressTextSize];
        std::memset(text, 'x', sizeof text);
        FormatProgress(c.done, c.total, text);
        EXPECT_STREQ(c.text, text) << c.done << '/' << c.total;
    }
}

TEST(SameOkFields, AnyFieldOrTheKindMakesADifference) {
    const OkFields base = {Computation::Md5, "999999999", "test", "This is a test."};
    OkFields same = base;
    EXPECT_TRUE(SameOkFields(base, same));
    OkFields kind = base, count = base, seed = base, pass = base;
    kind.computation = Computation::Sha1;
    std::strcpy(count.count, "99999999");
    std::strcpy(seed.seed, "Test");
    std::strcpy(pass.passPhrase, "This is a test");
    for (const OkFields* changed : {&kind, &count, &seed, &pass})
        EXPECT_FALSE(SameOkFields(base, *changed));
    // Bytes after a text's end are no part of it.
    std::memset(same.seed + 5, 'z', sizeof same.seed - 6);
    EXPECT_TRUE(SameOkFields(base, same));
}

} // namespace
