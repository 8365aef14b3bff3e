#pragma once
#include <cstddef>
#include <cstdint>

#include "shell/logic/messages.h"
#include "shell/logic/settings.h"

extern const char kSettingsKeyPath[];       // "SOFTWARE\\Quenby OTP" under HKEY_LOCAL_MACHINE
extern const char kSnkRecordValueName[];    // "SNK-S"
constexpr std::size_t kStoredValueSize = 5; // each option value is read into this many bytes

// One row per option value, in the order they are read and written. The
// same table gives the first-run defaults and the fallback for a bad value.
struct SettingEntry {
    const char* name;
    std::uint8_t Settings::*field;
    std::uint8_t firstRunDefault;
    std::uint8_t lowest; // a stored byte below this takes the default
};
constexpr std::size_t kSettingCount = 8;
extern const SettingEntry kSettingTable[kSettingCount];

void ApplyFirstRunDefaults(Settings& settings);

// The byte a field takes from one registry read: `readOk` false when the
// query failed (missing, longer than kStoredValueSize, unreadable). Only a
// value of exactly one byte is taken; any other takes the default.
std::uint8_t StoredSettingValue(const SettingEntry& entry, bool readOk, const std::uint8_t* data,
                                std::size_t length);

// Time fields of the Options dialog: at most the first 4 characters count,
// optional white space and sign, decimal digits; no digits read as 0. The
// value is returned whole, so that one outside the stored byte can be refused.
constexpr int kTimeFieldChars = 4;
constexpr std::size_t kTimeTextSize = 4; // "255" and its NUL
int ReadTimeField(const char* text);
// Whether a time value fits its stored byte: DockTime 1 to 255, DecrTime 0 to 255.
bool DockTimeFits(int seconds);
bool DecrTimeFits(int seconds);
void ShowTimeField(std::uint8_t seconds, char text[kTimeTextSize]);

// What the Options dialog's controls hold when OK is pressed.
struct OptionsForm {
    bool clipboard;
    bool appendReturn;
    bool clearPass;
    bool autoDock;
    bool autoDecr;
    bool snk;
    const char* dockTimeText;
    const char* decrTimeText;
};

struct OptionsOkOutcome {
    Settings settings; // what stands in memory afterwards
    // A refused time: the dialog shows it, stays open and writes nothing.
    Message refusal;
    bool decrWarning;    // warn of a zero delay, then go on
    bool enrolSnk;       // SNK features on: enrolment follows
    bool askReconfigure; // ask before enrolling over a stored record
};

OptionsOkOutcome DecideOptionsOk(const Settings& current, const OptionsForm& form,
                                 bool snkKeysSaved);
