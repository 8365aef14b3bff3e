#include "tests/e2e/program.h"

#include <shellapi.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "resources/resource.h"
#include "vantreth_version.h"
#include "tests/e2e/registry.h"

namespace {

char programPath[MAX_PATH];

constexpr DWORD kSendTimeoutMs = 5000;
constexpr UINT kGetMenuHandle = 0x01E1; // MN_GETHMENU

BOOL CALLBACK CollectTopLevel(HWND window, LPARAM lParam) {
    reinterpret_cast<std::vector<HWND>*>(lParam)->push_back(window);
    return TRUE;
}

// A window of the process with the class: with a caption, the one that carries it; without,
// a visible one.
HWND FindTopLevel(DWORD processId, const char* className, const char* caption, HWND exclude) {
    for (const HWND window : TopLevelWindows()) {
        if (window == exclude || !BelongsTo(window, processId)) continue;
        if (!HasClass(window, className)) continue;
        if (caption != nullptr ? Caption(window) == caption : IsWindowVisible(window) != FALSE)
            return window;
    }
    return nullptr;
}

struct ChildSearch {
    const char* text;
    HWND found;
};

BOOL CALLBACK MatchChildText(HWND window, LPARAM lParam) {
    ChildSearch* search = reinterpret_cast<ChildSearch*>(lParam);
    if (Text(window) == search->text) {
        search->found = window;
        return FALSE;
    }
    return TRUE;
}

BOOL CALLBACK FirstStaticText(HWND window, LPARAM lParam) {
    std::string* text = reinterpret_cast<std::string*>(lParam);
    if (!HasClass(window, "Static")) return TRUE;
    std::string candidate = Text(window);
    if (candidate.size() > text->size()) *text = candidate;
    return TRUE;
}

bool SendWithTimeout(HWND window, UINT message, WPARAM wParam, LPARAM lParam, DWORD_PTR* result) {
    DWORD_PTR ignored = 0;
    return SendMessageTimeoutA(window, message, wParam, lParam, SMTO_NORMAL, kSendTimeoutMs,
                               result != nullptr ? result : &ignored) != 0;
}

} // namespace

std::vector<HWND> TopLevelWindows() {
    std::vector<HWND> windows;
    EnumWindows(CollectTopLevel, reinterpret_cast<LPARAM>(&windows));
    return windows;
}

bool HasClass(HWND window, const char* className) {
    char name[64] = {};
    GetClassNameA(window, name, sizeof name);
    return std::strcmp(name, className) == 0;
}

bool BelongsTo(HWND window, DWORD processId) {
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    return owner == processId;
}

const ExitWay kExitButton = {"the Exit button",
                             [](const Program& program) { PostClick(program, IDC_EXIT); }};
const ExitWay kEscapeKey = {"the Escape key",
                            [](const Program& program) { PressKey(program.dialog, VK_ESCAPE); }};
const ExitWay kTrayExit = {"the tray menu", [](const Program& program) {
                               ChooseFromTrayMenuUntil(program, 'x',
                                                       [&] { return !StillRunning(program); });
                           }};
const ExitWay kEndOfSession = {"the end of the session", [](const Program& program) {
                                   DWORD_PTR agreed = 0;
                                   SendWithTimeout(program.dialog, WM_QUERYENDSESSION, 0, 0,
                                                   &agreed);
                                   SendWithTimeout(program.dialog, WM_ENDSESSION, TRUE, 0, nullptr);
                               }};

void SetProgramPath(const char* path) {
    size_t at = 0;
    if (path[0] == '/') {
        programPath[at++] = 'Z';
        programPath[at++] = ':';
    }
    for (size_t i = 0; path[i] != '\0' && at + 1 < sizeof programPath; ++i)
        programPath[at++] = path[i] == '/' ? '\\' : path[i];
    programPath[at] = '\0';
}

const char* ProgramPath() {
    return programPath;
}

void KillRunningInstances() {
    for (int attempt = 0; attempt < 20; ++attempt) {
        // Only the program's own dialog: a foreign window with the title may be ours.
        HWND window = FindWindowA("#32770", VANTRETH_TITLE);
        if (window == nullptr) return;
        DWORD processId = 0;
        GetWindowThreadProcessId(window, &processId);
        HANDLE process = OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, processId);
        if (process != nullptr) {
            TerminateProcess(process, 1);
            WaitForSingleObject(process, kWaitMs);
            CloseHandle(process);
        }
        WaitUntil([&] { return !IsWindow(window); }, 2000);
    }
}

