#pragma once
#include <cstddef>
#include <cstdint>

// RFC 2289 folds only the ASCII letters: bytes above 127 mean nothing in particular to it.
inline char AsciiLower(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

// Writes `byte` as two lower-case hexadecimal digits at `out[at]` and ends the text there;
// returns where the next goes.
inline std::size_t WriteHex(std::uint8_t byte, char* out, std::size_t at) {
    constexpr char kDigits[] = "0123456789abcdef";
    out[at++] = kDigits[byte >> 4];
    out[at++] = kDigits[byte & 15];
    out[at] = '\0';
    return at;
}
