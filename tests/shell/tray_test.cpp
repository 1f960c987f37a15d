// The tray icon's records, its right-click menu and the pause switch.
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

// A zero-filled record naming the icon, the start of every operation.
NOTIFYICONDATAA iconRecord(HWND window, UINT flags)
{
    NOTIFYICONDATAA record;
    std::memset(&record, 0, sizeof record);
    record.cbSize = NOTIFYICONDATAA_V2_SIZE;
    record.hWnd = window;
    record.uID = 200;
    record.uFlags = flags;
    return record;
}

// The whole covered record must match, so no stray field is set either.
void expectRecord(const NotifyCall& call, DWORD message, const NOTIFYICONDATAA& expected)
{
    EXPECT_EQ(call.message, message);
    EXPECT_EQ(call.record.uFlags, expected.uFlags);
    EXPECT_EQ(std::memcmp(&call.record, &expected, NOTIFYICONDATAA_V2_SIZE), 0);
}

using TrayTest = MainWindowTest;

TEST_F(TrayTest, AddBalloonAndRemoveSendTheirRecords)
{
    ASSERT_EQ(g_notifyCalls.size(), 1u);
    NOTIFYICONDATAA add = iconRecord(window, NIF_MESSAGE | NIF_ICON | NIF_TIP);
    add.uCallbackMessage = 0x8001;
    ASSERT_NE(g_smallIcon, nullptr);
    add.hIcon = g_smallIcon;
    std::strcpy(add.szTip, "Tramolivenga");
    expectRecord(g_notifyCalls[0], NIM_ADD, add);

    trayBalloon(window, "9223372036854775783", "text");
    ASSERT_EQ(g_notifyCalls.size(), 2u);
    NOTIFYICONDATAA balloon = iconRecord(window, NIF_INFO);
    balloon.uTimeout = 10000;
    std::strcpy(balloon.szInfo, "text");
    std::strcpy(balloon.szInfoTitle, "9223372036854775783");
    expectRecord(g_notifyCalls[1], NIM_MODIFY, balloon);

    // Texts too long for the record are cut, not written past it.
    const std::string longTitle(100, '7'), longText(300, 'x');
    trayBalloon(window, longTitle.c_str(), longText.c_str());
    ASSERT_EQ(g_notifyCalls.size(), 3u);
    EXPECT_EQ(std::string(g_notifyCalls[2].record.szInfoTitle), longTitle.substr(0, 63));
    EXPECT_EQ(std::string(g_notifyCalls[2].record.szInfo), longText.substr(0, 255));

    exitProgram();
    ASSERT_EQ(g_notifyCalls.size(), 4u);
    NOTIFYICONDATAA remove = iconRecord(window, 0);
    std::strcpy(remove.szTip, "Tramolivenga");
    expectRecord(g_notifyCalls[3], NIM_DELETE, remove);
}

TEST_F(TrayTest, TaskbarCreatedAddsTheIconAgainButWmNullDoesNotBeforeItIsRegistered)
{
    EXPECT_EQ(SendMessageA(window, RegisterWindowMessageA("TaskbarCreated"), 0, 0), 0);
    const std::vector<NotifyCall> adds = notifyCallsOf(NIM_ADD);
    ASSERT_EQ(adds.size(), 2u);
    expectRecord(adds[1], NIM_ADD, adds[0].record);

    // Unregistered, the id is 0, as is WM_NULL's.
    g_taskbarCreatedMsg = 0;
    EXPECT_EQ(SendMessageA(window, WM_NULL, 0, 0), 0);
    EXPECT_EQ(notifyCallsOf(NIM_ADD).size(), 2u);
}

int g_menuPopups;
HMENU g_poppedMenu;
RECT g_menuRect;
int g_menuTicks;

LRESULT CALLBACK countMenus(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_INITMENUPOPUP) {
        ++g_menuPopups;
        g_poppedMenu = reinterpret_cast<HMENU>(wParam);
    }
    return mainWindowProc(window, message, wParam, lParam);
}

// Runs inside the menu's own loop: measures the open menu, then picks its
// first item ("設定") with the keyboard. A later tick closes a stuck menu.
void CALLBACK chooseFirstItem(HWND, UINT, UINT_PTR, DWORD)
{
    HWND popup = FindWindowA("#32768", nullptr);
    if (++g_menuTicks == 1 && popup != nullptr) {
        GetWindowRect(popup, &g_menuRect);
        PostMessageA(popup, WM_KEYDOWN, VK_DOWN, 0);
        PostMessageA(popup, WM_KEYDOWN, VK_RETURN, 0);
    } else if (g_menuTicks > 20) {
        EndMenu();
    }
}

TEST_F(TrayTest, OnlyReleasingTheRightButtonOpensTheMenuAtTheCursor)
{
    g_menuPopups = g_menuTicks = 0;
    g_menuRect = RECT{};
    SetWindowLongPtrA(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(countMenus));
    for (LPARAM mouse : {WM_LBUTTONDOWN, WM_LBUTTONUP, WM_LBUTTONDBLCLK, WM_RBUTTONDOWN, WM_RBUTTONDBLCLK,
                         WM_MOUSEMOVE, WM_CONTEXTMENU, NIN_BALLOONUSERCLICK})
        EXPECT_EQ(SendMessageA(window, WM_TRAYNOTIFY, TRAY_ICON_ID, mouse), 0);
    pumpFor(50);
    EXPECT_EQ(g_menuPopups, 0);

    SetCursorPos(700, 500);
    POINT cursor{};
    GetCursorPos(&cursor);
    const UINT_PTR timer = SetTimer(nullptr, 0, 100, chooseFirstItem);
    EXPECT_EQ(SendMessageA(window, WM_TRAYNOTIFY, TRAY_ICON_ID, WM_RBUTTONUP), 0);
    KillTimer(nullptr, timer);
    EXPECT_EQ(g_menuPopups, 1);
    EXPECT_EQ(g_poppedMenu, g_trayMenu);
    // Its bottom-right corner at the cursor.
    EXPECT_NEAR(g_menuRect.right, cursor.x, 1);
    EXPECT_NEAR(g_menuRect.bottom, cursor.y, 1);
    // The chosen item reaches the window as an ordinary command.
    EXPECT_TRUE(pumpUntil([&] { return IsWindowVisible(window) != 0; }, 2000));
}

}  // namespace
