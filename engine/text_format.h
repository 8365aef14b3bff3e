#pragma once
// Formatting into a fixed buffer. On Windows through the system's own printf: the program
// formats no floating point, and the C99 printf that the C++ library chooses there brings
// 25 KB of it into the image.
#include <cstdarg>
#include <cstddef>
#include <cstdio>

// Writes `pattern` with its values into `out` (`size` bytes, at least 1), cut to fit and always
// ending with a NUL. Returns the text's length, or -1 when it was cut.
[[gnu::format(printf, 3, 4)]] inline int FormatText(char* out, std::size_t size,
                                                    const char* pattern, ...) {
    std::va_list values;
    va_start(values, pattern);
#if defined(_WIN32)
    int length = _vsnprintf(out, size - 1, pattern, values);
    out[size - 1] = '\0';
#else
    int length = std::vsnprintf(out, size, pattern, values);
    if (length < 0) out[0] = '\0';
    if (length < 0 || static_cast<std::size_t>(length) >= size) length = -1;
#endif
    va_end(values);
    return length;
}
