#include "shell/logic/login_prompt.h"

#include <cstring>

#include "shell/logic/main_logic.h"

namespace {

bool EndsWith(const char* text, const char* end) {
    const std::size_t length = std::strlen(text);
    const std::size_t endLength = std::strlen(end);
    return length >= endLength && std::strcmp(text + length - endLength, end) == 0;
}

} // namespace

ParsedChallenge AnswerableChallenge(const char* text) {
    ParsedChallenge parsed = ParseChallenge(text);
    // The checks of Ok, with a stand-in pass phrase that passes each of them.
    if (parsed.found &&
        CheckOkFields(parsed.kind, parsed.slots.count, parsed.slots.seed, "x") != Message::None)
        parsed = ParsedChallenge{};
    return parsed;
}

PromptParts SplitPrompt(const char* prompt) {
    PromptParts parts{prompt, 0, prompt};
    if (prompt[0] != '(') return parts;
    const char* close = std::strstr(prompt, ") ");
    if (close == nullptr) return parts;
    const std::size_t length = static_cast<std::size_t>(close - prompt - 1);
    const char* at = static_cast<const char*>(std::memchr(prompt + 1, '@', length));
    if (at == nullptr || std::memchr(prompt + 1, '\n', length) != nullptr) return parts;
    return PromptParts{prompt + 1, length, close + 2};
}

bool IsYesNoQuestion(const char* prompt) {
    return EndsWith(prompt, "(yes/no)? ") || EndsWith(prompt, "(yes/no/[fingerprint])? ");
}

bool IsAskpassStart(int arguments, const wchar_t* first, bool outputIsPipeOrFile) {
    if (arguments != 1 || !outputIsPipeOrFile) return false;
    const char* known = kPuttyPluginSwitch;
    while (*known != '\0' && static_cast<wchar_t>(*known) == *first) {
        ++known;
        ++first;
    }
    return *known != '\0' || *first != L'\0';
}

AskpassPlan PlanAskpass(const char* prompt, const char* promptKind) {
    AskpassPlan plan{AskpassAction::Question, {}, {prompt, 0, prompt}, false};
    if (promptKind != nullptr && std::strcmp(promptKind, "confirm") == 0) {
        plan.action = AskpassAction::Confirm;
    } else if (promptKind != nullptr && std::strcmp(promptKind, "none") == 0) {
        plan.action = AskpassAction::Show;
    } else {
        plan.parts = SplitPrompt(prompt);
        plan.challenge = AnswerableChallenge(plan.parts.question);
        // ssh does not say whether a prompt echoes: a pass phrase is never shown.
        if (plan.challenge.found) {
            plan.action = AskpassAction::Challenge;
        } else {
            plan.echo = IsYesNoQuestion(plan.parts.question);
        }
    }
    return plan;
}
