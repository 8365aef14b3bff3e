#include "shell/ui/snk_dialog.h"

#include <openssl/crypto.h>

#include "resources/resource.h"
#include "shell/logic/messages.h"
#include "shell/services/app_state.h"
#include "shell/services/modal.h"
#include "shell/services/stack_wipe.h"
#include "shell/services/store.h"
#include "shell/ui/message_box.h"
#include "snk/snk_enrol.h"
#include "snk/snk_record.h"

namespace {

// The seed and the password must not outlive the dialog in its edit controls.
void CloseSnkDialog(HWND dialog) {
    SetDlgItemTextA(dialog, IDC_SNK_SEED, "");
    SetDlgItemTextA(dialog, IDC_SNK_PASSWORD, "");
    SetDlgItemTextA(dialog, IDC_SNK_CONFIRM, "");
    EndDialog(dialog, 1);
}

INT_PTR EnrolFromFields(HWND dialog) {
    char seed[kSnkFieldSize] = {};
    char password[kSnkFieldSize] = {};
    char confirm[kSnkFieldSize] = {};
    std::uint8_t record[kSnkRecordSize] = {};
    GetDlgItemTextA(dialog, IDC_SNK_SEED, seed, sizeof seed);
    GetDlgItemTextA(dialog, IDC_SNK_PASSWORD, password, sizeof password);
    GetDlgItemTextA(dialog, IDC_SNK_CONFIRM, confirm, sizeof confirm);
    const EnrolRefusal refusal = EnrolSnkSeed(seed, password, confirm, record);
    WipeUsedStack();
    OPENSSL_cleanse(seed, sizeof seed);
    OPENSSL_cleanse(password, sizeof password);
    OPENSSL_cleanse(confirm, sizeof confirm);
    if (refusal != EnrolRefusal::None) {
        OPENSSL_cleanse(record, sizeof record);
        const Message message = EnrolRefusalMessage(refusal);
        ShowMessage(dialog, message);
        return MessageFor(message).dialogResult;
    }
    // Only a record that really reached the registry counts as saved.
    if (WriteSnkRecord(record)) {
        g_snkKeysSaved = true;
    } else {
        ShowMessage(dialog, Message::RegistryWrite);
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

} // namespace

bool RunSnkSeedDialog(HWND owner) {
    return RunOnce(IDD_SNK_SEED, SnkSeedDialogProc, owner, 0);
}
