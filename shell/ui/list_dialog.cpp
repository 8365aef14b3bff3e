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

// The dialog's own: the request it shows, the list its field draws, in the one character set of
// the dialog (a Unicode window, so that no conversion leaves a copy behind), and the lowest count
// remembered so far. The list is allocated while the dialog runs: an image holds a static
// buffer's bytes.
const ListRequest* shown = nullptr;
wchar_t* listText = nullptr;
std::size_t listLength = 0;
std::size_t listLines = 0;
std::uint32_t lowestRemembered = 0;

void EnableOutput(HWND dialog, bool enable) {
    EnableWindow(GetDlgItem(dialog, IDC_LIST_COPY), enable);
    EnableWindow(GetDlgItem(dialog, IDC_LIST_PRINT), enable);
}

// What a list shows counts as answered: a lower count than before is remembered.
void RememberLowest(std::uint32_t lowest) {
    if (lowest >= lowestRemembered) return;
    const OtpChain& chain = *shown->chain;
    if (RememberSequence(
            shown->kind, shown->seed,
            AnswerPastGuard(*shown->verdict, chain.high, lowest, chain.values[lowest - chain.low])))
        lowestRemembered = lowest;
}

// The line `index` of the list: where it starts and how long it is.
const wchar_t* ListLine(std::size_t index, int* length) {
    const wchar_t* line = listText;
    for (; index > 0 && *line != L'\0'; --index) {
        while (*line != L'\0' && *line != L'\n')
            ++line;
        if (*line == L'\n') ++line;
    }
    const wchar_t* end = line;
    while (*end != L'\0' && *end != L'\r' && *end != L'\n')
        ++end;
    *length = static_cast<int>(end - line);
    return line;
}

// Drawn as the font's glyphs: text handed to the system's text drawing is copied (for
// bidirectional ordering, for shaping) into memory that is freed without being wiped.
void DrawGlyphs(HDC dc, int x, int y, UINT options, const RECT* rect, const wchar_t* text,
                int length) {
    WORD glyphs[kListLineSize];
    if (length > static_cast<int>(kListLineSize)) length = kListLineSize;
    if (GetGlyphIndicesW(dc, text, length, glyphs, 0) == GDI_ERROR) length = 0;
    ExtTextOutW(dc, x, y, options | ETO_GLYPH_INDEX, rect, reinterpret_cast<LPCWSTR>(glyphs),
                static_cast<UINT>(length), nullptr);
    OPENSSL_cleanse(glyphs, sizeof glyphs);
}

// The list box keeps no text of its own: each line is drawn from ours.
void DrawListLine(const DRAWITEMSTRUCT& item) {
    if (item.itemAction == ODA_FOCUS) {
        DrawFocusRect(item.hDC, &item.rcItem);
        return;
    }
    const bool selected = (item.itemState & ODS_SELECTED) != 0;
    SetBkColor(item.hDC, GetSysColor(selected ? COLOR_HIGHLIGHT : COLOR_WINDOW));
    SetTextColor(item.hDC, GetSysColor(selected ? COLOR_HIGHLIGHTTEXT : COLOR_WINDOWTEXT));
    int length = 0;
    const wchar_t* line = item.itemID != static_cast<UINT>(-1) && listText != nullptr
                              ? ListLine(item.itemID, &length)
                              : L"";
    DrawGlyphs(item.hDC, item.rcItem.left + 2, item.rcItem.top, ETO_OPAQUE, &item.rcItem, line,
               length);
    if ((item.itemState & ODS_FOCUS) != 0) DrawFocusRect(item.hDC, &item.rcItem);
}

// Lines as tall as the dialog's font.
void MeasureListLine(HWND dialog, MEASUREITEMSTRUCT* item) {
    HDC dc = GetDC(dialog);
    const HGDIOBJ old =
        SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(dialog, WM_GETFONT, 0, 0)));
    TEXTMETRICW metrics = {};
    GetTextMetricsW(dc, &metrics);
    SelectObject(dc, old);
    ReleaseDC(dialog, dc);
    item->itemHeight = static_cast<UINT>(metrics.tmHeight);
}

// Whoever reads the field's text (a screen reader, a test) gets the list from ours.
WNDPROC listBoxProcedure = nullptr;
LRESULT CALLBACK ListFieldProc(HWND field, UINT message, WPARAM wParam, LPARAM lParam) {
    const std::size_t length = listText != nullptr ? lstrlenW(listText) : 0;
    if (message == WM_GETTEXTLENGTH) return static_cast<LRESULT>(length);
    if (message == WM_GETTEXT) {
        auto* out = reinterpret_cast<wchar_t*>(lParam);
        if (wParam == 0 || out == nullptr) return 0;
        const std::size_t copied = length < wParam - 1 ? length : wParam - 1;
        std::memcpy(out, listText, copied * sizeof(wchar_t));
        out[copied] = L'\0';
        return static_cast<LRESULT>(copied);
    }
    return CallWindowProcW(listBoxProcedure, field, message, wParam, lParam);
}

