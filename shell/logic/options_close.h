#pragma once
// When the Options dialog closes. OK runs nested message loops (boxes, the
// owner-less SNK dialog), so its 20-second timer and even a second OK can
// arrive while an OK is still under way; the dialog procedure feeds each
// event here and applies the answer.

enum class OptionsClose {
    None,    // stays open
    Saved,   // EndDialog(1)
    TimedOut // EndDialog(0)
};

struct OptionsCloseState {
    int oksUnderWay;
    bool timerFired; // while an OK was under way
};

void OptionsOkStarted(OptionsCloseState& state);
// `accepted` is false when OK refused the input and the dialog stays.
OptionsClose OptionsOkFinished(OptionsCloseState& state, bool accepted);
OptionsClose OptionsTimerFired(OptionsCloseState& state);
