#pragma once
// A renewal in the login (RFC 2243), free of the platform: the new sequence the dialog proposes,
// the checks of its OK, and the line that answers the challenge and installs the new sequence.
#include <cstddef>
#include <cstdint>
#include <optional>

#include "engine/challenge.h"
#include "engine/hash_kind.h"
#include "shell/logic/main_logic.h"
#include "shell/logic/messages.h"

// RFC 2289: every generator takes pass phrases of 10 to 63 characters.
constexpr std::size_t kNewPassPhraseMinimum = 10;
constexpr std::uint32_t kNewCountAtFirst = 499;
constexpr std::uint32_t kNewCountLowest = 10;
constexpr std::uint32_t kNewCountHighest = 9999;

// The seed a renewal proposes: the current one with its trailing digits increased by one
// ("ke1234" gives "ke1235", "ke0999" "ke1000"), or with "1" after it when it ends in none. False,
// with `out` empty, when that would pass RFC 2289's 16 characters: the user chooses one then.
bool NextSeed(const char* seed, char out[kSeedLimit + 1]);

// What OK reads from the Renew dialog; the pass phrase fields empty to keep the current one.
struct RenewFields {
    char passPhrase[kPassPhraseReadSize];
    char confirm[kPassPhraseReadSize];
    char seed[kSeedReadSize];
    char count[kCountReadSize];
};

// The first field OK refuses, in the dialog's order, naming it; Message::None when all pass.
// The new seed must differ from the current one as the server folds them.
Message CheckRenewFields(HashKind kind, const char* currentSeed, const char* currentPassPhrase,
                         const RenewFields& fields);

// "init-word:BOND FOGY DRAB NE RISE MART:md5 499 ke1235:RED HERD NOW BEAN PA BURG", or with
// `hex` "init-hex:5bf075d9959d036f:md5 499 ke1235:3712dcb4aa5316c1": the current response (the
// value at the challenge's count), the new sequence in lower case, and its response at its
// count. Returns the length written, 0 when it does not fit.
std::size_t BuildRenewalLine(HashKind kind, const std::uint8_t current[8], const char* newSeed,
                             std::uint32_t newCount, const std::uint8_t next[8], bool hex,
                             char* out, std::size_t size);

// Whether a response text is a renewal line, which the response field cannot show whole.
bool IsRenewalLine(const char* text);

// The challenge copied last, as the clipboard brought it.
struct CopiedChallenge {
    bool known;
    HashKind kind;
    char count[kChallengeSlotLength + 1];
    char seed[kChallengeSeedLength + 1];
    bool extended; // "ext" followed it: the server takes a renewal
};

// Whether the fields still hold the copied challenge, and it said that the server takes a
// renewal. Otherwise the dialog warns that the server may refuse one.
bool RenewalAccepted(const CopiedChallenge& copied, std::optional<HashKind> kind, const char* count,
                     const char* seed);
