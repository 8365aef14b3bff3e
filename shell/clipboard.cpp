#include <cstdlib>

#include "shell/app_state.h"
#include "shell/interfaces.h"
#include "shell/logic/clipboard_logic.h"
#include "shell/message_box.h"

void JoinClipboardChain(HWND dialog) {
    // The first WM_DRAWCLIPBOARD arrives inside this call, before the next
    // viewer is known, so it is not passed on.
    g_nextViewer = SetClipboardViewer(dialog);
}

void LeaveClipboardChain(HWND dialog) {
    ChangeClipboardChain(dialog, g_nextViewer);
}

// Returns a NUL-terminated copy of the clipboard's CF_TEXT, or nullptr.
// Another program's block need not end with a NUL, so the copy is one byte
// larger than the block and never reads past it.
static char* CopyClipboardText(HWND dialog) {
    if (!OpenClipboard(dialog)) {
        return nullptr;
    }
    char* copy = nullptr;
    HANDLE data = GetClipboardData(CF_TEXT);
    if (data != nullptr) {
        const SIZE_T size = GlobalSize(data);
        copy = static_cast<char*>(std::malloc(size + 1));
        if (copy != nullptr) {
            const char* text = static_cast<const char*>(GlobalLock(data));
            CopyClipboardBlock(text, text != nullptr ? size : 0, copy);
            if (text != nullptr) {
                GlobalUnlock(data);
            }
        }
    }
    CloseClipboard();
    return copy;
}

void OnDrawClipboard(HWND dialog, WPARAM wParam, LPARAM lParam) {
    char* copy = CopyClipboardText(dialog);
    if (copy != nullptr) {
        if (ShouldScanClipboard(g_settings)) {
            RecogniseChallenge(dialog, copy);
        }
        std::free(copy);
    }
    if (g_nextViewer != nullptr) {
        SendMessageA(g_nextViewer, WM_DRAWCLIPBOARD, wParam, lParam);
    }
}

void OnChangeCbChain(HWND, WPARAM wParam, LPARAM lParam) {
    if (reinterpret_cast<HWND>(wParam) == g_nextViewer) {
        g_nextViewer = reinterpret_cast<HWND>(lParam);
    }
    if (g_nextViewer != nullptr) {
        SendMessageA(g_nextViewer, WM_CHANGECBCHAIN, wParam, lParam);
    }
}

void CopyResponseToClipboard(HWND dialog) {
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, kCopyBlockSize);
    if (block == nullptr) {
        ShowSystemErrorBox("Error allocating memory for clipboard [0x%02x{%d}]");
        return;
    }
    char* text = static_cast<char*>(GlobalLock(block));
    if (text == nullptr) {
        GlobalFree(block);
        return;
    }
    BuildCopyText(g_response, sizeof g_response, g_settings.Return != 0, text);
    GlobalUnlock(block);

    const bool opened = OpenClipboard(dialog) != FALSE;
    bool taken = false;
    if (opened) {
        EmptyClipboard();
        taken = SetClipboardData(CF_TEXT, block) != nullptr;
        CloseClipboard();
    }
    if (!taken) {
        GlobalFree(block);
    }
}
