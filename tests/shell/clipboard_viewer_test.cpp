// Clipboard changes through the real API and viewer chain: the announcement,
// the skipped join notifications, the pause, the chain repair and the sound.
#include <gtest/gtest.h>

#include <windows.h>
#include <mmsystem.h>

#include <string>

#include "settings/config.h"
#include "shell/main_window.h"
#include "shell/menu_ids.h"
#include "shell/tray.h"
#include "shell_test_support.h"

namespace {

std::vector<std::string> balloonTitles()
{
    std::vector<std::string> titles;
    for (const NotifyCall& call : notifyCallsOf(NIM_MODIFY))
        titles.push_back(call.record.szInfoTitle);
    return titles;
}

using ClipboardTest = MainWindowTest;

TEST_F(ClipboardTest, APrimeInCopiedTextIsAnnouncedWithTheBalloon)
{
    copyAndWait(L"room 1001, code 2147483647, then 13");
    const std::vector<NotifyCall> balloons = notifyCallsOf(NIM_MODIFY);
    ASSERT_EQ(balloons.size(), 1u);
    const NOTIFYICONDATAA& record = balloons[0].record;
    EXPECT_EQ(record.cbSize, static_cast<DWORD>(NOTIFYICONDATAA_V2_SIZE));
    EXPECT_EQ(record.hWnd, window);
    EXPECT_EQ(record.uID, TRAY_ICON_ID);
    EXPECT_EQ(record.uFlags, static_cast<UINT>(NIF_INFO));
    EXPECT_STREQ(record.szInfoTitle, "2147483647");
    EXPECT_EQ(std::string(record.szInfo), toShiftJis(u8"うおおおおおおお！素数だあああああああ！"));
    EXPECT_EQ(record.uTimeout, 10000u);
    EXPECT_EQ(record.dwInfoFlags, 0u);
    EXPECT_EQ(record.hIcon, nullptr);
    // Sound is off by default: the balloon comes alone.
    EXPECT_TRUE(g_soundCalls.empty());
}

TEST_F(ClipboardTest, TheTitleHoldsTheScannersAsciiDigits)
{
    g_config.enableWideNumber = 1;
    copyAndWait(L"1,000,003");
    copyAndWait(L"\xFF19\xFF17 yen");  // full-width 97
    copyAndWait(L"no digits here");
    copyAndWait(L"1,000,003");
    EXPECT_EQ(balloonTitles(), (std::vector<std::string>{"1000003", "97", "1000003"}));
}

TEST_F(ClipboardTest, EveryChangeGoesDownTheChainTheFirstPrimeOnlyWhenNotPaused)
{
    ASSERT_EQ(g_nextViewer, recorder);
    const int before = recorderDrawCount();
    copyAndWait(L"4 6 8 9");
    EXPECT_TRUE(balloonTitles().empty());

    EXPECT_EQ(SendMessageA(window, WM_COMMAND, ID_MENU_PAUSE, 0), 0);
    copyAndWait(L"paused 7");
    copyAndWait(L"paused 11");
    EXPECT_TRUE(balloonTitles().empty());
    EXPECT_TRUE(g_soundCalls.empty());

    // Resuming does not look back at the text copied while paused.
    EXPECT_EQ(SendMessageA(window, WM_COMMAND, ID_MENU_PAUSE, 0), 0);
    pumpFor(100);
    EXPECT_TRUE(balloonTitles().empty());
    copyAndWait(L"resumed 17");
    EXPECT_EQ(balloonTitles(), std::vector<std::string>{"17"});
    EXPECT_EQ(recorderDrawCount(), before + 4);
}

TEST_F(ClipboardTest, TheSameWParamAndLParamArePassedOn)
{
    const size_t before = g_recorderMessages.size();
    EXPECT_EQ(SendMessageA(window, WM_DRAWCLIPBOARD, 0x1234, 0x5678), 0);
    ASSERT_EQ(g_recorderMessages.size(), before + 1);
    EXPECT_EQ(g_recorderMessages.back().message, static_cast<UINT>(WM_DRAWCLIPBOARD));
    EXPECT_EQ(g_recorderMessages.back().wParam, 0x1234u);
    EXPECT_EQ(g_recorderMessages.back().lParam, 0x5678);
}

class StartupClipboardTest : public MainWindowTest {
protected:
    void beforeCreate() override { putClipboardText(L"already there: 31"); }
};

TEST_F(StartupClipboardTest, TextOnTheClipboardAtStartIsNotExamined)
{
    pumpFor(200);
    EXPECT_EQ(g_skipNextDraw, 0);
    EXPECT_TRUE(balloonTitles().empty());
    copyAndWait(L"later: 37");
    EXPECT_EQ(balloonTitles(), std::vector<std::string>{"37"});
}

TEST_F(ClipboardTest, RejoiningSkipsItsOwnNotificationButPassesItOn)
{
    copyAndWait(L"41");
    ASSERT_EQ(balloonTitles().size(), 1u);
    const int before = recorderDrawCount();

    EXPECT_EQ(SendMessageA(window, WM_TIMER, TIMER_REJOIN, 0), 0);
    pumpFor(200);
    EXPECT_EQ(GetClipboardViewer(), window);
    EXPECT_EQ(g_nextViewer, recorder);
    EXPECT_EQ(recorderDrawCount(), before + 1);
    EXPECT_EQ(g_skipNextDraw, 0);
    EXPECT_EQ(balloonTitles().size(), 1u);  // 41 is not announced again

    // Another timer id does nothing at all.
    const size_t messages = g_recorderMessages.size();
    EXPECT_EQ(SendMessageA(window, WM_TIMER, TIMER_REJOIN + 1, 0), 0);
    pumpFor(100);
    EXPECT_EQ(g_recorderMessages.size(), messages);
    EXPECT_EQ(g_nextViewer, recorder);

    copyAndWait(L"41");
    EXPECT_EQ(balloonTitles(), (std::vector<std::string>{"41", "41"}));
}

TEST_F(ClipboardTest, AChainChangeNamingTheNextWindowRepairsTheLinkAnyOtherIsPassedOn)
{
    HWND stranger = CreateWindowExA(0, "STATIC", "", 0, 0, 0, 1, 1, nullptr, nullptr, instance, nullptr);
    HWND follower = CreateWindowExA(0, "STATIC", "", 0, 0, 0, 1, 1, nullptr, nullptr, instance, nullptr);

    // Someone further down leaves: passed on unchanged, the link stays.
    size_t before = g_recorderMessages.size();
    EXPECT_EQ(SendMessageA(window, WM_CHANGECBCHAIN, reinterpret_cast<WPARAM>(stranger),
                           reinterpret_cast<LPARAM>(follower)), 0);
    ASSERT_EQ(g_recorderMessages.size(), before + 1);
    EXPECT_EQ(g_recorderMessages.back().message, static_cast<UINT>(WM_CHANGECBCHAIN));
    EXPECT_EQ(g_recorderMessages.back().wParam, reinterpret_cast<WPARAM>(stranger));
    EXPECT_EQ(g_recorderMessages.back().lParam, reinterpret_cast<LPARAM>(follower));
    EXPECT_EQ(g_nextViewer, recorder);

    // The next window leaves and was the last: the link becomes null and
    // nothing is passed on any more.
    before = g_recorderMessages.size();
    EXPECT_EQ(SendMessageA(window, WM_CHANGECBCHAIN, reinterpret_cast<WPARAM>(recorder), 0), 0);
    EXPECT_EQ(g_nextViewer, nullptr);
    EXPECT_EQ(SendMessageA(window, WM_CHANGECBCHAIN, reinterpret_cast<WPARAM>(stranger),
                           reinterpret_cast<LPARAM>(follower)), 0);
    putClipboardText(L"43");
    EXPECT_TRUE(pumpUntil([] { return !balloonTitles().empty(); }));
    pumpFor(100);
    EXPECT_EQ(g_recorderMessages.size(), before);
    EXPECT_EQ(balloonTitles(), std::vector<std::string>{"43"});

    // A leaving window followed by another: the link goes to the follower.
    g_nextViewer = recorder;
    EXPECT_EQ(SendMessageA(window, WM_CHANGECBCHAIN, reinterpret_cast<WPARAM>(recorder),
                           reinterpret_cast<LPARAM>(follower)), 0);
    EXPECT_EQ(g_nextViewer, follower);
    g_nextViewer = recorder;

    DestroyWindow(stranger);
    DestroyWindow(follower);
}

TEST_F(ClipboardTest, WithSoundOnTheFileBesideTheExecutableStartsBeforeTheBalloon)
{
    g_config.enableVoice = 1;
    SetCurrentDirectoryA("C:\\windows");
    copyAndWait(L"53");
    ASSERT_EQ(g_soundCalls.size(), 1u);
    const SoundCall& sound = g_soundCalls[0];
    EXPECT_EQ(sound.file, "prime.wav");
    EXPECT_EQ(sound.module, nullptr);
    EXPECT_EQ(sound.flags, static_cast<DWORD>(SND_FILENAME | SND_ASYNC));
    EXPECT_EQ(CompareStringA(LOCALE_INVARIANT, NORM_IGNORECASE, sound.currentDirectory.c_str(), -1,
                             exeDirectory().c_str(), -1), CSTR_EQUAL)
        << sound.currentDirectory << " vs " << exeDirectory();
    const std::vector<NotifyCall> balloons = notifyCallsOf(NIM_MODIFY);
    ASSERT_EQ(balloons.size(), 1u);
    EXPECT_LT(sound.sequence, balloons[0].sequence);
    // The executable's directory stays current.
    char current[MAX_PATH] = {};
    GetCurrentDirectoryA(MAX_PATH, current);
    EXPECT_EQ(std::string(current), sound.currentDirectory);

    // Each prime, also the same one again, is announced in full.
    copyAndWait(L"53");
    EXPECT_EQ(g_soundCalls.size(), 2u);
    EXPECT_EQ(notifyCallsOf(NIM_MODIFY).size(), 2u);
}

}  // namespace
