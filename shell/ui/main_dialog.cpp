#include "shell/ui/main_dialog.h"

#include <windows.h>

#include <openssl/crypto.h>

#include <cstdint>
#include <cstring>

#include "engine/challenge.h"
#include "engine/otp.h"
#include "engine/six_words.h"
#include "resources/resource.h"
#include "shell/logic/clipboard_logic.h"
#include "shell/logic/list_logic.h"
#include "shell/logic/main_logic.h"
#include "shell/logic/notice_logic.h"
#include "shell/logic/renew_logic.h"
#include "shell/logic/sequence_logic.h"
#include "shell/logic/show_logic.h"
#include "shell/services/app_state.h"
#include "shell/services/clipboard.h"
#include "shell/services/compute_job.h"
#include "shell/services/foreground.h"
#include "shell/services/modal.h"
#include "shell/services/sequence_store.h"
#include "shell/services/snk_compute.h"
#include "shell/services/stack_wipe.h"
#include "shell/services/store.h"
#include "shell/services/tray.h"
#include "shell/ui/about_dialog.h"
#include "shell/ui/dialog_controls.h"
#include "shell/ui/guard_box.h"
#include "shell/ui/list_dialog.h"
#include "shell/ui/message_box.h"
#include "shell/ui/options_dialog.h"
#include "shell/ui/renew_dialog.h"

