#pragma once
#include <windows.h>

#include <cstdint>

#include "engine/hash_kind.h"
#include "shell/logic/messages.h"
#include "shell/logic/sequence_logic.h"

// The guard's boxes before an answer to count `asked` of `kind` and `seed`, the mistyped pass
// phrase first, each with its words and then `question`. False when one is answered No, or the
// program is ending.
bool PassGuard(HWND asker, const GuardVerdict& verdict, HashKind kind, const char* seed,
               std::uint32_t asked, Message question);
