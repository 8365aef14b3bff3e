#pragma once
// When the Options dialog closes. It closes by itself 20 seconds after the user's last input in
// it (a key, a click, a box of its own answered), without saving. OK runs nested message loops
// (boxes, the owner-less SNK dialog), so the timer and even a second OK can arrive while an OK
// is still under way; the dialog procedure feeds each event here and applies the answer.

enum class OptionsClose {
    None,    // stays open
    Saved,   // EndDialog(1)
    TimedOut // EndDialog(0)
};

struct OptionsCloseState {
    int oksUnderWay;
};

void OptionsOkStarted(OptionsCloseState& state);
// `accepted` is false when OK refused the input and the dialog stays. The refusal's box was
// answered: that is input, and the 20 seconds start again.
OptionsClose OptionsOkFinished(OptionsCloseState& state, bool accepted);
// While an OK is under way a box or dialog of it waits for the user, whose answer is input.
OptionsClose OptionsTimerFired(const OptionsCloseState& state);
