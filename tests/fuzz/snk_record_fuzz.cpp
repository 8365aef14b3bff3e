#include <cstring>
#include <string>

#include "snk/snk_record.h"
#include "snk/snk_response.h"
#include "snk/snk_seed.h"
#include "tests/fuzz/fuzz_support.h"

// Input: a control byte, a length byte, then the record (raw mode) or the
// seed text (enrol mode), the password and the challenge, split at 0xFF.

namespace {

constexpr std::size_t kResponseBuffer = 64; // the main dialog's response text
constexpr std::uint8_t kUntouched = 0xA5;

bool IsLowerHex(char c) {
    return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f');
}

void CheckResponseShape(const char* response, bool ok) {
    if (!ok) {
        for (std::size_t i = 0; i < kResponseBuffer; ++i)
            FUZZ_CHECK(static_cast<std::uint8_t>(response[i]) == kUntouched);
        return;
    }
    for (std::size_t i = 0; i < 8; ++i)
        FUZZ_CHECK(IsLowerHex(response[i]));
    FUZZ_CHECK(response[8] == '\0');
    for (std::size_t i = kSnkResponseSize; i < kResponseBuffer; ++i)
        FUZZ_CHECK(static_cast<std::uint8_t>(response[i]) == kUntouched);
}

// The response for a key with the challenge cut to its first eight characters.
std::string ResponseFor(const char* challenge, const std::uint8_t key[8]) {
    char eight[9] = {};
    std::strncpy(eight, challenge, 8);
    char response[kSnkResponseSize];
    SnkChallengeResponse(eight, key, response);
    return std::string(response);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 2) return 0;
    const std::uint8_t control = data[0];
    const std::size_t length = data[1] % (kSnkFieldSize + 1); // 0..40 record bytes
    const bool enrolMode = (control & 1) != 0;
    const bool otherPassword = (control & 4) != 0;

    const Split first = SplitAtMarker(data + 2, size - 2);
    const Split second = SplitAtMarker(first.tail, first.tailSize);
    const std::vector<char> body = TerminatedCopy(first.head, first.headSize);
    const std::vector<char> password = TerminatedCopy(second.head, second.headSize);
    const std::vector<char> challenge = TerminatedCopy(second.tail, second.tailSize);

    // Exactly `length` bytes, so that a read past the record is caught.
    std::vector<std::uint8_t> record(length);
    bool seedValid = false;
    std::uint8_t seedKey[8] = {};
    // Enrolment keeps the first 39 characters of the password; the response,
    // given up to 63, must cut it the same way.
    const std::string typed(password.data());
    const std::string enrolled = typed.substr(0, kSnkFieldSize - 1);
    std::string decryptPassword = typed;
    if (enrolMode) {
        std::uint8_t stored[kSnkRecordSize];
        std::memset(stored, kUntouched, sizeof stored);
        EncryptSnkRecord(body.data(), enrolled.c_str(), stored);
        const std::size_t n = strnlen(body.data(), kSnkRecordSize);
        for (std::size_t i = n; i < kSnkRecordSize; ++i)
            FUZZ_CHECK(stored[i] == 0);
        for (std::size_t i = 0; i < length; ++i)
            record[i] = i < kSnkRecordSize ? stored[i] : 0;

        char firstSeed[kSnkRecordSize + 1] = {};
        std::memcpy(firstSeed, body.data(), n);
        seedValid = IsValidSnkSeed(firstSeed);
        if (seedValid) SnkSeedToKey(firstSeed, seedKey);
        if (otherPassword) decryptPassword += 'x';
    } else {
        for (std::size_t i = 0; i < length && i < first.headSize; ++i)
            record[i] = first.head[i];
    }
    const std::uint8_t* recordBytes = length != 0 ? record.data() : nullptr;

    std::uint8_t key[8];
    std::memset(key, kUntouched, sizeof key);
    const std::string effective = decryptPassword.substr(0, kSnkFieldSize - 1);
    const bool decrypted = DecryptSnkRecord(recordBytes, length, effective.c_str(), key);
    if (!decrypted) {
        for (std::uint8_t b : key)
            FUZZ_CHECK(b == kUntouched);
    }
    if (length > kSnkRecordSize) FUZZ_CHECK(!decrypted);
    // A stream cipher: fewer than 31 bytes can never decrypt to a seed text.
    if (length < kSnkRecordSize) FUZZ_CHECK(!decrypted);
    const bool roundTrip = enrolMode && seedValid && !otherPassword && length == kSnkRecordSize;
    if (roundTrip) {
        FUZZ_CHECK(decrypted);
        FUZZ_CHECK(std::memcmp(key, seedKey, sizeof key) == 0);
    }

    char response[kResponseBuffer];
    std::memset(response, kUntouched, sizeof response);
    const SnkResult result = SnkResponseFromRecord(recordBytes, length, challenge.data(),
                                                   decryptPassword.c_str(), response);
    FUZZ_CHECK(result == (decrypted ? SnkResult::Ok : SnkResult::BadPassword));
    CheckResponseShape(response, result == SnkResult::Ok);
    if (result == SnkResult::Ok) {
        // Only the first eight challenge characters count.
        FUZZ_CHECK(ResponseFor(challenge.data(), key) == response);
        if (roundTrip) FUZZ_CHECK(ResponseFor(challenge.data(), seedKey) == response);
    }
    return 0;
}
