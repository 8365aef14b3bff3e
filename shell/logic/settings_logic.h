#pragma once
#include <cstddef>
#include <cstdint>

#include "shell/logic/messages.h"
#include "shell/logic/settings.h"

extern const char kSettingsKeyPath[];       // "SOFTWARE\\Quenby OTP" under HKEY_LOCAL_MACHINE
extern const char kSnkRecordValueName[];    // "SNK-S"
constexpr std::size_t kStoredValueSize = 5; // each option value is read into this many bytes

// One row per option value, in the order they are read and written. The same table gives the
// first-run defaults, the fallback for a bad stored value, and the Options control that shows
// the value: a check box for a flag, an edit with its label for a time.
struct SettingEntry {
    const char* name;
    std::uint8_t Settings::*field;
    std::uint8_t firstRunDefault;
    std::uint8_t lowest; // a time below this is refused in Options; a stored byte takes the default
    int control;         // the check box, or the time's edit
    int label;           // the time's label; 0 for a check box
    std::uint8_t Settings::*enabledBy; // the flag that enables the time's edit; null for a flag
    Message whenZero;   // a time of 0: refused with this below `lowest`, else taken with it
    Message outOfRange; // a time outside `lowest` to 255
};
constexpr std::size_t kSettingCount = 9;
extern const SettingEntry kSettingTable[kSettingCount];

bool IsTimeRow(const SettingEntry& entry);
// The row of a flag or time; the flag that enables a time, for instance.
const SettingEntry& SettingRowOf(std::uint8_t Settings::*field);

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
// Whether a time fits its row: from its lowest value to 255, the most a byte holds.
bool TimeFits(const SettingEntry& entry, int seconds);
void ShowTimeField(std::uint8_t seconds, char text[kTimeTextSize]);

// What the Options dialog's controls hold when OK is pressed, by row of kSettingTable: a check
// box's state, or a time field's first characters.
struct OptionsForm {
    bool checked[kSettingCount];
    char text[kSettingCount][kTimeFieldChars + 1];
};

struct OptionsOkOutcome {
    // What stands in memory once OK is through; a refused OK changes nothing.
    Settings settings;
    // A refused time: the dialog shows it, stays open and writes nothing.
    Message refusal;
    Message warning;     // a time taken with a caution, shown before going on
    bool enrolSnk;       // SNK features on: enrolment follows
    bool askReconfigure; // ask before enrolling over a stored record
};

OptionsOkOutcome DecideOptionsOk(const Settings& current, const OptionsForm& form,
                                 bool snkKeysSaved);

// What OK's box says of its two writes, each tried whatever became of the other: the settings,
// and the Run value where the user changed "Start with Windows". None when all went in.
Message OptionsSavedMessage(bool settingsSaved, bool runValueChanged, bool runValueSaved);
