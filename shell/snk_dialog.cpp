#include <openssl/crypto.h>

#include "resources/resource.h"
#include "shell/app_state.h"
#include "shell/interfaces.h"
#include "shell/message_box.h"
#include "shell/settings_store.h"
#include "shell/stack_wipe.h"
#include "shell/logic/settings_logic.h"
#include "snk/snk_enrol.h"
#include "snk/snk_record.h"

static bool StoreSnkRecord(const std::uint8_t record[kSnkRecordSize]) {
    HKEY key;
    if (!OpenSettingsKeyForWriting(&key)) {
        return false;
    }
    const LONG status =
        RegSetValueExA(key, kSnkRecordValueName, 0, REG_BINARY, record, kSnkRecordSize);
    RegCloseKey(key);
    return status == ERROR_SUCCESS;
}

// The seed and the password must not outlive the dialog in its edit controls.
static void CloseSnkDialog(HWND dialog) {
    SetDlgItemTextA(dialog, IDC_SNK_SEED, "");
    SetDlgItemTextA(dialog, IDC_SNK_PASSWORD, "");
    SetDlgItemTextA(dialog, IDC_SNK_CONFIRM, "");
    EndDialog(dialog, 1);
}

static INT_PTR EnrolFromFields(HWND dialog) {
    char seed[kSnkFieldSize] = {};
    char password[kSnkFieldSize] = {};
    char confirm[kSnkFieldSize] = {};
    std::uint8_t record[kSnkRecordSize] = {};
    GetDlgItemTextA(dialog, IDC_SNK_SEED, seed, sizeof seed);
    GetDlgItemTextA(dialog, IDC_SNK_PASSWORD, password, sizeof password);
    GetDlgItemTextA(dialog, IDC_SNK_CONFIRM, confirm, sizeof confirm);
    const EnrolCheck check = EnrolSnkSeed(seed, password, confirm, record);
    WipeUsedStack();
    OPENSSL_cleanse(seed, sizeof seed);
    OPENSSL_cleanse(password, sizeof password);
    OPENSSL_cleanse(confirm, sizeof confirm);
    if (check.result != 0) {
        OPENSSL_cleanse(record, sizeof record);
        ShowErrorBox(check.message);
        return check.result;
    }
    // Only a record that really reached the registry counts as saved.
    if (StoreSnkRecord(record)) {
        g_snkKeysSaved = TRUE;
    } else {
        ShowErrorBox(kRegistryWriteError);
    }
    OPENSSL_cleanse(record, sizeof record);
    CloseSnkDialog(dialog);
    return 0;
}

INT_PTR CALLBACK SnkSeedDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
    switch (message) {
    case WM_INITDIALOG: SetFocus(GetDlgItem(dialog, IDC_SNK_SEED)); return FALSE;
    case WM_COMMAND:
        switch (LOWORD(wParam)) {
        case IDOK: return EnrolFromFields(dialog);
        case IDCANCEL: CloseSnkDialog(dialog); return TRUE;
        }
        return FALSE;
    }
    return FALSE;
}
