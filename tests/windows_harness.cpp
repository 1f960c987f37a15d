#include "windows_harness.h"

#include <commdlg.h>
#include <mmsystem.h>
#include <shellapi.h>

#include <cstring>
#include <type_traits>

#include "shell/main_window.h"

HWND g_window, g_recorder;
std::string g_chosenFile;
int g_held;
static std::string g_trace;
static char g_directory[MAX_PATH];

std::string takeTrace() { return std::exchange(g_trace, ""); }

template <class T> static std::string show(T value)
{  // a number, a text or a named handle
    if constexpr (std::is_integral_v<T>) {
        return std::to_string(value);
    } else if constexpr (std::is_same_v<std::decay_t<std::remove_pointer_t<T>>, char>) {
        return value ? utf8(value) : "null";
    } else {
        char name[64] = {};
        const void* handle = reinterpret_cast<const void*>(value);
        GetClassNameA(HWND(handle), name, sizeof name);
        return !handle              ? "0"
            : handle == g_recorder  ? "R"
            : handle == g_trayMenu  ? "M"
            : handle == g_smallIcon ? "I"
            : std::string(name) == MAIN_WINDOW_CLASS
            ? "W"
            : std::to_string(reinterpret_cast<uintptr_t>(handle));
    }
}

template <class... Values> static void log(const char* name, Values... values)
{
    const char* separator = "(";
    g_trace += name;
    ((g_trace += separator + show(values), separator = ","), ...);
    g_trace += sizeof...(values) ? ") " : " ";
}

// The program calls the platform through its import pointers, __imp__Name@bytes
// of arguments; defining them here puts a double in each function's place.
#define DOUBLE(type, name, bytes, params, body)                                                    \
    static type WINAPI fake##name params { return body; }                                          \
    decltype(&name) imp_##name asm("__imp__" #name "@" #bytes) = fake##name
#define REAL(dll, name, ...)                                                                       \
    reinterpret_cast<decltype(&name)>(                                                             \
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA(dll), #name)))(__VA_ARGS__)
DOUBLE(BOOL, Shell_NotifyIconA, 8, (DWORD m, PNOTIFYICONDATAA r),
    (log("Shell_NotifyIconA", m, r->cbSize, r->hWnd, r->uID, r->uFlags, r->uCallbackMessage,
         r->hIcon, r->szTip, r->szInfoTitle, r->szInfo, r->uTimeout, r->dwInfoFlags,
         r->dwState | r->dwStateMask),
        TRUE));
DOUBLE(BOOL, PlaySoundA, 12, (LPCSTR file, HMODULE module, DWORD flags),
    (log("PlaySoundA", file, module, flags,
         (GetCurrentDirectoryA(MAX_PATH, g_directory), g_directory)),
        TRUE));
DOUBLE(BOOL, GetOpenFileNameA, 4, (LPOPENFILENAMEA r),
    (log("GetOpenFileNameA", r->lStructSize, r->hwndOwner, r->lpstrFilter,
         r->lpstrFilter + strlen(r->lpstrFilter) + 1, r->nFilterIndex, r->lpstrFile, r->nMaxFile,
         r->Flags, r->lpstrDefExt, r->lpstrInitialDir, r->lpstrTitle),
        lstrcpynA(r->lpstrFile, g_chosenFile.c_str(), 1024), !g_chosenFile.empty()));
DOUBLE(BOOL, GetCursorPos, 4, (LPPOINT point), (log("GetCursorPos"), *point = {123, 45}, TRUE));
DOUBLE(BOOL, SetForegroundWindow, 4, (HWND w), (log("SetForegroundWindow", w), TRUE));
DOUBLE(BOOL, TrackPopupMenu, 28, (HMENU m, UINT f, int x, int y, int r, HWND w, const RECT* rc),
    (log("TrackPopupMenu", m, f, x, y, r, w, rc), TRUE));
DOUBLE(BOOL, SetMenuItemInfoA, 16, (HMENU m, UINT i, BOOL p, LPCMENUITEMINFOA info),
    (log("SetMenuItemInfoA", m, i, p, info->cbSize, info->fMask, info->fState),
        REAL("user32", SetMenuItemInfoA, m, i, p, info)));
DOUBLE(UINT_PTR, SetTimer, 16, (HWND w, UINT_PTR id, UINT ms, TIMERPROC f),
    (log("SetTimer", w, id, ms, f), REAL("user32", SetTimer, w, id, ms, f)));
DOUBLE(BOOL, KillTimer, 8, (HWND w, UINT_PTR id),
    (log("KillTimer", w, id), REAL("user32", KillTimer, w, id)));
DOUBLE(HWND, SetClipboardViewer, 4, (HWND w),
    (log("SetClipboardViewer", w), REAL("user32", SetClipboardViewer, w)));
DOUBLE(BOOL, ChangeClipboardChain, 8, (HWND w, HWND n),
    (log("ChangeClipboardChain", w, n), REAL("user32", ChangeClipboardChain, w, n)));
static int cutText(HWND window, LPSTR text, int size)
{  // as Windows may: at the buffer's end, inside a character
    std::string whole(4096, '\0');
    whole.resize(std::min(
        size_t(REAL("user32", GetWindowTextA, window, whole.data(), 4096)), size_t(size) - 1));
    std::memcpy(text, whole.c_str(), whole.size() + 1);
    return int(whole.size());
}
DOUBLE(int, GetWindowTextA, 12, (HWND w, LPSTR text, int size), cutText(w, text, size));
DOUBLE(LPVOID, HeapAlloc, 12, (HANDLE h, DWORD f, SIZE_T n),
    (++g_held, REAL("kernel32", HeapAlloc, h, f, n)));
DOUBLE(BOOL, HeapFree, 12, (HANDLE h, DWORD f, LPVOID p),
    (--g_held, REAL("kernel32", HeapFree, h, f, p)));
DOUBLE(LPVOID, GlobalLock, 4, (HGLOBAL h), (++g_held, REAL("kernel32", GlobalLock, h)));
DOUBLE(BOOL, GlobalUnlock, 4, (HGLOBAL h), (--g_held, REAL("kernel32", GlobalUnlock, h)));
DOUBLE(
    BOOL, OpenClipboard, 4, (HWND w), REAL("user32", OpenClipboard, w) ? (++g_held, TRUE) : FALSE);
DOUBLE(BOOL, CloseClipboard, 0, (), (--g_held, REAL("user32", CloseClipboard)));

std::string utf8(const char* shiftJis)
{
    wchar_t wide[2048] = {};  // texts of the ANSI interface are Shift-JIS, code page 932
    char text[4096] = {};
    MultiByteToWideChar(932, 0, shiftJis, -1, wide, 2048);
    WideCharToMultiByte(CP_UTF8, 0, wide, -1, text, sizeof text, nullptr, nullptr);
    return text;
}

std::string iniPath()
{
    char path[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    return std::string(path, strrchr(path, '\\') + 1) + "tramolivenga.ini";
}

void putClipboard(UINT format, const void* data, size_t bytes)
{
    for (int attempt = 0; attempt < 100 && !OpenClipboard(nullptr); ++attempt)
        Sleep(10);  // Wine's X clipboard bridge may hold it for a moment
    EmptyClipboard();
    HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, bytes);
    std::memcpy(GlobalLock(memory), data, bytes);
    GlobalUnlock(memory);
    SetClipboardData(format, memory);
    CloseClipboard();
}

std::string fieldsOf(const Config& c)
{
    std::string fields;
    for (int32_t value : {c.useRegistry, c.readMax, c.noReadOverMax, c.enableWideNumber,
             c.ignoreComma, c.stopOnPeriod, c.enableVoice})
        fields += std::to_string(value) + "|";
    return fields + utf8(c.voiceFile);
}

static LRESULT CALLBACK recorderProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_DRAWCLIPBOARD)
        return log("R:DRAW"), 0;
    if (message == WM_CHANGECBCHAIN)
        return log("R:CHANGECBCHAIN", HWND(wParam), HWND(lParam)), 0;
    return DefWindowProcA(window, message, wParam, lParam);
}

