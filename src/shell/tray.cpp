#include "shell/tray.h"

#include <cstring>

#include "shell/main_window.h"
#include "shell/menu_ids.h"

static const char TRAY_TIP[] = "Tramolivenga";

// Every operation starts from a zero-filled record naming our icon.
static void startRecord(NOTIFYICONDATAA& record, HWND window)
{
    std::memset(&record, 0, sizeof record);
    record.cbSize = TRAY_RECORD_SIZE;
    record.hWnd = window;
    record.uID = TRAY_ICON_ID;
}

BOOL trayAdd(HWND window)
{
    NOTIFYICONDATAA record;
    startRecord(record, window);
    record.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
    record.uCallbackMessage = WM_TRAYNOTIFY;
    record.hIcon = g_smallIcon;
    lstrcpynA(record.szTip, TRAY_TIP, sizeof record.szTip);
    // An add that timed out while the shell was busy may still have arrived:
    // then the icon takes a modify.
    return Shell_NotifyIconA(NIM_ADD, &record) || Shell_NotifyIconA(NIM_MODIFY, &record);
}

BOOL trayRemove(HWND window)
{
    NOTIFYICONDATAA record;
    startRecord(record, window);
    lstrcpynA(record.szTip, TRAY_TIP, sizeof record.szTip);
    return Shell_NotifyIconA(NIM_DELETE, &record);
}

BOOL trayBalloon(HWND window, const char* title, const char* text)
{
    NOTIFYICONDATAA record;
    startRecord(record, window);
    record.uFlags = NIF_INFO;
    record.uTimeout = 10000;
    record.dwInfoFlags = NIIF_NONE;
    // Bounded copies: a too long string is cut rather than overrunning the record.
    lstrcpynA(record.szInfo, text, sizeof record.szInfo);
    lstrcpynA(record.szInfoTitle, title, sizeof record.szInfoTitle);
    return Shell_NotifyIconA(NIM_MODIFY, &record);
}

void showTrayMenu(HWND window)
{
    POINT cursor{};
    GetCursorPos(&cursor);
    // Without this the menu would not close when the user clicks elsewhere.
    SetForegroundWindow(window);
    // No TPM_RETURNCMD: the chosen item arrives as an ordinary WM_COMMAND.
    TrackPopupMenu(
        g_trayMenu, TPM_RIGHTALIGN | TPM_BOTTOMALIGN, cursor.x, cursor.y, 0, window, nullptr);
    // Without a message after the menu, the next one would close at once.
    PostMessageA(window, WM_NULL, 0, 0);
}

void togglePause()
{
    g_paused = g_paused ? 0 : 1;
    MENUITEMINFOA item;
    std::memset(&item, 0, sizeof item);
    item.cbSize = MENU_ITEM_RECORD_SIZE;
    item.fMask = MIIM_STATE;
    item.fState = g_paused ? MFS_CHECKED : MFS_UNCHECKED;
    SetMenuItemInfoA(g_trayMenu, ID_MENU_PAUSE, FALSE, &item);
}
