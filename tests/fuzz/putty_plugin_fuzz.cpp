#include <vector>

#include "shell/logic/putty_plugin.h"
#include "tests/fuzz/fuzz_support.h"

// A long count costs only hashing time, which the engine's tests cover; past this one input
// could outlast the fuzzer's timeout.
constexpr std::uint32_t kLongestCountFuzzed = 10000;

// PuTTY's side of a session: messages one after another, each answered as the program answers
// it, the sequence memory made from the message's last byte. The session gives back the byte
// after each message and replies in whole messages.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    PluginSession session{};
    PluginNext next = PluginNext::Wait;
    for (std::size_t at = 0, length; next != PluginNext::End && size - at >= 4; at += length) {
        length = PluginMessageSize(data + at);
        if (length == 0 || length > size - at) break;
        std::vector<std::uint8_t> bytes(data + at, data + at + length);
        bytes.push_back(0x5A);
        std::uint8_t buffer[kPluginReplySize], last = bytes[length - 1];
        PluginReply reply;
        next = PluginReceive(session, bytes.data(), length, buffer, reply);
        const PluginMemory memory{(last & 1) != 0, (last & 2) != 0, {last, last, 0}};
        if (next == PluginNext::Check && session.count > kLongestCountFuzzed) break;
        if (next == PluginNext::Check) next = PluginGuardReply(session, memory, buffer, reply);
        FUZZ_CHECK(bytes[length] == 0x5A);
        if (next != PluginNext::End && next != PluginNext::Wait)
            FUZZ_CHECK(reply.size >= 5 && PluginMessageSize(reply.bytes) == reply.size);
    }
    return 0;
}
