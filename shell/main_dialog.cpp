#include <windows.h>

#include <openssl/crypto.h>

#include <cstdint>
#include <cstring>

#include "engine/otp.h"
#include "resources/resource.h"
#include "shell/app_state.h"
#include "shell/clipboard.h"
#include "shell/compute_job.h"
#include "shell/dialogs.h"
#include "shell/message_box.h"
#include "shell/logic/main_logic.h"
#include "shell/logic/notice_logic.h"
#include "shell/snk_compute.h"
#include "shell/stack_wipe.h"
#include "shell/store.h"
#include "shell/tray.h"

namespace {

bool dialogCreated = false;
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
// Said once, at the start that found no settings; still due should the icon be missing then.
bool firstStartNoticeDue = false;

void ApplyMode(HWND dialog, const DialogMode& mode) {
    EnableWindow(GetDlgItem(dialog, IDC_COUNT), mode.countEnabled);
    SetDlgItemTextA(dialog, IDC_CHALLENGE_LABEL, mode.challengeLabel);
    SetDlgItemTextA(dialog, IDC_RESPONSE_LABEL, mode.responseLabel);
}

void ShowNow(HWND dialog, int how) {
    showAllowed = true;
    ShowWindow(dialog, how);
    showAllowed = false;
}

// Typing stops at a field's limit. A paste goes in whole, however long, for Ok to refuse:
// the edit control would cut it to fit, in silence. The three fields share one class.
WNDPROC editProcedure = nullptr;

LRESULT CALLBACK LimitedEditProc(HWND edit, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message != WM_PASTE) return CallWindowProcW(editProcedure, edit, message, wParam, lParam);
    const LRESULT limit = SendMessageW(edit, EM_GETLIMITTEXT, 0, 0);
    SendMessageW(edit, EM_LIMITTEXT, 0, 0); // as much as an edit control holds
    const LRESULT result = CallWindowProcW(editProcedure, edit, message, wParam, lParam);
    SendMessageW(edit, EM_LIMITTEXT, static_cast<WPARAM>(limit), 0);
    return result;
}

// Through the wide call, so that the control stays a Unicode window and its texts convert
// as before.
void LimitField(HWND dialog, int id, std::size_t limit) {
    const HWND edit = GetDlgItem(dialog, id);
    SendMessageW(edit, EM_LIMITTEXT, limit, 0);
    editProcedure = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrW(edit, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(LimitedEditProc)));
}

void ShowDueFirstStartNotice(HWND dialog) {
    if (firstStartNoticeDue && ShowNotice(dialog, PlainNotice(Notice::FirstStart)))
        firstStartNoticeDue = false;
}

void OnInitDialog(HWND dialog) {
    dialogCreated = true;
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
    LimitField(dialog, IDC_COUNT, kCountLimit);
    LimitField(dialog, IDC_SEED, kSeedLimit);
    LimitField(dialog, IDC_PASSPHRASE, kPassPhraseLimit);
    // NOTE: set before the settings are loaded, so the SNK radio always starts
    // disabled; the first show applies the setting.
    EnableWindow(GetDlgItem(dialog, IDC_SNK), g_settings.SNK != 0);
    JoinClipboardChain(dialog);
    const LoadedSettings loaded = LoadSettings(g_settings);
    if (!loaded.saved) ShowMessage(Message::RegistryWrite);
    if (loaded.snkRecordStored) g_snkKeysSaved = true;
    firstStartNoticeDue = loaded.firstStart;
    // The dock adds the icon, and the first-start notice follows it.
    PostMessageA(dialog, WM_COMMAND, IDC_CLOSE, 0);
}

