// SNK: enrolment through Options, the stored record, responses, reconfiguring, bad records.
#include <gtest/gtest.h>

#include <string>

#include "resources/resource.h"
#include "tests/e2e/more_harness.h"

namespace {

const char kSnkCaption[] = "SNK Seed & Password";
const char kSeed[] = "123 045 377 000 111 222 333 001";
const char kPassword[] = "secret pw";
// The seed above encrypted under the password: the SNK core's vector.
const char kRecordHex[] = "3c6f106582fef2265483c468c9da85b8ea3d318ae4e06fba38e378083c475c";
const char kRegistryError[] = "Error reading registry.\nPlease restart the application.";

struct SnkVector {
    const char* challenge;
    const char* response;
};

const SnkVector kResponses[] = {
    {"1234", "342436fe"},
    {"abc", "70fcb944"},
};

Settings WithSnk() {
    Settings settings = QuietSettings();
    settings.SNK = 1;
    return settings;
}

// Shows the dialog (WM_SHOWMAIN enables the SNK radio) and selects SNK mode. Showing posts the
// command that re-applies the previous mode; the click is posted behind it, once the program
// has finished showing, so that it is not undone.
bool EnterSnkMode(const Program& program) {
    if (!ShowFromTray(program) ||
        !WaitUntil([&] { return IsEnabled(Control(program, IDC_SNK)); }) || !Handled(program))
        return false;
    PostClick(program, IDC_SNK);
    return WaitUntil([&] {
        return IsChecked(Control(program, IDC_SNK)) &&
               Field(program, IDC_CHALLENGE_LABEL) == "SNK Challange";
    });
}

Outcome SnkResponse(const Program& program, const char* challenge, const char* password) {
    if (!SetField(program, IDC_SEED, challenge) || !SetField(program, IDC_PASSPHRASE, password))
        return Outcome{"<fields not set>", "", ""};
    return PressOk(program);
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
    {"", kPassword, kPassword, "You must enter a seed value."},
    {kSeed, "", "", "Please enter a password."},
    {kSeed, "", kPassword, "Please enter a password."},
    {kSeed, kPassword, "", "Please confirm the password."},
    {kSeed, kPassword, "Secret pw", "Passwords mismatch."},
};

TEST(Snk, EnrolmentThroughOptionsThenTheRadioAnswersTheVectors) {
    ScopedProgram run;
    const Program& program = run.program;
    ASSERT_TRUE(StartProgramWith(QuietSettings(), &run.program));
    ASSERT_TRUE(ShowFromTray(program));
    EXPECT_FALSE(IsEnabled(Control(program, IDC_SNK)));

    const HWND options = OpenOptionsWithButton(program);
    ASSERT_NE(nullptr, options);
    ASSERT_TRUE(Click(GetDlgItem(options, IDC_OPT_SNK)));
    PostClick(GetDlgItem(options, IDOK));
    const HWND enrol = WaitForDialog(program.processId, kSnkCaption);
    ASSERT_NE(nullptr, enrol);

    for (const Refusal& refusal : kRefusals) {
        SCOPED_TRACE(testing::Message() << "\"" << refusal.seed << "\" \"" << refusal.password
                                        << "\" \"" << refusal.confirm << "\"");
        ASSERT_TRUE(SetDialogField(enrol, IDC_SNK_SEED, refusal.seed));
        ASSERT_TRUE(SetDialogField(enrol, IDC_SNK_PASSWORD, refusal.password));
        ASSERT_TRUE(SetDialogField(enrol, IDC_SNK_CONFIRM, refusal.confirm));
        const HWND box = PressForBox(enrol, IDOK, program.processId, "Error");
        ASSERT_NE(nullptr, box);
        EXPECT_EQ(refusal.text, BoxText(box));
        ASSERT_TRUE(CloseBox(box, IDOK));
        EXPECT_TRUE(IsWindowVisible(enrol)) << "a refusal closed the dialog";
        std::string record;
        DWORD type = 0;
        EXPECT_FALSE(ReadRawValue("SNK-S", &record, &type)) << "a refusal stored a record";
    }

    ASSERT_TRUE(SetDialogField(enrol, IDC_SNK_SEED, kSeed));
    ASSERT_TRUE(SetDialogField(enrol, IDC_SNK_PASSWORD, kPassword));
    ASSERT_TRUE(SetDialogField(enrol, IDC_SNK_CONFIRM, kPassword));
    PostClick(GetDlgItem(enrol, IDOK));
    ASSERT_TRUE(WaitForGone(enrol));
    ASSERT_TRUE(WaitForGone(options));
    EXPECT_EQ(DescribeStored(WithSnk(), kRecordHex), DescribeKey());

    ASSERT_TRUE(EnterSnkMode(program));
    EXPECT_EQ("SNK Challange", Field(program, IDC_CHALLENGE_LABEL));
    EXPECT_EQ("SNK Response", Field(program, IDC_RESPONSE_LABEL));
    EXPECT_FALSE(IsEnabled(Control(program, IDC_COUNT)));
    for (const SnkVector& vector : kResponses) {
        SCOPED_TRACE(vector.challenge);
        const Outcome outcome = SnkResponse(program, vector.challenge, kPassword);
        EXPECT_EQ("", outcome.boxText);
        EXPECT_EQ(vector.response, outcome.response);
    }

    const Outcome wrong = SnkResponse(program, "1234", "secret PW");
    EXPECT_EQ("Error", wrong.boxCaption);
    EXPECT_EQ("Bad Password", wrong.boxText);
    EXPECT_TRUE(WaitUntil([&] { return Field(program, IDC_RESPONSE).empty(); }))
        << "a refused password left \"" << Field(program, IDC_RESPONSE) << "\" on show";
}

TEST(Snk, ReconfiguringAsksFirstAndNoKeepsTheRecord) {
    // A record present at start: the program knows keys are saved.
    KillRunningInstances();
    ASSERT_TRUE(DeleteSettingsKey());
    ASSERT_TRUE(WriteSettings(WithSnk()));
    const std::string record = FromHex(kRecordHex);
    ASSERT_TRUE(WriteRawValue("SNK-S", REG_BINARY, record.data(), record.size()));
    ScopedProgram run;
    const Program& program = run.program;
    ASSERT_TRUE(StartProgram(&run.program));

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
        EXPECT_EQ("SNK keys are already saved in the registry\nWould you like to reconfigure SNK?",
                  BoxText(question));
        ASSERT_TRUE(CloseBox(question, answer.button));
        if (answer.enrols) {
            const HWND enrol = WaitForDialog(program.processId, kSnkCaption);
            ASSERT_NE(nullptr, enrol);
            ASSERT_TRUE(CloseBox(enrol, IDCANCEL));
        } else {
            EXPECT_FALSE(WaitUntil(
                [&] { return FindDialog(program.processId, kSnkCaption) != nullptr; }, kSettleMs))
                << "No opened the enrolment";
        }
        ASSERT_TRUE(WaitForGone(options));
        EXPECT_EQ(DescribeStored(WithSnk(), kRecordHex), DescribeKey());
    }

