#pragma once
#include "engine/hash_kind.h"

constexpr int kChallengeSlotLength = 10;

// The first three tokens of a challenge text, each cut to 10 characters.
struct Challenge {
    char keyword[kChallengeSlotLength + 1];
    char count[kChallengeSlotLength + 1];
    char seed[kChallengeSlotLength + 1];
};

struct ParsedChallenge {
    bool found;      // one of the prefixes occurs in the text
    Challenge slots; // empty slots when no token filled them
    bool hasKind;    // the keyword named a kind
    HashKind kind;
};

ParsedChallenge ParseChallenge(const char* text);
