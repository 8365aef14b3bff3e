#pragma once
#include "engine/hash_kind.h"

// RFC 2289 seeds run to 16 characters.
constexpr int kSeedLimit = 16;
// The slots keep one character more than the fields answer (a count of 9 digits, a seed of
// kSeedLimit), so a longer token reaches its field too long to be answered, never cut to a
// token that would be.
constexpr int kChallengeSlotLength = 10;
constexpr int kChallengeSeedLength = kSeedLimit + 1;

// The first three tokens of a challenge text, each cut to its slot.
struct Challenge {
    char keyword[kChallengeSlotLength + 1];
    char count[kChallengeSlotLength + 1];
    char seed[kChallengeSeedLength + 1];
};

struct ParsedChallenge {
    bool found;      // one of the prefixes occurs in the text
    Challenge slots; // empty slots when no token filled them
    bool hasKind;    // the keyword named a kind
    HashKind kind;
};

ParsedChallenge ParseChallenge(const char* text);

// The keyword a remote system presents for `kind` ("otp-md5"); null for SNK, which has none.
const char* ChallengeKeyword(HashKind kind);
