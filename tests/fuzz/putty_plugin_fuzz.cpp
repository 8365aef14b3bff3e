#include <vector>

#include "shell/logic/putty_plugin.h"
#include "tests/fuzz/fuzz_support.h"

// The input is PuTTY's side of a session: messages one after another, each answered as the
// program answers it, the sequence memory made from the message's last byte.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    PluginSession session{};
    for (std::size_t at = 0; size - at >= 4;) {
        const std::uint32_t length = PluginMessageSize(data + at);
        if (length == 0 || length > size - at) break;
        std::vector<std::uint8_t> bytes(data + at, data + at + length);
        bytes.push_back(0x5A);
        PluginMessage m;
        if (ReadPluginMessage(bytes.data(), length, m)) {
            // Exactly `count` prompts or answers, each inside the message.
            PluginText items = m.items;
            bool echo = false;
            for (std::uint32_t i = 0; i < m.count; ++i) {
                const PluginText item =
                    NextPluginItem(items, m.type == kPluginKiServerRequest ? &echo : nullptr);
                FUZZ_CHECK(item.bytes >= bytes.data() &&
                           item.bytes + item.size <= bytes.data() + length);
            }
            FUZZ_CHECK(items.size == 0);
        }
        std::uint8_t buffer[kPluginReplySize];
        PluginReply reply;
        PluginNext next = PluginReceive(session, bytes.data(), length, buffer, reply);
        const std::uint8_t last = bytes[length - 1];
        if (next == PluginNext::Check)
            next = PluginGuardReply(session,
                                    PluginMemory{(last & 1) != 0, (last & 2) != 0, {last, last, 0}},
                                    buffer, reply);
        FUZZ_CHECK(bytes[length] == 0x5A);
        if (next == PluginNext::End) break;
        if (next != PluginNext::Wait)
            FUZZ_CHECK(reply.size >= 5 && PluginMessageSize(reply.bytes) == reply.size);
        at += length;
    }
    return 0;
}
