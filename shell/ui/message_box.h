#pragma once
#include <windows.h>

#include "shell/logic/messages.h"

// A box belongs to the window that asks for it while that window is on screen: the window
// takes no input until the box is answered. Asked for while it is hidden (the main dialog
// docked, at the start), a box has no owner, so that it stands on its own and is not lost.
// Nothing is shown once the program is ending.

// Returns false only when a question was answered No (or not asked, the program ending).
bool ShowMessage(HWND asker, Message message);
// A message whose text is a pattern: the system error code goes in twice.
void ShowSystemError(HWND asker, Message message);
// The question of `message` after `words` that say why it is asked; false when answered No.
bool AskAfter(HWND asker, const char* words, Message message);
// A text that is not ours (ssh's), as it stands, in a box that comes to the front by itself;
// false when answered No.
bool ShowForeignText(Box box, const wchar_t* text);
