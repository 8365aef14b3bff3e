#pragma once
// The sequences remembered for the guard, per user: HKCU\Software\Vantreth\Sequences, one
// REG_BINARY value of kSequenceRecordSize bytes per sequence, named by SequenceName. A value
// missing, of another type or size, or garbled is a sequence not remembered.
#include <cstdint>

#include "engine/hash_kind.h"
#include "shell/logic/sequence_logic.h"

// False for a sequence not remembered.
bool LookUpSequence(HashKind kind, const char* seed, SequenceRecord* record);

// Remembers `count` and its check as the sequence's last, as its most recent use; a new one
// makes room first when kSequenceLimit are stored. False when it could not be written.
bool RememberSequence(HashKind kind, const char* seed, std::uint32_t count, std::uint16_t check);
