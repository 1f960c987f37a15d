// For the Windows tests: doubles logging the program's calls to the platform, a fixture starting
// its window, helpers.
#pragma once

#include <windows.h>

#include <gtest/gtest.h>

#include "settings/config.h"

std::string takeTrace();  // the calls logged since the last time; handles named W main window, R
                          // recorder, M tray menu, I icon
extern HWND g_window,
    g_recorder;                   // the program's window; the viewer behind it, which logs "R:DRAW"
extern std::string g_chosenFile;  // the file dialog's answer; "" cancels
extern int g_held;                // heap blocks, text locks and clipboard opens not yet released
std::string utf8(const char* shiftJis);
std::string iniPath();  // beside the test executable
void putClipboard(UINT format, const void* data, size_t bytes);
std::string fieldsOf(const Config& config);  // "useRegistry|readMax|...|voiceFile"

class ProgramTest : public ::testing::Test {
protected:
    void SetUp() override;  // no INI file, the recorder in the chain, then the program's window
    void TearDown() override;
    LRESULT send(UINT message, WPARAM wParam = 0, LPARAM lParam = 0);
    std::string copy(
        const wchar_t* text, const char* until = "R:DRAW");  // the trace once `until` is in it
};
