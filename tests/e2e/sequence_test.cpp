// The life of a sequence: the guards before an answer, the List and Renew dialogs, and what is
// remembered in the registry, read there as the user and as a thief would.
#include <gtest/gtest.h>

#include <cctype>
#include <string>
#include <vector>

#include "engine/otp.h"
#include "resources/resource.h"
#include "tests/e2e/clipboard.h"
#include "tests/e2e/figures.h"
#include "tests/e2e/program.h"
#include "tests/e2e/registry.h"
#include "tests/e2e/sequence_writer.h"

namespace {

const char kPassPhrase[] = "This is a test.";
const Settings kGuarded = QuietSettingsWith(&Settings::Guard);

std::string Words(std::uint32_t count, const char* passPhrase = kPassPhrase) {
    char words[kResponseSize] = {};
    ComputeOtp(HashKind::MD5, count, "test", passPhrase, words);
    return words;
}

// What the memory holds of a sequence: "count/check/skipped" in hex, or "<none>".
std::string Remembered(const char* name) {
    SequenceMemory memory;
    const SequenceRecord* record =
        ReadSequenceMemory(&memory) ? FindSequence(memory, name) : nullptr;
    if (record == nullptr) return "<none>";
    char text[40];
    std::snprintf(text, sizeof text, "%x/%04x/%x", record->count, record->check, record->skipped);
    return text;
}

// Ok, and the guard's box that must come: its text, answered with `answer`.
std::string AnswerGuard(const Program& program, int answer) {
    const HWND box = PressForBox(program.dialog, IDC_COMPUTE, program.processId, "Warning");
    const std::string text = box != nullptr ? BoxText(box) : "<no box>";
    return box != nullptr && CloseBox(box, answer) ? text : text + "<box stayed>";
}

bool Has(const std::string& text, const std::string& part) {
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
    // Count 99 and the first 16 bits of RFC 2289's value 50FE1962C4965880.
    EXPECT_EQ("63/50fe/0", Remembered("otp-md5 test"));

    ASSERT_TRUE(EnterChallenge(run.program, IDC_MD5, "98", "TEST", "This is a test!"));
    const std::string mistyped = AnswerGuard(run.program, IDNO);
    EXPECT_TRUE(Has(mistyped, "otp-md5 98 test\nThis pass phrase does not give the response that "
                              "count 99 gave before") &&
                Has(mistyped, "Caps Lock") && Has(mistyped, "Show the response anyway?"))
        << mistyped;
    EXPECT_TRUE(NoResponseLeft(run.program));
    EXPECT_EQ("63/50fe/0", Remembered("otp-md5 test")) << "a refused answer was kept";
    ASSERT_TRUE(SetField(run.program, IDC_PASSPHRASE, kPassPhrase));
    EXPECT_EQ(Words(98), PressOk(run.program).response);

    // A fake server's low count, after a restart: the sequence is still known.
    ASSERT_TRUE(restart());
    ASSERT_TRUE(EnterChallenge(run.program, IDC_MD5, "50", "test", kPassPhrase));
    const std::string low = AnswerGuard(run.program, IDYES);
    EXPECT_TRUE(Has(low, "otp-md5 50 test\nThe challenge asks for count 50, but the next count "
                         "expected is 97") &&
                Has(low, "every response from count 50 up"))
        << low;
    EXPECT_EQ(Words(50), WaitForWords(run.program, kWaitMs));
    EXPECT_EQ("32/fd58/0", Remembered("otp-md5 test")) << "a Yes starts the skips afresh";

    // Off: no box, and another pass phrase changes nothing.
    ASSERT_TRUE(WriteStoredSettings(QuietSettings()) && restart());
    const std::string at50 = Remembered("otp-md5 test");
    ASSERT_TRUE(EnterChallenge(run.program, IDC_MD5, "10", "test", "This is a test!"));
    const Outcome off = PressOk(run.program);
    EXPECT_EQ("", off.boxText);
    EXPECT_EQ(Words(10, "This is a test!"), off.response);
    EXPECT_EQ(at50, Remembered("otp-md5 test"));
}

// Words against the engine, hexadecimal against RFC 2289's values at counts 99 and 1. A copy
// leaves the clipboard within 30 seconds, also once the List is closed, and nothing of the List
// stays in the program's memory, in ANSI or UTF-16.
TEST(Sequence, TheListShowsTheResponsesAheadCopiesThemAndLeavesNothingBehind) {
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
    EXPECT_EQ("5a/3662/0", Remembered("otp-md5 test")) << "count 90 listed";

    ASSERT_TRUE(SetField(list, IDC_LIST_LENGTH, "100"));
    ASSERT_TRUE(Click(GetDlgItem(list, IDC_LIST_HEX)));
    const std::string all = Text(text);
    EXPECT_EQ(0u, all.find("99: 50fe 1962 c496 5880\r\n98: "));
    EXPECT_EQ(all.size() - 26, all.find("\r\n1: 7965 e054 36f5 029f\r\n")) << "not down to 1";
    EXPECT_EQ("1/7965/0", Remembered("otp-md5 test"));

    ASSERT_TRUE(SetField(list, IDC_LIST_LENGTH, "0"));
    EXPECT_TRUE(Has(Text(text), "1 to 100") && !IsEnabled(GetDlgItem(list, IDC_LIST_COPY)) &&
                !IsEnabled(GetDlgItem(list, IDC_LIST_PRINT)));

    ASSERT_TRUE(SetField(list, IDC_LIST_LENGTH, "2"));
    ASSERT_TRUE(Click(GetDlgItem(list, IDC_LIST_COPY)));
    std::string copied;
    DWORD history = 1, cloud = 1, monitors = 1;
    EXPECT_TRUE(ClipboardText(&copied) && copied == all.substr(0, copied.size()) &&
                copied.size() == 50)
        << copied;
    EXPECT_TRUE(ClipboardFormatDword("CanIncludeInClipboardHistory", &history) &&
                ClipboardFormatDword("CanUploadToCloudClipboard", &cloud) &&
                ClipboardFormatDword("ExcludeClipboardContentFromMonitorProcessing", &monitors) &&
                history + cloud + monitors == 0);
    PressKey(list, VK_ESCAPE);
    ASSERT_TRUE(WaitForGone(list));
    ASSERT_TRUE(Click(run.program, IDC_CLEARALL));
    // Asked without opening the clipboard, which would keep the program from emptying it.
    EXPECT_TRUE(
        WaitUntil([] { return IsClipboardFormatAvailable(CF_UNICODETEXT) == FALSE; }, 45000));
    // The words this test never read: Wine makes a reader's ANSI copy in the program.
    std::vector<std::string> lines;
    for (std::uint32_t count = 89; count >= 1; --count)
        lines.push_back(Words(count));
    std::vector<size_t> found;
    ASSERT_TRUE(TextsInMemory(run.program, lines, &found));
    std::string counts;
    for (const size_t i : found)
        counts += std::to_string(89 - i) + " ";
    EXPECT_EQ("", counts) << "the responses of these counts are still in memory";
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
        const HWND whole = Control(run.program, IDC_RENEW_LINE);
        EXPECT_TRUE(IsWindowVisible(whole) && Text(whole) == renewal.line) << Text(whole);
        ASSERT_TRUE(Click(run.program, IDC_COPY));
        std::string copied;
        EXPECT_TRUE(ClipboardText(&copied) && copied == renewal.line) << copied;
        // The count answered, with 16 bits of 5BF075D9959D036F, and the new sequence at its
        // count, with 16 bits of 3712DCB4AA5316C1.
        EXPECT_EQ("1f3/5bf0/0", Remembered("otp-md5 ke1234"));
        EXPECT_EQ("1f3/3712/0", Remembered("otp-md5 ke1235"));
    }
}

