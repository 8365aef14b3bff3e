#include "shell/logic/show_logic.h"

bool PressAltToComeForward(ShowRequest request, bool inFront, bool altDown) {
    return request.challenge && !inFront && !altDown;
}

ShowEnd ShowEndFor(ShowRequest request, bool inFront, bool challengeWaiting) {
    ShowEnd end{};
    if (inFront) {
        end.focusPassPhrase = request.challenge || challengeWaiting;
        end.hideNotice = true;
        return end;
    }
    // The shell lets the icon's owner come forward after a click on it: a refusal there
    // is no reason to hide what the user asked for.
    if (request.atIcon && !request.challenge) {
        end.challengeWaiting = challengeWaiting;
        return end;
    }
    end.dock = true;
    end.challengeWaiting = request.challenge || challengeWaiting;
    end.notice = end.challengeWaiting ? Notice::ChallengeWaiting : Notice::AlreadyRunning;
    return end;
}
