#include "shell/services/clipboard.h"

#include <openssl/crypto.h>

#include <cstdlib>
#include <cstring>

#include "shell/logic/clipboard_logic.h"

namespace {

bool inChain = false;
HWND nextViewer = nullptr; // the next window of the clipboard-viewer chain

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

void JoinClipboardChain(HWND viewer) {
    // The first WM_DRAWCLIPBOARD arrives inside this call, before the next
    // viewer is known, so it is not passed on.
    nextViewer = SetClipboardViewer(viewer);
    inChain = true;
}

void LeaveClipboardChain(HWND viewer) {
    if (!inChain) return;
    ChangeClipboardChain(viewer, nextViewer);
    inChain = false;
}

ClipboardText ReadClipboardText(HWND viewer) {
    ClipboardText copied = {nullptr, 0};
    SIZE_T size = 0;
    if (!ExcludedFromMonitors()) copied.text = CopyClipboardText(viewer, &size);
    copied.size = copied.text != nullptr ? size : 0;
    return copied;
}

void FreeClipboardText(ClipboardText& copied) {
    if (copied.text == nullptr) return;
    OPENSSL_cleanse(copied.text, copied.size);
    std::free(copied.text);
    copied = ClipboardText{nullptr, 0};
}

void PassDrawClipboardOn(HWND viewer, WPARAM wParam, LPARAM lParam) {
    ForwardToNextViewer(AsWindow(ChainForwardTarget(viewer, nextViewer)), WM_DRAWCLIPBOARD, wParam,
                        lParam);
}

void OnChangeCbChain(HWND viewer, WPARAM wParam, LPARAM lParam) {
    const ChainChange change = ChainChangeFor(viewer, nextViewer, reinterpret_cast<HWND>(wParam),
                                              reinterpret_cast<HWND>(lParam));
    nextViewer = AsWindow(change.next);
    ForwardToNextViewer(AsWindow(change.forwardTo), WM_CHANGECBCHAIN, wParam, lParam);
}

ClipboardCopy CopyTextToClipboard(HWND owner, const char* text, std::size_t length) {
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, length + 1);
    if (block == nullptr) return ClipboardCopy::NoMemory;
    char* copy = static_cast<char*>(GlobalLock(block));
    if (copy == nullptr) {
        GlobalFree(block);
        return ClipboardCopy::NotTaken;
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
    return taken ? ClipboardCopy::Done : ClipboardCopy::NotTaken;
}
