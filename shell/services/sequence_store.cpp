#include "shell/services/sequence_store.h"

#include <windows.h>

namespace {

const char kSequencesKeyPath[] = "Software\\Vantreth\\Sequences";
// Longer names are no sequence's; such a value is neither counted nor deleted.
constexpr DWORD kValueNameSize = 256;
// The most values deleted to make room at one write: a store filled from outside is cut down
// over several.
constexpr int kMostDeletions = 16;

bool ReadRecord(HKEY key, const char* name, SequenceRecord* record) {
    std::uint8_t data[kSequenceRecordSize];
    DWORD type = 0;
    DWORD length = sizeof data;
    return RegQueryValueExA(key, name, nullptr, &type, data, &length) == ERROR_SUCCESS &&
           type == REG_BINARY && DecodeSequenceRecord(data, length, record);
}

// Surveys every value but `own`; `victim` names the one to delete first. False when the
// values cannot be read.
bool Survey(HKEY key, const char* own, bool* ownStored, SequenceSurvey* survey,
            char victim[kValueNameSize]) {
    *survey = {};
    *ownStored = false;
    for (DWORD index = 0;; ++index) {
        char name[kValueNameSize];
        DWORD nameLength = sizeof name;
        const LONG status =
            RegEnumValueA(key, index, name, &nameLength, nullptr, nullptr, nullptr, nullptr);
        if (status == ERROR_NO_MORE_ITEMS) return true;
        if (status == ERROR_MORE_DATA) continue;
        if (status != ERROR_SUCCESS) return false;
        SequenceRecord record;
        const bool readable = ReadRecord(key, name, &record);
        if (lstrcmpiA(name, own) == 0) {
            *ownStored = true;
            if (readable && record.used > survey->highestUsed) survey->highestUsed = record.used;
            continue;
        }
        if (SurveySequence(*survey, readable ? &record : nullptr))
            lstrcpynA(victim, name, kValueNameSize);
    }
}

} // namespace

bool LookUpSequence(HashKind kind, const char* seed, SequenceRecord* record) {
    char name[kSequenceNameSize];
    if (!SequenceName(kind, seed, name)) return false;
    HKEY key;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, kSequencesKeyPath, 0, KEY_QUERY_VALUE, &key) !=
        ERROR_SUCCESS)
        return false;
    const bool found = ReadRecord(key, name, record);
    RegCloseKey(key);
    return found;
}

bool RememberSequence(HashKind kind, const char* seed, std::uint32_t count, std::uint16_t check) {
    char name[kSequenceNameSize];
    if (!SequenceName(kind, seed, name)) return false;
    HKEY key;
    if (RegCreateKeyExA(HKEY_CURRENT_USER, kSequencesKeyPath, 0, nullptr, REG_OPTION_NON_VOLATILE,
                        KEY_QUERY_VALUE | KEY_SET_VALUE, nullptr, &key, nullptr) != ERROR_SUCCESS)
        return false;
    SequenceSurvey survey;
    bool ownStored = false;
    char victim[kValueNameSize] = {};
    bool surveyed = Survey(key, name, &ownStored, &survey, victim);
    for (int deleted = 0; surveyed && !ownStored && SequenceStoreFull(survey) &&
                          survey.victimFound && deleted < kMostDeletions;
         ++deleted) {
        if (RegDeleteValueA(key, victim) != ERROR_SUCCESS) break;
        surveyed = Survey(key, name, &ownStored, &survey, victim);
    }
    const SequenceRecord record = {count, check, surveyed ? survey.highestUsed + 1 : 1};
    std::uint8_t data[kSequenceRecordSize];
    EncodeSequenceRecord(record, data);
    const bool written =
        RegSetValueExA(key, name, 0, REG_BINARY, data, sizeof data) == ERROR_SUCCESS;
    RegCloseKey(key);
    return written;
}
