#pragma once
#include <windows.h>

#include "shell/logic/settings.h"

// What the process holds for its life, read by every window and written by the main dialog's
// start, Options and the SNK enrolment.
extern HINSTANCE g_instance;
extern Settings g_settings; // all 0 until LoadSettings
extern bool g_snkKeysSaved; // an SNK-S record is known to be stored
