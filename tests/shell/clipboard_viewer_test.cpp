// Clipboard changes through the real API and viewer chain: the announcement,
// the skipped join notifications, the pause, the chain repair and the sound.
#include <gtest/gtest.h>

#include <windows.h>
#include <mmsystem.h>

#include <string>

#include "settings/config.h"
#include "shell/main_window.h"
#include "shell/menu_ids.h"
#include "shell_test_support.h"

namespace {

using Titles = std::vector<std::string>;

Titles balloonTitles()
{
    Titles titles;
    for (const NotifyCall& call : notifyCallsOf(NIM_MODIFY))
        titles.push_back(call.record.szInfoTitle);
    return titles;
}

LRESULT sendChainChange(HWND window, HWND leaving, HWND following)
{
    return SendMessageA(window, WM_CHANGECBCHAIN, reinterpret_cast<WPARAM>(leaving),
                        reinterpret_cast<LPARAM>(following));
}

// Pausing twice returns to unpaused and unchecked; only the pause item changes.
void choosePauseAndExpect(HWND window, int paused)
{
    EXPECT_EQ(SendMessageA(window, WM_COMMAND, ID_MENU_PAUSE, 0), 0);
    EXPECT_EQ(g_paused, paused);
    EXPECT_EQ(GetMenuState(g_trayMenu, ID_MENU_PAUSE, MF_BYCOMMAND), static_cast<UINT>(paused ? MF_CHECKED : 0));
    EXPECT_EQ(GetMenuState(g_trayMenu, ID_MENU_SETTINGS, MF_BYCOMMAND), 0u);
}

using ClipboardTest = MainWindowTest;

TEST_F(ClipboardTest, TheFirstPrimeOfACopiedTextIsAnnouncedWithItsAsciiDigitsAndTheSound)
{
    g_config.enableWideNumber = 1;
    copyAndWait(L"room 1001, code 2147483647, then 13");
    ASSERT_EQ(balloonTitles(), Titles{"2147483647"});
    EXPECT_EQ(std::string(g_notifyCalls.back().record.szInfo), toShiftJis(u8"うおおおおおおお！素数だあああああああ！"));
    EXPECT_TRUE(g_soundCalls.empty());  // sound is off by default

    copyAndWait(L"\xFF19\xFF17 yen");  // full-width 97
    copyAndWait(L"no digits here");
    copyAndWait(L"1,000,003");
    EXPECT_EQ(balloonTitles(), (Titles{"2147483647", "97", "1000003"}));

    // With sound on, the file beside the executable starts before the balloon.
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
    EXPECT_LT(sound.sequence, g_notifyCalls.back().sequence);
    EXPECT_EQ(balloonTitles().back(), "53");
    // The same prime again is announced in full.
    copyAndWait(L"53");
    EXPECT_EQ(g_soundCalls.size(), 2u);
    EXPECT_EQ(balloonTitles().size(), 5u);
}

TEST_F(ClipboardTest, EveryChangeGoesDownTheChainButNothingIsAnnouncedWhilePaused)
{
    ASSERT_EQ(g_nextViewer, recorder);
    const int before = recorderDrawCount();
    choosePauseAndExpect(window, 1);
    copyAndWait(L"paused 7");
    // Resuming does not look back at the text copied while paused.
    choosePauseAndExpect(window, 0);
    pumpFor(100);
    EXPECT_TRUE(balloonTitles().empty());
    copyAndWait(L"resumed 17");
    EXPECT_EQ(balloonTitles(), Titles{"17"});
    EXPECT_EQ(recorderDrawCount(), before + 2);

    EXPECT_EQ(SendMessageA(window, WM_DRAWCLIPBOARD, 0x1234, 0x5678), 0);
    EXPECT_EQ(g_recorderMessages.back().wParam, 0x1234u);
    EXPECT_EQ(g_recorderMessages.back().lParam, 0x5678);
}

class StartupClipboardTest : public MainWindowTest {
protected:
    void beforeCreate() override { putClipboardText(L"already there: 31"); }
};

TEST_F(StartupClipboardTest, TheJoinNotificationIsSkipped)
{
    pumpFor(200);
    EXPECT_EQ(g_skipNextDraw, 0);
    EXPECT_TRUE(balloonTitles().empty());
    copyAndWait(L"later: 37");
    EXPECT_EQ(balloonTitles(), Titles{"37"});
}

TEST_F(ClipboardTest, RejoiningSkipsItsOwnNotificationButPassesItOn)
{
    copyAndWait(L"41");
    const int before = recorderDrawCount();
    EXPECT_EQ(SendMessageA(window, WM_TIMER, TIMER_REJOIN, 0), 0);
    pumpFor(200);
    EXPECT_EQ(GetClipboardViewer(), window);
    EXPECT_EQ(g_nextViewer, recorder);
    EXPECT_EQ(recorderDrawCount(), before + 1);
    EXPECT_EQ(g_skipNextDraw, 0);

    // Another timer id does nothing at all.
    const size_t messages = g_recorderMessages.size();
    EXPECT_EQ(SendMessageA(window, WM_TIMER, TIMER_REJOIN + 1, 0), 0);
    pumpFor(100);
    EXPECT_EQ(g_recorderMessages.size(), messages);

    // Not announced again by the rejoin, but again by a second copy.
    copyAndWait(L"41");
    EXPECT_EQ(balloonTitles(), (Titles{"41", "41"}));
}

TEST_F(ClipboardTest, AChainChangeNamingTheNextWindowRepairsTheLinkAnyOtherIsPassedOn)
{
    HWND stranger = CreateWindowExA(0, "STATIC", "", 0, 0, 0, 1, 1, nullptr, nullptr, instance, nullptr);
    HWND follower = CreateWindowExA(0, "STATIC", "", 0, 0, 0, 1, 1, nullptr, nullptr, instance, nullptr);

    // Someone further down leaves: passed on unchanged, the link stays.
    EXPECT_EQ(sendChainChange(window, stranger, follower), 0);
    EXPECT_EQ(g_recorderMessages.back().message, static_cast<UINT>(WM_CHANGECBCHAIN));
    EXPECT_EQ(g_recorderMessages.back().wParam, reinterpret_cast<WPARAM>(stranger));
    EXPECT_EQ(g_recorderMessages.back().lParam, reinterpret_cast<LPARAM>(follower));
    EXPECT_EQ(g_nextViewer, recorder);

    // The next window leaves followed by another: the link goes to it.
    EXPECT_EQ(sendChainChange(window, recorder, follower), 0);
    EXPECT_EQ(g_nextViewer, follower);

    // The last one leaves: nothing is passed on any more, but primes are
    // still announced.
    g_nextViewer = recorder;
    const size_t before = g_recorderMessages.size();
    EXPECT_EQ(sendChainChange(window, recorder, nullptr), 0);
    EXPECT_EQ(g_nextViewer, nullptr);
    EXPECT_EQ(sendChainChange(window, stranger, follower), 0);
    putClipboardText(L"43");
    EXPECT_TRUE(pumpUntil([] { return !balloonTitles().empty(); }));
    pumpFor(100);
    EXPECT_EQ(g_recorderMessages.size(), before);
    EXPECT_EQ(balloonTitles(), Titles{"43"});

    g_nextViewer = recorder;
    DestroyWindow(stranger);
    DestroyWindow(follower);
}

}  // namespace
