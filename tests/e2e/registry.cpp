#include "tests/e2e/registry.h"

#include <wincrypt.h>

#include <cstdio>
#include <map>

#include "resources/resource.h"

const char* const kSettingsKey = "SOFTWARE\\Quenby OTP";

const SettingRow kSettingRows[kSettingCount] = {
    {"Clipboard", &Settings::Clipboard, IDC_OPT_CLIPBOARD, 0, nullptr},
    {"Return", &Settings::Return, IDC_OPT_RETURN, 0, nullptr},
    {"ClearPass", &Settings::ClearPass, IDC_OPT_CLEARPASS, 0, nullptr},
    {"AutoDock", &Settings::AutoDock, IDC_OPT_AUTODOCK, 0, nullptr},
    {"DockTime", &Settings::DockTime, IDC_OPT_DOCKTIME, IDC_OPT_DOCKTIME_LABEL,
     &Settings::AutoDock},
    {"SNK", &Settings::SNK, IDC_OPT_SNK, 0, nullptr},
    {"AutoDecr", &Settings::AutoDecr, IDC_OPT_AUTODECR, 0, nullptr},
    {"DecrTime", &Settings::DecrTime, IDC_OPT_DECRTIME, IDC_OPT_DECRTIME_LABEL,
     &Settings::AutoDecr},
    {"Guard", &Settings::Guard, IDC_OPT_GUARD, 0, nullptr},
};

namespace {

using Values = std::map<std::string, std::pair<DWORD, std::string>>;

bool OpenSettingsKey(HKEY* key) {
    return RegCreateKeyExA(HKEY_LOCAL_MACHINE, kSettingsKey, 0, nullptr, REG_OPTION_NON_VOLATILE,
                           KEY_ALL_ACCESS | kProgramView, nullptr, key, nullptr) == ERROR_SUCCESS;
}

Values StoredValues(const Settings& settings, const char* snkRecordHex) {
    Values values;
    for (const SettingRow& row : kSettingRows)
        values[row.name] = {REG_BINARY, std::string(1, static_cast<char>(settings.*row.field))};
    if (snkRecordHex != nullptr) values["SNK-S"] = {REG_BINARY, FromHex(snkRecordHex)};
    return values;
}

std::string Describe(const Values& values) {
    std::string text;
    char digits[3];
    for (const auto& value : values) {
        if (!text.empty()) text += ' ';
        text += value.first + '=' + std::to_string(value.second.first) + ':';
        for (unsigned char byte : value.second.second) {
            std::snprintf(digits, sizeof digits, "%02x", byte);
            text += digits;
        }
    }
    return text;
}

} // namespace

// Clipboard, Return, ClearPass, AutoDock, DockTime, SNK, AutoDecr, DecrTime, Guard.
Settings DefaultSettings() {
    return {1, 1, 1, 1, 30, 0, 1, 1, 1};
}
Settings QuietSettings() {
    return {0, 0, 0, 0, 30, 0, 0, 1, 0};
}
Settings SnkSettings() {
    return {0, 0, 0, 0, 30, 1, 0, 1, 0};
}
Settings QuietSettingsWith(std::uint8_t Settings::*flag, std::uint8_t Settings::*time) {
    Settings settings = QuietSettings();
    settings.*flag = 1;
    if (time != nullptr) settings.*time = 1;
    return settings;
}

bool OpenProgramKey(REGSAM access, HKEY* key) {
    return RegOpenKeyExA(HKEY_LOCAL_MACHINE, kSettingsKey, 0, access | kProgramView, key) ==
           ERROR_SUCCESS;
}

bool UnderWow64() {
    BOOL wow64 = FALSE;
    return IsWow64Process(GetCurrentProcess(), &wow64) && wow64;
}

bool KeyInNativeView(const char* path) {
    HKEY key;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, path, 0, KEY_READ | KEY_WOW64_64KEY, &key) !=
        ERROR_SUCCESS) {
        return false;
    }
    RegCloseKey(key);
    return true;
}

bool DeleteSettingsKey() {
    const LONG result = RegDeleteKeyExA(HKEY_LOCAL_MACHINE, kSettingsKey, kProgramView, 0);
    return result == ERROR_SUCCESS || result == ERROR_FILE_NOT_FOUND;
}

bool WriteStoredSettings(const Settings& settings, const char* snkRecordHex) {
    bool written = true;
    for (const auto& value : StoredValues(settings, snkRecordHex))
        written =
            WriteRawValue(value.first.c_str(), value.second.first, value.second.second) && written;
    return written;
}

bool ForgetStoredSettings() {
    bool deleted = true;
    for (const SettingRow& row : kSettingRows)
        deleted = DeleteValue(row.name) && deleted;
    return deleted;
}

bool WriteRawValue(const char* name, DWORD type, const std::string& bytes) {
    HKEY key;
    if (!OpenSettingsKey(&key)) return false;
    const bool written =
        RegSetValueExA(key, name, 0, type, reinterpret_cast<const BYTE*>(bytes.data()),
                       static_cast<DWORD>(bytes.size())) == ERROR_SUCCESS;
    RegCloseKey(key);
    return written;
}

bool DeleteValue(const char* name) {
    HKEY key;
    if (!OpenSettingsKey(&key)) return false;
    const LONG result = RegDeleteValueA(key, name);
    RegCloseKey(key);
    return result == ERROR_SUCCESS || result == ERROR_FILE_NOT_FOUND;
}

