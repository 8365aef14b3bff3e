#include "shell/services/clipboard.h"

#include <openssl/crypto.h>

#include <cstdlib>
#include <cstring>

#include "shell/logic/clipboard_logic.h"

namespace {

bool inChain = false;
HWND nextViewer = nullptr; // the next window of the clipboard-viewer chain
// The copied list's timer, and the clipboard's sequence number once the list was on it.
UINT_PTR listTimer = 0;
DWORD listSequence = 0;

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
// each registered format, and with `fromMonitors` as one that monitors leave
// alone. The clipboard must be open.
void KeepOutOfHistory(bool fromMonitors) {
    const char* const names[] = {kHistoryFormat, kCloudFormat, kExcludeFromMonitorsFormat};
    for (const char* name : names) {
        if (name == kExcludeFromMonitorsFormat && !fromMonitors) continue;
        const UINT format = RegisterClipboardFormatA(name);
        HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, sizeof(DWORD));
        if (format == 0 || block == nullptr || SetClipboardData(format, block) == nullptr) {
            if (block != nullptr) GlobalFree(block);
        }
    }
}

// `size` bytes of text in `format` (CF_TEXT or CF_UNICODETEXT), and a NUL after them; a list
// also asks monitors to leave it alone.
ClipboardCopy CopyToClipboard(HWND owner, const void* text, std::size_t size, UINT format,
                              bool list) {
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, size + sizeof(wchar_t));
    if (block == nullptr) return ClipboardCopy::NoMemory;
    void* copy = GlobalLock(block);
    if (copy == nullptr) {
        GlobalFree(block);
        return ClipboardCopy::NotTaken;
    }
    std::memcpy(copy, text, size);
    GlobalUnlock(block);

    const bool opened = OpenClipboard(owner) != FALSE;
    bool done = false;
    if (opened) {
        EmptyClipboard();
        done = SetClipboardData(format, block) != nullptr;
        if (done) KeepOutOfHistory(list);
        // The clipboard holds its own copy now, and our block is freed at the close, uncleared.
        if (done && list && (copy = GlobalLock(block)) != nullptr) {
            OPENSSL_cleanse(copy, size);
            GlobalUnlock(block);
        }
        CloseClipboard();
    }
    if (!done) {
        if ((copy = GlobalLock(block)) != nullptr) {
            OPENSSL_cleanse(copy, size);
            GlobalUnlock(block);
        }
        GlobalFree(block);
    }
    return done ? ClipboardCopy::Done : ClipboardCopy::NotTaken;
}

// Empties the clipboard if it still holds the list; false when it could not be opened.
bool EmptyOfList() {
    // A copy made since is the user's.
    if (GetClipboardSequenceNumber() != listSequence) return true;
    if (!OpenClipboard(nullptr)) return false;
    EmptyClipboard();
    CloseClipboard();
    return true;
}

void CALLBACK ClearListOnTime(HWND, UINT, UINT_PTR, DWORD) {
    // Another program holds the clipboard open for a moment: try again shortly.
    if (!EmptyOfList()) {
        listTimer = SetTimer(nullptr, listTimer, kClipboardRetryMs, ClearListOnTime);
        return;
    }
    KillTimer(nullptr, listTimer);
    listTimer = 0;
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
    return CopyToClipboard(owner, text, length, CF_TEXT, false);
}

ClipboardCopy CopyListToClipboard(HWND owner, const wchar_t* text, std::size_t length) {
    const ClipboardCopy copy =
        CopyToClipboard(owner, text, length * sizeof(wchar_t), CF_UNICODETEXT, true);
    if (copy == ClipboardCopy::Done) {
        listSequence = GetClipboardSequenceNumber();
        listTimer = SetTimer(nullptr, listTimer, kListClipboardMs, ClearListOnTime);
    }
    return copy;
}

void ClearCopiedList() {
    if (listTimer == 0) return;
    KillTimer(nullptr, listTimer);
    listTimer = 0;
    for (int attempt = 0; attempt < 10 && !EmptyOfList(); ++attempt)
        Sleep(kClipboardRetryMs / 10);
}
