#include "shell/logic/settings_logic.h"

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

const char kRegistryWriteError[] = "Error writing to the registry";
const char kDockTimeRefused[] =
    "No docking timeout value provided\nDelay must be greater than 1 (second).";
const char kDecrTimeWarning[] = "No iteration decrement delay value provided\nIteration decrement "
                                "will be immediately after the calculation\n";
const char kReconfigureSnk[] =
    "SNK keys are already saved in the registry\nWould you like to reconfigure SNK?";
const char kDialogCreateError[] = "Error creating Dialog [0x%02x{%d}]";

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

static bool IsTimeFieldSpace(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

std::uint8_t ReadTimeField(const char* text) {
    if (text == nullptr) {
        return 0;
    }
    int i = 0;
    while (i < kTimeFieldChars && IsTimeFieldSpace(text[i])) {
        ++i;
    }
    bool negative = false;
    if (i < kTimeFieldChars && (text[i] == '+' || text[i] == '-')) {
        negative = text[i] == '-';
        ++i;
    }
    unsigned value = 0;
    while (i < kTimeFieldChars && text[i] >= '0' && text[i] <= '9') {
        value = value * 10 + static_cast<unsigned>(text[i] - '0');
        ++i;
    }
    if (negative) {
        value = 0u - value;
    }
    return static_cast<std::uint8_t>(value & 0xFFu);
}

void ShowTimeField(std::uint8_t seconds, char text[kTimeTextSize]) {
    char digits[kTimeTextSize] = {};
    int count = 0;
    unsigned rest = seconds;
    do {
        digits[count++] = static_cast<char>('0' + rest % 10);
        rest /= 10;
    } while (rest != 0);
    for (int i = 0; i < count; ++i) {
        text[i] = digits[count - 1 - i];
    }
    text[count] = '\0';
}

OptionsOkOutcome DecideOptionsOk(const Settings& current, const OptionsForm& form,
                                 bool snkKeysSaved) {
    OptionsOkOutcome outcome = {};
    Settings next = current;
    next.Clipboard = form.clipboard ? 1 : 0;
    next.Return = form.appendReturn ? 1 : 0;
    next.ClearPass = form.clearPass ? 1 : 0;
    next.AutoDock = form.autoDock ? 1 : 0;

    const std::uint8_t dockTime = ReadTimeField(form.dockTimeText);
    if (dockTime == 0) {
        outcome.settings = next;
        outcome.dockRefused = true;
        return outcome;
    }
    next.DockTime = dockTime;

    next.AutoDecr = form.autoDecr ? 1 : 0;
    next.DecrTime = ReadTimeField(form.decrTimeText);
    outcome.decrWarning = next.DecrTime == 0;

    next.SNK = form.snk ? 1 : 0;
    outcome.enrolSnk = form.snk;
    outcome.askReconfigure = form.snk && snkKeysSaved;
    outcome.settings = next;
    return outcome;
}