bool RunComputation(const OkFields& fields, std::uint32_t count) {
    switch (fields.computation) {
    case Computation::Snk: return ComputeSnkResponse(fields.seed, fields.passPhrase, g_response);
    case Computation::Md5:
        return ComputeMd5Otp(count, fields.seed, fields.passPhrase, g_response) == kOtpOk;
    case Computation::Md4:
        return ComputeMd4Otp(count, fields.seed, fields.passPhrase, g_response) == kOtpOk;
    case Computation::Sha1:
        return ComputeSha1Otp(count, fields.seed, fields.passPhrase, g_response) == kOtpOk;
    case Computation::None: break;
    }
    return false;
}

void ApplyOkOutcome(HWND dialog, const OkOutcome& outcome) {
    // The field always shows what Copy would deliver, never a stale answer.
    SetDlgItemTextA(dialog, IDC_RESPONSE, outcome.showResponse ? g_response : "");
    EnableWindow(GetDlgItem(dialog, IDC_COPY), outcome.showResponse);
    if (outcome.startDecrTimer) SetTimer(dialog, ID_TIMER_DECR, outcome.decrIntervalMs, nullptr);
}

RadioState ReadRadios(HWND dialog) {
    return RadioState{Checked(dialog, IDC_MD5), Checked(dialog, IDC_MD4), Checked(dialog, IDC_SHA1),
                      Checked(dialog, IDC_SNK)};
}

// Read as the Ok command reads them: the count only outside SNK mode.
OkFields ReadOkFields(HWND dialog) {
    OkFields fields = {};
    const RadioState radios = ReadRadios(dialog);
    fields.computation = ChooseComputation(radios);
    if (!radios.snk) GetDlgItemTextA(dialog, IDC_COUNT, fields.count, sizeof fields.count);
    GetDlgItemTextA(dialog, IDC_SEED, fields.seed, sizeof fields.seed);
    GetDlgItemTextA(dialog, IDC_PASSPHRASE, fields.passPhrase, sizeof fields.passPhrase);
    return fields;
}

void ShowJobProgress(HWND dialog) {
    // A tick queued before the job was stopped finds nothing to show.
    if (!ComputeJobRunning()) {
        KillTimer(dialog, ID_TIMER_PROGRESS);
        return;
    }
    char progress[kProgressTextSize];
    bool computed = false;
    if (!PollComputeJob(progress, &computed, g_response)) {
        // Set on every tick: its change notice keeps an open dialog from docking mid-job.
        SetDlgItemTextA(dialog, IDC_RESPONSE, progress);
        return;
    }
    KillTimer(dialog, ID_TIMER_PROGRESS);
    ApplyOkOutcome(dialog, OkOutcomeFor(computed, g_settings));
}

// Copy stays disabled until the job's words are in the field.
bool StartLongComputation(HWND dialog, const OkFields& fields, std::uint32_t count) {
    if (!StartComputeJob(fields, count)) return false;
    // The decrement follows this answer, as it would after a computation in the press.
    KillTimer(dialog, ID_TIMER_DECR);
    EnableWindow(GetDlgItem(dialog, IDC_COPY), FALSE);
    SetTimer(dialog, ID_TIMER_PROGRESS, kProgressIntervalMs, nullptr);
    ShowJobProgress(dialog);
    return true;
}

void AbandonLongComputation(HWND dialog) {
    if (!ComputeJobRunning()) return;
    StopComputeJob();
    KillTimer(dialog, ID_TIMER_PROGRESS);
    SetDlgItemTextA(dialog, IDC_RESPONSE, "");
}

// Any real change of what the job answers makes its answer stale before it exists.
void AbandonStaleComputation(HWND dialog) {
    if (!ComputeJobRunning()) return;
    OkFields shown = ReadOkFields(dialog);
    if (!ComputeJobAnswers(shown)) AbandonLongComputation(dialog);
    OPENSSL_cleanse(&shown, sizeof shown);
}

