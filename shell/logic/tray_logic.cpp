#include "shell/logic/tray_logic.h"

#include "resources/resource.h"
#include "vantreth_version.h"

const char kTrayTip[] = VANTRETH_TITLE;

namespace {

unsigned LowWord(std::uintptr_t value) {
    return static_cast<unsigned>(value & 0xFFFF);
}

unsigned HighWord(std::uintptr_t value) {
    return static_cast<unsigned>((value >> 16) & 0xFFFF);
}

int SignedWord(unsigned word) {
    return static_cast<std::int16_t>(static_cast<std::uint16_t>(word));
}

} // namespace

IconNotice DecodeIconNotice(const IconMessage* messages, std::size_t count, unsigned iconId,
                            std::uintptr_t wParam, std::uintptr_t lParam) {
    IconNotice notice = {};
    const bool version4 = HighWord(lParam) == iconId;
    const unsigned message = version4 ? LowWord(lParam) : static_cast<unsigned>(lParam);
    for (std::size_t i = 0; i < count; ++i) {
        if (messages[i].message != message) continue;
        if (!version4 || !messages[i].firstFormOnly) notice.action = messages[i].action;
        break;
    }
    if (version4) {
        notice.hasAnchor = true;
        notice.x = SignedWord(LowWord(wParam));
        notice.y = SignedWord(HighWord(wParam));
    }
    return notice;
}

unsigned IconRetryDelayMs(unsigned attempt) {
    // 1, 2, 4 ... 64 seconds: 127 in all.
    constexpr unsigned kTries = 7;
    return attempt < kTries ? 1000u << attempt : 0;
}

const TrayMenuItem kTrayMenu[kTrayMenuItems] = {
    {IDM_ABOUT, "&About", false},
    {IDM_OPEN, "&Open", true},
    {IDM_OPTIONS, "O&ptions", false},
    {IDM_EXIT, "E&xit", false},
};

bool MenuFromKeyboard(const IconNotice& notice, int pointerX, int pointerY) {
    return notice.hasAnchor && (notice.x != pointerX || notice.y != pointerY);
}

int DownKeysToDefaultItem() {
    for (int i = 0; i < kTrayMenuItems; ++i) {
        if (kTrayMenu[i].isDefault) return i + 1;
    }
    return 0;
}
