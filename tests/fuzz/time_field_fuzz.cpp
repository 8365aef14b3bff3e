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
    // The check boxes from the control byte's bits, in the table's order; the two times typed.
    OptionsForm form = {};
    for (std::size_t row = 0; row < kSettingCount; ++row) {
        const SettingEntry& entry = kSettingTable[row];
        form.checked[row] = (control >> row & 1) != 0;
        const char* text = entry.field == &Settings::DockTime   ? dockText.data()
                           : entry.field == &Settings::DecrTime ? decrText.data()
                                                                : "";
        std::strncpy(form.text[row], text, kTimeFieldChars);
    }
    const bool saved = (control & 0x80) != 0;
    const OptionsOkOutcome outcome = DecideOptionsOk(current, form, saved);
    const Settings& next = outcome.settings;
    auto ticked = [&](std::uint8_t Settings::*field) {
        return form.checked[&SettingRowOf(field) - kSettingTable] ? 1 : 0;
    };

    const int dock = ExpectedTime(dockText.data());
    const int decr = ExpectedTime(decrText.data());
    if (dock < 1 || dock > 255 || decr < 0 || decr > 255) {
        // A refused OK changes nothing; the docking time is checked first.
        const Message refusal =
            dock < 1 || dock > 255 ? (dock == 0 ? Message::DockTimeMissing : Message::DockTimeRange)
                                   : Message::DecrTimeRange;
        FUZZ_CHECK(outcome.refusal == refusal);
        FUZZ_CHECK(std::memcmp(&next, &current, sizeof next) == 0);
        FUZZ_CHECK(outcome.warning == Message::None && !outcome.enrolSnk &&
                   !outcome.askReconfigure);
        return 0;
    }
    FUZZ_CHECK(outcome.refusal == Message::None);
    FUZZ_CHECK(next.Clipboard == ticked(&Settings::Clipboard));
    FUZZ_CHECK(next.Return == ticked(&Settings::Return));
    FUZZ_CHECK(next.ClearPass == ticked(&Settings::ClearPass));
    FUZZ_CHECK(next.AutoDock == ticked(&Settings::AutoDock));
    FUZZ_CHECK(next.DockTime == dock);
    FUZZ_CHECK(next.DecrTime == decr);
    FUZZ_CHECK(outcome.warning == (decr == 0 ? Message::DecrTimeZero : Message::None));
    FUZZ_CHECK(next.AutoDecr == ticked(&Settings::AutoDecr));
    FUZZ_CHECK(next.SNK == ticked(&Settings::SNK));
    FUZZ_CHECK(outcome.enrolSnk == (ticked(&Settings::SNK) != 0));
    FUZZ_CHECK(outcome.askReconfigure == (ticked(&Settings::SNK) != 0 && saved));
    return 0;
}