    // The record kept is the one that answers.
    ASSERT_TRUE(EnterSnkMode(program));
    const Outcome outcome = SnkResponse(program, "1234", kPassword);
    EXPECT_EQ("", outcome.boxText);
    EXPECT_EQ("342436fe", outcome.response);

    // Switching SNK features off asks nothing and keeps the record.
    const HWND options = OpenOptionsWithButton(program);
    ASSERT_NE(nullptr, options);
    ASSERT_TRUE(Click(GetDlgItem(options, IDC_OPT_SNK)));
    PostClick(GetDlgItem(options, IDOK));
    ASSERT_TRUE(WaitForGone(options));
    EXPECT_EQ(nullptr, FindAnyBox(program)) << BoxText(FindAnyBox(program));
    EXPECT_EQ(DescribeStored(QuietSettings(), kRecordHex), DescribeKey());
}

// Opens the enrolment from Options with SNK features on, answering Yes when asked to
// reconfigure; null when it did not come up.
HWND OpenEnrolment(const Program& program) {
    const HWND options = OpenOptionsWithButton(program);
    if (options == nullptr) return nullptr;
    if (!IsChecked(GetDlgItem(options, IDC_OPT_SNK)) && !Click(GetDlgItem(options, IDC_OPT_SNK)))
        return nullptr;
    PostClick(GetDlgItem(options, IDOK));
    HWND found = nullptr;
    WaitUntil([&] {
        const HWND question = FindDialog(program.processId, "WARNING");
        if (question != nullptr) CloseBox(question, IDYES);
        return (found = FindDialog(program.processId, kSnkCaption)) != nullptr;
    });
    return found;
}

bool FillEnrolment(HWND enrol, const char* seed, const char* password) {
    return SetDialogField(enrol, IDC_SNK_SEED, seed) &&
           SetDialogField(enrol, IDC_SNK_PASSWORD, password) &&
           SetDialogField(enrol, IDC_SNK_CONFIRM, password);
}

// Enrolment keeps the first 39 characters of the password; the main dialog reads up to 63.
TEST(Snk, APasswordOfFortyFiveCharactersTypedInFullAnswers) {
    const char kLong[] = "a pass phrase of forty-five characters, no le"; // 45 characters
    ScopedProgram run;
    const Program& program = run.program;
    ASSERT_TRUE(StartProgramWith(QuietSettings(), &run.program));
    const HWND enrol = OpenEnrolment(program);
    ASSERT_NE(nullptr, enrol);
    ASSERT_TRUE(FillEnrolment(enrol, kSeed, kLong));
    PostClick(GetDlgItem(enrol, IDOK));
    ASSERT_TRUE(WaitForGone(enrol));
    ASSERT_TRUE(
        WaitUntil([&] { return FindDialog(program.processId, kOptionsCaption) == nullptr; }));

    ASSERT_TRUE(EnterSnkMode(program));
    const Outcome outcome = SnkResponse(program, "1234", kLong);
    EXPECT_EQ("", outcome.boxText);
    EXPECT_EQ("342436fe", outcome.response);
}

