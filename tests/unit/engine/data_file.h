#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "engine/hash_kind.h"

// Reads a file of tests/data whole; false when it cannot be read.
bool ReadDataFile(const char* name, std::string* contents, std::string* path);

// A row of rfc2289-vectors.tsv, the seed as the RFC prints it.
struct Rfc2289Vector {
    HashKind kind; // the file's "md4", "md5" or "sha1"
    std::string passPhrase;
    std::string seed;
    std::uint32_t count;
    std::string hex;
    std::string words;
};
// All of its rows, in file order; fewer when the file cannot be read or a row is malformed.
std::vector<Rfc2289Vector> ReadRfc2289Vectors();
constexpr std::size_t kRfc2289VectorCount = 27;
