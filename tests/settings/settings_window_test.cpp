#include "settings/settings_window.h"

#include <windows.h>
#include <commdlg.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <iterator>
#include <string>
#include <vector>

namespace {

// The file dialog double: records what it was given and either cancels or
// "chooses" chosenPath.
struct DialogCall {
    int count = 0;
    OPENFILENAMEA request = {};
    std::string filter;             // up to and including the double NUL
    bool fileBufferWasZero = false;
    BOOL result = FALSE;
    std::string chosenPath;
};
DialogCall g_dialog;

BOOL WINAPI fakeGetOpenFileName(LPOPENFILENAMEA request)
{
    ++g_dialog.count;
    g_dialog.request = *request;
    const char* end = request->lpstrFilter;
    while (end[0] != '\0' || end[1] != '\0')
        ++end;
    g_dialog.filter.assign(request->lpstrFilter, end + 2);
    g_dialog.fileBufferWasZero = true;
    for (DWORD i = 0; i < request->nMaxFile; ++i)
        g_dialog.fileBufferWasZero = g_dialog.fileBufferWasZero && request->lpstrFile[i] == '\0';
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

struct ExpectedControl {
    const char* className;
    DWORD exStyle;
    LONG style;
    int x, y, width, height;
    int id;
    const char* utf8Text;
};

const ExpectedControl EXPECTED[] = {
    {"STATIC", 0, 0x50000002, 10, 10, 160, 25, -1, u8"処理する最大サイズ : "},
    {"EDIT", 0x200, 0x50012082, 170, 10, 100, 25, 20000, ""},
    {"STATIC", 0, 0x50000000, 270, 10, 120, 25, -1, u8" KB(0で無制限)"},
    {"COMBOBOX", 0x200, 0x50010003, 10, 40, 380, 80, 20001, ""},
    {"BUTTON", 0, 0x50010003, 10, 70, 380, 25, 20002, u8"全角数字も判定する"},
    {"BUTTON", 0, 0x50010003, 10, 100, 380, 25, 20003, u8"コンマを無視する"},
    {"BUTTON", 0, 0x50010003, 10, 130, 380, 25, 20004, u8"ピリオドで区切る"},
    {"BUTTON", 0, 0x50010003, 10, 160, 380, 25, 20005, u8"素数発見時に音声を再生する"},
    {"STATIC", 0, 0x50000002, 10, 190, 130, 25, -1, u8"再生する音声 : "},
    {"EDIT", 0x200, 0x50010080, 140, 190, 200, 25, 20006, ""},
    {"BUTTON", 0, 0x50000000, 340, 190, 50, 25, 20007, u8"参照"},
    {"BUTTON", 0, 0x50010001, 100, 240, 90, 25, 1, "OK"},
    {"BUTTON", 0, 0x50010000, 200, 240, 90, 25, 20008, u8"適用"},
    {"BUTTON", 0, 0x50010000, 300, 240, 90, 25, 2, u8"キャンセル"},
};

const char* const LIST_ENTRIES[] = {u8"最大サイズまでのみを必ず処理する", u8"最大サイズを超えた場合処理しない"};

// What createSettingsControls asked of the platform, seen through hooks.
struct CreateCall {
    std::string className;
    DWORD exStyle;
    LONG style;
    int x, y, width, height;
    INT_PTR id;
    std::string text;
    HINSTANCE instance;
    HWND parent;
    void* param;
};
struct Recording {
    HWND window = nullptr;
    HFONT font = nullptr;
    std::vector<CreateCall> creates;
    std::vector<std::string> trace;  // resize, create, font, limit, add in call order
    UINT resizeFlags = 0;
};
Recording g_recording;

LRESULT CALLBACK recordCreation(int code, WPARAM wParam, LPARAM lParam)
{
    const CREATESTRUCTA* cs = code == HCBT_CREATEWND ? reinterpret_cast<CBT_CREATEWNDA*>(lParam)->lpcs : nullptr;
    // Only the settings controls: not the list box inside the drop-down list,
    // nor the input-method window the system makes on its own.
    if (cs && cs->hwndParent == g_recording.window) {
        INT_PTR id = reinterpret_cast<INT_PTR>(cs->hMenu);
        g_recording.creates.push_back({IS_INTRESOURCE(cs->lpszClass) ? "#atom" : cs->lpszClass,
                                       cs->dwExStyle, cs->style, cs->x, cs->y, cs->cx, cs->cy, id,
                                       cs->lpszName ? cs->lpszName : "(null)", cs->hInstance,
                                       cs->hwndParent, cs->lpCreateParams});
        g_recording.trace.push_back("create " + std::to_string(id));
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

LRESULT CALLBACK recordMessages(int code, WPARAM wParam, LPARAM lParam)
{
    const CWPSTRUCT* sent = reinterpret_cast<CWPSTRUCT*>(lParam);
    if (sent->hwnd == g_recording.window && sent->message == WM_WINDOWPOSCHANGING) {
        g_recording.resizeFlags = reinterpret_cast<WINDOWPOS*>(sent->lParam)->flags;
        g_recording.trace.push_back("resize");
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
        WNDCLASSEXA windowClass = {};
        windowClass.cbSize = sizeof windowClass;
        windowClass.lpfnWndProc = DefWindowProcA;
        windowClass.hInstance = GetModuleHandleA(nullptr);
        windowClass.lpszClassName = "SETTINGS_WINDOW_TEST";
        RegisterClassExA(&windowClass);  // fails harmlessly after the first test
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

    void setChecks(WPARAM wide, WPARAM comma, WPARAM period, WPARAM voice)
    {
        SendMessageA(item(ID_CHECK_WIDENUMBER), BM_SETCHECK, wide, 0);
        SendMessageA(item(ID_CHECK_IGNORECOMMA), BM_SETCHECK, comma, 0);
        SendMessageA(item(ID_CHECK_STOPONPERIOD), BM_SETCHECK, period, 0);
        SendMessageA(item(ID_CHECK_ENABLEVOICE), BM_SETCHECK, voice, 0);
    }

    HWND window = nullptr;
    HFONT font = nullptr;
};

TEST_F(SettingsWindow, ClientAreaBecomes400By275WithoutMoving)
{
    RECT client;
    GetClientRect(window, &client);
    EXPECT_EQ(client.right - client.left, 400);
    EXPECT_EQ(client.bottom - client.top, 275);
    RECT frame;
    GetWindowRect(window, &frame);
    EXPECT_EQ(frame.left, 50);
    EXPECT_EQ(frame.top, 60);
    EXPECT_EQ(g_recording.resizeFlags & 0x207u, 0x206u);  // no move, no z-order change
}

TEST_F(SettingsWindow, ControlsAreCreatedAsListed)
{
    ASSERT_EQ(g_recording.creates.size(), std::size(EXPECTED));
    for (size_t i = 0; i < std::size(EXPECTED); ++i) {
        const ExpectedControl& expected = EXPECTED[i];
        const CreateCall& call = g_recording.creates[i];
        SCOPED_TRACE("control " + std::to_string(i + 1));
        EXPECT_EQ(call.className, expected.className);
        EXPECT_EQ(call.exStyle, expected.exStyle);
        EXPECT_EQ(call.style, expected.style);
        EXPECT_EQ(call.x, expected.x);
        EXPECT_EQ(call.y, expected.y);
        EXPECT_EQ(call.width, expected.width);
        EXPECT_EQ(call.height, expected.height);
        EXPECT_EQ(call.id, expected.id);
        EXPECT_EQ(call.text, sjis(expected.utf8Text));
        EXPECT_EQ(call.instance, GetModuleHandleA(nullptr));
        EXPECT_EQ(call.parent, window);
        EXPECT_EQ(call.param, nullptr);
    }
}

TEST_F(SettingsWindow, EachControlGetsItsFontThenItsLimitOrEntries)
{
    std::vector<std::string> expected = {"resize"};
    for (const ExpectedControl& control : EXPECTED) {
        std::string id = std::to_string(control.id);
        expected.push_back("create " + id);
        expected.push_back("font " + id);
        if (control.id == ID_EDIT_READMAX)
            expected.push_back("limit " + id + " 9");
        if (control.id == ID_COMBO_OVERMAX)
            for (const char* entry : LIST_ENTRIES)
                expected.push_back("add " + id + " " + sjis(entry));
        if (control.id == ID_EDIT_VOICEFILE)
            expected.push_back("limit " + id + " 1020");
    }
    EXPECT_EQ(g_recording.trace, expected);
}

TEST_F(SettingsWindow, LiveControlsShowWhatWasAsked)
{
    std::vector<HWND> children;
    for (HWND child = GetWindow(window, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
        children.push_back(child);
    ASSERT_EQ(children.size(), std::size(EXPECTED));

    for (size_t i = 0; i < children.size(); ++i) {
        const ExpectedControl& expected = EXPECTED[i];
        HWND control = children[i];
        SCOPED_TRACE("control " + std::to_string(i + 1));
        EXPECT_EQ(GetDlgCtrlID(control), expected.id);
        EXPECT_EQ(textOf(control), sjis(expected.utf8Text));  // read back under code page 932
        EXPECT_EQ(reinterpret_cast<HFONT>(SendMessageA(control, WM_GETFONT, 0, 0)), font);

        RECT rect;
        GetWindowRect(control, &rect);
        MapWindowPoints(nullptr, window, reinterpret_cast<POINT*>(&rect), 2);
        EXPECT_EQ(rect.left, expected.x);
        EXPECT_EQ(rect.top, expected.y);
        EXPECT_EQ(rect.right - rect.left, expected.width);
        // A closed drop-down list sizes itself; its 80 covers the opened list.
        if (expected.id != ID_COMBO_OVERMAX) {
            EXPECT_EQ(rect.bottom - rect.top, expected.height);
        }
    }
}

TEST_F(SettingsWindow, EditLimitsListEntriesAndEmptyStart)
{
    EXPECT_EQ(SendMessageA(item(ID_EDIT_READMAX), EM_GETLIMITTEXT, 0, 0), 9);
    EXPECT_EQ(SendMessageA(item(ID_EDIT_VOICEFILE), EM_GETLIMITTEXT, 0, 0), 1020);

    HWND list = item(ID_COMBO_OVERMAX);
    ASSERT_EQ(SendMessageA(list, CB_GETCOUNT, 0, 0), 2);
    for (WPARAM i = 0; i < 2; ++i) {
        char entry[256] = {};
        SendMessageA(list, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(entry));
        EXPECT_EQ(std::string(entry), sjis(LIST_ENTRIES[i]));
    }

    // Nothing is shown until the first configToControls.
    EXPECT_EQ(SendMessageA(list, CB_GETCURSEL, 0, 0), CB_ERR);
    for (int id = ID_CHECK_WIDENUMBER; id <= ID_CHECK_ENABLEVOICE; ++id)
        EXPECT_EQ(SendMessageA(item(id), BM_GETCHECK, 0, 0), BST_UNCHECKED) << id;
    EXPECT_EQ(textOf(item(ID_EDIT_READMAX)), "");
    EXPECT_EQ(textOf(item(ID_EDIT_VOICEFILE)), "");
}

TEST_F(SettingsWindow, TabVisitsTabStopsInCreationOrderWithoutBrowse)
{
    const int expected[] = {20000, 20001, 20002, 20003, 20004, 20005, 20006, 1, 20008, 2};
    HWND first = GetNextDlgTabItem(window, nullptr, FALSE);
    std::vector<int> visited;
    HWND control = first;
    do {
        visited.push_back(GetDlgCtrlID(control));
        control = GetNextDlgTabItem(window, control, FALSE);
    } while (control && control != first && visited.size() < 20);
    EXPECT_EQ(visited, std::vector<int>(std::begin(expected), std::end(expected)));
}

TEST_F(SettingsWindow, ConfigToControlsShowsTheDefaults)
{
    Config config;
    setDefaultConfig(config);
    configToControls(window, config);
    EXPECT_EQ(textOf(item(ID_EDIT_READMAX)), "16");
    EXPECT_EQ(SendMessageA(item(ID_COMBO_OVERMAX), CB_GETCURSEL, 0, 0), 0);
    EXPECT_EQ(SendMessageA(item(ID_CHECK_WIDENUMBER), BM_GETCHECK, 0, 0), BST_UNCHECKED);
    EXPECT_EQ(SendMessageA(item(ID_CHECK_IGNORECOMMA), BM_GETCHECK, 0, 0), BST_CHECKED);
    EXPECT_EQ(SendMessageA(item(ID_CHECK_STOPONPERIOD), BM_GETCHECK, 0, 0), BST_CHECKED);
    EXPECT_EQ(SendMessageA(item(ID_CHECK_ENABLEVOICE), BM_GETCHECK, 0, 0), BST_UNCHECKED);
    EXPECT_EQ(textOf(item(ID_EDIT_VOICEFILE)), "prime.wav");
}

TEST_F(SettingsWindow, ConfigToControlsShowsOddValues)
{
    Config config;
    setDefaultConfig(config);
    config.readMax = -5;
    config.noReadOverMax = 7;
    config.enableWideNumber = 1;
    config.ignoreComma = 0;
    config.stopOnPeriod = 0;
    config.enableVoice = 1;
    std::string path = sjis(u8"C:\\音声\\ソース表示.wav");  // ソ and 表 end in a backslash byte
    lstrcpyA(config.voiceFile, path.c_str());
    configToControls(window, config);
    EXPECT_EQ(textOf(item(ID_EDIT_READMAX)), "-5");
    EXPECT_EQ(SendMessageA(item(ID_COMBO_OVERMAX), CB_GETCURSEL, 0, 0), 1);
    EXPECT_EQ(SendMessageA(item(ID_CHECK_WIDENUMBER), BM_GETCHECK, 0, 0), BST_CHECKED);
    EXPECT_EQ(SendMessageA(item(ID_CHECK_IGNORECOMMA), BM_GETCHECK, 0, 0), BST_UNCHECKED);
    EXPECT_EQ(SendMessageA(item(ID_CHECK_STOPONPERIOD), BM_GETCHECK, 0, 0), BST_UNCHECKED);
    EXPECT_EQ(SendMessageA(item(ID_CHECK_ENABLEVOICE), BM_GETCHECK, 0, 0), BST_CHECKED);
    EXPECT_EQ(textOf(item(ID_EDIT_VOICEFILE)), path);

    // The extremes exceed the edit's nine-character limit, which binds only typing.
    config.readMax = INT32_MIN;
    configToControls(window, config);
    EXPECT_EQ(textOf(item(ID_EDIT_READMAX)), "-2147483648");
    config.readMax = INT32_MAX;
    configToControls(window, config);
    EXPECT_EQ(textOf(item(ID_EDIT_READMAX)), "2147483647");
}

TEST_F(SettingsWindow, ControlsToConfigReadsEveryControl)
{
    Config config;
    std::memset(&config, 0x5A, sizeof config);
    config.useRegistry = 12345;

    SetWindowTextA(item(ID_EDIT_READMAX), "250");
    SendMessageA(item(ID_COMBO_OVERMAX), CB_SETCURSEL, 1, 0);
    setChecks(BST_CHECKED, BST_UNCHECKED, BST_CHECKED, BST_UNCHECKED);
    std::string path = sjis(u8"D:\\効果音\\素数.wav");
    SetWindowTextA(item(ID_EDIT_VOICEFILE), path.c_str());
    controlsToConfig(window, config);
    EXPECT_EQ(config.useRegistry, 12345);
    EXPECT_EQ(config.readMax, 250);
    EXPECT_EQ(config.noReadOverMax, 1);
    EXPECT_EQ(config.enableWideNumber, 1);
    EXPECT_EQ(config.ignoreComma, 0);
    EXPECT_EQ(config.stopOnPeriod, 1);
    EXPECT_EQ(config.enableVoice, 0);
    EXPECT_EQ(std::string(config.voiceFile), path);

    // An empty edit means no cap; index 0 and cleared boxes come back as 0.
    SetWindowTextA(item(ID_EDIT_READMAX), "");
    SendMessageA(item(ID_COMBO_OVERMAX), CB_SETCURSEL, 0, 0);
    setChecks(BST_UNCHECKED, BST_CHECKED, BST_UNCHECKED, BST_CHECKED);
    SetWindowTextA(item(ID_EDIT_VOICEFILE), "");
    controlsToConfig(window, config);
    EXPECT_EQ(config.useRegistry, 12345);
    EXPECT_EQ(config.readMax, 0);
    EXPECT_EQ(config.noReadOverMax, 0);
    EXPECT_EQ(config.enableWideNumber, 0);
    EXPECT_EQ(config.ignoreComma, 1);
    EXPECT_EQ(config.stopOnPeriod, 0);
    EXPECT_EQ(config.enableVoice, 1);
    EXPECT_EQ(config.voiceFile[0], '\0');
}

TEST_F(SettingsWindow, ShownValuesApplyUnchangedExceptOddIndex)
{
    const int32_t readMaxValues[] = {-5, 0, 16, INT32_MIN, INT32_MAX};
    for (int32_t readMax : readMaxValues) {
        Config shown;
        setDefaultConfig(shown);
        shown.readMax = readMax;
        shown.noReadOverMax = 7;
        shown.useRegistry = 1;
        configToControls(window, shown);
        Config applied;
        setDefaultConfig(applied);
        applied.readMax = 99;
        applied.noReadOverMax = 99;
        controlsToConfig(window, applied);
        EXPECT_EQ(applied.readMax, readMax);
        EXPECT_EQ(applied.noReadOverMax, 1);  // 7 was shown as index 1
        EXPECT_EQ(applied.useRegistry, 0);
    }
}

TEST_F(SettingsWindow, LongPathsStayWithinTheBuffer)
{
    Config config;
    std::string ascii = "C:\\" + std::string(1013, 'a') + ".wav";
    ASSERT_EQ(ascii.size(), 1020u);
    SetWindowTextA(item(ID_EDIT_VOICEFILE), ascii.c_str());
    std::memset(config.voiceFile, 'X', sizeof config.voiceFile);
    controlsToConfig(window, config);
    EXPECT_EQ(std::string(config.voiceFile), ascii);

    // 1020 double-byte characters are 2040 bytes; the path arrives cut, but ended.
    std::string wide;
    for (int i = 0; i < 1020; ++i)
        wide += sjis(u8"音");
    SetWindowTextA(item(ID_EDIT_VOICEFILE), wide.c_str());
    std::memset(config.voiceFile, 'X', sizeof config.voiceFile);
    controlsToConfig(window, config);
    const void* end = std::memchr(config.voiceFile, '\0', sizeof config.voiceFile);
    ASSERT_NE(end, nullptr);
    size_t length = static_cast<size_t>(static_cast<const char*>(end) - config.voiceFile);
    // Whole characters only: no lone first byte before the NUL.
    EXPECT_EQ(length, 1022u);
    EXPECT_EQ(std::string(config.voiceFile, length), wide.substr(0, length));
}

TEST_F(SettingsWindow, BrowseAsksWithTheListedRequest)
{
    SetWindowTextA(item(ID_EDIT_VOICEFILE), "current.wav");
    g_dialog.result = FALSE;
    chooseSoundFile(window);
    ASSERT_EQ(g_dialog.count, 1);
    const OPENFILENAMEA& request = g_dialog.request;
    EXPECT_EQ(request.lStructSize, static_cast<DWORD>(OPENFILENAME_SIZE_VERSION_400A));
    EXPECT_EQ(request.hwndOwner, window);
    EXPECT_EQ(request.hInstance, nullptr);
    EXPECT_EQ(g_dialog.filter, sjis(u8"音声ファイル(*.wav)") + std::string("\0*.wav\0\0", 8));
    EXPECT_EQ(request.lpstrCustomFilter, nullptr);
    EXPECT_EQ(request.nMaxCustFilter, 0u);
    EXPECT_EQ(request.nFilterIndex, 1u);
    EXPECT_NE(request.lpstrFile, nullptr);
    EXPECT_EQ(request.nMaxFile, 1024u);
    EXPECT_TRUE(g_dialog.fileBufferWasZero);  // the edit's text is not offered
    EXPECT_EQ(request.lpstrFileTitle, nullptr);
    EXPECT_EQ(request.nMaxFileTitle, 0u);
    EXPECT_EQ(request.lpstrInitialDir, nullptr);
    EXPECT_EQ(request.lpstrTitle, nullptr);
    EXPECT_EQ(request.Flags, 0x28180Cu);
    EXPECT_EQ(request.nFileOffset, 0);
    EXPECT_EQ(request.nFileExtension, 0);
    EXPECT_STREQ(request.lpstrDefExt, "wav");
    EXPECT_EQ(request.lCustData, 0);
    EXPECT_EQ(request.lpfnHook, nullptr);
    EXPECT_EQ(request.lpTemplateName, nullptr);
}

TEST_F(SettingsWindow, BrowseCancelledOrChosen)
{
    Config config;
    setDefaultConfig(config);
    configToControls(window, config);
    Config before = g_config;

    g_dialog.result = FALSE;
    g_dialog.chosenPath = "C:\\ignored.wav";
    chooseSoundFile(window);
    EXPECT_EQ(g_dialog.count, 1);
    EXPECT_EQ(textOf(item(ID_EDIT_VOICEFILE)), "prime.wav");

    g_dialog.result = TRUE;
    g_dialog.chosenPath = sjis(u8"C:\\サウンド\\発見.wav");
    chooseSoundFile(window);
    EXPECT_EQ(g_dialog.count, 2);
    EXPECT_EQ(textOf(item(ID_EDIT_VOICEFILE)), g_dialog.chosenPath);
    // Choosing only fills the edit; nothing is applied.
    EXPECT_EQ(std::memcmp(&before, &g_config, sizeof g_config), 0);
}

} // namespace
