#pragma once
// The program's only door to the registry: the key HKLM\SOFTWARE\Quenby OTP
// with the eight settings and the SNK-S record, and the value that starts the
// program with Windows under the user's Run key.
#include <cstddef>
#include <cstdint>

#include "shell/logic/settings.h"
#include "snk/snk_record.h"

// Fills `settings`; a value that is missing or not one byte takes its
// default. Without the key (a first start) the defaults are written.
struct LoadedSettings {
    bool firstStart;      // there was no key
    bool saved;           // false: there was none, and none could be created
    bool snkRecordStored; // an SNK-S record can be read
};
LoadedSettings LoadSettings(Settings& settings);
// The same, missing values and a missing key as their defaults, and nothing written.
void ReadSettings(Settings& settings);
// All eight values, changed or not; false when the key cannot be opened.
bool WriteSettings(const Settings& settings);

// False when the key or the record cannot be read, or the record is longer
// than kSnkRecordSize; `length` is the number of bytes read.
bool ReadSnkRecord(std::uint8_t record[kSnkRecordSize], std::size_t& length);
bool WriteSnkRecord(const std::uint8_t record[kSnkRecordSize]);

// The Run value as text, cut to `size` characters with the NUL; false when there is none.
bool ReadRunValue(wchar_t* value, std::size_t size);
// Writes it as REG_SZ; false when it could not be written.
bool WriteRunValue(const wchar_t* value);
// False when it is there and could not be deleted.
bool DeleteRunValue();
