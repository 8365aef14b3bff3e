#pragma once
// The tray icon's notices, free of the platform: which one is due, and its words.
// A notice names a challenge or a seed, never a pass phrase or a response.
#include <cstddef>
#include <cstdint>
#include <optional>

#include "shell/logic/main_logic.h"
#include "shell/logic/messages.h"

// What the notice structure holds of each, with the NUL.
constexpr std::size_t kNoticeTitleSize = 64;
constexpr std::size_t kNoticeTextSize = 256;

struct NoticeText {
    Notice notice; // None: nothing to show
    NoticeIcon icon;
    char title[kNoticeTitleSize];
    char text[kNoticeTextSize];
};

// A notice that names nothing: the first start, a second start.
NoticeText PlainNotice(Notice notice);

// The challenge the fields hold, named as a remote system presents it ("otp-sha1 42 seedy")
// after the kind Ok would answer. The count is left out in SNK mode, where it is not used,
// and so is an empty field.
NoticeText ChallengeWaitingNotice(std::optional<HashKind> kind, const char* count,
                                  const char* seed);

// The tray icon's tip while that challenge waits: "Vantreth: otp-sha1 42 seedy waiting". The
// notice structure's tip holds 128 bytes with the NUL.
constexpr std::size_t kTrayTipSize = 128;
void WaitingTip(std::optional<HashKind> kind, const char* count, const char* seed,
                char tip[kTrayTipSize]);

// After a response to `count`: a warning while the seed has fewer than ten responses left.
// Only the six-word kinds count down; Notice::None otherwise.
constexpr std::uint32_t kFewResponsesBelow = 10;
NoticeText ResponsesLeftNotice(std::optional<HashKind> kind, std::uint32_t count, const char* seed);
