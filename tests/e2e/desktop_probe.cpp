// Looks at the Wine desktop from outside the program under test, as a second
// process on the same desktop would.
//
//   desktop_probe state            one JSON snapshot: the program's window and
//                                  controls, the taskbar and its children, the
//                                  tooltip (balloon) and menu windows
//   desktop_probe launch EXE FILE  starts EXE on this desktop in its own
//                                  directory, prints its process id, waits for
//                                  it and writes its exit code to FILE
//   desktop_probe close-viewers    asks every chain_viewer to leave and quit
#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

static std::string utf8(const std::wstring& text)
{
    if (text.empty())
        return std::string();
    const int size = WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, nullptr, 0, nullptr, nullptr);
    std::string result(static_cast<size_t>(size), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, &result[0], size, nullptr, nullptr);
    result.resize(static_cast<size_t>(size - 1));
    return result;
}

static std::string quoted(const std::wstring& text)
{
    std::string out = "\"";
    for (unsigned char c : utf8(text)) {
        if (c == '"' || c == '\\') {
            out += '\\';
            out += static_cast<char>(c);
        } else if (c < 0x20) {
            char escape[8];
            std::snprintf(escape, sizeof escape, "\\u%04x", c);
            out += escape;
        } else {
            out += static_cast<char>(c);
        }
    }
    return out + "\"";
}

static std::wstring className(HWND window)
{
    wchar_t name[256] = {};
    GetClassNameW(window, name, 256);
    return name;
}

// WM_GETTEXT goes to the window's own thread, in whatever process it lives.
static std::wstring sentText(HWND window)
{
    wchar_t text[1024] = {};
    DWORD_PTR length = 0;
    SendMessageTimeoutW(window, WM_GETTEXT, 1024, reinterpret_cast<LPARAM>(text), SMTO_ABORTIFHUNG,
                        2000, &length);
    return text;
}

static LRESULT sent(HWND window, UINT message, WPARAM wParam = 0, LPARAM lParam = 0)
{
    DWORD_PTR result = 0;
    if (!SendMessageTimeoutW(window, message, wParam, lParam, SMTO_ABORTIFHUNG, 2000, &result))
        return -2;
    return static_cast<LRESULT>(result);
}

static std::string rectJson(const RECT& r)
{
    return "[" + std::to_string(r.left) + "," + std::to_string(r.top) + "," + std::to_string(r.right) +
           "," + std::to_string(r.bottom) + "]";
}

static std::string handleText(HWND window)
{
    return std::to_string(reinterpret_cast<UINT_PTR>(window));
}

static DWORD processOf(HWND window)
{
    DWORD pid = 0;
    GetWindowThreadProcessId(window, &pid);
    return pid;
}

// Common fields of any window: handle, class, process, visibility, screen rectangle.
static std::string windowJson(HWND window, const std::string& extra)
{
    RECT r{};
    GetWindowRect(window, &r);
    return "{\"hwnd\":" + handleText(window) + ",\"class\":" + quoted(className(window)) +
           ",\"pid\":" + std::to_string(processOf(window)) +
           ",\"visible\":" + (IsWindowVisible(window) ? "true" : "false") + ",\"rect\":" + rectJson(r) +
           extra + "}";
}

static std::string controlJson(HWND parent, int id)
{
    HWND control = GetDlgItem(parent, id);
    if (!control)
        return "null";
    const std::wstring cls = className(control);
    std::string extra = ",\"id\":" + std::to_string(id) + ",\"text\":" + quoted(sentText(control)) +
                        ",\"style\":" + std::to_string(GetWindowLongW(control, GWL_STYLE));
    if (_wcsicmp(cls.c_str(), L"Button") == 0)
        extra += ",\"check\":" + std::to_string(sent(control, BM_GETCHECK));
    if (_wcsicmp(cls.c_str(), L"ComboBox") == 0) {
        const LRESULT selected = sent(control, CB_GETCURSEL);
        extra += ",\"selected\":" + std::to_string(selected) + ",\"items\":[";
        const LRESULT count = sent(control, CB_GETCOUNT);
        for (LRESULT i = 0; i < count; ++i) {
            wchar_t item[256] = {};
            sent(control, CB_GETLBTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(item));
            extra += (i ? "," : "") + quoted(item);
        }
        extra += "]";
    }
    return windowJson(control, extra);
}

static std::string mainWindowJson()
{
    HWND window = FindWindowW(L"TRAMOLIVENGA_WINDOW_CLASS", nullptr);
    if (!window)
        return "null";
    wchar_t title[256] = {};
    GetWindowTextW(window, title, 256);
    RECT client{};
    GetClientRect(window, &client);
    std::string extra = ",\"title\":" + quoted(title) + ",\"client\":[" + std::to_string(client.right) +
                        "," + std::to_string(client.bottom) + "],\"controls\":{";
    const int ids[] = {20000, 20001, 20002, 20003, 20004, 20005, 20006, 20007, 20008, 1, 2};
    bool first = true;
    for (int id : ids) {
        extra += std::string(first ? "" : ",") + "\"" + std::to_string(id) + "\":" + controlJson(window, id);
        first = false;
    }
    return windowJson(window, extra + "}");
}

