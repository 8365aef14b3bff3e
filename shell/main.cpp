#include <windows.h>

#include "resources/resource.h"
#include "shell/app_state.h"
#include "shell/dialogs.h"
#include "shell/message_box.h"
#include "shell/single_instance.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    g_instance = instance;

    if (HandOverToRunningCopy()) return 0;

    const INT_PTR result =
        DialogBoxParamA(instance, MAKEINTRESOURCEA(IDD_MAIN), nullptr, MainDialogProc, 0);
    // The tray's Exit destroys the window without EndDialog; that is no failure.
    if (result == -1 && !MainDialogWasCreated()) ShowSystemError(Message::DialogCreate);
    return 0;
}
