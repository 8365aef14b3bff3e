#pragma once
#include <windows.h>

inline bool Checked(HWND dialog, int button) {
    return IsDlgButtonChecked(dialog, button) == BST_CHECKED;
}