void ProgramTest::SetUp()
{
    // As a fresh process starts: no settings file, the shell's state zero.
    DeleteFileA(iniPath().c_str());
    std::memset(&g_config, 0, sizeof g_config);
    g_font = nullptr, g_smallIcon = nullptr, g_nextViewer = nullptr, g_menu = g_trayMenu = nullptr;
    g_skipNextDraw = g_paused = 0, g_taskbarCreatedMsg = 0;
    g_recorder
        = CreateWindowExA(0, "STATIC", "", 0, 0, 0, 0, 0, nullptr, nullptr, nullptr, nullptr);
    SetWindowLongPtrA(g_recorder, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(recorderProc));
    SetClipboardViewer(g_recorder);
    registerMainWindowClass(
        GetModuleHandleA(nullptr), static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    takeTrace();
    copy(L"7");  // a prime on the clipboard before the program starts
    ShowWindow(g_window = createMainWindow(GetModuleHandleA(nullptr)), SW_HIDE);
}

void ProgramTest::TearDown()
{
    // The program never destroys its window: the test does, without the shutdown sequence.
    SetWindowLongPtrA(g_window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(DefWindowProcA));
    ChangeClipboardChain(g_window, g_nextViewer);
    ChangeClipboardChain(g_recorder, nullptr);
    DestroyWindow(g_window);
    DestroyWindow(g_recorder);
    UnregisterClassA(MAIN_WINDOW_CLASS, GetModuleHandleA(nullptr));
    DeleteFileA(iniPath().c_str());
}

LRESULT ProgramTest::send(UINT message, WPARAM wParam, LPARAM lParam)
{
    return SendMessageA(g_window, message, wParam, lParam);
}

std::string ProgramTest::copy(const wchar_t* text, const char* until)
{
    putClipboard(CF_UNICODETEXT, text, (wcslen(text) + 1) * sizeof(wchar_t));
    for (DWORD start = GetTickCount();
         g_trace.find(until) == std::string::npos && GetTickCount() - start < 3000;) {
        MSG message;
        while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE))
            DispatchMessageA(&message);
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
    }
    return takeTrace();
}
