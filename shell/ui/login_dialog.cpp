#include "shell/ui/login_dialog.h"

#include <openssl/crypto.h>

#include <cstring>

#include "engine/six_words.h"
#include "engine/text_format.h"
#include "resources/resource.h"
#include "shell/logic/list_logic.h"
#include "shell/logic/login_prompt.h"
#include "shell/logic/main_logic.h"
#include "shell/logic/sequence_logic.h"
#include "shell/services/app_state.h"
#include "shell/services/compute_job.h"
#include "shell/services/foreground.h"
#include "shell/services/modal.h"
#include "shell/services/sequence_store.h"
#include "shell/services/store.h"
#include "shell/ui/guard_box.h"
#include "shell/ui/message_box.h"

namespace {

// How often the dialog shows a running job's progress.
constexpr UINT kProgressIntervalMs = 200;
// How often it looks whether the asking program has gone: it ends well within 2 seconds.
constexpr UINT kWatchIntervalMs = 500;
// A question's answer in UTF-16 code units that always fits kLoginAnswerSize bytes of UTF-8.
constexpr WPARAM kQuestionAnswerLimit = (kLoginAnswerSize - 1) / 3;

const LoginRequest* asked = nullptr;
LoginAnswer* given = nullptr;

// An OK for a challenge, kept until it is answered: after the worker, when it runs on one.
struct Press {
    OkFields fields;
    std::uint32_t count;
    bool guard;
    bool remembered;
    SequenceRecord record;
};
Press press;

void ForgetPress() {
    OPENSSL_cleanse(&press, sizeof press);
}

HWND Answer(HWND dialog) {
    return GetDlgItem(dialog, IDC_LOGIN_ANSWER);
}

void ShowBusy(HWND dialog, bool busy) {
    EnableWindow(GetDlgItem(dialog, IDOK), !busy);
    EnableWindow(Answer(dialog), !busy);
    if (!busy) SetDlgItemTextA(dialog, IDC_LOGIN_PROGRESS, "");
}

// After a guard's No: the pass phrase to be typed anew.
void AskAgain(HWND dialog) {
    ShowBusy(dialog, false);
    SetDlgItemTextW(dialog, IDC_LOGIN_ANSWER, L"");
    SetFocus(Answer(dialog));
}

// The chain is in: the guards ask, then the response goes to the caller, never on screen.
void FinishPress(HWND dialog, bool computed, const OtpChain& chain) {
    const HashKind kind = *press.fields.kind;
    const SequenceRecord* remembered = press.remembered ? &press.record : nullptr;
    const GuardVerdict verdict = DecideGuard(press.guard, remembered, press.count,
                                             chain.check != 0 ? chain.checkValue : nullptr);
    if (!computed ||
        !PassGuard(dialog, verdict, kind, press.fields.seed, press.count, Message::GuardLogin)) {
        ForgetPress();
        if (!ExitRequested()) AskAgain(dialog);
        return;
    }
    const char* words = EncodeSixWords(chain.values[0]);
    std::memcpy(given->response, words, std::strlen(words) + 1);
    given->kind = kind;
    lstrcpynA(given->seed, press.fields.seed, sizeof given->seed);
    given->memory = AnswerPastGuard(verdict, press.count, press.count, chain.values[0]);
    ForgetPress();
    EndDialog(dialog, IDOK);
}

void ShowJobProgress(HWND dialog) {
    char progress[kProgressTextSize];
    OtpChain chain{};
    const JobState state = PollComputeJob(progress, chain);
    if (state == JobState::Running) {
        SetDlgItemTextA(dialog, IDC_LOGIN_PROGRESS, progress);
        return;
    }
    KillTimer(dialog, ID_TIMER_LOGIN_PROGRESS);
    if (state != JobState::None) FinishPress(dialog, state == JobState::Computed, chain);
    OPENSSL_cleanse(&chain, sizeof chain);
}

// As the main dialog's Ok: the same checks and boxes, the pass phrase read as it reads it.
void OnChallengeOk(HWND dialog) {
    if (ComputeJobRunning()) return;
    const ParsedChallenge& challenge = *asked->challenge;
    OkFields fields{};
    fields.kind = challenge.kind;
    lstrcpynA(fields.count, challenge.slots.count, sizeof fields.count);
    lstrcpynA(fields.seed, challenge.slots.seed, sizeof fields.seed);
    GetDlgItemTextA(dialog, IDC_LOGIN_ANSWER, fields.passPhrase, sizeof fields.passPhrase);
    const Message error = CheckOkFields(fields.kind, fields.count, fields.seed, fields.passPhrase);
    if (error != Message::None) {
        OPENSSL_cleanse(&fields, sizeof fields);
        ShowMessage(dialog, error);
        return;
    }
    Settings settings;
    ReadSettings(settings);
    press = {};
    press.fields = fields;
    OPENSSL_cleanse(&fields, sizeof fields);
    press.count = static_cast<std::uint32_t>(ReadCount(press.fields.count));
    press.guard = settings.Guard != 0;
    // Looked up with the guard off too: the memory takes nothing from another pass phrase.
    press.remembered = LookUpSequence(challenge.kind, press.fields.seed, &press.record);
    OtpChain chain =
        PlanChain(press.count, false,
                  GuardCheckCount(press.remembered ? &press.record : nullptr, press.count));
    const JobState state = ComputeOrStartChain(press.fields, chain);
    if (state == JobState::Started) {
        ShowBusy(dialog, true);
        SetTimer(dialog, ID_TIMER_LOGIN_PROGRESS, kProgressIntervalMs, nullptr);
        ShowJobProgress(dialog);
    } else {
        FinishPress(dialog, state == JobState::Computed, chain);
    }
    OPENSSL_cleanse(&chain, sizeof chain);
}

void OnQuestionOk(HWND dialog) {
    wchar_t typed[kQuestionAnswerLimit + 1];
    GetDlgItemTextW(dialog, IDC_LOGIN_ANSWER, typed, kQuestionAnswerLimit + 1);
    const bool converted = WideCharToMultiByte(CP_UTF8, 0, typed, -1, given->text,
                                               sizeof given->text, nullptr, nullptr) > 0;
    OPENSSL_cleanse(typed, sizeof typed);
    if (converted) EndDialog(dialog, IDOK);
}

void OnWatch(HWND dialog) {
    if (WaitForSingleObject(asked->gone, 0) != WAIT_OBJECT_0) return;
    KillTimer(dialog, ID_TIMER_LOGIN_WATCH);
    StopComputeJob();
    // Every box of ours goes with the dialog.
    ExitProgram(dialog);
}

void InitLogin(HWND dialog) {
    SetDlgItemTextW(dialog, IDC_LOGIN_WHO, asked->who);
    if (asked->challenge != nullptr) {
        const Challenge& slots = asked->challenge->slots;
        char text[sizeof slots + 3];
        FormatText(text, sizeof text, "%s %s %s", slots.keyword, slots.count, slots.seed);
        SetDlgItemTextA(dialog, IDC_LOGIN_QUESTION, text);
        SetDlgItemTextA(dialog, IDC_LOGIN_LABEL, "&Pass phrase");
    } else {
        SetDlgItemTextW(dialog, IDC_LOGIN_QUESTION, asked->question);
        SetDlgItemTextA(dialog, IDC_LOGIN_SERVER, kServerAsksLine);
        SendMessageW(Answer(dialog), EM_LIMITTEXT, kQuestionAnswerLimit, 0);
        if (asked->echo) SendMessageW(Answer(dialog), EM_SETPASSWORDCHAR, 0, 0);
    }
    if (asked->gone != nullptr) SetTimer(dialog, ID_TIMER_LOGIN_WATCH, kWatchIntervalMs, nullptr);
    ShowWindow(dialog, SW_SHOWNORMAL);
    SetFocus(Answer(dialog));
    if (!ComeForward(dialog)) {
        // Windows keeps a program in the background from the front: its button says so.
        FLASHWINFO flash = {sizeof flash, dialog, FLASHW_TRAY | FLASHW_TIMERNOFG, 0, 0};
        FlashWindowEx(&flash);
    }
}

void OnCancel(HWND dialog) {
    StopComputeJob();
    ForgetPress();
    EndDialog(dialog, IDCANCEL);
}

INT_PTR CALLBACK LoginDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
    switch (message) {
    case WM_INITDIALOG: InitLogin(dialog); return FALSE;
    case WM_COMMAND:
        switch (LOWORD(wParam)) {
        case IDOK:
            if (asked->challenge != nullptr) {
                OnChallengeOk(dialog);
            } else {
                OnQuestionOk(dialog);
            }
            return TRUE;
        case IDCANCEL: OnCancel(dialog); return TRUE;
        }
        return FALSE;
    case WM_TIMER:
        switch (LOWORD(wParam)) {
        case ID_TIMER_LOGIN_PROGRESS: ShowJobProgress(dialog); break;
        case ID_TIMER_LOGIN_WATCH: OnWatch(dialog); break;
        }
        return FALSE;
    case WM_DESTROY:
        // What was typed must not outlive the dialog in its field.
        SetDlgItemTextW(dialog, IDC_LOGIN_ANSWER, L"");
        return FALSE;
    }
    return FALSE;
}

} // namespace

LoginEnd RunLoginDialog(const LoginRequest& request, LoginAnswer& answer) {
    WipeLoginAnswer(answer);
    asked = &request;
    given = &answer;
    WaitingForAnswerBegins();
    const INT_PTR result =
        DialogBoxParamW(g_instance, MAKEINTRESOURCEW(IDD_LOGIN), nullptr, LoginDialogProc, 0);
    WaitingForAnswerEnds();
    StopComputeJob();
    ForgetPress();
    asked = nullptr;
    given = nullptr;
    const LoginEnd end = ExitRequested()  ? LoginEnd::Gone
                         : result == -1   ? LoginEnd::NotShown
                         : result == IDOK ? LoginEnd::Answered
                                          : LoginEnd::Cancelled;
    if (end != LoginEnd::Answered) WipeLoginAnswer(answer);
    return end;
}

void RememberLoginAnswer(const LoginAnswer& answer) {
    RememberSequence(answer.kind, answer.seed, answer.memory);
}

void WipeLoginAnswer(LoginAnswer& answer) {
    OPENSSL_cleanse(&answer, sizeof answer);
}