static BOOL CALLBACK collectChild(HWND window, LPARAM list)
{
    reinterpret_cast<std::vector<HWND>*>(list)->push_back(window);
    return TRUE;
}

static std::string taskbarJson()
{
    HWND taskbar = FindWindowW(L"Shell_TrayWnd", nullptr);
    if (!taskbar)
        return "null";
    std::vector<HWND> children;
    EnumChildWindows(taskbar, collectChild, reinterpret_cast<LPARAM>(&children));
    std::string extra = ",\"children\":[";
    for (size_t i = 0; i < children.size(); ++i) {
        wchar_t text[256] = {};
        GetWindowTextW(children[i], text, 256);
        extra += (i ? "," : "") + windowJson(children[i], ",\"title\":" + quoted(text));
    }
    return windowJson(taskbar, extra + "]");
}

static BOOL CALLBACK collectTopLevel(HWND window, LPARAM list)
{
    reinterpret_cast<std::vector<HWND>*>(list)->push_back(window);
    return TRUE;
}

static int state()
{
    std::vector<HWND> windows;
    EnumWindows(collectTopLevel, reinterpret_cast<LPARAM>(&windows));
    std::string tooltips, menus;
    for (HWND window : windows) {
        const std::wstring cls = className(window);
        if (_wcsicmp(cls.c_str(), L"tooltips_class32") == 0)
            tooltips += (tooltips.empty() ? "" : ",") +
                        windowJson(window, ",\"text\":" + quoted(sentText(window)) + ",\"style\":" +
                                               std::to_string(GetWindowLongW(window, GWL_STYLE)));
        else if (cls == L"#32768" && IsWindowVisible(window))
            menus += (menus.empty() ? "" : ",") + windowJson(window, "");
    }
    POINT cursor{};
    GetCursorPos(&cursor);
    wchar_t desktop[256] = {};
    GetUserObjectInformationW(GetThreadDesktop(GetCurrentThreadId()), UOI_NAME, desktop, sizeof desktop,
                              nullptr);
    std::printf("{\"self\":%lu,\"desktop\":%s,\"main\":%s,\n\"taskbar\":%s,\n\"tooltips\":[%s],\n\"menus\":[%s],\"cursor\":[%ld,%ld]}\n",
                GetCurrentProcessId(), quoted(desktop).c_str(), mainWindowJson().c_str(), taskbarJson().c_str(), tooltips.c_str(), menus.c_str(),
                static_cast<long>(cursor.x), static_cast<long>(cursor.y));
    return 0;
}

static std::wstring wide(const char* text)
{
    const int size = MultiByteToWideChar(CP_UTF8, 0, text, -1, nullptr, 0);
    std::wstring result(static_cast<size_t>(size), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, text, -1, &result[0], size);
    result.resize(static_cast<size_t>(size - 1));
    return result;
}

// The child goes to this process's desktop, named explicitly rather than left
// to inheritance; its current directory is its own directory.
static int launch(const char* exe, const char* exitFile)
{
    wchar_t desktopName[256] = {};
    GetUserObjectInformationW(GetThreadDesktop(GetCurrentThreadId()), UOI_NAME, desktopName,
                              sizeof desktopName, nullptr);
    std::wstring desktop = std::wstring(L"WinSta0\\") + desktopName;
    std::wstring path = wide(exe);
    std::wstring directory = path.substr(0, path.find_last_of(L"\\/"));
    std::wstring commandLine = L"\"" + path + L"\"";
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.lpDesktop = &desktop[0];
    PROCESS_INFORMATION process{};
    if (!CreateProcessW(path.c_str(), &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr,
                        directory.c_str(), &startup, &process)) {
        std::fprintf(stderr, "launch: CreateProcess failed: %lu\n", GetLastError());
        return 3;
    }
    std::printf("%lu\n", process.dwProcessId);
    std::fflush(stdout);
    WaitForSingleObject(process.hProcess, INFINITE);
    DWORD code = 0;
    GetExitCodeProcess(process.hProcess, &code);
    FILE* out = std::fopen(exitFile, "w");
    if (!out)
        return 4;
    std::fprintf(out, "%lu\n", code);
    std::fclose(out);
    return 0;
}

static int closeViewers()
{
    int closed = 0;
    while (HWND viewer = FindWindowW(L"E2E_CHAIN_VIEWER", L"follow")) {
        SendMessageTimeoutW(viewer, WM_CLOSE, 0, 0, SMTO_ABORTIFHUNG, 2000, nullptr);
        if (++closed > 8)
            break;
    }
    std::printf("%d\n", closed);
    return 0;
}

int main(int argc, char** argv)
{
    const std::string mode = argc > 1 ? argv[1] : "";
    if (mode == "state" && argc == 2)
        return state();
    if (mode == "launch" && argc == 4)
        return launch(argv[2], argv[3]);
    if (mode == "close-viewers" && argc == 2)
        return closeViewers();
    std::fprintf(stderr, "usage: desktop_probe state | launch EXE EXITFILE | close-viewers\n");
    return 2;
}
