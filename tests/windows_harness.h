// For the Windows tests: doubles that log the program's calls to the platform in order, fixtures
// that leave no settings behind and start the program's window, helpers.
#pragma once

#include <windows.h>

#include <gtest/gtest.h>

std::string
takeTrace();  // the calls since the last take; handles W window, R recorder, M menu, I icon
constexpr char SETTINGS_KEY[] = "Software\\yulbrex\\tramolivenga";  // under HKEY_CURRENT_USER
extern HWND g_window, g_recorder;  // the program's window; the viewer after it, logging "R:DRAW"
extern std::string g_chosenFile;   // the file dialog's answer; "" cancels
extern int g_held;                 // heap blocks, text locks and clipboard opens not yet released
extern int g_trayRefusals;         // how many of the next tray calls fail, as at logon
extern SIZE_T g_blockBytes;        // when set, the size that GlobalSize reports
std::string utf8(const char* shiftJis);
std::string currentDirectory();
std::string iniPath();  // beside the test executable
void putClipboard(UINT format, const void* data, size_t bytes);

class StoreTest : public ::testing::Test {  // no INI file and no registry key before and after
protected:
    void SetUp() override;
    void TearDown() override;
};

class ProgramTest : public StoreTest {  // the program's window, the recorder after it in the chain
protected:
    void SetUp() override;
    void TearDown() override;
    LRESULT send(UINT message, WPARAM wParam = 0, LPARAM lParam = 0);
    std::string copy(const wchar_t* text, const char* until = "R:DRAW");  // the trace until `until`
    std::string started;  // the calls made while the window was created
};
