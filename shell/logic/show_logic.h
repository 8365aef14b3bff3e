#pragma once
// Bringing the dialog up, free of the platform. Windows lets a program in the background
// take the foreground only in a few cases, and a dialog on screen without the keyboard
// would leave the pass phrase to be typed into the program the user came from.
#include "shell/logic/messages.h"

// Why the dialog is brought up; requests that come together add up. Neither: a second start.
struct ShowRequest {
    bool challenge; // a copied challenge filled the fields
    bool atIcon;    // the user asked at the tray icon or at its notice
};

// How a show ends, once it is known whether the window that comes forward is in front with
// the keyboard. That window is the main dialog, unless a window of ours (a box, Options, the
// enrolment, About) waits for an answer: then it comes forward instead, the dialog stays as it
// is, and the show is asked for again once the user has answered.
struct ShowEnd {
    bool dock;             // refused: back in the tray, as Close leaves it
    bool showDialog;       // the dialog goes on screen
    bool askAgainWhenFree; // a window waits for an answer: the show follows it
    Notice notice;         // what the tray icon then says
    bool focusPassPhrase;  // in front after a challenge: ready for the pass phrase
    bool hideNotice;       // in front: a notice still up has served
    bool challengeWaiting; // a challenge waits for the user afterwards
};

ShowEnd ShowEndFor(ShowRequest request, bool waitingForAnswer, bool inFront, bool challengeWaiting);
