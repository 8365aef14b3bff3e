#pragma once
// What a login asks, free of the platform: the core that the PuTTY plugin and the askpass mode
// share. A server can draw any text in a terminal, but no window of ours: the pass phrase is
// typed only into Vantreth's login dialog, and every question of a server's that Vantreth shows
// or passes on says whose it is.
#include <cstddef>

#include "engine/challenge.h"
#include "vantreth_version.h"

// The line before a server's own question.
constexpr char kServerAsksLine[] = "The server asks this, not " VANTRETH_TITLE ".";

// The challenge in the NUL-terminated `text`, found as in a copied text, and only one that Ok
// would answer (a count of one to nine digits above 0, a seed of 1 to 16 letters and digits).
ParsedChallenge AnswerableChallenge(const char* text);

// OpenSSH (8.5 and later) puts "(user@host) " before a keyboard-interactive prompt: `who` is the
// user@host in it, and `question` the prompt after it. Without one, `who` is empty and
// `question` the whole prompt.
struct PromptParts {
    const char* who;
    std::size_t whoLength;
    const char* question;
};
PromptParts SplitPrompt(const char* prompt);

// A question answered with a word in clear: ssh's "(yes/no)? " and "(yes/no/[fingerprint])? ".
bool IsYesNoQuestion(const char* prompt);

// A start with exactly one argument, none of the program's switches, whose standard output is
// a pipe or a file: how OpenSSH's ssh and Git start SSH_ASKPASS and GIT_ASKPASS.
constexpr char kPuttyPluginSwitch[] = "--putty-plugin";
bool IsAskpassStart(int arguments, const wchar_t* first, bool outputIsPipeOrFile);

// What askpass does with its argument (UTF-8) and SSH_ASKPASS_PROMPT (null when unset).
enum class AskpassAction {
    Challenge, // the login dialog for the challenge: the six words out
    Question,  // the login dialog for the server's question: the answer out
    Confirm,   // "confirm": a Yes/No box with the text
    Show,      // "none": the text shown until ssh ends the process or the user closes it
};
struct AskpassPlan {
    AskpassAction action;
    ParsedChallenge challenge;
    PromptParts parts;
    bool echo; // the answer is typed in clear
};
AskpassPlan PlanAskpass(const char* prompt, const char* promptKind);
