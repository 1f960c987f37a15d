#include "windows_harness.h"

#include <commdlg.h>
#include <mmsystem.h>
#include <shellapi.h>

#include <cstring>

#include "settings/config.h"
#include "shell/main_window.h"

HWND g_window;
std::string g_chosenFile;
int g_held, g_trayRefusals;
SIZE_T g_blockBytes;
static std::string g_trace;

std::string takeTrace() { return std::exchange(g_trace, ""); }

static std::string nameOf(const void* handle)  // the window has no handle yet while it is created
{
    char name[64] = {};
    GetClassNameA(HWND(handle), name, sizeof name);
    return !handle                         ? "0"
        : !strcmp(name, MAIN_WINDOW_CLASS) ? "W"
        : handle == NEXT_VIEWER            ? "N"
        : handle == g_trayMenu             ? "M"
        : handle == g_smallIcon            ? "I"
                                           : std::to_string(uintptr_t(handle));
}

template <class T> static std::string show(T value)  // a number, a text or a named handle
{
    if constexpr (std::is_arithmetic_v<T>)
        return std::to_string(value);
    else if constexpr (std::is_convertible_v<T, const char*>)
        return value ? utf8(value) : "null";
    else
        return nameOf(reinterpret_cast<const void*>(value));
}

template <class... Values> static void log(const char* name, Values... values)
{
    const char* separator = "(";
    g_trace += name;
    ((g_trace += separator + show(values), separator = ","), ...);
    g_trace += sizeof...(values) ? ") " : " ";
}

// The program calls the platform through its import pointers, __imp__Name@bytes of arguments;
// defining them here puts a double in each function's place.
#define DOUBLE(type, name, bytes, params, body)                                                    \
    static type WINAPI fake##name params { return body; }                                          \
    decltype(&name) imp_##name asm("__imp__" #name "@" #bytes) = fake##name
