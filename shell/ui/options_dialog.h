#pragma once
#include <windows.h>

// The Options dialog, owned by `owner`; OK saves the settings, and may start the SNK enrolment.
void RunOptionsDialog(HWND owner);
