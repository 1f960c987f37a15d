// Helps run the program in a Wine desktop, where the notification area is
// Wine's explorer's:
//   wine_tray probe FILE
//                     writes "balloons" into FILE when this desktop draws a
//                     balloon that an icon of its own asks for, else "none"
//                     (a program started by explorer /desktop has no console
//                     and its exit code is not passed on)
//   wine_tray place [COMMAND]
//                     moves the desktop's standalone tray window (the one
//                     Wine shows where the desktop has no taskbar) into the
//                     bottom-right corner, first icon in the corner, without
//                     its caption, then starts COMMAND without waiting for it;
//                     a desktop with a taskbar is left as it is (messages,
//                     if any, go to Wine's standard error)
// Started as the desktop's first program (explorer /desktop=NAME wine_tray
// place COMMAND), it runs before any icon is added; the desktop lasts as long
// as COMMAND's program does.
#include <windows.h>

#include <commctrl.h>
#include <shellapi.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

static const UINT PROBE_ICON_ID = 1;

// Wine's explorer creates the balloon when the icon's balloon timer fires,
// about two seconds after the call; six seconds leave room on a slow machine
// (a new prefix, 32-bit code under qemu-i386).
static const DWORD BALLOON_WAIT_MS = 6000;
static const DWORD TRAY_WAIT_MS = 20000;

static BOOL CALLBACK findBalloon(HWND window, LPARAM found)
{
    char name[32];
    if (IsWindowVisible(window) && GetClassNameA(window, name, sizeof name)
        && strcmp(name, TOOLTIPS_CLASSA) == 0
        && (GetWindowLongA(window, GWL_STYLE) & TTS_BALLOON) != 0) {
        *reinterpret_cast<BOOL*>(found) = TRUE;
        return FALSE;
    }
    return TRUE;
}

static BOOL balloonShown()
{
    BOOL found = FALSE;
    EnumWindows(findBalloon, reinterpret_cast<LPARAM>(&found));
    return found;
}

// Pumps this thread's messages for up to the given time, or until a balloon shows.
static BOOL waitForBalloon(DWORD milliseconds)
{
    DWORD start = GetTickCount();
    while (GetTickCount() - start < milliseconds) {
        MSG message;
        while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE))
            DispatchMessageA(&message);
        if (balloonShown())
            return TRUE;
        Sleep(100);
    }
    return FALSE;
}

static int probe(const char* verdictFile)
{
    HWND window = CreateWindowExA(0, "STATIC", "wine_tray probe", WS_POPUP, 0, 0, 0, 0, nullptr,
        nullptr, GetModuleHandleA(nullptr), nullptr);
    NOTIFYICONDATAA record;
    memset(&record, 0, sizeof record);
    record.cbSize = sizeof record;
    record.hWnd = window;
    record.uID = PROBE_ICON_ID;
    record.uFlags = NIF_ICON | NIF_TIP;
    record.hIcon = LoadIconA(nullptr, IDI_APPLICATION);
    strcpy(record.szTip, "wine_tray probe");
    // No notification area, no balloons.
    BOOL shown = FALSE;
    if (Shell_NotifyIconA(NIM_ADD, &record)) {
        record.uFlags = NIF_INFO;
        record.uTimeout = 10000;
        strcpy(record.szInfoTitle, "wine_tray");
        strcpy(record.szInfo, "balloon probe");
        Shell_NotifyIconA(NIM_MODIFY, &record);
        shown = waitForBalloon(BALLOON_WAIT_MS);
        Shell_NotifyIconA(NIM_DELETE, &record);
    }
    DestroyWindow(window);
    FILE* verdict = fopen(verdictFile, "wb");
    if (!verdict)
        return 1;
    fputs(shown ? "balloons\n" : "none\n", verdict);
    return fclose(verdict) == 0 ? 0 : 1;
}

// The taskbar and the standalone tray are both of this class; only the
// standalone tray has a caption.
static HWND findTray()
{
    DWORD start = GetTickCount();
    do {
        HWND tray = FindWindowA("Shell_TrayWnd", nullptr);
        if (tray)
            return tray;
        Sleep(100);
    } while (GetTickCount() - start < TRAY_WAIT_MS);
    return nullptr;
}

// In the corner the balloon has room on every side: at the left edge Wine's
// tooltip narrows a balloon that it moves right, cutting off its text. The
// caption would offer a close box that hides the tray and every later balloon.
static void placeStandaloneTray(HWND tray)
{
    LONG style = GetWindowLongA(tray, GWL_STYLE) & ~(WS_CAPTION | WS_SYSMENU | WS_THICKFRAME);
    SetWindowLongA(tray, GWL_STYLE, style);
    RECT area;
    SystemParametersInfoA(SPI_GETWORKAREA, 0, &area, 0);
    // Explorer lays the icons out from the client area's top-left corner,
    // each in a cell of a small icon and a border of two pixels all round.
    int cellWidth = GetSystemMetrics(SM_CXSMICON) + 4;
    int cellHeight = GetSystemMetrics(SM_CYSMICON) + 4;
    RECT frame{0, 0, 0, 0};
    AdjustWindowRectEx(&frame, static_cast<DWORD>(style), FALSE,
        static_cast<DWORD>(GetWindowLongA(tray, GWL_EXSTYLE)));
    SetWindowPos(tray, nullptr, area.right - cellWidth + frame.left,
        area.bottom - cellHeight + frame.top, 0, 0,
        SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
}

// The command is the rest of this program's own command line, as it was given.
static char* commandAfterVerb()
{
    char* rest = GetCommandLineA();
    for (int word = 0; word < 2; ++word) {
        BOOL quoted = FALSE;
        while (*rest && (quoted || (*rest != ' ' && *rest != '\t'))) {
            if (*rest == '"')
                quoted = !quoted;
            ++rest;
        }
        while (*rest == ' ' || *rest == '\t')
            ++rest;
    }
    return rest;
}

// The command starts whatever became of the tray: without it the desktop
// would end at once.
static int place()
{
    HWND tray = findTray();
    if (!tray)
        fprintf(stderr, "wine_tray: this desktop has no notification area\n");
    else if ((GetWindowLongA(tray, GWL_STYLE) & WS_CAPTION) == WS_CAPTION)
        placeStandaloneTray(tray);
    char* command = commandAfterVerb();
    if (!*command)
        return tray ? 0 : 1;
    STARTUPINFOA startup;
    memset(&startup, 0, sizeof startup);
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process;
    if (!CreateProcessA(
            nullptr, command, nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process)) {
        fprintf(stderr, "wine_tray: cannot start %s (error %lu)\n", command, GetLastError());
        return 1;
    }
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return tray ? 0 : 1;
}

// A program without a console: started from the desktop, a console program
// would be given a console of its own, a window the user has no use for.
int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int)
{
    int argc = __argc;
    char** argv = __argv;
    if (argc == 3 && strcmp(argv[1], "probe") == 0)
        return probe(argv[2]);
    if (argc >= 2 && strcmp(argv[1], "place") == 0)
        return place();
    fprintf(stderr, "usage: wine_tray probe FILE | wine_tray place [COMMAND]\n");
    return 2;
}
