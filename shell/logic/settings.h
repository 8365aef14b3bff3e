#pragma once
#include <cstdint>

// The nine option values, named after their registry values. Flags: any
// non-zero byte is on. Times: seconds, 0..255.
struct Settings {
    std::uint8_t Clipboard;
    std::uint8_t Return;
    std::uint8_t ClearPass;
    std::uint8_t AutoDock;
    std::uint8_t DockTime;
    std::uint8_t SNK;
    std::uint8_t AutoDecr;
    std::uint8_t DecrTime;
    std::uint8_t Guard; // the sequences are remembered and checked before each answer
};
