// Test doubles for the calls that would reach outside the test process
// (notification area, sound, file dialog) and a fixture that runs the real
// main window with a second clipboard viewer behind it.
#pragma once

#include <windows.h>
#include <shellapi.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

// What the doubles were given, in call order across all of them.
struct NotifyCall {
    int sequence;
    DWORD message;
    NOTIFYICONDATAA record;  // the bytes the caller's cbSize covered, the rest zero
};
struct SoundCall {
    int sequence;
    std::string file;
    HMODULE module;
    DWORD flags;
    std::string currentDirectory;  // at the moment of the call
};
extern std::vector<NotifyCall> g_notifyCalls;
extern std::vector<SoundCall> g_soundCalls;
extern int g_openFileDialogCalls;
void resetDoubles();
std::vector<NotifyCall> notifyCallsOf(DWORD message);

// The Shift-JIS bytes of a UTF-8 text, converted by the platform's code page
// tables (not by the program's own escapes).
std::string toShiftJis(const char* utf8);

// The test executable's directory without a trailing backslash, and the INI
// file that the program keeps there.
std::string exeDirectory();
std::string iniPath();

// Puts text on the clipboard through the API, as another program would.
void putClipboardText(const wchar_t* text);

// Dispatches this thread's messages until done() holds or timeoutMs passes;
// returns done().
template <class Done> bool pumpUntil(Done done, DWORD timeoutMs = 3000)
{
    const DWORD start = GetTickCount();
    while (!done()) {
        MSG message;
        while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&message);
            DispatchMessageA(&message);
        }
        if (done() || GetTickCount() - start > timeoutMs)
            break;
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
    }
    return done();
}
void pumpFor(DWORD milliseconds);

// A clipboard viewer that joins the chain before the program does, so it is
// the program's next viewer; it records what reaches it and passes it on.
struct RecordedChainMessage {
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
};
extern std::vector<RecordedChainMessage> g_recorderMessages;
int recorderDrawCount();

class MainWindowTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;
    // Runs just before the window is created, with the INI file removed.
    virtual void beforeCreate() {}
    // Runs the Exit command; TearDown then only removes the window object.
    void exitProgram();
    // Copies text and waits until the change has gone down the whole chain.
    void copyAndWait(const wchar_t* text);

    HINSTANCE instance = nullptr;
    HBRUSH background = nullptr;
    HWND recorder = nullptr;
    HWND window = nullptr;
    bool exited = false;
};
