#include "settings/settings_window.h"

#include <windows.h>
#include <commdlg.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <iterator>
#include <string>
#include <vector>

namespace {

// The file dialog double: records what it was given and either cancels or
// "chooses" chosenPath.
struct DialogCall {
    OPENFILENAMEA request = {};
    std::string filter;  // up to and including the double NUL
    bool fileBufferWasZero = false;
    BOOL result = FALSE;
    std::string chosenPath;
};
DialogCall g_dialog;

BOOL WINAPI fakeGetOpenFileName(LPOPENFILENAMEA request)
{
    g_dialog.request = *request;
    const char* end = request->lpstrFilter;
    while (end[0] != '\0' || end[1] != '\0')
        ++end;
    g_dialog.filter.assign(request->lpstrFilter, end + 2);
    g_dialog.fileBufferWasZero = std::count(request->lpstrFile, request->lpstrFile + request->nMaxFile, '\0') ==
                                 static_cast<std::ptrdiff_t>(request->nMaxFile);
    if (g_dialog.result)
        lstrcpynA(request->lpstrFile, g_dialog.chosenPath.c_str(), static_cast<int>(request->nMaxFile));
    return g_dialog.result;
}

} // namespace

// Replaces the import pointer so that the product's call lands in the double.
extern "C" {
decltype(&GetOpenFileNameA) __imp_GetOpenFileNameA = fakeGetOpenFileName;
}

