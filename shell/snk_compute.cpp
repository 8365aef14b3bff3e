#include <openssl/crypto.h>

#include "shell/interfaces.h"
#include "shell/logic/settings_logic.h"
#include "shell/message_box.h"
#include "snk/snk_record.h"
#include "snk/snk_response.h"

int ComputeSnkResponse(const char* challenge, const char* password, char* response) {
    BYTE record[kSnkRecordSize] = {};
    DWORD length = sizeof record;
    bool recordRead = false;
    HKEY key;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kSettingsKeyPath, 0, KEY_READ, &key) == ERROR_SUCCESS) {
        // A value longer than the record fails with ERROR_MORE_DATA.
        recordRead = RegQueryValueExA(key, kSnkRecordValueName, nullptr, nullptr, record,
                                      &length) == ERROR_SUCCESS;
        RegCloseKey(key);
    }
    if (!recordRead || length > sizeof record) {
        recordRead = false;
        length = 0;
    }
    const SnkResult result =
        SnkResponseFromRecord(recordRead, record, length, challenge, password, response);
    OPENSSL_cleanse(record, sizeof record);
    switch (result) {
    case SnkResult::Ok: return 0;
    case SnkResult::RegistryError: ShowErrorBox(kSnkRegistryReadError); return -1;
    case SnkResult::BadPassword: ShowErrorBox(kSnkBadPassword); return -1;
    }
    return -1;
}
