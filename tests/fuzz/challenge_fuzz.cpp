#include <cctype>
#include <cstring>
#include <string>
#include <vector>

#include "engine/challenge.h"
#include "shell/logic/notice_logic.h"
#include "tests/fuzz/fuzz_support.h"

namespace {

bool IsChallengeDelimiter(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\r';
}

// Keyword and count keep 10 characters, the seed 16.
int SlotCapacity(int n) {
    return n == 2 ? kChallengeSeedLength : kChallengeSlotLength;
}

bool IsTerminatedWithin(const char* slot, int n) {
    return std::memchr(slot, '\0', static_cast<std::size_t>(SlotCapacity(n)) + 1) != nullptr;
}

// The text's words, split by a plain second reading.
std::vector<std::string> Words(const char* text) {
    std::vector<std::string> words;
    std::string word;
    for (const char* p = text;; ++p) {
        if (*p == '\0' || IsChallengeDelimiter(*p)) {
            if (!word.empty()) words.push_back(word);
            word.clear();
            if (*p == '\0') return words;
        } else {
            word += *p;
        }
    }
}

bool StartsWith(const std::string& word, const char* prefix) {
    return word.compare(0, std::strlen(prefix), prefix) == 0;
}

bool AllDigits(const std::string& word) {
    return !word.empty() && word.find_first_not_of("0123456789") == std::string::npos;
}

bool KeywordIs(const std::string& word, const char* keyword) {
    if (word.size() != std::strlen(keyword)) return false;
    for (std::size_t i = 0; keyword[i] != '\0'; ++i) {
        const unsigned char c = static_cast<unsigned char>(word[i]);
        // Only A-Z fold; bytes above 127 must not be touched by a locale.
        const char folded = (c >= 'A' && c <= 'Z') ? static_cast<char>(c + 32) : word[i];
        if (folded != keyword[i]) return false;
    }
    return true;
}

// The kind a word names as a keyword: a known keyword whose prefix is in lower case.
bool KindOfKeyword(const std::string& w, HashKind* kind) {
    if (!StartsWith(w, "otp-") && !StartsWith(w, "s/key") && !StartsWith(w, "s-key") &&
        !StartsWith(w, "skey"))
        return false;
    if (KeywordIs(w, "otp-md4") || KeywordIs(w, "s/key") || KeywordIs(w, "s-key") ||
        KeywordIs(w, "skey")) {
        *kind = HashKind::MD4;
    } else if (KeywordIs(w, "otp-md5")) {
        *kind = HashKind::MD5;
    } else if (KeywordIs(w, "otp-sha1")) {
        *kind = HashKind::SHA1;
    } else {
        return false;
    }
    return true;
}

// Where the challenge starts: the first keyword followed by a number; -1 when there is none.
int ChallengeAt(const std::vector<std::string>& words, HashKind* kind) {
    for (std::size_t i = 0; i + 1 < words.size(); ++i) {
        if (KindOfKeyword(words[i], kind) && AllDigits(words[i + 1])) return static_cast<int>(i);
    }
    return -1;
}

// What a slot takes of its word: the seed only its leading letters and digits.
std::string SlotOfWord(const std::string& word, int n) {
    if (n != 2) return word;
    std::size_t end = 0;
    while (end < word.size() && std::isalnum(static_cast<unsigned char>(word[end])) &&
           static_cast<unsigned char>(word[end]) < 0x80)
        ++end;
    return word.substr(0, end);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::vector<char> copy = TerminatedCopy(data, size);
    const char* text = copy.data();
    const ParsedChallenge parsed = ParseChallenge(text);

    const std::vector<std::string> words = Words(text);
    HashKind kind = HashKind::MD5;
    const int at = ChallengeAt(words, &kind);
    FUZZ_CHECK(parsed.found == (at >= 0));
    if (parsed.found) FUZZ_CHECK(parsed.kind == kind);
    // RFC 2243's mark is the word after the seed.
    const std::size_t mark = static_cast<std::size_t>(at + 3);
    FUZZ_CHECK(parsed.extended ==
               (parsed.found && mark < words.size() && StartsWith(words[mark], "ext") &&
                !std::isalnum(static_cast<unsigned char>(words[mark][3]))));

    const char* slots[] = {parsed.slots.keyword, parsed.slots.count, parsed.slots.seed};
    for (int n = 0; n < 3; ++n) {
        const char* slot = slots[n];
        FUZZ_CHECK(IsTerminatedWithin(slot, n));
        FUZZ_CHECK(std::strlen(slot) <= static_cast<std::size_t>(SlotCapacity(n)));
        for (const char* p = slot; *p != '\0'; ++p)
            FUZZ_CHECK(!IsChallengeDelimiter(*p));
        if (parsed.found) {
            const std::size_t word = static_cast<std::size_t>(at + n);
            const std::string expected = word < words.size() ? SlotOfWord(words[word], n) : "";
            FUZZ_CHECK(expected.compare(0, static_cast<std::size_t>(SlotCapacity(n)), slot) == 0);
        } else {
            FUZZ_CHECK(slot[0] == '\0');
        }
    }
    // A challenge found always has a keyword and a count.
    if (parsed.found) FUZZ_CHECK(parsed.slots.keyword[0] != '\0' && parsed.slots.count[0] != '\0');

    if (parsed.found) {
        // A challenge that waits is named whole in its notice, without control characters.
        const NoticeText notice =
            ChallengeWaitingNotice(HashKind::SHA1, parsed.slots.count, parsed.slots.seed);
        const std::size_t length = std::strlen(notice.text);
        static const char kTail[] = "to answer it.";
        FUZZ_CHECK(length + 1 < kNoticeTextSize);
        FUZZ_CHECK(length >= sizeof kTail - 1);
        FUZZ_CHECK(std::strcmp(notice.text + length - (sizeof kTail - 1), kTail) == 0);
        for (const char* p = notice.text; *p != '\0'; ++p)
            FUZZ_CHECK(static_cast<unsigned char>(*p) >= 0x20 && *p != 0x7f);
    }
    return 0;
}
