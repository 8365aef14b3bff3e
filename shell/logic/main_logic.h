#pragma once
// The main dialog's decisions, free of the platform: the procedure reads its
// controls, asks these and applies the answer.
#include <cstddef>
#include <cstdint>
#include <optional>

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

// Skips leading white space, takes one optional sign, then decimal digits up
// to the first other character. No digits give 0; saturates instead of wrapping.
long ReadCount(const char* text);

struct DialogMode {
    bool countEnabled;
    const char* challengeLabel;
    const char* responseLabel;
    bool sequenceEnabled; // List... and Renew...: a six-word sequence only
};

// One row per radio button of the main dialog, in the order Ok tests them: the kind it
// chooses and the mode the dialog shows while it is checked.
struct KindRow {
    unsigned radio;
    HashKind kind;
    const DialogMode* mode;
};
constexpr std::size_t kKindCount = 4;
extern const KindRow kKindTable[kKindCount];

std::optional<HashKind> KindOfRadio(unsigned radio);
unsigned RadioOf(HashKind kind);
const DialogMode& ModeOf(HashKind kind);

// MD5, MD4 or SHA1: a six-word one-time password, with a count that goes down.
bool IsOtpKind(std::optional<HashKind> kind);

// The input error of the Ok command for the kind the radio buttons choose (none when no
// radio is checked); Message::None when all fields pass. Every check runs, so the last failing
// one decides: pass phrase over seed over count. Only fields that pass those are checked for
// length, in the same way, and only then MD4's limit on seed and pass phrase together. SNK
// mode refuses no length: its challenge counts by its first eight characters and its password
// by the 39 that enrolment keeps.
Message CheckOkFields(std::optional<HashKind> kind, const char* count, const char* seed,
                      const char* passPhrase);

// What an Ok reads from the dialog: the kind the radios choose and the texts of the three
// fields (the count only outside SNK mode).
struct OkFields {
    std::optional<HashKind> kind;
    char count[kCountReadSize];
    char seed[kSeedReadSize];
    char passPhrase[kPassPhraseReadSize];
};

// Whether the dialog still shows what a computation was started from.
bool SameOkFields(const OkFields& a, const OkFields& b);

// Counts up to this are answered within the Ok press; larger ones take a
// second or more and run on a worker while the dialog keeps answering.
constexpr std::uint32_t kLongestCountInPress = 100000;

bool RunsOnWorker(std::optional<HashKind> kind, std::uint32_t count);

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

// Writes count - 1 as plain decimal digits into `out` and returns true, or
// returns false when the field keeps its text (a count below 1, no count, or
// one too long to be answered).
bool LowerCount(const char* countText, char out[kCountTextSize]);

// Seconds of a one-byte time setting as a timer interval.
unsigned TimerIntervalMs(unsigned char seconds);
