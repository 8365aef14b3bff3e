#pragma once
#include <windows.h>

#include "engine/hash_kind.h"
#include "engine/otp.h"
#include "shell/logic/renew_logic.h"
#include "shell/logic/settings.h"

// Process-wide state, owned by the main dialog for the life of the process.
extern HINSTANCE g_instance;
extern Settings g_settings;       // all 0 until LoadSettings
extern bool g_snkKeysSaved;       // an SNK-S record is known to be stored
extern HashKind g_rememberedKind; // re-applied at WM_SHOWMAIN
extern char g_response[kResponseSize];
extern HWND g_nextViewer; // next window of the clipboard-viewer chain
extern CopiedChallenge g_lastCopied;
