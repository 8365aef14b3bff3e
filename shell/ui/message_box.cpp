#include "shell/ui/message_box.h"

#include "engine/text_format.h"
#include "shell/services/modal.h"

namespace {

UINT BoxStyle(Box box) {
    switch (box) {
    case Box::InputError:
    case Box::Error: return MB_OK | MB_ICONERROR;
    case Box::Warning: return MB_OK | MB_ICONWARNING;
    case Box::Question: return MB_YESNO | MB_ICONQUESTION;
    case Box::Guard: return MB_YESNO | MB_ICONWARNING | MB_DEFBUTTON2;
    case Box::Note: return MB_OK | MB_ICONINFORMATION;
    case Box::Confirm: return MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2;
    }
    return MB_OK | MB_ICONERROR;
}

int ShowText(HWND asker, Box box, const char* text) {
    if (ExitRequested()) return box == Box::Question || box == Box::Guard ? IDNO : IDOK;
    const HWND owner = asker != nullptr && IsWindowVisible(asker) ? asker : nullptr;
    WaitingForAnswerBegins();
    const int answer = MessageBoxA(owner, text, BoxCaption(box), BoxStyle(box));
    WaitingForAnswerEnds();
    return answer;
}

// The patterns are ours, and each is given what it asks for.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wformat-nonliteral"
template <typename... Values>
int ShowPattern(HWND asker, const MessageEntry& entry, Values... values) {
    char text[256];
    FormatText(text, sizeof text, entry.text, values...);
    return ShowText(asker, entry.box, text);
}
#pragma GCC diagnostic pop

} // namespace

bool ShowMessage(HWND asker, Message message) {
    const MessageEntry& entry = MessageFor(message);
    if (entry.text == nullptr) return true;
    const int answer = entry.limit != 0 ? ShowPattern(asker, entry, entry.limit, entry.upper)
                                        : ShowText(asker, entry.box, entry.text);
    return answer != IDNO;
}

bool AskAfter(HWND asker, const char* words, Message message) {
    const MessageEntry& entry = MessageFor(message);
    char text[768];
    FormatText(text, sizeof text, "%s\n\n%s", words, entry.text);
    return ShowText(asker, entry.box, text) != IDNO;
}

void ShowSystemError(HWND asker, Message message) {
    const DWORD code = GetLastError();
    ShowPattern(asker, MessageFor(message), static_cast<unsigned>(code), static_cast<int>(code));
}

bool ShowForeignText(Box box, const wchar_t* text) {
    wchar_t caption[64];
    MultiByteToWideChar(CP_ACP, 0, BoxCaption(box), -1, caption, 64);
    WaitingForAnswerBegins();
    const int answer = MessageBoxW(nullptr, text, caption, BoxStyle(box) | MB_SETFOREGROUND);
    WaitingForAnswerEnds();
    return answer != IDNO;
}
