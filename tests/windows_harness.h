// For the Windows tests: doubles that log the program's calls to the platform in order, fixtures
// that leave no settings behind and start the program's window, helpers.
#pragma once

#include <windows.h>

#include <gtest/gtest.h>

#include "settings/config.h"

// The calls logged since the last take. Handles: W main window, R recorder, M tray menu, I icon.
std::string takeTrace();
constexpr char SETTINGS_KEY[] = "Software\\yulbrex\\tramolivenga";  // under HKEY_CURRENT_USER
extern HWND g_window, g_recorder;  // the program's window; the viewer after it, logging "R:DRAW"
extern std::string g_chosenFile;   // the file dialog's answer; "" cancels
extern int g_held;                 // heap blocks, text locks and clipboard opens not yet released
extern int g_trayRefusals;         // how many of the next tray calls fail, as at logon
extern SIZE_T g_blockBytes;        // when set, the size that GlobalSize reports
std::string utf8(const char* shiftJis);
std::string iniPath();  // beside the test executable
void putClipboard(UINT format, const void* data, size_t bytes);
std::string fieldsOf(const Config& config);  // "useRegistry|readMax|...|voiceFile"
std::string loaded();  // fieldsOf what loadConfig makes of a record full of a non-zero pattern

// No INI file and no registry key before and after each test, even a failed one.
class StoreTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;
};

// The program's window as a fresh process creates it, behind it a recorder in the viewer chain.
class ProgramTest : public StoreTest {
protected:
    void SetUp() override;
    void TearDown() override;
    std::string started;  // the calls made while the window was created
    LRESULT send(UINT message, WPARAM wParam = 0, LPARAM lParam = 0);
    std::string copy(const wchar_t* text, const char* until = "R:DRAW");  // the trace until `until`
};
