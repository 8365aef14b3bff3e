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

BOOL CALLBACK CountNotice(HWND window, LPARAM lParam) {
    auto* search = reinterpret_cast<NoticeSearch*>(lParam);
    char name[32] = {};
    GetClassNameA(window, name, sizeof name);
    if (std::string(name) != TOOLTIPS_CLASSA || !IsWindowVisible(window)) return TRUE;
    if ((GetWindowLongA(window, GWL_STYLE) & TTS_BALLOON) == 0) return TRUE;
    if (search->first == nullptr) search->first = window;
    ++search->count;
    return TRUE;
}

NoticeSearch SearchNotices() {
    NoticeSearch search = {nullptr, 0};
    EnumWindows(CountNotice, reinterpret_cast<LPARAM>(&search));
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

bool AltIsDown() {
    return (GetAsyncKeyState(VK_MENU) & 0x8000) != 0;
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
    PostMessageA(program.dialog, WM_TRAYNOTIFY, TRAY_ICON_UID, NIN_BALLOONUSERCLICK);
}
