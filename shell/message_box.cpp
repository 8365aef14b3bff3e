#include "shell/message_box.h"

#include <windows.h>

#include <cstdarg>
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

// The pattern is always one of ours, and the caller gives what it asks for.
void ShowPattern(Message message, ...) {
    const MessageEntry& entry = MessageFor(message);
    if (entry.text == nullptr) return;
    char text[256];
    std::va_list values;
    va_start(values, message);
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wformat-nonliteral"
    std::vsnprintf(text, sizeof text, entry.text, values);
#pragma GCC diagnostic pop
    va_end(values);
    ShowText(entry.box, text);
}

} // namespace

bool ShowMessage(Message message) {
    const MessageEntry& entry = MessageFor(message);
    if (entry.text == nullptr) return true;
    return ShowText(entry.box, entry.text) != IDNO;
}

void ShowSystemError(Message message) {
    const DWORD code = GetLastError();
    ShowPattern(message, static_cast<unsigned>(code), static_cast<int>(code));
}

void ShowMessageWithNumber(Message message, unsigned number) {
    ShowPattern(message, number);
}
