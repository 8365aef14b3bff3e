#pragma once

constexpr int kInputErrorBadCount = 1;
constexpr int kInputErrorNoSeed = 2;
constexpr int kInputErrorNoPassPhrase = 3;

extern const char kInputErrorCaption[]; // "Input Error"

// The whole message text for code 1, 2 or 3 ("Invalid input: ..."); nullptr otherwise.
const char* InputErrorText(int code);
