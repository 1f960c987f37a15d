#include "shell/clipboard_viewer.h"

#include <mmsystem.h>

#include "prime/clipboard.h"
#include "settings/config.h"
#include "settings/storage.h"
#include "shell/main_window.h"
#include "shell/tray.h"

// "うおおおおおおお！素数だあああああああ！" in Shift-JIS: the balloon text.
static const char PRIME_EXCLAMATION[]
    = "\x82\xA4\x82\xA8\x82\xA8\x82\xA8\x82\xA8\x82\xA8\x82\xA8\x82\xA8\x81\x49"
      "\x91\x66\x90\x94\x82\xBE"
      "\x82\xA0\x82\xA0\x82\xA0\x82\xA0\x82\xA0\x82\xA0\x82\xA0\x81\x49";

// Joining sends a change notification at once, whether or not the clipboard
// changed; the skip flag keeps that one from being examined.
static void joinChain(HWND window)
{
    g_skipNextDraw = 1;
    g_nextViewer = SetClipboardViewer(window);
}

void joinClipboardChain(HWND window)
{
    joinChain(window);
    SetTimer(window, TIMER_REJOIN, REJOIN_PERIOD_MS, nullptr);
}

void leaveClipboardChain(HWND window)
{
    KillTimer(window, TIMER_REJOIN);
    ChangeClipboardChain(window, g_nextViewer);
}

// Rejoining now and then repairs a chain that a careless viewer broke.
void rejoinClipboardChain(HWND window)
{
    g_skipNextDraw = 1;
    ChangeClipboardChain(window, g_nextViewer);
    g_nextViewer = SetClipboardViewer(window);
}

void handleClipboardChange(HWND window, WPARAM wParam, LPARAM lParam)
{
    // The rest of the chain hears of every change, also of those ignored here.
    if (g_nextViewer != nullptr)
        SendMessageA(g_nextViewer, WM_DRAWCLIPBOARD, wParam, lParam);
    if (g_skipNextDraw) {
        g_skipNextDraw = 0;
        return;
    }
    if (g_paused)
        return;
    char digits[TEXT_BUFFER_SIZE];
    if (!checkClipboard(window, digits, g_config))
        return;
    if (g_config.enableVoice) {
        // A relative voiceFile (the default "prime.wav") lies beside the executable.
        SetCurrentDirectoryA(moduleDirectory());
        PlaySoundA(g_config.voiceFile, nullptr, SND_FILENAME | SND_ASYNC);
    }
    trayBalloon(window, digits, PRIME_EXCLAMATION);
}

void handleClipboardChainChange(WPARAM leaving, LPARAM following)
{
    HWND leavingWindow = reinterpret_cast<HWND>(leaving);
    if (leavingWindow == g_nextViewer)
        g_nextViewer = reinterpret_cast<HWND>(following);
    else if (g_nextViewer != nullptr)
        SendMessageA(g_nextViewer, WM_CHANGECBCHAIN, leaving, following);
}
