#pragma once
// The life of a one-time-password sequence, free of the platform: what is remembered of each
// sequence, and the two guards that this allows before a response is given away.
//
// Nothing remembered lets anyone log in: of the pass phrase only 16 bits of the response at the
// last count answered are kept, which tell a mistyped pass phrase from the right one, and test a
// guessed pass phrase no better than one chance in 65536 at the cost of a whole computation.
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

// The last count answered (or listed) and 16 bits of its response; `used` orders the records by
// their last use, the lowest the oldest.
struct SequenceRecord {
    std::uint32_t count;
    std::uint16_t check;
    std::uint32_t used;
};
// Stored little-endian: count, check, used.
constexpr std::size_t kSequenceRecordSize = 10;
void EncodeSequenceRecord(const SequenceRecord& record, std::uint8_t out[kSequenceRecordSize]);
// False for a value that is not one: of another size, or a count no challenge can ask for.
bool DecodeSequenceRecord(const std::uint8_t* data, std::size_t length, SequenceRecord* record);

// The check of a response value: its first 16 bits.
std::uint16_t SequenceCheck(const std::uint8_t value[8]);

// A check that would cost more steps than this is not made: no one waits that long for it.
constexpr std::uint32_t kLongestCheck = 1000000;
// A server may skip this many counts (logins answered elsewhere, from a list) without a question.
constexpr std::uint32_t kCountsSkippedFreely = 10;

// The count whose response value the computation must also give, so that DecideGuard can check
// the pass phrase: the remembered one, where it lies above the count asked and within
// kLongestCheck steps of it; 0 for none. `remembered` is null for a sequence not remembered.
std::uint32_t GuardCheckCount(bool guardOn, const SequenceRecord* remembered, std::uint32_t asked);

struct GuardVerdict {
    bool mistyped;          // the pass phrase does not give the remembered check
    bool lowCount;          // more than kCountsSkippedFreely below the next count expected
    bool checkSkipped;      // the pass phrase was not checked: too many steps
    std::uint32_t checked;  // the count the pass phrase was checked against
    std::uint32_t expected; // the next count the server should ask for
};

// The guards for an answer to `asked`. `valueAtCheck` is the response value at
// GuardCheckCount's count, or null where it gave 0. A count at or above the one remembered asks
// nothing: the server refused the last login, or the sequence was renewed.
GuardVerdict DecideGuard(bool guardOn, const SequenceRecord* remembered, std::uint32_t asked,
                         const std::uint8_t* valueAtCheck);

// What the guard says, in words, naming the sequence and the counts; the caller adds its
// question. Returns the length written (cut to `size` with the NUL).
enum class GuardReason { Mistyped, LowCount };
std::size_t DescribeGuard(GuardReason reason, const GuardVerdict& verdict, HashKind kind,
                          const char* seed, std::uint32_t asked, char* out, std::size_t size);
