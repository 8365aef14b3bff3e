#pragma once
#include <windows.h>

// Asks for the foreground for `window`, which may still be hidden so that a refusal never
// shows it: true when it has the keyboard.
bool ComeForward(HWND window);