namespace {

bool dialogCreated = false;
HWND mainDialog = nullptr;
// The dialog's own, for the life of the process: the response its field shows and Copy
// delivers, the kind re-applied at WM_SHOWMAIN, and the challenge copied last.
char response[kResponseSize] = {};
HashKind rememberedKind = HashKind::MD5;
CopiedChallenge lastCopied = {};
// The modal loop shows the dialog the first time it finds its queue empty:
// after the dock posted from WM_INITDIALOG, and, if a show request came in
// first, even after the user has docked it again. So the dialog only ever
// becomes visible through ShowNow; every other show is refused.
bool showAllowed = false;
// Registered by the shell; it is broadcast when the taskbar is made anew.
UINT taskbarCreatedMessage = 0;
// How often the response field shows a running job's progress.
constexpr UINT kProgressIntervalMs = 200;
// What the shows still queued asked for, added up; the show that answers them takes it.
ShowRequest pendingShow = {};
// A challenge whose show was refused waits in the fields for the user.
bool challengeWaiting = false;
// What the shows that came while a box or dialog of ours waited for an answer asked for,
// carried out once the last is answered.
bool showAfterAnswerDue = false;
ShowRequest showAfterAnswer = {};
HHOOK keyFilter = nullptr;

void AddUp(ShowRequest& sum, ShowRequest request) {
    sum.challenge = sum.challenge || request.challenge;
    sum.atIcon = sum.atIcon || request.atIcon;
}

void ApplyMode(HWND dialog, const DialogMode& mode) {
    EnableWindow(GetDlgItem(dialog, IDC_COUNT), mode.countEnabled);
    EnableWindow(GetDlgItem(dialog, IDC_LIST), mode.sequenceEnabled);
    EnableWindow(GetDlgItem(dialog, IDC_RENEW), mode.sequenceEnabled);
    SetDlgItemTextA(dialog, IDC_CHALLENGE_LABEL, mode.challengeLabel);
    SetDlgItemTextA(dialog, IDC_RESPONSE_LABEL, mode.responseLabel);
}

void ShowNow(HWND dialog, int how) {
    showAllowed = true;
    ShowWindow(dialog, how);
    showAllowed = false;
}

// Posts WM_SHOWMAIN for `request`. A WM_SHOWMAIN posted from outside (a second start) asks for
// nothing more.
void RequestShow(HWND dialog, ShowRequest request) {
    AddUp(pendingShow, request);
    PostMessageA(dialog, WM_SHOWMAIN, 0, 0);
}

// The decrement lowers the count it followed, never one that a new challenge, Clear All or the
// user put in the field since.
void StopPendingDecrement(HWND dialog) {
    KillTimer(dialog, ID_TIMER_DECR);
}

// A renewal line, longer than the response field, is shown whole below it too.
void SetResponseField(HWND dialog, const char* text) {
    SetDlgItemTextA(dialog, IDC_RESPONSE, text);
    const bool line = IsRenewalLine(text);
    SetDlgItemTextA(dialog, IDC_RENEW_LINE, line ? text : "");
    ShowWindow(GetDlgItem(dialog, IDC_RENEW_LINE), line ? SW_SHOW : SW_HIDE);
}

// The response goes, and Copy with it: the fields no longer hold what it answered.
void EmptyResponse(HWND dialog) {
    OPENSSL_cleanse(response, sizeof response);
    SetResponseField(dialog, "");
    EnableWindow(GetDlgItem(dialog, IDC_COPY), FALSE);
}

// Close and the docking timeout: icon in, dialog out.
void DockMainDialog(HWND dialog) {
    EnsureTrayIcon(dialog);
    ShowWindow(dialog, SW_HIDE);
    if (g_settings.ClearPass != 0) {
        // Putting the dialog away is no change of what a running long count answers.
        ComputeJobPassPhraseCleared();
        SetDlgItemTextA(dialog, IDC_PASSPHRASE, "");
    }
}

void RestartDockTimer(HWND dialog) {
    KillTimer(dialog, ID_TIMER_DOCK);
    SetTimer(dialog, ID_TIMER_DOCK, TimerIntervalMs(g_settings.DockTime), nullptr);
}

// While the tray menu is open its keys come to the hidden dialog, the menu's owner, and the
// menu takes them from there.
bool InMenu() {
    GUITHREADINFO info = {};
    info.cbSize = sizeof info;
    return GetGUIThreadInfo(GetCurrentThreadId(), &info) && (info.flags & GUI_INMENUMODE) != 0;
}

// A docked dialog never acts on a key. NOTE: kept for a shell that does not take the keyboard
// back from the menu (NIM_SETFOCUS ignored, as Wine's shell does): the hidden dialog, which the
// menu needed in front, would keep it, and a key would go into a field the user cannot see, or
// press Ok or Exit.
LRESULT CALLBACK IgnoreKeysWhileDocked(int code, WPARAM removal, LPARAM lParam) {
    MSG* message = reinterpret_cast<MSG*>(lParam);
    if (code == HC_ACTION && message->message >= WM_KEYFIRST && message->message <= WM_KEYLAST &&
        !IsWindowVisible(mainDialog) &&
        (message->hwnd == mainDialog || IsChild(mainDialog, message->hwnd)) && !InMenu()) {
        message->message = WM_NULL;
    }
    return CallNextHookEx(nullptr, code, removal, lParam);
}

std::optional<HashKind> CheckedKind(HWND dialog) {
    for (const KindRow& row : kKindTable) {
        if (Checked(dialog, static_cast<int>(row.radio))) return row.kind;
    }
    return std::nullopt;
}

// The icon carries the mark of a challenge that waits while the dialog is docked; its tip
// names the challenge, as the radio button checked and the fields say it.
void ShowWaitingOnIcon(HWND dialog) {
    if (!challengeWaiting || IsWindowVisible(dialog)) {
        MarkTrayIcon(dialog, nullptr);
        return;
    }
    char count[kChallengeSlotLength + 1] = {};
    char seed[kChallengeSeedLength + 1] = {};
    char tip[kTrayTipSize];
    GetDlgItemTextA(dialog, IDC_COUNT, count, sizeof count);
    GetDlgItemTextA(dialog, IDC_SEED, seed, sizeof seed);
    WaitingTip(CheckedKind(dialog), count, seed, tip);
    MarkTrayIcon(dialog, tip);
}

void OnInitDialog(HWND dialog) {
    dialogCreated = true;
    mainDialog = dialog;
    taskbarCreatedMessage = RegisterWindowMessageA("TaskbarCreated");
    // A copy run as administrator still hears a second start and a new taskbar, both sent
    // from programs that run below it.
    ChangeWindowMessageFilterEx(dialog, WM_SHOWMAIN, MSGFLT_ALLOW, nullptr);
    ChangeWindowMessageFilterEx(dialog, taskbarCreatedMessage, MSGFLT_ALLOW, nullptr);
    // Each at the size the system draws it, from the image drawn for that size.
    // They stay for the whole run, as the dialog does.
    SendMessageA(
        dialog, WM_SETICON, ICON_SMALL,
        reinterpret_cast<LPARAM>(LoadIconAtSystemSize(IDI_MAIN, SM_CXSMICON, SM_CYSMICON)));
    SendMessageA(dialog, WM_SETICON, ICON_BIG,
                 reinterpret_cast<LPARAM>(LoadIconAtSystemSize(IDI_MAIN, SM_CXICON, SM_CYICON)));
    CheckRadioButton(dialog, IDC_MD5, IDC_SNK, IDC_MD4);
    keyFilter =
        SetWindowsHookExA(WH_GETMESSAGE, IgnoreKeysWhileDocked, nullptr, GetCurrentThreadId());
    JoinClipboardChain(dialog);
    const LoadedSettings loaded = LoadSettings(g_settings);
    if (!loaded.saved) ShowMessage(dialog, Message::RegistryWrite);
    if (loaded.snkRecordStored) g_snkKeysSaved = true;
    if (loaded.firstStart) OfferNoticeOnceIconIsThere(PlainNotice(Notice::FirstStart));
    OpenSequenceMemory();
    // The dock adds the icon, and the first-start notice follows it.
    PostMessageA(dialog, WM_COMMAND, IDC_CLOSE, 0);
}

void ApplyOkOutcome(HWND dialog, const OkOutcome& outcome) {
    // The field always shows what Copy would deliver, never a stale answer.
    if (outcome.showResponse) {
        SetResponseField(dialog, response);
        EnableWindow(GetDlgItem(dialog, IDC_COPY), TRUE);
    } else {
        EmptyResponse(dialog);
    }
    if (outcome.startDecrTimer) SetTimer(dialog, ID_TIMER_DECR, outcome.decrIntervalMs, nullptr);
}

// Read as the Ok command reads them: the count only outside SNK mode.
OkFields ReadOkFields(HWND dialog) {
    OkFields fields = {};
    fields.kind = CheckedKind(dialog);
    if (fields.kind != HashKind::SNK)
        GetDlgItemTextA(dialog, IDC_COUNT, fields.count, sizeof fields.count);
    GetDlgItemTextA(dialog, IDC_SEED, fields.seed, sizeof fields.seed);
    GetDlgItemTextA(dialog, IDC_PASSPHRASE, fields.passPhrase, sizeof fields.passPhrase);
    return fields;
}

// What Ok, List... and Renew... compute: the response, a list of the responses ahead, or the
// current response of a renewal.
enum class Purpose { Response, List, Renewal };

// A press of one of them, kept until it is answered: after the worker, when it runs on one.
struct Press {
    Purpose purpose;
    OkFields fields;
    HashKind kind;
    std::uint32_t count;
    bool remembered;
    SequenceRecord record;
};
Press press;

void ForgetPress() {
    OPENSSL_cleanse(&press, sizeof press);
}

// The response field as it was before a list or a renewal showed its progress there.
void RestoreResponse(HWND dialog) {
    SetResponseField(dialog, response);
    EnableWindow(GetDlgItem(dialog, IDC_COPY), response[0] != '\0');
}

// The guard's boxes, with the question of what the press is for.
bool PassGuardOfPress(HWND dialog, const GuardVerdict& verdict) {
    const Message question = press.purpose == Purpose::Response ? Message::GuardResponse
                             : press.purpose == Purpose::List   ? Message::GuardList
                                                                : Message::GuardRenewal;
    return PassGuard(dialog, verdict, press.kind, press.fields.seed, press.count, question);
}

// What the memory takes of the press's answer, down to `lowest`.
void RememberPress(const GuardVerdict& verdict, const OtpChain& chain, std::uint32_t lowest) {
    RememberSequence(
        press.kind, press.fields.seed,
        AnswerPastGuard(verdict, press.count, lowest, chain.values[lowest - chain.low]));
}

void AnswerResponse(HWND dialog, const OtpChain& chain, const GuardVerdict& verdict) {
    const HashKind kind = press.kind;
    const char* words = EncodeSixWords(chain.values[0]);
    std::memcpy(response, words, std::strlen(words) + 1);
    RememberPress(verdict, chain, press.count);
    ApplyOkOutcome(dialog, OkOutcomeFor(true, g_settings));
    OfferNotice(dialog, ResponsesLeftNotice(kind, press.count, press.fields.seed));
}

void AnswerRenewal(HWND dialog, const OtpChain& chain, const GuardVerdict& verdict) {
    const RenewRequest request = {
        press.kind,
        press.fields.seed,
        press.fields.passPhrase,
        press.count,
        chain.values[0],
        RenewalAccepted(lastCopied, press.kind, press.fields.count, press.fields.seed),
        response};
    if (!RunRenewDialog(dialog, request)) return;
    RememberPress(verdict, chain, press.count);
    // The line answers the count in the field: no lower one follows it.
    StopPendingDecrement(dialog);
    ApplyOkOutcome(dialog, OkOutcome{true, false, 0});
}

// The chain of a press is in, or its computation failed: the guard asks, then the answer.
void FinishPress(HWND dialog, bool computed, const OtpChain& chain) {
    const SequenceRecord* remembered = press.remembered ? &press.record : nullptr;
    const GuardVerdict verdict = DecideGuard(g_settings.Guard != 0, remembered, press.count,
                                             chain.check != 0 ? chain.checkValue : nullptr);
    if (!computed) {
        if (press.purpose == Purpose::Response) {
            ApplyOkOutcome(dialog, OkOutcomeFor(false, g_settings));
        } else {
            RestoreResponse(dialog);
        }
    } else if (!PassGuardOfPress(dialog, verdict)) {
        EmptyResponse(dialog);
    } else if (press.purpose == Purpose::Response) {
        AnswerResponse(dialog, chain, verdict);
    } else {
        RestoreResponse(dialog);
        if (press.purpose == Purpose::List) {
            RunListDialog(dialog, ListRequest{press.kind, press.fields.seed, &chain, &verdict});
        } else {
            AnswerRenewal(dialog, chain, verdict);
        }
    }
    ForgetPress();
}

void ShowJobProgress(HWND dialog) {
    char progress[kProgressTextSize];
    OtpChain chain{};
    const JobState state = PollComputeJob(progress, chain);
    if (state == JobState::Running) {
        // Set on every tick: its change notice keeps an open dialog from docking mid-job.
        SetResponseField(dialog, progress);
        return;
    }
    KillTimer(dialog, ID_TIMER_PROGRESS);
    if (state != JobState::None) FinishPress(dialog, state == JobState::Computed, chain);
    OPENSSL_cleanse(&chain, sizeof chain);
}

// Copy stays disabled until the job's words are in the field.
void ShowLongComputation(HWND dialog) {
    // The decrement follows this answer, as it would after a computation in the press.
    StopPendingDecrement(dialog);
    EnableWindow(GetDlgItem(dialog, IDC_COPY), FALSE);
    SetTimer(dialog, ID_TIMER_PROGRESS, kProgressIntervalMs, nullptr);
    ShowJobProgress(dialog);
}

void AbandonLongComputation(HWND dialog) {
    if (!ComputeJobRunning()) return;
    StopComputeJob();
    ForgetPress();
    KillTimer(dialog, ID_TIMER_PROGRESS);
    SetResponseField(dialog, "");
}

// Any real change of what the job answers makes its answer stale before it exists.
void AbandonStaleComputation(HWND dialog) {
    if (!ComputeJobRunning()) return;
    OkFields shown = ReadOkFields(dialog);
    if (!ComputeJobMatches(shown)) AbandonLongComputation(dialog);
    OPENSSL_cleanse(&shown, sizeof shown);
}

// The SNK response, in the press.
void AnswerSnk(HWND dialog, OkFields& fields) {
    const Message refusal = ComputeSnkResponse(fields.seed, fields.passPhrase, response);
    WipeUsedStack();
    OPENSSL_cleanse(&fields, sizeof fields);
    ShowMessage(dialog, refusal);
    ApplyOkOutcome(dialog, OkOutcomeFor(refusal == Message::None, g_settings));
}

void OnCompute(HWND dialog, Purpose purpose) {
    // A second press while a job runs starts nothing.
    if (ComputeJobRunning()) return;
    OkFields fields = ReadOkFields(dialog);

    const Message error = CheckOkFields(fields.kind, fields.count, fields.seed, fields.passPhrase);
    if (error != Message::None) {
        OPENSSL_cleanse(&fields, sizeof fields);
        if (purpose == Purpose::Response) ApplyOkOutcome(dialog, OkOutcomeFor(false, g_settings));
        ShowMessage(dialog, error);
        return;
    }

    challengeWaiting = false;
    // Any box that follows (a failure, a guard) comes with the last words gone.
    if (purpose == Purpose::Response) EmptyResponse(dialog);
    if (!IsOtpKind(fields.kind)) {
        if (purpose == Purpose::Response) AnswerSnk(dialog, fields);
        OPENSSL_cleanse(&fields, sizeof fields);
        return;
    }
    press = {};
    press.purpose = purpose;
    press.fields = fields;
    press.kind = *fields.kind;
    // The checks let only counts above zero through, of at most 9 digits.
    press.count = static_cast<std::uint32_t>(ReadCount(fields.count));
    // Looked up with the guard off too: the memory takes nothing from another pass phrase.
    press.remembered = LookUpSequence(press.kind, fields.seed, &press.record);
    OPENSSL_cleanse(&fields, sizeof fields);
    OtpChain chain =
        PlanChain(press.count, purpose == Purpose::List,
                  GuardCheckCount(press.remembered ? &press.record : nullptr, press.count));
    const JobState state = ComputeOrStartChain(press.fields, chain);
    if (state == JobState::Started) {
        ShowLongComputation(dialog);
    } else {
        FinishPress(dialog, state == JobState::Computed, chain);
    }
    OPENSSL_cleanse(&chain, sizeof chain);
}

void OnDecrTimer(HWND dialog) {
    // NOTE: with AutoDecr off the timer keeps running, and lowers the count at its first
    // expiry after AutoDecr is on again.
    if (g_settings.AutoDecr == 0) return;
    char count[kCountReadSize] = {};
    char lowered[kCountTextSize] = {};
    GetDlgItemTextA(dialog, IDC_COUNT, count, sizeof count);
    KillTimer(dialog, ID_TIMER_DECR);
    if (LowerCount(count, lowered)) SetDlgItemTextA(dialog, IDC_COUNT, lowered);
}

// The docking timeout leaves a dialog with a box or dialog of ours over it alone: its answer
// comes first, and the next expiry docks.
void OnDockTimer(HWND dialog) {
    if (g_settings.AutoDock != 0 && !WaitingForAnswer())
        PostMessageA(dialog, WM_COMMAND, IDC_CLOSE, 0);
}

// A burst of copies, each asking for a show, comes forward once, for the last of them.
void DropQueuedShows(HWND dialog) {
    MSG queued;
    while (PeekMessageA(&queued, dialog, WM_SHOWMAIN, WM_SHOWMAIN, PM_REMOVE)) {
    }
}

// Named by the radio button checked, which decides what Ok computes.
NoticeText ChallengeWaitingInFields(HWND dialog) {
    char count[kChallengeSlotLength + 1] = {};
    char seed[kChallengeSeedLength + 1] = {};
    GetDlgItemTextA(dialog, IDC_COUNT, count, sizeof count);
    GetDlgItemTextA(dialog, IDC_SEED, seed, sizeof seed);
    return ChallengeWaitingNotice(CheckedKind(dialog), count, seed);
}

void OnShowMain(HWND dialog) {
    DropQueuedShows(dialog);
    if (showAfterAnswerDue) {
        AddUp(pendingShow, showAfterAnswer);
        showAfterAnswer = {};
        showAfterAnswerDue = false;
    }
    const ShowRequest request = pendingShow;
    pendingShow = {};
    if (ExitRequested()) return;
    const bool busy = WaitingForAnswer();
    const bool inFront = ComeForward(busy ? WaitingWindow(dialog) : dialog);
    const ShowEnd end = ShowEndFor(request, busy, inFront, challengeWaiting);
    challengeWaiting = end.challengeWaiting;
    if (end.askAgainWhenFree) {
        AddUp(showAfterAnswer, request);
        showAfterAnswerDue = true;
        PostWhenAnswered(dialog, WM_SHOWMAIN);
    }
    if (end.dock) DockMainDialog(dialog);
    if (end.showDialog) {
        ShowNow(dialog, SW_SHOWNORMAL);
        if (end.focusPassPhrase) SetFocus(GetDlgItem(dialog, IDC_PASSPHRASE));
        if (end.hideNotice) WithdrawNotice(dialog);
    }
    if (end.notice == Notice::ChallengeWaiting) {
        OfferNotice(dialog, ChallengeWaitingInFields(dialog));
    } else {
        OfferNotice(dialog, PlainNotice(end.notice));
    }
    ShowWaitingOnIcon(dialog);
    if (end.askAgainWhenFree) return;
    if (g_settings.AutoDock != 0)
        SetTimer(dialog, ID_TIMER_DOCK, TimerIntervalMs(g_settings.DockTime), nullptr);
    EnableWindow(GetDlgItem(dialog, IDC_SNK), g_settings.SNK != 0);
    // Applied at once rather than posted: a radio clicked right after the show
    // would otherwise be overruled by the stale mode.
    SendMessageA(dialog, WM_COMMAND, RadioOf(rememberedKind), 0);
}

// Once at the end, and from the end of the session too, when the process may go any moment
// after: nothing of ours is left behind in the shell or the viewer chain.
void LeaveTheShell(HWND dialog) {
    StopComputeJob();
    ForgetPress();
    LeaveClipboardChain(dialog);
    ClearCopiedList();
    RemoveTrayIcon(dialog);
    if (keyFilter != nullptr) UnhookWindowsHookEx(keyFilter);
    keyFilter = nullptr;
}

// A radio button chooses the kind; the SNK mode only with SNK features on.
void OnKindRadio(HWND dialog, HashKind kind) {
    if (kind != HashKind::SNK || g_settings.SNK != 0) ApplyMode(dialog, ModeOf(kind));
    rememberedKind = kind;
    AbandonStaleComputation(dialog);
}

// Typing, focus changes and the change notices of the fields: the docking countdown runs from
// the last of them, and a running long count that no longer answers the fields stops.
void OnFieldActivity(HWND dialog) {
    RestartDockTimer(dialog);
    AbandonStaleComputation(dialog);
}

// Fills the fields from a challenge found in `text`, a writable copy of the clipboard's, and
// asks for a show; does nothing otherwise.
void RecogniseChallenge(HWND dialog, char* text) {
    const ParsedChallenge parsed = ParseChallenge(text);
    if (!parsed.found) return;
    // Only the check marks change here; WM_SHOWMAIN re-applies the mode.
    rememberedKind = parsed.kind;
    CheckRadioButton(dialog, IDC_MD5, IDC_SNK, static_cast<int>(RadioOf(parsed.kind)));
    StopPendingDecrement(dialog);
    SetDlgItemTextA(dialog, IDC_COUNT, parsed.slots.count);
    SetDlgItemTextA(dialog, IDC_SEED, parsed.slots.seed);
    lastCopied = CopiedChallenge{true, parsed.kind, {}, {}, parsed.extended};
    lstrcpynA(lastCopied.count, parsed.slots.count, sizeof lastCopied.count);
    lstrcpynA(lastCopied.seed, parsed.slots.seed, sizeof lastCopied.seed);
    // The last answer is for another challenge: Copy must not deliver it for this one.
    EmptyResponse(dialog);
    // What is typed next replaces a pass phrase left in the field, never adds to it.
    SendDlgItemMessageA(dialog, IDC_PASSPHRASE, EM_SETSEL, 0, -1);
    SetFocus(GetDlgItem(dialog, IDC_PASSPHRASE));
    RequestShow(dialog, ShowRequest{true, false});
}

void OnDrawClipboard(HWND dialog, WPARAM wParam, LPARAM lParam) {
    if (g_settings.Clipboard != 0) {
        ClipboardText copied = ReadClipboardText(dialog);
        if (copied.text != nullptr) RecogniseChallenge(dialog, copied.text);
        FreeClipboardText(copied);
    }
    PassDrawClipboardOn(dialog, wParam, lParam);
}

void CopyResponse(HWND dialog) {
    char text[kCopyBlockSize];
    const std::size_t length =
        BuildCopyText(response, sizeof response, g_settings.Return != 0, text);
    if (CopyTextToClipboard(dialog, text, length) == ClipboardCopy::NoMemory)
        ShowSystemError(dialog, Message::ClipboardAlloc);
    OPENSSL_cleanse(text, sizeof text);
}

// As the menu's Open: the dialog up with the keyboard in its first field, the count, or the
// challenge where the mode has no count.
void OpenReady(HWND dialog) {
    const HWND count = GetDlgItem(dialog, IDC_COUNT);
    SetFocus(IsWindowEnabled(count) ? count : GetDlgItem(dialog, IDC_SEED));
    RequestShow(dialog, ShowRequest{false, true});
}

void OnTrayRequest(HWND dialog, const TrayRequest& request) {
    switch (request.action) {
    case TrayAction::ShowMain: RequestShow(dialog, ShowRequest{false, true}); return;
    case TrayAction::OpenReady: OpenReady(dialog); return;
    case TrayAction::Menu: break;
    default: return;
    }
    // About and Options leave the dialog as it was: docked stays docked.
    switch (request.menuChoice) {
    case IDM_OPEN: OpenReady(dialog); return;
    case IDM_EXIT: ExitProgram(dialog); return;
    case IDM_ABOUT: RunAboutDialog(dialog); break;
    case IDM_OPTIONS: RunOptionsDialog(dialog); break;
    }
    if (!request.overWaiting && !IsWindowVisible(dialog) && !ExitRequested())
        GiveKeyboardBack(dialog, request.before);
}

void OnClearAll(HWND dialog) {
    StopPendingDecrement(dialog);
    AbandonLongComputation(dialog);
    SetResponseField(dialog, "");
    SetDlgItemTextA(dialog, IDC_SEED, "");
    SetDlgItemTextA(dialog, IDC_PASSPHRASE, "");
    SetDlgItemTextA(dialog, IDC_COUNT, "");
    challengeWaiting = false;
}

void OnCommand(HWND dialog, WPARAM wParam) {
    const unsigned id = LOWORD(wParam);
    switch (id) {
    case IDCANCEL: // the Escape key exits, it does not dock
    case IDC_EXIT: ExitProgram(dialog); return;
    case IDC_CLOSE:
        DockMainDialog(dialog);
        ShowWaitingOnIcon(dialog);
        return;
    case IDC_OPTIONS:
        RunOptionsDialog(dialog);
        if (!ExitRequested()) ShowNow(dialog, SW_SHOW);
        return;
    case IDC_COMPUTE: OnCompute(dialog, Purpose::Response); return;
    case IDC_LIST: OnCompute(dialog, Purpose::List); return;
    case IDC_RENEW: OnCompute(dialog, Purpose::Renewal); return;
    case IDC_COPY: CopyResponse(dialog); return;
    case IDC_CLEARALL: OnClearAll(dialog); return;
    }
    if (const std::optional<HashKind> kind = KindOfRadio(id)) {
        OnKindRadio(dialog, *kind);
        return;
    }
    if (id == IDC_COUNT && HIWORD(wParam) == EN_CHANGE) StopPendingDecrement(dialog);
    OnFieldActivity(dialog);
}

void OnDestroy(HWND dialog) {
    LeaveTheShell(dialog);
    PostQuitMessage(0);
}

INT_PTR CALLBACK MainDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    // The new taskbar knows no icons: ours comes back, and nothing else changes.
    if (message == taskbarCreatedMessage && message != 0) {
        TaskbarMadeAnew(dialog);
        return FALSE;
    }
    switch (message) {
    case WM_INITDIALOG: OnInitDialog(dialog); return FALSE;
    case WM_COMMAND: OnCommand(dialog, wParam); return FALSE;
    case WM_TIMER:
        switch (LOWORD(wParam)) {
        case ID_TIMER_DOCK: OnDockTimer(dialog); break;
        case ID_TIMER_DECR: OnDecrTimer(dialog); break;
        case ID_TIMER_PROGRESS: ShowJobProgress(dialog); break;
        case ID_TIMER_ICON: RetryTrayIcon(dialog); break;
        }
        return FALSE;
    case WM_SHOWMAIN: OnShowMain(dialog); return FALSE;
    case WM_TRAYNOTIFY: OnTrayRequest(dialog, OnTrayNotify(dialog, wParam, lParam)); return FALSE;
    case WM_DRAWCLIPBOARD: OnDrawClipboard(dialog, wParam, lParam); return FALSE;
    case WM_CHANGECBCHAIN: OnChangeCbChain(dialog, wParam, lParam); return FALSE;
    case WM_WINDOWPOSCHANGING:
        if (!showAllowed) reinterpret_cast<WINDOWPOS*>(lParam)->flags &= ~SWP_SHOWWINDOW;
        return FALSE;
    case WM_ENDSESSION:
        if (wParam != FALSE) {
            ExitProgram(dialog);
            LeaveTheShell(dialog);
        }
        return FALSE;
    case WM_DESTROY: OnDestroy(dialog); return TRUE;
    default: return FALSE;
    }
}

} // namespace

void RunMainDialog() {
    const INT_PTR result =
        DialogBoxParamA(g_instance, MAKEINTRESOURCEA(IDD_MAIN), nullptr, MainDialogProc, 0);
    // The tray's Exit destroys the window without EndDialog; that is no failure.
    if (result == -1 && !dialogCreated) ShowSystemError(nullptr, Message::DialogCreate);
}
