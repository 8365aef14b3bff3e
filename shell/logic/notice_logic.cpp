#include "shell/logic/notice_logic.h"

#include <cstdio>
#include <cstring>

#include "engine/challenge.h"

namespace {

// A challenge comes from anywhere: at most a slot's worth of it, and no control
// characters, reach a notice.
constexpr std::size_t kNamedPartSize = kChallengeSeedLength + 1;

void Printable(const char* text, std::size_t limit, char out[kNamedPartSize]) {
    std::size_t length = 0;
    for (; text[length] != '\0' && length < limit && length + 1 < kNamedPartSize; ++length) {
        const auto c = static_cast<unsigned char>(text[length]);
        out[length] = c < 0x20 || c == 0x7f ? '?' : static_cast<char>(c);
    }
    out[length] = '\0';
}

const char* KindName(Computation computation) {
    switch (computation) {
    case Computation::Md5: return "otp-md5";
    case Computation::Md4: return "otp-md4";
    case Computation::Sha1: return "otp-sha1";
    case Computation::Snk: return "SNK";
    case Computation::None: break;
    }
    return "";
}

// "part" after what `name` holds, a blank between; nothing for an empty part.
void AppendPart(char* name, std::size_t size, const char* part) {
    if (part[0] == '\0') return;
    const std::size_t used = std::strlen(name);
    std::snprintf(name + used, size - used, used == 0 ? "%s" : " %s", part);
}

NoticeText Start(Notice notice) {
    NoticeText out = {};
    const NoticeEntry& entry = NoticeFor(notice);
    out.notice = notice;
    out.icon = entry.icon;
    return out;
}

} // namespace

NoticeText PlainNotice(Notice notice) {
    NoticeText out = Start(notice);
    const NoticeEntry& entry = NoticeFor(notice);
    if (entry.title != nullptr) {
        std::snprintf(out.title, sizeof out.title, "%s", entry.title);
        std::snprintf(out.text, sizeof out.text, "%s", entry.text);
    }
    return out;
}

NoticeText ChallengeWaitingNotice(Computation computation, const char* count, const char* seed) {
    char countPart[kNamedPartSize];
    char seedPart[kNamedPartSize];
    Printable(computation == Computation::Snk ? "" : count, kChallengeSlotLength, countPart);
    Printable(seed, kChallengeSeedLength, seedPart);
    char name[sizeof "otp-sha1" + 2 * kNamedPartSize] = {};
    AppendPart(name, sizeof name, KindName(computation));
    AppendPart(name, sizeof name, countPart);
    AppendPart(name, sizeof name, seedPart);
    // The patterns are ours and every value bounded, so nothing is ever cut.
    NoticeText out = Start(Notice::ChallengeWaiting);
    const NoticeEntry& entry = NoticeFor(Notice::ChallengeWaiting);
    std::snprintf(out.title, sizeof out.title, "%s", entry.title);
    std::snprintf(out.text, sizeof out.text, entry.text, name);
    return out;
}

NoticeText ResponsesLeftNotice(Computation computation, std::uint32_t count, const char* seed) {
    const bool countsDown = computation == Computation::Md5 || computation == Computation::Md4 ||
                            computation == Computation::Sha1;
    if (!countsDown || count == 0 || count >= kFewResponsesBelow) return Start(Notice::None);

    // The server takes count n now and n - 1 next time, down to count 0, which it refuses.
    const unsigned left = count - 1;
    const Notice notice = left == 0   ? Notice::LastResponse
                          : left == 1 ? Notice::OneResponseLeft
                                      : Notice::ResponsesLeft;
    char seedPart[kNamedPartSize];
    Printable(seed, kChallengeSeedLength, seedPart);
    NoticeText out = Start(notice);
    const NoticeEntry& entry = NoticeFor(notice);
    if (notice == Notice::ResponsesLeft) {
        std::snprintf(out.title, sizeof out.title, entry.title, left);
        std::snprintf(out.text, sizeof out.text, entry.text, static_cast<unsigned>(count), seedPart,
                      left);
    } else {
        std::snprintf(out.title, sizeof out.title, "%s", entry.title);
        std::snprintf(out.text, sizeof out.text, entry.text, seedPart);
    }
    return out;
}
