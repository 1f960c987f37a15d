#include "settings/settings_window.h"

#include <commdlg.h>

#include <cstddef>

#include "settings/read_max_text.h"

namespace {

constexpr int CLIENT_WIDTH = 400;
constexpr int CLIENT_HEIGHT = 275;
constexpr int LABEL_ID = -1;
constexpr WPARAM READMAX_LIMIT = 9;
constexpr WPARAM VOICEFILE_LIMIT = 1020;

// The texts are Shift-JIS bytes: the ANSI controls show them under code
// page 932 whatever encoding this source file has.
struct ControlLayout {
    const char* className;
    DWORD exStyle;
    DWORD style;
    int x, y, width, height;
    int id;
    const char* text;
};

// Creation order is also the Tab order.
const ControlLayout CONTROLS[] = {
    // "処理する最大サイズ : "
    {"STATIC", 0, WS_CHILD | WS_VISIBLE | SS_RIGHT, 10, 10, 160, 25, LABEL_ID,
        "\x8F\x88\x97\x9D\x82\xB7\x82\xE9\x8D\xC5\x91\xE5\x83\x54\x83\x43\x83\x59 : "},
    {"EDIT", WS_EX_CLIENTEDGE,
        WS_CHILD | WS_VISIBLE | WS_TABSTOP | ES_NUMBER | ES_AUTOHSCROLL | ES_RIGHT, 170, 10, 100,
        25, ID_EDIT_READMAX, ""},
    // " KB(0で無制限)"
    {"STATIC", 0, WS_CHILD | WS_VISIBLE, 270, 10, 120, 25, LABEL_ID,
        " KB(0\x82\xC5\x96\xB3\x90\xA7\x8C\xC0)"},
    {"COMBOBOX", WS_EX_CLIENTEDGE, WS_CHILD | WS_VISIBLE | WS_TABSTOP | CBS_DROPDOWNLIST, 10, 40,
        380, 80, ID_COMBO_OVERMAX, ""},
    // "全角数字も判定する"
    {"BUTTON", 0, WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_AUTOCHECKBOX, 10, 70, 380, 25,
        ID_CHECK_WIDENUMBER,
        "\x91\x53\x8A\x70\x90\x94\x8E\x9A\x82\xE0\x94\xBB\x92\xE8\x82\xB7\x82\xE9"},
    // "コンマを無視する"
    {"BUTTON", 0, WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_AUTOCHECKBOX, 10, 100, 380, 25,
        ID_CHECK_IGNORECOMMA, "\x83\x52\x83\x93\x83\x7D\x82\xF0\x96\xB3\x8E\x8B\x82\xB7\x82\xE9"},
    // "ピリオドで区切る"
    {"BUTTON", 0, WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_AUTOCHECKBOX, 10, 130, 380, 25,
        ID_CHECK_STOPONPERIOD, "\x83\x73\x83\x8A\x83\x49\x83\x68\x82\xC5\x8B\xE6\x90\xD8\x82\xE9"},
    // "素数発見時に音声を再生する"
    {"BUTTON", 0, WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_AUTOCHECKBOX, 10, 160, 380, 25,
        ID_CHECK_ENABLEVOICE,
        "\x91\x66\x90\x94\x94\xAD\x8C\xA9\x8E\x9E\x82\xC9\x89\xB9\x90\xBA\x82\xF0"
        "\x8D\xC4\x90\xB6\x82\xB7\x82\xE9"},
    // "再生する音声 : "
    {"STATIC", 0, WS_CHILD | WS_VISIBLE | SS_RIGHT, 10, 190, 130, 25, LABEL_ID,
        "\x8D\xC4\x90\xB6\x82\xB7\x82\xE9\x89\xB9\x90\xBA : "},
    {"EDIT", WS_EX_CLIENTEDGE, WS_CHILD | WS_VISIBLE | WS_TABSTOP | ES_AUTOHSCROLL, 140, 190, 200,
        25, ID_EDIT_VOICEFILE, ""},
    // "参照": a plain push button, left out of the Tab order.
    {"BUTTON", 0, WS_CHILD | WS_VISIBLE, 340, 190, 50, 25, ID_BUTTON_BROWSE, "\x8E\x51\x8F\xC6"},
    {"BUTTON", 0, WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_DEFPUSHBUTTON, 100, 240, 90, 25, IDOK,
        "OK"},
    // "適用"
    {"BUTTON", 0, WS_CHILD | WS_VISIBLE | WS_TABSTOP, 200, 240, 90, 25, ID_BUTTON_APPLY,
        "\x93\x4B\x97\x70"},
    // "キャンセル"
    {"BUTTON", 0, WS_CHILD | WS_VISIBLE | WS_TABSTOP, 300, 240, 90, 25, IDCANCEL,
        "\x83\x4C\x83\x83\x83\x93\x83\x5A\x83\x8B"},
};

// The list entries; the selected index is noReadOverMax.
const char* const OVERMAX_ENTRIES[] = {
    // "最大サイズまでのみを必ず処理する": cut a longer text to the cap
    "\x8D\xC5\x91\xE5\x83\x54\x83\x43\x83\x59\x82\xDC\x82\xC5\x82\xCC\x82\xDD\x82\xF0"
    "\x95\x4B\x82\xB8\x8F\x88\x97\x9D\x82\xB7\x82\xE9",
    // "最大サイズを超えた場合処理しない": skip a longer text
    "\x8D\xC5\x91\xE5\x83\x54\x83\x43\x83\x59\x82\xF0\x92\xB4\x82\xA6\x82\xBD\x8F\xEA"
    "\x8D\x87\x8F\x88\x97\x9D\x82\xB5\x82\xC8\x82\xA2",
};

// "音声ファイル(*.wav)", then the pattern; a double NUL ends the list.
const char SOUND_FILTER[] = "\x89\xB9\x90\xBA\x83\x74\x83\x40\x83\x43\x83\x8B(*.wav)\0*.wav\0\0";

// The request as Windows 2000 knew it: the header's
// OPENFILENAME_SIZE_VERSION_400A, which is no constant expression in C++.
constexpr DWORD OPEN_REQUEST_SIZE
    = offsetof(OPENFILENAMEA, lpTemplateName) + sizeof(OPENFILENAMEA::lpTemplateName);
#ifndef _WIN64
static_assert(OPEN_REQUEST_SIZE == 76, "OPENFILENAMEA up to lpTemplateName is 76 bytes");
#endif

void setCheck(HWND window, int id, int32_t value)
{
    // The field's own value, whatever it is; the box decides what it shows.
    SendMessageA(GetDlgItem(window, id), BM_SETCHECK, static_cast<WPARAM>(value), 0);
}

int32_t getCheck(HWND window, int id)
{
    return static_cast<int32_t>(SendMessageA(GetDlgItem(window, id), BM_GETCHECK, 0, 0));
}

WNDPROC g_plainEditProc;
constexpr WCHAR FULL_WIDTH_ZERO = 0xFF10;  // ０, as a Japanese input method types it

// Puts the digits of the clipboard's text, and nothing else, in place of the
// selection, full-width ones as ASCII digits; the edit's own limit still
// applies.
void pasteDigits(HWND edit)
{
    char digits[READMAX_LIMIT + 1] = {};
    if (!IsClipboardFormatAvailable(CF_UNICODETEXT) || !OpenClipboard(edit))
        return;
    HANDLE handle = GetClipboardData(CF_UNICODETEXT);
    const WCHAR* text = handle ? static_cast<const WCHAR*>(GlobalLock(handle)) : nullptr;
    if (text != nullptr) {
        // Bounded by the block, which need not hold a NUL.
        const SIZE_T units = GlobalSize(handle) / sizeof(WCHAR);
        SIZE_T kept = 0;
        for (SIZE_T i = 0; i < units && text[i] != 0 && kept < READMAX_LIMIT; ++i) {
            if (text[i] >= L'0' && text[i] <= L'9')
                digits[kept++] = static_cast<char>(text[i]);
            else if (text[i] >= FULL_WIDTH_ZERO && text[i] <= FULL_WIDTH_ZERO + 9)
                digits[kept++] = static_cast<char>('0' + (text[i] - FULL_WIDTH_ZERO));
        }
        GlobalUnlock(handle);
    }
    CloseClipboard();
    SendMessageA(edit, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(digits));
}

// ES_NUMBER refuses letters typed into the size box, but not pasted ones.
LRESULT CALLBACK digitsOnlyEditProc(HWND edit, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_PASTE) {
        pasteDigits(edit);
        return 0;
    }
    return CallWindowProcA(g_plainEditProc, edit, message, wParam, lParam);
}

}  // namespace

