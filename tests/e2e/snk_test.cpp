// SNK: enrolment through Options, the stored record, responses, reconfiguring, bad records.
#include <gtest/gtest.h>

#include <string>

#include "resources/resource.h"
#include "tests/e2e/program.h"
#include "tests/e2e/registry.h"

namespace {

const char kReconfigure[] =
    "SNK keys are already saved in the registry\nWould you like to reconfigure SNK?";

struct SnkVector {
    const char* challenge;
    const char* response;
};

const SnkVector kResponses[] = {
    {kSnkChallenge, kSnkResponse},
    {"abc", "70fcb944"},
};

// Fills the enrolment in and confirms it; true once the dialog has gone.
bool Enrol(HWND enrol, const char* seed, const char* password) {
    if (!FillEnrolment(enrol, seed, password)) return false;
    PostClick(GetDlgItem(enrol, IDOK));
    return WaitForGone(enrol);
}

// Once Options has closed, SNK mode answers the vector's 1234 with `password`.
void ExpectTheVectorAnswered(const Program& program, const char* password) {
    ASSERT_TRUE(
        WaitUntil([&] { return FindDialog(program.processId, kOptionsCaption) == nullptr; }));
    ASSERT_TRUE(EnterSnkMode(program));
    const Outcome outcome = AnswerSnk(program, kSnkChallenge, password);
    EXPECT_EQ("", outcome.boxText);
    EXPECT_EQ(kSnkResponse, outcome.response);
}

struct Refusal {
    const char* seed;
    const char* password;
    const char* confirm;
    const char* text;
};

// Each row leaves the earlier fields empty or wrong, so only the first fault may be reported.
const Refusal kRefusals[] = {
    {"", "", "", "You must enter a seed value."},
    {"", kSnkPassword, kSnkPassword, "You must enter a seed value."},
    {kSnkSeed, "", "", "Please enter a password."},
    {kSnkSeed, "", kSnkPassword, "Please enter a password."},
    {kSnkSeed, kSnkPassword, "", "Please confirm the password."},
    {kSnkSeed, kSnkPassword, "Secret pw", "Passwords mismatch."},
};

TEST(Snk, EnrolmentThroughOptionsThenTheRadioAnswersTheVectors) {
    ScopedProgram run;
    const Program& program = run.program;
    ASSERT_TRUE(StartShown(&run.program));
    EXPECT_FALSE(IsEnabled(Control(program, IDC_SNK)));

    const HWND options = OpenOptionsWithButton(program);
    ASSERT_NE(nullptr, options);
    ASSERT_TRUE(Click(GetDlgItem(options, IDC_OPT_SNK)));
    PostClick(GetDlgItem(options, IDOK));
    const HWND enrol = WaitForDialog(program.processId, kSnkEnrolCaption);
    ASSERT_NE(nullptr, enrol);

    for (const Refusal& refusal : kRefusals) {
        SCOPED_TRACE(testing::Message() << "\"" << refusal.seed << "\" \"" << refusal.password
                                        << "\" \"" << refusal.confirm << "\"");
        ASSERT_TRUE(SetField(enrol, IDC_SNK_SEED, refusal.seed));
        ASSERT_TRUE(SetField(enrol, IDC_SNK_PASSWORD, refusal.password));
        ASSERT_TRUE(SetField(enrol, IDC_SNK_CONFIRM, refusal.confirm));
        EXPECT_EQ(refusal.text, PressForBoxText(enrol, IDOK, program.processId, "Error"));
        EXPECT_TRUE(IsWindowVisible(enrol)) << "a refusal closed the dialog";
        std::string record;
        EXPECT_FALSE(ReadRawValue("SNK-S", &record)) << "a refusal stored a record";
    }

    ASSERT_TRUE(Enrol(enrol, kSnkSeed, kSnkPassword));
    ASSERT_TRUE(WaitForGone(options));
    EXPECT_EQ(DescribeStored(SnkSettings(), kSnkRecordHex), DescribeKey());

    ASSERT_TRUE(EnterSnkMode(program));
    EXPECT_EQ("SNK Challange", Field(program, IDC_CHALLENGE_LABEL));
    EXPECT_EQ("SNK Response", Field(program, IDC_RESPONSE_LABEL));
    EXPECT_FALSE(IsEnabled(Control(program, IDC_COUNT)));
    for (const SnkVector& vector : kResponses) {
        SCOPED_TRACE(vector.challenge);
        const Outcome outcome = AnswerSnk(program, vector.challenge, kSnkPassword);
        EXPECT_EQ("", outcome.boxText);
        EXPECT_EQ(vector.response, outcome.response);
    }

    const Outcome wrong = AnswerSnk(program, kSnkChallenge, "secret PW");
    EXPECT_EQ("Error", wrong.boxCaption);
    EXPECT_EQ("Bad Password", wrong.boxText);
    EXPECT_EQ("", wrong.responseUnderBox) << "the last response stayed under the box";
    EXPECT_FALSE(wrong.copyUnderBox);
    EXPECT_TRUE(WaitUntil([&] { return Field(program, IDC_RESPONSE).empty(); }))
        << "a refused password left \"" << Field(program, IDC_RESPONSE) << "\" on show";

    // The record written in this run counts as saved: the next OK asks before overwriting it.
    const HWND again = OpenOptionsWithButton(program);
    ASSERT_NE(nullptr, again);
    const HWND question = PressForBox(again, IDOK, program.processId, "WARNING");
    ASSERT_NE(nullptr, question) << "no question before overwriting the record";
    EXPECT_EQ(kReconfigure, BoxText(question));
    ASSERT_TRUE(CloseBox(question, IDNO));
    ASSERT_TRUE(WaitForGone(again));
    EXPECT_EQ(DescribeStored(SnkSettings(), kSnkRecordHex), DescribeKey());
}

TEST(Snk, ReconfiguringAsksFirstAndNoKeepsTheRecord) {
    // A record present at start: the program knows keys are saved.
    ScopedProgram run;
    const Program& program = run.program;
    ASSERT_TRUE(StartProgramWith(SnkSettings(), &run.program, kSnkRecordHex));

    struct Answer {
        int button;
        bool enrols;
    };
    for (const Answer answer : {Answer{IDNO, false}, Answer{IDYES, true}}) {
        SCOPED_TRACE(answer.button == IDNO ? "No" : "Yes");
        ASSERT_TRUE(ForgetStoredSettings());
        const HWND options = OpenOptionsWithButton(program);
        ASSERT_NE(nullptr, options);
        ASSERT_TRUE(IsChecked(GetDlgItem(options, IDC_OPT_SNK)));
        const HWND question = PressForBox(options, IDOK, program.processId, "WARNING");
        ASSERT_NE(nullptr, question);
        EXPECT_EQ(kReconfigure, BoxText(question));
        ASSERT_TRUE(CloseBox(question, answer.button));
        if (answer.enrols) {
            const HWND enrol = WaitForDialog(program.processId, kSnkEnrolCaption);
            ASSERT_NE(nullptr, enrol);
            ASSERT_TRUE(CloseBox(enrol, IDCANCEL));
        } else {
            EXPECT_FALSE(WaitUntil(
                [&] { return FindDialog(program.processId, kSnkEnrolCaption) != nullptr; },
                kSettleMs))
                << "No opened the enrolment";
        }
        ASSERT_TRUE(WaitForGone(options));
        EXPECT_EQ(DescribeStored(SnkSettings(), kSnkRecordHex), DescribeKey());
    }

    // The record kept is the one that answers.
    ASSERT_NO_FATAL_FAILURE(ExpectTheVectorAnswered(program, kSnkPassword));

    // Switching SNK features off asks nothing and keeps the record.
    const HWND options = OpenOptionsWithButton(program);
    ASSERT_NE(nullptr, options);
    ASSERT_TRUE(Click(GetDlgItem(options, IDC_OPT_SNK)));
    PostClick(GetDlgItem(options, IDOK));
    ASSERT_TRUE(WaitForGone(options));
    EXPECT_EQ(nullptr, FindAnyBox(program)) << BoxText(FindAnyBox(program));
    EXPECT_EQ(DescribeStored(QuietSettings(), kSnkRecordHex), DescribeKey());

    // The SNK radio stays checked and the dialog in SNK mode; from the next show on the radio
    // is disabled, and Ok still answers with the record.
    for (bool shownAgain : {false, true}) {
        SCOPED_TRACE(shownAgain ? "shown again" : "Options closed");
        if (shownAgain) {
            ASSERT_TRUE(Click(program, IDC_CLOSE));
            ASSERT_TRUE(WaitUntil([&] { return IsDocked(program); }));
            ASSERT_TRUE(ShowFromTray(program));
            ASSERT_TRUE(Handled(program));
            EXPECT_FALSE(IsEnabled(Control(program, IDC_SNK)));
        }
        EXPECT_TRUE(IsChecked(Control(program, IDC_SNK)));
        EXPECT_EQ("SNK Challange", Field(program, IDC_CHALLENGE_LABEL));
        EXPECT_EQ("SNK Response", Field(program, IDC_RESPONSE_LABEL));
        EXPECT_FALSE(IsEnabled(Control(program, IDC_COUNT)));
        ASSERT_TRUE(Click(program, IDC_CLEARALL));
        EXPECT_EQ(kSnkResponse, AnswerSnk(program, kSnkChallenge, kSnkPassword).response);
    }
}

// Enrolment keeps the first 39 characters of the password; the main dialog reads up to 63.
TEST(Snk, APasswordOfFortyFiveCharactersTypedInFullAnswers) {
    const char kLong[] = "a pass phrase of forty-five characters, no le"; // 45 characters
    ScopedProgram run;
    const Program& program = run.program;
    ASSERT_TRUE(StartProgramWith(QuietSettings(), &run.program));
    const HWND enrol = OpenEnrolment(program);
    ASSERT_NE(nullptr, enrol);
    ASSERT_TRUE(Enrol(enrol, kSnkSeed, kLong));
    ExpectTheVectorAnswered(program, kLong);
}

// One mistyped seed must not replace a working record with one no password can open.
TEST(Snk, AMistypedSeedIsRefusedAndTheStoredRecordKept) {
    const std::string record = FromHex(kSnkRecordHex);
    ScopedProgram run;
    const Program& program = run.program;
    ASSERT_TRUE(StartProgramWith(SnkSettings(), &run.program, kSnkRecordHex));

    const HWND enrol = OpenEnrolment(program);
    ASSERT_NE(nullptr, enrol);
    for (const char* typo :
         {"123 045 377 000 111 222 333 0O1", "123 045 377 000 111 222 333",
          "123 045 377 000 111 222 333 001 7", "123 045 377 000 111 222 333 400"}) {
        SCOPED_TRACE(typo);
        ASSERT_TRUE(FillEnrolment(enrol, typo, "new password"));
        EXPECT_EQ("An SNK seed is eight groups of three octal digits separated by blanks,\n"
                  "such as 123 045 377 000 111 222 333 001.",
                  PressForBoxText(enrol, IDOK, program.processId, "Error"));
        EXPECT_TRUE(IsWindowVisible(enrol)) << "a refusal closed the dialog";
        std::string stored;
        ASSERT_TRUE(ReadRawValue("SNK-S", &stored));
        EXPECT_EQ(record, stored) << "the record was replaced";
    }
    ASSERT_TRUE(CloseBox(enrol, IDCANCEL));
    ExpectTheVectorAnswered(program, kSnkPassword);
}

struct BadRecord {
    const char* what;
    std::string bytes; // empty: no record at all
    const char* text;
};

TEST(Snk, BadRecordsAreReportedAndNothingIsLost) {
    const std::string good = FromHex(kSnkRecordHex);
    const BadRecord bad[] = {
        {"32 bytes", good + '\0', kSnkReadError},
        {"5 bytes", good.substr(0, 5), "Bad Password"},
        {"1 KB", std::string(1024, '\x5a'), kSnkReadError},
        {"missing", "", kSnkReadError},
    };
    ScopedProgram run;
    const Program& program = run.program;
    ASSERT_TRUE(StartProgramWith(SnkSettings(), &run.program));
    ASSERT_TRUE(EnterSnkMode(program));

    for (const BadRecord& record : bad) {
        SCOPED_TRACE(record.what);
        if (record.bytes.empty()) {
            ASSERT_TRUE(DeleteValue("SNK-S"));
        } else {
            ASSERT_TRUE(WriteRawValue("SNK-S", REG_BINARY, record.bytes));
        }
        const std::string before = DescribeKey();
        const Outcome outcome = AnswerSnk(program, kSnkChallenge, kSnkPassword);
        EXPECT_EQ("Error", outcome.boxCaption);
        EXPECT_EQ(record.text, outcome.boxText);
        EXPECT_TRUE(WaitUntil([&] { return Field(program, IDC_RESPONSE).empty(); }));
        EXPECT_EQ(before, DescribeKey()) << "the registry changed";
        ASSERT_TRUE(StillRunning(program));
    }

    // Still answering: the good record again, then a hash vector.
    ASSERT_TRUE(WriteRawValue("SNK-S", REG_BINARY, good));
    EXPECT_EQ(kSnkResponse, AnswerSnk(program, kSnkChallenge, kSnkPassword).response);
    ASSERT_TRUE(EnterChallenge(program, IDC_MD5, "99", "test", "This is a test."));
    EXPECT_EQ("BAIL TUFT BITS GANG CHEF THY", PressOk(program).response);
}

} // namespace
