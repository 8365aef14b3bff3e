#pragma once
// The sequences remembered for the guard, per user: the whole memory (EncodeSequenceMemory) in
// one REG_BINARY value, HKCU\Software\Vantreth "Sequences", protected with CryptProtectData for
// the user, so that nothing there names a seed or holds a count or a check in clear. A value that
// is missing, or will not unprotect or decode, is no memory. Every read and change holds a mutex
// of the user's, so that any number of processes keep what each of them answered.
#include "engine/hash_kind.h"
#include "shell/logic/sequence_logic.h"

// False for a sequence not remembered.
bool LookUpSequence(HashKind kind, const char* seed, SequenceRecord* record);

// Takes `answer` into the sequence's record (RecordAfterAnswer, from the record stored at this
// moment) and makes it the one used most recently. False when it could not be written.
bool RememberSequence(HashKind kind, const char* seed, const SequenceAnswer& answer);

// Reads the memory, as every read does: 0.15's values (one per sequence under
// HKCU\Software\Vantreth\Sequences) are carried into it and deleted. The tray reads it at its
// start, in a run that may answer nothing.
void OpenSequenceMemory();
