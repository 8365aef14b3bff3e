#include <windows.h>

#include "resources/resource.h"
#include "shell/app_state.h"
#include "shell/interfaces.h"
#include "shell/logic/settings_logic.h"
#include "shell/main_dialog.h"
#include "shell/message_box.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    g_instance = instance;

    HWND running = FindWindowA(nullptr, "Vantreth");
    if (running != nullptr) {
        PostMessageA(running, WM_SHOWMAIN, 0, 0);
        return 0;
    }

    const INT_PTR result =
        DialogBoxParamA(instance, MAKEINTRESOURCEA(IDD_MAIN), nullptr, MainDialogProc, 0);
    // The tray's Exit destroys the window without EndDialog; that is no failure.
    if (result == -1 && !MainDialogWasCreated()) ShowSystemErrorBox(kDialogCreateError);
    return 0;
}
