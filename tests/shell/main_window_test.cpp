// Start-up, shutdown and the command side of the settings window, driven
// through the real window procedure and message loop.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>

#include "settings/config.h"
#include "settings/settings_window.h"
#include "shell/main_window.h"
#include "shell/menu_ids.h"
#include "shell/tray.h"
#include "shell_test_support.h"

namespace {

std::string windowText(HWND window)
{
    char text[1024] = {};
    GetWindowTextA(window, text, sizeof text);
    return text;
}

bool iniExists() { return GetFileAttributesA(iniPath().c_str()) != INVALID_FILE_ATTRIBUTES; }

int iniInt(const char* key) { return static_cast<int>(GetPrivateProfileIntA("config", key, -12345, iniPath().c_str())); }

std::string iniText(const char* key)
{
    char text[1024] = {};
    GetPrivateProfileStringA("config", key, "<none>", text, sizeof text, iniPath().c_str());
    return text;
}

// --- runApplication from start to exit --------------------------------------

struct StartupSeen {
    bool found = false;
    std::string className;
    std::string title;
    LONG_PTR style = 0;
    bool visible = true;
    bool isViewer = false;
    size_t addsBeforeExit = 0;
    HWND window = nullptr;
};
StartupSeen g_seen;

// Runs inside runApplication's loop: looks at the started program, then
// chooses Exit as the tray menu would.
void CALLBACK inspectAndExit(HWND, UINT, UINT_PTR timer, DWORD)
{
    KillTimer(nullptr, timer);
    HWND window = FindWindowA(MAIN_WINDOW_CLASS, nullptr);
    g_seen.found = window != nullptr;
    if (!window) {
        PostQuitMessage(99);
        return;
    }
    g_seen.window = window;
    char className[256] = {};
    GetClassNameA(window, className, sizeof className);
    g_seen.className = className;
    g_seen.title = windowText(window);
    g_seen.style = GetWindowLongPtrA(window, GWL_STYLE);
    g_seen.visible = IsWindowVisible(window) != 0;
    g_seen.isViewer = GetClipboardViewer() == window;
    g_seen.addsBeforeExit = notifyCallsOf(NIM_ADD).size();
    PostMessageA(window, WM_COMMAND, ID_MENU_EXIT, 0);
}

TEST(RunApplication, StartsHiddenWithIconAndEndsWithCodeZeroAfterExit)
{
    resetDoubles();
    DeleteFileA(iniPath().c_str());
    HINSTANCE instance = GetModuleHandleA(nullptr);
    char commandLine[] = "/show --settings";
    for (int showCommand : {SW_SHOWMAXIMIZED, SW_SHOWNORMAL}) {
        SCOPED_TRACE(showCommand);
        resetDoubles();
        g_seen = StartupSeen{};
        g_nextViewer = nullptr;
        SetTimer(nullptr, 0, 200, inspectAndExit);

        const int exitCode = runApplication(instance, nullptr, commandLine, showCommand);

        EXPECT_EQ(exitCode, 0);
        ASSERT_TRUE(g_seen.found);
        EXPECT_EQ(g_seen.className, "TRAMOLIVENGA_WINDOW_CLASS");
        EXPECT_EQ(g_seen.title, "Tramolivenga Ver1.00");
        // A caption with the close box; no minimise, maximise or sizing border.
        EXPECT_EQ(g_seen.style & (WS_CAPTION | WS_SYSMENU | WS_THICKFRAME | WS_MINIMIZEBOX | WS_MAXIMIZEBOX),
                  WS_CAPTION | WS_SYSMENU);
        EXPECT_FALSE(g_seen.visible);
        EXPECT_TRUE(g_seen.isViewer);
        EXPECT_EQ(g_seen.addsBeforeExit, 1u);
        // The icon is gone and the chain left before the loop ended.
        ASSERT_EQ(notifyCallsOf(NIM_DELETE).size(), 1u);
        EXPECT_EQ(notifyCallsOf(NIM_DELETE)[0].record.hWnd, g_seen.window);
        EXPECT_NE(GetClipboardViewer(), g_seen.window);
        EXPECT_FALSE(KillTimer(g_seen.window, TIMER_REJOIN));
        // The program leaves its window to the end of the process.
        EXPECT_TRUE(IsWindow(g_seen.window));

        WNDCLASSEXA windowClass{};
        windowClass.cbSize = sizeof windowClass;
        ASSERT_TRUE(GetClassInfoExA(instance, MAIN_WINDOW_CLASS, &windowClass));
        EXPECT_EQ(windowClass.style, static_cast<UINT>(CS_HREDRAW | CS_VREDRAW));
        EXPECT_EQ(windowClass.lpfnWndProc, mainWindowProc);
        EXPECT_EQ(windowClass.hCursor, LoadCursorA(nullptr, IDC_ARROW));
        EXPECT_NE(windowClass.hbrBackground, nullptr);
        EXPECT_NE(windowClass.hIcon, nullptr);
        EXPECT_NE(windowClass.hIconSm, nullptr);
        EXPECT_EQ(windowClass.hIconSm, g_smallIcon);
        ICONINFO iconInfo{};
        ASSERT_TRUE(GetIconInfo(windowClass.hIcon, &iconInfo));
        BITMAP mask{};
        GetObjectA(iconInfo.hbmMask, sizeof mask, &mask);
        EXPECT_EQ(mask.bmWidth, 32);
        DeleteObject(iconInfo.hbmMask);
        DeleteObject(iconInfo.hbmColor);

        SetWindowLongPtrA(g_seen.window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(DefWindowProcA));
        DestroyWindow(g_seen.window);
        UnregisterClassA(MAIN_WINDOW_CLASS, instance);
    }
    EXPECT_FALSE(iniExists());
}

// --- the creation sequence ---------------------------------------------------

// What the state was when the first settings control came to be.
struct AtFirstControl {
    bool seen = false;
    int32_t readMax = 0;
    HFONT font = nullptr;
    size_t trayAdds = 0;
    HWND viewer = nullptr;
    HMENU menu = nullptr;
};
AtFirstControl g_atFirstControl;

LRESULT CALLBACK watchCreation(int code, WPARAM wParam, LPARAM lParam)
{
    if (code == HCBT_CREATEWND && !g_atFirstControl.seen) {
        const CBT_CREATEWNDA* creation = reinterpret_cast<const CBT_CREATEWNDA*>(lParam);
        if (creation->lpcs->style & WS_CHILD) {
            g_atFirstControl.seen = true;
            g_atFirstControl.readMax = g_config.readMax;
            g_atFirstControl.font = g_font;
            g_atFirstControl.trayAdds = g_notifyCalls.size();
            g_atFirstControl.viewer = GetClipboardViewer();
            g_atFirstControl.menu = g_menu;
        }
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

class CreationTest : public MainWindowTest {
protected:
    void beforeCreate() override
    {
        WritePrivateProfileStringA("config", "readMax", "77", iniPath().c_str());
        WritePrivateProfileStringA("config", "enableVoice", "1", iniPath().c_str());
        g_atFirstControl = AtFirstControl{};
        hook = SetWindowsHookExA(WH_CBT, watchCreation, nullptr, GetCurrentThreadId());
    }
    void TearDown() override
    {
        UnhookWindowsHookEx(hook);
        MainWindowTest::TearDown();
    }
    HHOOK hook = nullptr;
};

TEST_F(CreationTest, LoadsSettingsAndFontBeforeControlsThenJoinsChainAddsIconAndLoadsMenu)
{
    ASSERT_TRUE(g_atFirstControl.seen);
    EXPECT_EQ(g_atFirstControl.readMax, 77);
    EXPECT_NE(g_atFirstControl.font, nullptr);
    EXPECT_EQ(g_atFirstControl.trayAdds, 0u);
    EXPECT_NE(g_atFirstControl.viewer, window);
    EXPECT_EQ(g_atFirstControl.menu, nullptr);

    EXPECT_EQ(g_config.readMax, 77);
    EXPECT_EQ(g_config.enableVoice, 1);
    EXPECT_STREQ(g_config.voiceFile, "prime.wav");

    LOGFONTA font{};
    ASSERT_EQ(GetObjectA(g_font, sizeof font, &font), static_cast<int>(sizeof font));
    EXPECT_EQ(font.lfHeight, -14);
    EXPECT_EQ(font.lfWeight, FW_NORMAL);
    EXPECT_EQ(font.lfItalic, 0);
    EXPECT_EQ(font.lfCharSet, SHIFTJIS_CHARSET);
    EXPECT_EQ(font.lfOutPrecision, OUT_STROKE_PRECIS);
    EXPECT_EQ(font.lfClipPrecision, CLIP_STROKE_PRECIS);
    EXPECT_EQ(font.lfQuality, DRAFT_QUALITY);
    EXPECT_EQ(font.lfPitchAndFamily, FF_SWISS | DEFAULT_PITCH);
    EXPECT_EQ(std::string(font.lfFaceName), toShiftJis(u8"ＭＳ ゴシック"));
    EXPECT_EQ(reinterpret_cast<HFONT>(SendMessageA(GetDlgItem(window, ID_EDIT_READMAX), WM_GETFONT, 0, 0)), g_font);

    EXPECT_EQ(GetClipboardViewer(), window);
    EXPECT_EQ(g_nextViewer, recorder);
    ASSERT_EQ(notifyCallsOf(NIM_ADD).size(), 1u);
    EXPECT_EQ(g_taskbarCreatedMsg, RegisterWindowMessageA("TaskbarCreated"));
    ASSERT_NE(g_menu, nullptr);
    EXPECT_EQ(g_trayMenu, GetSubMenu(g_menu, 0));
    EXPECT_EQ(GetMenuState(g_trayMenu, ID_MENU_PAUSE, MF_BYCOMMAND) & MF_CHECKED, 0u);
    EXPECT_EQ(g_paused, 0);
    // The rejoin timer runs (KillTimer finds it).
    EXPECT_TRUE(KillTimer(window, TIMER_REJOIN));
}

// --- the settings window's commands ---------------------------------------

class SettingsCommandTest : public MainWindowTest {
protected:
    void openSettings()
    {
        EXPECT_EQ(SendMessageA(window, WM_COMMAND, ID_MENU_SETTINGS, 0), 0);
        ASSERT_TRUE(IsWindowVisible(window));
    }
    HWND control(int id) { return GetDlgItem(window, id); }
    LRESULT command(int id, WORD code = 0)
    {
        return SendMessageA(window, WM_COMMAND, MAKEWPARAM(id, code), reinterpret_cast<LPARAM>(control(id)));
    }
    // Posts a key to the focused control and runs the program's own loop
    // until the quit message posted behind it.
    void pressKeyIn(int id, WPARAM key)
    {
        SetFocus(control(id));
        ASSERT_EQ(GetFocus(), control(id));
        PostMessageA(control(id), WM_KEYDOWN, key, 1);
        PostMessageA(control(id), WM_KEYUP, key, static_cast<LPARAM>(0xC0000001u));
        PostQuitMessage(0);
        EXPECT_EQ(runMessageLoop(window), 0);
    }
};

TEST_F(SettingsCommandTest, OpeningShowsTheRecordOkStoresSavesAndHides)
{
    openSettings();
    EXPECT_EQ(windowText(control(ID_EDIT_READMAX)), "16");
    EXPECT_EQ(windowText(control(ID_EDIT_VOICEFILE)), "prime.wav");

    SetWindowTextA(control(ID_EDIT_READMAX), "250");
    SendMessageA(control(ID_CHECK_ENABLEVOICE), BM_SETCHECK, BST_CHECKED, 0);
    SetWindowTextA(control(ID_EDIT_VOICEFILE), "a.wav");
    EXPECT_EQ(command(IDOK), 0);

    EXPECT_FALSE(IsWindowVisible(window));
    EXPECT_EQ(g_config.readMax, 250);
    EXPECT_EQ(g_config.enableVoice, 1);
    EXPECT_STREQ(g_config.voiceFile, "a.wav");
    EXPECT_EQ(iniInt("readMax"), 250);
    EXPECT_EQ(iniInt("enableVoice"), 1);
    EXPECT_EQ(iniText("voiceFile"), "a.wav");
}

TEST_F(SettingsCommandTest, ApplyStoresAndStaysOpenCancelThenKeepsTheAppliedValues)
{
    openSettings();
    SetWindowTextA(control(ID_EDIT_READMAX), "33");
    EXPECT_EQ(command(ID_BUTTON_APPLY), 0);
    EXPECT_TRUE(IsWindowVisible(window));
    EXPECT_EQ(g_config.readMax, 33);
    EXPECT_EQ(iniInt("readMax"), 33);

    SetWindowTextA(control(ID_EDIT_READMAX), "44");
    SendMessageA(control(ID_CHECK_WIDENUMBER), BM_SETCHECK, BST_CHECKED, 0);
    EXPECT_EQ(command(IDCANCEL), 0);
    EXPECT_FALSE(IsWindowVisible(window));
    EXPECT_EQ(g_config.readMax, 33);
    EXPECT_EQ(g_config.enableWideNumber, 0);
    EXPECT_EQ(iniInt("readMax"), 33);
    EXPECT_EQ(iniInt("enableWideNumber"), 0);

    openSettings();
    EXPECT_EQ(windowText(control(ID_EDIT_READMAX)), "33");
    EXPECT_EQ(SendMessageA(control(ID_CHECK_WIDENUMBER), BM_GETCHECK, 0, 0), BST_UNCHECKED);
}

TEST_F(SettingsCommandTest, CancelAndTheCloseBoxOnlyHide)
{
    for (bool useCloseBox : {false, true}) {
        SCOPED_TRACE(useCloseBox);
        openSettings();
        SetWindowTextA(control(ID_EDIT_READMAX), "99");
        if (useCloseBox)
            EXPECT_EQ(SendMessageA(window, WM_CLOSE, 0, 0), 0);
        else
            EXPECT_EQ(command(IDCANCEL), 0);
        EXPECT_FALSE(IsWindowVisible(window));
        EXPECT_TRUE(IsWindow(window));
        EXPECT_EQ(g_config.readMax, 16);
        EXPECT_FALSE(iniExists());
    }
    // Still resident: no icon removed, still in the chain.
    EXPECT_TRUE(notifyCallsOf(NIM_DELETE).empty());
    EXPECT_EQ(GetClipboardViewer(), window);
}

TEST_F(SettingsCommandTest, EnterInEitherEditActsAsOkThroughTheDialogNavigation)
{
    openSettings();
    SetWindowTextA(control(ID_EDIT_READMAX), "123");
    pressKeyIn(ID_EDIT_READMAX, VK_RETURN);
    EXPECT_FALSE(IsWindowVisible(window));
    EXPECT_EQ(g_config.readMax, 123);
    EXPECT_EQ(iniInt("readMax"), 123);

    openSettings();
    SetWindowTextA(control(ID_EDIT_VOICEFILE), "b.wav");
    pressKeyIn(ID_EDIT_VOICEFILE, VK_RETURN);
    EXPECT_FALSE(IsWindowVisible(window));
    EXPECT_STREQ(g_config.voiceFile, "b.wav");
    EXPECT_EQ(iniText("voiceFile"), "b.wav");
}

TEST_F(SettingsCommandTest, EscapeHidesWithoutApplying)
{
    openSettings();
    SetWindowTextA(control(ID_EDIT_READMAX), "77");
    pressKeyIn(ID_EDIT_READMAX, VK_ESCAPE);
    EXPECT_FALSE(IsWindowVisible(window));
    EXPECT_EQ(g_config.readMax, 16);
    EXPECT_FALSE(iniExists());
}

TEST_F(SettingsCommandTest, ButtonCommandsWithANotificationCodeChangeNothing)
{
    openSettings();
    SetWindowTextA(control(ID_EDIT_READMAX), "55");
    for (int id : {IDOK, IDCANCEL, ID_BUTTON_BROWSE, ID_BUTTON_APPLY}) {
        for (WORD code : {WORD{1}, WORD{BN_SETFOCUS}, WORD{0xFFFF}}) {
            SCOPED_TRACE(testing::Message() << id << " code " << code);
            EXPECT_EQ(command(id, code), 0);
            EXPECT_TRUE(IsWindowVisible(window));
        }
    }
    EXPECT_EQ(g_config.readMax, 16);
    EXPECT_FALSE(iniExists());
    EXPECT_EQ(g_openFileDialogCalls, 0);
    EXPECT_EQ(windowText(control(ID_EDIT_READMAX)), "55");

    // A plain click on Browse does open the dialog.
    EXPECT_EQ(command(ID_BUTTON_BROWSE), 0);
    EXPECT_EQ(g_openFileDialogCalls, 1);
}

TEST_F(SettingsCommandTest, TrayMenuCommandsActWhateverTheNotificationCode)
{
    g_config.readMax = -5;
    g_config.noReadOverMax = 7;
    EXPECT_EQ(command(ID_MENU_SETTINGS, 1), 0);
    EXPECT_TRUE(IsWindowVisible(window));
    EXPECT_EQ(windowText(control(ID_EDIT_READMAX)), "-5");
    EXPECT_EQ(SendMessageA(control(ID_COMBO_OVERMAX), CB_GETCURSEL, 0, 0), 1);

    EXPECT_EQ(command(ID_MENU_PAUSE, 1), 0);
    EXPECT_EQ(g_paused, 1);

    EXPECT_EQ(command(ID_MENU_EXIT, 1), 0);
    exited = true;
    EXPECT_EQ(notifyCallsOf(NIM_DELETE).size(), 1u);
    MSG quit;
    ASSERT_TRUE(PeekMessageA(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
    EXPECT_EQ(quit.wParam, 0u);
}

}  // namespace
