#include "shell/logic/options_close.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace {

// Events as the dialog procedure meets them; OK's nested boxes and the SNK
// dialog are where the other events slip in. Events: O an OK starts, A it is
// accepted, R it is refused, T the timer fires. Answers, one per event:
// . stays open, S saved (result 1), 0 timed out (result 0).
struct Interleaving {
    const char* name;
    const char* events;
    const char* answers;
};

const Interleaving kInterleavings[] = {
    {"timer before the refusal box", "T", "0"},
    // Answering the refusal's box is input: the 20 seconds start again from there.
    {"timer during the refusal box", "OTR", "..."},
    {"timer during the refusal box, then left alone", "OTRT", "...0"},
    {"timer after the refusal box", "ORT", "..0"},
    {"refusal, then a good OK", "OROA", "...S"},
    // The decrement warning, the reconfigure question and the SNK dialog all
    // come after the values were taken: OK goes on to write them.
    {"timer during the warning, question or SNK dialog", "OTA", "..S"},
    {"second OK while the SNK dialog is open", "OOAA", "..SS"},
    {"second OK refused while the SNK dialog is open, timer meanwhile", "OOTRA", "....S"},
    {"timer between a refused second OK and the first one's end", "OORTA", "....S"},
};

char Answer(OptionsClose close) {
    switch (close) {
    case OptionsClose::None: return '.';
    case OptionsClose::Saved: return 'S';
    case OptionsClose::TimedOut: return '0';
    }
    return '?';
}

TEST(OptionsClose, EachInterleaving) {
    for (const Interleaving& c : kInterleavings) {
        ASSERT_EQ(std::strlen(c.events), std::strlen(c.answers)) << c.name;
        OptionsCloseState state = {};
        std::string answers;
        for (const char* event = c.events; *event != '\0'; ++event) {
            OptionsClose close = OptionsClose::None;
            switch (*event) {
            case 'O': OptionsOkStarted(state); break;
            case 'A': close = OptionsOkFinished(state, true); break;
            case 'R': close = OptionsOkFinished(state, false); break;
            case 'T': close = OptionsTimerFired(state); break;
            }
            answers += Answer(close);
        }
        EXPECT_EQ(answers, c.answers) << c.name << ": " << c.events;
    }
}

} // namespace
