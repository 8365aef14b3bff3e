#include <windows.h>
#include <shellapi.h>

#include "shell/app/single_instance.h"
#include "shell/logic/login_prompt.h"
#include "shell/logic/putty_plugin.h"
#include "shell/login/askpass.h"
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

// ssh and Git hand an askpass program a pipe or a file to write to; a file dropped on the icon,
// a shortcut or the NUL device leave it a character device or nothing.
bool OutputIsPipeOrFile() {
    const DWORD type = GetFileType(GetStdHandle(STD_OUTPUT_HANDLE));
    return type == FILE_TYPE_PIPE || type == FILE_TYPE_DISK;
}

} // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR arguments, int) {
    RestrictDllSearchToSystem32();
    g_instance = instance;
    // PuTTY's helper and ssh's askpass: no tray icon, no hand-over to a running copy, no
    // settings written. Decided before anything else runs.
    if (IsPuttyPluginSwitch(arguments)) return RunPuttyPlugin();
    int count = 0;
    LPWSTR* argv = CommandLineToArgvW(GetCommandLineW(), &count);
    if (argv != nullptr &&
        IsAskpassStart(count - 1, count > 1 ? argv[1] : nullptr, OutputIsPipeOrFile()))
        return RunAskpass(argv[1]);
    LocalFree(argv);

    if (HandOverToRunningCopy()) return 0;

    RunMainDialog();
    return 0;
}