bool LaunchProgram(Program* program) {
    char commandLine[MAX_PATH + 2];
    commandLine[0] = '"';
    lstrcpynA(commandLine + 1, programPath, MAX_PATH);
    lstrcatA(commandLine, "\"");
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info = {};
    *program = Program{};
    if (!CreateProcessA(programPath, commandLine, nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startup, &info))
        return false;
    CloseHandle(info.hThread);
    program->process = info.hProcess;
    program->processId = info.dwProcessId;
    return true;
}

bool WaitForMainDialog(Program* program) {
    return WaitUntil(
        [&] { return (program->dialog = FindMainDialog(program->processId)) != nullptr; });
}

bool StartProgram(Program* program) {
    KillRunningInstances();
    return LaunchProgram(program) && WaitForMainDialog(program) &&
           WaitUntil([&] { return IsDocked(*program); });
}

bool StartProgramWith(const Settings& settings, Program* program, const char* snkRecordHex) {
    KillRunningInstances();
    return DeleteSettingsKey() && DeleteSequences() &&
           WriteStoredSettings(settings, snkRecordHex) && StartProgram(program);
}

bool StartShown(Program* program, const Settings& settings) {
    return StartProgramWith(settings, program) && ShowFromTray(*program);
}

bool WaitForExit(HANDLE process, DWORD timeoutMs, DWORD* exitCode) {
    if (WaitForSingleObject(process, timeoutMs) != WAIT_OBJECT_0) return false;
    return GetExitCodeProcess(process, exitCode) != 0;
}

bool RunSecondStart(DWORD* exitCode) {
    Program second;
    if (!LaunchProgram(&second)) return false;
    const bool exited = WaitForExit(second.process, kWaitMs, exitCode);
    if (!exited) TerminateProcess(second.process, 1);
    CloseHandle(second.process);
    return exited;
}