void OnCompute(HWND dialog) {
    // A second Ok while a job runs starts nothing.
    if (ComputeJobRunning()) return;
    std::memset(g_response, 0, kResponseSize);
    OkFields fields = ReadOkFields(dialog);

    const Message error = CheckOkFields(fields.computation == Computation::Snk, fields.count,
                                        fields.seed, fields.passPhrase);
    if (error != Message::None) {
        OPENSSL_cleanse(&fields, sizeof fields);
        ApplyOkOutcome(dialog, OkOutcomeFor(false, g_settings));
        ShowMessageWithNumber(error, FieldLimitOf(error));
        return;
    }

    // The checks let only counts above zero through, of at most 9 digits.
    const auto count = static_cast<std::uint32_t>(ReadCount(fields.count));
    // Should no thread be had, the count is answered within the press after all.
    if (RunsOnWorker(fields.computation, count) && StartLongComputation(dialog, fields, count)) {
        OPENSSL_cleanse(&fields, sizeof fields);
        return;
    }
    const bool computed = RunComputation(fields, count);
    const NoticeText left = computed ? ResponsesLeftNotice(fields.computation, count, fields.seed)
                                     : PlainNotice(Notice::None);
    WipeUsedStack();
    OPENSSL_cleanse(&fields, sizeof fields);
    ApplyOkOutcome(dialog, OkOutcomeFor(computed, g_settings));
    ShowNotice(dialog, left);
}

void OnDecrTimer(HWND dialog) {
    const DecrTimerStep step = DecrTimerExpiry(g_settings);
    if (step.lowerCount) {
        char count[kCountReadSize] = {};
        char lowered[kCountTextSize] = {};
        GetDlgItemTextA(dialog, IDC_COUNT, count, sizeof count);
        if (LowerCount(count, lowered)) SetDlgItemTextA(dialog, IDC_COUNT, lowered);
    }
    if (step.stopTimer) KillTimer(dialog, ID_TIMER_DECR);
}

// The keyboard is ours: the dialog, or a box of ours in front of it.
bool ForegroundIsOurs() {
    const HWND front = GetForegroundWindow();
    return front != nullptr && GetWindowThreadProcessId(front, nullptr) == GetCurrentThreadId();
}

void PressAlt(bool down) {
    INPUT input = {};
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = VK_MENU;
    input.ki.dwFlags = down ? 0 : KEYEVENTF_KEYUP;
    SendInput(1, &input, sizeof input);
}

// Asks for the foreground while the dialog may still be hidden, so that a refusal never
// shows it: true when the keyboard is ours. Never by attaching to another program's input,
// which would hang us with a hung terminal.
bool ComeForward(HWND dialog, ShowRequest request) {
    const bool pressAlt =
        PressAltToComeForward(request, ForegroundIsOurs(), GetAsyncKeyState(VK_MENU) < 0);
    if (pressAlt) PressAlt(true);
    SetForegroundWindow(dialog);
    if (pressAlt) PressAlt(false);
    return ForegroundIsOurs();
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
    return ChallengeWaitingNotice(ChooseComputation(ReadRadios(dialog)), count, seed);
}

void OnShowMain(HWND dialog) {
    DropQueuedShows(dialog);
    const ShowRequest request = pendingShow;
    pendingShow = {};
    const ShowPlan plan = ShowPlanFor(g_settings, g_rememberedKind);
    const ShowEnd end = ShowEndFor(request, ComeForward(dialog, request), challengeWaiting);
    challengeWaiting = end.challengeWaiting;
    if (end.dock) {
        DockMainDialog(dialog);
        ShowNotice(dialog, end.notice == Notice::ChallengeWaiting ? ChallengeWaitingInFields(dialog)
                                                                  : PlainNotice(end.notice));
    } else {
        ShowNow(dialog, SW_SHOWNORMAL);
        if (end.focusPassPhrase) SetFocus(GetDlgItem(dialog, IDC_PASSPHRASE));
        if (end.hideNotice) HideNotice(dialog);
    }
    if (plan.startDockTimer) SetTimer(dialog, ID_TIMER_DOCK, plan.dockIntervalMs, nullptr);
    EnableWindow(GetDlgItem(dialog, IDC_SNK), plan.snkRadioEnabled);
    // Applied at once rather than posted: a radio clicked right after the show
    // would otherwise be overruled by the stale mode.
    SendMessageA(dialog, WM_COMMAND, plan.radioToReapply, 0);
}