#define REAL(dll, name, ...)                                                                       \
    reinterpret_cast<decltype(&name)>(                                                             \
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA(#dll), #name)))(__VA_ARGS__)
DOUBLE(BOOL, Shell_NotifyIconA, 8, (DWORD m, PNOTIFYICONDATAA r),
    (log("Shell_NotifyIconA", m, r->cbSize, r->hWnd, r->uID, r->uFlags, r->uCallbackMessage,
         r->hIcon, r->szTip, r->szInfoTitle, r->szInfo, r->uTimeout, r->dwInfoFlags,
         r->dwState | r->dwStateMask),
        g_trayRefusals > 0 ? (--g_trayRefusals, FALSE) : TRUE));
// The real dialog leaves the current directory wherever the user browsed to.
DOUBLE(BOOL, GetOpenFileNameA, 4, (LPOPENFILENAMEA r),
    (log("GetOpenFileNameA", r->hwndOwner, r->lpstrFilter, r->Flags),
        SetCurrentDirectoryA("C:\\windows"), lstrcpynA(r->lpstrFile, g_chosenFile.c_str(), 1024),
        !g_chosenFile.empty()));
// The sound is looked for from the current directory: the log shows it.
DOUBLE(BOOL, PlaySoundA, 12, (LPCSTR s, HMODULE m, DWORD f),
    (log("PlaySoundA", s, m, f, currentDirectory().c_str()), TRUE));
DOUBLE(BOOL, GetCursorPos, 4, (LPPOINT point), (log("GetCursorPos"), *point = {123, 45}, TRUE));
DOUBLE(BOOL, SetForegroundWindow, 4, (HWND w), (log("SetForegroundWindow", w), TRUE));
DOUBLE(BOOL, TrackPopupMenu, 28, (HMENU m, UINT f, int x, int y, int r, HWND w, const RECT* rc),
    (log("TrackPopupMenu", m, f, x, y, r, w, rc), TRUE));
// Posts and timers are only logged: the tests deliver messages and timer ticks themselves.
DOUBLE(BOOL, PostMessageA, 16, (HWND w, UINT m, WPARAM wp, LPARAM l),
    (log("PostMessageA", w, m, wp, l), 1));
DOUBLE(UINT_PTR, SetTimer, 16, (HWND w, UINT_PTR id, UINT ms, TIMERPROC f),
    (log("SetTimer", w, id, ms, f), id));
DOUBLE(BOOL, KillTimer, 8, (HWND w, UINT_PTR id), (log("KillTimer", w, id), TRUE));
// The viewer chain as Windows keeps it, with NEXT_VIEWER after the program: joining notifies the
// new viewer at once, and what is sent to another viewer is logged.
DOUBLE(HWND, SetClipboardViewer, 4, (HWND w),
    (log("SetClipboardViewer", w), SendMessageA(w, WM_DRAWCLIPBOARD, 0, 0), NEXT_VIEWER));
DOUBLE(BOOL, ChangeClipboardChain, 8, (HWND w, HWND n), (log("ChangeClipboardChain", w, n), TRUE));
DOUBLE(LRESULT, SendMessageA, 16, (HWND w, UINT m, WPARAM wp, LPARAM lp),
    IsWindow(w) ? REAL(user32, SendMessageA, w, m, wp, lp)
                : (log("SendMessageA", w, m, wp, lp), 0));
// A buffer that a read could run past holds a pattern first, never a lucky NUL.
DOUBLE(LSTATUS, RegQueryValueExA, 24, (HKEY k, LPCSTR n, LPDWORD r, LPDWORD t, LPBYTE d, LPDWORD s),
    (d && s && memset(d, 0x5A, *s), REAL(advapi32, RegQueryValueExA, k, n, r, t, d, s)));
DOUBLE(SIZE_T, GlobalSize, 4, (HGLOBAL h),
    g_blockBytes ? g_blockBytes : REAL(kernel32, GlobalSize, h));
DOUBLE(LPVOID, HeapAlloc, 12, (HANDLE h, DWORD f, SIZE_T n),
    (++g_held, REAL(kernel32, HeapAlloc, h, f, n)));
DOUBLE(BOOL, HeapFree, 12, (HANDLE h, DWORD f, LPVOID p),
    (--g_held, REAL(kernel32, HeapFree, h, f, p)));
DOUBLE(LPVOID, GlobalLock, 4, (HGLOBAL h), (++g_held, REAL(kernel32, GlobalLock, h)));
DOUBLE(BOOL, GlobalUnlock, 4, (HGLOBAL h), (--g_held, REAL(kernel32, GlobalUnlock, h)));
DOUBLE(BOOL, OpenClipboard, 4, (HWND w), REAL(user32, OpenClipboard, w) ? (++g_held, TRUE) : FALSE);
DOUBLE(BOOL, CloseClipboard, 0, (), (--g_held, REAL(user32, CloseClipboard)));

std::string utf8(const char* shiftJis)
{
    wchar_t wide[2048] = {};  // from code page 932, the ANSI interface's
    char text[4096] = {};
    MultiByteToWideChar(932, 0, shiftJis, -1, wide, 2048);
    WideCharToMultiByte(CP_UTF8, 0, wide, -1, text, sizeof text, nullptr, nullptr);
    return text;
}

std::string currentDirectory()
{
    char directory[MAX_PATH] = {};
    GetCurrentDirectoryA(MAX_PATH, directory);
    return directory;
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

static void removeStores()  // the INI file and the registry key
{
    RegDeleteTreeA(HKEY_CURRENT_USER, SETTINGS_KEY);
    DeleteFileA(iniPath().c_str());
}

void ProgramTest::SetUp()  // as a fresh process starts, with a prime on the clipboard
{
    removeStores();
    std::memset(&g_config, 0, sizeof g_config);
    g_font = nullptr, g_smallIcon = nullptr, g_nextViewer = nullptr, g_menu = g_trayMenu = nullptr;
    g_skipNextDraw = g_paused = 0, g_taskbarCreatedMsg = 0;
    registerMainWindowClass(GetModuleHandleA(nullptr), HBRUSH(GetStockObject(WHITE_BRUSH)));
    putClipboard(CF_UNICODETEXT, L"7", 4);
    ShowWindow(g_window = createMainWindow(GetModuleHandleA(nullptr)), SW_HIDE);
    started = takeTrace();
}

void ProgramTest::TearDown()  // without the shutdown sequence, which the program owns
{
    SetWindowLongPtrA(g_window, GWLP_WNDPROC, LONG_PTR(DefWindowProcA));
    DestroyWindow(g_window);
    UnregisterClassA(MAIN_WINDOW_CLASS, GetModuleHandleA(nullptr));
    g_trayRefusals = 0, g_blockBytes = 0, g_chosenFile.clear(), takeTrace();
    removeStores();
}

std::string ProgramTest::copy(const wchar_t* text)
{
    putClipboard(CF_UNICODETEXT, text, (wcslen(text) + 1) * sizeof(wchar_t));
    send(WM_DRAWCLIPBOARD);
    return takeTrace();
}
