#pragma once
#include <cstdint>
#include <string>
#include <vector>

// Records and responses from an independent implementation.
struct SnkVector {
    const char* seed;
    const char* password;
    const char* record; // 31 bytes, hex
    const char* challenges[3];
    const char* responses[3];
};

inline const SnkVector kSnkVectors[] = {
    {"123 045 377 000 111 222 333 001",
     "secret pw",
     "3c6f106582fef2265483c468c9da85b8ea3d318ae4e06fba38e378083c475c",
     {"1234", "abc", "ABC"},
     {"342436fe", "70fcb944", "a0a9ebe3"}},
    {"001 002 003 004 005 006 007 010",
     "Tr0ub4dor&3",
     "97274aca2f093795e1e96875c31e645fd513087efb5a1bdadb4ebcbbf8874d",
     {"98765432", "987654321", "0"},
     {"c18e9fc6", "c18e9fc6", "2b7ad626"}},
    {"020 377 377 377 377 377 377 377",
     "x",
     "ef2b6d65b18e53aff2283ab24d3807ffedbe29b2a237c1369d7bb79c92d79c",
     {"12345678", nullptr, nullptr},
     {"8d4b1577", nullptr, nullptr}},
    {"018 377 377 377 377 377 377 377",
     "x",
     "ef286565b18e53af8410914172d35c3be19fb64c290488ebfc4eb9a4b69cd8",
     {"12345678", nullptr, nullptr},
     {"8d4b1577", nullptr, nullptr}},
};

inline std::vector<std::uint8_t> FromHex(const std::string& hex) {
    std::vector<std::uint8_t> bytes;
    for (std::size_t i = 0; i + 1 < hex.size(); i += 2) {
        bytes.push_back(static_cast<std::uint8_t>(std::stoul(hex.substr(i, 2), nullptr, 16)));
    }
    return bytes;
}

inline std::string ToHex(const std::uint8_t* bytes, std::size_t length) {
    static const char digits[] = "0123456789abcdef";
    std::string hex;
    for (std::size_t i = 0; i < length; ++i) {
        hex += digits[bytes[i] >> 4];
        hex += digits[bytes[i] & 15];
    }
    return hex;
}
