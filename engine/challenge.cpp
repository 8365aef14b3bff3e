#include "engine/challenge.h"

#include <cstring>

#include "engine/ascii.h"

namespace {

struct KeywordEntry {
    const char* keyword;
    HashKind kind;
};

constexpr const char* kPrefixes[] = {"otp-", "s/key", "s-key", "skey"};

constexpr KeywordEntry kKeywords[] = {
    {"otp-md4", HashKind::MD4}, {"s/key", HashKind::MD4},   {"s-key", HashKind::MD4},
    {"skey", HashKind::MD4},    {"otp-md5", HashKind::MD5}, {"otp-sha1", HashKind::SHA1},
};

// Carriage return counts as a delimiter so that a line copied with its CR LF
// end does not carry the CR into the seed.
bool IsDelimiter(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\r';
}

bool EqualIgnoringAsciiCase(const char* a, const char* b) {
    for (; *a != '\0' && *b != '\0'; ++a, ++b) {
        if (AsciiLower(*a) != AsciiLower(*b)) return false;
    }
    return *a == *b;
}

// The first character of the word at or after `p`; the text's end when there is none.
const char* WordAt(const char* p) {
    while (*p != '\0' && IsDelimiter(*p))
        ++p;
    return p;
}

const char* WordEnd(const char* word) {
    while (*word != '\0' && !IsDelimiter(*word))
        ++word;
    return word;
}

bool BeginsWithPrefix(const char* word) {
    for (const char* prefix : kPrefixes) {
        if (std::strncmp(word, prefix, std::strlen(prefix)) == 0) return true;
    }
    return false;
}

bool IsNumber(const char* word) {
    const char* end = WordEnd(word);
    if (end == word) return false;
    for (; word != end; ++word) {
        if (*word < '0' || *word > '9') return false;
    }
    return true;
}

// Copies the word into `slot`, cut to `capacity` characters.
void CopyWord(const char* word, char* slot, int capacity) {
    int length = 0;
    for (; *word != '\0' && !IsDelimiter(*word) && length < capacity; ++word)
        slot[length++] = *word;
    slot[length] = '\0';
}

} // namespace

const char* ChallengeKeyword(HashKind kind) {
    // The first row of a kind is its RFC 2289 name.
    for (const KeywordEntry& entry : kKeywords) {
        if (entry.kind == kind) return entry.keyword;
    }
    return nullptr;
}

ParsedChallenge ParseChallenge(const char* text) {
    ParsedChallenge parsed{};
    if (text == nullptr) return parsed;
    // A server's line says more than its challenge ("331 otp-md5 499 ke1234 ext required"):
    // the challenge is where a keyword stands before its count, wherever that is.
    for (const char* word = WordAt(text); *word != '\0'; word = WordAt(WordEnd(word))) {
        if (!BeginsWithPrefix(word)) continue;
        const char* count = WordAt(WordEnd(word));
        if (!IsNumber(count)) continue;
        parsed.found = true;
        CopyWord(word, parsed.slots.keyword, kChallengeSlotLength);
        CopyWord(count, parsed.slots.count, kChallengeSlotLength);
        CopyWord(WordAt(WordEnd(count)), parsed.slots.seed, kChallengeSeedLength);
        break;
    }
    if (!parsed.found) return parsed;

    for (const KeywordEntry& entry : kKeywords) {
        if (EqualIgnoringAsciiCase(parsed.slots.keyword, entry.keyword)) {
            parsed.hasKind = true;
            parsed.kind = entry.kind;
            break;
        }
    }
    return parsed;
}
