#include "shell_test_support.h"

#include <commdlg.h>
#include <mmsystem.h>

#include <cstring>

#include "settings/config.h"
#include "shell/main_window.h"
#include "shell/menu_ids.h"

std::vector<NotifyCall> g_notifyCalls;
std::vector<SoundCall> g_soundCalls;
int g_openFileDialogCalls;
static int g_sequence;

static BOOL WINAPI recordNotify(DWORD message, PNOTIFYICONDATAA data)
{
    NotifyCall call{++g_sequence, message, {}};
    std::memcpy(&call.record, data, data->cbSize < sizeof call.record ? data->cbSize : sizeof call.record);
    g_notifyCalls.push_back(call);
    return TRUE;
}

static BOOL WINAPI recordSound(LPCSTR file, HMODULE module, DWORD flags)
{
    char directory[MAX_PATH] = {};
    GetCurrentDirectoryA(MAX_PATH, directory);
    g_soundCalls.push_back({++g_sequence, file ? file : "", module, flags, directory});
    return TRUE;
}

static BOOL WINAPI refuseOpenFile(LPOPENFILENAMEA)
{
    ++g_openFileDialogCalls;
    return FALSE;
}

// The product code calls these through the import pointers; defining the
// pointers here keeps the linker from taking the real imports.
extern "C" {
decltype(&Shell_NotifyIconA) __imp_Shell_NotifyIconA = recordNotify;
decltype(&PlaySoundA) __imp_PlaySoundA = recordSound;
decltype(&GetOpenFileNameA) __imp_GetOpenFileNameA = refuseOpenFile;
}

std::vector<NotifyCall> notifyCallsOf(DWORD message)
{
    std::vector<NotifyCall> calls;
    for (const NotifyCall& call : g_notifyCalls)
        if (call.message == message)
            calls.push_back(call);
    return calls;
}

std::string toShiftJis(const char* utf8)
{
    wchar_t wide[512] = {};
    MultiByteToWideChar(CP_UTF8, 0, utf8, -1, wide, 512);
    char bytes[1024] = {};
    WideCharToMultiByte(932, 0, wide, -1, bytes, sizeof bytes, nullptr, nullptr);
    return bytes;
}

std::string exeDirectory()
{
    char path[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    const std::string file = path;
    return file.substr(0, file.find_last_of('\\'));
}

std::string iniPath() { return exeDirectory() + "\\tramolivenga.ini"; }

void putClipboardText(const wchar_t* text)
{
    // Another process (the X clipboard bridge) may hold it for a moment.
    bool opened = false;
    for (int attempt = 0; attempt < 100 && !(opened = OpenClipboard(nullptr) != 0); ++attempt)
        Sleep(10);
    ASSERT_TRUE(opened);
    EmptyClipboard();
    const size_t bytes = (wcslen(text) + 1) * sizeof(wchar_t);
    HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, bytes);
    std::memcpy(GlobalLock(memory), text, bytes);
    GlobalUnlock(memory);
    SetClipboardData(CF_UNICODETEXT, memory);
    CloseClipboard();
}

void pumpFor(DWORD milliseconds)
{
    pumpUntil([] { return false; }, milliseconds);
}

std::vector<RecordedChainMessage> g_recorderMessages;
static HWND g_recorderNext;

int recorderDrawCount()
{
    int count = 0;
    for (const RecordedChainMessage& message : g_recorderMessages)
        count += message.message == WM_DRAWCLIPBOARD;
    return count;
}

static LRESULT CALLBACK recorderProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message != WM_DRAWCLIPBOARD && message != WM_CHANGECBCHAIN)
        return DefWindowProcA(window, message, wParam, lParam);
    g_recorderMessages.push_back({message, wParam, lParam});
    if (message == WM_CHANGECBCHAIN && reinterpret_cast<HWND>(wParam) == g_recorderNext)
        g_recorderNext = reinterpret_cast<HWND>(lParam);
    else if (g_recorderNext)
        SendMessageA(g_recorderNext, message, wParam, lParam);
    return 0;
}

void MainWindowTest::SetUp()
{
    instance = GetModuleHandleA(nullptr);
    DeleteFileA(iniPath().c_str());
    g_notifyCalls.clear();
    g_soundCalls.clear();
    g_openFileDialogCalls = 0;
    // Each test starts as a fresh process would: all shell state zeroed.
    std::memset(&g_config, 0, sizeof g_config);
    g_font = nullptr;
    g_smallIcon = nullptr;
    g_skipNextDraw = 0;
    g_nextViewer = nullptr;
    g_taskbarCreatedMsg = 0;
    g_menu = nullptr;
    g_trayMenu = nullptr;
    g_paused = 0;

    recorder = CreateWindowExA(0, "STATIC", "", 0, 0, 0, 10, 10, nullptr, nullptr, instance, nullptr);
    ASSERT_NE(recorder, nullptr);
    SetWindowLongPtrA(recorder, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(recorderProc));
    g_recorderNext = SetClipboardViewer(recorder);
    pumpFor(50);
    g_recorderMessages.clear();

    beforeCreate();
    background = CreateSolidBrush(GetSysColor(COLOR_BTNFACE));
    registerMainWindowClass(instance, background);
    window = createMainWindow(instance);
    ASSERT_NE(window, nullptr);
    ShowWindow(window, SW_HIDE);  // as runApplication leaves it before its loop
}

void MainWindowTest::exitProgram()
{
    SendMessageA(window, WM_COMMAND, ID_MENU_EXIT, 0);
    exited = true;
}

void MainWindowTest::copyAndWait(const wchar_t* text)
{
    const int before = recorderDrawCount();
    putClipboardText(text);
    ASSERT_TRUE(pumpUntil([&] { return recorderDrawCount() > before; }));
}

void MainWindowTest::TearDown()
{
    if (window != nullptr) {
        if (!exited)
            exitProgram();
        // The program never destroys its window; the test must, without
        // running the shutdown sequence a second time.
        SetWindowLongPtrA(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(DefWindowProcA));
        DestroyWindow(window);
    }
    if (recorder != nullptr) {
        ChangeClipboardChain(recorder, g_recorderNext);
        DestroyWindow(recorder);
    }
    // Drop the quit message the shutdown posted.
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
    }
    UnregisterClassA(MAIN_WINDOW_CLASS, instance);
    DeleteObject(background);
    DeleteFileA(iniPath().c_str());
}
