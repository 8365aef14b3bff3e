#pragma once
#include <windows.h>

// The SNK response to `challenge` under the stored record; false after its own message box,
// asked for by `asker`, has told the user why not.
bool ComputeSnkResponse(HWND asker, const char* challenge, const char* password, char* response);
