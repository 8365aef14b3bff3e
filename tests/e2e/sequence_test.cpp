// The life of a sequence: the guards before an answer, the List and Renew dialogs, and what is
// remembered in the registry, read there as anyone could.
#include <gtest/gtest.h>

#include <string>

#include "engine/otp.h"
#include "resources/resource.h"
#include "tests/e2e/clipboard.h"
#include "tests/e2e/program.h"
#include "tests/e2e/registry.h"

namespace {

const char kPassPhrase[] = "This is a test.";
const Settings kGuarded = QuietSettingsWith(&Settings::Guard);

std::string Words(std::uint32_t count, const char* passPhrase = kPassPhrase) {
    char words[kResponseSize] = {};
    ComputeOtp(HashKind::MD5, count, "test", passPhrase, words);
    return words;
}

// As the registry holds it: the count, 16 bits of its response and the use, little-endian.
std::string Stored(const char* name, size_t length = 10) {
    std::string bytes;
    return ReadSequence(name, &bytes) ? bytes.substr(0, length) : "<none>";
}

// Ok, and the guard's box that must come: its text, answered with `answer`.
std::string AnswerGuard(const Program& program, int answer) {
    const HWND box = PressForBox(program.dialog, IDC_COMPUTE, program.processId, "Warning");
    const std::string text = box != nullptr ? BoxText(box) : "<no box>";
    return box != nullptr && CloseBox(box, answer) ? text : text + "<box stayed>";
}

bool Has(const std::string& text, const char* part) {
    return text.find(part) != std::string::npos;
}

// Right and wrong pass phrases, a low count, a restart between, and the option off.
TEST(Sequence, TheGuardsCatchAMistypedPassPhraseAndALowCountUntilSwitchedOff) {
    ScopedProgram run;
    const auto restart = [&run] {
        StopProgram(&run.program);
        return StartProgram(&run.program) && ShowFromTray(run.program);
    };
    ASSERT_TRUE(StartShown(&run.program, kGuarded));
    ASSERT_TRUE(EnterChallenge(run.program, IDC_MD5, "99", "test", kPassPhrase));
    EXPECT_EQ("BAIL TUFT BITS GANG CHEF THY", PressOk(run.program).response);
    // Count 99, the first 16 bits of RFC 2289's value 50FE1962C4965880, the first use.
    const std::string at99 = FromHex("63000000fe5001000000");
    EXPECT_EQ(at99, Stored("otp-md5 test"));

    ASSERT_TRUE(EnterChallenge(run.program, IDC_MD5, "98", "TEST", "This is a test!"));
    const std::string mistyped = AnswerGuard(run.program, IDNO);
    EXPECT_TRUE(Has(mistyped, "otp-md5 test that count 99") && Has(mistyped, "Caps Lock") &&
                Has(mistyped, "Show the response anyway?"))
        << mistyped;
    EXPECT_TRUE(NoResponseLeft(run.program));
    EXPECT_EQ(at99, Stored("otp-md5 test")) << "a refused answer was kept";
    ASSERT_TRUE(SetField(run.program, IDC_PASSPHRASE, kPassPhrase));
    EXPECT_EQ(Words(98), PressOk(run.program).response);

    // A fake server's low count, after a restart: the sequence is still known.
    ASSERT_TRUE(restart());
    ASSERT_TRUE(EnterChallenge(run.program, IDC_MD5, "50", "test", kPassPhrase));
    const std::string low = AnswerGuard(run.program, IDYES);
    EXPECT_TRUE(Has(low, "count 50, but the next count expected for otp-md5 test is 97") &&
                Has(low, "every response from count 50 up"))
        << low;
    EXPECT_EQ(Words(50), WaitForWords(run.program, kWaitMs));
    const std::string at50 = Stored("otp-md5 test");
    EXPECT_EQ(FromHex("32000000"), at50.substr(0, 4));

    // Off: no box, and what is stored stays.
    ASSERT_TRUE(WriteStoredSettings(QuietSettings()) && restart());
    ASSERT_TRUE(EnterChallenge(run.program, IDC_MD5, "10", "test", "This is a test!"));
    const Outcome off = PressOk(run.program);
    EXPECT_EQ("", off.boxText);
    EXPECT_EQ(Words(10, "This is a test!"), off.response);
    EXPECT_EQ(at50, Stored("otp-md5 test"));
}

// Words against the engine, hexadecimal against RFC 2289's values at counts 99 and 1.
TEST(Sequence, TheListShowsTheResponsesAheadInWordsOrHexAndCopiesThem) {
    ScopedProgram run;
    ASSERT_TRUE(StartShown(&run.program, kGuarded));
    ASSERT_TRUE(EnterChallenge(run.program, IDC_MD5, "99", "TeSt", kPassPhrase));
    const HWND list = PressForBox(run.program.dialog, IDC_LIST, run.program.processId, "OTP List");
    ASSERT_NE(nullptr, list);
    const HWND text = GetDlgItem(list, IDC_LIST_TEXT);
    std::string ten;
    for (std::uint32_t count = 99; count >= 90; --count)
        ten += std::to_string(count) + ": " + Words(count) + "\r\n";
    EXPECT_EQ(ten, Text(text));
    EXPECT_EQ(FromHex("5a000000"), Stored("otp-md5 test", 4)) << "count 90 listed";

    ASSERT_TRUE(SetField(list, IDC_LIST_LENGTH, "100"));
    ASSERT_TRUE(Click(GetDlgItem(list, IDC_LIST_HEX)));
    const std::string all = Text(text);
    EXPECT_EQ(0u, all.find("99: 50fe 1962 c496 5880\r\n98: "));
    EXPECT_EQ(all.size() - 26, all.find("\r\n1: 7965 e054 36f5 029f\r\n")) << "not down to 1";
    EXPECT_EQ(FromHex("010000006579"), Stored("otp-md5 test", 6));

    ASSERT_TRUE(SetField(list, IDC_LIST_LENGTH, "0"));
    EXPECT_TRUE(Has(Text(text), "1 to 100") && !IsEnabled(GetDlgItem(list, IDC_LIST_COPY)) &&
                !IsEnabled(GetDlgItem(list, IDC_LIST_PRINT)));

    ASSERT_TRUE(SetField(list, IDC_LIST_LENGTH, "2"));
    ASSERT_TRUE(Click(GetDlgItem(list, IDC_LIST_COPY)));
    std::string copied;
    DWORD history = 1, cloud = 1;
    EXPECT_TRUE(ClipboardText(&copied) && copied == all.substr(0, copied.size()) &&
                copied.size() == 50)
        << copied;
    EXPECT_TRUE(ClipboardFormatDword("CanIncludeInClipboardHistory", &history) &&
                ClipboardFormatDword("CanUploadToCloudClipboard", &cloud) && history + cloud == 0);
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
        const HWND renew =
            PressForBox(run.program.dialog, IDC_RENEW, run.program.processId, "OTP Renewal");
        ASSERT_NE(nullptr, renew);
        EXPECT_EQ("ke1235 499", Text(GetDlgItem(renew, IDC_RENEW_SEED)) + " " +
                                    Text(GetDlgItem(renew, IDC_RENEW_COUNT)));
        EXPECT_EQ(renewal.hex, IsWindowVisible(GetDlgItem(renew, IDC_RENEW_NOTE)) != FALSE)
            << "the warning of a server without ext";
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
        EXPECT_EQ(FromHex("f30100001237"), Stored("otp-md5 ke1235", 6));
    }
}

} // namespace
