#include "shell/services/store.h"

#include <windows.h>

#include <openssl/crypto.h>

#include "shell/logic/run_value.h"
#include "shell/logic/settings_logic.h"

namespace {

// The user's own, which the shell reads at logon; through the wide calls, so that any folder
// name the program lies in comes through.
const wchar_t kRunKeyPath[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Run";

bool OpenKeyForReading(HKEY& key) {
    return RegOpenKeyExA(HKEY_LOCAL_MACHINE, kSettingsKeyPath, 0, KEY_READ, &key) == ERROR_SUCCESS;
}

bool OpenKeyForWriting(HKEY& key) {
    return RegCreateKeyExA(HKEY_LOCAL_MACHINE, kSettingsKeyPath, 0, nullptr,
                           REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS, nullptr, &key,
                           nullptr) == ERROR_SUCCESS;
}

void WriteValues(HKEY key, const Settings& settings) {
    // NOTE: single writes are not checked: the key opened, and a value that
    // did not take is read back as its default next time.
    for (const SettingEntry& entry : kSettingTable) {
        const BYTE value = settings.*entry.field;
        RegSetValueExA(key, entry.name, 0, REG_BINARY, &value, 1);
    }
}

void ReadValues(HKEY key, Settings& settings) {
    for (const SettingEntry& entry : kSettingTable) {
        BYTE buffer[kStoredValueSize] = {};
        DWORD length = sizeof buffer;
        const LONG status = RegQueryValueExA(key, entry.name, nullptr, nullptr, buffer, &length);
        settings.*entry.field = StoredSettingValue(entry, status == ERROR_SUCCESS, buffer, length);
    }
}

// A value longer than the buffer fails with ERROR_MORE_DATA.
bool ReadRecord(HKEY key, std::uint8_t record[kSnkRecordSize], std::size_t& length) {
    DWORD read = kSnkRecordSize;
    const bool ok = RegQueryValueExA(key, kSnkRecordValueName, nullptr, nullptr, record, &read) ==
                        ERROR_SUCCESS &&
                    read <= kSnkRecordSize;
    length = ok ? read : 0;
    return ok;
}

} // namespace

LoadedSettings LoadSettings(Settings& settings) {
    HKEY key;
    if (!OpenKeyForReading(key)) {
        ApplyFirstRunDefaults(settings);
        return LoadedSettings{true, WriteSettings(settings), false};
    }
    ReadValues(key, settings);
    std::uint8_t record[kSnkRecordSize] = {};
    std::size_t length = 0;
    const bool snkRecordStored = ReadRecord(key, record, length);
    OPENSSL_cleanse(record, sizeof record);
    RegCloseKey(key);
    return LoadedSettings{false, true, snkRecordStored};
}

void ReadSettings(Settings& settings) {
    HKEY key;
    if (!OpenKeyForReading(key)) {
        ApplyFirstRunDefaults(settings);
        return;
    }
    ReadValues(key, settings);
    RegCloseKey(key);
}

bool WriteSettings(const Settings& settings) {
    HKEY key;
    if (!OpenKeyForWriting(key)) return false;
    WriteValues(key, settings);
    RegCloseKey(key);
    return true;
}

bool ReadSnkRecord(std::uint8_t record[kSnkRecordSize], std::size_t& length) {
    length = 0;
    HKEY key;
    if (!OpenKeyForReading(key)) return false;
    const bool ok = ReadRecord(key, record, length);
    RegCloseKey(key);
    return ok;
}

bool WriteSnkRecord(const std::uint8_t record[kSnkRecordSize]) {
    HKEY key;
    if (!OpenKeyForWriting(key)) return false;
    const LONG status =
        RegSetValueExA(key, kSnkRecordValueName, 0, REG_BINARY, record, kSnkRecordSize);
    RegCloseKey(key);
    return status == ERROR_SUCCESS;
}

bool ReadRunValue(wchar_t* value, std::size_t size) {
    HKEY key;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, kRunKeyPath, 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS)
        return false;
    DWORD type = 0;
    DWORD bytes = static_cast<DWORD>((size - 1) * sizeof(wchar_t));
    const LONG status = RegQueryValueExW(key, kRunValueName, nullptr, &type,
                                         reinterpret_cast<BYTE*>(value), &bytes);
    RegCloseKey(key);
    // A value too long for us is still there: it names no program we could be.
    if (status == ERROR_MORE_DATA) {
        value[0] = L'\0';
        return true;
    }
    if (status != ERROR_SUCCESS || (type != REG_SZ && type != REG_EXPAND_SZ)) return false;
    value[bytes / sizeof(wchar_t)] = L'\0';
    return true;
}

bool WriteRunValue(const wchar_t* value) {
    HKEY key;
    if (RegCreateKeyExW(HKEY_CURRENT_USER, kRunKeyPath, 0, nullptr, REG_OPTION_NON_VOLATILE,
                        KEY_SET_VALUE, nullptr, &key, nullptr) != ERROR_SUCCESS)
        return false;
    const DWORD bytes = static_cast<DWORD>((lstrlenW(value) + 1) * sizeof(wchar_t));
    const LONG status =
        RegSetValueExW(key, kRunValueName, 0, REG_SZ, reinterpret_cast<const BYTE*>(value), bytes);
    RegCloseKey(key);
    return status == ERROR_SUCCESS;
}

bool DeleteRunValue() {
    HKEY key;
    const LONG opened = RegOpenKeyExW(HKEY_CURRENT_USER, kRunKeyPath, 0, KEY_SET_VALUE, &key);
    if (opened == ERROR_FILE_NOT_FOUND) return true;
    if (opened != ERROR_SUCCESS) return false;
    const LONG status = RegDeleteValueW(key, kRunValueName);
    RegCloseKey(key);
    return status == ERROR_SUCCESS || status == ERROR_FILE_NOT_FOUND;
}
