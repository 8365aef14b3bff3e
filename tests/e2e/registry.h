#pragma once
// The program's registry key, HKLM\SOFTWARE\Quenby OTP: the nine settings and the SNK-S
// record, written before a start and read back as text to compare as a whole; and the sequences
// it remembers for the user.
#include <windows.h>

#include <cstdint>
#include <string>

#include "shell/logic/sequence_logic.h"
#include "shell/logic/settings.h"

extern const char* const kSettingsKey;
// The program is 32-bit: on 64-bit Windows its key lies under WOW6432Node. The tests reach
// it through the program's own view, whatever they are built as.
constexpr REGSAM kProgramView = KEY_WOW64_32KEY;
bool OpenProgramKey(REGSAM access, HKEY* key);
// Whether this test runs under WoW64, as the program then does: a 64-bit system.
bool UnderWow64();
// Whether `path` exists under HKLM in the 64-bit system's own view (KEY_WOW64_64KEY).
bool KeyInNativeView(const char* path);

// The nine stored settings in the order the program reads and writes them, each with the
// Options control that shows it. A time's edit and label are enabled only while its flag is on.
struct SettingRow {
    const char* name;
    std::uint8_t Settings::*field;
    int control;                       // the check box, or the time's edit
    int label;                         // the time's label; 0 for a check box
    std::uint8_t Settings::*enabledBy; // the time's flag; null for a check box
};
constexpr int kSettingCount = 9;
extern const SettingRow kSettingRows[kSettingCount];

// The first-run defaults, as the program must write them.
Settings DefaultSettings();
// Everything off that could act by itself or ask during a test; times at their defaults.
Settings QuietSettings();
// The same with SNK features on.
Settings SnkSettings();
// Quiet, but for one setting: a flag switched on, or a time of 1 second with its flag.
Settings QuietSettingsWith(std::uint8_t Settings::*flag, std::uint8_t Settings::*time = nullptr);

// The SNK core's vector: the seed encrypted under the password is the record; the challenge
// gives the response.
constexpr const char* kSnkSeed = "123 045 377 000 111 222 333 001";
constexpr const char* kSnkPassword = "secret pw";
constexpr const char* kSnkRecordHex =
    "3c6f106582fef2265483c468c9da85b8ea3d318ae4e06fba38e378083c475c";
constexpr const char* kSnkChallenge = "1234";
constexpr const char* kSnkResponse = "342436fe";
constexpr const char* kSnkReadError = "Error reading registry.\nPlease restart the application.";
constexpr const char* kRegistryWriteError = "Error writing to the registry";

bool DeleteSettingsKey();
// The nine values as the program stores them (REG_BINARY, one byte each), and the SNK-S
// record given in hex when `snkRecordHex` is not null.
bool WriteStoredSettings(const Settings& settings, const char* snkRecordHex = nullptr);
// Deletes the nine values and keeps the key, so that any later write of them is seen.
bool ForgetStoredSettings();
bool WriteRawValue(const char* name, DWORD type, const std::string& bytes);
bool DeleteValue(const char* name);
// Reads a value; false when it is missing.
bool ReadRawValue(const char* name, std::string* bytes);

// The value that starts Vantreth with Windows, "Vantreth" under the user's Run key: read
// (false when missing; its type in `type`), written as REG_SZ, deleted.
bool ReadRunValue(std::wstring* value, DWORD* type = nullptr);
bool WriteRunValue(const std::wstring& value);
bool DeleteRunValue();

// Registry key as text: every value, sorted by name, as "Name=type:hexbytes", blank-separated;
// "<no key>" when the key is missing. Compared as a whole, so an extra value shows up too.
std::string DescribeKey();
// The same text for what WriteStoredSettings writes.
std::string DescribeStored(const Settings& settings, const char* snkRecordHex = nullptr);
// Raw bytes from hex digits.
std::string FromHex(const char* hex);

// The sequences remembered, in HKCU\Software\Vantreth (the shared view on a 64-bit system):
// all deleted, and the memory unprotected as the user and read (false when there is none).
bool DeleteSequences();
bool ReadSequenceMemory(SequenceMemory* memory);
// Every value's name and bytes under HKCU\Software\Vantreth, as a thief with a copy of the
// registry reads them, and "<subkeys>" while it has any.
std::string RegistryAsAThiefReadsIt();
// A value of 0.15's form: HKCU\Software\Vantreth\Sequences\NAME, 10 bytes.
bool PlantOldSequence(const char* name, const std::string& bytes);
