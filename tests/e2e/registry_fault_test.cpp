// Registry values of the wrong type or size before start, and the key taken away or locked
// while the program runs: it starts, falls back to the defaults, reports only the two SNK
// messages, and never ends by itself.
#include <gtest/gtest.h>

#include <windows.h>
#include <aclapi.h>

#include <string>
#include <vector>

#include "resources/resource.h"
#include "tests/e2e/more_harness.h"

namespace {

const char kPassword[] = "secret pw";
// "123 045 377 000 111 222 333 001" encrypted under kPassword; challenge 1234 gives 342436fe.
const char kRecordHex[] = "3c6f106582fef2265483c468c9da85b8ea3d318ae4e06fba38e378083c475c";
const char kRegistryError[] = "Error reading registry.\nPlease restart the application.";
const char kBadPassword[] = "Bad Password";
const char kWriteError[] = "Error writing to the registry";

struct RawValue {
    const char* name;
    DWORD type;
    std::string bytes;
};

std::string Bytes(std::initializer_list<int> values) {
    std::string bytes;
    for (int value : values)
        bytes += static_cast<char>(value);
    return bytes;
}

std::string Dword(DWORD value) {
    return std::string(reinterpret_cast<const char*>(&value), sizeof value);
}

// `first` followed by filler up to `size` bytes.
std::string Sized(int first, size_t size) {
    std::string bytes(size, '\xee');
    if (size > 0) bytes[0] = static_cast<char>(first);
    return bytes;
}

Settings Values(int clipboard, int appendReturn, int clearPass, int autoDock, int dockTime, int snk,
                int autoDecr, int decrTime) {
    Settings settings = {};
    settings.Clipboard = static_cast<std::uint8_t>(clipboard);
    settings.Return = static_cast<std::uint8_t>(appendReturn);
    settings.ClearPass = static_cast<std::uint8_t>(clearPass);
    settings.AutoDock = static_cast<std::uint8_t>(autoDock);
    settings.DockTime = static_cast<std::uint8_t>(dockTime);
    settings.SNK = static_cast<std::uint8_t>(snk);
    settings.AutoDecr = static_cast<std::uint8_t>(autoDecr);
    settings.DecrTime = static_cast<std::uint8_t>(decrTime);
    return settings;
}

// The same fault for all eight values and the record, the first bytes chosen away from the
// defaults so that a byte taken where the default belongs shows.
std::vector<RawValue> SizedValues(size_t size, const std::string& record) {
    return {{"Clipboard", REG_BINARY, Sized(0, size)},
            {"Return", REG_BINARY, Sized(0, size)},
            {"ClearPass", REG_BINARY, Sized(0, size)},
            {"AutoDock", REG_BINARY, Sized(0, size)},
            {"DockTime", REG_BINARY, Sized(99, size)},
            {"SNK", REG_BINARY, Sized(1, size)},
            {"AutoDecr", REG_BINARY, Sized(0, size)},
            {"DecrTime", REG_BINARY, Sized(9, size)},
            {"SNK-S", REG_BINARY, record}};
}

struct FaultCase {
    const char* what;
    std::vector<RawValue> values;
    Settings expected;
    const char* snkMessage;
};

std::vector<FaultCase> FaultCases() {
    const std::string record = FromHex(kRecordHex);
    std::vector<FaultCase> cases;
    // Only a value of exactly one byte is taken, whatever its type; a string's terminating
    // NUL makes it two. The record as a string cannot be read into its 31 bytes.
    cases.push_back({"strings",
                     {{"Clipboard", REG_SZ, std::string("", 1)},
                      {"Return", REG_EXPAND_SZ, std::string("0", 2)},
                      {"ClearPass", REG_MULTI_SZ, std::string("\0\0", 2)},
                      {"AutoDock", REG_SZ, std::string("0", 2)},
                      {"DockTime", REG_SZ, std::string("12345", 6)},
                      {"SNK", REG_SZ, std::string("\x01", 2)},
                      {"AutoDecr", REG_SZ, std::string("", 1)},
                      {"DecrTime", REG_SZ, std::string("A", 2)},
                      {"SNK-S", REG_SZ, record}},
                     Values(0, 1, 1, 1, 30, 0, 0, 1),
                     kRegistryError});
    cases.push_back({"numbers",
                     {{"Clipboard", REG_DWORD, Dword(0)},
                      {"Return", REG_DWORD, Bytes({0})},
                      {"ClearPass", REG_DWORD, Dword(0x100)},
                      {"AutoDock", REG_DWORD, Dword(0)},
                      {"DockTime", REG_DWORD, Bytes({0})},
                      {"SNK", REG_DWORD, Dword(1)},
                      {"AutoDecr", REG_QWORD, std::string(8, '\0')},
                      {"DecrTime", REG_DWORD, Bytes({44})},
                      {"SNK-S", REG_DWORD, Dword(0x12345678)}},
                     Values(1, 0, 1, 1, 30, 0, 1, 44),
                     kBadPassword});
    cases.push_back(
        {"2 bytes", SizedValues(2, record.substr(0, 2)), DefaultSettings(), kBadPassword});
    cases.push_back({"0 bytes", SizedValues(0, std::string()), DefaultSettings(), kBadPassword});
    cases.push_back(
        {"6 bytes", SizedValues(6, record.substr(0, 6)), DefaultSettings(), kBadPassword});
    cases.push_back({"1000 bytes", SizedValues(1000, record + std::string(969, '\0')),
                     DefaultSettings(), kRegistryError});
    return cases;
}

bool WriteValues(const std::vector<RawValue>& values) {
    if (!DeleteSettingsKey()) return false;
    for (const RawValue& value : values)
        if (!WriteRawValue(value.name, value.type, value.bytes.data(),
                           static_cast<DWORD>(value.bytes.size())))
            return false;
    return true;
}

bool StillRunning(const Program& program) {
    DWORD code = 0;
    return !WaitForExit(program.process, 0, &code);
}

// Answers whatever the Options OK brings up (warning, reconfigure question, enrolment,
// registry failure) the way that leaves the record alone, until the dialog has gone.
// Returns the texts of the boxes met on the way.
std::string FinishOptions(const Program& program, HWND options) {
    std::string met;
    PostClick(GetDlgItem(options, IDOK));
    const DWORD start = GetTickCount();
    while (IsWindow(options) && IsWindowVisible(options) && GetTickCount() - start < kWaitMs) {
        HWND box = FindAnyBox(program);
        if (box == nullptr || box == options) {
            Sleep(kPollMs);
            continue;
        }
        char caption[64] = {};
        GetWindowTextA(box, caption, sizeof caption);
        const std::string title = caption;
        if (title == kOptionsCaption) {
            Sleep(kPollMs);
            continue;
        }
        met += "[" + title + "] " + (title == "SNK Seed & Password" ? "" : BoxText(box)) + "\n";
        const int button = title == "WARNING"               ? IDNO
                           : title == "SNK Seed & Password" ? IDCANCEL
                                                            : IDOK;
        if (!CloseBox(box, button)) break;
    }
    return met;
}

// Switches SNK features on through Options when the start left them off.
bool EnsureSnkFeatures(const Program& program, std::string* boxes) {
    if (!ShowFromTray(program)) return false;
    if (WaitUntil([&] { return IsEnabled(Control(program, IDC_SNK)); }, kSettleMs)) return true;
    const HWND options = OpenOptionsWithButton(program);
    if (options == nullptr) return false;
    if (!IsChecked(GetDlgItem(options, IDC_OPT_SNK))) Click(GetDlgItem(options, IDC_OPT_SNK));
    *boxes += FinishOptions(program, options);
    return ShowFromTray(program) && WaitUntil([&] { return IsEnabled(Control(program, IDC_SNK)); });
}

Outcome SnkAttempt(const Program& program, const char* challenge = "1234") {
    if (!Click(program, IDC_SNK) || !IsChecked(Control(program, IDC_SNK)) ||
        !SetField(program, IDC_SEED, challenge) || !SetField(program, IDC_PASSPHRASE, kPassword))
        return Outcome{"<not in SNK mode>", "", ""};
    return PressOk(program);
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
        ASSERT_TRUE(WriteValues(fault.values));
        ScopedProgram run;
        const Program& program = run.program;
        ASSERT_TRUE(StartProgram(&run.program)) << "did not start and dock";

        const HWND options = OpenOptionsWithButton(program);
        ASSERT_NE(nullptr, options);
        EXPECT_EQ(DescribeOptionsFor(fault.expected), DescribeOptions(options));
        ASSERT_TRUE(CloseBox(options, IDCANCEL));

        std::string boxes;
        ASSERT_TRUE(EnsureSnkFeatures(program, &boxes)) << boxes;
        const Outcome outcome = SnkAttempt(program);
        ExpectSnkMessage(outcome, fault.snkMessage);
        EXPECT_TRUE(StillRunning(program));
    }
}

