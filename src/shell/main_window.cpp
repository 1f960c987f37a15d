#include "shell/main_window.h"

#include "settings/config.h"
#include "settings/settings_window.h"
#include "settings/storage.h"
#include "shell/clipboard_viewer.h"
#include "shell/menu_ids.h"
#include "shell/tray.h"

HFONT g_font;
HICON g_smallIcon;
int32_t g_skipNextDraw;
HWND g_nextViewer;
UINT g_taskbarCreatedMsg;
HMENU g_menu;
HMENU g_trayMenu;
int32_t g_paused;

// "ＭＳ ゴシック": the Japanese Gothic face, in Shift-JIS for the ANSI call.
static const char FONT_FACE[] = "\x82\x6C\x82\x72\x20\x83\x53\x83\x56\x83\x62\x83\x4E";

static WORD commandId(WPARAM wParam) { return static_cast<WORD>(wParam & 0xFFFF); }
static WORD notificationCode(WPARAM wParam) { return static_cast<WORD>((wParam >> 16) & 0xFFFF); }

static void hideWindow(HWND window) { ShowWindow(window, SW_HIDE); }

// The shell refuses icons while it is busy starting, as it is for a program
// started at logon, and no "TaskbarCreated" follows: try again every few
// seconds until the icon is there, however it got there.
static void addTrayIcon(HWND window)
{
    if (trayAdd(window))
        KillTimer(window, TIMER_TRAY_RETRY);
    else
        SetTimer(window, TIMER_TRAY_RETRY, TRAY_RETRY_MS, nullptr);
}

// Builds every piece of the program's state, in this order: the settings come
// first because the controls and the scan read them; the skip flag is set
// before joining the chain because joining sends a notification at once.
static void handleCreate(HWND window)
{
    loadConfig(g_config);
    g_font = CreateFontA(-14, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, SHIFTJIS_CHARSET,
        OUT_STROKE_PRECIS, CLIP_STROKE_PRECIS, DRAFT_QUALITY, FF_SWISS | DEFAULT_PITCH, FONT_FACE);
    createSettingsControls(window, g_font);
    joinClipboardChain(window);
    addTrayIcon(window);
    g_taskbarCreatedMsg = RegisterWindowMessageA("TaskbarCreated");
    g_menu = LoadMenuA(GetModuleHandleA(nullptr), "THEMENU");
    g_trayMenu = GetSubMenu(g_menu, 0);
    g_paused = 0;
}

static void handleDestroy(HWND window)
{
    DeleteObject(g_font);
    trayRemove(window);
    KillTimer(window, TIMER_TRAY_RETRY);
    DestroyMenu(g_trayMenu);
    DestroyMenu(g_menu);
    leaveClipboardChain(window);
    PostQuitMessage(0);
}

static void applySettings(HWND window)
{
    controlsToConfig(window, g_config);
    saveConfig(g_config);
}

// Always normal and at its size, however it was left: on Windows the
// launcher's show command (a shortcut set to minimised or maximised) takes
// the place of the process's first show, and that is this one.
static void showSettings(HWND window)
{
    configToControls(window, g_config);
    ShowWindow(window, SW_SHOWNORMAL);
    if (IsIconic(window) || IsZoomed(window))
        ShowWindow(window, SW_SHOWNORMAL);
}

// The settings window's buttons act only on a plain click (notification code
// 0), and only while it is shown: the tray menu leaves the hidden window in
// the foreground, so keys meant for another program can reach it, and the
// dialog navigation turns Enter into IDOK. The tray menu's items act
// whatever the code.
static LRESULT handleCommand(HWND window, WPARAM wParam, LPARAM lParam)
{
    const bool clicked = notificationCode(wParam) == 0 && IsWindowVisible(window);
    switch (commandId(wParam)) {
    case IDOK:
        if (clicked) {
            applySettings(window);
            hideWindow(window);
        }
        return 0;
    case IDCANCEL:
        if (clicked)
            hideWindow(window);
        return 0;
    case ID_BUTTON_APPLY:
        if (clicked)
            applySettings(window);
        return 0;
    case ID_BUTTON_BROWSE:
        if (clicked)
            chooseSoundFile(window);
        return 0;
    case ID_MENU_SETTINGS:
        showSettings(window);
        return 0;
    case ID_MENU_PAUSE:
        togglePause();
        return 0;
    case ID_MENU_EXIT:
        // The shutdown sequence runs inside this call; the window itself stays.
        SendMessageA(window, WM_DESTROY, 0, 0);
        return 0;
    default:
        return DefWindowProcA(window, WM_COMMAND, wParam, lParam);
    }
}

