#include "shell/services/foreground.h"

// Windows lets a program take the foreground when it had the last input; an empty mouse input is
// that, and presses no key the user's program would see. Never by attaching to another
// program's input, which would hang us with a hung terminal.
bool ComeForward(HWND window) {
    if (window == nullptr) return false;
    if (GetForegroundWindow() != window) {
        INPUT nudge = {};
        nudge.type = INPUT_MOUSE;
        nudge.mi.dwFlags = MOUSEEVENTF_MOVE;
        SendInput(1, &nudge, sizeof nudge);
        SetForegroundWindow(window);
    }
    return GetForegroundWindow() == window;
}
