#include "shell/message_box.h"

#include <windows.h>

#include <cstdio>

void ShowErrorBox(const char* text) {
    MessageBoxA(nullptr, text, "Error", MB_OK | MB_ICONERROR);
}

void ShowWarningBox(const char* text) {
    MessageBoxA(nullptr, text, "Warning", MB_OK | MB_ICONWARNING);
}

bool AskWarningYesNo(const char* text) {
    return MessageBoxA(nullptr, text, "WARNING", MB_YESNO | MB_ICONQUESTION) != IDNO;
}

void ShowSystemErrorBox(const char* pattern) {
    const DWORD code = GetLastError();
    char text[256];
    // The pattern is always one of ours and carries exactly "%02x" and "%d".
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wformat-nonliteral"
    std::snprintf(text, sizeof text, pattern, static_cast<unsigned>(code), static_cast<int>(code));
#pragma GCC diagnostic pop
    ShowErrorBox(text);
}
