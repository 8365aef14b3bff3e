#pragma once
#include <windows.h>

// Whole reads and writes on the standard handles, in binary as the pipes are: ReadFile and
// WriteFile, never the C runtime's text mode. False at the end of input or once the other end
// has gone.
bool ReadExactly(HANDLE in, void* to, DWORD size);
bool WriteExactly(HANDLE out, const void* from, DWORD size);
