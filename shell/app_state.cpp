#include "shell/app_state.h"

HINSTANCE g_instance = nullptr;
Settings g_settings = {};
BOOL g_snkKeysSaved = FALSE;
HashKind g_rememberedKind = HashKind::MD5;
char g_response[kResponseSize] = {};
HWND g_nextViewer = nullptr;
