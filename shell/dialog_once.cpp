#include "resources/resource.h"
#include "shell/app_state.h"
#include "shell/dialogs.h"

namespace {

struct OnceEntry {
    int resource;
    DLGPROC procedure;
    bool running; // from the request until the dialog has ended
    HWND window;  // once it has been created
};

OnceEntry onceDialogs[] = {
    {IDD_OPTIONS, OptionsDialogProc, false, nullptr},
    {IDD_ABOUT, AboutDialogProc, false, nullptr},
    {IDD_SNK_SEED, SnkSeedDialogProc, false, nullptr},
};

OnceEntry& EntryOf(OnceDialog which) {
    return onceDialogs[static_cast<int>(which)];
}

} // namespace

INT_PTR RunOnce(OnceDialog which, HWND owner, LPARAM parameter) {
    OnceEntry& entry = EntryOf(which);
    if (entry.running) {
        // Another request while it is being made finds no window yet; that one comes up anyway.
        if (entry.window != nullptr) SetForegroundWindow(entry.window);
        return 0;
    }
    entry.running = true;
    const INT_PTR result = DialogBoxParamA(g_instance, MAKEINTRESOURCEA(entry.resource), owner,
                                           entry.procedure, parameter);
    entry.running = false;
    entry.window = nullptr;
    return result;
}

void OnceDialogOpened(OnceDialog which, HWND dialog) {
    EntryOf(which).window = dialog;
}
