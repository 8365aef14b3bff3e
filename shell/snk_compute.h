#pragma once

// The SNK response to `challenge` under the stored record; false after its
// own message box has told the user why not.
bool ComputeSnkResponse(const char* challenge, const char* password, char* response);