namespace {

// The whole of a small Linux file as Wine's drive Z: shows it; "" when it cannot be read.
std::string ReadLinuxFile(const std::string& path) {
    const std::string windowsPath = "Z:" + path;
    HANDLE file = CreateFileA(windowsPath.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                              OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return "";
    std::string content;
    char chunk[4096];
    DWORD read = 0;
    while (ReadFile(file, chunk, sizeof chunk, &read, nullptr) && read > 0)
        content.append(chunk, read);
    CloseHandle(file);
    return content;
}

// The Linux process that runs our instance: its command line is the program's path as Wine
// gives it, and it runs in our Wine prefix (other prefixes may run the same file).
std::string LinuxProcessDirectory() {
    const char* prefix = std::getenv("WINEPREFIX");
    const std::string ourPrefix = std::string("WINEPREFIX=") + (prefix != nullptr ? prefix : "");
    WIN32_FIND_DATAA entry;
    HANDLE search = FindFirstFileA("Z:\\proc\\*", &entry);
    if (search == INVALID_HANDLE_VALUE) return "";
    std::string found;
    do {
        if (entry.cFileName[0] < '1' || entry.cFileName[0] > '9') continue;
        const std::string directory = std::string("/proc/") + entry.cFileName;
        std::string commandLine = ReadLinuxFile(directory + "/cmdline");
        commandLine = commandLine.c_str(); // the first argument
        const size_t slash = commandLine.find_last_of("\\/");
        const std::string name = slash == std::string::npos ? "" : commandLine.substr(slash + 1);
        if (_stricmp(name.c_str(), VANTRETH_FILE_NAME) != 0) continue;
        const std::string environment = '\0' + ReadLinuxFile(directory + "/environ");
        if (environment.find('\0' + ourPrefix + '\0') == std::string::npos) continue;
        found = directory;
    } while (found.empty() && FindNextFileA(search, &entry));
    FindClose(search);
    return found;
}

} // namespace

double CpuSeconds(const Program& program) {
    static std::string directory;
    static DWORD directoryFor = 0;
    if (directoryFor != program.processId || ReadLinuxFile(directory + "/stat").empty()) {
        directory = LinuxProcessDirectory();
        directoryFor = program.processId;
    }
    const std::string stat = ReadLinuxFile(directory + "/stat");
    // After the command name in parentheses: state is field 3, utime and stime 14 and 15.
    const size_t close = stat.rfind(')');
    if (directory.empty() || close == std::string::npos) return -1;
    unsigned long long user = 0, system = 0;
    if (std::sscanf(stat.c_str() + close + 1,
                    " %*c %*d %*d %*d %*d %*d %*u %*u %*u %*u %*u %llu %llu", &user,
                    &system) != 2) {
        return -1;
    }
    // Linux counts in clock ticks of 1/100 s (USER_HZ) on every architecture Wine runs on.
    return static_cast<double>(user + system) / 100.0;
}

bool StillRunning(const Program& program) {
    return WaitForSingleObject(program.process, 0) == WAIT_TIMEOUT;
}

void StopProgram(Program* program) {
    if (program->process != nullptr) {
        if (WaitForSingleObject(program->process, 0) == WAIT_TIMEOUT && IsWindow(program->dialog)) {
            PostMessageA(program->dialog, WM_COMMAND, IDC_EXIT, 0);
            WaitForSingleObject(program->process, 3000);
        }
        if (WaitForSingleObject(program->process, 0) == WAIT_TIMEOUT) {
            TerminateProcess(program->process, 1);
            WaitForSingleObject(program->process, kWaitMs);
        }
        CloseHandle(program->process);
    }
    *program = Program{};
    KillRunningInstances();
}

HWND FindMainDialog(DWORD processId) {
    return FindTopLevel(processId, "#32770", VANTRETH_TITLE, nullptr);
}

struct ForeignWindowState {
    const char* title;
    bool dialogClass;
    HANDLE ready;
    HWND window;
    WNDPROC classProcedure; // the dialog class's, for a dialog-class window
    volatile LONG showRequests;
};

namespace {

LRESULT CALLBACK ForeignWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* state = reinterpret_cast<ForeignWindowState*>(GetWindowLongPtrA(window, GWLP_USERDATA));
    if (message == WM_SHOWMAIN && state != nullptr) InterlockedIncrement(&state->showRequests);
    // A terminal keeps a lone ALT to itself: no system menu opens for it.
    if (message == WM_SYSCOMMAND && (wParam & 0xFFF0) == SC_KEYMENU) return 0;
    // A dialog-class window would only cancel: it must go as any other.
    if (message == WM_CLOSE) return DestroyWindow(window) ? 0 : 1;
    if (message == WM_DESTROY) PostQuitMessage(0);
    if (state != nullptr && state->classProcedure != nullptr)
        return CallWindowProcA(state->classProcedure, window, message, wParam, lParam);
    return DefWindowProcA(window, message, wParam, lParam);
}

DWORD WINAPI ForeignWindowThread(LPVOID parameter) {
    auto* state = static_cast<ForeignWindowState*>(parameter);
    WNDCLASSA windowClass = {};
    windowClass.lpfnWndProc = ForeignWindowProc;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.lpszClassName = "VantrethE2eForeignWindow";
    RegisterClassA(&windowClass);
    state->window = CreateWindowExA(0, state->dialogClass ? "#32770" : windowClass.lpszClassName,
                                    state->title, WS_OVERLAPPEDWINDOW, 0, 0, 200, 100, nullptr,
                                    nullptr, windowClass.hInstance, nullptr);
    if (state->window != nullptr) {
        SetWindowLongPtrA(state->window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(state));
        if (state->dialogClass)
            state->classProcedure = reinterpret_cast<WNDPROC>(SetWindowLongPtrA(
                state->window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(ForeignWindowProc)));
        ShowWindow(state->window, SW_SHOWNOACTIVATE);
    }
    SetEvent(state->ready);
    if (state->window == nullptr) return 1;
    MSG message;
    while (GetMessageA(&message, nullptr, 0, 0) > 0)
        DispatchMessageA(&message);
    return 0;
}

} // namespace

ScopedForeignWindow::ScopedForeignWindow(const char* title, bool dialogClass)
    : state_(new ForeignWindowState{title, dialogClass, CreateEventA(nullptr, TRUE, FALSE, nullptr),
                                    nullptr, nullptr, 0}) {
    thread_ = CreateThread(nullptr, 0, ForeignWindowThread, state_, 0, nullptr);
    if (thread_ != nullptr) WaitForSingleObject(state_->ready, kWaitMs);
    window = state_->window;
}

