#include <cstring>

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

// The n-th token (0-based) of the text, cut to its slot, by a plain second reading.
void ExpectedSlot(const char* text, int n, char out[kChallengeSeedLength + 1]) {
    std::memset(out, 0, kChallengeSeedLength + 1);
    const std::size_t capacity = static_cast<std::size_t>(SlotCapacity(n));
    const std::size_t length = std::strlen(text);
    std::size_t i = 0;
    for (int token = 0; i < length; ++token) {
        while (i < length && IsChallengeDelimiter(text[i]))
            ++i;
        const std::size_t start = i;
        while (i < length && !IsChallengeDelimiter(text[i]))
            ++i;
        if (i == start) return;
        if (token == n) {
            const std::size_t take = i - start < capacity ? i - start : capacity;
            std::memcpy(out, text + start, take);
            return;
        }
    }
}

bool KeywordIs(const char* slot, const char* keyword) {
    if (std::strlen(slot) != std::strlen(keyword)) return false;
    for (std::size_t i = 0; keyword[i] != '\0'; ++i) {
        const unsigned char c = static_cast<unsigned char>(slot[i]);
        // Only A-Z fold; bytes above 127 must not be touched by a locale.
        const char folded = (c >= 'A' && c <= 'Z') ? static_cast<char>(c + 32) : slot[i];
        if (folded != keyword[i]) return false;
    }
    return true;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::vector<char> copy = TerminatedCopy(data, size);
    const char* text = copy.data();
    const ParsedChallenge parsed = ParseChallenge(text);

    const bool prefixed =
        std::strstr(text, "otp-") != nullptr || std::strstr(text, "s/key") != nullptr ||
        std::strstr(text, "s-key") != nullptr || std::strstr(text, "skey") != nullptr;
    FUZZ_CHECK(parsed.found == prefixed);
    if (!parsed.found) FUZZ_CHECK(!parsed.hasKind);

    const char* slots[] = {parsed.slots.keyword, parsed.slots.count, parsed.slots.seed};
    for (int n = 0; n < 3; ++n) {
        const char* slot = slots[n];
        FUZZ_CHECK(IsTerminatedWithin(slot, n));
        FUZZ_CHECK(std::strlen(slot) <= static_cast<std::size_t>(SlotCapacity(n)));
        for (const char* p = slot; *p != '\0'; ++p)
            FUZZ_CHECK(!IsChallengeDelimiter(*p));
        if (parsed.found) {
            char expected[kChallengeSeedLength + 1];
            ExpectedSlot(text, n, expected);
            FUZZ_CHECK(std::strcmp(slot, expected) == 0);
        } else {
            FUZZ_CHECK(slot[0] == '\0');
        }
    }
    // A text that passes the prefix test always yields a keyword.
    if (parsed.found) FUZZ_CHECK(parsed.slots.keyword[0] != '\0');

    if (parsed.found) {
        const char* keyword = parsed.slots.keyword;
        bool named = true;
        HashKind kind = HashKind::MD4;
        if (KeywordIs(keyword, "otp-md4") || KeywordIs(keyword, "s/key") ||
            KeywordIs(keyword, "s-key") || KeywordIs(keyword, "skey")) {
            kind = HashKind::MD4;
        } else if (KeywordIs(keyword, "otp-md5")) {
            kind = HashKind::MD5;
        } else if (KeywordIs(keyword, "otp-sha1")) {
            kind = HashKind::SHA1;
        } else {
            named = false;
        }
        FUZZ_CHECK(parsed.hasKind == named);
        if (named) FUZZ_CHECK(parsed.kind == kind);
        if (parsed.hasKind) FUZZ_CHECK(parsed.kind != HashKind::SNK);

        // A challenge that waits is named whole in its notice, without control characters.
        const NoticeText notice =
            ChallengeWaitingNotice(Computation::Sha1, parsed.slots.count, parsed.slots.seed);
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
