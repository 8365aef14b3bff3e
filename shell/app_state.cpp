#include "shell/app_state.h"

HINSTANCE g_instance = nullptr;
Settings g_settings = {};
bool g_snkKeysSaved = false;
HashKind g_rememberedKind = HashKind::MD5;
char g_response[kResponseSize] = {};
HWND g_nextViewer = nullptr;
CopiedChallenge g_lastCopied = {};
