#pragma once
// The tray icon's notices, free of the platform: which one is due, and its words.
// A notice names a challenge or a seed, never a pass phrase or a response.
#include <cstddef>
#include <cstdint>

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
// after the computation Ok would run. The count is left out in SNK mode, where it is not
// used, and so is an empty field.
NoticeText ChallengeWaitingNotice(Computation computation, const char* count, const char* seed);

// After a response to `count`: a warning while the seed has fewer than ten responses left.
// Only the six-word kinds count down; Notice::None otherwise.
constexpr std::uint32_t kFewResponsesBelow = 10;
NoticeText ResponsesLeftNotice(Computation computation, std::uint32_t count, const char* seed);
