#include "shell/login/putty_plugin.h"

#include <windows.h>

#include <openssl/crypto.h>

#include "shell/logic/putty_plugin.h"
#include "shell/services/sequence_store.h"
#include "shell/services/stack_wipe.h"
#include "shell/services/store.h"
#include "shell/ui/message_box.h"

namespace {

// One message at a time, the protocol being half-duplex, and the byte after it that the session
// may use. Allocated when needed: an image holds a static buffer's bytes.
constexpr std::size_t kMessageBufferSize = 4 + kPluginMessageLimit + 1;

// Binary, as the pipes are: ReadFile and WriteFile, never the C runtime's text mode.
bool ReadExactly(HANDLE in, std::uint8_t* to, DWORD size) {
    while (size > 0) {
        DWORD got = 0;
        if (!ReadFile(in, to, size, &got, nullptr) || got == 0) return false;
        to += got;
        size -= got;
    }
    return true;
}

bool WriteExactly(HANDLE out, const std::uint8_t* from, DWORD size) {
    while (size > 0) {
        DWORD put = 0;
        if (!WriteFile(out, from, size, &put, nullptr) || put == 0) return false;
        from += put;
        size -= put;
    }
    return true;
}

// The sequence memory for the challenge the session answers, read with the guard off too.
PluginMemory MemoryFor(const PluginSession& s) {
    Settings settings;
    ReadSettings(settings);
    PluginMemory memory{settings.Guard != 0, false, {}};
    memory.known = LookUpSequence(s.challenge.kind, s.challenge.slots.seed, &memory.record);
    return memory;
}

// The response went to the server: the memory takes it.
void RememberAnswer(const PluginSession& s) {
    RememberSequence(s.challenge.kind, s.challenge.slots.seed, s.answer);
}

// One message read and answered; false at the end of input or on a message PuTTY may not send.
bool Serve(HANDLE in, HANDLE out, PluginSession& session, std::uint8_t* message,
           std::uint8_t* buffer) {
    if (!ReadExactly(in, message, 4)) return false;
    const std::uint32_t size = PluginMessageSize(message);
    if (size == 0) return false;
    if (!ReadExactly(in, message + 4, size - 4)) {
        // A pass phrase may have come in part.
        OPENSSL_cleanse(message, size);
        return false;
    }
    PluginReply reply;
    PluginNext next = PluginReceive(session, message, size, buffer, reply);
    if (next == PluginNext::Check)
        next = PluginGuardReply(session, MemoryFor(session), buffer, reply);
    // The computation's state lies on the stack below this frame.
    WipeUsedStack();
    const bool sent =
        next == PluginNext::Wait ||
        (next != PluginNext::End && WriteExactly(out, reply.bytes, static_cast<DWORD>(reply.size)));
    if (sent && next == PluginNext::Answer) RememberAnswer(session);
    OPENSSL_cleanse(message, size);
    OPENSSL_cleanse(buffer, kPluginReplySize);
    return sent;
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
    while (Serve(in, out, session, message, buffer)) {
    }
    WipePluginSession(session);
    VirtualFree(message, 0, MEM_RELEASE);
    return 0;
}