// A DACL that lets everyone change the key's security and delete it, and nothing else.
bool LockKey(bool locked) {
    HKEY key;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kSettingsKey, 0, WRITE_DAC, &key) != ERROR_SUCCESS)
        return false;
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
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kSettingsKey, 0, KEY_READ, &key) != ERROR_SUCCESS)
        return false;
    RegCloseKey(key);
    return true;
}

struct ScopedUnlock {
    ~ScopedUnlock() {
        LockKey(false);
        DeleteSettingsKey();
    }
};

Settings WithSnk() {
    Settings settings = QuietSettings();
    settings.SNK = 1;
    return settings;
}

bool StartWithRecord(Program* program) {
    const std::string record = FromHex(kRecordHex);
    KillRunningInstances();
    return DeleteSettingsKey() && WriteSettings(WithSnk()) &&
           WriteRawValue("SNK-S", REG_BINARY, record.data(), static_cast<DWORD>(record.size())) &&
           StartProgram(program);
}

TEST(RegistryFaults, KeyDeletedWhileRunningGivesTheReadErrorAndOptionsWritesItAnew) {
    ScopedProgram run;
    const Program& program = run.program;
    ASSERT_TRUE(StartWithRecord(&run.program));
    std::string boxes;
    ASSERT_TRUE(EnsureSnkFeatures(program, &boxes));
    EXPECT_EQ("342436fe", SnkAttempt(program).response);

    ASSERT_TRUE(DeleteSettingsKey());
    ASSERT_EQ("<no key>", DescribeKey());
    ExpectSnkMessage(SnkAttempt(program), kRegistryError);
    ASSERT_TRUE(StillRunning(program));

    // SNK features on and keys seen at start: the reconfigure question, answered No.
    const HWND options = OpenOptionsWithButton(program);
    ASSERT_NE(nullptr, options);
    boxes = FinishOptions(program, options);
    EXPECT_NE(std::string::npos, boxes.find("[WARNING]")) << boxes;
    EXPECT_EQ(DescribeStored(WithSnk()), DescribeKey());
    ASSERT_TRUE(ShowFromTray(program));
    ExpectSnkMessage(SnkAttempt(program), kRegistryError);
    EXPECT_TRUE(StillRunning(program));
}

