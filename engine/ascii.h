#pragma once

// RFC 2289 folds only the ASCII letters: bytes above 127 mean nothing in particular to it.
inline char AsciiLower(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}
