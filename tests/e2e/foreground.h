#pragma once
// What Windows does and Wine does not, played under Wine: the foreground that Windows refuses
// to a program in the background, and the notices that the shell shows for a tray icon.
#include <windows.h>

#include <atomic>
#include <initializer_list>
#include <string>

#include "tests/e2e/program.h"

// While it is installed, Vantreth's dialog cannot be activated, so SetForegroundWindow on it
// fails as it does on Windows for a program the user is not working with: a global CBT hook
// from activation_veto.dll, which the build puts beside the driver.
class ScopedActivationVeto {
  public:
    ScopedActivationVeto();
    ~ScopedActivationVeto();
    ScopedActivationVeto(const ScopedActivationVeto&) = delete;
    ScopedActivationVeto& operator=(const ScopedActivationVeto&) = delete;
    bool Installed() const { return hook_ != nullptr; }
    void Lift();

  private:
    HMODULE module_ = nullptr;
    std::atomic<HHOOK> hook_{nullptr};
};

// Makes `window`, of this driver, the foreground window, as the user's click into it would.
bool BringToFront(HWND window);
// The dialog is the foreground window, and the keyboard is in its control `id`.
bool InFrontWithKeyboardIn(const Program& program, int id);

// Counts the key events that reach the keyboard's input, from any program, while it lives: a
// low-level keyboard hook on a thread of its own, which pumps the messages the hook needs.
struct ScopedKeyWatch {
    ScopedKeyWatch();
    ~ScopedKeyWatch();
    bool Installed() const { return hook != nullptr; }
    LONG Keys() const;
    // Set by the watch's own thread; the atomic keeps the object from being copied.
    std::atomic<HHOOK> hook{nullptr};
    HANDLE thread = nullptr;
    DWORD threadId = 0;
};

// Keys pressed and released as at the keyboard: they go where the keyboard is.
void PressKeysAtTheKeyboard(std::initializer_list<WORD> keys);

// Notices: the shell shows each as a balloon tooltip of its own. Wine's shows one about two
// seconds after it was asked for, and restarts that wait when it is asked again.
constexpr DWORD kNoticeWaitMs = 10000;
// Long enough for a notice to have come, had one been asked for.
constexpr DWORD kNoNoticeMs = 4000;
HWND FindNotice();
int VisibleNotices();
std::string NoticeText(HWND notice);
// The text of the notice on screen once there is one; "<no notice>" when none came.
std::string WaitForNoticeText(DWORD timeoutMs = kNoticeWaitMs);
// Waits for a notice with exactly `text`; the last text seen goes to `seen`.
bool WaitForNotice(const std::string& text, std::string* seen, DWORD timeoutMs = kNoticeWaitMs);
bool NoNoticeWithin(DWORD ms = kNoNoticeMs);
// What the shell sends the icon's owner when the user clicks a notice; Wine's sends nothing.
void ClickNotice(const Program& program);