ScopedForeignWindow::~ScopedForeignWindow() {
    if (window != nullptr) PostMessageA(window, WM_CLOSE, 0, 0);
    if (thread_ != nullptr) {
        WaitForSingleObject(thread_, kWaitMs);
        CloseHandle(thread_);
    }
    CloseHandle(state_->ready);
    delete state_;
}

LONG ScopedForeignWindow::ShowRequests() const {
    return InterlockedCompareExchange(&state_->showRequests, 0, 0);
}

bool IsDocked(const Program& program) {
    return IsWindow(program.dialog) && !IsWindowVisible(program.dialog) &&
           TrayIconPresent(program.dialog);
}

bool StaysDocked(const Program& program) {
    return IsDocked(program) && !WaitUntil([&] { return !IsDocked(program); }, kSettleMs);
}

bool IsShown(const Program& program) {
    return IsWindow(program.dialog) && IsWindowVisible(program.dialog);
}

// The shell accepts a modification only for an icon it holds; an empty one changes nothing.
namespace {

bool TrayIconCall(HWND dialog, DWORD call) {
    NOTIFYICONDATAA data = {};
    data.cbSize = NOTIFYICONDATAA_V1_SIZE;
    data.hWnd = dialog;
    data.uID = TRAY_ICON_UID;
    data.uFlags = 0;
    return Shell_NotifyIconA(call, &data) != FALSE;
}

} // namespace

bool TrayIconPresent(HWND dialog) {
    return TrayIconCall(dialog, NIM_MODIFY);
}

bool MakeTaskbarAnew(HWND dialog) {
    if (!TrayIconCall(dialog, NIM_DELETE) || TrayIconPresent(dialog)) return false;
    const UINT taskbarCreated = RegisterWindowMessageA("TaskbarCreated");
    return taskbarCreated != 0 && SendNotifyMessageA(HWND_BROADCAST, taskbarCreated, 0, 0);
}

void NotifyIcon(const Program& program, UINT message) {
    PostMessageA(program.dialog, WM_TRAYNOTIFY, TRAY_ICON_UID, message);
}

void NotifyIconVersion4(const Program& program, UINT message, int x, int y) {
    PostMessageA(program.dialog, WM_TRAYNOTIFY, MAKEWPARAM(x, y),
                 MAKELPARAM(message, TRAY_ICON_UID));
}

bool ShowFromTray(const Program& program) {
    NotifyIcon(program, WM_LBUTTONDBLCLK);
    return WaitUntil([&] { return IsShown(program); });
}

bool Handled(const Program& program) {
    return SendWithTimeout(program.dialog, WM_NULL, 0, 0, nullptr);
}

HWND FocusedWindow(const Program& program) {
    GUITHREADINFO info = {};
    info.cbSize = sizeof info;
    const DWORD thread = GetWindowThreadProcessId(program.dialog, nullptr);
    if (thread == 0 || !GetGUIThreadInfo(thread, &info)) return nullptr;
    return info.hwndFocus;
}

HWND Control(const Program& program, int id) {
    return GetDlgItem(program.dialog, id);
}

std::string Text(HWND window) {
    char text[4096] = {};
    DWORD_PTR length = 0;
    if (!SendWithTimeout(window, WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text), &length))
        return "<no answer>";
    return std::string(text, length < sizeof text ? length : sizeof text - 1);
}

bool SetText(HWND window, const char* text) {
    DWORD_PTR result = 0;
    return SendWithTimeout(window, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text), &result) &&
           result != 0;
}

bool SetField(HWND dialog, int id, const char* text) {
    return SetText(GetDlgItem(dialog, id), text);
}

bool SetField(const Program& program, int id, const char* text) {
    return SetField(program.dialog, id, text);
}

std::string Field(const Program& program, int id) {
    return Text(Control(program, id));
}

bool Click(HWND button) {
    return button != nullptr && SendWithTimeout(button, BM_CLICK, 0, 0, nullptr);
}

bool Click(const Program& program, int id) {
    return Click(Control(program, id));
}

void PostClick(HWND button) {
    PostMessageA(button, BM_CLICK, 0, 0);
}

