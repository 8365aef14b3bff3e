#include "shell/logic/main_logic.h"

#include <climits>
#include <cstdio>
#include <cstring>

#include "resources/resource.h"

MainCommand ClassifyMainCommand(unsigned id) {
    switch (id) {
    case 2: // IDCANCEL: the Escape key exits, it does not dock
    case IDC_EXIT: return MainCommand::Exit;
    case IDC_CLOSE: return MainCommand::Dock;
    case IDC_OPTIONS: return MainCommand::Options;
    case IDC_COMPUTE: return MainCommand::Compute;
    case IDC_MD5:
    case IDC_MD4:
    case IDC_SHA1: return MainCommand::HashRadio;
    case IDC_SNK: return MainCommand::SnkRadio;
    case IDC_COPY: return MainCommand::Copy;
    case IDC_CLEARALL: return MainCommand::ClearAll;
    default: return MainCommand::Other;
    }
}

namespace {

bool IsSpace(char c) {
    return c == ' ' || (c >= '\t' && c <= '\r');
}

} // namespace

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

Message CheckOkFields(bool snkChecked, const char* count, const char* seed,
                      const char* passPhrase) {
    Message error = Message::None;
    if (!snkChecked && (count[0] == '\0' || ReadCount(count) <= 0)) error = Message::BadCount;
    if (seed[0] == '\0') error = Message::NoSeed;
    if (passPhrase[0] == '\0') error = Message::NoPassPhrase;
    if (error != Message::None || snkChecked) return error;
    if (std::strlen(count) > kCountLimit) error = Message::CountTooLong;
    if (std::strlen(seed) > kSeedLimit) error = Message::SeedTooLong;
    if (std::strlen(passPhrase) > kPassPhraseLimit) error = Message::PassPhraseTooLong;
    return error;
}

unsigned FieldLimitOf(Message refusal) {
    switch (refusal) {
    case Message::CountTooLong: return kCountLimit;
    case Message::SeedTooLong: return kSeedLimit;
    case Message::PassPhraseTooLong: return kPassPhraseLimit;
    default: return 0;
    }
}

Computation ChooseComputation(RadioState radios) {
    if (radios.snk) return Computation::Snk;
    if (radios.md5) return Computation::Md5;
    if (radios.md4) return Computation::Md4;
    if (radios.sha1) return Computation::Sha1;
    return Computation::None;
}

bool SameOkFields(const OkFields& a, const OkFields& b) {
    return a.computation == b.computation && std::strcmp(a.count, b.count) == 0 &&
           std::strcmp(a.seed, b.seed) == 0 && std::strcmp(a.passPhrase, b.passPhrase) == 0;
}

bool IsOtpComputation(Computation computation) {
    return computation == Computation::Md5 || computation == Computation::Md4 ||
           computation == Computation::Sha1;
}

bool RunsOnWorker(Computation computation, std::uint32_t count) {
    return IsOtpComputation(computation) && count > kLongestCountInPress;
}

HashKind HashKindOf(Computation computation) {
    switch (computation) {
    case Computation::Md5: return HashKind::MD5;
    case Computation::Sha1: return HashKind::SHA1;
    default: return HashKind::MD4;
    }
}

void FormatProgress(std::uint32_t done, std::uint32_t total, char out[kProgressTextSize]) {
    const std::uint64_t percent = total == 0 ? 0 : std::uint64_t{done} * 100 / total;
    std::snprintf(out, kProgressTextSize, "%u %%", static_cast<unsigned>(percent));
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

DecrTimerStep DecrTimerExpiry(const Settings& settings) {
    const bool on = settings.AutoDecr != 0;
    return DecrTimerStep{on, on};
}

bool LowerCount(const char* countText, char out[kCountTextSize]) {
    if (std::strlen(countText) > kCountLimit) return false;
    const long n = ReadCount(countText);
    if (n < 1) return false;
    std::snprintf(out, kCountTextSize, "%ld", n - 1);
    return true;
}

const DialogMode kSkeyMode = {true, LABEL_SKEY_CHALLENGE, LABEL_SKEY_RESPONSE};
const DialogMode kSnkMode = {false, "SNK Challange", "SNK Response"};

RadioCommandEffect RadioCommandEffectFor(unsigned id, bool snkSetting) {
    switch (id) {
    case IDC_MD5: return RadioCommandEffect{true, kSkeyMode, HashKind::MD5};
    case IDC_MD4: return RadioCommandEffect{true, kSkeyMode, HashKind::MD4};
    case IDC_SHA1: return RadioCommandEffect{true, kSkeyMode, HashKind::SHA1};
    default: return RadioCommandEffect{snkSetting, kSnkMode, HashKind::SNK};
    }
}

unsigned RadioForKind(HashKind kind) {
    switch (kind) {
    case HashKind::MD5: return IDC_MD5;
    case HashKind::MD4: return IDC_MD4;
    case HashKind::SHA1: return IDC_SHA1;
    case HashKind::SNK: return IDC_SNK;
    }
    return IDC_MD4;
}

ShowPlan ShowPlanFor(const Settings& settings, HashKind remembered) {
    ShowPlan plan{};
    plan.startDockTimer = settings.AutoDock != 0;
    plan.dockIntervalMs = TimerIntervalMs(settings.DockTime);
    plan.snkRadioEnabled = settings.SNK != 0;
    plan.radioToReapply = RadioForKind(remembered);
    return plan;
}
