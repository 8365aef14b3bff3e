#include "shell/logic/putty_plugin.h"

#include <cstring>

#include "shell/logic/login_prompt.h"

namespace {

constexpr char kKeyboardInteractive[] = "keyboard-interactive";

std::uint32_t Be32(const std::uint8_t* p) {
    return static_cast<std::uint32_t>(p[0]) << 24 | static_cast<std::uint32_t>(p[1]) << 16 |
           static_cast<std::uint32_t>(p[2]) << 8 | p[3];
}

// Reads fields off a message; any read past its end marks it bad and reads nothing more.
struct Cursor {
    const std::uint8_t* at;
    std::size_t left;
    bool ok;
};

std::uint32_t TakeUint32(Cursor& c) {
    if (!c.ok || c.left < 4) {
        c.ok = false;
        return 0;
    }
    const std::uint32_t value = Be32(c.at);
    c.at += 4;
    c.left -= 4;
    return value;
}

PluginText TakeString(Cursor& c) {
    const std::uint32_t size = TakeUint32(c);
    if (!c.ok || size > c.left) {
        c.ok = false;
        return PluginText{nullptr, 0};
    }
    const PluginText text{c.at, size};
    c.at += size;
    c.left -= size;
    return text;
}

bool TakeBoolean(Cursor& c) {
    if (!c.ok || c.left < 1) {
        c.ok = false;
        return false;
    }
    --c.left;
    return *c.at++ != 0;
}

// `count` prompts (each a string and a boolean) or answers (a string each); the cursor stops
// at the first that does not fit, so a huge count costs no more than the message's bytes.
PluginText TakeItems(Cursor& c, std::uint32_t count, bool prompts) {
    const std::uint8_t* start = c.at;
    for (std::uint32_t i = 0; i < count && c.ok; ++i) {
        TakeString(c);
        if (prompts) TakeBoolean(c);
    }
    return PluginText{start, static_cast<std::uint32_t>(c.at - start)};
}

bool Is(PluginText text, const char* word) {
    return text.size == std::strlen(word) && std::memcmp(text.bytes, word, text.size) == 0;
}

// Writes one message into a buffer of kPluginReplySize bytes; the callers' fields fit.
struct Writer {
    std::uint8_t* bytes;
    std::size_t used;
};

void PutUint32(Writer& w, std::uint32_t value) {
    for (int shift = 24; shift >= 0; shift -= 8)
        w.bytes[w.used++] = static_cast<std::uint8_t>(value >> shift);
}

void PutString(Writer& w, const char* text, std::size_t size) {
    PutUint32(w, static_cast<std::uint32_t>(size));
    std::memcpy(w.bytes + w.used, text, size);
    w.used += size;
}

void PutString(Writer& w, const char* text) {
    PutString(w, text, std::strlen(text));
}

Writer Begin(std::uint8_t* buffer, PluginType type) {
    Writer w{buffer, 4};
    w.bytes[w.used++] = type;
    return w;
}

PluginNext Finish(const Writer& w, PluginReply& reply, PluginNext next = PluginNext::Send) {
    const std::uint32_t length = static_cast<std::uint32_t>(w.used - 4);
    Writer header{w.bytes, 0};
    PutUint32(header, length);
    reply = PluginReply{w.bytes, w.used};
    return next;
}

void PutBe32(std::uint8_t* p, std::uint32_t value) {
    Writer w{p, 0};
    PutUint32(w, value);
}

PluginNext AnswerServer(std::uint8_t* buffer, PluginReply& reply, const char* answer) {
    Writer w = Begin(buffer, kPluginKiServerResponse);
    PutUint32(w, 1);
    PutString(w, answer);
    return Finish(w, reply, PluginNext::Answer);
}

// The server's own message, passed on with another type.
PluginNext Forward(std::uint8_t* bytes, std::size_t size, PluginType type, PluginReply& reply) {
    bytes[4] = type;
    reply = PluginReply{bytes, size};
    return PluginNext::Send;
}

static_assert(sizeof kServerAsksLine <= kPluginMarkRoom, "the server line fits after a message");

// The server's request for the user, in place: its instruction begins with the server line,
// followed on the next line by its own, if it had one. Name, prompts and echo flags stay.
PluginNext PassOnMarked(PluginSession& s, std::uint8_t* bytes, std::size_t size,
                        const PluginMessage& m, PluginReply& reply) {
    const std::size_t line = sizeof kServerAsksLine - 1;
    const std::size_t added = line + (m.instruction.size > 0 ? 1 : 0);
    std::uint8_t* text = bytes + (m.instruction.bytes - bytes);
    std::memmove(text + added, text, size - static_cast<std::size_t>(text - bytes));
    std::memcpy(text, kServerAsksLine, line);
    if (m.instruction.size > 0) text[line] = '\n';
    PutBe32(text - 4, static_cast<std::uint32_t>(m.instruction.size + added));
    PutBe32(bytes, static_cast<std::uint32_t>(size + added - 4));
    s.stage = PluginStage::PassThrough;
    return Forward(bytes, size + added, kPluginKiUserRequest, reply);
}

// AnswerableChallenge reads up to a NUL, so the byte after the text is made one for the call.
// That byte lies inside the message, or is one the caller keeps after it.
ParsedChallenge ChallengeIn(std::uint8_t* bytes, PluginText text) {
    std::uint8_t* end = bytes + (text.bytes - bytes) + text.size;
    const std::uint8_t kept = *end;
    *end = 0;
    const ParsedChallenge parsed = AnswerableChallenge(reinterpret_cast<const char*>(text.bytes));
    *end = kept;
    return parsed;
}

// The first challenge Vantreth answers, in the name, the instruction or a prompt.
ParsedChallenge FindChallenge(std::uint8_t* bytes, const PluginMessage& m) {
    PluginText items = m.items;
    PluginText text = m.name;
    bool echo = false;
    for (std::uint32_t i = 0;; ++i) {
        const ParsedChallenge found = ChallengeIn(bytes, text);
        if (found.found || i == m.count + 1) return found;
        text = i == 0 ? m.instruction : NextPluginItem(items, &echo);
    }
}

// "user@host", or the host alone; cut to fit.
void NameWhoAsks(PluginSession& s, const PluginMessage& m) {
    Writer w{reinterpret_cast<std::uint8_t*>(s.who), 0};
    const auto put = [&w](PluginText text) {
        const std::size_t room = kPluginWhoSize - 1 - w.used;
        const std::size_t size = text.size < room ? text.size : room;
        std::memcpy(w.bytes + w.used, text.bytes, size);
        w.used += size;
    };
    if (m.user.size > 0 && m.host.size > 0) {
        put(m.user);
        put(PluginText{reinterpret_cast<const std::uint8_t*>("@"), 1});
    }
    put(m.host);
    s.who[w.used] = '\0';
}

PluginNext OnServerRequest(PluginSession& s, std::uint8_t* bytes, std::size_t size,
                           const PluginMessage& m, PluginReply& reply) {
    const ParsedChallenge found = FindChallenge(bytes, m);
    // A challenge answers one prompt; anything else is the user's to answer.
    if (m.count != 1 || !found.found) return PassOnMarked(s, bytes, size, m, reply);
    s.challenge = found;
    s.stage = PluginStage::Asking;
    return PluginNext::Ask;
}

// The message PuTTY may send at this stage, or End.
PluginNext Step(PluginSession& s, std::uint8_t* bytes, std::size_t size, const PluginMessage& m,
                std::uint8_t* buffer, PluginReply& reply) {
    switch (s.stage) {
    case PluginStage::Init: {
        if (m.type != kPluginInit || m.version == 0) return PluginNext::End;
        s.version = m.version < kPluginHighestVersion ? m.version : kPluginHighestVersion;
        NameWhoAsks(s, m);
        s.stage = PluginStage::Idle;
        Writer w = Begin(buffer, kPluginInitResponse);
        PutUint32(w, s.version);
        PutString(w, ""); // no user name of ours
        return Finish(w, reply);
    }
    case PluginStage::Idle: {
        if (m.type != kPluginProtocol) return PluginNext::End;
        if (Is(m.method, kKeyboardInteractive)) {
            s.stage = PluginStage::Method;
            return Finish(Begin(buffer, kPluginProtocolAccept), reply);
        }
        Writer w = Begin(buffer, kPluginProtocolReject);
        if (s.version >= 2) PutString(w, ""); // no method of ours: nothing to tell the user
        return Finish(w, reply);
    }
    case PluginStage::Method:
        if (m.type == kPluginAuthSuccess || m.type == kPluginAuthFailure) {
            s.stage = PluginStage::Idle;
            return PluginNext::Wait;
        }
        if (m.type != kPluginKiServerRequest) return PluginNext::End;
        return OnServerRequest(s, bytes, size, m, reply);
    case PluginStage::PassThrough:
        // The user's answers go to the server as they were typed.
        if (m.type != kPluginKiUserResponse) return PluginNext::End;
        s.stage = PluginStage::Method;
        return Forward(bytes, size, kPluginKiServerResponse, reply);
    case PluginStage::Asking: break;
    }
    return PluginNext::End;
}

} // namespace