void PostClick(const Program& program, int id) {
    PostClick(Control(program, id));
}

void ClickInto(HWND control) {
    PostMessageA(control, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(2, 2));
    PostMessageA(control, WM_LBUTTONUP, 0, MAKELPARAM(2, 2));
}

void PressKey(HWND window, UINT virtualKey) {
    const UINT scan = MapVirtualKeyA(virtualKey, 0);
    PostMessageA(window, WM_KEYDOWN, virtualKey, 1 | (scan << 16));
    PostMessageA(window, WM_KEYUP, virtualKey, 1 | (scan << 16) | 0xC0000000u);
}

void TypeChar(HWND window, char character) {
    PostMessageA(window, WM_CHAR, static_cast<unsigned char>(character), 1);
}

bool IsChecked(HWND button) {
    DWORD_PTR state = 0;
    return SendWithTimeout(button, BM_GETCHECK, 0, 0, &state) && state == BST_CHECKED;
}

bool IsEnabled(HWND window) {
    return IsWindowEnabled(window) != FALSE;
}

int ProgressPercent(const std::string& response) {
    int percent = -1;
    if (std::sscanf(response.c_str(), "%d", &percent) != 1) return -1;
    return response == std::to_string(percent) + " %" ? percent : -1;
}

bool StartLongCount(const Program& program, int radio, const char* count) {
    if (!EnterChallenge(program, radio, count, "test", "This is a test.")) return false;
    PostClick(program, IDC_COMPUTE);
    return WaitUntil([&] { return ProgressPercent(Field(program, IDC_RESPONSE)) >= 0; });
}

std::string WaitForWords(const Program& program, DWORD timeoutMs) {
    std::string response;
    const bool came = WaitUntil(
        [&] {
            response = Field(program, IDC_RESPONSE);
            return !response.empty() && response != "<no answer>" && ProgressPercent(response) < 0;
        },
        timeoutMs);
    return came ? response : "<no words>";
}

Outcome PressOk(const Program& program) {
    Outcome outcome;
    const std::string before = Field(program, IDC_RESPONSE);
    PostClick(program, IDC_COMPUTE);
    HWND box = nullptr;
    WaitUntil([&] {
        box = FindAnyBox(program);
        if (box != nullptr) return true;
        outcome.response = Field(program, IDC_RESPONSE);
        return !outcome.response.empty() && outcome.response != before &&
               ProgressPercent(outcome.response) < 0;
    });
    if (box != nullptr) {
        outcome.boxCaption = Caption(box);
        outcome.boxText = BoxText(box);
        outcome.responseUnderBox = Field(program, IDC_RESPONSE);
        outcome.copyUnderBox = IsEnabled(Control(program, IDC_COPY));
        CloseBox(box, IDOK);
        outcome.response = Field(program, IDC_RESPONSE);
    }
    return outcome;
}

bool EnterChallenge(const Program& program, int radioId, const char* count, const char* seed,
                    const char* passPhrase) {
    return Click(program, radioId) && SetField(program, IDC_COUNT, count) &&
           SetField(program, IDC_SEED, seed) && SetField(program, IDC_PASSPHRASE, passPhrase);
}

bool NoResponseLeft(const Program& program) {
    return WaitUntil([&] {
        return Field(program, IDC_RESPONSE).empty() && !IsEnabled(Control(program, IDC_COPY));
    });
}

Outcome AnswerSnk(const Program& program, const char* challenge, const char* password) {
    if (!Click(program, IDC_SNK) || !IsChecked(Control(program, IDC_SNK)) ||
        !SetField(program, IDC_SEED, challenge) || !SetField(program, IDC_PASSPHRASE, password))
        return Outcome{"<not in SNK mode>", "", "", "", false};
    return PressOk(program);
}

bool EnterSnkMode(const Program& program) {
    if (!ShowFromTray(program) ||
        !WaitUntil([&] { return IsEnabled(Control(program, IDC_SNK)); }) || !Handled(program))
        return false;
    PostClick(program, IDC_SNK);
    return WaitUntil([&] {
        return IsChecked(Control(program, IDC_SNK)) &&
               Field(program, IDC_CHALLENGE_LABEL) == "SNK Challange";
    });
}

