#include "shell/settings_store.h"

#include <openssl/crypto.h>

#include "shell/app_state.h"
#include "shell/interfaces.h"
#include "shell/logic/settings_logic.h"
#include "shell/message_box.h"
#include "snk/snk_record.h"

bool OpenSettingsKeyForWriting(HKEY* key) {
    return RegCreateKeyExA(HKEY_LOCAL_MACHINE, kSettingsKeyPath, 0, nullptr,
                           REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS, nullptr, key,
                           nullptr) == ERROR_SUCCESS;
}

void WriteSettings(HKEY key) {
    for (const SettingEntry& entry : kSettingTable) {
        const BYTE value = g_settings.*entry.field;
        RegSetValueExA(key, entry.name, 0, REG_BINARY, &value, 1);
    }
}

static void ReadStoredSettings(HKEY key) {
    for (const SettingEntry& entry : kSettingTable) {
        BYTE buffer[kStoredValueSize] = {};
        DWORD length = sizeof buffer;
        const LONG status = RegQueryValueExA(key, entry.name, nullptr, nullptr, buffer, &length);
        g_settings.*entry.field =
            StoredSettingValue(entry, status == ERROR_SUCCESS, buffer, length);
    }
}

static void FindSnkRecord() {
    HKEY key;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kSettingsKeyPath, 0, KEY_READ, &key) != ERROR_SUCCESS) {
        return;
    }
    BYTE record[kSnkRecordSize] = {};
    DWORD length = sizeof record;
    if (RegQueryValueExA(key, kSnkRecordValueName, nullptr, nullptr, record, &length) ==
        ERROR_SUCCESS) {
        g_snkKeysSaved = TRUE;
    }
    OPENSSL_cleanse(record, sizeof record);
    RegCloseKey(key);
}

void LoadSettings() {
    HKEY key;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kSettingsKeyPath, 0, KEY_READ, &key) != ERROR_SUCCESS) {
        ApplyFirstRunDefaults(g_settings);
        if (OpenSettingsKeyForWriting(&key)) {
            WriteSettings(key);
            RegCloseKey(key);
        } else {
            ShowErrorBox(kRegistryWriteError);
        }
        return;
    }
    ReadStoredSettings(key);
    RegCloseKey(key);
    FindSnkRecord();
}
