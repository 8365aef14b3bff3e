// The user's guide's pictures. Drives the real Vantreth.exe with the end-to-end harness into
// each state and saves that part of the screen as a 24-bit BMP in OUTDIR; scripts/screenshots.sh
// turns them into PNGs. It runs inside Wine's virtual desktop: the program it starts opens its
// windows there, with title bars, and its icon sits in the desktop's taskbar.
// Usage: vantreth_screenshots OUTDIR Vantreth.exe
// It reports into OUTDIR\screenshots.log, as a GUI program has no console to write to.
#include <windows.h>

#include <cstdio>
#include <memory>
#include <string>

#include "resources/resource.h"
#include "tests/e2e/clipboard.h"
#include "tests/e2e/foreground.h"
#include "tests/e2e/login.h"
#include "tests/e2e/program.h"
#include "tests/e2e/registry.h"
#include "tests/unit/engine/data_file.h"

namespace {

// Every picture, in the order taken. The driver lists them in OUTDIR/shots.txt before it
// starts, so that the script can tell a missing one.
const char kTray[] = "tray";
const char kTrayWaiting[] = "tray-waiting";
const char kTrayMenu[] = "tray-menu";
const char kAbout[] = "about";
const char kAnswered[] = "main-answered";
const char kInputError[] = "input-error";
const char kFirstStartNotice[] = "notice-first-start";
const char kOptions[] = "options";
const char kSnkEnrol[] = "snk-enrol";
const char kSnkAnswered[] = "main-snk";
const char kList[] = "list";
const char kRenew[] = "renew";
const char kLogin[] = "login";
const char* const kShots[] = {
    kTray,  kTrayWaiting,      kTrayMenu, kAbout,    kAnswered,    kInputError, kList,
    kRenew, kFirstStartNotice, kOptions,  kSnkEnrol, kSnkAnswered, kLogin};

// The RFC 2289 vector shown answered.
const HashKind kVectorKind = HashKind::MD5;
const char kVectorKeyword[] = "otp-md5";
const char kVectorSeed[] = "TeSt";
const unsigned kVectorCount = 99;
const char kVectorPassPhrase[] = "This is a test.";

// Desktop shown around the tray menu and the tip, in pixels.
constexpr int kMargin = 12;

std::string outDir;
std::FILE* report = stderr;
bool allTaken = true;

void Fail(const char* shot, const char* what) {
    std::fprintf(report, "%s: %s\n", shot, what);
    std::fflush(report);
    allTaken = false;
}

RECT Screen() {
    return RECT{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
}

RECT WindowArea(HWND window) {
    RECT area = {};
    GetWindowRect(window, &area);
    return area;
}

RECT Grow(RECT area, int by) {
    InflateRect(&area, by, by);
    return area;
}

RECT Union(const RECT& a, const RECT& b) {
    RECT both;
    UnionRect(&both, &a, &b);
    return both;
}

bool WriteBmp(const std::string& path, LONG width, LONG height, const void* bits, DWORD size) {
    BITMAPFILEHEADER file = {};
    BITMAPINFOHEADER info = {};
    file.bfType = 0x4D42; // "BM"
    file.bfOffBits = sizeof file + sizeof info;
    file.bfSize = file.bfOffBits + size;
    info.biSize = sizeof info;
    info.biWidth = width;
    info.biHeight = height;
    info.biPlanes = 1;
    info.biBitCount = 24;
    info.biCompression = BI_RGB;
    info.biSizeImage = size;
    std::FILE* out = std::fopen(path.c_str(), "wb");
    if (out == nullptr) return false;
    const bool written = std::fwrite(&file, sizeof file, 1, out) == 1 &&
                         std::fwrite(&info, sizeof info, 1, out) == 1 &&
                         std::fwrite(bits, 1, size, out) == size;
    return std::fclose(out) == 0 && written;
}

// Saves `area` of the screen, clipped to it, as OUTDIR\NAME.bmp once the windows have painted.
void Capture(const char* name, RECT area) {
    Sleep(kSettleMs);
    const RECT screen = Screen();
    IntersectRect(&area, &area, &screen);
    const LONG width = area.right - area.left;
    const LONG height = area.bottom - area.top;
    if (width <= 0 || height <= 0) return Fail(name, "nothing to capture");

    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 24;
    info.bmiHeader.biCompression = BI_RGB;
    HDC screenDc = GetDC(nullptr);
    HDC memoryDc = CreateCompatibleDC(screenDc);
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(screenDc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    bool saved = false;
    if (bitmap != nullptr) {
        HGDIOBJ old = SelectObject(memoryDc, bitmap);
        if (BitBlt(memoryDc, 0, 0, width, height, screenDc, area.left, area.top,
                   SRCCOPY | CAPTUREBLT)) {
            GdiFlush();
            const DWORD stride = (static_cast<DWORD>(width) * 3 + 3) & ~3u;
            saved = WriteBmp(outDir + "\\" + name + ".bmp", width, height, bits,
                             stride * static_cast<DWORD>(height));
        }
        SelectObject(memoryDc, old);
        DeleteObject(bitmap);
    }
    DeleteDC(memoryDc);
    ReleaseDC(nullptr, screenDc);
    if (!saved) return Fail(name, "could not save the screen");
    std::fprintf(report, "%s: %ldx%ld\n", name, width, height);
    std::fflush(report);
}

// A caret blinks, so a field that holds the focus would come out differently from run to run.
// The picture is taken with the focus moved on to a button, as by the Tab key.
bool FocusOn(const Program& program, HWND dialog, HWND button) {
    PostMessageA(dialog, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(button), TRUE);
    return WaitUntil([&] { return FocusedWindow(program) == button; });
}

void CaptureWindow(const char* name, HWND window) {
    if (window == nullptr) return Fail(name, "the window did not come");
    Capture(name, WindowArea(window));
}

// The desktop's taskbar, at the bottom of the screen.
HWND Taskbar() {
    return FindWindowA("Shell_TrayWnd", nullptr);
}

// Wine's taskbar draws the tray's icons itself, from its right end, each in a slot of a small
// icon with a border of 2 pixels; ours, the only one, takes the rightmost slot.
RECT TrayIconSlot() {
    const RECT bar = WindowArea(Taskbar());
    const int slot = GetSystemMetrics(SM_CXSMICON) + 4;
    return RECT{bar.right - slot, bar.top, bar.right, bar.bottom};
}

POINT Centre(const RECT& area) {
    return POINT{(area.left + area.right) / 2, (area.top + area.bottom) / 2};
}

void MoveMouse(POINT to) {
    const RECT screen = Screen();
    INPUT input = {};
    input.type = INPUT_MOUSE;
    input.mi.dx = to.x * 65535 / (screen.right - 1);
    input.mi.dy = to.y * 65535 / (screen.bottom - 1);
    input.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
    SendInput(1, &input, sizeof input);
}

HWND VisibleTooltip() {
    HWND tip = nullptr;
    while ((tip = FindWindowExA(nullptr, tip, "tooltips_class32", nullptr)) != nullptr) {
        if (IsWindowVisible(tip)) return tip;
    }
    return nullptr;
}

// The taskbar's right end, where the tray is.
RECT TrayCorner() {
    RECT corner = WindowArea(Taskbar());
    corner.left = corner.right - 260;
    corner.top -= 60;
    return corner;
}

// The first start: only the icon, with its tip when the mouse rests on it.
void TakeTray(const Program& program) {
    if (Taskbar() == nullptr || !TrayIconPresent(program.dialog))
        return Fail(kTray, "no tray icon in a taskbar");
    MoveMouse(Centre(TrayIconSlot()));
    HWND tip = nullptr;
    WaitUntil([&] { return (tip = VisibleTooltip()) != nullptr; }, 3000);
    RECT area = TrayCorner();
    if (tip != nullptr) area = Union(area, Grow(WindowArea(tip), kMargin));
    Capture(kTray, area);
    // The tip must not stand in the next pictures.
    MoveMouse(Centre(Screen()));
    WaitUntil([] { return VisibleTooltip() == nullptr; }, 3000);
}

// The menu key on the icon: the menu opens at the icon, and the pointer, elsewhere, brings up
// no tip over it.
HWND OpenMenuAtIcon(const Program& program) {
    if (Taskbar() == nullptr) return nullptr;
    const POINT at = Centre(TrayIconSlot());
    MoveMouse(Centre(Screen()));
    WaitUntil([] { return VisibleTooltip() == nullptr; }, 3000);
    NotifyIconVersion4(program, WM_CONTEXTMENU, at.x, at.y);
    return WaitForTrayMenu(program);
}

void TakeTrayMenuAndAbout(const Program& program) {
    const HWND menu = OpenMenuAtIcon(program);
    if (menu == nullptr) return Fail(kTrayMenu, "the tray menu did not open");
    RECT area = Union(Grow(WindowArea(menu), kMargin), TrayCorner());
    area.top = WindowArea(menu).top - kMargin;
    Capture(kTrayMenu, area);
    ChooseMenuItemByKey(menu, 'a');
    const HWND about = WaitForDialog(program.processId, "About");
    CaptureWindow(kAbout, about);
    if (about != nullptr) CloseBox(about, IDOK);
}

bool TypeInto(HWND field, const char* text) {
    for (const char* c = text; *c != '\0'; ++c)
        TypeChar(field, *c);
    return WaitUntil([&] { return Text(field) == text; });
}

std::string VectorWords() {
    for (const Rfc2289Vector& vector : ReadRfc2289Vectors()) {
        if (vector.kind == kVectorKind && vector.seed == kVectorSeed &&
            vector.count == kVectorCount && vector.passPhrase == kVectorPassPhrase)
            return vector.words;
    }
    return "<no such vector>";
}

// As a remote system presents it.
std::string VectorChallenge() {
    return std::string(kVectorKeyword) + ' ' + std::to_string(kVectorCount) + ' ' + kVectorSeed;
}

// A notice from the icon, with the tray beneath it, once it has come.
void CaptureNotice(const char* name) {
    HWND notice = nullptr;
    if (!WaitUntil([&] { return (notice = FindNotice()) != nullptr; }, kNoticeWaitMs))
        return Fail(name, "no notice came");
    RECT area = Union(Grow(WindowArea(notice), kMargin), TrayCorner());
    area.top = WindowArea(notice).top - kMargin;
    Capture(name, area);
}

// Once the dialog has been up, a notice has served and goes: it must not stand in the next
// pictures.
void DismissNotice(const Program& program, const char* name) {
    if (!ShowFromTray(program) || !Click(program, IDC_CLOSE) ||
        !WaitUntil([] { return FindNotice() == nullptr; }))
        Fail(name, "the notice did not go");
}

// A challenge copied while Windows keeps Vantreth from the front: it waits in the tray, the
// icon marked and a notice naming it. Shown from the icon, it is answered there.
void TakeWaiting(const Program& program) {
    // The user at work in another program, which Windows keeps in front.
    ScopedForeignWindow elsewhere("Terminal");
    if (!BringToFront(elsewhere.window)) return Fail(kTrayWaiting, "no program in front");
    auto veto = std::make_unique<ScopedActivationVeto>();
    if (!veto->Installed()) return Fail(kTrayWaiting, "the activation veto did not install");
    if (!PutClipboardText(VectorChallenge().c_str()))
        return Fail(kTrayWaiting, "the challenge could not be copied");
    CaptureNotice(kTrayWaiting);
    veto.reset();
    DismissNotice(program, kTrayWaiting);
}

// A challenge copied brings the dialog up filled in; the pass phrase typed, Enter answers it.
void TakeAnswered(const Program& program) {
    if (!PutClipboardText(VectorChallenge().c_str()) ||
        !WaitUntil([&] { return IsShown(program); }))
        return Fail(kAnswered, "the copied challenge did not bring the dialog up");
    const HWND passPhrase = Control(program, IDC_PASSPHRASE);
    if (!TypeInto(passPhrase, kVectorPassPhrase))
        return Fail(kAnswered, "the pass phrase could not be typed");
    PressKey(passPhrase, VK_RETURN);
    const std::string words = VectorWords();
    if (!WaitUntil([&] { return Field(program, IDC_RESPONSE) == words; }))
        return Fail(kAnswered, "wrong or no response");
    if (!FocusOn(program, program.dialog, Control(program, IDC_COPY)))
        return Fail(kAnswered, "Copy did not take the focus");
    CaptureWindow(kAnswered, program.dialog);
}

// Ok without a pass phrase.
void TakeInputError(const Program& program) {
    if (!Click(program, IDC_CLEARALL) ||
        !SetField(program, IDC_COUNT, std::to_string(kVectorCount).c_str()) ||
        !SetField(program, IDC_SEED, kVectorSeed))
        return Fail(kInputError, "the fields could not be set");
    PostClick(program, IDC_COMPUTE);
    const HWND box = WaitForDialog(program.processId, "Input Error");
    CaptureWindow(kInputError, box);
    if (box != nullptr) CloseBox(box, IDOK);
}

// The dialog that the main dialog's `button` opens, with the focus on its `focus`, then closed.
void CaptureDialogOf(const Program& program, int button, const char* caption, int focus,
                     const char* shot) {
    const HWND dialog = PressForBox(program.dialog, button, program.processId, caption);
    if (dialog == nullptr || !FocusOn(program, dialog, GetDlgItem(dialog, focus)))
        return Fail(shot, "the dialog did not come");
    CaptureWindow(shot, dialog);
    CloseBox(dialog, IDCANCEL);
}

// The answered challenge's responses ahead, the next first.
void TakeList(const Program& program) {
    if (!SetField(program, IDC_COUNT, std::to_string(kVectorCount).c_str()) ||
        !SetField(program, IDC_PASSPHRASE, kVectorPassPhrase))
        return Fail(kList, "the fields could not be set");
    CaptureDialogOf(program, IDC_LIST, "OTP List", IDCANCEL, kList);
}

// A challenge that takes a renewal, RFC 2444's example.
void TakeRenew(const Program& program) {
    if (!PutClipboardText("otp-md5 499 ke1234 ext") ||
        !WaitUntil([&] { return Field(program, IDC_SEED) == "ke1234"; }) ||
        !SetField(program, IDC_PASSPHRASE, kVectorPassPhrase))
        return Fail(kRenew, "the challenge did not come");
    CaptureDialogOf(program, IDC_RENEW, "OTP Renewal", IDOK, kRenew);
}

// A first start says from the tray icon that Vantreth runs, and how to bring it up.
void TakeFirstStartNotice(const Program& program) {
    CaptureNotice(kFirstStartNotice);
    DismissNotice(program, kFirstStartNotice);
}

// Options as a first start leaves them; SNK switched on there opens the enrolment.
void TakeOptionsAndEnrolment(const Program& program) {
    const HWND options = OpenOptionsFromTray(program);
    CaptureWindow(kOptions, options);
    if (options == nullptr) return Fail(kSnkEnrol, "no Options dialog");
    if (!Click(GetDlgItem(options, IDC_OPT_SNK)))
        return Fail(kSnkEnrol, "SNK features could not be switched on");
    const HWND enrol = PressForBox(options, IDOK, program.processId, kSnkEnrolCaption);
    if (enrol == nullptr || !FillEnrolment(enrol, kSnkSeed, kSnkPassword) ||
        !FocusOn(program, enrol, GetDlgItem(enrol, IDOK)))
        return Fail(kSnkEnrol, "the enrolment could not be filled in");
    CaptureWindow(kSnkEnrol, enrol);
    PostClick(GetDlgItem(enrol, IDOK));
    if (!WaitForGone(enrol) || !WaitForGone(options)) Fail(kSnkEnrol, "the enrolment failed");
}

void TakeSnkAnswered(const Program& program) {
    if (!EnterSnkMode(program) || !SetField(program, IDC_SEED, kSnkChallenge) ||
        !TypeInto(Control(program, IDC_PASSPHRASE), kSnkPassword))
        return Fail(kSnkAnswered, "SNK mode could not be entered");
    if (PressOk(program).response != kSnkResponse)
        return Fail(kSnkAnswered, "wrong or no response");
    if (!FocusOn(program, program.dialog, Control(program, IDC_COPY)))
        return Fail(kSnkAnswered, "Copy did not take the focus");
    CaptureWindow(kSnkAnswered, program.dialog);
}

// The first-run settings without what acts by itself (docking, the decrement), so that
// nothing changes while a picture is taken.
Settings StillSettings() {
    Settings settings = DefaultSettings();
    settings.AutoDock = 0;
    settings.AutoDecr = 0;
    return settings;
}

// ssh's askpass with OpenBSD's challenge, the pass phrase being typed.
void TakeLogin() {
    AskpassRun run;
    HWND login = nullptr;
    if (!StartAskpass("(alice@bsd) otp-md5 99 obsd91335\nS/Key Password: ", &run) ||
        (login = WaitForLogin(run.processId, "otp-md5", kWaitMs)) == nullptr) {
        Fail(kLogin, "no login dialog");
    } else {
        TypeInto(GetDlgItem(login, IDC_LOGIN_ANSWER), kVectorPassPhrase);
        CaptureWindow(kLogin, login);
        PostClick(GetDlgItem(login, IDCANCEL));
    }
    DWORD exitCode = 0;
    if (run.process != nullptr) AskpassOutput(&run, &exitCode);
}

bool ListShots() {
    std::FILE* list = std::fopen((outDir + "\\shots.txt").c_str(), "wb");
    if (list == nullptr) return false;
    for (const char* shot : kShots)
        std::fprintf(list, "%s\n", shot);
    return std::fclose(list) == 0;
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: %s OUTDIR Vantreth.exe\n", argv[0]);
        return 2;
    }
    outDir = argv[1];
    SetProgramPath(argv[2]);
    report = std::fopen((outDir + "\\screenshots.log").c_str(), "wb");
    if (report == nullptr || !ListShots()) return 2;
    {
        ScopedProgram run;
        if (!StartProgramWith(StillSettings(), &run.program)) {
            Fail(kTray, "the program did not start");
        } else {
            TakeTray(run.program);
            TakeWaiting(run.program);
            TakeTrayMenuAndAbout(run.program);
            TakeAnswered(run.program);
            TakeInputError(run.program);
            TakeList(run.program);
            TakeRenew(run.program);
        }
    }
    {
        // A first start: the program writes its defaults itself.
        ScopedProgram run;
        if (!DeleteSettingsKey() || !StartProgram(&run.program)) {
            Fail(kFirstStartNotice, "the program did not start");
        } else {
            TakeFirstStartNotice(run.program);
            TakeOptionsAndEnrolment(run.program);
            TakeSnkAnswered(run.program);
        }
    }
    TakeLogin();
    std::fprintf(report, allTaken ? "all taken\n" : "some failed\n");
    std::fclose(report);
    return allTaken ? 0 : 1;
}
