#pragma once
// Starting with Windows: the value "Vantreth" under the user's Run key, which the shell runs at
// logon. Free of the platform; the texts are the wide ones the registry keeps.
#include <cstddef>

// The value's name: the title.
extern const wchar_t kRunValueName[];

// Whether the value, as a command line, starts the program at `programPath`: its first word
// (quoted or not) names the same file, letters A to Z of either case being the same.
bool RunValueStartsProgram(const wchar_t* value, const wchar_t* programPath);

// The value that starts the program at `programPath`: the path in double quotes, so that a
// folder with blanks in its name works. False when it does not fit `size` characters with the
// NUL.
bool QuotedRunValue(const wchar_t* programPath, wchar_t* value, std::size_t size);

// What Options' OK does with the value, from its "Start with Windows" box: write this program's
// value where it is not there already, and delete any value when the box is clear.
enum class RunValueChange { Leave, Write, Delete };
RunValueChange RunValueChangeFor(bool boxTicked, bool valueExists, bool startsThisProgram);
