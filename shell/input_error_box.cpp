#include "shell/input_error_box.h"

#include <windows.h>

#include "engine/input_error.h"

void ShowInputError(int code) {
    const char* text = InputErrorText(code);
    if (text == nullptr) return;
    MessageBoxA(nullptr, text, kInputErrorCaption, MB_OK | MB_ICONERROR);
}
