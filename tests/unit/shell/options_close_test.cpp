#include "shell/logic/options_close.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

// Events as the dialog procedure meets them; OK's nested boxes and the SNK
// dialog are where the other events can slip in.
enum class Event { OkStarted, OkAccepted, OkRefused, Timer };

struct Step {
    Event event;
    OptionsClose expected;
};

struct Interleaving {
    const char* name;
    std::vector<Step> steps;
};

constexpr OptionsClose kNone = OptionsClose::None;
constexpr OptionsClose kSaved = OptionsClose::Saved;
constexpr OptionsClose kTimedOut = OptionsClose::TimedOut;

const Interleaving kInterleavings[] = {
    {"timer before the refusal box", {{Event::Timer, kTimedOut}}},
    {"timer during the refusal box",
     {{Event::OkStarted, kNone}, {Event::Timer, kNone}, {Event::OkRefused, kTimedOut}}},
    {"timer after the refusal box",
     {{Event::OkStarted, kNone}, {Event::OkRefused, kNone}, {Event::Timer, kTimedOut}}},
    {"refusal, then a good OK",
     {{Event::OkStarted, kNone},
      {Event::OkRefused, kNone},
      {Event::OkStarted, kNone},
      {Event::OkAccepted, kSaved}}},
    // The decrement warning, the reconfigure question and the SNK dialog all
    // come after the values were taken: OK goes on to write them.
    {"timer during the warning, question or SNK dialog",
     {{Event::OkStarted, kNone}, {Event::Timer, kNone}, {Event::OkAccepted, kSaved}}},
    {"second OK while the SNK dialog is open",
     {{Event::OkStarted, kNone},
      {Event::OkStarted, kNone},
      {Event::OkAccepted, kSaved},
      {Event::OkAccepted, kSaved}}},
    {"second OK refused while the SNK dialog is open, timer meanwhile",
     {{Event::OkStarted, kNone},
      {Event::OkStarted, kNone},
      {Event::Timer, kNone},
      {Event::OkRefused, kNone},
      {Event::OkAccepted, kSaved}}},
    {"timer after a second refused OK, first still in the SNK dialog",
     {{Event::OkStarted, kNone},
      {Event::OkStarted, kNone},
      {Event::OkRefused, kNone},
      {Event::Timer, kNone},
      {Event::OkAccepted, kSaved}}},
};

TEST(OptionsClose, EachInterleaving) {
    for (const Interleaving& case_ : kInterleavings) {
        OptionsCloseState state = {};
        int index = 0;
        for (const Step& step : case_.steps) {
            OptionsClose answer = kNone;
            switch (step.event) {
            case Event::OkStarted: OptionsOkStarted(state); break;
            case Event::OkAccepted: answer = OptionsOkFinished(state, true); break;
            case Event::OkRefused: answer = OptionsOkFinished(state, false); break;
            case Event::Timer: answer = OptionsTimerFired(state); break;
            }
            EXPECT_EQ(step.expected, answer) << case_.name << ", step " << index;
            ++index;
        }
    }
}

} // namespace
