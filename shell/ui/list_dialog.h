#pragma once
#include <windows.h>

#include "engine/hash_kind.h"
#include "engine/otp.h"

// The responses ahead of a challenge, from its chain (PlanChain's for a list).
struct ListRequest {
    HashKind kind;
    const char* seed;
    const OtpChain* chain;
};
void RunListDialog(HWND owner, const ListRequest& request);