void createSettingsControls(HWND window, HFONT font)
{
    HINSTANCE instance = GetModuleHandleA(nullptr);

    // Grow or shrink the frame around a client area of the wanted size.
    RECT client;
    RECT frame;
    GetClientRect(window, &client);
    GetWindowRect(window, &frame);
    int width = (frame.right - frame.left) - (client.right - client.left) + CLIENT_WIDTH;
    int height = (frame.bottom - frame.top) - (client.bottom - client.top) + CLIENT_HEIGHT;
    SetWindowPos(
        window, nullptr, 0, 0, width, height, SWP_NOMOVE | SWP_NOZORDER | SWP_NOOWNERZORDER);

    WPARAM fontParam = reinterpret_cast<WPARAM>(font);
    for (const ControlLayout& layout : CONTROLS) {
        HMENU id = reinterpret_cast<HMENU>(static_cast<INT_PTR>(layout.id));
        HWND control = CreateWindowExA(layout.exStyle, layout.className, layout.text, layout.style,
            layout.x, layout.y, layout.width, layout.height, window, id, instance, nullptr);
        SendMessageA(control, WM_SETFONT, fontParam, 0);
        if (layout.id == ID_EDIT_READMAX) {
            SendMessageA(control, EM_LIMITTEXT, READMAX_LIMIT, 0);
            g_plainEditProc = reinterpret_cast<WNDPROC>(SetWindowLongPtrA(
                control, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(digitsOnlyEditProc)));
        } else if (layout.id == ID_COMBO_OVERMAX) {
            for (const char* entry : OVERMAX_ENTRIES)
                SendMessageA(control, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(entry));
        } else if (layout.id == ID_EDIT_VOICEFILE) {
            SendMessageA(control, EM_LIMITTEXT, VOICEFILE_LIMIT, 0);
        }
    }
}