int RadioFor(HashKind kind) {
    switch (kind) {
    case HashKind::MD4: return IDC_MD4;
    case HashKind::MD5: return IDC_MD5;
    case HashKind::SHA1: return IDC_SHA1;
    case HashKind::SNK: return IDC_SNK;
    }
    return 0;
}

// Via the window manager's own copy: no message reaches the program.
std::string Caption(HWND window) {
    char text[256] = {};
    GetWindowTextA(window, text, sizeof text);
    return text;
}

HWND FindDialog(DWORD processId, const char* caption) {
    HWND found = FindTopLevel(processId, "#32770", caption, nullptr);
    return found != nullptr && IsWindowVisible(found) ? found : nullptr;
}

int CountDialogs(DWORD processId, const char* caption) {
    int count = 0;
    for (const HWND window : TopLevelWindows()) {
        if (BelongsTo(window, processId) && HasClass(window, "#32770") && IsWindowVisible(window) &&
            Caption(window) == caption)
            ++count;
    }
    return count;
}

HWND WaitForDialog(DWORD processId, const char* caption, DWORD timeoutMs) {
    HWND found = nullptr;
    WaitUntil([&] { return (found = FindDialog(processId, caption)) != nullptr; }, timeoutMs);
    return found;
}

HWND FindAnyBox(const Program& program) {
    return FindTopLevel(program.processId, "#32770", nullptr, program.dialog);
}

std::string BoxText(HWND box) {
    HWND text = GetDlgItem(box, 0xFFFF);
    if (text != nullptr) return Text(text);
    std::string longest;
    EnumChildWindows(box, FirstStaticText, reinterpret_cast<LPARAM>(&longest));
    return longest;
}

bool HasChildWithText(HWND parent, const char* text) {
    ChildSearch search = {text, nullptr};
    EnumChildWindows(parent, MatchChildText, reinterpret_cast<LPARAM>(&search));
    return search.found != nullptr;
}

bool CloseBox(HWND box, int buttonId) {
    HWND button = GetDlgItem(box, buttonId);
    if (button != nullptr)
        PostMessageA(button, BM_CLICK, 0, 0);
    else
        PostMessageA(box, WM_COMMAND, MAKEWPARAM(buttonId, BN_CLICKED), 0);
    return WaitForGone(box);
}

bool WaitForGone(HWND window, DWORD timeoutMs) {
    return WaitUntil([&] { return !IsWindow(window) || !IsWindowVisible(window); }, timeoutMs);
}

HWND PressForBox(HWND dialog, int button, DWORD processId, const char* caption) {
    PostClick(GetDlgItem(dialog, button));
    return WaitForDialog(processId, caption);
}

std::string PressForBoxText(HWND dialog, int button, DWORD processId, const char* caption) {
    const HWND box = PressForBox(dialog, button, processId, caption);
    if (box == nullptr) return "<no box>";
    const std::string text = BoxText(box);
    return CloseBox(box, IDOK) ? text : "<box stayed: " + text + ">";
}

HWND WaitForTrayMenu(const Program& program) {
    HWND menu = nullptr;
    WaitUntil([&] {
        menu = FindTopLevel(program.processId, "#32768", nullptr, nullptr);
        return menu != nullptr;
    });
    return menu;
}

HWND OpenTrayMenu(const Program& program, const POINT* anchor) {
    for (int attempt = 0; attempt < 3; ++attempt) {
        if (anchor != nullptr) {
            NotifyIconVersion4(program, WM_CONTEXTMENU, anchor->x, anchor->y);
        } else {
            NotifyIcon(program, WM_RBUTTONDOWN);
        }
        const HWND menu = WaitForTrayMenu(program);
        if (menu != nullptr && !WaitForGone(menu, kSettleMs)) return menu;
    }
    return nullptr;
}

int ReadMenu(HWND menuWindow, MenuItem* items, int capacity) {
    DWORD_PTR handle = 0;
    if (!SendWithTimeout(menuWindow, kGetMenuHandle, 0, 0, &handle) || handle == 0) return -1;
    HMENU menu = reinterpret_cast<HMENU>(handle);
    const int count = GetMenuItemCount(menu);
    if (count < 0) return -1;
    for (int i = 0; i < count && i < capacity; ++i) {
        items[i].id = GetMenuItemID(menu, i);
        items[i].text[0] = '\0';
        GetMenuStringA(menu, i, items[i].text, sizeof items[i].text, MF_BYPOSITION);
    }
    return count;
}