// 0.15's values are carried over at the start and deleted. The registry then names no seed, in
// any case, in ANSI or UTF-16, and the memory is of one size whatever it holds, in the one view
// of HKCU\Software that 32-bit and 64-bit programs share.
TEST(Sequence, TheMemoryIsProtectedAndCarriesOverWhatTheLastVersionStored) {
    ScopedProgram run;
    ASSERT_TRUE(StartProgramWith(kGuarded, &run.program));
    StopProgram(&run.program);
    // Count 99 with RFC 2289's check, the latest used; and an older one.
    ASSERT_TRUE(PlantOldSequence("otp-md5 test", FromHex("63000000fe5002000000")) &&
                PlantOldSequence("otp-sha1 obsd91335", FromHex("f4010000341201000000")));
    ASSERT_TRUE(StartProgram(&run.program));
    ASSERT_TRUE(WaitUntil([] { return !Has(RegistryAsAThiefReadsIt(), "<subkeys>"); }));
    EXPECT_EQ("63/50fe/0", Remembered("otp-md5 test"));
    EXPECT_EQ("1f4/1234/0", Remembered("otp-sha1 obsd91335"));
    const size_t size = RegistryAsAThiefReadsIt().size();

    // The carried-over record guards the next answer; a new sequence changes not the size.
    ASSERT_TRUE(ShowFromTray(run.program));
    ASSERT_TRUE(EnterChallenge(run.program, IDC_MD5, "98", "test", "This is a test!"));
    EXPECT_TRUE(Has(AnswerGuard(run.program, IDNO), "count 99 gave before"));
    ASSERT_TRUE(EnterChallenge(run.program, IDC_MD5, "5", "other", kPassPhrase));
    EXPECT_NE("", PressOk(run.program).response);
    std::string seen = RegistryAsAThiefReadsIt();
    EXPECT_EQ(size, seen.size());
    HKEY shared;
    ASSERT_EQ(ERROR_SUCCESS, RegOpenKeyExA(HKEY_CURRENT_USER, "Software\\Vantreth", 0,
                                           KEY_READ | KEY_WOW64_64KEY, &shared));
    RegCloseKey(shared);
    for (char& c : seen)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    for (const std::string seed : {"test", "obsd91335", "other", "otp-"}) {
        std::string wide;
        for (const char c : seed)
            wide += std::string{c, '\0'};
        EXPECT_FALSE(Has(seen, seed) || Has(seen, wide)) << seed;
    }
}

