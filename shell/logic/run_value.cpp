#include "shell/logic/run_value.h"

#include "vantreth_version.h"

const wchar_t kRunValueName[] = L"" VANTRETH_TITLE;

namespace {

wchar_t AsciiLower(wchar_t c) {
    return (c >= L'A' && c <= L'Z') ? static_cast<wchar_t>(c - L'A' + L'a') : c;
}

} // namespace

bool RunValueStartsProgram(const wchar_t* value, const wchar_t* programPath) {
    while (*value == L' ' || *value == L'\t')
        ++value;
    const bool quoted = *value == L'"';
    if (quoted) ++value;
    const wchar_t* path = programPath;
    for (; *path != L'\0'; ++value, ++path) {
        if (AsciiLower(*value) != AsciiLower(*path)) return false;
    }
    if (quoted) return *value == L'"';
    return *value == L'\0' || *value == L' ' || *value == L'\t';
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

RunValueChange RunValueChangeFor(bool boxTicked, bool valueExists, bool startsThisProgram) {
    if (boxTicked) return startsThisProgram ? RunValueChange::Leave : RunValueChange::Write;
    return valueExists ? RunValueChange::Delete : RunValueChange::Leave;
}
