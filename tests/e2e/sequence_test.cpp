// The life of a sequence: the guards before an answer, the List and Renew dialogs, and what is
// remembered in the registry, read there as anyone could.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "engine/otp.h"
#include "engine/otp_value.h"
#include "resources/resource.h"
#include "tests/e2e/clipboard.h"
#include "tests/e2e/program.h"
#include "tests/e2e/registry.h"

namespace {

const char kPassPhrase[] = "This is a test.";
const Settings kGuarded = QuietSettingsWith(&Settings::Guard);

// The engine's words and hexadecimal for MD5, as the program must show them.
std::string Words(std::uint32_t count, const char* seed, const char* passPhrase = kPassPhrase) {
    char words[kResponseSize] = {};
    ComputeOtp(HashKind::MD5, count, seed, passPhrase, words);
    return words;
}

std::string Hex(std::uint32_t count, const char* seed) {
    std::uint8_t value[8];
    ComputeOtpValue(HashKind::MD5, count, seed, kPassPhrase, value);
    char text[24];
    std::snprintf(text, sizeof text, "%02x%02x %02x%02x %02x%02x %02x%02x", value[0], value[1],
                  value[2], value[3], value[4], value[5], value[6], value[7]);
    return text;
}

// A remembered sequence as the registry holds it: count, then 16 bits, then the use,
// little-endian; "<none>" when there is no such value.
std::string Stored(const char* name) {
    std::string bytes;
    if (!ReadSequence(name, &bytes)) return "<none>";
    std::string hex;
    char digits[3];
    for (unsigned char byte : bytes) {
        std::snprintf(digits, sizeof digits, "%02x", byte);
        hex += digits;
    }
    return hex;
}

// A press of `button` whose guard asks: each Warning box's text, answered in turn.
std::string AnswerGuard(const Program& program, int button, std::initializer_list<int> answers) {
    PostClick(program, button);
    std::string texts;
    for (const int answer : answers) {
        const HWND box = WaitForDialog(program.processId, "Warning");
        if (box == nullptr) return texts + "<no box>";
        texts += BoxText(box) + "|";
        if (!CloseBox(box, answer)) return texts + "<box stayed>";
    }
    return texts;
}

bool Has(const std::string& text, const char* part) {
    return text.find(part) != std::string::npos;
}

// Right and wrong pass phrases, a low count, a restart between, and the option off.
TEST(Sequence, TheGuardsCatchAMistypedPassPhraseAndALowCountUntilSwitchedOff) {
    ScopedProgram run;
    ASSERT_TRUE(StartShown(&run.program, kGuarded));
    ASSERT_TRUE(EnterChallenge(run.program, IDC_MD5, "99", "test", kPassPhrase));
    EXPECT_EQ("BAIL TUFT BITS GANG CHEF THY", PressOk(run.program).response);
    // Count 99, the first 16 bits of RFC 2289's value 50FE1962C4965880, the first use.
    EXPECT_EQ("63000000fe5001000000", Stored("otp-md5 test"));

    ASSERT_TRUE(EnterChallenge(run.program, IDC_MD5, "98", "TEST", "This is a test!"));
    const std::string mistyped = AnswerGuard(run.program, IDC_COMPUTE, {IDNO});
    EXPECT_TRUE(Has(mistyped, "otp-md5 test") && Has(mistyped, "count 99") &&
                Has(mistyped, "Caps Lock") && Has(mistyped, "Show the response anyway?"))
        << mistyped;
    EXPECT_TRUE(NoResponseLeft(run.program));
    EXPECT_EQ("63000000fe5001000000", Stored("otp-md5 test")) << "a refused answer was kept";
    ASSERT_TRUE(SetField(run.program, IDC_PASSPHRASE, kPassPhrase));
    EXPECT_EQ(Words(98, "test"), PressOk(run.program).response);

    // A fake server's low count, after a restart: the sequence is still known.
    StopProgram(&run.program);
    ASSERT_TRUE(StartProgram(&run.program) && ShowFromTray(run.program));
    ASSERT_TRUE(EnterChallenge(run.program, IDC_MD5, "50", "test", kPassPhrase));
    const std::string low = AnswerGuard(run.program, IDC_COMPUTE, {IDYES});
    EXPECT_TRUE(Has(low, "count 50, but the next count expected for otp-md5 test is 97") &&
                Has(low, "every response from count 50 up"))
        << low;
    EXPECT_EQ(Words(50, "test"), WaitForWords(run.program, kWaitMs));
    const std::string at50 = Stored("otp-md5 test");
    EXPECT_EQ("32000000", at50.substr(0, 8));

    // Off: no box, and what is stored stays.
    StopProgram(&run.program);
    ASSERT_TRUE(WriteStoredSettings(QuietSettings()));
    ASSERT_TRUE(StartProgram(&run.program) && ShowFromTray(run.program));
    ASSERT_TRUE(EnterChallenge(run.program, IDC_MD5, "10", "test", "This is a test!"));
    const Outcome off = PressOk(run.program);
    EXPECT_EQ("", off.boxText);
    EXPECT_EQ(Words(10, "test", "This is a test!"), off.response);
    EXPECT_EQ(at50, Stored("otp-md5 test"));
}

std::string ListOf(std::uint32_t high, std::uint32_t low, const char* seed, bool hex) {
    std::string list;
    for (std::uint32_t count = high; count >= low; --count)
        list +=
            std::to_string(count) + ": " + (hex ? Hex(count, seed) : Words(count, seed)) + "\r\n";
    return list;
}

TEST(Sequence, TheListShowsTheResponsesAheadInWordsOrHexAndCopiesThem) {
    ScopedProgram run;
    ASSERT_TRUE(StartShown(&run.program, kGuarded));
    ASSERT_TRUE(EnterChallenge(run.program, IDC_MD5, "99", "TeSt", kPassPhrase));
    PostClick(run.program, IDC_LIST);
    const HWND list = WaitForDialog(run.program.processId, "OTP List");
    ASSERT_NE(nullptr, list);
    const HWND text = GetDlgItem(list, IDC_LIST_TEXT);
    EXPECT_EQ(ListOf(99, 90, "test", false), Text(text));
    EXPECT_EQ(0u, Text(text).find("99: BAIL TUFT BITS GANG CHEF THY\r\n")); // RFC 2289
    EXPECT_EQ("5a000000", Stored("otp-md5 test").substr(0, 8)) << "count 90 listed";

    // Never below count 1.
    ASSERT_TRUE(SetField(list, IDC_LIST_LENGTH, "100"));
    ASSERT_TRUE(Click(GetDlgItem(list, IDC_LIST_HEX)));
    EXPECT_EQ(ListOf(99, 1, "test", true), Text(text));
    EXPECT_EQ(0u, Text(text).find("99: 50fe 1962 c496 5880\r\n"));
    // Count 1 and 16 bits of RFC 2289's value 7965E05436F5029F.
    EXPECT_EQ("010000006579", Stored("otp-md5 test").substr(0, 12));

    ASSERT_TRUE(SetField(list, IDC_LIST_LENGTH, "0"));
    EXPECT_TRUE(Has(Text(text), "1 to 100"));
    EXPECT_FALSE(IsEnabled(GetDlgItem(list, IDC_LIST_COPY)));
    EXPECT_FALSE(IsEnabled(GetDlgItem(list, IDC_LIST_PRINT)));

    ASSERT_TRUE(SetField(list, IDC_LIST_LENGTH, "3"));
    ASSERT_TRUE(Click(GetDlgItem(list, IDC_LIST_COPY)));
    std::string copied;
    DWORD history = 1, cloud = 1;
    EXPECT_TRUE(ClipboardText(&copied));
    EXPECT_EQ(ListOf(99, 97, "test", true), copied);
    EXPECT_TRUE(ClipboardFormatDword("CanIncludeInClipboardHistory", &history) && history == 0);
    EXPECT_TRUE(ClipboardFormatDword("CanUploadToCloudClipboard", &cloud) && cloud == 0);
    EXPECT_TRUE(CloseBox(list, IDCANCEL));
}

// RFC 2444's example: the renewal of otp-md5 499 ke1234 to ke1235, keeping the pass phrase.
TEST(Sequence, RenewalPutsTheLineInTheResponseReadyForCopy) {
    const struct {
        const char* copied;
        bool hex;
        const char* line;
    } kRenewals[] = {
        {"otp-md5 499 ke1234 ext", false,
         "init-word:BOND FOGY DRAB NE RISE MART:md5 499 ke1235:RED HERD NOW BEAN PA BURG"},
        {"otp-md5 499 ke1234", true, "init-hex:5bf075d9959d036f:md5 499 ke1235:3712dcb4aa5316c1"},
    };
    ScopedProgram run;
    Settings settings = kGuarded;
    settings.Clipboard = 1;
    ASSERT_TRUE(StartProgramWith(settings, &run.program));
    for (const auto& renewal : kRenewals) {
        SCOPED_TRACE(renewal.copied);
        ASSERT_TRUE(PutClipboardText(renewal.copied));
        ASSERT_TRUE(WaitUntil([&] { return IsShown(run.program); }));
        ASSERT_TRUE(SetField(run.program, IDC_PASSPHRASE, kPassPhrase));
        PostClick(run.program, IDC_RENEW);
        const HWND renew = WaitForDialog(run.program.processId, "OTP Renewal");
        ASSERT_NE(nullptr, renew);
        EXPECT_EQ("ke1235", Text(GetDlgItem(renew, IDC_RENEW_SEED)));
        EXPECT_EQ("499", Text(GetDlgItem(renew, IDC_RENEW_COUNT)));
        EXPECT_EQ(!renewal.hex, !IsWindowVisible(GetDlgItem(renew, IDC_RENEW_NOTE)))
            << "the warning of a server without ext";
        ASSERT_TRUE(SetField(renew, IDC_RENEW_PASSPHRASE, "too short"));
        ASSERT_TRUE(SetField(renew, IDC_RENEW_CONFIRM, "too short"));
        EXPECT_EQ("Invalid input: New pass phrase too short\n (At least 10 characters)",
                  PressForBoxText(renew, IDOK, run.program.processId, "Input Error"));
        ASSERT_TRUE(SetField(renew, IDC_RENEW_PASSPHRASE, ""));
        ASSERT_TRUE(SetField(renew, IDC_RENEW_CONFIRM, ""));
        if (renewal.hex) {
            ASSERT_TRUE(Click(GetDlgItem(renew, IDC_RENEW_HEX)));
        }
        PostClick(GetDlgItem(renew, IDOK));
        ASSERT_TRUE(WaitForGone(renew));
        EXPECT_TRUE(WaitUntil([&] { return Field(run.program, IDC_RESPONSE) == renewal.line; }))
            << Field(run.program, IDC_RESPONSE);
        ASSERT_TRUE(Click(run.program, IDC_COPY));
        std::string copied;
        EXPECT_TRUE(ClipboardText(&copied) && copied == renewal.line) << copied;
        // The new sequence at its count, with 16 bits of its response 3712DCB4AA5316C1.
        EXPECT_EQ("f30100001237", Stored("otp-md5 ke1235").substr(0, 12));
    }
}

} // namespace
