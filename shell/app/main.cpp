#include <windows.h>

#include "shell/app/single_instance.h"
#include "shell/logic/putty_plugin.h"
#include "shell/login/putty_plugin.h"
#include "shell/services/app_state.h"
#include "shell/ui/main_dialog.h"

namespace {

// DLLs that the system loads for us later come from System32 only, never from
// the current or the program's folder. Systems without the call (Windows 7
// before its update) keep their default search order.
void RestrictDllSearchToSystem32() {
    using SetDefaultDllDirectoriesFn = BOOL(WINAPI*)(DWORD);
    HMODULE kernel = GetModuleHandleA("kernel32.dll");
    if (kernel == nullptr) return;
    // Through void (*)(): the one cast between function types that GCC does not warn about.
    auto set_default = reinterpret_cast<SetDefaultDllDirectoriesFn>(
        reinterpret_cast<void (*)()>(GetProcAddress(kernel, "SetDefaultDllDirectories")));
    if (set_default != nullptr) set_default(LOAD_LIBRARY_SEARCH_SYSTEM32);
}

} // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR arguments, int) {
    RestrictDllSearchToSystem32();
    g_instance = instance;
    // PuTTY's helper: no window, no tray icon, no hand-over to a running copy.
    if (IsPuttyPluginSwitch(arguments)) return RunPuttyPlugin();

    if (HandOverToRunningCopy()) return 0;

    RunMainDialog();
    return 0;
}
