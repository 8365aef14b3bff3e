#include <cstring>

#include "shell/logic/settings_logic.h"
#include "tests/fuzz/fuzz_support.h"

// Input: a control byte, then the docking and the decrement time texts split at 0xFF.

namespace {

// The first four characters read by the C library.
int ExpectedTime(const char* text) {
    char firstFour[kTimeFieldChars + 1] = {};
    std::strncpy(firstFour, text, kTimeFieldChars);
    return static_cast<int>(std::strtol(firstFour, nullptr, 10));
}

void CheckReading(const char* text) {
    FUZZ_CHECK(ReadTimeField(text) == ExpectedTime(text));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::vector<char> whole = TerminatedCopy(data, size);
    CheckReading(whole.data());
    if (size < 1) return 0;

    const std::uint8_t control = data[0];
    char shown[kTimeTextSize];
    std::memset(shown, 'x', sizeof shown);
    ShowTimeField(control, shown);
    FUZZ_CHECK(std::memchr(shown, '\0', sizeof shown) != nullptr);
    FUZZ_CHECK(shown[0] != '\0' && (shown[0] != '0' || shown[1] == '\0'));
    FUZZ_CHECK(ReadTimeField(shown) == control);

    const Split split = SplitAtMarker(data + 1, size - 1);
    const std::vector<char> dockText = TerminatedCopy(split.head, split.headSize);
    const std::vector<char> decrText = TerminatedCopy(split.tail, split.tailSize);
    CheckReading(dockText.data());
    CheckReading(decrText.data());

    Settings current{};
    current.DockTime = static_cast<std::uint8_t>(control | 1);
    current.DecrTime = static_cast<std::uint8_t>(control >> 1);
    const OptionsForm form = {
        (control & 0x01) != 0, (control & 0x02) != 0, (control & 0x04) != 0, (control & 0x08) != 0,
        (control & 0x10) != 0, (control & 0x20) != 0, dockText.data(),       decrText.data(),
    };
    const bool saved = (control & 0x40) != 0;
    const OptionsOkOutcome outcome = DecideOptionsOk(current, form, saved);
    const Settings& next = outcome.settings;

    FUZZ_CHECK(next.Clipboard == (form.clipboard ? 1 : 0));
    FUZZ_CHECK(next.Return == (form.appendReturn ? 1 : 0));
    FUZZ_CHECK(next.ClearPass == (form.clearPass ? 1 : 0));
    FUZZ_CHECK(next.AutoDock == (form.autoDock ? 1 : 0));

    const int dock = ExpectedTime(dockText.data());
    if (dock < 1 || dock > 255) {
        // A refused OK keeps the docking time that was in force.
        FUZZ_CHECK(outcome.refusal ==
                   (dock == 0 ? Message::DockTimeMissing : Message::DockTimeRange));
        FUZZ_CHECK(next.DockTime == current.DockTime);
        FUZZ_CHECK(!outcome.decrWarning && !outcome.enrolSnk && !outcome.askReconfigure);
        return 0;
    }
    FUZZ_CHECK(next.DockTime == dock);
    const int decr = ExpectedTime(decrText.data());
    if (decr < 0 || decr > 255) {
        FUZZ_CHECK(outcome.refusal == Message::DecrTimeRange);
        FUZZ_CHECK(next.DecrTime == current.DecrTime);
        FUZZ_CHECK(!outcome.decrWarning && !outcome.enrolSnk && !outcome.askReconfigure);
        return 0;
    }
    FUZZ_CHECK(outcome.refusal == Message::None);
    FUZZ_CHECK(next.DecrTime == decr);
    FUZZ_CHECK(outcome.decrWarning == (decr == 0));
    FUZZ_CHECK(next.AutoDecr == (form.autoDecr ? 1 : 0));
    FUZZ_CHECK(next.SNK == (form.snk ? 1 : 0));
    FUZZ_CHECK(outcome.enrolSnk == form.snk);
    FUZZ_CHECK(outcome.askReconfigure == (form.snk && saved));
    return 0;
}
