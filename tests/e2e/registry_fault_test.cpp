// Registry values missing, or of the wrong type or size, before start, and the key taken away or
// locked while the program runs: it starts, falls back to the defaults, reports only the two SNK
// messages, and never ends by itself.
#include <gtest/gtest.h>

#include <windows.h>
#include <aclapi.h>

#include <string>
#include <vector>

#include "resources/resource.h"
#include "tests/e2e/program.h"
#include "tests/e2e/registry.h"

namespace {

const char kBadPassword[] = "Bad Password";
const std::string kOptionsNotSaved =
    std::string(kRegistryWriteError) + "\nThe options were not saved.";

// A value as written before the start; kMissing: not written at all.
struct RawValue {
    DWORD type;
    std::string bytes;
};
constexpr DWORD kMissing = ~DWORD{0};

std::string Bytes(std::initializer_list<int> values) {
    std::string bytes;
    for (int value : values)
        bytes += static_cast<char>(value);
    return bytes;
}

std::string Dword(DWORD value) {
    return std::string(reinterpret_cast<const char*>(&value), sizeof value);
}

// The nine values in their stored order (Clipboard, Return, ClearPass, AutoDock, DockTime,
// SNK, AutoDecr, DecrTime, Guard), then the record.
struct FaultCase {
    const char* what;
    RawValue values[kSettingCount + 1];
    Settings expected;
    const char* snkMessage;
};

// The same fault for all nine values and the record, the first bytes chosen away from the
// defaults so that a byte taken where the default belongs shows.
FaultCase Sized(const char* what, size_t size, const std::string& record, const char* message) {
    const Settings away = {0, 0, 0, 0, 99, 1, 0, 9, 0};
    FaultCase fault = {what, {}, DefaultSettings(), message};
    for (int i = 0; i < kSettingCount; ++i) {
        std::string bytes(size, '\xee');
        if (size > 0) bytes[0] = static_cast<char>(away.*kSettingRows[i].field);
        fault.values[i] = {REG_BINARY, bytes};
    }
    fault.values[kSettingCount] = {REG_BINARY, record};
    return fault;
}

std::vector<FaultCase> FaultCases() {
    const std::string record = FromHex(kSnkRecordHex);
    std::vector<FaultCase> cases;
    // Only a value of exactly one byte is taken, whatever its type; a string's terminating
    // NUL makes it two. The record as a string cannot be read into its 31 bytes.
    cases.push_back({"strings",
                     {{REG_SZ, std::string("", 1)},
                      {REG_EXPAND_SZ, std::string("0", 2)},
                      {REG_MULTI_SZ, std::string("\0\0", 2)},
                      {REG_SZ, std::string("0", 2)},
                      {REG_SZ, std::string("12345", 6)},
                      {REG_SZ, std::string("\x01", 2)},
                      {REG_SZ, std::string("", 1)},
                      {REG_SZ, std::string("A", 2)},
                      {REG_SZ, std::string("", 1)},
                      {REG_SZ, record}},
                     Settings{0, 1, 1, 1, 30, 0, 0, 1, 0},
                     kSnkReadError});
    cases.push_back({"numbers",
                     {{REG_DWORD, Dword(0)},
                      {REG_DWORD, Bytes({0})},
                      {REG_DWORD, Dword(0x100)},
                      {REG_DWORD, Dword(0)},
                      {REG_DWORD, Bytes({0})},
                      {REG_DWORD, Dword(1)},
                      {REG_QWORD, std::string(8, '\0')},
                      {REG_DWORD, Bytes({44})},
                      {REG_DWORD, Dword(0)},
                      {REG_DWORD, Dword(0x12345678)}},
                     Settings{1, 0, 1, 1, 30, 0, 1, 44, 1},
                     kBadPassword});
    FaultCase missing = {"missing", {}, DefaultSettings(), kSnkReadError};
    for (RawValue& value : missing.values)
        value.type = kMissing;
    cases.push_back(missing);
    cases.push_back(Sized("2 bytes", 2, record.substr(0, 2), kBadPassword));
    cases.push_back(Sized("0 bytes", 0, std::string(), kBadPassword));
    cases.push_back(Sized("6 bytes", 6, record.substr(0, 6), kBadPassword));
    cases.push_back(Sized("1000 bytes", 1000, record + std::string(969, '\0'), kSnkReadError));
    return cases;
}

// The key exists (ForgetStoredSettings leaves it, empty) with just these values.
bool WriteValues(const FaultCase& fault) {
    if (!DeleteSettingsKey() || !ForgetStoredSettings()) return false;
    for (int i = 0; i <= kSettingCount; ++i) {
        const RawValue& value = fault.values[i];
        const char* name = i < kSettingCount ? kSettingRows[i].name : "SNK-S";
        if (value.type != kMissing && !WriteRawValue(name, value.type, value.bytes)) return false;
    }
    return true;
}

void ExpectSnkMessage(const Outcome& outcome, const char* text) {
    EXPECT_EQ("Error", outcome.boxCaption);
    EXPECT_EQ(text, outcome.boxText);
    EXPECT_EQ("", outcome.response);
}

TEST(RegistryFaults, MisshapenValuesStartWithTheDefaultsAndSnkReportsOnlyItsMessages) {
    for (const FaultCase& fault : FaultCases()) {
        SCOPED_TRACE(fault.what);
        KillRunningInstances();
        ASSERT_TRUE(WriteValues(fault));
        const std::string stored = DescribeKey();
        ScopedProgram run;
        const Program& program = run.program;
        ASSERT_TRUE(StartProgram(&run.program)) << "did not start and dock";
        EXPECT_EQ(stored, DescribeKey()) << "the start wrote into an existing key";

        const HWND options = OpenOptionsWithButton(program);
        ASSERT_NE(nullptr, options);
        EXPECT_EQ(DescribeOptionsFor(fault.expected), DescribeOptions(options));
        ASSERT_TRUE(CloseBox(options, IDCANCEL));

        std::string boxes;
        ASSERT_TRUE(EnsureSnkFeatures(program, &boxes)) << boxes;
        const Outcome outcome = AnswerSnk(program, kSnkChallenge, kSnkPassword);
        ExpectSnkMessage(outcome, fault.snkMessage);
        EXPECT_TRUE(StillRunning(program));
    }
}

// A DACL that lets everyone change the key's security and delete it, and nothing else.
bool LockKey(bool locked) {
    HKEY key;
    if (!OpenProgramKey(WRITE_DAC, &key)) return false;
    SID_IDENTIFIER_AUTHORITY world = SECURITY_WORLD_SID_AUTHORITY;
    PSID everyone = nullptr;
    bool set = false;
    if (AllocateAndInitializeSid(&world, 1, SECURITY_WORLD_RID, 0, 0, 0, 0, 0, 0, 0, &everyone)) {
        alignas(DWORD) BYTE aclBuffer[256];
        PACL acl = reinterpret_cast<PACL>(aclBuffer);
        SECURITY_DESCRIPTOR descriptor;
        const DWORD access = locked ? READ_CONTROL | WRITE_DAC | DELETE : KEY_ALL_ACCESS;
        set = InitializeAcl(acl, sizeof aclBuffer, ACL_REVISION) &&
              AddAccessAllowedAce(acl, ACL_REVISION, access, everyone) &&
              InitializeSecurityDescriptor(&descriptor, SECURITY_DESCRIPTOR_REVISION) &&
              SetSecurityDescriptorDacl(&descriptor, TRUE, acl, FALSE) &&
              RegSetKeySecurity(key, DACL_SECURITY_INFORMATION, &descriptor) == ERROR_SUCCESS;
        FreeSid(everyone);
    }
    RegCloseKey(key);
    return set;
}

bool KeyReadable() {
    HKEY key;
    if (!OpenProgramKey(KEY_READ, &key)) return false;
    RegCloseKey(key);
    return true;
}

struct ScopedUnlock {
    ~ScopedUnlock() {
        LockKey(false);
        DeleteSettingsKey();
    }
};

TEST(RegistryFaults, KeyDeletedWhileRunningGivesTheReadErrorAndOptionsWritesItAnew) {
    ScopedProgram run;
    const Program& program = run.program;
    ASSERT_TRUE(StartProgramWith(SnkSettings(), &run.program, kSnkRecordHex));
    std::string boxes;
    ASSERT_TRUE(EnsureSnkFeatures(program, &boxes));
    EXPECT_EQ(kSnkResponse, AnswerSnk(program, kSnkChallenge, kSnkPassword).response);

    ASSERT_TRUE(DeleteSettingsKey());
    ASSERT_EQ("<no key>", DescribeKey());
    ExpectSnkMessage(AnswerSnk(program, kSnkChallenge, kSnkPassword), kSnkReadError);
    ASSERT_TRUE(StillRunning(program));

    // SNK features on and keys seen at start: the reconfigure question, answered No.
    const HWND options = OpenOptionsWithButton(program);
    ASSERT_NE(nullptr, options);
    boxes.clear();
    ConfirmOptions(program, options, IDNO, false, &boxes);
    EXPECT_NE(std::string::npos, boxes.find("[WARNING]")) << boxes;
    EXPECT_EQ(DescribeStored(SnkSettings()), DescribeKey());
    ASSERT_TRUE(ShowFromTray(program));
    ExpectSnkMessage(AnswerSnk(program, kSnkChallenge, kSnkPassword), kSnkReadError);
    EXPECT_TRUE(StillRunning(program));
}

TEST(RegistryFaults, KeyLockedWhileRunningGivesTheMessagesAndLosesNothing) {
    ScopedUnlock unlock;
    ScopedProgram run;
    const Program& program = run.program;
    ASSERT_TRUE(StartProgramWith(SnkSettings(), &run.program, kSnkRecordHex));
    std::string boxes;
    ASSERT_TRUE(EnsureSnkFeatures(program, &boxes));
    const std::string stored = DescribeKey();

    ASSERT_TRUE(LockKey(true));
    ASSERT_FALSE(KeyReadable()) << "Wine did not enforce the key's DACL";
    ExpectSnkMessage(AnswerSnk(program, kSnkChallenge, kSnkPassword), kSnkReadError);

    // The settings cannot be written; "Start with Windows", which the user changed, still is.
    ASSERT_TRUE(DeleteRunValue());
    const HWND options = OpenOptionsWithButton(program);
    ASSERT_NE(nullptr, options);
    ASSERT_TRUE(Click(GetDlgItem(options, IDC_OPT_STARTUP)));
    boxes.clear();
    ConfirmOptions(program, options, IDNO, false, &boxes);
    EXPECT_NE(std::string::npos, boxes.find(kOptionsNotSaved + " Start with Windows was changed."))
        << boxes;
    std::wstring runValue;
    EXPECT_TRUE(ReadRunValue(&runValue)) << "the Run value was skipped";
    DeleteRunValue();
    EXPECT_TRUE(StillRunning(program));

    ASSERT_TRUE(LockKey(false));
    EXPECT_EQ(stored, DescribeKey()) << "the locked key changed";
    ASSERT_TRUE(ShowFromTray(program));
    EXPECT_EQ(kSnkResponse, AnswerSnk(program, kSnkChallenge, kSnkPassword).response);
}

TEST(RegistryFaults, KeyLockedBeforeStartStartsWithTheDefaultsAndWritesNothing) {
    ScopedUnlock unlock;
    KillRunningInstances();
    ASSERT_TRUE(DeleteSettingsKey());
    ASSERT_TRUE(WriteStoredSettings({0, 0, 0, 0, 99, 1, 0, 9, 0}, kSnkRecordHex));
    const std::string stored = DescribeKey();
    ASSERT_TRUE(LockKey(true));

    ScopedProgram run;
    Program& program = run.program;
    ASSERT_TRUE(LaunchProgram(&program));
    // The start can neither read nor create the key.
    const HWND box = WaitForDialog(program.processId, "Error");
    ASSERT_NE(nullptr, box);
    EXPECT_EQ(kRegistryWriteError, BoxText(box));
    ASSERT_TRUE(CloseBox(box, IDOK));
    ASSERT_TRUE(WaitForMainDialog(&program));
    ASSERT_TRUE(WaitUntil([&] { return IsDocked(program); }));

    const HWND options = OpenOptionsWithButton(program);
    ASSERT_NE(nullptr, options);
    EXPECT_EQ(DescribeOptionsFor(DefaultSettings()), DescribeOptions(options));
    ASSERT_TRUE(CloseBox(options, IDCANCEL));

    // No record was seen, so turning SNK on offers the enrolment (cancelled); the write fails.
    std::string boxes;
    ASSERT_TRUE(EnsureSnkFeatures(program, &boxes)) << boxes;
    EXPECT_NE(std::string::npos, boxes.find(std::string("[") + kSnkEnrolCaption + "]")) << boxes;
    EXPECT_NE(std::string::npos, boxes.find(kRegistryWriteError)) << boxes;
    ExpectSnkMessage(AnswerSnk(program, kSnkChallenge, kSnkPassword), kSnkReadError);
    EXPECT_TRUE(StillRunning(program));

    ASSERT_TRUE(LockKey(false));
    EXPECT_EQ(stored, DescribeKey()) << "the locked key changed";
}

// The record that cannot be written is reported and counts as no keys saved: the next OK with
// SNK features on opens the enrolment again without asking to reconfigure.
TEST(RegistryFaults, EnrolmentIntoALockedKeyReportsTheWriteAndSavesNoKeys) {
    ScopedUnlock unlock;
    ScopedProgram run;
    const Program& program = run.program;
    ASSERT_TRUE(StartProgramWith(QuietSettings(), &run.program));
    const std::string stored = DescribeKey();
    ASSERT_TRUE(LockKey(true));

    HWND options = OpenOptionsWithButton(program);
    ASSERT_NE(nullptr, options);
    ASSERT_TRUE(Click(GetDlgItem(options, IDC_OPT_SNK)));
    HWND enrol = PressForBox(options, IDOK, program.processId, kSnkEnrolCaption);
    ASSERT_NE(nullptr, enrol);
    ASSERT_TRUE(FillEnrolment(enrol, kSnkSeed, kSnkPassword));
    PostClick(GetDlgItem(enrol, IDOK));
    for (const std::string& text : {std::string(kRegistryWriteError), kOptionsNotSaved}) {
        SCOPED_TRACE(text);
        const HWND box = WaitForDialog(program.processId, "Error");
        ASSERT_NE(nullptr, box);
        EXPECT_EQ(text, BoxText(box));
        ASSERT_TRUE(CloseBox(box, IDOK));
    }
    ASSERT_TRUE(WaitForGone(options));
    ASSERT_TRUE(LockKey(false));
    EXPECT_EQ(stored, DescribeKey()) << "the locked key changed";

    options = OpenOptionsWithButton(program);
    ASSERT_NE(nullptr, options);
    ASSERT_TRUE(IsChecked(GetDlgItem(options, IDC_OPT_SNK)));
    PostClick(GetDlgItem(options, IDOK));
    enrol = WaitForDialog(program.processId, kSnkEnrolCaption);
    EXPECT_EQ(nullptr, FindDialog(program.processId, "WARNING"))
        << "asked to reconfigure keys that were never saved";
    ASSERT_NE(nullptr, enrol);
    ASSERT_TRUE(CloseBox(enrol, IDCANCEL));
    ASSERT_TRUE(WaitForGone(options));
    EXPECT_EQ(DescribeStored(SnkSettings()), DescribeKey());
}

} // namespace
