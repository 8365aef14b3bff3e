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

// Ok pressed and handled (a box would hold the click up, and is reported); the response field.
std::string OkResponse(const Program& program, int radio, const char* count,
                       const std::string& seed, const std::string& passPhrase) {
    if (!EnterChallenge(program, radio, count, seed.c_str(), passPhrase.c_str()) ||
        !Click(program, IDC_COMPUTE))
        return "<box> " + BoxText(FindAnyBox(program));
    return Field(program, IDC_RESPONSE);
}

// MD4 hashes at most 64 bytes of seed and pass phrase together: past that, no words and no box.
TEST(Compute, Md4PastSixtyFourBytesGivesNoWords) {
    ScopedProgram run;
    const Program& program = run.program;
    ASSERT_TRUE(StartShown(&run.program));
    const std::string seed16 = "abcdefghij012345";
    const std::string pass63(63, 'W');

    const std::string words63 = OkResponse(program, IDC_SHA1, "1", "test", pass63);
    EXPECT_NE(words63, OkResponse(program, IDC_SHA1, "1", "test", pass63.substr(0, 62)));

    EXPECT_NE("", OkResponse(program, IDC_MD4, "1", seed16, std::string(48, 'W')));
    EXPECT_EQ("", OkResponse(program, IDC_MD4, "1", seed16, std::string(49, 'W')));
    EXPECT_FALSE(IsEnabled(Control(program, IDC_COPY)));
}

const char kCountTooLong[] = "Invalid input: Iteration count too long\n (At most 9 digits)";
const char kSeedTooLong[] = "Invalid input: Seed too long\n (At most 16 characters)";
const char kPassPhraseTooLong[] = "Invalid input: Password too long\n (At most 63 characters)";

// Each field answers up to its limit: 9 digits of count, RFC 2289's 16 characters of seed, 63
// of pass phrase. Past it, words for the text cut to fit would be words the server refuses.
struct FieldLimit {
    const char* what;
    int field;
    int radio;
    const char* count;
    std::string seed;
    std::string passPhrase;
    const char* words; // "" where no independent implementation gave them
    std::string atLimit;
    char more; // one character past the limit, and what a long paste is made of
    const char* refusal;
};

const FieldLimit kFieldLimits[] = {
    {"count", IDC_COUNT, IDC_MD5, "000000099", "test", "This is a test.",
     "BAIL TUFT BITS GANG CHEF THY", "000000099", '9', kCountTooLong},
    {"seed", IDC_SEED, IDC_MD5, "7", "abcdefghij012345", "This is a test.",
     "CAME RUSE CAW DEAN BLUE LILY", "abcdefghij012345", 'X', kSeedTooLong},
    {"pass phrase", IDC_PASSPHRASE, IDC_SHA1, "1", "test", std::string(63, 'W'), "",
     std::string(63, 'W'), 'W', kPassPhraseTooLong},
};

// WM_GETTEXTLENGTH: the whole length, however long the text.
size_t TextLength(HWND window) {
    DWORD_PTR length = 0;
    return SendMessageTimeoutA(window, WM_GETTEXTLENGTH, 0, 0, SMTO_ABORTIFHUNG, kWaitMs,
                               &length) != 0
               ? length
               : 0;
}

// The failed Ok: no response left to copy.
void ExpectNoResponse(const Program& program) {
    EXPECT_TRUE(WaitUntil([&] {
        return Field(program, IDC_RESPONSE).empty() && !IsEnabled(Control(program, IDC_COPY));
    })) << "response \""
        << Field(program, IDC_RESPONSE) << "\", Copy " << IsEnabled(Control(program, IDC_COPY));
}

TEST(Compute, EachFieldAnswersItsLimitAndOkRefusesALongerTextHoweverItCameIn) {
    ScopedProgram run;
    const Program& program = run.program;
    ASSERT_TRUE(StartShown(&run.program));
    for (const FieldLimit& limit : kFieldLimits) {
        SCOPED_TRACE(limit.what);
        const HWND edit = Control(program, limit.field);
        const std::string longer = limit.atLimit + limit.more;

        // Typed key by key, as a user types: typing stops at the limit.
        ASSERT_TRUE(EnterChallenge(program, limit.radio, limit.count, limit.seed.c_str(),
                                   limit.passPhrase.c_str()));
        ASSERT_TRUE(SetText(edit, ""));
        for (const char c : longer)
            TypeChar(edit, c);
        EXPECT_TRUE(WaitUntil([&] { return Text(edit) == limit.atLimit; }));
        EXPECT_FALSE(WaitUntil([&] { return Text(edit) != limit.atLimit; }, kSettleMs))
            << "took \"" << Text(edit) << "\"";

        // At the limit, answered.
        ASSERT_TRUE(SetText(edit, limit.atLimit.c_str()));
        const Outcome answered = PressOk(program);
        EXPECT_EQ("", answered.boxText);
        if (limit.words[0] != '\0') {
            EXPECT_EQ(limit.words, answered.response);
        } else {
            EXPECT_EQ(5, std::count(answered.response.begin(), answered.response.end(), ' '));
        }

        // Written by a program: refused, and the last response goes.
        ASSERT_TRUE(SetText(edit, longer.c_str()));
        EXPECT_EQ(limit.refusal,
                  PressForBoxText(program.dialog, IDC_COMPUTE, program.processId, "Input Error"));
        ExpectNoResponse(program);

        // Pasted: it goes in whole, not cut to fit, and is refused.
        const std::string pasted(10000, limit.more);
        ASSERT_TRUE(PutClipboardText(pasted.c_str()));
        ASSERT_TRUE(SetText(edit, ""));
        TypeChar(edit, '\x16'); // Ctrl+V
        EXPECT_TRUE(WaitUntil([&] { return TextLength(edit) == pasted.size(); }))
            << "took " << TextLength(edit) << " characters";
        EXPECT_EQ(limit.refusal,
                  PressForBoxText(program.dialog, IDC_COMPUTE, program.processId, "Input Error"));
        ExpectNoResponse(program);
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
        ExpectNoResponse(program);
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
