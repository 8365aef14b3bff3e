#pragma once
#include <windows.h>

#include <cstdint>

#include "engine/hash_kind.h"
#include "engine/otp.h"

// A renewal of the challenge `count` of `kind` and `seed`, answered with `passPhrase`, whose
// value there is `current`.
struct RenewRequest {
    HashKind kind;
    const char* seed;
    const char* passPhrase;
    std::uint32_t count;
    const std::uint8_t* current;
    bool accepted; // the copied challenge said that the server takes a renewal
    char* line;    // kResponseSize bytes, for the renewal line
};
// True when the renewal line was made: it stands in `request.line`.
bool RunRenewDialog(HWND owner, const RenewRequest& request);
