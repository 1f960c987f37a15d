// Start-up, shutdown and the settings window's commands, driven through the
// real window procedure and message loop.
#include <gtest/gtest.h>

#include <windows.h>

#include <cstring>
#include <string>
#include <tuple>

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

HWND g_started;

// Runs inside runApplication's loop: looks at the started program, then
// chooses Exit as the tray menu would.
void CALLBACK inspectAndExit(HWND, UINT, UINT_PTR timer, DWORD)
{
    KillTimer(nullptr, timer);
    g_started = FindWindowA("TRAMOLIVENGA_WINDOW_CLASS", nullptr);
    if (g_started == nullptr) {
        PostQuitMessage(99);
        return;
    }
    EXPECT_EQ(windowText(g_started), "Tramolivenga Ver1.00");
    // A caption with the close box; no minimise, maximise or sizing border.
    EXPECT_EQ(GetWindowLongPtrA(g_started, GWL_STYLE) &
                  (WS_CAPTION | WS_SYSMENU | WS_THICKFRAME | WS_MINIMIZEBOX | WS_MAXIMIZEBOX),
              WS_CAPTION | WS_SYSMENU);
    EXPECT_FALSE(IsWindowVisible(g_started));
    EXPECT_EQ(GetClipboardViewer(), g_started);
    PostMessageA(g_started, WM_COMMAND, ID_MENU_EXIT, 0);
}

TEST(RunApplication, StartsHiddenWhateverTheShowCommandAndReturnsZeroAfterExit)
{
    HINSTANCE instance = GetModuleHandleA(nullptr);
    DeleteFileA(iniPath().c_str());
    char commandLine[] = "/show --settings";
    for (int showCommand : {SW_SHOWMAXIMIZED, SW_SHOWNORMAL}) {
        SCOPED_TRACE(showCommand);
        g_started = nullptr;
        SetTimer(nullptr, 0, 200, inspectAndExit);
        EXPECT_EQ(runApplication(instance, nullptr, commandLine, showCommand), 0);
        ASSERT_NE(g_started, nullptr);
        EXPECT_TRUE(IsWindow(g_started));  // left to the end of the process

        WNDCLASSEXA windowClass{};
        windowClass.cbSize = sizeof windowClass;
        ASSERT_TRUE(GetClassInfoExA(instance, MAIN_WINDOW_CLASS, &windowClass));
        EXPECT_EQ(std::make_tuple(windowClass.style, windowClass.lpfnWndProc, windowClass.hCursor, windowClass.hIconSm),
                  std::make_tuple(CS_HREDRAW | CS_VREDRAW, mainWindowProc, LoadCursorA(nullptr, IDC_ARROW), g_smallIcon));
        EXPECT_NE(windowClass.hbrBackground, nullptr);
        EXPECT_NE(g_smallIcon, nullptr);
        ICONINFO iconInfo{};
        ASSERT_TRUE(GetIconInfo(windowClass.hIcon, &iconInfo));
        BITMAP mask{};
        GetObjectA(iconInfo.hbmMask, sizeof mask, &mask);
        EXPECT_EQ(mask.bmWidth, 32);
        DeleteObject(iconInfo.hbmMask);
        DeleteObject(iconInfo.hbmColor);

        SetWindowLongPtrA(g_started, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(DefWindowProcA));
        DestroyWindow(g_started);
        UnregisterClassA(MAIN_WINDOW_CLASS, instance);
    }
    EXPECT_FALSE(iniExists());
}

// The state when the first settings control comes to be: settings and font
// ready, but no chain, icon or menu yet.
bool g_firstControlSeen;

