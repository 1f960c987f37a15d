// The tray icon's records, its right-click menu, the pause switch and Exit.
#include <gtest/gtest.h>

#include <windows.h>
#include <shellapi.h>

#include <cstring>
#include <string>

#include "shell/main_window.h"
#include "shell/menu_ids.h"
#include "shell/tray.h"
#include "shell_test_support.h"

namespace {

// The record as the icon's table gives it, built field by field.
NOTIFYICONDATAA expectedRecord(HWND window)
{
    NOTIFYICONDATAA record;
    std::memset(&record, 0, sizeof record);
    record.cbSize = NOTIFYICONDATAA_V2_SIZE;
    record.hWnd = window;
    record.uID = 200;
    return record;
}

void expectSameRecord(const NOTIFYICONDATAA& actual, const NOTIFYICONDATAA& expected)
{
    EXPECT_EQ(actual.cbSize, expected.cbSize);
    EXPECT_EQ(actual.hWnd, expected.hWnd);
    EXPECT_EQ(actual.uID, expected.uID);
    EXPECT_EQ(actual.uFlags, expected.uFlags);
    EXPECT_EQ(actual.uCallbackMessage, expected.uCallbackMessage);
    EXPECT_EQ(actual.hIcon, expected.hIcon);
    EXPECT_STREQ(actual.szTip, expected.szTip);
    EXPECT_STREQ(actual.szInfo, expected.szInfo);
    EXPECT_EQ(actual.uTimeout, expected.uTimeout);
    EXPECT_STREQ(actual.szInfoTitle, expected.szInfoTitle);
    EXPECT_EQ(actual.dwInfoFlags, expected.dwInfoFlags);
    EXPECT_EQ(actual.dwState, expected.dwState);
    EXPECT_EQ(actual.dwStateMask, expected.dwStateMask);
    // And nothing else set: the whole covered record is as expected.
    EXPECT_EQ(std::memcmp(&actual, &expected, NOTIFYICONDATAA_V2_SIZE), 0);
}

using TrayTest = MainWindowTest;

TEST_F(TrayTest, AddBalloonAndRemoveSendTheirRecords)
{
#ifndef _WIN64
    EXPECT_EQ(NOTIFYICONDATAA_V2_SIZE, 488);
#endif
    ASSERT_EQ(g_notifyCalls.size(), 1u);
    EXPECT_EQ(g_notifyCalls[0].message, static_cast<DWORD>(NIM_ADD));
    NOTIFYICONDATAA add = expectedRecord(window);
    add.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
    add.uCallbackMessage = 0x8001;
    add.hIcon = g_smallIcon;
    std::strcpy(add.szTip, "Tramolivenga");
    ASSERT_NE(g_smallIcon, nullptr);
    expectSameRecord(g_notifyCalls[0].record, add);

    const std::string text = toShiftJis(u8"うおおおおおおお！素数だあああああああ！");
    ASSERT_EQ(text.size(), 40u);
    trayBalloon(window, "9223372036854775783", text.c_str());
    ASSERT_EQ(g_notifyCalls.size(), 2u);
    EXPECT_EQ(g_notifyCalls[1].message, static_cast<DWORD>(NIM_MODIFY));
    NOTIFYICONDATAA balloon = expectedRecord(window);
    balloon.uFlags = NIF_INFO;
    balloon.uTimeout = 10000;
    std::strcpy(balloon.szInfo, text.c_str());
    std::strcpy(balloon.szInfoTitle, "9223372036854775783");
    expectSameRecord(g_notifyCalls[1].record, balloon);

    // A title too long for the record is cut, not written past it.
    const std::string longTitle(100, '7');
    trayBalloon(window, longTitle.c_str(), text.c_str());
    ASSERT_EQ(g_notifyCalls.size(), 3u);
    EXPECT_EQ(std::string(g_notifyCalls[2].record.szInfoTitle), longTitle.substr(0, 63));
    EXPECT_EQ(std::string(g_notifyCalls[2].record.szInfo), text);

    exitProgram();
    ASSERT_EQ(g_notifyCalls.size(), 4u);
    EXPECT_EQ(g_notifyCalls[3].message, static_cast<DWORD>(NIM_DELETE));
    NOTIFYICONDATAA remove = expectedRecord(window);
    std::strcpy(remove.szTip, "Tramolivenga");
    expectSameRecord(g_notifyCalls[3].record, remove);
}

TEST_F(TrayTest, TaskbarCreatedAddsTheIconAgainAndKeepsThePause)
{
    EXPECT_EQ(SendMessageA(window, WM_COMMAND, ID_MENU_PAUSE, 0), 0);
    const UINT taskbarCreated = RegisterWindowMessageA("TaskbarCreated");
    for (int restart = 1; restart <= 2; ++restart) {
        EXPECT_EQ(SendMessageA(window, taskbarCreated, 0, 0), 0);
        const std::vector<NotifyCall> adds = notifyCallsOf(NIM_ADD);
        ASSERT_EQ(adds.size(), 1u + restart);
        expectSameRecord(adds.back().record, adds.front().record);
    }
    EXPECT_EQ(g_paused, 1);
    EXPECT_EQ(GetMenuState(g_trayMenu, ID_MENU_PAUSE, MF_BYCOMMAND) & MF_CHECKED, static_cast<UINT>(MF_CHECKED));

    // Before the message is registered its id is 0, which must not make
    // WM_NULL (id 0 too) add the icon.
    g_taskbarCreatedMsg = 0;
    EXPECT_EQ(SendMessageA(window, WM_NULL, 0, 0), 0);
    EXPECT_EQ(notifyCallsOf(NIM_ADD).size(), 3u);
}

TEST_F(TrayTest, PauseTwiceReturnsToUncheckedAndUnpaused)
{
    for (int choice = 1; choice <= 4; ++choice) {
        EXPECT_EQ(SendMessageA(window, WM_COMMAND, ID_MENU_PAUSE, 0), 0);
        const bool paused = choice % 2 == 1;
        EXPECT_EQ(g_paused, paused ? 1 : 0);
        const UINT state = GetMenuState(g_trayMenu, ID_MENU_PAUSE, MF_BYCOMMAND);
        EXPECT_EQ((state & MF_CHECKED) != 0, paused);
        EXPECT_EQ(state & (MF_GRAYED | MF_DISABLED), 0u);
        // The other items never change.
        EXPECT_EQ(GetMenuState(g_trayMenu, ID_MENU_SETTINGS, MF_BYCOMMAND), 0u);
        EXPECT_EQ(GetMenuState(g_trayMenu, ID_MENU_EXIT, MF_BYCOMMAND), 0u);
    }
}

// --- the right-click menu -----------------------------------------------------

struct MenuSeen {
    int popups = 0;
    HMENU menu = nullptr;
    RECT rect{};
    bool rectFound = false;
    int timerTicks = 0;
};
MenuSeen g_menuSeen;
HWND g_menuOwner;

LRESULT CALLBACK watchMenus(int code, WPARAM wParam, LPARAM lParam)
{
    const CWPSTRUCT* sent = reinterpret_cast<const CWPSTRUCT*>(lParam);
    if (code == HC_ACTION && sent->hwnd == g_menuOwner && sent->message == WM_INITMENUPOPUP) {
        ++g_menuSeen.popups;
        g_menuSeen.menu = reinterpret_cast<HMENU>(sent->wParam);
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

// Runs inside the menu's own loop: measures the open menu, then picks its
// first item ("設定") with the keyboard. A later tick closes a stuck menu.
void CALLBACK chooseFirstItem(HWND, UINT, UINT_PTR, DWORD)
{
    ++g_menuSeen.timerTicks;
    HWND popup = FindWindowA("#32768", nullptr);
    if (g_menuSeen.timerTicks == 1 && popup != nullptr) {
        g_menuSeen.rectFound = GetWindowRect(popup, &g_menuSeen.rect) != 0;
        PostMessageA(popup, WM_KEYDOWN, VK_DOWN, 0);
        PostMessageA(popup, WM_KEYDOWN, VK_RETURN, 0);
    } else if (g_menuSeen.timerTicks > 20) {
        EndMenu();
    }
}

class TrayMenuTest : public MainWindowTest {
protected:
    void SetUp() override
    {
        MainWindowTest::SetUp();
        g_menuSeen = MenuSeen{};
        g_menuOwner = window;
        hook = SetWindowsHookExA(WH_CALLWNDPROC, watchMenus, nullptr, GetCurrentThreadId());
    }
    void TearDown() override
    {
        UnhookWindowsHookEx(hook);
        MainWindowTest::TearDown();
    }
    HHOOK hook = nullptr;
};

TEST_F(TrayMenuTest, OnlyReleasingTheRightButtonOpensTheMenu)
{
    for (LPARAM mouse : {WM_LBUTTONDOWN, WM_LBUTTONUP, WM_LBUTTONDBLCLK, WM_RBUTTONDOWN, WM_RBUTTONDBLCLK,
                         WM_MOUSEMOVE, WM_CONTEXTMENU, NIN_BALLOONUSERCLICK, NIN_BALLOONTIMEOUT}) {
        EXPECT_EQ(SendMessageA(window, WM_TRAYNOTIFY, TRAY_ICON_ID, mouse), 0);
    }
    pumpFor(50);
    EXPECT_EQ(g_menuSeen.popups, 0);

    SetCursorPos(700, 500);
    POINT cursor{};
    GetCursorPos(&cursor);
    const UINT_PTR timer = SetTimer(nullptr, 0, 100, chooseFirstItem);
    EXPECT_EQ(SendMessageA(window, WM_TRAYNOTIFY, TRAY_ICON_ID, WM_RBUTTONUP), 0);
    KillTimer(nullptr, timer);

    EXPECT_EQ(g_menuSeen.popups, 1);
    EXPECT_EQ(g_menuSeen.menu, g_trayMenu);
    // Its bottom-right corner at the cursor.
    ASSERT_TRUE(g_menuSeen.rectFound);
    EXPECT_NEAR(g_menuSeen.rect.right, cursor.x, 1);
    EXPECT_NEAR(g_menuSeen.rect.bottom, cursor.y, 1);
    // The chosen item reaches the window as an ordinary command.
    EXPECT_TRUE(pumpUntil([&] { return IsWindowVisible(window) != 0; }, 2000));
}

TEST_F(TrayTest, ExitRemovesTheIconLeavesTheChainAndPostsQuitZero)
{
    ASSERT_EQ(GetClipboardViewer(), window);
    exitProgram();
    ASSERT_EQ(notifyCallsOf(NIM_DELETE).size(), 1u);
    EXPECT_EQ(notifyCallsOf(NIM_DELETE)[0].record.uID, TRAY_ICON_ID);
    // The next viewer is at the head of the chain again.
    EXPECT_EQ(GetClipboardViewer(), recorder);
    EXPECT_FALSE(KillTimer(window, TIMER_REJOIN));
    EXPECT_FALSE(IsMenu(g_menu));
    EXPECT_EQ(GetObjectType(g_font), 0u);
    MSG quit;
    ASSERT_TRUE(PeekMessageA(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
    EXPECT_EQ(quit.wParam, 0u);
    EXPECT_TRUE(IsWindow(window));
}

}  // namespace
