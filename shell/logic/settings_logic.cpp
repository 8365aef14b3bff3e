#include "shell/logic/settings_logic.h"

#include <cstdio>
#include <cstring>

#include "shell/logic/main_logic.h"

const char kSettingsKeyPath[] = "SOFTWARE\\Quenby OTP";
const char kSnkRecordValueName[] = "SNK-S";

// A DockTime of 0 would dock the dialog the moment it is shown, so only an
// outside edit can put it there and it is read as the default instead.
const SettingEntry kSettingTable[kSettingCount] = {
    {"Clipboard", &Settings::Clipboard, 1, 0}, {"Return", &Settings::Return, 1, 0},
    {"ClearPass", &Settings::ClearPass, 1, 0}, {"AutoDock", &Settings::AutoDock, 1, 0},
    {"DockTime", &Settings::DockTime, 30, 1},  {"SNK", &Settings::SNK, 0, 0},
    {"AutoDecr", &Settings::AutoDecr, 1, 0},   {"DecrTime", &Settings::DecrTime, 1, 0},
};

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

bool DockTimeFits(int seconds) {
    return seconds >= 1 && seconds <= 255;
}

bool DecrTimeFits(int seconds) {
    return seconds >= 0 && seconds <= 255;
}

void ShowTimeField(std::uint8_t seconds, char text[kTimeTextSize]) {
    std::snprintf(text, kTimeTextSize, "%u", static_cast<unsigned>(seconds));
}

OptionsOkOutcome DecideOptionsOk(const Settings& current, const OptionsForm& form,
                                 bool snkKeysSaved) {
    OptionsOkOutcome outcome = {};
    Settings next = current;
    next.Clipboard = form.clipboard ? 1 : 0;
    next.Return = form.appendReturn ? 1 : 0;
    next.ClearPass = form.clearPass ? 1 : 0;
    next.AutoDock = form.autoDock ? 1 : 0;

    // A refused value never reaches memory: a DockTime of 0 left there would
    // dock the dialog the moment it is shown.
    const int dockTime = ReadTimeField(form.dockTimeText);
    if (!DockTimeFits(dockTime)) {
        outcome.settings = next;
        outcome.refusal = dockTime == 0 ? Message::DockTimeMissing : Message::DockTimeRange;
        return outcome;
    }
    next.DockTime = static_cast<std::uint8_t>(dockTime);

    next.AutoDecr = form.autoDecr ? 1 : 0;
    const int decrTime = ReadTimeField(form.decrTimeText);
    if (!DecrTimeFits(decrTime)) {
        outcome.settings = next;
        outcome.refusal = Message::DecrTimeRange;
        return outcome;
    }
    next.DecrTime = static_cast<std::uint8_t>(decrTime);
    outcome.decrWarning = next.DecrTime == 0;

    next.SNK = form.snk ? 1 : 0;
    outcome.enrolSnk = form.snk;
    outcome.askReconfigure = form.snk && snkKeysSaved;
    outcome.settings = next;
    return outcome;
}
