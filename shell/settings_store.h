#pragma once
#include <windows.h>

// Creates or opens HKLM\SOFTWARE\Quenby OTP with full access.
bool OpenSettingsKeyForWriting(HKEY* key);
