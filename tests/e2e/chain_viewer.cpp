// A second clipboard viewer for the end-to-end test, run as its own process.
//
//   chain_viewer follow LOG    joins the viewer chain, passes every message on
//                              as a well-behaved viewer does and appends each
//                              change notification, with the clipboard's text,
//                              to LOG; leaves the chain on WM_CLOSE.
//   chain_viewer careless LOG  joins the chain and exits at once without
//                              leaving it, breaking the chain for those behind.
//
// Log lines (UTF-8): "joined <pid>", "draw <n> <text>", "chain ...", "left".
#include <windows.h>

#include <cstdio>
#include <string>

static FILE* g_log;
static HWND g_next;
static int g_draws;

static std::string utf8(const wchar_t* text)
{
    const int size = WideCharToMultiByte(CP_UTF8, 0, text, -1, nullptr, 0, nullptr, nullptr);
    if (size <= 1)
        return std::string();
    std::string result(static_cast<size_t>(size), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text, -1, &result[0], size, nullptr, nullptr);
    result.resize(static_cast<size_t>(size - 1));
    return result;
}

static void logLine(const std::string& line)
{
    std::fputs(line.c_str(), g_log);
    std::fputc('\n', g_log);
    std::fflush(g_log);
}

// The text as one log line: line breaks and backslashes escaped.
static std::string clipboardText(HWND window)
{
    // The program may hold the clipboard open for a moment.
    for (int attempt = 0; attempt < 50; ++attempt) {
        if (OpenClipboard(window)) {
            std::string text = "<no text>";
            HANDLE data = GetClipboardData(CF_UNICODETEXT);
            const wchar_t* units = data ? static_cast<const wchar_t*>(GlobalLock(data)) : nullptr;
            if (units) {
                text = utf8(units);
                GlobalUnlock(data);
            }
            CloseClipboard();
            std::string escaped;
            for (char c : text) {
                if (c == '\n') escaped += "\\n";
                else if (c == '\r') escaped += "\\r";
                else if (c == '\\') escaped += "\\\\";
                else escaped += c;
            }
            return escaped;
        }
        Sleep(20);
    }
    return "<clipboard busy>";
}

static LRESULT CALLBACK viewerProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_DRAWCLIPBOARD:
        // Pass it on first, as the program under test does, then record it.
        if (g_next)
            SendMessageW(g_next, message, wParam, lParam);
        logLine("draw " + std::to_string(++g_draws) + " " + clipboardText(window));
        return 0;
    case WM_CHANGECBCHAIN: {
        HWND leaving = reinterpret_cast<HWND>(wParam);
        logLine("chain " + std::to_string(reinterpret_cast<UINT_PTR>(leaving)));
        if (leaving == g_next)
            g_next = reinterpret_cast<HWND>(lParam);
        else if (g_next)
            SendMessageW(g_next, message, wParam, lParam);
        return 0;
    }
    case WM_CLOSE:
        ChangeClipboardChain(window, g_next);
        logLine("left");
        PostQuitMessage(0);
        return 0;
    default:
        return DefWindowProcW(window, message, wParam, lParam);
    }
}

int main(int argc, char** argv)
{
    if (argc != 3) {
        std::fprintf(stderr, "usage: chain_viewer follow|careless LOG\n");
        return 2;
    }
    const std::string mode = argv[1];
    g_log = std::fopen(argv[2], "a");
    if (!g_log)
        return 2;

    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = mode == "follow" ? viewerProc : DefWindowProcW;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.lpszClassName = L"E2E_CHAIN_VIEWER";
    RegisterClassW(&windowClass);
    HWND window = CreateWindowW(L"E2E_CHAIN_VIEWER", mode == "follow" ? L"follow" : L"careless",
                                WS_OVERLAPPED, 0, 0, 10, 10, nullptr, nullptr, windowClass.hInstance,
                                nullptr);
    if (!window)
        return 3;
    if (mode == "careless") {
        // Joining sends us a change notification, which we never pass on;
        // then we vanish without ChangeClipboardChain.
        SetClipboardViewer(window);
        logLine("joined " + std::to_string(GetCurrentProcessId()));
        std::fclose(g_log);
        ExitProcess(0);
    }
    g_next = SetClipboardViewer(window);
    logLine("joined " + std::to_string(GetCurrentProcessId()));
    // Never outlive a harness that died: five minutes at most.
    SetTimer(window, 1, 300000, nullptr);
    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        if (message.message == WM_TIMER && message.hwnd == window) {
            PostMessageW(window, WM_CLOSE, 0, 0);
            continue;
        }
        DispatchMessageW(&message);
    }
    std::fclose(g_log);
    return 0;
}
