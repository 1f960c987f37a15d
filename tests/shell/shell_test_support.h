// Test doubles for the calls that would leave the test process (notification
// area, sound, file dialog) and a fixture that runs the real main window with
// a second clipboard viewer behind it.
#pragma once

#include <windows.h>
#include <shellapi.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

// What the doubles were given; sequence orders the calls across all of them.
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
std::vector<NotifyCall> notifyCallsOf(DWORD message);

// Shift-JIS bytes of a UTF-8 text, by the platform's tables, not the program's escapes.
std::string toShiftJis(const char* utf8);
std::string exeDirectory();  // without a trailing backslash
std::string iniPath();
void putClipboardText(const wchar_t* text);  // through the API, as another program would

// Dispatches this thread's messages until done() holds or timeoutMs passes.
template <class Done> bool pumpUntil(Done done, DWORD timeoutMs = 3000)
{
    const DWORD start = GetTickCount();
    while (!done() && GetTickCount() - start <= timeoutMs) {
        MSG message;
        while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&message);
            DispatchMessageA(&message);
        }
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
    }
    return done();
}
void pumpFor(DWORD milliseconds);

// The viewer that joined the chain before the program, so is its next one;
// it records what reaches it and passes it on.
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
    virtual void beforeCreate() {}  // the INI file is already removed
    void exitProgram();             // TearDown then only removes the window object
    // Copies text and waits until the change has gone down the whole chain.
    void copyAndWait(const wchar_t* text);

    HINSTANCE instance = nullptr;
    HBRUSH background = nullptr;
    HWND recorder = nullptr;
    HWND window = nullptr;
    bool exited = false;
};
