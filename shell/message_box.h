#pragma once
#include "shell/logic/messages.h"

// Message boxes have no owner window.
// Returns false only when a question was answered No.
bool ShowMessage(Message message);
// A message whose text is a pattern: the system error code goes in twice.
void ShowSystemError(Message message);
// A message whose text may be a pattern with one "%u"; a text without one shows as it stands.
void ShowMessageWithNumber(Message message, unsigned number);
