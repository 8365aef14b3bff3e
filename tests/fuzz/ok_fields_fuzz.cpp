#include <climits>
#include <cstring>
#include <string>

#include "shell/logic/main_logic.h"
#include "tests/fuzz/fuzz_support.h"

// Input: a control byte, a settings byte, then the count, seed and pass-phrase
// texts split at 0xFF.

namespace {

// The C library's reading; the unit saturates symmetrically.
long ExpectedCount(const char* text) {
    const long value = std::strtol(text, nullptr, 10);
    return value == LONG_MIN ? -LONG_MAX : value;
}

// What GetDlgItemText leaves in a read buffer of `size` bytes.
std::string AsRead(const char* text, std::size_t size) {
    return std::string(text, strnlen(text, size - 1));
}

void CheckFields(std::optional<HashKind> kind, const char* count, const char* seed,
                 const char* passPhrase) {
    const bool snk = kind == HashKind::SNK;
    const long n = ExpectedCount(count);
    FUZZ_CHECK(ReadCount(count) == n);

    Message expected = Message::None;
    if (passPhrase[0] == '\0') {
        expected = Message::NoPassPhrase;
    } else if (seed[0] == '\0') {
        expected = Message::NoSeed;
    } else if (!snk && (count[0] == '\0' || n <= 0)) {
        expected = Message::BadCount;
    } else if (!snk && std::strlen(passPhrase) > kPassPhraseLimit) {
        expected = Message::PassPhraseTooLong;
    } else if (!snk && std::strlen(seed) > kSeedLimit) {
        expected = Message::SeedTooLong;
    } else if (!snk && std::strlen(count) > kCountLimit) {
        expected = Message::CountTooLong;
    } else if (kind == HashKind::MD4 && std::strlen(seed) + std::strlen(passPhrase) > 64) {
        expected = Message::Md4TooLong;
    }
    const Message error = CheckOkFields(kind, count, seed, passPhrase);
    FUZZ_CHECK(error == expected);
    if (error == Message::None && !snk) FUZZ_CHECK(ReadCount(count) > 0);

    char lowered[kCountTextSize];
    std::memset(lowered, 'x', sizeof lowered);
    if (LowerCount(count, lowered)) {
        FUZZ_CHECK(n >= 1 && std::strlen(count) <= kCountLimit);
        FUZZ_CHECK(std::memchr(lowered, '\0', sizeof lowered) != nullptr);
        for (const char* p = lowered; *p != '\0'; ++p)
            FUZZ_CHECK(*p >= '0' && *p <= '9');
        FUZZ_CHECK(lowered[0] != '0' || lowered[1] == '\0');
        FUZZ_CHECK(ReadCount(lowered) == n - 1);
    } else {
        FUZZ_CHECK(n < 1 || std::strlen(count) > kCountLimit);
        for (char c : lowered)
            FUZZ_CHECK(c == 'x');
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 2) return 0;
    const std::uint8_t control = data[0];
    const std::uint8_t settingsByte = data[1];
    const Split first = SplitAtMarker(data + 2, size - 2);
    const Split second = SplitAtMarker(first.tail, first.tailSize);
    const std::vector<char> count = TerminatedCopy(first.head, first.headSize);
    const std::vector<char> seed = TerminatedCopy(second.head, second.headSize);
    const std::vector<char> passPhrase = TerminatedCopy(second.tail, second.tailSize);

    // The radio buttons choose one kind, or none.
    const std::optional<HashKind> kind =
        (control & 8) != 0 ? std::nullopt : std::optional<HashKind>(HashKind(control & 3));
    const bool snk = kind == HashKind::SNK;

    // The texts as they stand, and as the dialog's read buffers cut them.
    CheckFields(kind, count.data(), seed.data(), passPhrase.data());
    const std::string countRead = AsRead(count.data(), kCountReadSize);
    const std::string seedRead = AsRead(seed.data(), kSeedReadSize);
    const std::string passRead = AsRead(passPhrase.data(), kPassPhraseReadSize);
    CheckFields(kind, countRead.c_str(), seedRead.c_str(), passRead.c_str());
    // No response from a cut text: what the buffers accept, they hold whole.
    if (!snk && CheckOkFields(kind, countRead.c_str(), seedRead.c_str(), passRead.c_str()) ==
                    Message::None) {
        FUZZ_CHECK(countRead == count.data() && seedRead == seed.data() &&
                   passRead == passPhrase.data());
    }

    Settings settings{};
    settings.AutoDecr = static_cast<std::uint8_t>(settingsByte & 0x0F);
    settings.DecrTime = settingsByte;
    const bool computed = (control & 0x10) != 0;
    const OkOutcome outcome = OkOutcomeFor(computed, settings);
    FUZZ_CHECK(outcome.showResponse == computed);
    FUZZ_CHECK(outcome.startDecrTimer == (computed && settings.AutoDecr != 0));
    if (outcome.startDecrTimer) FUZZ_CHECK(outcome.decrIntervalMs == settings.DecrTime * 1000u);
    return 0;
}