std::uint32_t PluginMessageSize(const std::uint8_t header[4]) {
    const std::uint32_t length = Be32(header);
    return length == 0 || length > kPluginMessageLimit ? 0 : length + 4;
}

bool ReadPluginMessage(const std::uint8_t* bytes, std::size_t size, PluginMessage& m) {
    m = PluginMessage{};
    if (size < 5 || PluginMessageSize(bytes) != size) return false;
    m.type = bytes[4];
    Cursor c{bytes + 5, size - 5, true};
    switch (m.type) {
    case kPluginInit:
        m.version = TakeUint32(c);
        m.host = TakeString(c);
        TakeUint32(c); // the port
        m.user = TakeString(c);
        break;
    case kPluginProtocol: m.method = TakeString(c); break;
    case kPluginAuthSuccess:
    case kPluginAuthFailure: break;
    case kPluginKiServerRequest:
        m.name = TakeString(c);
        m.instruction = TakeString(c);
        TakeString(c); // the language tag
        m.count = TakeUint32(c);
        m.items = TakeItems(c, m.count, true);
        break;
    case kPluginKiUserResponse:
        m.count = TakeUint32(c);
        m.items = TakeItems(c, m.count, false);
        break;
    default: return false;
    }
    return c.ok && c.left == 0;
}

