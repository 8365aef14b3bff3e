#include "shell/logic/run_value.h"

#include "vantreth_version.h"

const wchar_t kRunValueName[] = L"" VANTRETH_TITLE;

bool RunValueStartsProgram(const wchar_t* value, const wchar_t* programPath, SamePathFn samePath) {
    while (*value == L' ' || *value == L'\t')
        ++value;
    const bool quoted = *value == L'"';
    if (quoted) ++value;
    wchar_t path[kRunValueSize];
    for (std::size_t length = 0; length < kRunValueSize; ++length) {
        const wchar_t c = value[length];
        const bool ends = quoted ? c == L'"' : c == L'\0' || c == L' ' || c == L'\t';
        if (ends && length > 0) {
            path[length] = L'\0';
            if (samePath(path, programPath)) return true;
        }
        if (c == L'\0' || (quoted && ends)) return false;
        path[length] = c;
    }
    return false;
}

bool QuotedRunValue(const wchar_t* programPath, wchar_t* value, std::size_t size) {
    std::size_t length = 0;
    while (programPath[length] != L'\0')
        ++length;
    if (length == 0 || length + 3 > size) return false;
    value[0] = L'"';
    for (std::size_t i = 0; i < length; ++i)
        value[i + 1] = programPath[i];
    value[length + 1] = L'"';
    value[length + 2] = L'\0';
    return true;
}

RunValueChange RunValueChangeFor(bool shownTicked, bool ticked) {
    if (ticked == shownTicked) return RunValueChange::Leave;
    return ticked ? RunValueChange::Write : RunValueChange::Delete;
}
