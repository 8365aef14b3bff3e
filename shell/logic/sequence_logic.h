#pragma once
// The life of a one-time-password sequence, free of the platform: what is remembered of each
// sequence, the two guards that this allows before a response is given away, and how an answer
// changes what is remembered.
//
// Nothing remembered lets anyone log in: of the pass phrase only 16 bits of one response a
// sequence has given are kept, which tell a mistyped pass phrase from the right one. One record
// tests a guessed pass phrase to one chance in 65536 at the cost of a whole computation, but the
// records of one pass phrase add up (two after a renewal that kept it, four make a 64-bit test),
// and the names and counts tell which hosts the user logs in to. So the store keeps the whole
// memory protected for the user.
#include <cstddef>
#include <cstdint>

#include "engine/hash_kind.h"

// The most sequences remembered; the one used least recently goes.
constexpr std::size_t kSequenceLimit = 100;

// A sequence is remembered by its keyword and its seed with the letters folded to lower case, as
// the server hashes it: "otp-md5 ke1234". False when the kind has no keyword (SNK) or the name
// does not fit.
constexpr std::size_t kSequenceNameSize = 32;
bool SequenceName(HashKind kind, const char* seed, char name[kSequenceNameSize]);

// The lowest count answered (or listed) and 16 bits of its response, and the counts skipped
// since the last answer at the count expected.
struct SequenceRecord {
    std::uint32_t count;
    std::uint16_t check;
    std::uint32_t skipped;
};

// The whole memory, the sequence used most recently first.
struct SequenceEntry {
    char name[kSequenceNameSize];
    SequenceRecord record;
};
struct SequenceMemory {
    std::size_t size;
    SequenceEntry entries[kSequenceLimit];
};

// Null for a sequence not remembered.
const SequenceRecord* FindSequence(const SequenceMemory& memory, const char* name);
// Puts `record` first, as the sequence `name`'s; when kSequenceLimit are remembered, a new one
// takes the place of the one used least recently.
void PutSequence(SequenceMemory& memory, const char* name, const SequenceRecord& record);

// The memory as bytes: a mark, then kSequenceLimit slots of a NUL-padded name and the record
// (count, check, skipped, little-endian), empty slots zero. Always this size, so that the length
// of what is stored tells nothing.
constexpr std::size_t kSequenceSlotSize = kSequenceNameSize + 10;
constexpr std::size_t kSequenceMemorySize = 4 + kSequenceLimit * kSequenceSlotSize;
void EncodeSequenceMemory(const SequenceMemory& memory, std::uint8_t out[kSequenceMemorySize]);
// False for bytes that are no memory: another size or mark, a name without its end, a count no
// challenge can ask for, or an entry after an empty slot.
bool DecodeSequenceMemory(const std::uint8_t* data, std::size_t length, SequenceMemory* memory);

// What 0.15 stored: one value per sequence, named by SequenceName, of 10 bytes: the count, the
// check and the order of use (the highest the latest), little-endian.
struct OldSequence {
    char name[kSequenceNameSize];
    SequenceRecord record;
    std::uint32_t used;
};
// False for a value that is not one: a name that does not fit, another size, a count no
// challenge can ask for.
bool DecodeOldSequence(const char* name, const std::uint8_t* data, std::size_t length,
                       OldSequence* old);
// Adds the old ones behind every sequence the memory holds, the latest used first, as room
// allows; a name remembered already keeps its record. Uses up `old`.
void CarryOverOldSequences(SequenceMemory& memory, OldSequence* old, std::size_t count);

// The check of a response value: its first 16 bits.
std::uint16_t SequenceCheck(const std::uint8_t value[8]);

// A check that would cost more steps than this is not made: no one waits that long for it.
constexpr std::uint32_t kLongestCheck = 1000000;
// A server may skip this many counts in all (logins answered elsewhere, from a list) without a
// question; an answer at the count expected allows as many again.
constexpr std::uint32_t kCountsSkippedFreely = 10;

// The count whose response value the computation must also give, so that DecideGuard can check
// the pass phrase: the remembered one. A count above it passes it on its way, the count itself
// needs no step more, and one below costs the steps up to it, kLongestCheck at most. 0 for none.
// Made with the guard off too: the memory takes nothing from another pass phrase.
std::uint32_t GuardCheckCount(const SequenceRecord* remembered, std::uint32_t asked);

struct GuardVerdict {
    bool mistyped;               // ask: the pass phrase does not give the remembered check
    bool lowCount;               // ask: more than kCountsSkippedFreely skipped in all
    bool otherPassPhrase;        // the pass phrase does not give the check, asked about or not
    bool checkSkipped;           // the pass phrase was not checked: too many steps
    std::uint32_t checked;       // the count the pass phrase was checked against
    std::uint32_t expected;      // the next count the server should ask for
    std::uint32_t skipped;       // the counts skipped in all, by this answer too
    std::uint32_t skippedBefore; // of those, the ones skipped before it
};

// The guards for an answer to `asked`; they ask only with `guardOn`. `valueAtCheck` is the
// response value at GuardCheckCount's count, or null where it gave 0. A count above the one
// remembered asks only about the pass phrase: the server refused the last login, or the
// sequence was renewed.
GuardVerdict DecideGuard(bool guardOn, const SequenceRecord* remembered, std::uint32_t asked,
                         const std::uint8_t* valueAtCheck);

// An answer as the memory takes it: the counts given away, from `asked` down to `lowest` (a
// list's last line; `asked` for a response), and the check of `lowest`.
struct SequenceAnswer {
    std::uint32_t asked;
    std::uint32_t lowest;
    std::uint16_t check;
    bool replace;         // Yes to a guard's question, or a new sequence: taken as it is
    bool otherPassPhrase; // given unasked from a pass phrase the memory does not know
};
// The answer of a press that the guard let through, with Yes to every question it asked.
SequenceAnswer AnswerPastGuard(const GuardVerdict& verdict, std::uint32_t asked,
                               std::uint32_t lowest, const std::uint8_t valueAtLowest[8]);
// The record after `answer`, from the one stored now (null for none), which another process may
// have changed since the guard read it. A count above the stored one raises nothing, and an
// answer from another pass phrase changes nothing, unless the answer replaces the record.
SequenceRecord RecordAfterAnswer(const SequenceRecord* stored, const SequenceAnswer& answer);

// What the guard says, in words: the challenge on a line of its own, then why it asks. The
// caller adds its question. Returns the length written (cut to `size` with the NUL).
enum class GuardReason { Mistyped, LowCount };
std::size_t DescribeGuard(GuardReason reason, const GuardVerdict& verdict, HashKind kind,
                          const char* seed, std::uint32_t asked, char* out, std::size_t size);
