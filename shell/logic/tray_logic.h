#pragma once
// The tray icon's decisions, free of the platform.
#include <cstddef>
#include <cstdint>

extern const char kTrayTip[]; // the title

// What a notice from the icon asks of the program.
enum class TrayAction {
    None,
    ShowMain,   // a double-click, or a click on a notice
    OpenReady,  // chosen at the icon, by a click or by the keyboard: as the menu's Open does
    Menu,       // the menu, at the anchor where there is one, else at the mouse pointer
    NoticeGone, // a notice went away
};

// A message the icon's owner hears, and what it asks. The numbers are the platform's: the
// Win32 layer names them.
struct IconMessage {
    unsigned message;
    TrayAction action;
    // Acted on only in the first form. In version 4 the right button's press comes before
    // the context-menu message, and acting on both would open the menu twice.
    bool firstFormOnly;
};

// The icon's notice as the shell sends it. In version 4 the message is in the low word of
// lParam, the icon in its high word, and the anchor in wParam (x in the low word, y in the
// high, each signed); in the first form lParam is the message and wParam the icon. Both
// forms are read, whichever the shell agreed to.
struct IconNotice {
    TrayAction action;
    bool hasAnchor;
    int x;
    int y;
};
IconNotice DecodeIconNotice(const IconMessage* messages, std::size_t count, unsigned iconId,
                            std::uintptr_t wParam, std::uintptr_t lParam);

// The waits before each new try when adding the icon failed (the shell is not ready at
// logon): growing, about two minutes in all; 0 once the tries are over. A new taskbar
// starts them again.
unsigned IconRetryDelayMs(unsigned attempt);

struct TrayMenuItem {
    unsigned id;
    const char* text;
    bool isDefault; // what Enter on the open menu chooses, shown in bold
};

constexpr int kTrayMenuItems = 4;
extern const TrayMenuItem kTrayMenu[kTrayMenuItems]; // in menu order

// Whether the user opened the menu at the keyboard (the menu key at the icon): the shell then
// anchors it at the icon, where a click anchors it at the pointer.
bool MenuFromKeyboard(const IconNotice& notice, int pointerX, int pointerY);
// How many Down keys take a menu that opens with nothing highlighted to its default item, so
// that Enter chooses it.
int DownKeysToDefaultItem();
