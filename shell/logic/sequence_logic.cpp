#include "shell/logic/sequence_logic.h"

#include <cstring>

#include "engine/ascii.h"
#include "engine/challenge.h"
#include "engine/text_format.h"
#include "shell/logic/messages.h"

namespace {

// The highest count a challenge can ask for: nine digits.
constexpr std::uint32_t kHighestCount = 999999999;
const std::uint8_t kMemoryMark[4] = {'V', 's', 'q', '1'};

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

bool AnswerableCount(std::uint32_t count) {
    return count != 0 && count <= kHighestCount;
}

std::uint32_t AddSkips(std::uint32_t a, std::uint32_t b) {
    return a > kHighestCount - b ? kHighestCount : a + b;
}

// The counts a server skipped by asking `asked` where `remembered` was answered last.
std::uint32_t SkippedBy(const SequenceRecord& remembered, std::uint32_t asked) {
    return asked + 1 < remembered.count ? remembered.count - 1 - asked : 0;
}

// Disables the format check for the messages table's patterns, each given what it asks for.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wformat-nonliteral"
template <typename... Values>
int Words(char* out, std::size_t size, GuardWords words, Values... values) {
    return FormatText(out, size, GuardWordsText(words), values...);
}
#pragma GCC diagnostic pop

} // namespace

bool SequenceName(HashKind kind, const char* seed, char name[kSequenceNameSize]) {
    const char* keyword = ChallengeKeyword(kind);
    if (keyword == nullptr || seed == nullptr) return false;
    if (FormatText(name, kSequenceNameSize, "%s %s", keyword, seed) < 0) return false;
    for (char* p = name; *p != '\0'; ++p)
        *p = AsciiLower(*p);
    return true;
}

const SequenceRecord* FindSequence(const SequenceMemory& memory, const char* name) {
    for (std::size_t i = 0; i < memory.size; ++i) {
        if (std::strcmp(memory.entries[i].name, name) == 0) return &memory.entries[i].record;
    }
    return nullptr;
}

void PutSequence(SequenceMemory& memory, const char* name, const SequenceRecord& record) {
    std::size_t at = 0;
    while (at < memory.size && std::strcmp(memory.entries[at].name, name) != 0)
        ++at;
    if (at == memory.size) {
        if (memory.size < kSequenceLimit) ++memory.size;
        at = memory.size - 1;
    }
    std::memmove(&memory.entries[1], &memory.entries[0], at * sizeof memory.entries[0]);
    SequenceEntry& first = memory.entries[0];
    std::memset(first.name, 0, sizeof first.name);
    std::strncpy(first.name, name, sizeof first.name - 1);
    first.record = record;
}

void EncodeSequenceMemory(const SequenceMemory& memory, std::uint8_t out[kSequenceMemorySize]) {
    std::memset(out, 0, kSequenceMemorySize);
    std::memcpy(out, kMemoryMark, sizeof kMemoryMark);
    for (std::size_t i = 0; i < memory.size && i < kSequenceLimit; ++i) {
        std::uint8_t* slot = out + sizeof kMemoryMark + i * kSequenceSlotSize;
        const SequenceEntry& entry = memory.entries[i];
        std::strncpy(reinterpret_cast<char*>(slot), entry.name, kSequenceNameSize - 1);
        StoreLe(slot + kSequenceNameSize, entry.record.count, 4);
        StoreLe(slot + kSequenceNameSize + 4, entry.record.check, 2);
        StoreLe(slot + kSequenceNameSize + 6, entry.record.skipped, 4);
    }
}

bool DecodeSequenceMemory(const std::uint8_t* data, std::size_t length, SequenceMemory* memory) {
    if (data == nullptr || length != kSequenceMemorySize ||
        std::memcmp(data, kMemoryMark, sizeof kMemoryMark) != 0)
        return false;
    memory->size = 0;
    bool ended = false;
    for (std::size_t i = 0; i < kSequenceLimit; ++i) {
        const std::uint8_t* slot = data + sizeof kMemoryMark + i * kSequenceSlotSize;
        if (slot[0] == 0) {
            ended = true;
            continue;
        }
        const auto* end = static_cast<const std::uint8_t*>(std::memchr(slot, 0, kSequenceNameSize));
        const std::uint32_t count = LoadLe(slot + kSequenceNameSize, 4);
        if (ended || end == nullptr || !AnswerableCount(count)) return false;
        SequenceEntry& entry = memory->entries[memory->size++];
        std::memcpy(entry.name, slot, kSequenceNameSize);
        entry.record = {count, static_cast<std::uint16_t>(LoadLe(slot + kSequenceNameSize + 4, 2)),
                        LoadLe(slot + kSequenceNameSize + 6, 4)};
    }
    return true;
}

