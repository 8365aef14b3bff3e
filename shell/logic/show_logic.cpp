#include "shell/logic/show_logic.h"

ShowEnd ShowEndFor(ShowRequest request, bool waitingForAnswer, bool inFront,
                   bool challengeWaiting) {
    ShowEnd end{};
    if (waitingForAnswer) {
        end.askAgainWhenFree = true;
        end.challengeWaiting = request.challenge || challengeWaiting;
        if (request.challenge) {
            end.notice = Notice::ChallengeWaiting;
        } else if (!inFront && !request.atIcon) {
            end.notice = Notice::AlreadyRunning;
        }
        return end;
    }
    if (inFront) {
        end.showDialog = true;
        end.focusPassPhrase = request.challenge || challengeWaiting;
        end.hideNotice = true;
        return end;
    }
    // The shell lets the icon's owner come forward after a click on it: a refusal there
    // is no reason to hide what the user asked for.
    if (request.atIcon && !request.challenge) {
        end.showDialog = true;
        end.challengeWaiting = challengeWaiting;
        return end;
    }
    end.dock = true;
    end.challengeWaiting = request.challenge || challengeWaiting;
    end.notice = end.challengeWaiting ? Notice::ChallengeWaiting : Notice::AlreadyRunning;
    return end;
}
