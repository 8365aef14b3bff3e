#pragma once
#include <cstdint>

// The response algorithm of the main dialog; the values are fixed.
enum class HashKind : std::uint8_t { MD5 = 0, MD4 = 1, SHA1 = 2, SNK = 3 };