LRESULT CALLBACK mainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    // A registered message id is not a constant, so it is tested first. Zero
    // means not registered yet, and must not catch WM_NULL.
    if (g_taskbarCreatedMsg != 0 && message == g_taskbarCreatedMsg) {
        addTrayIcon(window);
        return 0;
    }
    switch (message) {
    case WM_CREATE:
        handleCreate(window);
        return 0;
    case WM_DESTROY:
        handleDestroy(window);
        return 0;
    case WM_CLOSE:
        hideWindow(window);
        return 0;
    case WM_COMMAND:
        return handleCommand(window, wParam, lParam);
    case WM_TIMER:
        if (wParam == TIMER_REJOIN)
            rejoinClipboardChain(window);
        else if (wParam == TIMER_TRAY_RETRY)
            addTrayIcon(window);
        return 0;
    case WM_DRAWCLIPBOARD:
        handleClipboardChange(window, wParam, lParam);
        return 0;
    case WM_CHANGECBCHAIN:
        handleClipboardChainChange(wParam, lParam);
        return 0;
    case WM_TRAYNOTIFY:
        if (lParam == WM_RBUTTONUP)
            showTrayMenu(window);
        return 0;
    default:
        return DefWindowProcA(window, message, wParam, lParam);
    }
}

void registerMainWindowClass(HINSTANCE instance, HBRUSH background)
{
    g_smallIcon
        = static_cast<HICON>(LoadImageA(instance, "MAINICON", IMAGE_ICON, 16, 16, LR_SHARED));
    WNDCLASSEXA windowClass{};
    windowClass.cbSize = sizeof windowClass;
    windowClass.style = CS_HREDRAW | CS_VREDRAW;
    windowClass.lpfnWndProc = mainWindowProc;
    windowClass.hInstance = instance;
    windowClass.hIcon
        = static_cast<HICON>(LoadImageA(instance, "MAINICON", IMAGE_ICON, 32, 32, LR_SHARED));
    windowClass.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    windowClass.hbrBackground = background;
    windowClass.lpszClassName = MAIN_WINDOW_CLASS;
    windowClass.hIconSm = g_smallIcon;
    RegisterClassExA(&windowClass);
}

// The creation sequence runs inside this call and gives the window its size.
HWND createMainWindow(HINSTANCE instance)
{
    return CreateWindowExA(0, MAIN_WINDOW_CLASS, MAIN_WINDOW_TITLE,
        WS_VISIBLE | WS_CAPTION | WS_SYSMENU, CW_USEDEFAULT, 0, CW_USEDEFAULT, 0, nullptr, nullptr,
        instance, nullptr);
}

// Every message goes to the dialog navigation first, which turns Tab, Enter
// and Escape into focus moves and the IDOK / IDCANCEL commands.
int runMessageLoop(HWND window)
{
    MSG message{};
    BOOL result;
    while ((result = GetMessageA(&message, nullptr, 0, 0)) != 0 && result != -1) {
        if (!IsDialogMessageA(window, &message)) {
            TranslateMessage(&message);
            DispatchMessageA(&message);
        }
    }
    return result == 0 ? static_cast<int>(message.wParam) : 1;
}

int runApplication(HINSTANCE instance, HINSTANCE, LPSTR, int)
{
    HBRUSH background = CreateSolidBrush(GetSysColor(COLOR_BTNFACE));
    registerMainWindowClass(instance, background);
    HWND window = createMainWindow(instance);
    if (window == nullptr) {
        DeleteObject(background);
        return 0;
    }
    // Always hidden at start, whatever show command the launcher gave.
    ShowWindow(window, SW_HIDE);
    UpdateWindow(window);
    const int exitCode = runMessageLoop(window);
    DeleteObject(background);
    return exitCode;
}
