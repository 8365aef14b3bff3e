#pragma once
#include <string>

// Reads a file of tests/data whole; false when it cannot be read.
bool ReadDataFile(const char* name, std::string* contents, std::string* path);
