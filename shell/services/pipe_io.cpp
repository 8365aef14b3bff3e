#include "shell/services/pipe_io.h"

bool ReadExactly(HANDLE in, void* to, DWORD size) {
    auto* at = static_cast<unsigned char*>(to);
    while (size > 0) {
        DWORD got = 0;
        if (!ReadFile(in, at, size, &got, nullptr) || got == 0) return false;
        at += got;
        size -= got;
    }
    return true;
}

bool WriteExactly(HANDLE out, const void* from, DWORD size) {
    const auto* at = static_cast<const unsigned char*>(from);
    while (size > 0) {
        DWORD put = 0;
        if (!WriteFile(out, at, size, &put, nullptr) || put == 0) return false;
        at += put;
        size -= put;
    }
    return true;
}
