#pragma once
#include <string>

// Reads a file of the shared folder whole; false when it cannot be read.
bool ReadSharedFile(const char* name, std::string* contents, std::string* path);
