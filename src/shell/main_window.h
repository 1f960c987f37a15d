// The program's one window: settings window, clipboard viewer and owner of the
// tray icon at once. Its procedure routes every message to a small handler.
#pragma once

#include <windows.h>

#include <cstdint>

constexpr UINT_PTR TIMER_REJOIN = 100;  // clipboard-chain rejoin timer
constexpr UINT REJOIN_PERIOD_MS = 30000;
constexpr UINT_PTR TIMER_TRAY_RETRY = 101;  // adds the tray icon again until it is there
constexpr UINT TRAY_RETRY_MS = 3000;
constexpr UINT WM_TRAYNOTIFY = WM_APP + 1;  // tray icon callback (0x8001)

constexpr char MAIN_WINDOW_CLASS[] = "TRAMOLIVENGA_WINDOW_CLASS";
constexpr char MAIN_WINDOW_TITLE[] = "Tramolivenga Ver1.00";

// Process-global state of the shell; all of it starts zeroed.
extern HFONT g_font;              // font of every settings control
extern HICON g_smallIcon;         // 16 x 16 MAINICON: class small icon, tray icon
extern int32_t g_skipNextDraw;    // 1: the next change notification is the join's own
extern HWND g_nextViewer;         // next window of the clipboard viewer chain
extern UINT g_taskbarCreatedMsg;  // registered "TaskbarCreated"; 0 until creation
extern HMENU g_menu;              // the THEMENU resource
extern HMENU g_trayMenu;          // its first submenu, the tray popup
extern int32_t g_paused;          // 1: prime checking is paused

// The main routine: registers the class, creates the hidden window and runs
// the message loop until the quit message; returns its code. Only instance
// is used.
int runApplication(HINSTANCE instance, HINSTANCE previous, LPSTR commandLine, int showCommand);

// The steps of runApplication, kept separate so that each can be driven alone.
void registerMainWindowClass(HINSTANCE instance, HBRUSH background);
HWND createMainWindow(HINSTANCE instance);
int runMessageLoop(HWND window);

LRESULT CALLBACK mainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
