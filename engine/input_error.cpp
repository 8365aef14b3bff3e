#include "engine/input_error.h"

const char kInputErrorCaption[] = "Input Error";

const char* InputErrorText(int code) {
    switch (code) {
    case kInputErrorBadCount:
        return "Invalid input: Bad iteration count\n (Value must be greater than zero)";
    case kInputErrorNoSeed:
        return "Invalid input: Bad seed\n (Please enter the seed value presented by the remote "
               "system)";
    case kInputErrorNoPassPhrase:
        return "Invalid input: Bad password\n (Please enter your secret password)";
    default: return nullptr;
    }
}
