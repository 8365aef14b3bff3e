#include "shell/logic/show_logic.h"

#include <gtest/gtest.h>

namespace {

constexpr ShowRequest kSecondStart = {false, false};
constexpr ShowRequest kChallenge = {true, false};
constexpr ShowRequest kAtIcon = {false, true};
constexpr ShowRequest kChallengeAndIcon = {true, true};

TEST(PressAltToComeForward, OnlyForAChallengeWhileAnotherProgramIsInFrontAndAltIsUp) {
    struct Case {
        ShowRequest request;
        bool inFront;
        bool altDown;
        bool press;
    } const cases[] = {
        {kChallenge, false, false, true},    {kChallengeAndIcon, false, false, true},
        {kChallenge, true, false, false},    {kChallenge, false, true, false},
        {kSecondStart, false, false, false}, {kAtIcon, false, false, false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(c.press, PressAltToComeForward(c.request, c.inFront, c.altDown))
            << c.request.challenge << c.request.atIcon << c.inFront << c.altDown;
}

TEST(ShowEndFor, InFrontWithTheKeyboardOrDockedWithANotice) {
    struct Case {
        const char* what;
        ShowRequest request;
        bool inFront;
        bool waiting;
        ShowEnd end; // dock, notice, focusPassPhrase, hideNotice, challengeWaiting
    } const cases[] = {
        {"challenge, in front", kChallenge, true, false, {false, Notice::None, true, true, false}},
        {"challenge, refused",
         kChallenge,
         false,
         false,
         {true, Notice::ChallengeWaiting, false, false, true}},
        {"challenge, refused again",
         kChallenge,
         false,
         true,
         {true, Notice::ChallengeWaiting, false, false, true}},
        {"second start, in front",
         kSecondStart,
         true,
         false,
         {false, Notice::None, false, true, false}},
        {"second start, refused",
         kSecondStart,
         false,
         false,
         {true, Notice::AlreadyRunning, false, false, false}},
        {"second start, refused, challenge waiting",
         kSecondStart,
         false,
         true,
         {true, Notice::ChallengeWaiting, false, false, true}},
        {"icon, in front", kAtIcon, true, false, {false, Notice::None, false, true, false}},
        {"icon, in front, challenge waiting",
         kAtIcon,
         true,
         true,
         {false, Notice::None, true, true, false}},
        {"icon, refused", kAtIcon, false, false, {false, Notice::None, false, false, false}},
        {"icon, refused, challenge waiting",
         kAtIcon,
         false,
         true,
         {false, Notice::None, false, false, true}},
        {"challenge and icon, refused",
         kChallengeAndIcon,
         false,
         false,
         {true, Notice::ChallengeWaiting, false, false, true}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const ShowEnd end = ShowEndFor(c.request, c.inFront, c.waiting);
        EXPECT_EQ(c.end.dock, end.dock);
        EXPECT_EQ(c.end.notice, end.notice);
        EXPECT_EQ(c.end.focusPassPhrase, end.focusPassPhrase);
        EXPECT_EQ(c.end.hideNotice, end.hideNotice);
        EXPECT_EQ(c.end.challengeWaiting, end.challengeWaiting);
        // Never on screen without the keyboard, unless the user asked for it at the icon.
        if (!c.inFront && !c.request.atIcon) {
            EXPECT_TRUE(end.dock);
        }
    }
}

} // namespace
