#pragma once
// What the program holds: handles, memory and windows, read from outside, so that a run of
// many actions can be shown to leak none of them.
#include <windows.h>

#include "tests/e2e/program.h"

struct Figures {
    long handles;
    long long privateBytes;
    int windows;
    const char* handleSource;
    const char* memorySource;
};

bool ReadFigures(const Program& program, Figures* figures);
// One line, "WHO WHEN handles ...".
void PrintFigures(const char* who, const char* when, const Figures& figures);
