#include "shell/message_box.h"

#include <windows.h>

#include <cstdio>

namespace {

UINT BoxStyle(Box box) {
    switch (box) {
    case Box::InputError:
    case Box::Error: return MB_OK | MB_ICONERROR;
    case Box::Warning: return MB_OK | MB_ICONWARNING;
    case Box::Question: return MB_YESNO | MB_ICONQUESTION;
    }
    return MB_OK | MB_ICONERROR;
}

int ShowText(Box box, const char* text) {
    return MessageBoxA(nullptr, text, BoxCaption(box), BoxStyle(box));
}

} // namespace

bool ShowMessage(Message message) {
    const MessageEntry& entry = MessageFor(message);
    if (entry.text == nullptr) return true;
    return ShowText(entry.box, entry.text) != IDNO;
}

void ShowSystemError(Message message) {
    const DWORD code = GetLastError();
    const MessageEntry& entry = MessageFor(message);
    char text[256];
    // The pattern is always one of ours and carries exactly "%02x" and "%d".
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wformat-nonliteral"
    std::snprintf(text, sizeof text, entry.text, static_cast<unsigned>(code),
                  static_cast<int>(code));
#pragma GCC diagnostic pop
    ShowText(entry.box, text);
}