namespace {

// Shift-JIS bytes of a UTF-8 text, converted by the platform, not by hand.
std::string sjis(const char* utf8)
{
    wchar_t wide[2048];
    int units = MultiByteToWideChar(CP_UTF8, 0, utf8, -1, wide, 2048);
    char bytes[4096];
    int length = WideCharToMultiByte(932, 0, wide, units, bytes, sizeof bytes, nullptr, nullptr);
    return std::string(bytes, static_cast<size_t>(length > 0 ? length - 1 : 0));
}

std::string textOf(HWND control)
{
    char text[4096] = {};
    GetWindowTextA(control, text, sizeof text);
    return text;
}

// Each control's class, extended style, style, position, size and id as
// created, then its text.
const struct {
    const char* creation;
    const char* utf8Text;
} EXPECTED[] = {
    {"STATIC 0 50000002 10,10 160x25 -1", u8"処理する最大サイズ : "},
    {"EDIT 200 50012082 170,10 100x25 20000", ""},
    {"STATIC 0 50000000 270,10 120x25 -1", u8" KB(0で無制限)"},
    {"COMBOBOX 200 50010003 10,40 380x80 20001", ""},
    {"BUTTON 0 50010003 10,70 380x25 20002", u8"全角数字も判定する"},
    {"BUTTON 0 50010003 10,100 380x25 20003", u8"コンマを無視する"},
    {"BUTTON 0 50010003 10,130 380x25 20004", u8"ピリオドで区切る"},
    {"BUTTON 0 50010003 10,160 380x25 20005", u8"素数発見時に音声を再生する"},
    {"STATIC 0 50000002 10,190 130x25 -1", u8"再生する音声 : "},
    {"EDIT 200 50010080 140,190 200x25 20006", ""},
    {"BUTTON 0 50000000 340,190 50x25 20007", u8"参照"},  // not a tab stop
    {"BUTTON 0 50010001 100,240 90x25 1", "OK"},
    {"BUTTON 0 50010000 200,240 90x25 20008", u8"適用"},
    {"BUTTON 0 50010000 300,240 90x25 2", u8"キャンセル"},
};

const char* const LIST_ENTRIES[] = {u8"最大サイズまでのみを必ず処理する", u8"最大サイズを超えた場合処理しない"};

// What createSettingsControls asked of the platform, seen through hooks: a
// trace of resize, create, font, limit and add in call order.
struct Recording {
    HWND window = nullptr;
    HFONT font = nullptr;
    std::vector<std::string> trace;
};
Recording g_recording;

LRESULT CALLBACK recordCreation(int code, WPARAM wParam, LPARAM lParam)
{
    const CREATESTRUCTA* cs = code == HCBT_CREATEWND ? reinterpret_cast<CBT_CREATEWNDA*>(lParam)->lpcs : nullptr;
    // Only the settings controls: not the list box inside the drop-down list,
    // nor the input-method window the system makes on its own.
    if (cs && cs->hwndParent == g_recording.window) {
        char line[128];
        std::snprintf(line, sizeof line, "create %s %lx %lx %d,%d %dx%d %d %s%s",
                      IS_INTRESOURCE(cs->lpszClass) ? "#atom" : cs->lpszClass,
                      static_cast<unsigned long>(cs->dwExStyle), static_cast<unsigned long>(cs->style), cs->x,
                      cs->y, cs->cx, cs->cy, static_cast<int>(reinterpret_cast<INT_PTR>(cs->hMenu)),
                      cs->lpszName ? cs->lpszName : "(null)",
                      cs->hInstance == GetModuleHandleA(nullptr) && cs->lpCreateParams == nullptr ? "" : " wrong");
        g_recording.trace.push_back(line);
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

LRESULT CALLBACK recordMessages(int code, WPARAM wParam, LPARAM lParam)
{
    const CWPSTRUCT* sent = reinterpret_cast<CWPSTRUCT*>(lParam);
    if (sent->hwnd == g_recording.window && sent->message == WM_WINDOWPOSCHANGING) {
        // Neither moved nor brought forward.
        const UINT flags = reinterpret_cast<WINDOWPOS*>(sent->lParam)->flags;
        g_recording.trace.push_back((flags & 0x207u) == 0x206u ? "resize" : "resize wrong");
    } else if (GetParent(sent->hwnd) == g_recording.window) {
        std::string id = std::to_string(GetDlgCtrlID(sent->hwnd));
        if (sent->message == WM_SETFONT)
            g_recording.trace.push_back(
                "font " + id +
                (reinterpret_cast<HFONT>(sent->wParam) == g_recording.font && sent->lParam == 0 ? "" : " wrong"));
        else if (sent->message == EM_LIMITTEXT)
            g_recording.trace.push_back("limit " + id + " " + std::to_string(sent->wParam));
        else if (sent->message == CB_ADDSTRING)
            g_recording.trace.push_back("add " + id + " " + reinterpret_cast<const char*>(sent->lParam));
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

class SettingsWindow : public ::testing::Test {
protected:
    void SetUp() override
    {
        const WNDCLASSA windowClass = {0, DefWindowProcA, 0, 0, GetModuleHandleA(nullptr), nullptr, nullptr,
                                       nullptr, nullptr, "SETTINGS_WINDOW_TEST"};
        RegisterClassA(&windowClass);  // fails harmlessly after the first test
        // The program's frame (caption, system menu) but hidden, as the program keeps it:
        // under Wine, tearing down a window that was once shown waits for a window
        // manager that Xvfb does not have.
        window = CreateWindowExA(0, "SETTINGS_WINDOW_TEST", "test", 0x00C80000, 50, 60, 300, 200,
                                 nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
        ASSERT_NE(window, nullptr);
        font = CreateFontA(-14, 0, 0, 0, 400, 0, 0, 0, 128, 3, 2, 1, 0x20, sjis(u8"ＭＳ ゴシック").c_str());
        ASSERT_NE(font, nullptr);

        g_recording = Recording();
        g_recording.window = window;
        g_recording.font = font;
        HHOOK cbt = SetWindowsHookExA(WH_CBT, recordCreation, nullptr, GetCurrentThreadId());
        HHOOK messages = SetWindowsHookExA(WH_CALLWNDPROC, recordMessages, nullptr, GetCurrentThreadId());
        createSettingsControls(window, font);
        UnhookWindowsHookEx(messages);
        UnhookWindowsHookEx(cbt);
        g_dialog = DialogCall();
    }

    void TearDown() override
    {
        DestroyWindow(window);
        DeleteObject(font);
    }

    HWND item(int id) const { return GetDlgItem(window, id); }

    // The controls' state: readMax text, list index, the four boxes as 0/1
    // digits, the voiceFile text.
    std::string shown() const
    {
        std::string checks;
        for (int id = ID_CHECK_WIDENUMBER; id <= ID_CHECK_ENABLEVOICE; ++id)
            checks += std::to_string(SendMessageA(item(id), BM_GETCHECK, 0, 0));
        return textOf(item(ID_EDIT_READMAX)) + " " +
               std::to_string(SendMessageA(item(ID_COMBO_OVERMAX), CB_GETCURSEL, 0, 0)) + " " + checks + " " +
               textOf(item(ID_EDIT_VOICEFILE));
    }

    HWND window = nullptr;
    HFONT font = nullptr;
};

// Fields 1 to 8 of a record, the way shown() lists the controls.
std::string fieldsOf(const Config& c)
{
    return std::to_string(c.useRegistry) + ": " + std::to_string(c.readMax) + " " +
           std::to_string(c.noReadOverMax) + " " + std::to_string(c.enableWideNumber) +
           std::to_string(c.ignoreComma) + std::to_string(c.stopOnPeriod) + std::to_string(c.enableVoice) + " " +
           c.voiceFile;
}

TEST_F(SettingsWindow, ControlsAreBuiltAsListed)
{
    RECT client;
    GetClientRect(window, &client);
    EXPECT_EQ(client.right - client.left, 400);
    EXPECT_EQ(client.bottom - client.top, 275);

    // The window is resized first; each control is created, gets the font,
    // then its limit or entries.
    std::vector<std::string> trace = {"resize"};
    for (const auto& control : EXPECTED) {
        const std::string id = std::strrchr(control.creation, ' ') + 1;
        trace.push_back(std::string("create ") + control.creation + " " + sjis(control.utf8Text));
        trace.push_back("font " + id);
        if (id == "20000")
            trace.push_back("limit " + id + " 9");
        if (id == "20001")
            for (const char* entry : LIST_ENTRIES)
                trace.push_back("add " + id + " " + sjis(entry));
        if (id == "20006")
            trace.push_back("limit " + id + " 1020");
    }
    EXPECT_EQ(g_recording.trace, trace);

    // The live controls, in creation order, read back the texts under code page 932.
    HWND control = GetWindow(window, GW_CHILD);
    for (const auto& expected : EXPECTED) {
        ASSERT_NE(control, nullptr);
        EXPECT_EQ(textOf(control), sjis(expected.utf8Text));
        control = GetWindow(control, GW_HWNDNEXT);
    }
    EXPECT_EQ(control, nullptr);
    for (WPARAM i = 0; i < std::size(LIST_ENTRIES); ++i) {
        char entry[256] = {};
        SendMessageA(item(ID_COMBO_OVERMAX), CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(entry));
        EXPECT_EQ(std::string(entry), sjis(LIST_ENTRIES[i]));
    }
}

TEST_F(SettingsWindow, ConfigToControlsAndBack)
{
    const std::string path = sjis(u8"C:\\音声\\ソース表示.wav");  // ソ and 表 end in a backslash byte
    const struct {
        Config config;
        std::string voiceFile, shown;
    } cases[] = {
        {{0, 16, 0, 0, 1, 1, 0, ""}, "prime.wav", "16 0 0110 prime.wav"},
        // A stored 7 is shown as index 1; the extremes exceed the edit's
        // nine-character limit, which binds only typing.
        {{1, -5, 7, 1, 0, 0, 1, ""}, path, "-5 1 1001 " + path},
        {{0, INT32_MIN, 0, 0, 0, 0, 0, ""}, "", "-2147483648 0 0000 "},
        {{0, INT32_MAX, 1, 1, 1, 1, 1, ""}, "", "2147483647 1 1111 "},
    };
    for (auto test : cases) {
        lstrcpyA(test.config.voiceFile, test.voiceFile.c_str());
        configToControls(window, test.config);
        EXPECT_EQ(shown(), test.shown);
        // Applied unchanged but for the index; useRegistry is not the controls'.
        Config applied;
        std::memset(&applied, 0x5A, sizeof applied);
        controlsToConfig(window, applied);
        test.config.useRegistry = 0x5A5A5A5A;
        test.config.noReadOverMax = test.config.noReadOverMax != 0;
        EXPECT_EQ(fieldsOf(applied), fieldsOf(test.config));
    }
}

TEST_F(SettingsWindow, EditTextsAreReadAsTheyAre)
{
    Config config;
    // An empty readMax edit means no cap; pasted text is read as far as it is a number.
    for (const auto& test : {std::make_pair("", 0), std::make_pair("12ab", 12), std::make_pair("4294967295", -1)}) {
        SetWindowTextA(item(ID_EDIT_READMAX), test.first);
        controlsToConfig(window, config);
        EXPECT_EQ(config.readMax, test.second) << test.first;
    }

    const std::string ascii = "C:\\" + std::string(1013, 'a') + ".wav";  // the edit's 1,020 characters
    SetWindowTextA(item(ID_EDIT_VOICEFILE), ascii.c_str());
    std::memset(config.voiceFile, 'X', sizeof config.voiceFile);
    controlsToConfig(window, config);
    EXPECT_EQ(std::string(config.voiceFile), ascii);
    // 1,020 double-byte characters are 2,040 bytes: the path arrives cut, but
    // ended, and with whole characters only: no lone first byte before the NUL.
    std::string wide;
    for (int i = 0; i < 1020; ++i)
        wide += sjis(u8"音");
    SetWindowTextA(item(ID_EDIT_VOICEFILE), wide.c_str());
    std::memset(config.voiceFile, 'X', sizeof config.voiceFile);
    controlsToConfig(window, config);
    ASSERT_NE(std::memchr(config.voiceFile, '\0', sizeof config.voiceFile), nullptr);
    EXPECT_EQ(std::string(config.voiceFile), wide.substr(0, 1022));
}

TEST_F(SettingsWindow, BrowseCancelledOrChosen)
{
    const Config before = g_config;
    SetWindowTextA(item(ID_EDIT_VOICEFILE), "current.wav");
    g_dialog.result = FALSE;
    g_dialog.chosenPath = "C:\\ignored.wav";
    chooseSoundFile(window);
    EXPECT_EQ(textOf(item(ID_EDIT_VOICEFILE)), "current.wav");

    const OPENFILENAMEA& r = g_dialog.request;
    EXPECT_EQ(r.lStructSize, static_cast<DWORD>(OPENFILENAME_SIZE_VERSION_400A));
    EXPECT_EQ(r.hwndOwner, window);
    EXPECT_EQ(g_dialog.filter, sjis(u8"音声ファイル(*.wav)") + std::string("\0*.wav\0\0", 8));
    EXPECT_EQ(r.nFilterIndex, 1u);
    EXPECT_EQ(r.nMaxFile, 1024u);
    EXPECT_TRUE(g_dialog.fileBufferWasZero);  // the edit's text is not offered
    EXPECT_EQ(r.Flags, 0x28180Cu);
    EXPECT_STREQ(r.lpstrDefExt, "wav");
    EXPECT_TRUE(r.hInstance == nullptr && r.lpstrCustomFilter == nullptr && r.nMaxCustFilter == 0 &&
                r.lpstrFileTitle == nullptr && r.nMaxFileTitle == 0 && r.lpstrInitialDir == nullptr &&
                r.lpstrTitle == nullptr && r.nFileOffset == 0 && r.nFileExtension == 0 && r.lCustData == 0 &&
                r.lpfnHook == nullptr && r.lpTemplateName == nullptr)
        << "every other field of the request is zero";

    g_dialog.result = TRUE;
    g_dialog.chosenPath = sjis(u8"C:\\サウンド\\発見.wav");
    chooseSoundFile(window);
    EXPECT_EQ(textOf(item(ID_EDIT_VOICEFILE)), g_dialog.chosenPath);
    // Choosing only fills the edit; nothing is applied.
    EXPECT_EQ(std::memcmp(&before, &g_config, sizeof g_config), 0);
}

} // namespace
