#include "engine/challenge.h"

#include <cstring>

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

char AsciiLower(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

bool EqualIgnoringAsciiCase(const char* a, const char* b) {
    for (; *a != '\0' && *b != '\0'; ++a, ++b) {
        if (AsciiLower(*a) != AsciiLower(*b)) return false;
    }
    return *a == *b;
}

} // namespace

const char* ChallengeKeyword(HashKind kind) {
    // The first row of a kind is its RFC 2289 name.
    for (const KeywordEntry& entry : kKeywords) {
        if (entry.kind == kind) return entry.keyword;
    }
    return nullptr;
}

namespace {

bool HasPrefix(const char* text) {
    for (const char* prefix : kPrefixes) {
        if (std::strstr(text, prefix) != nullptr) return true;
    }
    return false;
}

} // namespace

ParsedChallenge ParseChallenge(const char* text) {
    ParsedChallenge parsed{};
    if (text == nullptr || !HasPrefix(text)) return parsed;
    parsed.found = true;

    struct Slot {
        char* text;
        int capacity;
    };
    const Slot slots[] = {{parsed.slots.keyword, kChallengeSlotLength},
                          {parsed.slots.count, kChallengeSlotLength},
                          {parsed.slots.seed, kChallengeSeedLength}};
    const char* p = text;
    for (const Slot& slot : slots) {
        while (*p != '\0' && IsDelimiter(*p))
            ++p;
        if (*p == '\0') break;
        int length = 0;
        for (; *p != '\0' && !IsDelimiter(*p); ++p) {
            if (length < slot.capacity) slot.text[length++] = *p;
        }
        slot.text[length] = '\0';
    }

    for (const KeywordEntry& entry : kKeywords) {
        if (EqualIgnoringAsciiCase(parsed.slots.keyword, entry.keyword)) {
            parsed.hasKind = true;
            parsed.kind = entry.kind;
            break;
        }
    }
    return parsed;
}
