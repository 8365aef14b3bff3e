#pragma once
// The main dialog's decisions, free of the platform: the procedure reads its
// controls, asks these and applies the answer.
#include <cstddef>
#include <cstdint>

#include "engine/challenge.h"
#include "engine/hash_kind.h"
#include "shell/logic/messages.h"
#include "shell/logic/settings.h"

// The longest text Ok answers in each field outside SNK mode. A longer one is refused, never
// cut: words for a cut seed or pass phrase are words the server refuses.
constexpr std::size_t kCountLimit = 9;
constexpr std::size_t kPassPhraseLimit = 63;
// Read buffers of the Ok command: one character past the limit, so that a longer text is seen
// as one, and the NUL.
constexpr std::size_t kCountReadSize = kCountLimit + 2;
constexpr std::size_t kSeedReadSize = kSeedLimit + 2;
constexpr std::size_t kPassPhraseReadSize = kPassPhraseLimit + 2;
// Enough for any count the decrement writes back, with the NUL.
constexpr std::size_t kCountTextSize = 24;

enum class MainCommand { Exit, Dock, Options, Compute, HashRadio, SnkRadio, Copy, ClearAll, Other };

// By control ID only; the notification code is never looked at.
MainCommand ClassifyMainCommand(unsigned id);

// Skips leading white space, takes one optional sign, then decimal digits up
// to the first other character. No digits give 0; saturates instead of wrapping.
long ReadCount(const char* text);

// The input error of the Ok command (None when all fields pass). Every check
// runs, so the last failing one decides: pass phrase over seed over count.
// Only fields that pass those are checked for length, in the same way. SNK mode
// refuses no length: its challenge counts by its first eight characters and its
// password by the 39 that enrolment keeps.
Message CheckOkFields(bool snkChecked, const char* count, const char* seed, const char* passPhrase);

// The limit a too-long refusal names; 0 for any other message.
unsigned FieldLimitOf(Message refusal);

struct RadioState {
    bool md5;
    bool md4;
    bool sha1;
    bool snk;
};

enum class Computation { None, Snk, Md5, Md4, Sha1 };

// SNK, then MD5, MD4, SHA1; with no radio checked nothing runs.
Computation ChooseComputation(RadioState radios);

// What an Ok reads from the dialog: the computation the radios choose and the
// texts of the three fields (the count only outside SNK mode).
struct OkFields {
    Computation computation;
    char count[kCountReadSize];
    char seed[kSeedReadSize];
    char passPhrase[kPassPhraseReadSize];
};

// Whether the dialog still shows what a computation was started from.
bool SameOkFields(const OkFields& a, const OkFields& b);

// Counts up to this are answered within the Ok press; larger ones take a
// second or more and run on a worker while the dialog keeps answering.
constexpr std::uint32_t kLongestCountInPress = 100000;

bool RunsOnWorker(Computation computation, std::uint32_t count);

// MD5, MD4 or SHA1: a six-word one-time password, with a count that goes down.
bool IsOtpComputation(Computation computation);

// The hash of an OTP computation (Md5, Md4 or Sha1).
HashKind HashKindOf(Computation computation);

// The response field while a worker runs: the part done, rounded down, as "37 %".
constexpr std::size_t kProgressTextSize = 8;
void FormatProgress(std::uint32_t done, std::uint32_t total, char out[kProgressTextSize]);

// What follows an Ok that passed the checks. A failure empties the response
// field and disables Copy so that the field and Copy never disagree, and the
// decrement runs only after a response was really produced.
struct OkOutcome {
    bool showResponse;   // false: empty the response field and disable Copy
    bool startDecrTimer; // ID_TIMER_DECR
    unsigned decrIntervalMs;
};

OkOutcome OkOutcomeFor(bool computed, const Settings& settings);

// The decrement timer's expiry: with AutoDecr off it does nothing and keeps running.
struct DecrTimerStep {
    bool lowerCount;
    bool stopTimer;
};

DecrTimerStep DecrTimerExpiry(const Settings& settings);

// Writes count - 1 as plain decimal digits into `out` and returns true, or
// returns false when the field keeps its text (a count below 1, no count, or
// one too long to be answered).
bool LowerCount(const char* countText, char out[kCountTextSize]);

struct DialogMode {
    bool countEnabled;
    const char* challengeLabel;
    const char* responseLabel;
};

extern const DialogMode kSkeyMode;
extern const DialogMode kSnkMode;

// A radio-button command: whether the mode is applied, which one, and the
// kind to remember for the next show.
struct RadioCommandEffect {
    bool applyMode;
    DialogMode mode;
    HashKind remembered;
};

// Defined for the four radio IDs only (HashRadio and SnkRadio commands).
RadioCommandEffect RadioCommandEffectFor(unsigned id, bool snkSetting);

// The radio button whose command re-applies the mode of a remembered kind.
unsigned RadioForKind(HashKind kind);

struct ShowPlan {
    bool startDockTimer;
    unsigned dockIntervalMs;
    bool snkRadioEnabled;
    unsigned radioToReapply;
};

ShowPlan ShowPlanFor(const Settings& settings, HashKind remembered);

// Seconds of a one-byte time setting as a timer interval.
unsigned TimerIntervalMs(unsigned char seconds);
