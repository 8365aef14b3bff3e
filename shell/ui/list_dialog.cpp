#include "shell/ui/list_dialog.h"

#include <commdlg.h>

#include <openssl/crypto.h>

#include <cstring>

#include "resources/resource.h"
#include "shell/logic/list_logic.h"
#include "shell/logic/main_logic.h"
#include "shell/logic/sequence_logic.h"
#include "shell/services/app_state.h"
#include "shell/services/clipboard.h"
#include "shell/services/modal.h"
#include "shell/services/sequence_store.h"
#include "shell/ui/message_box.h"

namespace {

// The dialog's own: the request it shows, the list as the field holds it, and the lowest count
// remembered so far.
const ListRequest* shown = nullptr;
char listText[kListTextSize];
std::size_t listLength = 0;
std::uint32_t lowestRemembered = 0;

void EnableOutput(HWND dialog, bool enable) {
    EnableWindow(GetDlgItem(dialog, IDC_LIST_COPY), enable);
    EnableWindow(GetDlgItem(dialog, IDC_LIST_PRINT), enable);
}

// What a list shows counts as answered: a lower count than before is remembered.
void RememberLowest(std::uint32_t lowest) {
    if (g_settings.Guard == 0 || lowest >= lowestRemembered) return;
    const OtpChain& chain = *shown->chain;
    if (RememberSequence(shown->kind, shown->seed, lowest,
                         SequenceCheck(chain.values[lowest - chain.low])))
        lowestRemembered = lowest;
}

void ShowList(HWND dialog) {
    char text[kCountReadSize] = {};
    GetDlgItemTextA(dialog, IDC_LIST_LENGTH, text, sizeof text);
    const std::uint32_t length = ReadListLength(text);
    OPENSSL_cleanse(listText, sizeof listText);
    listLength = 0;
    if (length == 0) {
        char refusal[kListRefusalSize];
        ListLengthRefusal(refusal);
        SetDlgItemTextA(dialog, IDC_LIST_TEXT, refusal);
        EnableOutput(dialog, false);
        return;
    }
    listLength = FormatList(*shown->chain, length, IsDlgButtonChecked(dialog, IDC_LIST_HEX) != 0,
                            listText, sizeof listText);
    SetDlgItemTextA(dialog, IDC_LIST_TEXT, listText);
    EnableOutput(dialog, true);
    RememberLowest(ListLowest(*shown->chain, length));
}

// The list's lines under the heading, page after page, in a fixed-pitch font.
bool PrintPages(HDC printer, const char* heading) {
    const int dpi = GetDeviceCaps(printer, LOGPIXELSY);
    HFONT font = CreateFontA(-MulDiv(10, dpi, 72), 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE,
                             ANSI_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                             FIXED_PITCH | FF_MODERN, "Courier New");
    const HGDIOBJ old = SelectObject(printer, font);
    TEXTMETRICA metrics = {};
    GetTextMetricsA(printer, &metrics);
    const int lineHeight = metrics.tmHeight + metrics.tmExternalLeading;
    const std::size_t perPage = PrintLinesPerPage(GetDeviceCaps(printer, VERTRES), lineHeight, dpi);
    const int left = GetDeviceCaps(printer, LOGPIXELSX) / 2;
    bool printed = true;
    const char* line = listText;
    while (printed && *line != '\0') {
        printed = StartPage(printer) > 0;
        int y = dpi / 2;
        if (printed) TextOutA(printer, left, y, heading, lstrlenA(heading));
        y += 2 * lineHeight;
        for (std::size_t i = 0; printed && i < perPage && *line != '\0'; ++i) {
            const char* end = std::strchr(line, '\r');
            const int length = end != nullptr ? static_cast<int>(end - line) : lstrlenA(line);
            TextOutA(printer, left, y, line, length);
            y += lineHeight;
            line += length;
            while (*line == '\r' || *line == '\n')
                ++line;
        }
        printed = printed && EndPage(printer) > 0;
    }
    SelectObject(printer, old);
    DeleteObject(font);
    return printed;
}

void PrintList(HWND dialog) {
    PRINTDLGA choice = {};
    choice.lStructSize = sizeof choice;
    choice.hwndOwner = dialog;
    // No warning of its own when there is no printer: ours says so, as every box of ours.
    choice.Flags = PD_RETURNDC | PD_NOPAGENUMS | PD_NOSELECTION | PD_HIDEPRINTTOFILE | PD_NOWARNING;
    WaitingForAnswerBegins();
    const BOOL chosen = PrintDlgA(&choice);
    WaitingForAnswerEnds();
    if (!chosen) {
        const DWORD error = CommDlgExtendedError();
        if (error == PDERR_NODEFAULTPRN || error == PDERR_PRINTERNOTFOUND) {
            ShowMessage(dialog, Message::NoPrinter);
        } else if (error != 0) {
            SetLastError(error);
            ShowSystemError(dialog, Message::PrintFailed);
        }
        return;
    }
    char date[64] = {};
    GetDateFormatA(LOCALE_USER_DEFAULT, DATE_LONGDATE, nullptr, nullptr, date, sizeof date);
    char heading[kPrintHeadingSize];
    PrintHeading(shown->kind, shown->seed, date, heading, sizeof heading);
    DOCINFOA document = {};
    document.cbSize = sizeof document;
    document.lpszDocName = heading;
    bool printed = !ExitRequested() && StartDocA(choice.hDC, &document) > 0;
    if (printed) {
        printed = PrintPages(choice.hDC, heading);
        if (printed) {
            EndDoc(choice.hDC);
        } else {
            AbortDoc(choice.hDC);
        }
    }
    const DWORD error = GetLastError();
    DeleteDC(choice.hDC);
    if (choice.hDevMode != nullptr) GlobalFree(choice.hDevMode);
    if (choice.hDevNames != nullptr) GlobalFree(choice.hDevNames);
    if (!printed && !ExitRequested()) {
        SetLastError(error);
        ShowSystemError(dialog, Message::PrintFailed);
    }
}

// The list must not outlive the dialog, in its field or ours, however the dialog ends.
void WipeList(HWND dialog) {
    std::memset(listText, ' ', listLength);
    SetDlgItemTextA(dialog, IDC_LIST_TEXT, listText);
    SetDlgItemTextA(dialog, IDC_LIST_TEXT, "");
    OPENSSL_cleanse(listText, sizeof listText);
    listLength = 0;
}

void InitList(HWND dialog, const ListRequest* request) {
    shown = request;
    lowestRemembered = request->chain->high + 1;
    // The field shows a list of 100 lines and more whole, whatever its length.
    SendDlgItemMessageA(dialog, IDC_LIST_TEXT, EM_SETLIMITTEXT, kListTextSize, 0);
    SetDlgItemInt(dialog, IDC_LIST_LENGTH, kListLengthAtFirst, FALSE);
    ShowList(dialog);
    SetForegroundWindow(dialog);
}

void CopyList(HWND dialog) {
    if (CopyTextToClipboard(dialog, listText, listLength) == ClipboardCopy::NoMemory)
        ShowSystemError(dialog, Message::ClipboardAlloc);
}

INT_PTR CALLBACK ListDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_INITDIALOG: InitList(dialog, reinterpret_cast<const ListRequest*>(lParam)); return TRUE;
    case WM_COMMAND:
        switch (LOWORD(wParam)) {
        case IDC_LIST_LENGTH:
            if (HIWORD(wParam) == EN_CHANGE) ShowList(dialog);
            return FALSE;
        case IDC_LIST_HEX: ShowList(dialog); return FALSE;
        case IDC_LIST_COPY: CopyList(dialog); return FALSE;
        case IDC_LIST_PRINT: PrintList(dialog); return FALSE;
        case IDCANCEL: EndDialog(dialog, 1); return TRUE;
        }
        return FALSE;
    case WM_DESTROY: WipeList(dialog); return FALSE;
    }
    return FALSE;
}

} // namespace

void RunListDialog(HWND owner, const ListRequest& request) {
    if (!RunOnce(IDD_LIST, ListDialogProc, owner, reinterpret_cast<LPARAM>(&request)))
        ShowSystemError(owner, Message::DialogCreate);
    OPENSSL_cleanse(listText, sizeof listText);
    shown = nullptr;
}