// One mistyped seed must not replace a working record with one no password can open.
TEST(Snk, AMistypedSeedIsRefusedAndTheStoredRecordKept) {
    KillRunningInstances();
    ASSERT_TRUE(DeleteSettingsKey());
    ASSERT_TRUE(WriteSettings(WithSnk()));
    const std::string record = FromHex(kRecordHex);
    ASSERT_TRUE(WriteRawValue("SNK-S", REG_BINARY, record.data(), record.size()));
    ScopedProgram run;
    const Program& program = run.program;
    ASSERT_TRUE(StartProgram(&run.program));

    const HWND enrol = OpenEnrolment(program);
    ASSERT_NE(nullptr, enrol);
    for (const char* typo :
         {"123 045 377 000 111 222 333 0O1", "123 045 377 000 111 222 333",
          "123 045 377 000 111 222 333 001 7", "123 045 377 000 111 222 333 400"}) {
        SCOPED_TRACE(typo);
        ASSERT_TRUE(FillEnrolment(enrol, typo, "new password"));
        const HWND box = PressForBox(enrol, IDOK, program.processId, "Error");
        ASSERT_NE(nullptr, box);
        EXPECT_EQ("An SNK seed is eight groups of three octal digits separated by blanks,\n"
                  "such as 123 045 377 000 111 222 333 001.",
                  BoxText(box));
        ASSERT_TRUE(CloseBox(box, IDOK));
        EXPECT_TRUE(IsWindowVisible(enrol)) << "a refusal closed the dialog";
        std::string stored;
        DWORD type = 0;
        ASSERT_TRUE(ReadRawValue("SNK-S", &stored, &type));
        EXPECT_EQ(record, stored) << "the record was replaced";
    }
    ASSERT_TRUE(CloseBox(enrol, IDCANCEL));
    ASSERT_TRUE(
        WaitUntil([&] { return FindDialog(program.processId, kOptionsCaption) == nullptr; }));

    ASSERT_TRUE(EnterSnkMode(program));
    const Outcome outcome = SnkResponse(program, "1234", kPassword);
    EXPECT_EQ("", outcome.boxText);
    EXPECT_EQ("342436fe", outcome.response);
}

struct BadRecord {
    const char* what;
    std::string bytes; // empty: no record at all
    const char* text;
};

TEST(Snk, BadRecordsAreReportedAndNothingIsLost) {
    const std::string good = FromHex(kRecordHex);
    const BadRecord bad[] = {
        {"32 bytes", good + '\0', kRegistryError},
        {"5 bytes", good.substr(0, 5), "Bad Password"},
        {"1 KB", std::string(1024, '\x5a'), kRegistryError},
        {"missing", "", kRegistryError},
    };
    ScopedProgram run;
    const Program& program = run.program;
    ASSERT_TRUE(StartProgramWith(WithSnk(), &run.program));
    ASSERT_TRUE(EnterSnkMode(program));

    for (const BadRecord& record : bad) {
        SCOPED_TRACE(record.what);
        if (record.bytes.empty()) {
            ASSERT_TRUE(DeleteValue("SNK-S"));
        } else {
            ASSERT_TRUE(WriteRawValue("SNK-S", REG_BINARY, record.bytes.data(),
                                      static_cast<DWORD>(record.bytes.size())));
        }
        const std::string before = DescribeKey();
        const Outcome outcome = SnkResponse(program, "1234", kPassword);
        EXPECT_EQ("Error", outcome.boxCaption);
        EXPECT_EQ(record.text, outcome.boxText);
        EXPECT_TRUE(WaitUntil([&] { return Field(program, IDC_RESPONSE).empty(); }));
        EXPECT_EQ(before, DescribeKey()) << "the registry changed";
        DWORD code = 0;
        ASSERT_FALSE(WaitForExit(program.process, 0, &code)) << "ended with " << code;
    }

    // Still answering: the good record again, then a hash vector.
    ASSERT_TRUE(WriteRawValue("SNK-S", REG_BINARY, good.data(), static_cast<DWORD>(good.size())));
    EXPECT_EQ("342436fe", SnkResponse(program, "1234", kPassword).response);
    ASSERT_TRUE(EnterChallenge(program, IDC_MD5, "99", "test", "This is a test."));
    EXPECT_EQ("BAIL TUFT BITS GANG CHEF THY", PressOk(program).response);
}

} // namespace
