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

bool EqualIgnoringAsciiCase(const char* a, const char* b, std::size_t length) {
    for (std::size_t i = 0; i < length; ++i) {
        if (AsciiLower(a[i]) != AsciiLower(b[i])) return false;
    }
    return true;
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

bool IsAsciiLetterOrDigit(char c) {
    return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

bool IsNumber(const char* word) {
    const char* end = WordEnd(word);
    if (end == word) return false;
    for (; word != end; ++word) {
        if (*word < '0' || *word > '9') return false;
    }
    return true;
}

// Copies the word's first characters that pass `keep` into `slot`, cut to `capacity`.
void CopyWord(const char* word, char* slot, int capacity, bool (*keep)(char)) {
    int length = 0;
    for (; *word != '\0' && keep(*word) && length < capacity; ++word)
        slot[length++] = *word;
    slot[length] = '\0';
}

bool IsWordCharacter(char c) {
    return c != '\0' && !IsDelimiter(c);
}

// The known keyword the word is, or null.
const KeywordEntry* KeywordOf(const char* word) {
    if (!BeginsWithPrefix(word)) return nullptr;
    const std::size_t length = static_cast<std::size_t>(WordEnd(word) - word);
    for (const KeywordEntry& entry : kKeywords) {
        if (std::strlen(entry.keyword) == length &&
            EqualIgnoringAsciiCase(word, entry.keyword, length))
            return &entry;
    }
    return nullptr;
}

// RFC 2243's mark, as a word of its own: "ext", "ext]" or "ext," but not "extra".
bool IsExtensionMark(const char* word) {
    return std::strncmp(word, "ext", 3) == 0 && !IsAsciiLetterOrDigit(word[3]);
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
        const KeywordEntry* keyword = KeywordOf(word);
        if (keyword == nullptr) continue;
        const char* count = WordAt(WordEnd(word));
        if (!IsNumber(count)) continue;
        const char* seed = WordAt(WordEnd(count));
        parsed.found = true;
        parsed.kind = keyword->kind;
        CopyWord(word, parsed.slots.keyword, kChallengeSlotLength, IsWordCharacter);
        CopyWord(count, parsed.slots.count, kChallengeSlotLength, IsWordCharacter);
        CopyWord(seed, parsed.slots.seed, kChallengeSeedLength, IsAsciiLetterOrDigit);
        parsed.extended = *seed != '\0' && IsExtensionMark(WordAt(WordEnd(seed)));
        break;
    }
    return parsed;
}
