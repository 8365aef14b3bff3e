#pragma once
#include "shell/logic/messages.h"

// Message boxes have no owner window.
// Returns false only when a question was answered No.
bool ShowMessage(Message message);
// A message whose text is a pattern: the system error code goes in twice.
void ShowSystemError(Message message);
