// The notification-area icon, its balloon, its right-click menu and the pause
// switch on that menu.
#pragma once

#include <windows.h>

// After windows.h, whose types it uses.
#include <shellapi.h>

#include <cstddef>

constexpr UINT TRAY_ICON_ID = 200;

// The record layout that ends with dwInfoFlags: balloon fields, but neither
// the identifier GUID nor the balloon icon (488 bytes in the 32-bit program).
constexpr DWORD TRAY_RECORD_SIZE = NOTIFYICONDATAA_V2_SIZE;

// The menu item layout without hbmpItem (44 bytes in the 32-bit program).
constexpr UINT MENU_ITEM_RECORD_SIZE = offsetof(MENUITEMINFOA, hbmpItem);

#ifndef _WIN64
static_assert(TRAY_RECORD_SIZE == 488, "NOTIFYICONDATAA up to dwInfoFlags");
static_assert(MENU_ITEM_RECORD_SIZE == 44, "MENUITEMINFOA without hbmpItem");
#endif

// Each returns what Shell_NotifyIconA returned; trayAdd is true when the icon
// is there, also when an add that reported failure did arrive.
BOOL trayAdd(HWND window);
BOOL trayRemove(HWND window);
// title and text are Shift-JIS, at most 63 and 255 bytes.
BOOL trayBalloon(HWND window, const char* title, const char* text);

// Right button released on the icon: the tray menu at the cursor.
void showTrayMenu(HWND window);

// Flips g_paused and the check mark of the pause item.
void togglePause();