bool ReadRawValue(const char* name, std::string* bytes) {
    HKEY key;
    if (!OpenProgramKey(KEY_READ, &key)) return false;
    char data[1024];
    DWORD size = sizeof data;
    const bool read = RegQueryValueExA(key, name, nullptr, nullptr, reinterpret_cast<BYTE*>(data),
                                       &size) == ERROR_SUCCESS;
    RegCloseKey(key);
    if (read) bytes->assign(data, size);
    return read;
}

std::string DescribeKey() {
    HKEY key;
    if (!OpenProgramKey(KEY_READ, &key)) return "<no key>";
    Values values;
    for (DWORD index = 0;; ++index) {
        char name[256];
        DWORD nameSize = sizeof name;
        BYTE data[4096];
        DWORD dataSize = sizeof data;
        DWORD type = 0;
        const LONG result =
            RegEnumValueA(key, index, name, &nameSize, nullptr, &type, data, &dataSize);
        if (result == ERROR_NO_MORE_ITEMS) break;
        if (result != ERROR_SUCCESS) {
            values["<unreadable>"] = {0, std::string()};
            break;
        }
        values[std::string(name, nameSize)] = {
            type, std::string(reinterpret_cast<const char*>(data), dataSize)};
    }
    RegCloseKey(key);
    return Describe(values);
}

std::string DescribeStored(const Settings& settings, const char* snkRecordHex) {
    return Describe(StoredValues(settings, snkRecordHex));
}

std::string FromHex(const char* hex) {
    std::string bytes;
    for (size_t i = 0; hex[i] != '\0' && hex[i + 1] != '\0'; i += 2) {
        unsigned value = 0;
        std::sscanf(hex + i, "%2x", &value);
        bytes += static_cast<char>(value);
    }
    return bytes;
}

namespace {

const char kVantrethKey[] = "Software\\Vantreth";
const char kOldSequencesKey[] = "Software\\Vantreth\\Sequences";
const wchar_t kRunKey[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Run";
const wchar_t kRunValue[] = L"Vantreth";

} // namespace

bool DeleteSequences() {
    const LONG result = RegDeleteTreeA(HKEY_CURRENT_USER, kVantrethKey);
    return result == ERROR_SUCCESS || result == ERROR_FILE_NOT_FOUND;
}

bool ReadSequenceMemory(SequenceMemory* memory) {
    BYTE stored[16384];
    DWORD size = sizeof stored;
    if (RegGetValueA(HKEY_CURRENT_USER, kVantrethKey, "Sequences", RRF_RT_REG_BINARY, nullptr,
                     stored, &size) != ERROR_SUCCESS)
        return false;
    DATA_BLOB in = {size, stored};
    DATA_BLOB out = {};
    if (!CryptUnprotectData(&in, nullptr, nullptr, nullptr, nullptr, CRYPTPROTECT_UI_FORBIDDEN,
                            &out))
        return false;
    const bool read = DecodeSequenceMemory(out.pbData, out.cbData, memory);
    LocalFree(out.pbData);
    return read;
}

std::string RegistryAsAThiefReadsIt() {
    HKEY key;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, kVantrethKey, 0, KEY_READ, &key) != ERROR_SUCCESS)
        return "<no key>";
    DWORD subkeys = 0;
    RegQueryInfoKeyA(key, nullptr, nullptr, nullptr, &subkeys, nullptr, nullptr, nullptr, nullptr,
                     nullptr, nullptr, nullptr);
    std::string seen = subkeys != 0 ? "<subkeys>\n" : "";
    char name[256];
    std::string data(65536, '\0');
    for (DWORD index = 0;; ++index) {
        DWORD nameSize = sizeof name, dataSize = static_cast<DWORD>(data.size());
        if (RegEnumValueA(key, index, name, &nameSize, nullptr, nullptr,
                          reinterpret_cast<BYTE*>(&data[0]), &dataSize) != ERROR_SUCCESS)
            break;
        seen += std::string(name, nameSize) + '=' + data.substr(0, dataSize) + '\n';
    }
    RegCloseKey(key);
    return seen;
}

bool PlantOldSequence(const char* name, const std::string& bytes) {
    return RegSetKeyValueA(HKEY_CURRENT_USER, kOldSequencesKey, name, REG_BINARY, bytes.data(),
                           static_cast<DWORD>(bytes.size())) == ERROR_SUCCESS;
}

bool ReadRunValue(std::wstring* value, DWORD* type) {
    HKEY key;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, kRunKey, 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS)
        return false;
    wchar_t data[1024] = {};
    DWORD size = sizeof data - sizeof data[0];
    DWORD kind = 0;
    const bool read = RegQueryValueExW(key, kRunValue, nullptr, &kind,
                                       reinterpret_cast<BYTE*>(data), &size) == ERROR_SUCCESS;
    RegCloseKey(key);
    if (!read) return false;
    value->assign(data, size / sizeof data[0]);
    while (!value->empty() && value->back() == L'\0')
        value->pop_back();
    if (type != nullptr) *type = kind;
    return true;
}

bool WriteRunValue(const std::wstring& value) {
    HKEY key;
    if (RegCreateKeyExW(HKEY_CURRENT_USER, kRunKey, 0, nullptr, REG_OPTION_NON_VOLATILE,
                        KEY_SET_VALUE, nullptr, &key, nullptr) != ERROR_SUCCESS)
        return false;
    const bool written =
        RegSetValueExW(key, kRunValue, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                       static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t))) == ERROR_SUCCESS;
    RegCloseKey(key);
    return written;
}

bool DeleteRunValue() {
    HKEY key;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, kRunKey, 0, KEY_SET_VALUE, &key) != ERROR_SUCCESS)
        return true;
    const LONG result = RegDeleteValueW(key, kRunValue);
    RegCloseKey(key);
    return result == ERROR_SUCCESS || result == ERROR_FILE_NOT_FOUND;
}
