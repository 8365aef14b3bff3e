#include "shell/logic/main_logic.h"

#include <climits>
#include <cstring>

#include "engine/text_format.h"
#include "engine/otp.h"
#include "resources/resource.h"

namespace {

bool IsSpace(char c) {
    return c == ' ' || (c >= '\t' && c <= '\r');
}

const DialogMode kSkeyMode = {true, LABEL_SKEY_CHALLENGE, LABEL_SKEY_RESPONSE, true};
const DialogMode kSnkMode = {false, "SNK Challange", "SNK Response", false};

} // namespace

// SNK first: with it checked, Ok answers SNK whatever else is checked.
const KindRow kKindTable[kKindCount] = {
    {IDC_SNK, HashKind::SNK, &kSnkMode},
    {IDC_MD5, HashKind::MD5, &kSkeyMode},
    {IDC_MD4, HashKind::MD4, &kSkeyMode},
    {IDC_SHA1, HashKind::SHA1, &kSkeyMode},
};

std::optional<HashKind> KindOfRadio(unsigned radio) {
    for (const KindRow& row : kKindTable) {
        if (row.radio == radio) return row.kind;
    }
    return std::nullopt;
}

namespace {

const KindRow& RowOf(HashKind kind) {
    for (const KindRow& row : kKindTable) {
        if (row.kind == kind) return row;
    }
    return kKindTable[0];
}

} // namespace

unsigned RadioOf(HashKind kind) {
    return RowOf(kind).radio;
}

const DialogMode& ModeOf(HashKind kind) {
    return *RowOf(kind).mode;
}

bool IsOtpKind(std::optional<HashKind> kind) {
    return kind.has_value() && *kind != HashKind::SNK;
}

long ReadCount(const char* text) {
    while (IsSpace(*text))
        ++text;
    bool negative = false;
    if (*text == '+' || *text == '-') {
        negative = *text == '-';
        ++text;
    }
    long value = 0;
    for (; *text >= '0' && *text <= '9'; ++text) {
        const int digit = *text - '0';
        if (value > (LONG_MAX - digit) / 10) return negative ? -LONG_MAX : LONG_MAX;
        value = value * 10 + digit;
    }
    return negative ? -value : value;
}

Message CheckOkFields(std::optional<HashKind> kind, const char* count, const char* seed,
                      const char* passPhrase) {
    const bool snk = kind == HashKind::SNK;
    Message error = Message::None;
    if (!snk && (count[0] == '\0' || ReadCount(count) <= 0)) error = Message::BadCount;
    if (seed[0] == '\0') error = Message::NoSeed;
    if (passPhrase[0] == '\0') error = Message::NoPassPhrase;
    if (error != Message::None || snk) return error;
    const std::size_t seedLength = std::strlen(seed);
    const std::size_t passLength = std::strlen(passPhrase);
    if (std::strlen(count) > kCountLimit) error = Message::CountTooLong;
    if (seedLength > kSeedLimit) error = Message::SeedTooLong;
    if (passLength > kPassPhraseLimit) error = Message::PassPhraseTooLong;
    if (error != Message::None) return error;
    if (kind == HashKind::MD4 && seedLength + passLength > kMd4CrunchLimit) {
        error = Message::Md4TooLong;
    }
    return error;
}

bool SameOkFields(const OkFields& a, const OkFields& b) {
    return a.kind == b.kind && std::strcmp(a.count, b.count) == 0 &&
           std::strcmp(a.seed, b.seed) == 0 && std::strcmp(a.passPhrase, b.passPhrase) == 0;
}

bool RunsOnWorker(std::optional<HashKind> kind, std::uint32_t count) {
    return IsOtpKind(kind) && count > kLongestCountInPress;
}

void FormatProgress(std::uint32_t done, std::uint32_t total, char out[kProgressTextSize]) {
    const std::uint64_t percent = total == 0 ? 0 : std::uint64_t{done} * 100 / total;
    FormatText(out, kProgressTextSize, "%u %%", static_cast<unsigned>(percent));
}

unsigned TimerIntervalMs(unsigned char seconds) {
    return seconds * 1000u;
}

OkOutcome OkOutcomeFor(bool computed, const Settings& settings) {
    OkOutcome outcome{};
    outcome.showResponse = computed;
    outcome.startDecrTimer = computed && settings.AutoDecr != 0;
    outcome.decrIntervalMs = TimerIntervalMs(settings.DecrTime);
    return outcome;
}

bool LowerCount(const char* countText, char out[kCountTextSize]) {
    if (std::strlen(countText) > kCountLimit) return false;
    const long n = ReadCount(countText);
    if (n < 1) return false;
    FormatText(out, kCountTextSize, "%ld", n - 1);
    return true;
}
