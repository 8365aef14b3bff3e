#include "shell/services/app_state.h"

HINSTANCE g_instance = nullptr;
Settings g_settings = {};
bool g_snkKeysSaved = false;
