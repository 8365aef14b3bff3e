#include <vector>

#include "shell/logic/putty_plugin.h"
#include "tests/fuzz/fuzz_support.h"

// PuTTY's side of a session: messages one after another, each answered as the program answers
// it, the login dialog's answer (a response, or Cancel) made from the message's last byte. The
// session keeps to the room it may use after each message and replies in whole messages.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    PluginSession session{};
    PluginNext next = PluginNext::Wait;
    for (std::size_t at = 0, length; next != PluginNext::End && size - at >= 4; at += length) {
        length = PluginMessageSize(data + at);
        if (length == 0 || length > size - at) break;
        std::vector<std::uint8_t> bytes(data + at, data + at + length);
        bytes.resize(length + kPluginMarkRoom + 1, 0x5A);
        std::uint8_t buffer[kPluginReplySize], last = bytes[length - 1];
        PluginReply reply;
        next = PluginReceive(session, bytes.data(), length, buffer, reply);
        if (next == PluginNext::Ask)
            next = PluginAnswered(session, bytes.data(), length,
                                  (last & 1) != 0 ? "BAIL TUFT BITS GANG CHEF THY" : nullptr,
                                  buffer, reply);
        FUZZ_CHECK(bytes.back() == 0x5A);
        if (next != PluginNext::End && next != PluginNext::Wait)
            FUZZ_CHECK(reply.size >= 5 && PluginMessageSize(reply.bytes) == reply.size);
    }
    return 0;
}
