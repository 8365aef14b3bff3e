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

// Whether to press ALT around the call that brings the dialog to the front: pressing ALT
// lets a program take the foreground. Only for a copied challenge, only while another
// program is in front, and never while the user holds ALT.
bool PressAltToComeForward(ShowRequest request, bool inFront, bool altDown);

// How a show ends, once it is known whether the dialog is in front with the keyboard.
struct ShowEnd {
    bool dock;             // refused: back in the tray, as Close leaves it
    Notice notice;         // what the tray icon then says
    bool focusPassPhrase;  // in front after a challenge: ready for the pass phrase
    bool hideNotice;       // in front: a notice still up has served
    bool challengeWaiting; // a challenge waits for the user afterwards
};

ShowEnd ShowEndFor(ShowRequest request, bool inFront, bool challengeWaiting);
