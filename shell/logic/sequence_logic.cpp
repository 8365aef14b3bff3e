#include "shell/logic/sequence_logic.h"

#include <cstring>

#include "engine/text_format.h"
#include "engine/ascii.h"
#include "engine/challenge.h"

namespace {

// The highest count a challenge can ask for: nine digits.
constexpr std::uint32_t kHighestCount = 999999999;

void StoreLe(std::uint8_t* p, std::uint32_t value, int bytes) {
    for (int i = 0; i < bytes; ++i)
        p[i] = static_cast<std::uint8_t>(value >> (8 * i));
}

std::uint32_t LoadLe(const std::uint8_t* p, int bytes) {
    std::uint32_t value = 0;
    for (int i = bytes - 1; i >= 0; --i)
        value = value << 8 | p[i];
    return value;
}

} // namespace

bool SequenceName(HashKind kind, const char* seed, char name[kSequenceNameSize]) {
    const char* keyword = ChallengeKeyword(kind);
    if (keyword == nullptr || seed == nullptr) return false;
    if (FormatText(name, kSequenceNameSize, "%s %s", keyword, seed) < 0) return false;
    for (char* p = name; *p != '\0'; ++p)
        *p = AsciiLower(*p);
    return true;
}

void EncodeSequenceRecord(const SequenceRecord& record, std::uint8_t out[kSequenceRecordSize]) {
    StoreLe(out, record.count, 4);
    StoreLe(out + 4, record.check, 2);
    StoreLe(out + 6, record.used, 4);
}

bool DecodeSequenceRecord(const std::uint8_t* data, std::size_t length, SequenceRecord* record) {
    if (data == nullptr || length != kSequenceRecordSize) return false;
    const std::uint32_t count = LoadLe(data, 4);
    if (count == 0 || count > kHighestCount) return false;
    record->count = count;
    record->check = static_cast<std::uint16_t>(LoadLe(data + 4, 2));
    record->used = LoadLe(data + 6, 4);
    return true;
}

bool SurveySequence(SequenceSurvey& survey, const SequenceRecord* record) {
    ++survey.stored;
    if (record != nullptr && record->used > survey.highestUsed) survey.highestUsed = record->used;
    if (survey.victimFound && survey.victimGarbled) return false;
    if (record == nullptr) {
        survey.victimFound = true;
        survey.victimGarbled = true;
        return true;
    }
    if (survey.victimFound && record->used >= survey.victimUsed) return false;
    survey.victimFound = true;
    survey.victimUsed = record->used;
    return true;
}

bool SequenceStoreFull(const SequenceSurvey& survey) {
    return survey.stored >= kSequenceLimit;
}

std::uint16_t SequenceCheck(const std::uint8_t value[8]) {
    return static_cast<std::uint16_t>(value[0] << 8 | value[1]);
}

std::uint32_t GuardCheckCount(bool guardOn, const SequenceRecord* remembered, std::uint32_t asked) {
    if (!guardOn || remembered == nullptr || asked >= remembered->count) return 0;
    return remembered->count - asked <= kLongestCheck ? remembered->count : 0;
}

GuardVerdict DecideGuard(bool guardOn, const SequenceRecord* remembered, std::uint32_t asked,
                         const std::uint8_t* valueAtCheck) {
    GuardVerdict verdict{};
    if (!guardOn || remembered == nullptr || asked >= remembered->count) return verdict;
    verdict.checked = remembered->count;
    verdict.expected = remembered->count - 1;
    verdict.lowCount = verdict.expected - asked > kCountsSkippedFreely;
    if (GuardCheckCount(guardOn, remembered, asked) == 0) {
        verdict.checkSkipped = true;
    } else if (valueAtCheck != nullptr) {
        verdict.mistyped = SequenceCheck(valueAtCheck) != remembered->check;
    }
    return verdict;
}

std::size_t DescribeGuard(GuardReason reason, const GuardVerdict& verdict, HashKind kind,
                          const char* seed, std::uint32_t asked, char* out, std::size_t size) {
    char name[kSequenceNameSize];
    if (size == 0) return 0;
    if (!SequenceName(kind, seed, name)) name[0] = '\0';
    int length = 0;
    if (reason == GuardReason::Mistyped) {
        length = FormatText(out, size,
                            "This pass phrase does not give the response of %s that count %u "
                            "gave before. Is Caps Lock on? Or was the sequence renewed with "
                            "another pass phrase?",
                            name, static_cast<unsigned>(verdict.checked));
    } else {
        length = FormatText(
            out, size,
            "The challenge asks for count %u, but the next count expected for %s is %u. "
            "Answering gives away every response from count %u up, the next logins to this "
            "server among them.%s",
            static_cast<unsigned>(asked), name, static_cast<unsigned>(verdict.expected),
            static_cast<unsigned>(asked),
            verdict.checkSkipped ? " The pass phrase was not checked: that would take too long."
                                 : "");
    }
    return length < 0 ? size - 1 : static_cast<std::size_t>(length);
}