void configToControls(HWND window, const Config& config)
{
    char number[16];
    wsprintfA(number, "%d", config.readMax);
    SetWindowTextA(GetDlgItem(window, ID_EDIT_READMAX), number);

    WPARAM index = config.noReadOverMax != 0 ? 1 : 0;
    SendMessageA(GetDlgItem(window, ID_COMBO_OVERMAX), CB_SETCURSEL, index, 0);

    setCheck(window, ID_CHECK_WIDENUMBER, config.enableWideNumber);
    setCheck(window, ID_CHECK_IGNORECOMMA, config.ignoreComma);
    setCheck(window, ID_CHECK_STOPONPERIOD, config.stopOnPeriod);
    setCheck(window, ID_CHECK_ENABLEVOICE, config.enableVoice);

    SetWindowTextA(GetDlgItem(window, ID_EDIT_VOICEFILE), config.voiceFile);
}

void controlsToConfig(HWND window, Config& config)
{
    char number[TEXT_BUFFER_SIZE] = {};
    GetWindowTextA(GetDlgItem(window, ID_EDIT_READMAX), number, TEXT_BUFFER_SIZE);
    config.readMax = readMaxFromText(number);

    config.noReadOverMax = static_cast<int32_t>(
        SendMessageA(GetDlgItem(window, ID_COMBO_OVERMAX), CB_GETCURSEL, 0, 0));

    config.enableWideNumber = getCheck(window, ID_CHECK_WIDENUMBER);
    config.ignoreComma = getCheck(window, ID_CHECK_IGNORECOMMA);
    config.stopOnPeriod = getCheck(window, ID_CHECK_STOPONPERIOD);
    config.enableVoice = getCheck(window, ID_CHECK_ENABLEVOICE);

    int length
        = GetWindowTextA(GetDlgItem(window, ID_EDIT_VOICEFILE), config.voiceFile, TEXT_BUFFER_SIZE);
    // The edit counts characters, so a path of double-byte characters can be
    // longer than the buffer and arrive cut after the first byte of one.
    // Keep whole characters only, and end the string even if the call wrote
    // nothing.
    int kept = 0;
    while (kept < length) {
        int size = IsDBCSLeadByte(static_cast<BYTE>(config.voiceFile[kept])) ? 2 : 1;
        if (kept + size > length)
            break;
        kept += size;
    }
    config.voiceFile[kept] = '\0';
}

void chooseSoundFile(HWND window)
{
    char path[TEXT_BUFFER_SIZE] = {};
    OPENFILENAMEA request = {};
    request.lStructSize = OPEN_REQUEST_SIZE;
    request.hwndOwner = window;
    request.lpstrFilter = SOUND_FILTER;
    request.nFilterIndex = 1;
    request.lpstrFile = path;
    request.nMaxFile = TEXT_BUFFER_SIZE;
    request.Flags = OFN_HIDEREADONLY | OFN_NOCHANGEDIR | OFN_PATHMUSTEXIST | OFN_FILEMUSTEXIST
        | OFN_EXPLORER | OFN_LONGNAMES;
    request.lpstrDefExt = "wav";
    // OFN_NOCHANGEDIR does not keep the open dialog from changing the current
    // directory, and a folder left current stays locked: put it back.
    char directory[TEXT_BUFFER_SIZE];
    const DWORD directoryLength = GetCurrentDirectoryA(TEXT_BUFFER_SIZE, directory);
    const BOOL chosen = GetOpenFileNameA(&request);
    if (directoryLength != 0 && directoryLength < TEXT_BUFFER_SIZE)
        SetCurrentDirectoryA(directory);
    if (chosen)
        SetWindowTextA(GetDlgItem(window, ID_EDIT_VOICEFILE), path);
}
