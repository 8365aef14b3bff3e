#include "shell/logic/options_close.h"

void OptionsOkStarted(OptionsCloseState& state) {
    ++state.oksUnderWay;
}

OptionsClose OptionsOkFinished(OptionsCloseState& state, bool accepted) {
    --state.oksUnderWay;
    // An accepted OK has written the values: it closes the dialog, timer or not.
    return accepted ? OptionsClose::Saved : OptionsClose::None;
}

OptionsClose OptionsTimerFired(const OptionsCloseState& state) {
    return state.oksUnderWay > 0 ? OptionsClose::None : OptionsClose::TimedOut;
}
