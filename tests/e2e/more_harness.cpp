#include "tests/e2e/more_harness.h"

#include <cstdio>
#include <map>

#include "resources/resource.h"

namespace {

const char* const kSettingNames[] = {"Clipboard", "Return", "ClearPass", "AutoDock",
                                     "DockTime",  "SNK",    "AutoDecr",  "DecrTime"};

std::string Hex(const std::string& bytes) {
    std::string text;
    char digits[3];
    for (unsigned char byte : bytes) {
        std::snprintf(digits, sizeof digits, "%02x", byte);
        text += digits;
    }
    return text;
}

std::string Describe(const std::map<std::string, std::pair<DWORD, std::string>>& values) {
    std::string text;
    for (const auto& value : values) {
        if (!text.empty()) text += ' ';
        text +=
            value.first + '=' + std::to_string(value.second.first) + ':' + Hex(value.second.second);
    }
    return text;
}

std::string Flag(const char* name, bool on) {
    return std::string(name) + (on ? " 1" : " 0");
}

std::string Time(const char* name, const std::string& text, bool enabled) {
    return std::string(name) + ' ' + text + (enabled ? "" : " (disabled)");
}

// The watcher's thread, window and count.
HANDLE g_watcherThread;
HANDLE g_watcherReady;
HWND g_watcher;
HWND g_watcherNext;
volatile LONG g_notices;
HANDLE g_watcherRelease; // not signalled while the watcher is held
volatile LONG g_watcherHangs;
// Bounds a hang, so that a test that fails cannot leave the driver stuck.
constexpr DWORD kLongestHangMs = 30000;

LRESULT CALLBACK WatcherProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_DRAWCLIPBOARD:
        InterlockedIncrement(&g_notices);
        if (WaitForSingleObject(g_watcherRelease, 0) == WAIT_TIMEOUT) {
            InterlockedExchange(&g_watcherHangs, 1);
            WaitForSingleObject(g_watcherRelease, kLongestHangMs);
            InterlockedExchange(&g_watcherHangs, 0);
        }
        if (g_watcherNext != nullptr) SendMessageA(g_watcherNext, message, wParam, lParam);
        return 0;
    case WM_CHANGECBCHAIN:
        if (reinterpret_cast<HWND>(wParam) == g_watcherNext)
            g_watcherNext = reinterpret_cast<HWND>(lParam);
        else if (g_watcherNext != nullptr)
            SendMessageA(g_watcherNext, message, wParam, lParam);
        return 0;
    case WM_CLOSE:
        ChangeClipboardChain(window, g_watcherNext);
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
    g_watcher = CreateWindowExA(0, windowClass.lpszClassName, "clipboard watcher", WS_POPUP, 0, 0,
                                0, 0, nullptr, nullptr, windowClass.hInstance, nullptr);
    if (g_watcher != nullptr) g_watcherNext = SetClipboardViewer(g_watcher);
    SetEvent(g_watcherReady);
    if (g_watcher == nullptr) return 1;
    MSG message;
    while (GetMessageA(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    return 0;
}

} // namespace

bool Handled(const Program& program) {
    DWORD_PTR ignored = 0;
    return SendMessageTimeoutA(program.dialog, WM_NULL, 0, 0, SMTO_NORMAL, kWaitMs, &ignored) != 0;
}

Settings DefaultSettings() {
    Settings settings = {};
    settings.Clipboard = 1;
    settings.Return = 1;
    settings.ClearPass = 1;
    settings.AutoDock = 1;
    settings.DockTime = 30;
    settings.SNK = 0;
    settings.AutoDecr = 1;
    settings.DecrTime = 1;
    return settings;
}

std::string DescribeKey() {
    HKEY key;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kSettingsKey, 0, KEY_READ, &key) != ERROR_SUCCESS)
        return "<no key>";
    std::map<std::string, std::pair<DWORD, std::string>> values;
    for (DWORD index = 0;; ++index) {
        char name[256];
        DWORD nameSize = sizeof name;
        BYTE data[4096];
        DWORD dataSize = sizeof data;
        DWORD type = 0;
        const LONG result =
            RegEnumValueA(key, index, name, &nameSize, nullptr, &type, data, &dataSize);
        if (result == ERROR_NO_MORE_ITEMS) break;
        if (result != ERROR_SUCCESS) {
            values["<unreadable>"] = {0, std::string()};
            break;
        }
        values[std::string(name, nameSize)] = {
            type, std::string(reinterpret_cast<const char*>(data), dataSize)};
    }
    RegCloseKey(key);
    return Describe(values);
}

std::string DescribeStored(const Settings& settings, const char* snkRecordHex) {
    const std::uint8_t bytes[] = {settings.Clipboard, settings.Return,   settings.ClearPass,
                                  settings.AutoDock,  settings.DockTime, settings.SNK,
                                  settings.AutoDecr,  settings.DecrTime};
    std::map<std::string, std::pair<DWORD, std::string>> values;
    for (int i = 0; i < 8; ++i)
        values[kSettingNames[i]] = {REG_BINARY, std::string(1, static_cast<char>(bytes[i]))};
    if (snkRecordHex != nullptr) values["SNK-S"] = {REG_BINARY, FromHex(snkRecordHex)};
    return Describe(values);
}

