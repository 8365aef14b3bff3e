#pragma once
// Starting with Windows: the value "Vantreth" under the user's Run key, which the shell runs at
// logon. Free of the platform; the texts are the wide ones the registry keeps.
#include <cstddef>

// The value's name: the title.
extern const wchar_t kRunValueName[];

// What the program reads of the value and its own path, with the NUL: a longer value names no
// program that could be this one.
constexpr std::size_t kRunValueSize = 263;

// Whether two paths name the same file, as the system compares them.
using SamePathFn = bool (*)(const wchar_t* a, const wchar_t* b);

// Whether the value, as a command line, starts the program at `programPath`: its first word
// names the same file. Unquoted, the path may hold blanks, and each blank may end it, as the
// system reads such a command line.
bool RunValueStartsProgram(const wchar_t* value, const wchar_t* programPath, SamePathFn samePath);

// The value that starts the program at `programPath`: the path in double quotes, so that a
// folder with blanks in its name works. False when it does not fit `size` characters with the
// NUL.
bool QuotedRunValue(const wchar_t* programPath, wchar_t* value, std::size_t size);

// What Options' OK does with the value: only what the user asked by changing the box. A value
// the box did not show as this program's (another copy's, say) stays unless the box is ticked.
enum class RunValueChange { Leave, Write, Delete };
RunValueChange RunValueChangeFor(bool shownTicked, bool ticked);
