#include "shell/store.h"

#include <windows.h>

#include <openssl/crypto.h>

#include "shell/logic/settings_logic.h"

namespace {

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
