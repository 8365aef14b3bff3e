#include "shell/ui/renew_dialog.h"

#include <openssl/crypto.h>

#include "resources/resource.h"
#include "shell/logic/renew_logic.h"
#include "shell/logic/sequence_logic.h"
#include "shell/services/app_state.h"
#include "shell/services/modal.h"
#include "shell/services/sequence_store.h"
#include "shell/services/stack_wipe.h"
#include "shell/ui/message_box.h"

namespace {

const RenewRequest* renewing = nullptr;
bool lineMade = false;

RenewFields ReadRenewFields(HWND dialog) {
    RenewFields fields = {};
    GetDlgItemTextA(dialog, IDC_RENEW_PASSPHRASE, fields.passPhrase, sizeof fields.passPhrase);
    GetDlgItemTextA(dialog, IDC_RENEW_CONFIRM, fields.confirm, sizeof fields.confirm);
    GetDlgItemTextA(dialog, IDC_RENEW_SEED, fields.seed, sizeof fields.seed);
    GetDlgItemTextA(dialog, IDC_RENEW_COUNT, fields.count, sizeof fields.count);
    return fields;
}

// The new sequence's response at its count, and the line with it in the request's.
bool MakeLine(HWND dialog, const RenewFields& fields) {
    const RenewRequest& request = *renewing;
    const char* passPhrase = fields.passPhrase[0] != '\0' ? fields.passPhrase : request.passPhrase;
    const auto count = static_cast<std::uint32_t>(ReadCount(fields.count));
    OtpChain next{};
    next.low = count;
    next.high = count;
    OtpProgress progress;
    bool made = ComputeOtpChain(request.kind, fields.seed, passPhrase, next, progress) == kOtpOk;
    WipeUsedStack();
    made = made && BuildRenewalLine(request.kind, request.current, fields.seed, count,
                                    next.values[0], IsDlgButtonChecked(dialog, IDC_RENEW_HEX) != 0,
                                    request.line, kResponseSize) > 0;
    // A new sequence, perhaps with a new pass phrase: the memory takes it as it is.
    if (made)
        RememberSequence(request.kind, fields.seed,
                         SequenceAnswer{count, count, SequenceCheck(next.values[0]), true, false});
    OPENSSL_cleanse(&next, sizeof next);
    return made;
}

void OnRenewOk(HWND dialog) {
    RenewFields fields = ReadRenewFields(dialog);
    const Message refusal =
        CheckRenewFields(renewing->kind, renewing->seed, renewing->passPhrase, fields);
    if (refusal != Message::None) {
        OPENSSL_cleanse(&fields, sizeof fields);
        ShowMessage(dialog, refusal);
        return;
    }
    lineMade = !ExitRequested() && MakeLine(dialog, fields);
    OPENSSL_cleanse(&fields, sizeof fields);
    EndDialog(dialog, 1);
}

void InitRenew(HWND dialog, const RenewRequest* request) {
    renewing = request;
    char seed[kSeedLimit + 1];
    NextSeed(request->seed, seed);
    SetDlgItemTextA(dialog, IDC_RENEW_SEED, seed);
    SetDlgItemInt(dialog, IDC_RENEW_COUNT, kNewCountAtFirst, FALSE);
    ShowWindow(GetDlgItem(dialog, IDC_RENEW_NOTE), request->accepted ? SW_HIDE : SW_SHOW);
    SetForegroundWindow(dialog);
}

INT_PTR CALLBACK RenewDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_INITDIALOG:
        InitRenew(dialog, reinterpret_cast<const RenewRequest*>(lParam));
        return TRUE;
    case WM_COMMAND:
        switch (LOWORD(wParam)) {
        case IDOK: OnRenewOk(dialog); return TRUE;
        case IDCANCEL: EndDialog(dialog, 0); return TRUE;
        }
        return FALSE;
    case WM_DESTROY:
        // The new pass phrase must not outlive the dialog in its fields.
        SetDlgItemTextA(dialog, IDC_RENEW_PASSPHRASE, "");
        SetDlgItemTextA(dialog, IDC_RENEW_CONFIRM, "");
        return FALSE;
    }
    return FALSE;
}

} // namespace

bool RunRenewDialog(HWND owner, const RenewRequest& request) {
    lineMade = false;
    if (!RunOnce(IDD_RENEW, RenewDialogProc, owner, reinterpret_cast<LPARAM>(&request)))
        ShowSystemError(owner, Message::DialogCreate);
    renewing = nullptr;
    return lineMade && !ExitRequested();
}
