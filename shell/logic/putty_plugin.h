#pragma once
// PuTTY's authentication plugin protocol, free of the platform: reading one message, writing
// ours, and the session's decisions. Each message is an SSH string: a uint32 length (big-endian,
// not counting itself), then a type byte and the fields of that type. The protocol is
// half-duplex: for each message PuTTY sends, the session answers with at most one.
#include <cstddef>
#include <cstdint>

#include "engine/challenge.h"
#include "engine/otp.h"
#include "shell/logic/main_logic.h"
#include "shell/logic/sequence_logic.h"

// The longest message read, its length field apart; a longer one ends the session.
constexpr std::uint32_t kPluginMessageLimit = 1u << 20;
// Room for every message that the session writes itself.
constexpr std::size_t kPluginReplySize = 1024;
// Versions 1 (the draft) and 2 (the release): version 2 adds the text of a refusal.
constexpr std::uint32_t kPluginHighestVersion = 2;
// A mistyped pass phrase is asked again this often before the challenge goes unanswered.
constexpr unsigned kPluginPassPhraseRetries = 3;

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
    PassPhrase,  // our prompt for the pass phrase is out
    Confirm,     // our question on a low count is out
    Refusal,     // our word that the challenge goes unanswered is out
    PassThrough, // the server's prompts went to the user unchanged
};

struct PluginSession {
    PluginStage stage;
    std::uint32_t version;
    ParsedChallenge challenge; // the challenge being answered
    std::uint32_t count;
    unsigned retries;
    char passPhrase[kPassPhraseReadSize]; // from Check to PluginGuardReply
    char response[kResponseSize]; // computed; after Answer, what was sent, until the next message
    SequenceAnswer answer;        // what the sequence memory takes of the response
};

// What the sequence memory holds for the challenge's kind and seed.
struct PluginMemory {
    bool guardOn;
    bool known;
    SequenceRecord record;
};

enum class PluginNext : std::uint8_t {
    Wait,   // nothing to send: read the next message
    Send,   // send the reply
    Answer, // send the reply, which answers the challenge with the response
    Check,  // the pass phrase is in: read the sequence memory, then PluginGuardReply
    End,    // end the plugin
};

struct PluginReply {
    const std::uint8_t* bytes;
    std::size_t size;
};

// The session's step for the message in `bytes` (`size` bytes read, and one byte more that the
// session may use). The reply goes into `buffer` or, for the server's prompts passed on
// unchanged, into `bytes` itself.
PluginNext PluginReceive(PluginSession& session, std::uint8_t* bytes, std::size_t size,
                         std::uint8_t buffer[kPluginReplySize], PluginReply& reply);

// The step after Check: computes the response and applies the guards to it. After Answer, the
// memory takes the session's answer.
PluginNext PluginGuardReply(PluginSession& session, const PluginMemory& memory,
                            std::uint8_t buffer[kPluginReplySize], PluginReply& reply);

// Clears the session, the response it may hold included.
void WipePluginSession(PluginSession& session);

// True when the program's arguments are the switch that PuTTY starts it with.
bool IsPuttyPluginSwitch(const char* arguments);