PluginText NextPluginItem(PluginText& items, bool* echo) {
    Cursor c{items.bytes, items.size, true};
    const PluginText item = TakeString(c);
    if (echo != nullptr) *echo = TakeBoolean(c);
    items = PluginText{c.at, static_cast<std::uint32_t>(c.left)};
    return item;
}

PluginNext PluginReceive(PluginSession& session, std::uint8_t* bytes, std::size_t size,
                         std::uint8_t buffer[kPluginReplySize], PluginReply& reply) {
    reply = PluginReply{nullptr, 0};
    PluginMessage m;
    if (!ReadPluginMessage(bytes, size, m)) return PluginNext::End;
    return Step(session, bytes, size, m, buffer, reply);
}

PluginNext PluginAnswered(PluginSession& session, std::uint8_t* bytes, std::size_t size,
                          const char* response, std::uint8_t buffer[kPluginReplySize],
                          PluginReply& reply) {
    reply = PluginReply{nullptr, 0};
    PluginMessage m;
    if (session.stage != PluginStage::Asking || !ReadPluginMessage(bytes, size, m))
        return PluginNext::End;
    session.challenge = ParsedChallenge{};
    if (response == nullptr) return PassOnMarked(session, bytes, size, m, reply);
    session.stage = PluginStage::Method;
    return AnswerServer(buffer, reply, response);
}

bool IsPuttyPluginSwitch(const char* arguments) {
    while (*arguments == ' ' || *arguments == '\t')
        ++arguments;
    if (std::strncmp(arguments, kPuttyPluginSwitch, sizeof kPuttyPluginSwitch - 1) != 0)
        return false;
    for (arguments += sizeof kPuttyPluginSwitch - 1; *arguments != '\0'; ++arguments)
        if (*arguments != ' ' && *arguments != '\t') return false;
    return true;
}