TEST(RegistryFaults, KeyLockedWhileRunningGivesTheMessagesAndLosesNothing) {
    ScopedUnlock unlock;
    ScopedProgram run;
    const Program& program = run.program;
    ASSERT_TRUE(StartWithRecord(&run.program));
    std::string boxes;
    ASSERT_TRUE(EnsureSnkFeatures(program, &boxes));
    const std::string stored = DescribeKey();

    ASSERT_TRUE(LockKey(true));
    ASSERT_FALSE(KeyReadable()) << "Wine did not enforce the key's DACL";
    ExpectSnkMessage(SnkAttempt(program), kRegistryError);

    const HWND options = OpenOptionsWithButton(program);
    ASSERT_NE(nullptr, options);
    boxes = FinishOptions(program, options);
    EXPECT_NE(std::string::npos, boxes.find(kWriteError)) << boxes;
    EXPECT_TRUE(StillRunning(program));

    ASSERT_TRUE(LockKey(false));
    EXPECT_EQ(stored, DescribeKey()) << "the locked key changed";
    ASSERT_TRUE(ShowFromTray(program));
    EXPECT_EQ("342436fe", SnkAttempt(program).response);
}

TEST(RegistryFaults, KeyLockedBeforeStartStartsWithTheDefaultsAndWritesNothing) {
    ScopedUnlock unlock;
    const std::string record = FromHex(kRecordHex);
    KillRunningInstances();
    ASSERT_TRUE(DeleteSettingsKey());
    ASSERT_TRUE(WriteSettings(Values(0, 0, 0, 0, 99, 1, 0, 9)));
    ASSERT_TRUE(
        WriteRawValue("SNK-S", REG_BINARY, record.data(), static_cast<DWORD>(record.size())));
    const std::string stored = DescribeKey();
    ASSERT_TRUE(LockKey(true));

    ScopedProgram run;
    Program& program = run.program;
    PROCESS_INFORMATION info;
    ASSERT_TRUE(LaunchProgram(&info));
    program.process = info.hProcess;
    program.processId = info.dwProcessId;
    // The start can neither read nor create the key.
    const HWND box = WaitForDialog(program.processId, "Error");
    ASSERT_NE(nullptr, box);
    EXPECT_EQ(kWriteError, BoxText(box));
    ASSERT_TRUE(CloseBox(box, IDOK));
    ASSERT_TRUE(
        WaitUntil([&] { return (program.dialog = FindMainDialog(program.processId)) != nullptr; }));
    ASSERT_TRUE(WaitUntil([&] { return IsDocked(program); }));

    const HWND options = OpenOptionsWithButton(program);
    ASSERT_NE(nullptr, options);
    EXPECT_EQ(DescribeOptionsFor(DefaultSettings()), DescribeOptions(options));
    ASSERT_TRUE(CloseBox(options, IDCANCEL));

    // No record was seen, so turning SNK on offers the enrolment (cancelled); the write fails.
    std::string boxes;
    ASSERT_TRUE(EnsureSnkFeatures(program, &boxes)) << boxes;
    EXPECT_NE(std::string::npos, boxes.find("[SNK Seed & Password]")) << boxes;
    EXPECT_NE(std::string::npos, boxes.find(kWriteError)) << boxes;
    ExpectSnkMessage(SnkAttempt(program), kRegistryError);
    EXPECT_TRUE(StillRunning(program));

    ASSERT_TRUE(LockKey(false));
    EXPECT_EQ(stored, DescribeKey()) << "the locked key changed";
}

} // namespace
