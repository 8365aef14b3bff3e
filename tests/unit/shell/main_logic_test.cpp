#include "shell/logic/main_logic.h"

#include <climits>
#include <cstring>
#include <string>

#include <gtest/gtest.h>

namespace {

Settings With(unsigned char autoDecr, unsigned char decrTime) {
    Settings s{};
    s.AutoDecr = autoDecr;
    s.DecrTime = decrTime;
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

constexpr std::optional<HashKind> kMd5 = HashKind::MD5;
constexpr std::optional<HashKind> kMd4 = HashKind::MD4;
constexpr std::optional<HashKind> kSnk = HashKind::SNK;
constexpr std::optional<HashKind> kNoRadio = std::nullopt;

TEST(CheckOkFields, LastFailingCheckDecides) {
    struct Case {
        std::optional<HashKind> kind;
        const char* count;
        const char* seed;
        const char* pass;
        Message error;
    } const cases[] = {
        {kMd5, "99", "test", "pass", Message::None},
        {kMd5, "", "", "", Message::NoPassPhrase},
        {kMd5, "0", "", "pass", Message::NoSeed},
        {kMd5, "abc", "", "pass", Message::NoSeed},
        {kMd5, "", "test", "pass", Message::BadCount},
        {kMd5, "0", "test", "pass", Message::BadCount},
        {kMd5, "-4", "test", "pass", Message::BadCount},
        {kMd5, "x1", "test", "pass", Message::BadCount},
        {kMd5, " ", "test", "pass", Message::BadCount},
        {kMd5, "1", "test", "", Message::NoPassPhrase},
        {kMd5, "1", "", "", Message::NoPassPhrase},
        {kMd5, " 3", "test", "pass", Message::None},
        {kMd5, "1abc", "s", "p", Message::None},
        // With no radio checked the count is still checked; nothing is computed after.
        {kNoRadio, "", "test", "pass", Message::BadCount},
        // The count field plays no part in SNK mode.
        {kSnk, "", "12345678", "pw", Message::None},
        {kSnk, "0", "12345678", "pw", Message::None},
        {kSnk, "", "", "pw", Message::NoSeed},
        {kSnk, "", "", "", Message::NoPassPhrase},
    };
    for (const Case& c : cases)
        EXPECT_EQ(CheckOkFields(c.kind, c.count, c.seed, c.pass), c.error)
            << c.kind.has_value() << " '" << c.count << "' '" << c.seed << "' '" << c.pass << "'";
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
        std::optional<HashKind> kind;
        std::string count;
        std::string seed;
        std::string pass;
        Message error;
    } const cases[] = {
        {kMd5, count9, seed16, pass63, Message::None},
        {kMd5, count10, "test", "pass", Message::CountTooLong},
        {kMd5, "0000000001", "test", "pass", Message::CountTooLong},
        {kMd5, "99", seed17, "pass", Message::SeedTooLong},
        {kMd5, "99", std::string(40, 's'), "pass", Message::SeedTooLong},
        {kMd5, "99", "test", pass64, Message::PassPhraseTooLong},
        {kMd5, "99", "test", std::string(10000, 'p'), Message::PassPhraseTooLong},
        // The last failing one decides, as for the errors above.
        {kMd5, count10, seed17, "pass", Message::SeedTooLong},
        {kMd5, count10, seed17, pass64, Message::PassPhraseTooLong},
        // An empty or bad field is still reported first.
        {kMd5, count10, "", "pass", Message::NoSeed},
        {kMd5, "0", seed17, "pass", Message::BadCount},
        {kMd5, count10, seed17, "", Message::NoPassPhrase},
        // MD4 hashes at most 64 characters of seed and pass phrase together; it is asked last.
        {kMd4, "99", seed16, std::string(48, 'p'), Message::None},
        {kMd4, "99", seed16, std::string(49, 'p'), Message::Md4TooLong},
        {kMd4, "99", "s", pass63, Message::None},
        {kMd4, "99", "se", pass63, Message::Md4TooLong},
        {kMd5, "99", seed16, pass63, Message::None},
        {kMd4, "99", seed17, std::string(48, 'p'), Message::SeedTooLong},
        {kMd4, "99", "s", pass64, Message::PassPhraseTooLong},
        {kMd4, "0", seed16, pass63, Message::BadCount},
        // In SNK mode the challenge counts by its first eight characters and the password by
        // the 39 that enrolment keeps: nothing is cut there that was not cut at enrolment.
        {kSnk, count10, seed17, pass64, Message::None},
    };
    for (const Case& c : cases)
        EXPECT_EQ(CheckOkFields(c.kind, c.count.c_str(), c.seed.c_str(), c.pass.c_str()), c.error)
            << c.kind.has_value() << " " << c.count.size() << "/" << c.seed.size() << "/"
            << c.pass.size();
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
            CheckOkFields(kMd5, read.count, read.seed, read.passPhrase) == Message::None;
        EXPECT_EQ(extra == 0, accepted) << extra;
    }
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

TEST(RunsOnWorker, OnlyOtpCountsAboveThePress) {
    struct Case {
        std::optional<HashKind> kind;
        std::uint32_t count;
        bool worker;
    } const cases[] = {
        {kMd5, 1, false},
        {kMd5, kLongestCountInPress, false},
        {kMd5, kLongestCountInPress + 1, true},
        {kMd4, kLongestCountInPress + 1, true},
        {HashKind::SHA1, 999999999, true},
        {kSnk, 999999999, false},
        {kNoRadio, 999999999, false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(RunsOnWorker(c.kind, c.count), c.worker) << c.kind.has_value() << ' ' << c.count;
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
    const OkFields base = {HashKind::MD5, "999999999", "test", "This is a test."};
    OkFields same = base;
    EXPECT_TRUE(SameOkFields(base, same));
    OkFields kind = base, count = base, seed = base, pass = base;
    kind.kind = HashKind::SHA1;
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
