#include "shell/recognise_challenge.h"

#include "engine/challenge.h"
#include "resources/resource.h"
#include "shell/app_state.h"
#include "shell/dialogs.h"
#include "shell/logic/main_logic.h"

void RecogniseChallenge(HWND dialog, char* text) {
    const ParsedChallenge parsed = ParseChallenge(text);
    if (!parsed.found) return;
    // Only the check marks change here; WM_SHOWMAIN re-applies the mode.
    g_rememberedKind = parsed.kind;
    CheckRadioButton(dialog, IDC_MD5, IDC_SNK, static_cast<int>(RadioOf(parsed.kind)));
    StopPendingDecrement(dialog);
    SetDlgItemTextA(dialog, IDC_COUNT, parsed.slots.count);
    SetDlgItemTextA(dialog, IDC_SEED, parsed.slots.seed);
    g_lastCopied = CopiedChallenge{true, parsed.kind, {}, {}, parsed.extended};
    lstrcpynA(g_lastCopied.count, parsed.slots.count, sizeof g_lastCopied.count);
    lstrcpynA(g_lastCopied.seed, parsed.slots.seed, sizeof g_lastCopied.seed);
    // The last answer is for another challenge: Copy must not deliver it for this one.
    EmptyResponse(dialog);
    SetFocus(GetDlgItem(dialog, IDC_PASSPHRASE));
    RequestShow(dialog, ShowRequest{true, false});
}
