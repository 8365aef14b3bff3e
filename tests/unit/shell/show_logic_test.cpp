#include "shell/logic/show_logic.h"

#include <gtest/gtest.h>

namespace {

constexpr ShowRequest kSecondStart = {false, false};
constexpr ShowRequest kChallenge = {true, false};
constexpr ShowRequest kAtIcon = {false, true};
constexpr ShowRequest kChallengeAndIcon = {true, true};

// A show ends in front with the keyboard, or docked with a notice; never on screen without
// the keyboard. A box or dialog of ours that waits for an answer comes forward instead of the
// dialog, and the show follows once it is answered.
TEST(ShowEndFor, TheWindowThatComesForwardAndWhatFollows) {
    struct Case {
        const char* what;
        ShowRequest request;
        bool waitingForAnswer;
        bool inFront;
        bool waiting;
        // dock, showDialog, askAgainWhenFree, notice, focusPassPhrase, hideNotice,
        // challengeWaiting
        ShowEnd end;
    } const cases[] = {
        {"challenge, in front",
         kChallenge,
         false,
         true,
         false,
         {false, true, false, Notice::None, true, true, false}},
        {"challenge, refused",
         kChallenge,
         false,
         false,
         false,
         {true, false, false, Notice::ChallengeWaiting, false, false, true}},
        {"challenge, refused again",
         kChallenge,
         false,
         false,
         true,
         {true, false, false, Notice::ChallengeWaiting, false, false, true}},
        {"second start, in front",
         kSecondStart,
         false,
         true,
         false,
         {false, true, false, Notice::None, false, true, false}},
        {"second start, refused",
         kSecondStart,
         false,
         false,
         false,
         {true, false, false, Notice::AlreadyRunning, false, false, false}},
        {"second start, refused, challenge waiting",
         kSecondStart,
         false,
         false,
         true,
         {true, false, false, Notice::ChallengeWaiting, false, false, true}},
        {"icon, in front",
         kAtIcon,
         false,
         true,
         false,
         {false, true, false, Notice::None, false, true, false}},
        {"icon, in front, challenge waiting",
         kAtIcon,
         false,
         true,
         true,
         {false, true, false, Notice::None, true, true, false}},
        {"icon, refused",
         kAtIcon,
         false,
         false,
         false,
         {false, true, false, Notice::None, false, false, false}},
        {"icon, refused, challenge waiting",
         kAtIcon,
         false,
         false,
         true,
         {false, true, false, Notice::None, false, false, true}},
        {"challenge and icon, refused",
         kChallengeAndIcon,
         false,
         false,
         false,
         {true, false, false, Notice::ChallengeWaiting, false, false, true}},
        // A box or dialog of ours waits for an answer: it comes forward, not the dialog.
        {"challenge over a box in front",
         kChallenge,
         true,
         true,
         false,
         {false, false, true, Notice::ChallengeWaiting, false, false, true}},
        {"challenge over a box refused",
         kChallenge,
         true,
         false,
         false,
         {false, false, true, Notice::ChallengeWaiting, false, false, true}},
        {"second start over a box in front",
         kSecondStart,
         true,
         true,
         false,
         {false, false, true, Notice::None, false, false, false}},
        {"second start over a box refused",
         kSecondStart,
         true,
         false,
         false,
         {false, false, true, Notice::AlreadyRunning, false, false, false}},
        {"icon over a box, challenge waiting",
         kAtIcon,
         true,
         false,
         true,
         {false, false, true, Notice::None, false, false, true}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const ShowEnd end = ShowEndFor(c.request, c.waitingForAnswer, c.inFront, c.waiting);
        EXPECT_EQ(c.end.dock, end.dock);
        EXPECT_EQ(c.end.showDialog, end.showDialog);
        EXPECT_EQ(c.end.askAgainWhenFree, end.askAgainWhenFree);
        EXPECT_EQ(c.end.notice, end.notice);
        EXPECT_EQ(c.end.focusPassPhrase, end.focusPassPhrase);
        EXPECT_EQ(c.end.hideNotice, end.hideNotice);
        EXPECT_EQ(c.end.challengeWaiting, end.challengeWaiting);
        // Never on screen without the keyboard, unless the user asked for it at the icon.
        if (end.showDialog && !c.inFront) {
            EXPECT_TRUE(c.request.atIcon);
        }
        // Never over a window that waits for an answer.
        if (c.waitingForAnswer) {
            EXPECT_FALSE(end.showDialog || end.dock);
        }
    }
}

} // namespace
