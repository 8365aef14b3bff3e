#include "shell/clipboard.h"

#include <openssl/crypto.h>

#include <cstdlib>
#include <cstring>

#include "shell/app_state.h"
#include "shell/recognise_challenge.h"
#include "shell/logic/clipboard_logic.h"
#include "shell/message_box.h"

namespace {

bool inChain = false;

// Returns a NUL-terminated copy of the clipboard's CF_TEXT, or nullptr, and
// its size in `size`. Another program's block need not end with a NUL, so the
// copy is one byte larger than the block and never reads past it.
char* CopyClipboardText(HWND dialog, SIZE_T* size) {
    if (!OpenClipboard(dialog)) {
        return nullptr;
    }
    char* copy = nullptr;
    HANDLE data = GetClipboardData(CF_TEXT);
    if (data != nullptr) {
        const SIZE_T blockSize = GlobalSize(data);
        copy = static_cast<char*>(std::malloc(blockSize + 1));
        if (copy != nullptr) {
            *size = blockSize + 1;
            const char* text = static_cast<const char*>(GlobalLock(data));
            CopyClipboardBlock(text, text != nullptr ? blockSize : 0, copy);
            if (text != nullptr) {
                GlobalUnlock(data);
            }
        }
    }
    CloseClipboard();
    return copy;
}

bool ExcludedFromMonitors() {
    const UINT marker = RegisterClipboardFormatA(kExcludeFromMonitorsFormat);
    return marker != 0 && IsClipboardFormatAvailable(marker);
}

HWND AsWindow(ChainWindow window) {
    return static_cast<HWND>(const_cast<void*>(window));
}

// Waits for a neighbour no longer than the bound: a hung one must not freeze us.
void ForwardToNextViewer(HWND target, UINT message, WPARAM wParam, LPARAM lParam) {
    if (target == nullptr) return;
    DWORD_PTR ignored = 0;
    SendMessageTimeoutA(target, message, wParam, lParam, SMTO_ABORTIFHUNG | SMTO_NORMAL,
                        kChainForwardTimeoutMs, &ignored);
}

// Marks the text as not for clipboard history or the cloud: a DWORD 0 under
// each registered format. The clipboard must be open.
void KeepOutOfHistory() {
    const char* const names[] = {kHistoryFormat, kCloudFormat};
    for (const char* name : names) {
        const UINT format = RegisterClipboardFormatA(name);
        HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, sizeof(DWORD));
        if (format == 0 || block == nullptr || SetClipboardData(format, block) == nullptr) {
            if (block != nullptr) GlobalFree(block);
        }
    }
}

} // namespace

void JoinClipboardChain(HWND dialog) {
    // The first WM_DRAWCLIPBOARD arrives inside this call, before the next
    // viewer is known, so it is not passed on.
    g_nextViewer = SetClipboardViewer(dialog);
    inChain = true;
}

void LeaveClipboardChain(HWND dialog) {
    if (!inChain) return;
    ChangeClipboardChain(dialog, g_nextViewer);
    inChain = false;
}

void OnDrawClipboard(HWND dialog, WPARAM wParam, LPARAM lParam) {
    if (g_settings.Clipboard != 0 && !ExcludedFromMonitors()) {
        SIZE_T size = 0;
        char* copy = CopyClipboardText(dialog, &size);
        if (copy != nullptr) {
            RecogniseChallenge(dialog, copy);
            OPENSSL_cleanse(copy, size);
            std::free(copy);
        }
    }
    ForwardToNextViewer(AsWindow(ChainForwardTarget(dialog, g_nextViewer)), WM_DRAWCLIPBOARD,
                        wParam, lParam);
}

void OnChangeCbChain(HWND dialog, WPARAM wParam, LPARAM lParam) {
    const ChainChange change = ChainChangeFor(dialog, g_nextViewer, reinterpret_cast<HWND>(wParam),
                                              reinterpret_cast<HWND>(lParam));
    g_nextViewer = AsWindow(change.next);
    ForwardToNextViewer(AsWindow(change.forwardTo), WM_CHANGECBCHAIN, wParam, lParam);
}

void CopyTextToClipboard(HWND owner, const char* text, std::size_t length) {
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, length + 1);
    if (block == nullptr) {
        ShowSystemError(owner, Message::ClipboardAlloc);
        return;
    }
    char* copy = static_cast<char*>(GlobalLock(block));
    if (copy == nullptr) {
        GlobalFree(block);
        return;
    }
    std::memcpy(copy, text, length);
    GlobalUnlock(block);

    const bool opened = OpenClipboard(owner) != FALSE;
    bool taken = false;
    if (opened) {
        EmptyClipboard();
        taken = SetClipboardData(CF_TEXT, block) != nullptr;
        if (taken) KeepOutOfHistory();
        CloseClipboard();
    }
    if (!taken) {
        if ((copy = static_cast<char*>(GlobalLock(block))) != nullptr) {
            OPENSSL_cleanse(copy, length);
            GlobalUnlock(block);
        }
        GlobalFree(block);
    }
}

void CopyResponseToClipboard(HWND dialog) {
    char text[kCopyBlockSize];
    const std::size_t length =
        BuildCopyText(g_response, sizeof g_response, g_settings.Return != 0, text);
    CopyTextToClipboard(dialog, text, length);
    OPENSSL_cleanse(text, sizeof text);
}