LRESULT CALLBACK watchCreation(int code, WPARAM wParam, LPARAM lParam)
{
    const CREATESTRUCTA* creation =
        code == HCBT_CREATEWND ? reinterpret_cast<const CBT_CREATEWNDA*>(lParam)->lpcs : nullptr;
    if (creation && (creation->style & WS_CHILD) && !g_firstControlSeen) {
        g_firstControlSeen = true;
        EXPECT_EQ(g_config.readMax, 77);
        EXPECT_NE(g_font, nullptr);
        EXPECT_TRUE(g_notifyCalls.empty());
        EXPECT_NE(GetClipboardViewer(), creation->hwndParent);
        EXPECT_EQ(g_menu, nullptr);
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

class CreationTest : public MainWindowTest {
protected:
    void beforeCreate() override
    {
        WritePrivateProfileStringA("config", "readMax", "77", iniPath().c_str());
        g_paused = 1;
        g_firstControlSeen = false;
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
    EXPECT_TRUE(g_firstControlSeen);
    EXPECT_EQ(g_config.readMax, 77);

    LOGFONTA font{};
    ASSERT_EQ(GetObjectA(g_font, sizeof font, &font), static_cast<int>(sizeof font));
    EXPECT_EQ(std::make_tuple(font.lfHeight, font.lfWeight, font.lfItalic, font.lfCharSet, font.lfOutPrecision,
                              font.lfClipPrecision, font.lfQuality, font.lfPitchAndFamily),
              std::make_tuple(-14L, FW_NORMAL, 0, SHIFTJIS_CHARSET, OUT_STROKE_PRECIS, CLIP_STROKE_PRECIS,
                              DRAFT_QUALITY, FF_SWISS | DEFAULT_PITCH));
    EXPECT_EQ(std::string(font.lfFaceName), toShiftJis(u8"ＭＳ ゴシック"));
    EXPECT_EQ(reinterpret_cast<HFONT>(SendMessageA(GetDlgItem(window, ID_EDIT_READMAX), WM_GETFONT, 0, 0)), g_font);

    ASSERT_NE(g_menu, nullptr);
    EXPECT_EQ(g_trayMenu, GetSubMenu(g_menu, 0));
    EXPECT_EQ(g_paused, 0);
    EXPECT_TRUE(KillTimer(window, TIMER_REJOIN));  // the rejoin timer runs
}

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

TEST_F(SettingsCommandTest, OkAndApplyStoreAndSaveAndCancelKeepsTheAppliedValues)
{
    openSettings();
    EXPECT_EQ(windowText(control(ID_EDIT_READMAX)), "16");
    EXPECT_EQ(windowText(control(ID_EDIT_VOICEFILE)), "prime.wav");
    SetWindowTextA(control(ID_EDIT_READMAX), "250");
    EXPECT_EQ(command(IDOK), 0);
    EXPECT_FALSE(IsWindowVisible(window));
    EXPECT_EQ(iniInt("readMax"), 250);

    openSettings();
    SetWindowTextA(control(ID_EDIT_READMAX), "33");
    EXPECT_EQ(command(ID_BUTTON_APPLY), 0);
    EXPECT_TRUE(IsWindowVisible(window));
    EXPECT_EQ(iniInt("readMax"), 33);

    SetWindowTextA(control(ID_EDIT_READMAX), "44");
    EXPECT_EQ(command(IDCANCEL), 0);
    EXPECT_EQ(g_config.readMax, 33);
    EXPECT_EQ(iniInt("readMax"), 33);
    openSettings();
    EXPECT_EQ(windowText(control(ID_EDIT_READMAX)), "33");
}

TEST_F(SettingsCommandTest, CancelEscapeAndTheCloseBoxOnlyHide)
{
    for (const char* way : {"Cancel", "Escape", "close box"}) {
        SCOPED_TRACE(way);
        openSettings();
        SetWindowTextA(control(ID_EDIT_READMAX), "99");
        if (std::strcmp(way, "Cancel") == 0)
            EXPECT_EQ(command(IDCANCEL), 0);
        else if (std::strcmp(way, "Escape") == 0)
            pressKeyIn(ID_EDIT_READMAX, VK_ESCAPE);
        else
            EXPECT_EQ(SendMessageA(window, WM_CLOSE, 0, 0), 0);
        EXPECT_FALSE(IsWindowVisible(window));
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
    EXPECT_EQ(iniInt("readMax"), 123);

    openSettings();
    SetWindowTextA(control(ID_EDIT_VOICEFILE), "b.wav");
    pressKeyIn(ID_EDIT_VOICEFILE, VK_RETURN);
    EXPECT_FALSE(IsWindowVisible(window));
    EXPECT_STREQ(g_config.voiceFile, "b.wav");
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
    // A plain click on Browse does open the dialog.
    EXPECT_EQ(command(ID_BUTTON_BROWSE), 0);
    EXPECT_EQ(g_openFileDialogCalls, 1);
}

TEST_F(SettingsCommandTest, TrayMenuCommandsActWhateverTheNotificationCodeAndExitShutsDown)
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
    EXPECT_EQ(GetClipboardViewer(), recorder);  // the next viewer is at the head again
    EXPECT_FALSE(KillTimer(window, TIMER_REJOIN));
    EXPECT_FALSE(IsMenu(g_menu));
    EXPECT_EQ(GetObjectType(g_font), 0u);
    EXPECT_TRUE(IsWindow(window));
    MSG quit;
    ASSERT_TRUE(PeekMessageA(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
    EXPECT_EQ(quit.wParam, 0u);
}

}  // namespace
