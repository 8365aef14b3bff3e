#pragma once
#include "shell/logic/messages.h"

// The SNK response to `challenge` under the stored record; otherwise the message that tells
// the user why not.
Message ComputeSnkResponse(const char* challenge, const char* password, char* response);