bool ForgetStoredSettings() {
    bool deleted = true;
    for (const char* name : kSettingNames)
        deleted = DeleteValue(name) && deleted;
    return deleted;
}

std::string FromHex(const char* hex) {
    std::string bytes;
    for (size_t i = 0; hex[i] != '\0' && hex[i + 1] != '\0'; i += 2) {
        unsigned value = 0;
        std::sscanf(hex + i, "%2x", &value);
        bytes += static_cast<char>(value);
    }
    return bytes;
}

HWND OpenOptionsWithButton(const Program& program) {
    if (!IsShown(program) && !ShowFromTray(program)) return nullptr;
    PostClick(program, IDC_OPTIONS);
    return WaitForDialog(program.processId, kOptionsCaption);
}

HWND OpenOptionsFromTray(const Program& program) {
    const HWND menu = OpenTrayMenu(program);
    if (menu == nullptr) return nullptr;
    ChooseMenuItemByKey(menu, 'p');
    return WaitForDialog(program.processId, kOptionsCaption);
}

std::string DescribeOptions(HWND options) {
    auto checked = [&](int id) { return IsChecked(GetDlgItem(options, id)); };
    auto enabled = [&](int edit, int label) {
        return IsEnabled(GetDlgItem(options, edit)) && IsEnabled(GetDlgItem(options, label));
    };
    return Flag("Clipboard", checked(IDC_OPT_CLIPBOARD)) + ", " +
           Flag("Return", checked(IDC_OPT_RETURN)) + ", " +
           Flag("ClearPass", checked(IDC_OPT_CLEARPASS)) + ", " +
           Flag("SNK", checked(IDC_OPT_SNK)) + ", " + Flag("AutoDock", checked(IDC_OPT_AUTODOCK)) +
           ", " +
           Time("DockTime", Text(GetDlgItem(options, IDC_OPT_DOCKTIME)),
                enabled(IDC_OPT_DOCKTIME, IDC_OPT_DOCKTIME_LABEL)) +
           ", " + Flag("AutoDecr", checked(IDC_OPT_AUTODECR)) + ", " +
           Time("DecrTime", Text(GetDlgItem(options, IDC_OPT_DECRTIME)),
                enabled(IDC_OPT_DECRTIME, IDC_OPT_DECRTIME_LABEL));
}

std::string DescribeOptionsFor(const Settings& settings) {
    return Flag("Clipboard", settings.Clipboard != 0) + ", " +
           Flag("Return", settings.Return != 0) + ", " +
           Flag("ClearPass", settings.ClearPass != 0) + ", " + Flag("SNK", settings.SNK != 0) +
           ", " + Flag("AutoDock", settings.AutoDock != 0) + ", " +
           Time("DockTime", std::to_string(settings.DockTime), settings.AutoDock != 0) + ", " +
           Flag("AutoDecr", settings.AutoDecr != 0) + ", " +
           Time("DecrTime", std::to_string(settings.DecrTime), settings.AutoDecr != 0);
}

bool SetDialogField(HWND dialog, int id, const char* text) {
    return SetText(GetDlgItem(dialog, id), text);
}

HWND PressForBox(HWND dialog, int button, DWORD processId, const char* caption) {
    PostClick(GetDlgItem(dialog, button));
    return WaitForDialog(processId, caption);
}

bool StartClipboardWatcher() {
    g_notices = 0;
    g_watcher = nullptr;
    g_watcherNext = nullptr;
    g_watcherReady = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    g_watcherRelease = CreateEventA(nullptr, TRUE, TRUE, nullptr);
    g_watcherThread = CreateThread(nullptr, 0, WatcherThread, nullptr, 0, nullptr);
    if (g_watcherThread == nullptr) return false;
    WaitForSingleObject(g_watcherReady, kWaitMs);
    return g_watcher != nullptr;
}

LONG ClipboardNotices() {
    return InterlockedCompareExchange(&g_notices, 0, 0);
}

HWND ClipboardWatcherWindow() {
    return g_watcher;
}

void HoldClipboardWatcher() {
    ResetEvent(g_watcherRelease);
}

void ReleaseClipboardWatcher() {
    SetEvent(g_watcherRelease);
}

bool ClipboardWatcherHangs() {
    return InterlockedCompareExchange(&g_watcherHangs, 0, 0) != 0;
}

void StopClipboardWatcher() {
    if (g_watcherThread == nullptr) return;
    ReleaseClipboardWatcher();
    if (g_watcher != nullptr) {
        DWORD_PTR ignored = 0;
        SendMessageTimeoutA(g_watcher, WM_CLOSE, 0, 0, SMTO_NORMAL, kWaitMs, &ignored);
    }
    WaitForSingleObject(g_watcherThread, kWaitMs);
    CloseHandle(g_watcherThread);
    CloseHandle(g_watcherReady);
    CloseHandle(g_watcherRelease);
    g_watcherThread = nullptr;
    g_watcher = nullptr;
}
