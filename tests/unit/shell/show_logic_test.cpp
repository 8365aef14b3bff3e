#include "shell/logic/show_logic.h"

#include <gtest/gtest.h>

#include <string>

namespace {

constexpr ShowRequest kSecondStart = {false, false};
constexpr ShowRequest kChallenge = {true, false};
constexpr ShowRequest kAtIcon = {false, true};
constexpr ShowRequest kChallengeAndIcon = {true, true};

// What a show ends in, in words: "dock", "show", "later" (asked again once the user is free),
// "focus" (the pass phrase), "hide" (a notice), "waits" (a challenge), and the notice's name.
std::string Described(const ShowEnd& end) {
    std::string words;
    const std::pair<bool, const char*> parts[] = {
        {end.dock, "dock"},
        {end.showDialog, "show"},
        {end.askAgainWhenFree, "later"},
        {end.focusPassPhrase, "focus"},
        {end.hideNotice, "hide"},
        {end.challengeWaiting, "waits"},
        {end.notice == Notice::ChallengeWaiting, "+waiting"},
        {end.notice == Notice::AlreadyRunning, "+running"},
        {end.notice != Notice::None && end.notice != Notice::ChallengeWaiting &&
             end.notice != Notice::AlreadyRunning,
         "+another notice"},
    };
    for (const auto& part : parts)
        if (part.first) words += std::string(words.empty() ? "" : " ") + part.second;
    return words;
}

// A show ends in front with the keyboard, or docked with a notice; never on screen without
// the keyboard. A box or dialog of ours that waits for an answer comes forward instead of the
// dialog, and the show follows once it is answered.
TEST(ShowEndFor, TheWindowThatComesForwardAndWhatFollows) {
    const struct {
        const char* what;
        ShowRequest request;
        bool waitingForAnswer;
        bool inFront;
        bool waiting; // a challenge waits already
        const char* end;
    } cases[] = {
        {"challenge, in front", kChallenge, false, true, false, "show focus hide"},
        {"challenge, refused", kChallenge, false, false, false, "dock waits +waiting"},
        {"challenge, refused again", kChallenge, false, false, true, "dock waits +waiting"},
        {"second start, in front", kSecondStart, false, true, false, "show hide"},
        {"second start, refused", kSecondStart, false, false, false, "dock +running"},
        {"second start, refused, challenge waiting", kSecondStart, false, false, true,
         "dock waits +waiting"},
        {"icon, in front", kAtIcon, false, true, false, "show hide"},
        {"icon, in front, challenge waiting", kAtIcon, false, true, true, "show focus hide"},
        {"icon, refused", kAtIcon, false, false, false, "show"},
        {"icon, refused, challenge waiting", kAtIcon, false, false, true, "show waits"},
        {"challenge and icon, refused", kChallengeAndIcon, false, false, false,
         "dock waits +waiting"},
        // A box or dialog of ours waits for an answer: it comes forward, not the dialog.
        {"challenge over a box in front", kChallenge, true, true, false, "later waits +waiting"},
        {"challenge over a box refused", kChallenge, true, false, false, "later waits +waiting"},
        {"second start over a box in front", kSecondStart, true, true, false, "later"},
        {"second start over a box refused", kSecondStart, true, false, false, "later +running"},
        {"icon over a box, challenge waiting", kAtIcon, true, false, true, "later waits"},
    };
    for (const auto& c : cases) {
        const ShowEnd end = ShowEndFor(c.request, c.waitingForAnswer, c.inFront, c.waiting);
        EXPECT_EQ(c.end, Described(end)) << c.what;
    }
}

} // namespace
