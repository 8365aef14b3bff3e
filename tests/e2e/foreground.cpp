#include "tests/e2e/foreground.h"

#include <commctrl.h>
#include <shellapi.h>

#include <string>

#include "resources/resource.h"

namespace {

std::string BesideDriver(const char* fileName) {
    char path[MAX_PATH] = {};
    const DWORD length = GetModuleFileNameA(nullptr, path, sizeof path);
    std::string beside(path, length);
    const size_t slash = beside.find_last_of("\\/");
    return beside.substr(0, slash == std::string::npos ? 0 : slash + 1) + fileName;
}

struct NoticeSearch {
    HWND first;
    int count;
};

// The shell's balloon tooltips on screen.
NoticeSearch SearchNotices() {
    NoticeSearch search = {nullptr, 0};
    for (const HWND window : TopLevelWindows()) {
        if (!HasClass(window, TOOLTIPS_CLASSA) || !IsWindowVisible(window)) continue;
        if ((GetWindowLongA(window, GWL_STYLE) & TTS_BALLOON) == 0) continue;
        if (search.first == nullptr) search.first = window;
        ++search.count;
    }
    return search;
}

} // namespace

ScopedActivationVeto::ScopedActivationVeto() {
    module_ = LoadLibraryA(BesideDriver("activation_veto.dll").c_str());
    if (module_ == nullptr) return;
    const auto proc = reinterpret_cast<HOOKPROC>(
        reinterpret_cast<void (*)()>(GetProcAddress(module_, "VetoActivation")));
    if (proc != nullptr) hook_ = SetWindowsHookExA(WH_CBT, proc, module_, 0);
}

ScopedActivationVeto::~ScopedActivationVeto() {
    Lift();
    if (module_ != nullptr) FreeLibrary(module_);
}

void ScopedActivationVeto::Lift() {
    if (hook_ != nullptr) UnhookWindowsHookEx(hook_);
    hook_ = nullptr;
}

// Asked again until it holds: a window of the program that was activated just before may take
// the foreground back once the X server's focus events for it arrive.
bool BringToFront(HWND window) {
    return WaitUntil([&] {
        if (GetForegroundWindow() != window) SetForegroundWindow(window);
        return GetForegroundWindow() == window &&
               !WaitUntil([&] { return GetForegroundWindow() != window; }, kPollMs * 5);
    });
}

bool InFrontWithKeyboardIn(const Program& program, int id) {
    return IsShown(program) && GetForegroundWindow() == program.dialog &&
           FocusedWindow(program) == Control(program, id);
}

HWND FindNotice() {
    return SearchNotices().first;
}

int VisibleNotices() {
    return SearchNotices().count;
}

// The tooltip answers WM_GETTEXT with the text it shows; the system carries that across
// processes, where TTM_GETTEXT would need a buffer in the shell's.
std::string NoticeText(HWND notice) {
    return Text(notice);
}

std::string WaitForNoticeText(DWORD timeoutMs) {
    HWND notice = nullptr;
    if (!WaitUntil([&] { return (notice = FindNotice()) != nullptr; }, timeoutMs))
        return "<no notice>";
    return NoticeText(notice);
}

bool WaitForNotice(const std::string& text, std::string* seen, DWORD timeoutMs) {
    *seen = "<no notice>";
    return WaitUntil(
        [&] {
            const HWND notice = FindNotice();
            if (notice != nullptr) *seen = NoticeText(notice);
            return notice != nullptr && *seen == text;
        },
        timeoutMs);
}

bool NoNoticeWithin(DWORD ms) {
    return !WaitUntil([] { return FindNotice() != nullptr; }, ms);
}

void ClickNotice(const Program& program) {
    NotifyIcon(program, NIN_BALLOONUSERCLICK);
}

namespace {

// One watch at a time: the hook procedure has no context of its own.
volatile LONG keyEvents = 0;

LRESULT CALLBACK CountKey(int code, WPARAM wParam, LPARAM lParam) {
    if (code == HC_ACTION) InterlockedIncrement(&keyEvents);
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

// A low-level hook is called on the thread that set it, from that thread's message loop.
DWORD WINAPI KeyWatchThread(LPVOID parameter) {
    auto* hook = static_cast<std::atomic<HHOOK>*>(parameter);
    MSG message;
    PeekMessageA(&message, nullptr, 0, 0, PM_NOREMOVE);
    const HHOOK installed =
        SetWindowsHookExA(WH_KEYBOARD_LL, CountKey, GetModuleHandleA(nullptr), 0);
    *hook = installed;
    while (GetMessageA(&message, nullptr, 0, 0) > 0)
        DispatchMessageA(&message);
    if (installed != nullptr) UnhookWindowsHookEx(installed);
    return 0;
}

} // namespace

ScopedKeyWatch::ScopedKeyWatch() {
    keyEvents = 0;
    thread = CreateThread(nullptr, 0, KeyWatchThread, &hook, 0, &threadId);
    WaitUntil([&] { return hook != nullptr; }, 2000);
}

ScopedKeyWatch::~ScopedKeyWatch() {
    if (thread == nullptr) return;
    PostThreadMessageA(threadId, WM_QUIT, 0, 0);
    WaitForSingleObject(thread, kWaitMs);
    CloseHandle(thread);
}

LONG ScopedKeyWatch::Keys() const {
    return InterlockedCompareExchange(&keyEvents, 0, 0);
}

void PressKeysAtTheKeyboard(std::initializer_list<WORD> keys) {
    for (const WORD key : keys) {
        INPUT input[2] = {};
        input[0].type = input[1].type = INPUT_KEYBOARD;
        input[0].ki.wVk = input[1].ki.wVk = key;
        input[1].ki.dwFlags = KEYEVENTF_KEYUP;
        SendInput(2, input, sizeof input[0]);
    }
}
