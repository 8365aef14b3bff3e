#include "shell/logic/notice_logic.h"

#include <cstring>

#include "engine/text_format.h"
#include "engine/challenge.h"
#include "shell/logic/tray_logic.h"

namespace {

// Enough for a kind, a count and a seed, each as long as its slot, with blanks between.
constexpr std::size_t kNameSize = 64;

// Appends `part` to the name of `length` characters, after a blank unless it is the first;
// nothing for an empty part. A challenge comes from anywhere: at most `limit` characters of
// a part, and no control characters, reach a notice. Not inlined: -O3 would unroll the loop
// into every caller.
[[gnu::noinline]] std::size_t AppendPart(char name[kNameSize], std::size_t length, const char* part,
                                         std::size_t limit) {
    if (part[0] == '\0') return length;
    if (length > 0) name[length++] = ' ';
    for (std::size_t i = 0; part[i] != '\0' && i < limit && length + 1 < kNameSize; ++i) {
        const auto c = static_cast<unsigned char>(part[i]);
        name[length++] = c < 0x20 || c == 0x7f ? '?' : static_cast<char>(c);
    }
    name[length] = '\0';
    return length;
}

const char* KindName(std::optional<HashKind> kind) {
    if (IsOtpKind(kind)) return ChallengeKeyword(*kind);
    return kind == HashKind::SNK ? "SNK" : "";
}

// "otp-sha1 42 seedy", or "SNK 1234" without the count SNK mode does not use.
void NameChallenge(std::optional<HashKind> kind, const char* count, const char* seed,
                   char name[kNameSize]) {
    std::size_t length = AppendPart(name, 0, KindName(kind), kNameSize);
    if (kind != HashKind::SNK) length = AppendPart(name, length, count, kChallengeSlotLength);
    AppendPart(name, length, seed, kChallengeSeedLength);
}

// Every notice begins empty, so that one that names nothing holds no stale bytes.
void Begin(NoticeText& out, Notice notice) {
    std::memset(&out, 0, sizeof out);
    out.notice = notice;
    out.icon = NoticeFor(notice).icon;
}

} // namespace

// The patterns are ours and every value bounded, so nothing is ever cut.

NoticeText PlainNotice(Notice notice) {
    NoticeText out;
    Begin(out, notice);
    const NoticeEntry& entry = NoticeFor(notice);
    if (entry.title != nullptr) {
        FormatText(out.title, sizeof out.title, "%s", entry.title);
        FormatText(out.text, sizeof out.text, "%s", entry.text);
    }
    return out;
}

NoticeText ChallengeWaitingNotice(std::optional<HashKind> kind, const char* count,
                                  const char* seed) {
    char name[kNameSize] = {};
    NameChallenge(kind, count, seed, name);
    NoticeText out;
    Begin(out, Notice::ChallengeWaiting);
    const NoticeEntry& entry = NoticeFor(Notice::ChallengeWaiting);
    FormatText(out.title, sizeof out.title, "%s", entry.title);
    FormatText(out.text, sizeof out.text, entry.text, name);
    return out;
}

void WaitingTip(std::optional<HashKind> kind, const char* count, const char* seed,
                char tip[kTrayTipSize]) {
    char name[kNameSize] = {};
    NameChallenge(kind, count, seed, name);
    FormatText(tip, kTrayTipSize, "%s: %s waiting", kTrayTip, name);
}

NoticeText ResponsesLeftNotice(std::optional<HashKind> kind, std::uint32_t count,
                               const char* seed) {
    NoticeText out;
    if (!IsOtpKind(kind) || count == 0 || count >= kFewResponsesBelow) {
        Begin(out, Notice::None);
        return out;
    }

    // The server takes count n now and n - 1 next time, down to count 1.
    const unsigned left = count - 1;
    const Notice notice = left == 0   ? Notice::LastResponse
                          : left == 1 ? Notice::OneResponseLeft
                                      : Notice::ResponsesLeft;
    char seedName[kNameSize] = {};
    AppendPart(seedName, 0, seed, kChallengeSeedLength);
    Begin(out, notice);
    const NoticeEntry& entry = NoticeFor(notice);
    if (notice == Notice::ResponsesLeft) {
        FormatText(out.title, sizeof out.title, entry.title, left);
        FormatText(out.text, sizeof out.text, entry.text, static_cast<unsigned>(count), seedName,
                   left);
    } else {
        FormatText(out.title, sizeof out.title, "%s", entry.title);
        FormatText(out.text, sizeof out.text, entry.text, seedName);
    }
    return out;
}
