#pragma once
// What the program holds: handles, memory and windows, read from outside, so that a run of
// many actions can be shown to leak none of them.
#include <windows.h>

#include <string>
#include <vector>

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

// Which of `texts` stand anywhere in the program's memory, in ANSI or UTF-16: their indexes in
// `found`. False when the memory cannot be read.
bool TextsInMemory(const Program& program, const std::vector<std::string>& texts,
                   std::vector<size_t>* found);
