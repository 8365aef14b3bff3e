#pragma once
#include <windows.h>

#include "engine/hash_kind.h"
#include "engine/otp.h"
#include "shell/logic/sequence_logic.h"

// The responses ahead of a challenge, from its chain (PlanChain's for a list), and the guard's
// verdict on the press: the sequence memory takes each list shown as answered.
struct ListRequest {
    HashKind kind;
    const char* seed;
    const OtpChain* chain;
    const GuardVerdict* verdict;
};
void RunListDialog(HWND owner, const ListRequest& request);
