#include "shell/logic/renew_logic.h"

#include <cstring>

#include <openssl/crypto.h>

#include "engine/text_format.h"
#include "engine/ascii.h"
#include "engine/otp.h"
#include "engine/six_words.h"
#include "shell/logic/list_logic.h"

namespace {

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

bool IsSeedCharacter(char c) {
    return IsDigit(c) || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

bool SameFolded(const char* a, const char* b) {
    for (; *a != '\0' && AsciiLower(*a) == AsciiLower(*b); ++a, ++b) {
    }
    return AsciiLower(*a) == AsciiLower(*b);
}

bool ValidSeed(const char* seed) {
    const std::size_t length = std::strlen(seed);
    if (length == 0 || length > kSeedLimit) return false;
    for (const char* p = seed; *p != '\0'; ++p) {
        if (!IsSeedCharacter(*p)) return false;
    }
    return true;
}

} // namespace

bool NextSeed(const char* seed, char out[kSeedLimit + 1]) {
    out[0] = '\0';
    const std::size_t length = std::strlen(seed);
    if (length > kSeedLimit) return false;
    char next[kSeedLimit + 2];
    std::memcpy(next, seed, length + 1);
    std::size_t digits = length;
    while (digits > 0 && IsDigit(next[digits - 1]))
        --digits;
    std::size_t at = length;
    // Add one from the right; a carry out of the first digit needs one more.
    while (at > digits && next[at - 1] == '9')
        next[--at] = '0';
    std::size_t total = length;
    if (at > digits) {
        ++next[at - 1];
    } else {
        if (length + 1 > kSeedLimit) return false;
        std::memmove(next + digits + 1, next + digits, length - digits + 1);
        next[digits] = '1';
        total = length + 1;
    }
    std::memcpy(out, next, total + 1);
    return true;
}

Message CheckRenewFields(HashKind kind, const char* currentSeed, const char* currentPassPhrase,
                         const RenewFields& fields) {
    const bool keep = fields.passPhrase[0] == '\0' && fields.confirm[0] == '\0';
    const std::size_t passLength = std::strlen(keep ? currentPassPhrase : fields.passPhrase);
    if (!keep) {
        if (std::strcmp(fields.passPhrase, fields.confirm) != 0) return Message::RenewMismatch;
        if (passLength < kNewPassPhraseMinimum) return Message::RenewPassPhraseShort;
        if (passLength > kPassPhraseLimit) return Message::RenewPassPhraseLong;
    }
    if (!ValidSeed(fields.seed)) return Message::RenewBadSeed;
    if (SameFolded(fields.seed, currentSeed)) return Message::RenewSameSeed;
    const long count = std::strlen(fields.count) > kCountLimit ? 0 : ReadCount(fields.count);
    if (count < static_cast<long>(kNewCountLowest) || count > static_cast<long>(kNewCountHighest))
        return Message::RenewBadCount;
    if (kind == HashKind::MD4 && std::strlen(fields.seed) + passLength > kMd4CrunchLimit)
        return Message::RenewMd4TooLong;
    return Message::None;
}

std::size_t BuildRenewalLine(HashKind kind, const std::uint8_t current[8], const char* newSeed,
                             std::uint32_t newCount, const std::uint8_t next[8], bool hex,
                             char* out, std::size_t size) {
    const char* keyword = ChallengeKeyword(kind);
    if (keyword == nullptr || size == 0) return 0;
    char seed[kSeedLimit + 1] = {};
    for (std::size_t i = 0; i < kSeedLimit && newSeed[i] != '\0'; ++i)
        seed[i] = AsciiLower(newSeed[i]);
    // The words come from one static buffer: the current response is copied out first.
    char currentText[kHexTextSize + 16];
    char nextText[kHexTextSize + 16];
    if (hex) {
        ValueInHex(current, false, currentText);
        ValueInHex(next, false, nextText);
    } else {
        FormatText(currentText, sizeof currentText, "%s", EncodeSixWords(current));
        FormatText(nextText, sizeof nextText, "%s", EncodeSixWords(next));
        WipeSixWords();
    }
    // The kind as RFC 2243 names it: the keyword without "otp-".
    const int length =
        FormatText(out, size, "%s:%s:%s %u %s:%s", hex ? "init-hex" : "init-word", currentText,
                   keyword + 4, static_cast<unsigned>(newCount), seed, nextText);
    OPENSSL_cleanse(currentText, sizeof currentText);
    OPENSSL_cleanse(nextText, sizeof nextText);
    if (length < 0) {
        std::memset(out, 0, size);
        return 0;
    }
    return static_cast<std::size_t>(length);
}

bool IsRenewalLine(const char* text) {
    return std::strncmp(text, "init-", 5) == 0;
}

bool RenewalAccepted(const CopiedChallenge& copied, std::optional<HashKind> kind, const char* count,
                     const char* seed) {
    return copied.known && copied.extended && kind == copied.kind &&
           std::strcmp(count, copied.count) == 0 && std::strcmp(seed, copied.seed) == 0;
}
