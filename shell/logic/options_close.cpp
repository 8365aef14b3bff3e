#include "shell/logic/options_close.h"

void OptionsOkStarted(OptionsCloseState& state) {
    ++state.oksUnderWay;
}

OptionsClose OptionsOkFinished(OptionsCloseState& state, bool accepted) {
    --state.oksUnderWay;
    // An accepted OK has written the values: it closes the dialog, timer or not.
    if (accepted) return OptionsClose::Saved;
    // A timeout held back during a refused OK is carried out once no OK is left.
    if (state.timerFired && state.oksUnderWay == 0) return OptionsClose::TimedOut;
    return OptionsClose::None;
}

OptionsClose OptionsTimerFired(OptionsCloseState& state) {
    if (state.oksUnderWay > 0) {
        state.timerFired = true;
        return OptionsClose::None;
    }
    return OptionsClose::TimedOut;
}
