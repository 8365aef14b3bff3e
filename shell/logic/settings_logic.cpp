#include "shell/logic/settings_logic.h"

#include <cstring>

#include "engine/text_format.h"
#include "resources/resource.h"
#include "shell/logic/main_logic.h"

const char kSettingsKeyPath[] = "SOFTWARE\\Quenby OTP";
const char kSnkRecordValueName[] = "SNK-S";

// A DockTime of 0 would dock the dialog the moment it is shown, so only an
// outside edit can put it there and it is read as the default instead.
const SettingEntry kSettingTable[kSettingCount] = {
    {"Clipboard", &Settings::Clipboard, 1, 0, IDC_OPT_CLIPBOARD, 0, nullptr, Message::None,
     Message::None},
    {"Return", &Settings::Return, 1, 0, IDC_OPT_RETURN, 0, nullptr, Message::None, Message::None},
    {"ClearPass", &Settings::ClearPass, 1, 0, IDC_OPT_CLEARPASS, 0, nullptr, Message::None,
     Message::None},
    {"AutoDock", &Settings::AutoDock, 1, 0, IDC_OPT_AUTODOCK, 0, nullptr, Message::None,
     Message::None},
    {"DockTime", &Settings::DockTime, 30, 1, IDC_OPT_DOCKTIME, IDC_OPT_DOCKTIME_LABEL,
     &Settings::AutoDock, Message::DockTimeMissing, Message::DockTimeRange},
    {"SNK", &Settings::SNK, 0, 0, IDC_OPT_SNK, 0, nullptr, Message::None, Message::None},
    {"AutoDecr", &Settings::AutoDecr, 1, 0, IDC_OPT_AUTODECR, 0, nullptr, Message::None,
     Message::None},
    {"DecrTime", &Settings::DecrTime, 1, 0, IDC_OPT_DECRTIME, IDC_OPT_DECRTIME_LABEL,
     &Settings::AutoDecr, Message::DecrTimeZero, Message::DecrTimeRange},
    {"Guard", &Settings::Guard, 1, 0, IDC_OPT_GUARD, 0, nullptr, Message::None, Message::None},
};

bool IsTimeRow(const SettingEntry& entry) {
    return entry.label != 0;
}

const SettingEntry& SettingRowOf(std::uint8_t Settings::*field) {
    for (const SettingEntry& entry : kSettingTable) {
        if (entry.field == field) return entry;
    }
    return kSettingTable[0];
}

void ApplyFirstRunDefaults(Settings& settings) {
    for (const SettingEntry& entry : kSettingTable) {
        settings.*entry.field = entry.firstRunDefault;
    }
}

std::uint8_t StoredSettingValue(const SettingEntry& entry, bool readOk, const std::uint8_t* data,
                                std::size_t length) {
    // Every value is stored as exactly one byte: anything else was not written
    // by us, and its first byte means nothing.
    if (!readOk || data == nullptr || length != 1) {
        return entry.firstRunDefault;
    }
    if (data[0] < entry.lowest) {
        return entry.firstRunDefault;
    }
    return data[0];
}

int ReadTimeField(const char* text) {
    if (text == nullptr) {
        return 0;
    }
    char head[kTimeFieldChars + 1] = {};
    std::strncpy(head, text, kTimeFieldChars);
    // Four characters hold at most -999 to 9999.
    return static_cast<int>(ReadCount(head));
}

bool TimeFits(const SettingEntry& entry, int seconds) {
    return seconds >= entry.lowest && seconds <= 255;
}

void ShowTimeField(std::uint8_t seconds, char text[kTimeTextSize]) {
    FormatText(text, kTimeTextSize, "%u", static_cast<unsigned>(seconds));
}

OptionsOkOutcome DecideOptionsOk(const Settings& current, const OptionsForm& form,
                                 bool snkKeysSaved) {
    OptionsOkOutcome outcome = {};
    outcome.settings = current;
    Settings next = current;
    for (std::size_t row = 0; row < kSettingCount; ++row) {
        const SettingEntry& entry = kSettingTable[row];
        if (!IsTimeRow(entry)) {
            next.*entry.field = form.checked[row] ? 1 : 0;
            continue;
        }
        // Nothing wraps: a time outside its stored byte is refused, never saved modulo 256.
        const int seconds = ReadTimeField(form.text[row]);
        if (!TimeFits(entry, seconds)) {
            outcome.refusal = seconds == 0 ? entry.whenZero : entry.outOfRange;
            return outcome;
        }
        if (seconds == 0) outcome.warning = entry.whenZero;
        next.*entry.field = static_cast<std::uint8_t>(seconds);
    }
    outcome.enrolSnk = next.SNK != 0;
    outcome.askReconfigure = outcome.enrolSnk && snkKeysSaved;
    outcome.settings = next;
    return outcome;
}

Message OptionsSavedMessage(bool settingsSaved, bool runValueChanged, bool runValueSaved) {
    if (!runValueChanged || runValueSaved)
        return settingsSaved     ? Message::None
               : runValueChanged ? Message::OptionsNotSavedRunValueSaved
                                 : Message::OptionsNotSaved;
    return settingsSaved ? Message::RunValueNotSaved : Message::NothingSaved;
}
