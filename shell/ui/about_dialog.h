#pragma once
#include <windows.h>

// The About box, owned by `owner`; it goes by itself after a while. False when it could not be
// created (GetLastError tells why).
bool RunAboutDialog(HWND owner);