void ShowLines(HWND dialog, std::size_t lines) {
    const HWND field = GetDlgItem(dialog, IDC_LIST_TEXT);
    SendMessageW(field, LB_SETCOUNT, lines, 0);
    SendMessageW(field, LB_SETTOPINDEX, 0, 0);
    InvalidateRect(field, nullptr, TRUE);
}

void WipeList() {
    if (listText != nullptr) OPENSSL_cleanse(listText, kListTextSize * sizeof listText[0]);
    listLength = 0;
    listLines = 0;
}

void ShowList(HWND dialog) {
    char text[kCountReadSize] = {};
    GetDlgItemTextA(dialog, IDC_LIST_LENGTH, text, sizeof text);
    const std::uint32_t length = ReadListLength(text);
    WipeList();
    // Formatted in ANSI, then widened here: the words are ASCII.
    char formatted[kListTextSize];
    std::size_t size = 0;
    if (length == 0) {
        ListLengthRefusal(formatted);
        size = std::strlen(formatted);
    } else {
        size = FormatList(*shown->chain, length, IsDlgButtonChecked(dialog, IDC_LIST_HEX) != 0,
                          formatted, sizeof formatted);
    }
    for (std::size_t i = 0; i < size; ++i)
        listText[i] = static_cast<unsigned char>(formatted[i]);
    OPENSSL_cleanse(formatted, sizeof formatted);
    EnableOutput(dialog, length != 0);
    if (length == 0) {
        // The refusal in the field's one line, and nothing to copy or print.
        ShowLines(dialog, 1);
        return;
    }
    listLength = size;
    const std::uint32_t lowest = ListLowest(*shown->chain, length);
    listLines = shown->chain->high - lowest + 1;
    ShowLines(dialog, listLines);
    RememberLowest(lowest);
}

// The list's lines under the heading, page after page, in a fixed-pitch font, each with a box to
// tick, and the page's number at its foot.
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
    const std::size_t pages = PrintPageCount(listLines, perPage);
    const int left = GetDeviceCaps(printer, LOGPIXELSX) / 2;
    const int box = metrics.tmAscent * 3 / 4;
    bool printed = true;
    std::size_t next = 0;
    for (std::size_t page = 1; printed && next < listLines; ++page) {
        printed = StartPage(printer) > 0;
        int y = dpi / 2;
        if (printed) TextOutA(printer, left, y, heading, lstrlenA(heading));
        y += 2 * lineHeight;
        for (std::size_t i = 0; printed && i < perPage && next < listLines; ++i, ++next) {
            int length = 0;
            const wchar_t* line = ListLine(next, &length);
            Rectangle(printer, left, y + metrics.tmAscent - box, left + box, y + metrics.tmAscent);
            DrawGlyphs(printer, left + 2 * box, y, 0, nullptr, line, length);
            y += lineHeight;
        }
        char number[kPageNumberSize];
        PageNumber(page, pages, number);
        TextOutA(printer, left, dpi / 2 + static_cast<int>(perPage + 3) * lineHeight, number,
                 lstrlenA(number));
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

void InitList(HWND dialog, const ListRequest* request) {
    shown = request;
    listBoxProcedure =
        reinterpret_cast<WNDPROC>(SetWindowLongPtrW(GetDlgItem(dialog, IDC_LIST_TEXT), GWLP_WNDPROC,
                                                    reinterpret_cast<LONG_PTR>(ListFieldProc)));
    lowestRemembered = request->chain->high + 1;
    SetDlgItemInt(dialog, IDC_LIST_LENGTH, kListLengthAtFirst, FALSE);
    ShowList(dialog);
    SetForegroundWindow(dialog);
}

void CopyList(HWND dialog) {
    if (CopyListToClipboard(dialog, listText, listLength) == ClipboardCopy::NoMemory)
        ShowSystemError(dialog, Message::ClipboardAlloc);
}

INT_PTR CALLBACK ListDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_INITDIALOG: InitList(dialog, reinterpret_cast<const ListRequest*>(lParam)); return TRUE;
    case WM_MEASUREITEM:
        MeasureListLine(dialog, reinterpret_cast<MEASUREITEMSTRUCT*>(lParam));
        return TRUE;
    case WM_DRAWITEM: DrawListLine(*reinterpret_cast<const DRAWITEMSTRUCT*>(lParam)); return TRUE;
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
    // The list must not outlive the dialog, in its field or ours, however the dialog ends.
    case WM_DESTROY:
        ShowLines(dialog, 0);
        WipeList();
        return FALSE;
    }
    return FALSE;
}

} // namespace

void RunListDialog(HWND owner, const ListRequest& request) {
    // A second request while one runs brings that one forward, with its own list.
    const bool first = listText == nullptr;
    if (first)
        listText = static_cast<wchar_t*>(
            LocalAlloc(LMEM_FIXED | LMEM_ZEROINIT, kListTextSize * sizeof listText[0]));
    if (listText == nullptr ||
        !RunOnce(IDD_LIST, ListDialogProc, owner, reinterpret_cast<LPARAM>(&request), true))
        ShowSystemError(owner, Message::DialogCreate);
    if (!first) return;
    WipeList();
    LocalFree(listText);
    listText = nullptr;
    shown = nullptr;
}
