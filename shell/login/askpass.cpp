#include "shell/login/askpass.h"

#include <windows.h>

#include <cstring>

#include "shell/logic/login_prompt.h"
#include "shell/services/pipe_io.h"
#include "shell/ui/login_dialog.h"
#include "shell/ui/message_box.h"

namespace {

// The longest command line Windows carries, in UTF-16 code units, and as UTF-8.
constexpr int kPromptLength = 32768;
constexpr int kPromptBytes = 3 * kPromptLength;
// A box grows with its text: past this it would leave the screen.
constexpr int kBoxTextLength = 2048;

// Allocated when needed: an image holds a static buffer's bytes.
struct Texts {
    char prompt[kPromptBytes];
    wchar_t shown[kPromptLength];
};

void Widen(const char* text, int length, wchar_t* out, int size) {
    const int written = MultiByteToWideChar(CP_UTF8, 0, text, length, out, size - 1);
    out[written] = L'\0';
}

// The text as a box can show it.
const wchar_t* CutForBox(const wchar_t* text, wchar_t* shown) {
    lstrcpynW(shown, text, kBoxTextLength);
    if (lstrlenW(text) >= kBoxTextLength) lstrcpyW(shown + kBoxTextLength - 2, L"\x2026");
    return shown;
}

bool WriteLine(const char* text) {
    const HANDLE out = GetStdHandle(STD_OUTPUT_HANDLE);
    return WriteExactly(out, text, static_cast<DWORD>(std::strlen(text))) &&
           WriteExactly(out, "\n", 1);
}

// The question answered; false without an answer written.
bool Answer(const wchar_t* prompt, Texts& texts) {
    if (WideCharToMultiByte(CP_UTF8, 0, prompt, -1, texts.prompt, kPromptBytes, nullptr, nullptr) ==
        0)
        return false;
    char kind[16];
    const DWORD kindLength = GetEnvironmentVariableA("SSH_ASKPASS_PROMPT", kind, sizeof kind);
    const AskpassPlan plan =
        PlanAskpass(texts.prompt, kindLength > 0 && kindLength < sizeof kind ? kind : nullptr);
    switch (plan.action) {
    case AskpassAction::Confirm:
        return ShowForeignText(Box::Confirm, CutForBox(prompt, texts.shown));
    case AskpassAction::Show:
        ShowForeignText(Box::Note, CutForBox(prompt, texts.shown));
        return true;
    case AskpassAction::Challenge:
    case AskpassAction::Question: break;
    }
    const bool challenge = plan.action == AskpassAction::Challenge;
    wchar_t who[256];
    Widen(plan.parts.who, static_cast<int>(plan.parts.whoLength), who, 256);
    Widen(plan.parts.question, -1, texts.shown, kPromptLength);
    const LoginRequest request{who, challenge ? nullptr : texts.shown,
                               challenge ? &plan.challenge : nullptr, plan.echo, nullptr};
    LoginAnswer answer;
    bool written = false;
    if (RunLoginDialog(request, answer) == LoginEnd::Answered) {
        written = WriteLine(challenge ? answer.response : answer.text);
        if (written && challenge) RememberLoginAnswer(answer);
    }
    WipeLoginAnswer(answer);
    return written;
}

} // namespace

int RunAskpass(const wchar_t* prompt) {
    auto* texts = static_cast<Texts*>(
        VirtualAlloc(nullptr, sizeof(Texts), MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE));
    const bool answered = texts != nullptr && Answer(prompt, *texts);
    if (texts != nullptr) VirtualFree(texts, 0, MEM_RELEASE);
    return answered ? 0 : 1;
}
