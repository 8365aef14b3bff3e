#include "tests/e2e/clipboard.h"

#include <cstring>

#include "tests/e2e/program.h"

namespace {

bool SetClipboardBytes(UINT format, const void* data, size_t size) {
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, size);
    if (block == nullptr) return false;
    std::memcpy(GlobalLock(block), data, size);
    GlobalUnlock(block);
    if (SetClipboardData(format, block) != nullptr) return true;
    GlobalFree(block);
    return false;
}

// The text, and when `formatName` is given a DWORD 0 under that registered format, in one go.
bool PutClipboard(const void* data, size_t size, const char* formatName) {
    if (!WaitUntil([] { return OpenClipboard(nullptr) != FALSE; }, 2000)) return false;
    bool put = EmptyClipboard() && SetClipboardBytes(CF_TEXT, data, size);
    if (put && formatName != nullptr) {
        const DWORD zero = 0;
        put = SetClipboardBytes(RegisterClipboardFormatA(formatName), &zero, sizeof zero);
    }
    CloseClipboard();
    return put;
}

} // namespace

bool PutClipboardBytes(const void* data, size_t size) {
    return PutClipboard(data, size, nullptr);
}

bool PutClipboardText(const char* text) {
    return PutClipboardBytes(text, std::strlen(text) + 1);
}

bool PutClipboardTextMarked(const char* text, const char* formatName) {
    return PutClipboard(text, std::strlen(text) + 1, formatName);
}

bool ClipboardFormatDword(const char* formatName, DWORD* value) {
    const UINT format = RegisterClipboardFormatA(formatName);
    if (!WaitUntil([] { return OpenClipboard(nullptr) != FALSE; }, 2000)) return false;
    bool read = false;
    HANDLE block = GetClipboardData(format);
    if (block != nullptr && GlobalSize(block) >= sizeof(DWORD)) {
        const void* data = GlobalLock(block);
        if (data != nullptr) {
            std::memcpy(value, data, sizeof(DWORD));
            read = true;
            GlobalUnlock(block);
        }
    }
    CloseClipboard();
    return read;
}

bool ClipboardText(std::string* text) {
    if (!WaitUntil([] { return OpenClipboard(nullptr) != FALSE; }, 2000)) return false;
    bool read = false;
    HANDLE block = GetClipboardData(CF_TEXT);
    if (block != nullptr) {
        const char* data = static_cast<const char*>(GlobalLock(block));
        const size_t size = GlobalSize(block);
        if (data != nullptr) {
            size_t length = 0;
            while (length < size && data[length] != '\0')
                ++length;
            text->assign(data, length);
            read = true;
            GlobalUnlock(block);
        }
    }
    CloseClipboard();
    return read;
}

namespace {

// The watcher's thread, window and count.
HANDLE watcherThread;
HANDLE watcherReady;
HWND watcherWindow;
HWND watcherNext;
volatile LONG noticeCount;
HANDLE watcherRelease; // not signalled while the watcher is held
volatile LONG watcherHangs;
// Bounds a hang, so that a test that fails cannot leave the driver stuck.
constexpr DWORD kLongestHangMs = 30000;

LRESULT CALLBACK WatcherProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_DRAWCLIPBOARD:
        InterlockedIncrement(&noticeCount);
        if (WaitForSingleObject(watcherRelease, 0) == WAIT_TIMEOUT) {
            InterlockedExchange(&watcherHangs, 1);
            WaitForSingleObject(watcherRelease, kLongestHangMs);
            InterlockedExchange(&watcherHangs, 0);
        }
        if (watcherNext != nullptr) SendMessageA(watcherNext, message, wParam, lParam);
        return 0;
    case WM_CHANGECBCHAIN:
        if (reinterpret_cast<HWND>(wParam) == watcherNext)
            watcherNext = reinterpret_cast<HWND>(lParam);
        else if (watcherNext != nullptr)
            SendMessageA(watcherNext, message, wParam, lParam);
        return 0;
    case WM_CLOSE:
        ChangeClipboardChain(window, watcherNext);
        DestroyWindow(window);
        return 0;
    case WM_DESTROY: PostQuitMessage(0); return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

DWORD WINAPI WatcherThread(LPVOID) {
    WNDCLASSA windowClass = {};
    windowClass.lpfnWndProc = WatcherProc;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.lpszClassName = "VantrethE2eClipboardWatcher";
    RegisterClassA(&windowClass);
    watcherWindow = CreateWindowExA(0, windowClass.lpszClassName, "clipboard watcher", WS_POPUP, 0,
                                    0, 0, 0, nullptr, nullptr, windowClass.hInstance, nullptr);
    if (watcherWindow != nullptr) watcherNext = SetClipboardViewer(watcherWindow);
    SetEvent(watcherReady);
    if (watcherWindow == nullptr) return 1;
    MSG message;
    while (GetMessageA(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    return 0;
}

} // namespace

bool StartClipboardWatcher() {
    noticeCount = 0;
    watcherWindow = nullptr;
    watcherNext = nullptr;
    watcherReady = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    watcherRelease = CreateEventA(nullptr, TRUE, TRUE, nullptr);
    watcherThread = CreateThread(nullptr, 0, WatcherThread, nullptr, 0, nullptr);
    if (watcherThread == nullptr) return false;
    WaitForSingleObject(watcherReady, kWaitMs);
    return watcherWindow != nullptr;
}

LONG ClipboardNotices() {
    return InterlockedCompareExchange(&noticeCount, 0, 0);
}

HWND ClipboardWatcherWindow() {
    return watcherWindow;
}

void HoldClipboardWatcher() {
    ResetEvent(watcherRelease);
}

void ReleaseClipboardWatcher() {
    SetEvent(watcherRelease);
}

bool ClipboardWatcherHangs() {
    return InterlockedCompareExchange(&watcherHangs, 0, 0) != 0;
}

void StopClipboardWatcher() {
    if (watcherThread == nullptr) return;
    ReleaseClipboardWatcher();
    if (watcherWindow != nullptr) {
        DWORD_PTR ignored = 0;
        SendMessageTimeoutA(watcherWindow, WM_CLOSE, 0, 0, SMTO_NORMAL, kWaitMs, &ignored);
    }
    WaitForSingleObject(watcherThread, kWaitMs);
    CloseHandle(watcherThread);
    CloseHandle(watcherReady);
    CloseHandle(watcherRelease);
    watcherThread = nullptr;
    watcherWindow = nullptr;
}

bool CopyAndWaitForNotice(const std::string& text, bool withNul) {
    const LONG before = ClipboardNotices();
    if (!PutClipboardBytes(text.data(), text.size() + (withNul ? 1 : 0))) return false;
    return WaitUntil([&] { return ClipboardNotices() > before; });
}
