#pragma once
// PuTTY's authentication plugin protocol, free of the platform: reading one message, writing
// ours, and the session's decisions. Each message is an SSH string: a uint32 length (big-endian,
// not counting itself), then a type byte and the fields of that type. The protocol is
// half-duplex: for each message PuTTY sends, the session answers with at most one.
#include <cstddef>
#include <cstdint>

#include "engine/challenge.h"

// The longest message read, its length field apart; a longer one ends the session.
constexpr std::uint32_t kPluginMessageLimit = 1u << 20;
// Room for every message that the session writes itself.
constexpr std::size_t kPluginReplySize = 1024;
// Versions 1 (the draft) and 2 (the release): version 2 adds the text of a refusal.
constexpr std::uint32_t kPluginHighestVersion = 2;
// The bytes after a message that the session may use: a request passed on to the user gains the
// server line in its instruction, in place.
constexpr std::size_t kPluginMarkRoom = 64;

enum PluginType : std::uint8_t {
    kPluginInit = 1,
    kPluginInitResponse = 2,
    kPluginProtocol = 3,
    kPluginProtocolAccept = 4,
    kPluginProtocolReject = 5,
    kPluginAuthSuccess = 6,
    kPluginAuthFailure = 7,
    kPluginKiServerRequest = 20,
    kPluginKiServerResponse = 21,
    kPluginKiUserRequest = 22,
    kPluginKiUserResponse = 23,
};

struct PluginText {
    const std::uint8_t* bytes;
    std::uint32_t size;
};

// A message from PuTTY; the texts point into the bytes it was read from.
struct PluginMessage {
    std::uint8_t type;
    std::uint32_t version;  // PLUGIN_INIT: the highest PuTTY speaks
    PluginText host;        // PLUGIN_INIT
    PluginText user;        // PLUGIN_INIT: empty where PuTTY names none
    PluginText method;      // PLUGIN_PROTOCOL
    PluginText name;        // PLUGIN_KI_SERVER_REQUEST
    PluginText instruction; // PLUGIN_KI_SERVER_REQUEST
    std::uint32_t count;    // prompts of a request, answers of a response
    PluginText items;       // those prompts (string, boolean) or answers (string), all checked
};

// The bytes the message starting with `header` takes, its length field included; 0 when that
// field counts nothing or more than kPluginMessageLimit.
std::uint32_t PluginMessageSize(const std::uint8_t header[4]);

// True when `size` bytes hold exactly one message of a type PuTTY sends, every string inside its
// message and nothing after its last field.
bool ReadPluginMessage(const std::uint8_t* bytes, std::size_t size, PluginMessage& message);

// Takes the next prompt (with its echo flag) or answer (echo null) off `items`, which
// ReadPluginMessage has checked.
PluginText NextPluginItem(PluginText& items, bool* echo);

enum class PluginStage : std::uint8_t {
    Init,        // waiting for PLUGIN_INIT
    Idle,        // for PLUGIN_PROTOCOL
    Method,      // keyboard-interactive accepted: for a server request or the outcome
    Asking,      // the login dialog is up for the session's challenge
    PassThrough, // the server's request went to the user, marked as the server's
};

// Who asks, as the login dialog names it: "user@host", the host alone, or empty.
constexpr std::size_t kPluginWhoSize = 256;

struct PluginSession {
    PluginStage stage;
    std::uint32_t version;
    char who[kPluginWhoSize];
    ParsedChallenge challenge; // the challenge being answered
};

enum class PluginNext : std::uint8_t {
    Wait,   // nothing to send: read the next message
    Send,   // send the reply
    Ask,    // show the login dialog for the session's challenge, then PluginAnswered
    Answer, // send the reply, which answers the challenge with the response
    End,    // end the plugin
};

struct PluginReply {
    const std::uint8_t* bytes;
    std::size_t size;
};

// The session's step for the message in `bytes` (`size` bytes read, and kPluginMarkRoom bytes
// more that the session may use). The reply goes into `buffer` or, for the server's request
// passed on, into `bytes` itself.
PluginNext PluginReceive(PluginSession& session, std::uint8_t* bytes, std::size_t size,
                         std::uint8_t buffer[kPluginReplySize], PluginReply& reply);

// The step after Ask, with the same message: the response the login dialog gave goes to the
// server; without one (Cancel, no desktop), the request goes to the user, marked.
PluginNext PluginAnswered(PluginSession& session, std::uint8_t* bytes, std::size_t size,
                          const char* response, std::uint8_t buffer[kPluginReplySize],
                          PluginReply& reply);

// True when the program's arguments are the switch that PuTTY starts it with.
bool IsPuttyPluginSwitch(const char* arguments);