// Processes remember at the same moment through the program's own store: each keeps its own
// sequences, and the one they share ends at the lowest count any of them answered.
TEST(Sequence, WritersAtOnceLoseNothing) {
    KillRunningInstances();
    ASSERT_TRUE(DeleteSequences());
    HANDLE start = CreateEventA(nullptr, TRUE, FALSE, "Vantreth.Writers");
    std::vector<PROCESS_INFORMATION> writers(kWriters);
    for (int number = 0; number < kWriters; ++number) {
        char driver[MAX_PATH] = {};
        GetModuleFileNameA(nullptr, driver, sizeof driver);
        std::string command = "\"" + std::string(driver) + "\" --sequence-writer " +
                              std::to_string(number) + " Vantreth.Writers";
        STARTUPINFOA startup = {};
        startup.cb = sizeof startup;
        ASSERT_TRUE(CreateProcessA(nullptr, &command[0], nullptr, nullptr, FALSE, 0, nullptr,
                                   nullptr, &startup, &writers[number]));
    }
    SetEvent(start);
    for (const PROCESS_INFORMATION& writer : writers) {
        DWORD code = 1;
        EXPECT_TRUE(WaitForExit(writer.hProcess, 4 * kWaitMs, &code) && code == 0) << code;
    }
    SequenceMemory memory;
    ASSERT_TRUE(ReadSequenceMemory(&memory));
    std::string lost;
    for (int number = 0; number < kWriters; ++number) {
        for (int i = 0; i < kWritesEach; ++i) {
            const std::string name = "otp-md5 w" + std::to_string(number) + "k" + std::to_string(i);
            if (FindSequence(memory, name.c_str()) == nullptr) lost += name + " ";
        }
    }
    EXPECT_EQ("", lost);
    const SequenceRecord* shared = FindSequence(memory, "otp-md5 shared");
    EXPECT_TRUE(shared != nullptr && shared->count == SharedCount(0, 0));
}

} // namespace
