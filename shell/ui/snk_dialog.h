#pragma once
#include <windows.h>

// The SNK Seed & Password dialog, owned by `owner`: OK stores the token's record under the
// password. False when it could not be created (GetLastError tells why).
bool RunSnkSeedDialog(HWND owner);