void ChooseMenuItem(HWND menuWindow, int position) {
    for (int i = 0; i <= position; ++i)
        PressKey(menuWindow, VK_DOWN);
    PressKey(menuWindow, VK_RETURN);
}

void ChooseMenuItemByKey(HWND menuWindow, char key) {
    TypeChar(menuWindow, key);
}

void DismissMenu(HWND menuWindow) {
    PressKey(menuWindow, VK_ESCAPE);
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

bool FillEnrolment(HWND enrol, const char* seed, const char* password) {
    return SetField(enrol, IDC_SNK_SEED, seed) && SetField(enrol, IDC_SNK_PASSWORD, password) &&
           SetField(enrol, IDC_SNK_CONFIRM, password);
}

HWND ConfirmOptions(const Program& program, HWND options, int reconfigure, bool keepEnrolment,
                    std::string* met) {
    PostClick(GetDlgItem(options, IDOK));
    const DWORD start = GetTickCount();
    while (IsWindow(options) && IsWindowVisible(options) && GetTickCount() - start < kWaitMs) {
        const HWND box = FindAnyBox(program);
        const std::string title = box != nullptr ? Caption(box) : "";
        if (box == nullptr || title == kOptionsCaption) {
            Sleep(kPollMs);
            continue;
        }
        const bool enrolment = title == kSnkEnrolCaption;
        if (met != nullptr) *met += "[" + title + "] " + (enrolment ? "" : BoxText(box)) + "\n";
        if (enrolment && keepEnrolment) return box;
        const int button = title == "WARNING" ? reconfigure : enrolment ? IDCANCEL : IDOK;
        if (!CloseBox(box, button)) break;
    }
    return nullptr;
}

HWND OpenEnrolment(const Program& program) {
    const HWND options = OpenOptionsWithButton(program);
    if (options == nullptr) return nullptr;
    if (!IsChecked(GetDlgItem(options, IDC_OPT_SNK)) && !Click(GetDlgItem(options, IDC_OPT_SNK)))
        return nullptr;
    return ConfirmOptions(program, options, IDYES, true);
}

bool EnsureSnkFeatures(const Program& program, std::string* met) {
    if (!ShowFromTray(program)) return false;
    if (WaitUntil([&] { return IsEnabled(Control(program, IDC_SNK)); }, kSettleMs)) return true;
    const HWND options = OpenOptionsWithButton(program);
    if (options == nullptr) return false;
    if (!IsChecked(GetDlgItem(options, IDC_OPT_SNK))) Click(GetDlgItem(options, IDC_OPT_SNK));
    ConfirmOptions(program, options, IDNO, false, met);
    return ShowFromTray(program) && WaitUntil([&] { return IsEnabled(Control(program, IDC_SNK)); });
}

namespace {

// "Name 1" for a flag; "Name 30" for a time, with what of its edit and label is disabled.
std::string DescribeRow(const SettingRow& row, const std::string& value, bool editEnabled,
                        bool labelEnabled) {
    return std::string(row.name) + ' ' + value + (editEnabled ? "" : " (edit disabled)") +
           (labelEnabled ? "" : " (label disabled)");
}

} // namespace

std::string DescribeOptions(HWND options) {
    std::string text;
    for (const SettingRow& row : kSettingRows) {
        const HWND control = GetDlgItem(options, row.control);
        if (!text.empty()) text += ", ";
        if (row.enabledBy == nullptr)
            text += DescribeRow(row, IsChecked(control) ? "1" : "0", true, true);
        else
            text += DescribeRow(row, Text(control), IsEnabled(control),
                                IsEnabled(GetDlgItem(options, row.label)));
    }
    return text;
}

std::string DescribeOptionsFor(const Settings& settings) {
    std::string text;
    for (const SettingRow& row : kSettingRows) {
        if (!text.empty()) text += ", ";
        if (row.enabledBy == nullptr) {
            text += DescribeRow(row, settings.*row.field != 0 ? "1" : "0", true, true);
        } else {
            const bool enabled = settings.*row.enabledBy != 0;
            text += DescribeRow(row, std::to_string(settings.*row.field), enabled, enabled);
        }
    }
    return text;
}
