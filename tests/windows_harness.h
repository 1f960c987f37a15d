// Doubles that log the program's calls to the platform in order, fixtures, helpers.
#pragma once

#include <windows.h>

#include <gtest/gtest.h>

// The calls since the last take. Handles: W the window, N the next viewer, M the tray menu, I icon.
std::string takeTrace();
constexpr char SETTINGS_KEY[] = "Software\\yulbrex\\tramolivenga";  // under HKEY_CURRENT_USER
const HWND NEXT_VIEWER = HWND(0x1235);  // after the program in the viewer chain; no window
extern HWND g_window;
extern std::string g_chosenFile;  // the file dialog's answer; "" cancels
extern int g_held;                // heap blocks, text locks and clipboard opens not yet released
extern int g_trayRefusals;        // how many of the next tray calls fail, as at logon
extern SIZE_T g_blockBytes;       // when set, the size that GlobalSize reports
std::string utf8(const char* shiftJis);
std::string currentDirectory();
std::string iniPath();  // beside the test executable
void putClipboard(UINT format, const void* data, size_t bytes);

// The program's window as a fresh process creates it; no INI file or registry key before or after.
struct ProgramTest : ::testing::Test {
    void SetUp() override;
    void TearDown() override;
    LRESULT send(UINT m, WPARAM w = 0, LPARAM l = 0) { return SendMessageA(g_window, m, w, l); }
    std::string copy(const wchar_t* text);  // onto the clipboard, then the notification's calls
    std::string started;                    // the calls made while the window was created
};
