#include "shell/logic/putty_plugin.h"

#include <openssl/crypto.h>

#include <cstring>

#include "engine/text_format.h"
#include "engine/six_words.h"
#include "shell/logic/list_logic.h"
#include "shell/logic/messages.h"

namespace {

constexpr char kKeyboardInteractive[] = "keyboard-interactive";
// Each text the session formats; two of them and the fixed fields fit in kPluginReplySize.
constexpr std::size_t kTextSize = 400;

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

// A request of ours for the user: no name, the instruction, and one prompt or none.
PluginNext AskUser(std::uint8_t* buffer, PluginReply& reply, const char* instruction,
                   const char* prompt, bool echo) {
    Writer w = Begin(buffer, kPluginKiUserRequest);
    PutString(w, "");
    PutString(w, instruction);
    PutString(w, "");
    PutUint32(w, prompt != nullptr ? 1 : 0);
    if (prompt != nullptr) {
        PutString(w, prompt);
        w.bytes[w.used++] = echo ? 1 : 0;
    }
    return Finish(w, reply);
}

PluginNext AnswerServer(std::uint8_t* buffer, PluginReply& reply, const char* answer,
                        PluginNext next) {
    Writer w = Begin(buffer, kPluginKiServerResponse);
    PutUint32(w, 1);
    PutString(w, answer);
    return Finish(w, reply, next);
}

// The server's own message, passed on with another type.
PluginNext Forward(std::uint8_t* bytes, std::size_t size, PluginType type, PluginReply& reply) {
    bytes[4] = type;
    reply = PluginReply{bytes, size};
    return PluginNext::Send;
}

// ParseChallenge reads up to a NUL, so the byte after the text is made one for the call. That
// byte lies inside the message, or is the one the caller keeps after it.
ParsedChallenge ChallengeIn(std::uint8_t* bytes, PluginText text) {
    std::uint8_t* end = bytes + (text.bytes - bytes) + text.size;
    const std::uint8_t kept = *end;
    *end = 0;
    const ParsedChallenge parsed = ParseChallenge(reinterpret_cast<const char*>(text.bytes));
    *end = kept;
    return parsed;
}

// The first challenge in the name, the instruction or a prompt.
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

// The challenge alone, checked as Ok checks the dialog's fields; the stand-in pass phrase
// passes every check.
bool Answerable(const ParsedChallenge& c) {
    return c.found && CheckOkFields(c.kind, c.slots.count, c.slots.seed, "x") == Message::None;
}

// Our request naming the challenge: the prompt for its pass phrase after `reason`, or with
// `refused` our word that it goes unanswered.
PluginNext AskAbout(PluginSession& s, bool refused, const char* reason, std::uint8_t* buffer,
                    PluginReply& reply) {
    char text[kTextSize];
    FormatText(text, sizeof text,
               PluginPromptText(refused ? PluginPrompt::NotAnswered : PluginPrompt::PassPhrase),
               s.challenge.slots.keyword, s.challenge.slots.count, s.challenge.slots.seed);
    if (!refused) {
        s.stage = PluginStage::PassPhrase;
        return AskUser(buffer, reply, reason, text, false);
    }
    OPENSSL_cleanse(s.response, sizeof s.response);
    s.stage = PluginStage::Refusal;
    return AskUser(buffer, reply, text, nullptr, false);
}

PluginNext AskAgain(PluginSession& s, const char* reason, std::uint8_t* buffer,
                    PluginReply& reply) {
    const bool refused = s.retries == kPluginPassPhraseRetries;
    ++s.retries;
    return AskAbout(s, refused, reason, buffer, reply);
}

PluginNext OnServerRequest(PluginSession& s, std::uint8_t* bytes, std::size_t size,
                           const PluginMessage& m, std::uint8_t* buffer, PluginReply& reply) {
    const ParsedChallenge found = FindChallenge(bytes, m);
    // A challenge answers one prompt; anything else is the user's to answer.
    if (m.count != 1 || !Answerable(found)) {
        s.stage = PluginStage::PassThrough;
        return Forward(bytes, size, kPluginKiUserRequest, reply);
    }
    s.challenge = found;
    s.count = static_cast<std::uint32_t>(ReadCount(found.slots.count));
    s.retries = 0;
    return AskAbout(s, false, "", buffer, reply);
}

PluginNext OnPassPhrase(PluginSession& s, PluginText answer, std::uint8_t* buffer,
                        PluginReply& reply) {
    // One byte past the limit, so that a longer pass phrase is seen as one.
    const std::size_t size =
        answer.size < sizeof s.passPhrase - 1 ? answer.size : sizeof s.passPhrase - 1;
    std::memcpy(s.passPhrase, answer.bytes, size);
    s.passPhrase[size] = '\0';
    // A NUL inside would answer for the part before it.
    const Message refusal = std::memchr(answer.bytes, 0, answer.size) != nullptr
                                ? Message::NoPassPhrase
                                : CheckOkFields(s.challenge.kind, s.challenge.slots.count,
                                                s.challenge.slots.seed, s.passPhrase);
    if (refusal == Message::None) return PluginNext::Check;
    OPENSSL_cleanse(s.passPhrase, sizeof s.passPhrase);
    const MessageEntry& entry = MessageFor(refusal);
    char reason[kTextSize];
    FormatText(reason, sizeof reason, entry.text, entry.limit);
    return AskAgain(s, reason, buffer, reply);
}

bool IsYes(PluginText answer) {
    return answer.size == 3 && (answer.bytes[0] | 0x20) == 'y' && (answer.bytes[1] | 0x20) == 'e' &&
           (answer.bytes[2] | 0x20) == 's';
}

// The response stays in the session for the sequence memory until the next message.
PluginNext SendResponse(PluginSession& s, std::uint8_t* buffer, PluginReply& reply) {
    s.stage = PluginStage::Method;
    return AnswerServer(buffer, reply, s.response, PluginNext::Answer);
}

// The message PuTTY may send at this stage, or End.
PluginNext Step(PluginSession& s, std::uint8_t* bytes, std::size_t size, const PluginMessage& m,
                std::uint8_t* buffer, PluginReply& reply) {
    PluginText items = m.items;
    switch (s.stage) {
    case PluginStage::Init: {
        if (m.type != kPluginInit || m.version == 0) return PluginNext::End;
        s.version = m.version < kPluginHighestVersion ? m.version : kPluginHighestVersion;
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
        return OnServerRequest(s, bytes, size, m, buffer, reply);
    default: break;
    }
    // The other stages wait for the user's answers to a request of ours.
    if (m.type != kPluginKiUserResponse) return PluginNext::End;
    const PluginText answer = NextPluginItem(items, nullptr);
    if (s.stage == PluginStage::PassThrough) {
        s.stage = PluginStage::Method;
        return Forward(bytes, size, kPluginKiServerResponse, reply);
    }
    if (s.stage == PluginStage::Refusal) {
        if (m.count != 0) return PluginNext::End;
        s.stage = PluginStage::Method;
        return AnswerServer(buffer, reply, "", PluginNext::Send);
    }
    if (m.count != 1) return PluginNext::End;
    if (s.stage == PluginStage::PassPhrase) return OnPassPhrase(s, answer, buffer, reply);
    if (IsYes(answer)) return SendResponse(s, buffer, reply);
    return AskAbout(s, true, "", buffer, reply);
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
        TakeString(c); // the host name
        TakeUint32(c); // the port
        TakeString(c); // the user name
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
    // Only a question on a low count holds the response over to the next message.
    if (session.stage != PluginStage::Confirm)
        OPENSSL_cleanse(session.response, sizeof session.response);
    PluginMessage m;
    if (!ReadPluginMessage(bytes, size, m)) return PluginNext::End;
    return Step(session, bytes, size, m, buffer, reply);
}

PluginNext PluginGuardReply(PluginSession& s, const PluginMemory& memory,
                            std::uint8_t buffer[kPluginReplySize], PluginReply& reply) {
    const SequenceRecord* remembered = memory.known ? &memory.record : nullptr;
    OtpChain chain = PlanChain(s.count, false, GuardCheckCount(remembered, s.count));
    OtpProgress progress;
    const bool computed = ComputeOtpChain(s.challenge.kind, s.challenge.slots.seed, s.passPhrase,
                                          chain, progress) == kOtpOk;
    OPENSSL_cleanse(s.passPhrase, sizeof s.passPhrase);
    if (!computed) return AskAbout(s, true, "", buffer, reply);
    std::strcpy(s.response, EncodeSixWords(chain.values[0]));
    WipeSixWords();
    const GuardVerdict verdict = DecideGuard(memory.guardOn, remembered, s.count,
                                             chain.check != 0 ? chain.checkValue : nullptr);
    s.answer = AnswerPastGuard(verdict, s.count, s.count, chain.values[0]);
    OPENSSL_cleanse(&chain, sizeof chain);
    if (!verdict.mistyped && !verdict.lowCount) return SendResponse(s, buffer, reply);
    char text[kTextSize];
    DescribeGuard(verdict.mistyped ? GuardReason::Mistyped : GuardReason::LowCount, verdict,
                  s.challenge.kind, s.challenge.slots.seed, s.count, text, sizeof text);
    if (verdict.mistyped) {
        OPENSSL_cleanse(s.response, sizeof s.response);
        return AskAgain(s, text, buffer, reply);
    }
    char question[kTextSize];
    FormatText(question, sizeof question, PluginPromptText(PluginPrompt::Confirm), text);
    s.stage = PluginStage::Confirm;
    return AskUser(buffer, reply, "", question, true);
}

void WipePluginSession(PluginSession& session) {
    OPENSSL_cleanse(&session, sizeof session);
}

bool IsPuttyPluginSwitch(const char* arguments) {
    static const char kSwitch[] = "--putty-plugin";
    while (*arguments == ' ' || *arguments == '\t')
        ++arguments;
    if (std::strncmp(arguments, kSwitch, sizeof kSwitch - 1) != 0) return false;
    for (arguments += sizeof kSwitch - 1; *arguments != '\0'; ++arguments)
        if (*arguments != ' ' && *arguments != '\t') return false;
    return true;
}
