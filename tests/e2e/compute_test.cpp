// Challenges typed into the main dialog: responses, input errors, field limits, modes, Clear All.
#include <gtest/gtest.h>

#include <algorithm>
#include <iterator>
#include <string>
#include <vector>

#include "resources/resource.h"
#include "tests/e2e/clipboard.h"
#include "tests/e2e/program.h"
#include "tests/e2e/registry.h"
#include "tests/unit/engine/data_file.h"

namespace {

struct Vector {
    int radio;
    std::string count;
    std::string seed;
    std::string passPhrase;
    std::string words;
};

// The RFC 2289 vectors but those of count 0, which the dialog refuses.
std::vector<Vector> Rfc2289Vectors() {
    std::vector<Vector> vectors;
    for (const Rfc2289Vector& v : ReadRfc2289Vectors())
        if (v.count != 0)
            vectors.push_back(
                {RadioFor(v.kind), std::to_string(v.count), v.seed, v.passPhrase, v.words});
    return vectors;
}
// Nine inputs at counts 0, 1 and 99.
constexpr size_t kCountedRfcVectors = 18;

// Seeds of 12 and 16 characters, hashed whole. Words from an independent implementation:
// Python's hashlib with its own fold and six-word coding over the RFC 1760 dictionary,
// checked first against the RFC vectors.
const Vector kLongSeeds[] = {
    {IDC_MD5, "99", "ke1234abcdef", "This is a test.", "CAN CHOW WALK CRUD RIM WAST"},
    {IDC_SHA1, "99", "ke1234abcdef", "This is a test.", "BLOC HUNT PIT MOT HORN NEE"},
    {IDC_MD5, "7", "abcdefghij012345", "This is a test.", "CAME RUSE CAW DEAN BLUE LILY"},
    {IDC_SHA1, "7", "abcdefghij012345", "This is a test.", "DAY LYRA DANK TOUR BOND TOWN"},
};

bool Enter(const Program& program, const Vector& vector) {
    return EnterChallenge(program, vector.radio, vector.count.c_str(), vector.seed.c_str(),
                          vector.passPhrase.c_str());
}

TEST(Compute, Rfc2289VectorsGiveTheSixWords) {
    ScopedProgram run;
    const Program& program = run.program;
    ASSERT_TRUE(StartShown(&run.program));
    EXPECT_FALSE(IsEnabled(Control(program, IDC_COPY))) << "Copy enabled before any response";
    std::vector<Vector> vectors = Rfc2289Vectors();
    ASSERT_EQ(kCountedRfcVectors, vectors.size()) << "the vector file was not read whole";
    vectors.insert(vectors.end(), std::begin(kLongSeeds), std::end(kLongSeeds));

    for (const Vector& vector : vectors) {
        SCOPED_TRACE(testing::Message() << vector.radio << " " << vector.count << " " << vector.seed
                                        << " / " << vector.passPhrase);
        ASSERT_TRUE(Enter(program, vector));
        const Outcome outcome = PressOk(program);
        EXPECT_EQ("", outcome.boxText);
        EXPECT_EQ(vector.words, outcome.response);
        EXPECT_TRUE(IsEnabled(Control(program, IDC_COPY)));
    }
}

const char kCountTooLong[] = "Invalid input: Iteration count too long\n (At most 9 digits)";
const char kSeedTooLong[] = "Invalid input: Seed too long\n (At most 16 characters)";
const char kPassPhraseTooLong[] = "Invalid input: Password too long\n (At most 63 characters)";
const char kMd4TooLong[] =
    "Invalid input: Seed and password too long for MD4\n (At most 64 characters together)";

// Each field answers up to its limit: 9 digits of count, RFC 2289's 16 characters of seed, 63
// of pass phrase, and MD4 hashes 64 of seed and pass phrase together. Past it, words for the
// text cut to fit would be words the server refuses. The words at each limit are Heimdal's
// otpprint's, or Python's hashlib with its own fold and coding.
struct FieldLimit {
    const char* what;
    int field;
    int radio;
    const char* count;
    std::string seed;
    std::string passPhrase;
    const char* words;
    std::string atLimit;
    char more; // what a longer text is made of
    const char* refusal;
    const char* pastedRefusal; // a paste of 10000 characters
};

const FieldLimit kFieldLimits[] = {
    {"count", IDC_COUNT, IDC_MD5, "000000099", "test", "This is a test.",
     "BAIL TUFT BITS GANG CHEF THY", "000000099", '9', kCountTooLong, kCountTooLong},
    {"seed", IDC_SEED, IDC_MD5, "7", "abcdefghij012345", "This is a test.",
     "CAME RUSE CAW DEAN BLUE LILY", "abcdefghij012345", 'X', kSeedTooLong, kSeedTooLong},
    {"pass phrase", IDC_PASSPHRASE, IDC_SHA1, "1", "test", std::string(63, 'W'),
     "COP BOLD BELL TUBA ANNE YE", std::string(63, 'W'), 'W', kPassPhraseTooLong,
     kPassPhraseTooLong},
    {"MD4's seed and pass phrase", IDC_PASSPHRASE, IDC_MD4, "1", "abcdefghij012345",
     std::string(48, 'W'), "NAVY BULB DATA VOTE MOO RAID", std::string(48, 'W'), 'W', kMd4TooLong,
     kPassPhraseTooLong},
};

// WM_GETTEXTLENGTH: the whole length, however long the text.
size_t TextLength(HWND window) {
    DWORD_PTR length = 0;
    return SendMessageTimeoutA(window, WM_GETTEXTLENGTH, 0, 0, SMTO_ABORTIFHUNG, kWaitMs,
                               &length) != 0
               ? length
               : 0;
}

TEST(Compute, EachFieldAnswersItsLimitAndOkRefusesALongerTextHoweverItCameIn) {
    ScopedProgram run;
    const Program& program = run.program;
    ASSERT_TRUE(StartShown(&run.program));
    for (const FieldLimit& limit : kFieldLimits) {
        SCOPED_TRACE(limit.what);
        const HWND edit = Control(program, limit.field);

        // At the limit, answered.
        ASSERT_TRUE(EnterChallenge(program, limit.radio, limit.count, limit.seed.c_str(),
                                   limit.passPhrase.c_str()));
        const Outcome answered = PressOk(program);
        EXPECT_EQ("", answered.boxText);
        EXPECT_EQ(limit.words, answered.response);

        // Typed key by key, as a password manager types: seven more go in whole, and are refused.
        const std::string typed = limit.atLimit + std::string(7, limit.more);
        ASSERT_TRUE(SetText(edit, ""));
        for (const char c : typed)
            TypeChar(edit, c);
        EXPECT_TRUE(WaitUntil([&] { return Text(edit) == typed; }))
            << "took " << Text(edit).size() << " of " << typed.size();
        EXPECT_EQ(limit.refusal,
                  PressForBoxText(program.dialog, IDC_COMPUTE, program.processId, "Input Error"));
        EXPECT_TRUE(NoResponseLeft(program));

        // Pasted: it goes in whole, not cut to fit, and is refused.
        const std::string pasted(10000, limit.more);
        ASSERT_TRUE(PutClipboardText(pasted.c_str()));
        ASSERT_TRUE(SetText(edit, ""));
        TypeChar(edit, '\x16'); // Ctrl+V
        EXPECT_TRUE(WaitUntil([&] { return TextLength(edit) == pasted.size(); }))
            << "took " << TextLength(edit) << " characters";
        EXPECT_EQ(limit.pastedRefusal,
                  PressForBoxText(program.dialog, IDC_COMPUTE, program.processId, "Input Error"));
        EXPECT_TRUE(NoResponseLeft(program));
        ASSERT_TRUE(SetText(edit, ""));
    }
}

struct InputErrorCase {
    const char* what;
    const char* count;
    const char* seed;
    const char* passPhrase;
    const char* text;
};

const char kBadCount[] = "Invalid input: Bad iteration count\n (Value must be greater than zero)";
const char kBadSeed[] =
    "Invalid input: Bad seed\n (Please enter the seed value presented by the remote system)";
const char kBadPassword[] = "Invalid input: Bad password\n (Please enter your secret password)";

const InputErrorCase kInputErrors[] = {
    {"everything empty", "", "", "", kBadPassword},
    {"empty pass phrase wins over bad count and seed", "0", "", "", kBadPassword},
    {"empty pass phrase", "7", "test", "", kBadPassword},
    {"empty seed wins over empty count", "", "", "secret", kBadSeed},
    {"empty seed", "7", "", "secret", kBadSeed},
    {"count 0", "0", "test", "secret", kBadCount},
    {"empty count", "", "test", "secret", kBadCount},
    {"negative count", "-3", "test", "secret", kBadCount},
    {"count starting with a letter", "x5", "test", "secret", kBadCount},
};

TEST(Compute, InputErrorsInPriorityOrderThenNoStaleResponse) {
    ScopedProgram run;
    const Program& program = run.program;
    ASSERT_TRUE(StartShown(&run.program));
    const std::vector<Vector> vectors = Rfc2289Vectors();
    ASSERT_FALSE(vectors.empty());

    size_t next = 0;
    for (const InputErrorCase& error : kInputErrors) {
        SCOPED_TRACE(error.what);
        // A response on show first, so that the error has one to take away.
        const Vector& vector = vectors[next++ % vectors.size()];
        ASSERT_TRUE(Enter(program, vector));
        ASSERT_EQ(vector.words, PressOk(program).response);
        ASSERT_TRUE(IsEnabled(Control(program, IDC_COPY)));

        ASSERT_TRUE(SetField(program, IDC_COUNT, error.count));
        ASSERT_TRUE(SetField(program, IDC_SEED, error.seed));
        ASSERT_TRUE(SetField(program, IDC_PASSPHRASE, error.passPhrase));
        PostClick(program, IDC_COMPUTE);
        const HWND box = WaitForDialog(program.processId, "Input Error");
        ASSERT_NE(nullptr, box);
        EXPECT_EQ(error.text, BoxText(box));
        ASSERT_TRUE(CloseBox(box, IDOK));
        EXPECT_FALSE(WaitUntil([&] { return FindAnyBox(program) != nullptr; }, kSettleMs))
            << "a second box: " << BoxText(FindAnyBox(program));
        EXPECT_TRUE(NoResponseLeft(program));
    }
}

void ExpectSKeyMode(const Program& program) {
    EXPECT_EQ("S/Key Challange", Field(program, IDC_CHALLENGE_LABEL));
    EXPECT_EQ("S/Key Response", Field(program, IDC_RESPONSE_LABEL));
    EXPECT_TRUE(IsEnabled(Control(program, IDC_COUNT)));
}

TEST(Modes, SnkRadioIsDisabledWhileTheSnkSettingIsOff) {
    ScopedProgram run;
    const Program& program = run.program;
    ASSERT_TRUE(StartShown(&run.program));
    EXPECT_FALSE(IsEnabled(Control(program, IDC_SNK)));
    EXPECT_TRUE(IsChecked(Control(program, IDC_MD4)));
    ExpectSKeyMode(program);
}

TEST(Modes, HashRadiosRestoreTheSKeyMode) {
    Settings settings = QuietSettings();
    settings.SNK = 1;
    ScopedProgram run;
    const Program& program = run.program;
    ASSERT_TRUE(StartShown(&run.program, settings));
    ASSERT_TRUE(WaitUntil([&] { return IsEnabled(Control(program, IDC_SNK)); }))
        << "SNK radio disabled with the SNK setting on";

    for (int radio : {IDC_MD5, IDC_MD4, IDC_SHA1}) {
        SCOPED_TRACE(radio);
        ASSERT_TRUE(Click(program, IDC_SNK));
        EXPECT_EQ("SNK Challange", Field(program, IDC_CHALLENGE_LABEL));
        EXPECT_EQ("SNK Response", Field(program, IDC_RESPONSE_LABEL));
        EXPECT_FALSE(IsEnabled(Control(program, IDC_COUNT)));

        ASSERT_TRUE(Click(program, radio));
        EXPECT_TRUE(IsChecked(Control(program, radio)));
        ExpectSKeyMode(program);
    }
}

TEST(ClearAll, EmptiesTheFourFieldsAndKeepsCopy) {
    ScopedProgram run;
    const Program& program = run.program;
    ASSERT_TRUE(StartShown(&run.program));
    const Vector& vector = kLongSeeds[0];
    ASSERT_TRUE(Enter(program, vector));
    ASSERT_EQ(vector.words, PressOk(program).response);

    ASSERT_TRUE(Click(program, IDC_CLEARALL));
    for (int field : {IDC_RESPONSE, IDC_SEED, IDC_PASSPHRASE, IDC_COUNT}) {
        SCOPED_TRACE(field);
        EXPECT_EQ("", Field(program, field));
    }
    EXPECT_TRUE(IsEnabled(Control(program, IDC_COPY)));
}

} // namespace
