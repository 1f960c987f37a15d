// The resident program through its real window procedure: the calls it makes, in order.
#include "settings/config.h"
#include "settings/storage.h"
#include "shell/main_window.h"
#include "shell/menu_ids.h"
#include "windows_harness.h"

// 488 bytes: NOTIFYICONDATAA up to dwInfoFlags. The same icon added (0) or modified (1):
static const std::string ICON = "Shell_NotifyIconA(0,488,W,200,7,32769,I,Tramolivenga,,,0,0,0) ";
static const std::string MODIFIED = "Shell_NotifyIconA(1" + ICON.substr(19);
static const std::string PASSED_ON = "SendMessageA(N,776,0,0) ";  // the change, to the next viewer
static std::string balloon(const std::string& title)
{
    return "Shell_NotifyIconA(1,488,W,200,16,0,0,," + title
        + ",うおおおおおおお！素数だあああああああ！,10000,0,0) ";
}

TEST_F(ProgramTest, AnnouncesPrimesAsAMemberOfTheViewerChainThatKeepsItWhole)
{
    EXPECT_EQ(
        started, "SetClipboardViewer(W) SetTimer(W,100,30000,0) " + ICON + "KillTimer(W,101) ");
    EXPECT_EQ(copy(L"価格は1,009円です"), PASSED_ON + balloon("1009"));  // silent by default
    send(WM_TIMER, 99);
    send(WM_TIMER, 100);  // the notification of joining again is passed on, not examined
    EXPECT_EQ(takeTrace(), "ChangeClipboardChain(W,N) SetClipboardViewer(W) " + PASSED_ON);
    // A change further down goes on along the chain; a leaving next viewer gives way to its own.
    send(WM_CHANGECBCHAIN, 0x1233, 0x5677);
    send(WM_CHANGECBCHAIN, WPARAM(NEXT_VIEWER), 0x5677);
    EXPECT_EQ(copy(L"x"), "SendMessageA(N,781,4659,22135) SendMessageA(22135,776,0,0) ");
}

TEST_F(ProgramTest, PausedItIsSilentOnceResumedItPlaysTheSoundBesideItAndAnnounces)
{
    g_config.enableVoice = 1;  // the default sound, "prime.wav", is a name relative to the program
    SetCurrentDirectoryA("C:\\");
    std::string directory = moduleDirectory();
    directory.pop_back();  // the current directory has no trailing backslash
    std::string seen;
    for (WORD code : {0, 1}) {  // paused, then resumed: the menu's items act on any code
        send(WM_COMMAND, MAKEWPARAM(ID_MENU_PAUSE, code));
        seen += copy(L"7");
    }
    EXPECT_EQ(seen,
        PASSED_ON + PASSED_ON + "PlaySoundA(prime.wav,0,131073," + directory + ") "
            + balloon("7"));  // async file
}

TEST_F(ProgramTest, ShowsTheMenuAtTheCursorOnlyWhenTheRightButtonIsReleasedOnTheIcon)
{
    for (LPARAM other :
        {WM_MOUSEMOVE, WM_RBUTTONDOWN, WM_LBUTTONUP, WM_LBUTTONDBLCLK, WM_CONTEXTMENU})
        send(WM_TRAYNOTIFY, 200, other);
    EXPECT_EQ(takeTrace(), "");
    send(WM_TRAYNOTIFY, 200, WM_RBUTTONUP);  // and after the menu, a message for the next one
    EXPECT_EQ(takeTrace(),
        "GetCursorPos SetForegroundWindow(W) TrackPopupMenu(M,40,123,45,0,W,0) "
        "PostMessageA(W,0,0,0) ");
}

struct RefusedAtLogon : ProgramTest {
    RefusedAtLogon() { g_trayRefusals = 4; }  // the shell still busy starting
};

TEST_F(RefusedAtLogon, AddsTheIconAgainEveryThreeSecondsUntilItIsThere)
{
    send(WM_TIMER, 101);  // refused again, also when asked whether an add did arrive
    send(RegisterWindowMessageA("TaskbarCreated"));  // the icon is there: no more tries
    EXPECT_EQ(started + takeTrace(),
        "SetClipboardViewer(W) SetTimer(W,100,30000,0) " + ICON + MODIFIED
            + "SetTimer(W,101,3000,0) " + ICON + MODIFIED + "SetTimer(W,101,3000,0) " + ICON
            + "KillTimer(W,101) ");
}

TEST_F(ProgramTest, ExitsOnlyFromTheMenuReleasingEverythingButTheWindow)
{
    const HGDIOBJ font = g_font, menu = g_menu;
    send(WM_CLOSE);
    send(WM_COMMAND, MAKEWPARAM(ID_MENU_EXIT, 1));
    EXPECT_EQ(takeTrace(),
        "Shell_NotifyIconA(2,488,W,200,0,0,0,Tramolivenga,,,0,0,0) KillTimer(W,101) "
        "KillTimer(W,100) ChangeClipboardChain(W,N) ");
    EXPECT_TRUE(IsWindow(g_window) && !GetObjectType(font) && !IsMenu(HMENU(menu)));
    MSG quit = {};
    EXPECT_TRUE(PeekMessageA(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE) && quit.wParam == 0);
}