bool DecodeOldSequence(const char* name, const std::uint8_t* data, std::size_t length,
                       OldSequence* old) {
    if (name == nullptr || data == nullptr || length != 10 || name[0] == '\0' ||
        std::strlen(name) >= kSequenceNameSize || !AnswerableCount(LoadLe(data, 4)))
        return false;
    std::memset(old->name, 0, sizeof old->name);
    std::strncpy(old->name, name, sizeof old->name - 1);
    old->record = {LoadLe(data, 4), static_cast<std::uint16_t>(LoadLe(data + 4, 2)), 0};
    // 0 marks one carried over.
    old->used = LoadLe(data + 6, 4) != 0 ? LoadLe(data + 6, 4) : 1;
    return true;
}

void CarryOverOldSequences(SequenceMemory& memory, OldSequence* old, std::size_t count) {
    // The latest used of those left each time, each taken marked by a use of 0.
    for (std::size_t left = count; left > 0 && memory.size < kSequenceLimit; --left) {
        OldSequence* latest = old;
        for (OldSequence* o = old; o < old + count; ++o)
            if (o->used >= latest->used) latest = o;
        latest->used = 0;
        if (FindSequence(memory, latest->name) != nullptr) continue;
        SequenceEntry& entry = memory.entries[memory.size++];
        std::memcpy(entry.name, latest->name, sizeof entry.name);
        entry.record = latest->record;
    }
}

std::uint16_t SequenceCheck(const std::uint8_t value[8]) {
    return static_cast<std::uint16_t>(value[0] << 8 | value[1]);
}

std::uint32_t GuardCheckCount(const SequenceRecord* remembered, std::uint32_t asked) {
    if (remembered == nullptr) return 0;
    return asked >= remembered->count || remembered->count - asked <= kLongestCheck
               ? remembered->count
               : 0;
}

GuardVerdict DecideGuard(bool guardOn, const SequenceRecord* remembered, std::uint32_t asked,
                         const std::uint8_t* valueAtCheck) {
    GuardVerdict verdict{};
    if (remembered == nullptr) return verdict;
    verdict.checked = remembered->count;
    verdict.expected = remembered->count - 1;
    if (GuardCheckCount(remembered, asked) == 0) {
        verdict.checkSkipped = true;
    } else if (valueAtCheck != nullptr) {
        verdict.otherPassPhrase = SequenceCheck(valueAtCheck) != remembered->check;
    }
    const std::uint32_t skippedNow = SkippedBy(*remembered, asked);
    if (skippedNow > 0) {
        verdict.skippedBefore = remembered->skipped;
        verdict.skipped = AddSkips(remembered->skipped, skippedNow);
    }
    verdict.mistyped = guardOn && verdict.otherPassPhrase;
    verdict.lowCount = guardOn && verdict.skipped > kCountsSkippedFreely;
    return verdict;
}

SequenceAnswer AnswerPastGuard(const GuardVerdict& verdict, std::uint32_t asked,
                               std::uint32_t lowest, const std::uint8_t valueAtLowest[8]) {
    const bool replace = verdict.mistyped || verdict.lowCount;
    return {asked, lowest, SequenceCheck(valueAtLowest), replace,
            verdict.otherPassPhrase && !replace};
}

SequenceRecord RecordAfterAnswer(const SequenceRecord* stored, const SequenceAnswer& answer) {
    const SequenceRecord fresh = {answer.lowest, answer.check, 0};
    if (stored == nullptr || answer.replace) return fresh;
    if (answer.otherPassPhrase || answer.lowest >= stored->count) return *stored;
    // An answer from the count expected down skips nothing, and allows as many skips again.
    const std::uint32_t skipped = SkippedBy(*stored, answer.asked);
    return {answer.lowest, answer.check, skipped == 0 ? 0 : AddSkips(stored->skipped, skipped)};
}

std::size_t DescribeGuard(GuardReason reason, const GuardVerdict& verdict, HashKind kind,
                          const char* seed, std::uint32_t asked, char* out, std::size_t size) {
    if (size == 0) return 0;
    out[0] = '\0';
    char name[kSequenceNameSize];
    if (!SequenceName(kind, seed, name)) name[0] = '\0';
    // The keyword and the seed, between which the count goes.
    const char* space = std::strchr(name, ' ');
    const int keywordLength = space != nullptr ? static_cast<int>(space - name) : 0;
    char challenge[kSequenceNameSize + kChallengeSlotLength + 1];
    FormatText(challenge, sizeof challenge, "%.*s %u%s", keywordLength, name,
               static_cast<unsigned>(asked), space != nullptr ? space : "");
    char before[128] = {};
    if (verdict.skippedBefore > 0)
        Words(before, sizeof before, GuardWords::SkippedBefore,
              static_cast<unsigned>(verdict.skippedBefore), static_cast<unsigned>(verdict.skipped));
    int length = 0;
    if (reason == GuardReason::Mistyped) {
        length = Words(out, size, GuardWords::Mistyped, challenge,
                       static_cast<unsigned>(verdict.checked));
    } else {
        length =
            Words(out, size, GuardWords::LowCount, challenge, static_cast<unsigned>(asked),
                  static_cast<unsigned>(verdict.expected), before, static_cast<unsigned>(asked),
                  verdict.checkSkipped ? GuardWordsText(GuardWords::NotChecked) : "");
    }
    return length < 0 ? size - 1 : static_cast<std::size_t>(length);
}