void ExitProgram(HWND dialog) {
    StopComputeJob();
    RemoveTrayIcon(dialog);
    EndDialog(dialog, 1);
    PostQuitMessage(0);
}

void OnCommand(HWND dialog, WPARAM wParam) {
    const unsigned id = LOWORD(wParam);
    switch (ClassifyMainCommand(id)) {
    case MainCommand::Exit: ExitProgram(dialog); break;
    case MainCommand::Dock:
        DockMainDialog(dialog);
        ShowDueFirstStartNotice(dialog);
        break;
    case MainCommand::Options:
        RunOptionsDialog(dialog);
        ShowNow(dialog, SW_SHOW);
        break;
    case MainCommand::Compute: OnCompute(dialog); break;
    case MainCommand::HashRadio:
    case MainCommand::SnkRadio: {
        const RadioCommandEffect effect = RadioCommandEffectFor(id, g_settings.SNK != 0);
        if (effect.applyMode) ApplyMode(dialog, effect.mode);
        g_rememberedKind = effect.remembered;
        AbandonStaleComputation(dialog);
        break;
    }
    case MainCommand::Copy: CopyResponseToClipboard(dialog); break;
    case MainCommand::ClearAll:
        AbandonLongComputation(dialog);
        SetDlgItemTextA(dialog, IDC_RESPONSE, "");
        SetDlgItemTextA(dialog, IDC_SEED, "");
        SetDlgItemTextA(dialog, IDC_PASSPHRASE, "");
        SetDlgItemTextA(dialog, IDC_COUNT, "");
        break;
    case MainCommand::Other:
        RestartDockTimer(dialog);
        AbandonStaleComputation(dialog);
        break;
    }
}

void OnPaint(HWND dialog) {
    PAINTSTRUCT paint;
    BeginPaint(dialog, &paint);
    EndPaint(dialog, &paint);
}

void OnDestroy(HWND dialog) {
    StopComputeJob();
    LeaveClipboardChain(dialog);
    RemoveTrayIcon(dialog);
    PostQuitMessage(0);
}

} // namespace

bool MainDialogWasCreated() {
    return dialogCreated;
}

void RequestShow(HWND dialog, ShowRequest request) {
    pendingShow.challenge = pendingShow.challenge || request.challenge;
    pendingShow.atIcon = pendingShow.atIcon || request.atIcon;
    PostMessageA(dialog, WM_SHOWMAIN, 0, 0);
}

INT_PTR CALLBACK MainDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    // The new taskbar knows no icons: ours comes back, and nothing else changes.
    if (message == taskbarCreatedMessage && message != 0) {
        AddTrayIcon(dialog);
        ShowDueFirstStartNotice(dialog);
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
        }
        return FALSE;
    case WM_SHOWMAIN: OnShowMain(dialog); return FALSE;
    case WM_TRAYNOTIFY: OnTrayNotify(dialog, lParam); return FALSE;
    case WM_DRAWCLIPBOARD: OnDrawClipboard(dialog, wParam, lParam); return FALSE;
    case WM_CHANGECBCHAIN: OnChangeCbChain(dialog, wParam, lParam); return FALSE;
    case WM_WINDOWPOSCHANGING:
        if (!showAllowed) reinterpret_cast<WINDOWPOS*>(lParam)->flags &= ~SWP_SHOWWINDOW;
        return FALSE;
    case WM_PAINT: OnPaint(dialog); return FALSE;
    case WM_DESTROY: OnDestroy(dialog); return TRUE;
    default: return FALSE;
    }
}
