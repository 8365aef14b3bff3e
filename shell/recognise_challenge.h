#pragma once
#include <windows.h>

// Fills the main dialog from a challenge found in `text` (a writable copy
// owned by the caller) and asks it to show itself; does nothing otherwise.
void RecogniseChallenge(HWND dialog, char* text);
