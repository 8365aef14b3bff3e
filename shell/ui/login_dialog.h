#pragma once
#include <windows.h>

#include <cstddef>
#include <cstdint>

#include "engine/challenge.h"
#include "engine/otp.h"
#include "shell/logic/sequence_logic.h"

// Dialog 123: a login's question in a window of Vantreth's own. For a challenge it takes the pass
// phrase, checks it as the main dialog's Ok does, applies the sequence guards and gives the
// response, which it never shows. For a server's own question it takes the answer, as typed.
struct LoginRequest {
    const wchar_t* who;               // "user@host", the host alone, or empty
    const wchar_t* question;          // a server's own question; null for a challenge
    const ParsedChallenge* challenge; // the challenge to answer; null for a question
    bool echo;                        // the question's answer is typed in clear (yes/no)
    HANDLE gone;                      // an event set once the asking program has gone; or null
};

// What an OK gave. A question's answer as UTF-8; ssh reads no more than 1023 bytes of it.
constexpr std::size_t kLoginAnswerSize = 1024;
struct LoginAnswer {
    char response[kResponseSize]; // the challenge's six words
    char text[kLoginAnswerSize];  // the question's answer
    // What the sequence memory takes of the challenge answered.
    HashKind kind;
    char seed[kChallengeSeedLength + 1];
    SequenceAnswer memory;
};

enum class LoginEnd {
    Answered,
    Cancelled, // Cancel, Escape or the dialog closed
    Gone,      // the asking program has gone
    NotShown,  // no desktop to show it on
};
LoginEnd RunLoginDialog(const LoginRequest& request, LoginAnswer& answer);

// The challenge answered, once its response has gone out: remembered as the main dialog
// remembers its answers.
void RememberLoginAnswer(const LoginAnswer& answer);

// Clears the answer.
void WipeLoginAnswer(LoginAnswer& answer);
