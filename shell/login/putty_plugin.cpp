#include "shell/login/putty_plugin.h"

#include <windows.h>

#include <openssl/crypto.h>

#include "shell/logic/putty_plugin.h"
#include "shell/services/pipe_io.h"
#include "shell/ui/login_dialog.h"
#include "shell/ui/message_box.h"

namespace {

// One message at a time, the protocol being half-duplex, and the bytes after it that the session
// may use. Allocated when needed: an image holds a static buffer's bytes.
constexpr std::size_t kMessageBufferSize = 4 + kPluginMessageLimit + kPluginMarkRoom;

// Who asks, for the dialog: PuTTY's host and user as it sent them, UTF-8.
void Widen(const char* text, wchar_t* out, int size) {
    if (MultiByteToWideChar(CP_UTF8, 0, text, -1, out, size) == 0) out[0] = L'\0';
}

// While the login dialog is up, a thread waits on PuTTY's pipe: PuTTY sends nothing until it is
// answered, so a read that ends says PuTTY has gone (the event is set), or brings the first byte
// of its next message, which the next read takes. No other look at an anonymous pipe tells
// under Wine.
struct InputWatch {
    HANDLE in;
    HANDLE thread;
    HANDLE gone;
    std::uint8_t first;
    bool got;
};

DWORD WINAPI WatchInput(LPVOID parameter) {
    auto* watch = static_cast<InputWatch*>(parameter);
    watch->got = ReadExactly(watch->in, &watch->first, 1);
    if (!watch->got) SetEvent(watch->gone);
    return 0;
}

bool StartWatch(InputWatch& watch) {
    watch.got = false;
    watch.thread = CreateThread(nullptr, 0, WatchInput, &watch, 0, nullptr);
    return watch.thread != nullptr;
}

// The next `size` bytes of input, the watch's byte first.
bool ReadInput(InputWatch& watch, std::uint8_t* to, DWORD size) {
    if (watch.thread != nullptr) {
        WaitForSingleObject(watch.thread, INFINITE);
        CloseHandle(watch.thread);
        watch.thread = nullptr;
        if (!watch.got) return false;
        *to++ = watch.first;
        --size;
    }
    return ReadExactly(watch.in, to, size);
}

// The session's challenge in the login dialog; the response, or null when the request goes to
// the user after all. False when PuTTY has gone.
bool AskInDialog(const PluginSession& session, InputWatch& watch, LoginAnswer& answer,
                 const char** response) {
    wchar_t who[kPluginWhoSize];
    Widen(session.who, who, kPluginWhoSize);
    const bool watched = StartWatch(watch);
    const LoginRequest request{who, nullptr, &session.challenge, false,
                               watched ? watch.gone : nullptr};
    const LoginEnd end = RunLoginDialog(request, answer);
    *response = end == LoginEnd::Answered ? answer.response : nullptr;
    return end != LoginEnd::Gone;
}

// One message read and answered; false at the end of input, on a message PuTTY may not send, or
// once PuTTY has gone.
bool Serve(InputWatch& watch, HANDLE out, PluginSession& session, std::uint8_t* message,
           std::uint8_t* buffer) {
    if (!ReadInput(watch, message, 4)) return false;
    const std::uint32_t size = PluginMessageSize(message);
    if (size == 0) return false;
    if (!ReadInput(watch, message + 4, size - 4)) {
        // A password for the server may have come in part.
        OPENSSL_cleanse(message, size);
        return false;
    }
    PluginReply reply;
    PluginNext next = PluginReceive(session, message, size, buffer, reply);
    LoginAnswer answer;
    bool present = true;
    if (next == PluginNext::Ask) {
        const char* response = nullptr;
        present = AskInDialog(session, watch, answer, &response);
        next = present ? PluginAnswered(session, message, size, response, buffer, reply)
                       : PluginNext::End;
    }
    const bool sent =
        next == PluginNext::Wait ||
        (next != PluginNext::End && WriteExactly(out, reply.bytes, static_cast<DWORD>(reply.size)));
    if (sent && next == PluginNext::Answer) RememberLoginAnswer(answer);
    WipeLoginAnswer(answer);
    OPENSSL_cleanse(message, size + kPluginMarkRoom);
    OPENSSL_cleanse(buffer, kPluginReplySize);
    return sent && present;
}

} // namespace

int RunPuttyPlugin() {
    const HANDLE in = GetStdHandle(STD_INPUT_HANDLE);
    const HANDLE out = GetStdHandle(STD_OUTPUT_HANDLE);
    if (GetFileType(in) != FILE_TYPE_PIPE) {
        ShowMessage(nullptr, Message::PuttyPluginByHand);
        return 1;
    }
    auto* message = static_cast<std::uint8_t*>(
        VirtualAlloc(nullptr, kMessageBufferSize, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE));
    if (message == nullptr) return 1;
    PluginSession session{};
    std::uint8_t buffer[kPluginReplySize];
    InputWatch watch{in, nullptr, CreateEventA(nullptr, TRUE, FALSE, nullptr), 0, false};
    while (Serve(watch, out, session, message, buffer)) {
    }
    OPENSSL_cleanse(&session, sizeof session);
    VirtualFree(message, 0, MEM_RELEASE);
    return 0;
}
