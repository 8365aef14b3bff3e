#include <windows.h>

#include "resources/resource.h"
#include "shell/app_state.h"
#include "shell/dialogs.h"
#include "shell/logic/putty_plugin.h"
#include "shell/message_box.h"
#include "shell/putty_plugin.h"
#include "shell/single_instance.h"

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

    const INT_PTR result =
        DialogBoxParamA(instance, MAKEINTRESOURCEA(IDD_MAIN), nullptr, MainDialogProc, 0);
    // The tray's Exit destroys the window without EndDialog; that is no failure.
    if (result == -1 && !MainDialogWasCreated()) ShowSystemError(nullptr, Message::DialogCreate);
    return 0;
}
