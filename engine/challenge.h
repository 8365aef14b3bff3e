#pragma once
#include "engine/hash_kind.h"

// RFC 2289 seeds run to 16 characters.
constexpr int kSeedLimit = 16;
// The slots keep one character more than the fields answer (a count of 9 digits, a seed of
// kSeedLimit), so a longer token reaches its field too long to be answered, never cut to a
// token that would be.
constexpr int kChallengeSlotLength = 10;
constexpr int kChallengeSeedLength = kSeedLimit + 1;

// The keyword, count and seed of a challenge, each cut to its slot.
struct Challenge {
    char keyword[kChallengeSlotLength + 1];
    char count[kChallengeSlotLength + 1];
    char seed[kChallengeSeedLength + 1];
};

struct ParsedChallenge {
    bool found;      // the text holds a challenge
    Challenge slots; // empty when nothing was found; an empty seed when the text ends early
    HashKind kind;   // the kind the keyword names
    bool extended;   // "ext" follows the seed: the server takes a renewal in the login
};

// A text holds a challenge where a word (at the text's start or after a blank, tab, line feed or
// carriage return) is one of the known keywords and the next word is a decimal number: that
// word is the keyword, the next the count, the one after the seed. A keyword begins with
// "otp-", "s/key", "s-key" or "skey" in lower case; the rest of its letters may be of either
// case. The first such word counts. The seed is the letters and digits the word after the count
// begins with: a seed holds no others, and a line goes on with punctuation ("test, Response:").
ParsedChallenge ParseChallenge(const char* text);

// The keyword a remote system presents for `kind` ("otp-md5"); null for SNK, which has none.
const char* ChallengeKeyword(HashKind kind);
