"""The faults that faults/plant.sh plants, one at a time, in a clone of the program.

Each names what the planted fault does, the file (relative to the repo root), its exact old text,
which occurs there exactly once, and the new text, which still compiles. Run as a script, it checks
that every old text still occurs exactly once (the test command does, so that an edit to src/
cannot leave a fault quietly unplanted).
"""

import sys
from collections import namedtuple
from pathlib import Path

Fault = namedtuple("Fault", "id what file old new")

PRIME = "src/prime/primality.cpp"
SCANNER = "src/prime/scanner.cpp"
CLIPBOARD = "src/prime/clipboard.cpp"
STORAGE = "src/settings/storage.cpp"
CONFIG = "src/settings/config.cpp"
MODULE_PATH = "src/settings/module_path.cpp"
READ_MAX = "src/settings/read_max_text.cpp"
WINDOW = "src/settings/settings_window.cpp"
SHELL = "src/shell/main_window.cpp"
SHELL_HEADER = "src/shell/main_window.h"
VIEWER = "src/shell/clipboard_viewer.cpp"
TRAY = "src/shell/tray.cpp"
RC = "res/tramolivenga.rc"
MANIFEST = "res/tramolivenga.x86.manifest"

FAULTS = [
    # Primality: trial division, then the strong test with the bases 2 to 37.
    Fault(
        id="P1",
        what="strong test without base 37",
        file=PRIME,
        old="STRONG_BASE_COUNT = 12;",
        new="STRONG_BASE_COUNT = 11;",
    ),
    Fault(
        id="P2",
        what="mulMod shortcut (a*b)%m that overflows for large a",
        file=PRIME,
        old="uint64_t mulMod(uint64_t a, uint64_t b, uint64_t n)\n{\n",
        new="uint64_t mulMod(uint64_t a, uint64_t b, uint64_t n)\n{\n    return (a * b) % n;\n",
    ),
    Fault(
        id="P3",
        what="divisibility tested before equality (small primes rejected)",
        file=PRIME,
        old="        if (n == widen(p))\n            return 1;\n"
        "        if (n % widen(p) == 0)\n            return 0;\n",
        new="        if (n % widen(p) == 0)\n            return 0;\n"
        "        if (n == widen(p))\n            return 1;\n",
    ),
    Fault(
        id="P4",
        what="a^d = n-1 not accepted at once",
        file=PRIME,
        old="if (x == 1 || x == n - 1)",
        new="if (x == 1)",
    ),
    Fault(
        id="P5",
        what="1 counted as prime",
        file=PRIME,
        old="    if (n <= 1)\n        return 0;",
        new="    if (n <= 1)\n        return n;",
    ),
    Fault(
        id="P6",
        what="mulMod doubling not reduced",
        file=PRIME,
        old="a = (a + a) % n;",
        new="a = a + a;",
    ),
    # Scanner: digit runs, commas, periods, full-width forms and the cap.
    Fault(
        id="S1",
        what="19-digit runs dropped",
        file=SCANNER,
        old="if (++digitCount > MAX_RUN_DIGITS)",
        new="if (++digitCount >= MAX_RUN_DIGITS)",
    ),
    Fault(
        id="S2",
        what="a text of exactly the cap is cut",
        file=SCANNER,
        old="if (length > cap) {",
        new="if (length >= cap) {",
    ),
    Fault(
        id="S3",
        what="a run open at the cut evaluated",
        file=SCANNER,
        old="if (state == SCAN_IN_RUN && !cut)",
        new="if (state == SCAN_IN_RUN)",
    ),
    Fault(
        id="S4",
        what="period rule inverted while discarding",
        file=SCANNER,
        old="(unitClass == CLASS_PERIOD && stopOnPeriod)",
        new="(unitClass == CLASS_PERIOD && !stopOnPeriod)",
    ),
    Fault(
        id="S5",
        what="full-width comma joins without enableWideNumber",
        file=SCANNER,
        old="(unit == u',' || (wide && unit == WIDE_COMMA))",
        new="(unit == u',' || unit == WIDE_COMMA)",
    ),
    Fault(
        id="S6",
        what="full-width digits copied unconverted into the result",
        file=SCANNER,
        old="runDigits[count++] = static_cast<char>('0' + digit);",
        new="runDigits[count++] = static_cast<char>(unit);",
    ),
    Fault(
        id="S7",
        what="noReadOverMax ignored",
        file=SCANNER,
        old="            if (config.noReadOverMax != 0)\n                return -1;\n",
        new="",
    ),
    Fault(
        id="S8",
        what="readMax 0 taken as a cap of 0",
        file=SCANNER,
        old="config.readMax >= 1",
        new="config.readMax >= 0",
    ),
    Fault(
        id="S9",
        what="digits after a leading decimal point tested",
        file=SCANNER,
        old="            } else if (unitClass == CLASS_PERIOD && !stopOnPeriod) {\n"
        "                state = SCAN_DISCARD;  // the digits after a decimal point\n",
        new="",
    ),
    Fault(
        id="S10",
        what="values of 2^63 and above tested with bit 63 dropped",
        file=SCANNER,
        old="if ((value & BIT_63) != 0 || !isPrime(value))",
        new="if (!isPrime(value & ~BIT_63))",
    ),
    # Clipboard: checkClipboard, the scanner's only contact with the platform.
    Fault(
        id="C1",
        what="clipboard left open after reading",
        file=CLIPBOARD,
        old="    GlobalUnlock(handle);\n    CloseClipboard();\n\n",
        new="    GlobalUnlock(handle);\n\n",
    ),
    Fault(
        id="C2",
        what="clipboard text left locked",
        file=CLIPBOARD,
        old="    copy[length] = 0;\n    GlobalUnlock(handle);\n",
        new="    copy[length] = 0;\n",
    ),
    Fault(
        id="C3",
        what="private copy leaked",
        file=CLIPBOARD,
        old="    HeapFree(heap, 0, copy);\n",
        new="",
    ),
    Fault(
        id="C4",
        what="caller's buffer written without a prime",
        file=CLIPBOARD,
        old="    if (result)\n        lstrcpyA(digits, found);\n",
        new='    lstrcpyA(digits, result ? found : "");\n',
    ),
    Fault(
        id="C5",
        what="ANSI text (CF_TEXT) read as Unicode",
        file=CLIPBOARD,
        old="GetClipboardData(CF_UNICODETEXT)",
        new="GetClipboardData(CF_TEXT)",
    ),
    Fault(
        id="N4",
        what="clipboard text measured by lstrlenW, not bounded by GlobalSize",
        file=CLIPBOARD,
        old="    while (static_cast<SIZE_T>(length) < units && length < INT32_MAX - 1"
        " && text[length] != 0)\n        ++length;\n",
        new="    length = lstrlenW(text);\n",
    ),
    # Storage: the INI file beside the program, or the registry key it selects.
    Fault(
        id="T1",
        what="wrong INI section",
        file=STORAGE,
        old='INI_SECTION_CONFIG[] = "config";',
        new='INI_SECTION_CONFIG[] = "settings";',
    ),
    Fault(
        id="T2",
        what="useregistry read from the wrong section",
        file=STORAGE,
        old="INI_SECTION_REGISTRY, INI_KEY_USE_REGISTRY",
        new="INI_SECTION_CONFIG, INI_KEY_USE_REGISTRY",
    ),
    Fault(
        id="T3",
        what="registry voiceFile terminator mend dropped (data[size] = '\\0' gone)",
        file=STORAGE,
        old="    if (size < TEXT_BUFFER_SIZE)\n        data[size] = '\\0';\n    else if (",
        new="    if (size >= TEXT_BUFFER_SIZE && ",
    ),
    Fault(
        id="T4",
        what="short registry numbers keep the default",
        file=STORAGE,
        old="nullptr, nullptr, data, &size) != ERROR_SUCCESS)",
        new="nullptr, nullptr, data, &size) != ERROR_SUCCESS || size < REGISTRY_INT_SIZE)",
    ),
    Fault(
        id="T5",
        what="registry voiceFile written without its NUL",
        file=STORAGE,
        old="lstrlenA(config.voiceFile) + 1)",
        new="lstrlenA(config.voiceFile))",
    ),
    Fault(
        id="T6",
        what="negative numbers saved unsigned (%u)",
        file=STORAGE,
        old='wsprintfA(text, "%d"',
        new='wsprintfA(text, "%u"',
    ),
    Fault(
        id="T7",
        what="missing registry value gives 0, not the default",
        file=STORAGE,
        old="data, &size) != ERROR_SUCCESS)\n        return 0;\n",
        new="data, &size) != ERROR_SUCCESS)\n        size = 0;\n",
    ),
    Fault(
        id="T8",
        what="stale-byte mend dropped (voiceFile buffer not cleared whole)",
        file=CONFIG,
        old="    std::memset(config.voiceFile, 0, sizeof config.voiceFile);\n",
        new="",
    ),
    Fault(
        id="T9",
        what="wrong default for ignoreComma",
        file=CONFIG,
        old='{"ignoreComma", &Config::ignoreComma, 1}',
        new='{"ignoreComma", &Config::ignoreComma, 0}',
    ),
    Fault(
        id="T10",
        what="wrong registry key",
        file=STORAGE,
        old='REGISTRY_KEY_PATH[] = "Software\\\\yulbrex\\\\tramolivenga";',
        new='REGISTRY_KEY_PATH[] = "Software\\\\yulbrex\\\\tramolivena";',
    ),
    Fault(
        id="T11",
        what="numbers stored as REG_BINARY",
        file=STORAGE,
        old="RegSetValueExA(key, setting.key, 0, REG_DWORD,",
        new="RegSetValueExA(key, setting.key, 0, REG_BINARY,",
    ),
    Fault(
        id="T12",
        what="registry mode also writes the INI file",
        file=STORAGE,
        old="        saveToRegistry(config);\n        return;\n",
        new="        saveToRegistry(config);\n",
    ),
    Fault(
        id="T13",
        what="keys written out of order (voiceFile first)",
        file=STORAGE,
        old="    for (const IntSetting& setting : INT_SETTINGS) {\n"
        "        char text[16];\n"
        '        wsprintfA(text, "%d", config.*setting.field);\n'
        "        WritePrivateProfileStringA(INI_SECTION_CONFIG, setting.key, text, iniPath);\n"
        "    }\n"
        "    WritePrivateProfileStringA(INI_SECTION_CONFIG, VOICE_FILE_KEY, config.voiceFile,"
        " iniPath);\n",
        new="    WritePrivateProfileStringA(INI_SECTION_CONFIG, VOICE_FILE_KEY, config.voiceFile,"
        " iniPath);\n"
        "    for (const IntSetting& setting : INT_SETTINGS) {\n"
        "        char text[16];\n"
        '        wsprintfA(text, "%d", config.*setting.field);\n'
        "        WritePrivateProfileStringA(INI_SECTION_CONFIG, setting.key, text, iniPath);\n"
        "    }\n",
    ),
    # Paths and readMax text: the code page 932 walk, the INI path, the edit's number.
    Fault(
        id="M1",
        what="cp932 lead bytes F0-FC not taken as lead bytes",
        file=MODULE_PATH,
        old="(byte >= 0xE0 && byte <= 0xFC)",
        new="(byte >= 0xE0 && byte <= 0xEF)",
    ),
    Fault(
        id="M2",
        what="directory without its trailing backslash",
        file=MODULE_PATH,
        old="cut = position + 1;",
        new="cut = position;",
    ),
    Fault(
        id="M3",
        what="INI path one byte too long accepted",
        file=MODULE_PATH,
        old="directoryLength + fileNameLength >= static_cast<size_t>(bufferSize)",
        new="directoryLength + fileNameLength > static_cast<size_t>(bufferSize)",
    ),
    Fault(
        id="M4",
        what="second byte of a double-byte character examined",
        file=MODULE_PATH,
        old="            position += 2;\n",
        new="            position += 1;\n",
    ),
    Fault(
        id="R1",
        what="leading blank and plus accepted",
        file=READ_MAX,
        old="    bool negative = false;\n",
        new="    while (*text == ' ' || *text == '+')\n        ++text;\n    bool negative = false;\n",
    ),
    Fault(
        id="R2",
        what="minus sign ignored",
        file=READ_MAX,
        old="    if (negative)\n        value = 0u - value;\n",
        new="",
    ),
    Fault(
        id="R3",
        what="saturates instead of wrapping",
        file=READ_MAX,
        old="    return static_cast<int32_t>(value - 2147483648u) + INT32_MIN;",
        new="    return negative ? INT32_MIN : INT32_MAX;",
    ),
    # Settings window: its controls, their limits and the fields they show and set.
    Fault(
        id="W1",
        what="controls to fields: comma and period swapped",
        file=WINDOW,
        old="    config.ignoreComma = getCheck(window, ID_CHECK_IGNORECOMMA);\n"
        "    config.stopOnPeriod = getCheck(window, ID_CHECK_STOPONPERIOD);\n",
        new="    config.ignoreComma = getCheck(window, ID_CHECK_STOPONPERIOD);\n"
        "    config.stopOnPeriod = getCheck(window, ID_CHECK_IGNORECOMMA);\n",
    ),
    Fault(
        id="W2",
        what="fields to controls: wide box shows stopOnPeriod",
        file=WINDOW,
        old="setCheck(window, ID_CHECK_WIDENUMBER, config.enableWideNumber);",
        new="setCheck(window, ID_CHECK_WIDENUMBER, config.stopOnPeriod);",
    ),
    Fault(
        id="W3",
        what="noReadOverMax 7 selects nothing (index passed unchanged)",
        file=WINDOW,
        old="WPARAM index = config.noReadOverMax != 0 ? 1 : 0;",
        new="WPARAM index = static_cast<WPARAM>(config.noReadOverMax);",
    ),
    Fault(
        id="W4",
        what="Browse no longer puts the current directory back",
        file=WINDOW,
        old="    if (directoryLength != 0 && directoryLength < TEXT_BUFFER_SIZE)\n"
        "        SetCurrentDirectoryA(directory);\n",
        new="",
    ),
    Fault(
        id="W5",
        what="cancelled Browse empties the edit",
        file=WINDOW,
        old="    if (chosen)\n        SetWindowTextA(",
        new="    SetWindowTextA(",
    ),
    Fault(
        id="W6",
        what="Browse button in the Tab order (WS_TABSTOP added)",
        file=WINDOW,
        old='{"BUTTON", 0, WS_CHILD | WS_VISIBLE, 340, 190,',
        new='{"BUTTON", 0, WS_CHILD | WS_VISIBLE | WS_TABSTOP, 340, 190,',
    ),
    Fault(
        id="W7",
        what="a path cut inside a double-byte character keeps its half character",
        file=WINDOW,
        old="    int kept = 0;\n",
        new="    int kept = length;\n",
    ),
    Fault(
        id="W8",
        what="client area narrower than 400",
        file=WINDOW,
        old="CLIENT_WIDTH = 400;",
        new="CLIENT_WIDTH = 390;",
    ),
    Fault(
        id="W9",
        what="list index read inverted",
        file=WINDOW,
        old="config.noReadOverMax = static_cast<int32_t>(",
        new="config.noReadOverMax = 1 - static_cast<int32_t>(",
    ),
    Fault(
        id="W10",
        what="readMax edit limit 10",
        file=WINDOW,
        old="READMAX_LIMIT = 9;",
        new="READMAX_LIMIT = 10;",
    ),
    Fault(
        id="W11",
        what="enableVoice read from the full-width box",
        file=WINDOW,
        old="config.enableVoice = getCheck(window, ID_CHECK_ENABLEVOICE);",
        new="config.enableVoice = getCheck(window, ID_CHECK_WIDENUMBER);",
    ),
    Fault(
        id="W12",
        what="fields to controls: period and sound boxes swapped",
        file=WINDOW,
        old="    setCheck(window, ID_CHECK_STOPONPERIOD, config.stopOnPeriod);\n"
        "    setCheck(window, ID_CHECK_ENABLEVOICE, config.enableVoice);\n",
        new="    setCheck(window, ID_CHECK_STOPONPERIOD, config.enableVoice);\n"
        "    setCheck(window, ID_CHECK_ENABLEVOICE, config.stopOnPeriod);\n",
    ),
    Fault(
        id="W13",
        what="voice-file edit limit 1023",
        file=WINDOW,
        old="VOICEFILE_LIMIT = 1020;",
        new="VOICEFILE_LIMIT = 1023;",
    ),
    Fault(
        id="N3",
        what="current directory not restored when the dialog is cancelled",
        file=WINDOW,
        old="    if (directoryLength != 0 && directoryLength < TEXT_BUFFER_SIZE)\n",
        new="    if (chosen && directoryLength != 0 && directoryLength < TEXT_BUFFER_SIZE)\n",
    ),
    # Shell: the window procedure, the message loop and runApplication.
    Fault(
        id="H1",
        what="close box destroys the window",
        file=SHELL,
        old="    case WM_CLOSE:\n        hideWindow(window);\n",
        new="    case WM_CLOSE:\n        DestroyWindow(window);\n",
    ),
    Fault(
        id="H2",
        what="OK acts on any notification code",
        file=SHELL,
        old="    case IDOK:\n        if (clicked) {\n",
        new="    case IDOK:\n        {\n",
    ),
    Fault(
        id="H3",
        what="settings shown without refilling the controls",
        file=SHELL,
        old="    configToControls(window, g_config);\n",
        new="",
    ),
    Fault(
        id="H4",
        what="exit does not leave the viewer chain",
        file=SHELL,
        old="    leaveClipboardChain(window);\n",
        new="",
    ),
    Fault(
        id="H5",
        what="exit code 1",
        file=SHELL,
        old="PostQuitMessage(0);",
        new="PostQuitMessage(1);",
    ),
    Fault(
        id="H6",
        what="WM_NULL taken for TaskbarCreated",
        file=SHELL,
        old="if (g_taskbarCreatedMsg != 0 && message == g_taskbarCreatedMsg)",
        new="if (message == g_taskbarCreatedMsg)",
    ),
    Fault(
        id="H7",
        what="any timer rejoins",
        file=SHELL,
        old="        if (wParam == TIMER_REJOIN)\n            rejoinClipboardChain(window);\n"
        "        else if (wParam == TIMER_TRAY_RETRY)\n",
        new="        rejoinClipboardChain(window);\n        if (wParam == TIMER_TRAY_RETRY)\n",
    ),
    Fault(
        id="H8",
        what="menu on right button down instead of up",
        file=SHELL,
        old="if (lParam == WM_RBUTTONUP)",
        new="if (lParam == WM_RBUTTONDOWN)",
    ),
    Fault(
        id="H9",
        what="window shown at start (SW_HIDE in runApplication removed)",
        file=SHELL,
        old="    ShowWindow(window, SW_HIDE);\n    UpdateWindow(window);\n",
        new="    UpdateWindow(window);\n",
    ),
    Fault(
        id="H10",
        what="no dialog keyboard navigation (IsDialogMessageA dropped)",
        file=SHELL,
        old="if (!IsDialogMessageA(window, &message)) {",
        new="{",
    ),
    Fault(
        id="H11",
        what="font without the Japanese character set",
        file=SHELL,
        old="SHIFTJIS_CHARSET",
        new="DEFAULT_CHARSET",
    ),
    Fault(
        id="H12",
        what="Apply hides the window",
        file=SHELL,
        old="        if (clicked)\n            applySettings(window);\n",
        new="        if (clicked) {\n            applySettings(window);\n"
        "            hideWindow(window);\n        }\n",
    ),
    Fault(
        id="H13",
        what="icon not removed on exit",
        file=SHELL,
        old="    trayRemove(window);\n",
        new="",
    ),
    Fault(
        id="H14",
        what="Cancel applies",
        file=SHELL,
        old="    case IDCANCEL:\n        if (clicked)\n            hideWindow(window);\n",
        new="    case IDCANCEL:\n        if (clicked) {\n            applySettings(window);\n"
        "            hideWindow(window);\n        }\n",
    ),
    Fault(
        id="H15",
        what="window shown with the launcher's show command after creation",
        file=SHELL,
        old="int runApplication(HINSTANCE instance, HINSTANCE, LPSTR, int)\n"
        "{\n"
        "    HBRUSH background = CreateSolidBrush(GetSysColor(COLOR_BTNFACE));\n"
        "    registerMainWindowClass(instance, background);\n"
        "    HWND window = createMainWindow(instance);\n"
        "    if (window == nullptr) {\n"
        "        DeleteObject(background);\n"
        "        return 0;\n"
        "    }\n"
        "    // Always hidden at start, whatever show command the launcher gave.\n"
        "    ShowWindow(window, SW_HIDE);\n",
        new="int runApplication(HINSTANCE instance, HINSTANCE, LPSTR, int showCommand)\n"
        "{\n"
        "    HBRUSH background = CreateSolidBrush(GetSysColor(COLOR_BTNFACE));\n"
        "    registerMainWindowClass(instance, background);\n"
        "    HWND window = createMainWindow(instance);\n"
        "    if (window == nullptr) {\n"
        "        DeleteObject(background);\n"
        "        return 0;\n"
        "    }\n"
        "    // Always hidden at start, whatever show command the launcher gave.\n"
        "    ShowWindow(window, showCommand);\n",
    ),
    Fault(
        id="H16",
        what="the menu opens on any mouse message at the icon",
        file=SHELL,
        old="        if (lParam == WM_RBUTTONUP)\n            showTrayMenu(window);\n",
        new="        showTrayMenu(window);\n",
    ),
    # H17, H18 (and N7, N8): written against the tray retry timer as reworked in 8c0229b.
    Fault(
        id="H17",
        what="the tray retry timer not stopped at shutdown",
        file=SHELL,
        old="    trayRemove(window);\n    KillTimer(window, TIMER_TRAY_RETRY);\n",
        new="    trayRemove(window);\n",
    ),
    Fault(
        id="H18",
        what="the tray retry timer not stopped when an add made by TaskbarCreated succeeds",
        file=SHELL,
        old="    if (g_taskbarCreatedMsg != 0 && message == g_taskbarCreatedMsg) {\n"
        "        addTrayIcon(window);\n",
        new="    if (g_taskbarCreatedMsg != 0 && message == g_taskbarCreatedMsg) {\n"
        "        if (!trayAdd(window))\n"
        "            SetTimer(window, TIMER_TRAY_RETRY, TRAY_RETRY_MS, nullptr);\n",
    ),
    # Chain and sound: the clipboard viewer chain, the rejoin timer and the WAV.
    Fault(
        id="V1",
        what="skipped notification not passed on",
        file=VIEWER,
        old="    if (g_nextViewer != nullptr)\n"
        "        SendMessageA(g_nextViewer, WM_DRAWCLIPBOARD, wParam, lParam);\n"
        "    if (g_skipNextDraw) {\n"
        "        g_skipNextDraw = 0;\n"
        "        return;\n"
        "    }\n",
        new="    if (g_skipNextDraw) {\n"
        "        g_skipNextDraw = 0;\n"
        "        return;\n"
        "    }\n"
        "    if (g_nextViewer != nullptr)\n"
        "        SendMessageA(g_nextViewer, WM_DRAWCLIPBOARD, wParam, lParam);\n",
    ),
    Fault(
        id="V2",
        what="chain change also passed on when the next viewer leaves",
        file=VIEWER,
        old="    else if (g_nextViewer != nullptr)\n        SendMessageA(g_nextViewer, WM_CHANGECBCHAIN",
        new="    if (g_nextViewer != nullptr)\n        SendMessageA(g_nextViewer, WM_CHANGECBCHAIN",
    ),
    Fault(
        id="V3",
        what="chain change passed on with swapped parameters",
        file=VIEWER,
        old="WM_CHANGECBCHAIN, leaving, following);",
        new="WM_CHANGECBCHAIN, following, leaving);",
    ),
    Fault(
        id="V4",
        what="rejoin notification examined",
        file=VIEWER,
        old="    g_skipNextDraw = 1;\n    ChangeClipboardChain(window, g_nextViewer);\n",
        new="    ChangeClipboardChain(window, g_nextViewer);\n",
    ),
    Fault(
        id="V5",
        what="sound looked for in the current directory (SetCurrentDirectoryA dropped)",
        file=VIEWER,
        old="        SetCurrentDirectoryA(moduleDirectory());\n",
        new="",
    ),
    Fault(
        id="V6",
        what="sound played synchronously (SND_SYNC)",
        file=VIEWER,
        old="SND_ASYNC",
        new="SND_SYNC",
    ),
    Fault(
        id="V7",
        what="rejoin every 3 s",
        file=VIEWER,
        old="SetTimer(window, TIMER_REJOIN, REJOIN_PERIOD_MS, nullptr);",
        new="SetTimer(window, TIMER_REJOIN, 3000, nullptr);",
    ),
    Fault(
        id="V8",
        what="rejoin timer not stopped on exit",
        file=VIEWER,
        old="    KillTimer(window, TIMER_REJOIN);\n",
        new="",
    ),
    Fault(
        id="V9",
        what="pause ignored",
        file=VIEWER,
        old="    if (g_paused)\n        return;\n",
        new="",
    ),
    Fault(
        id="V10",
        what="skip flag set after joining",
        file=VIEWER,
        old="    g_skipNextDraw = 1;\n    g_nextViewer = SetClipboardViewer(window);\n}\n\nvoid join",
        new="    g_nextViewer = SetClipboardViewer(window);\n    g_skipNextDraw = 1;\n}\n\nvoid join",
    ),
    Fault(
        id="V11",
        what="sound played when switched off",
        file=VIEWER,
        old="    if (g_config.enableVoice) {\n",
        new="    {\n",
    ),
    Fault(
        id="V12",
        what="chain change keeps the leaving window as the next",
        file=VIEWER,
        old="g_nextViewer = reinterpret_cast<HWND>(following);",
        new="g_nextViewer = leavingWindow;",
    ),
    Fault(
        id="V13",
        what="chain change passed on to the leaving window",
        file=VIEWER,
        old="SendMessageA(g_nextViewer, WM_CHANGECBCHAIN,",
        new="SendMessageA(leavingWindow, WM_CHANGECBCHAIN,",
    ),
    # Tray: the icon, its balloon, its menu and the pause switch; the retry timer.
    Fault(
        id="Y1",
        what="menu without SetForegroundWindow",
        file=TRAY,
        old="    SetForegroundWindow(window);\n",
        new="",
    ),
    Fault(
        id="Y2",
        what="chosen item never arrives as a command (TPM_RETURNCMD)",
        file=TRAY,
        old="TPM_RIGHTALIGN | TPM_BOTTOMALIGN,",
        new="TPM_RIGHTALIGN | TPM_BOTTOMALIGN | TPM_RETURNCMD,",
    ),
    Fault(
        id="Y3",
        what="balloon without display time",
        file=TRAY,
        old="    record.uTimeout = 10000;\n",
        new="",
    ),
    Fault(
        id="Y4",
        what="icon without tooltip",
        file=TRAY,
        old="NIF_MESSAGE | NIF_ICON | NIF_TIP;",
        new="NIF_MESSAGE | NIF_ICON;",
    ),
    Fault(
        id="Y5",
        what="balloon title and text swapped",
        file=TRAY,
        old="lstrcpynA(record.szInfo, text, sizeof record.szInfo);\n"
        "    lstrcpynA(record.szInfoTitle, title, sizeof record.szInfoTitle);",
        new="lstrcpynA(record.szInfo, title, sizeof record.szInfo);\n"
        "    lstrcpynA(record.szInfoTitle, text, sizeof record.szInfoTitle);",
    ),
    Fault(
        id="Y6",
        what="check mark inverted",
        file=TRAY,
        old="g_paused ? MFS_CHECKED : MFS_UNCHECKED;",
        new="g_paused ? MFS_UNCHECKED : MFS_CHECKED;",
    ),
    Fault(
        id="Y7",
        what="record size of the newest layout (sizeof NOTIFYICONDATAA)",
        file=TRAY,
        old="record.cbSize = TRAY_RECORD_SIZE;",
        new="record.cbSize = sizeof record;",
    ),
    Fault(
        id="Y8",
        what="balloon with an icon (NIIF_INFO)",
        file=TRAY,
        old="dwInfoFlags = NIIF_NONE;",
        new="dwInfoFlags = NIIF_INFO;",
    ),
    Fault(
        id="Y9",
        what="menu at swapped coordinates",
        file=TRAY,
        old="cursor.x, cursor.y, 0,",
        new="cursor.y, cursor.x, 0,",
    ),
    Fault(
        id="Y10",
        what="foreground set after the menu closes",
        file=TRAY,
        old="    SetForegroundWindow(window);\n"
        "    // No TPM_RETURNCMD: the chosen item arrives as an ordinary WM_COMMAND.\n"
        "    TrackPopupMenu(\n"
        "        g_trayMenu, TPM_RIGHTALIGN | TPM_BOTTOMALIGN, cursor.x, cursor.y, 0, window, nullptr);\n",
        new="    // No TPM_RETURNCMD: the chosen item arrives as an ordinary WM_COMMAND.\n"
        "    TrackPopupMenu(\n"
        "        g_trayMenu, TPM_RIGHTALIGN | TPM_BOTTOMALIGN, cursor.x, cursor.y, 0, window, nullptr);\n"
        "    SetForegroundWindow(window);\n",
    ),
    Fault(
        id="Y11",
        what="the whole menu bar instead of its popup (g_menu)",
        file=TRAY,
        old="        g_trayMenu, TPM_RIGHTALIGN",
        new="        g_menu, TPM_RIGHTALIGN",
    ),
    Fault(
        id="Y12",
        what="once paused, the program cannot be resumed",
        file=TRAY,
        old="g_paused = g_paused ? 0 : 1;",
        new="g_paused = 1;",
    ),
    Fault(
        id="N1",
        what="no WM_NULL posted after TrackPopupMenu",
        file=TRAY,
        old="    PostMessageA(window, WM_NULL, 0, 0);\n",
        new="",
    ),
    Fault(
        id="N6",
        what="an add that reported failure but arrived is not followed by a modify",
        file=TRAY,
        old="return Shell_NotifyIconA(NIM_ADD, &record) || Shell_NotifyIconA(NIM_MODIFY, &record);",
        new="return Shell_NotifyIconA(NIM_ADD, &record);",
    ),
    Fault(
        id="N7",
        what="retry timer not stopped once the icon is there",
        file=SHELL,
        old="        else if (wParam == TIMER_TRAY_RETRY)\n            addTrayIcon(window);\n",
        new="        else if (wParam == TIMER_TRAY_RETRY)\n            trayAdd(window);\n",
    ),
    Fault(
        id="N8",
        what="retry tick ignored",
        file=SHELL,
        old="        else if (wParam == TIMER_TRAY_RETRY)\n            addTrayIcon(window);\n",
        new="",
    ),
    Fault(
        id="N2",
        what="no retry when the first NIM_ADD fails",
        file=SHELL,
        old="    addTrayIcon(window);\n    g_taskbarCreatedMsg = ",
        new="    trayAdd(window);\n    g_taskbarCreatedMsg = ",
    ),
    # Resources: the tray menu, the manifest and the version block.
    Fault(
        id="X1",
        what="exit item carries the pause id",
        file=RC,
        old='MENUITEM "終了", ID_MENU_EXIT',
        new='MENUITEM "終了", ID_MENU_PAUSE',
    ),
    Fault(
        id="X2",
        what="menu items out of order (settings and pause swapped)",
        file=RC,
        old='        MENUITEM "設定", ID_MENU_SETTINGS\n'
        '        MENUITEM "素数判定を一時停止", ID_MENU_PAUSE\n',
        new='        MENUITEM "素数判定を一時停止", ID_MENU_PAUSE\n'
        '        MENUITEM "設定", ID_MENU_SETTINGS\n',
    ),
    Fault(
        id="X3",
        what="x86 manifest names amd64",
        file=MANIFEST,
        old='processorArchitecture="x86"',
        new='processorArchitecture="amd64"',
    ),
    Fault(
        id="X4",
        what="file version 1.0.0.1",
        file=RC,
        old="FILEVERSION 1,0,0,0",
        new="FILEVERSION 1,0,0,1",
    ),
    # What a user meets in the settings window and after a restart.
    Fault(
        id="H19",
        what="適用 and OK apply but write nothing",
        file=SHELL,
        old="    controlsToConfig(window, g_config);\n    saveConfig(g_config);\n",
        new="    controlsToConfig(window, g_config);\n",
    ),
    Fault(
        id="H20",
        what="the window without its close box",
        file=SHELL,
        old="WS_VISIBLE | WS_CAPTION | WS_SYSMENU,",
        new="WS_VISIBLE | WS_CAPTION,",
    ),
    Fault(
        id="W14",
        what="the list's two entries in the other order",
        file=WINDOW,
        old="CB_ADDSTRING, 0,",
        new="CB_INSERTSTRING, 0,",
    ),
    Fault(
        id="W15",
        what="OK placed below the client area",
        file=WINDOW,
        old="BS_DEFPUSHBUTTON, 100, 240,",
        new="BS_DEFPUSHBUTTON, 100, 280,",
    ),
    Fault(
        id="W16",
        what="OK without the default button's frame",
        file=WINDOW,
        old="WS_TABSTOP | BS_DEFPUSHBUTTON,",
        new="WS_TABSTOP,",
    ),
    Fault(
        id="W17",
        what="the size box takes typed letters (no ES_NUMBER)",
        file=WINDOW,
        old="WS_TABSTOP | ES_NUMBER | ES_AUTOHSCROLL",
        new="WS_TABSTOP | ES_AUTOHSCROLL",
    ),
    Fault(
        id="W18",
        what="a paste into the size box is not filtered",
        file=WINDOW,
        old="if (message == WM_PASTE) {",
        new="if (message == WM_PASTE && false) {",
    ),
    Fault(
        id="W19",
        what="a paste into the size box keeps every character, not only digits",
        file=WINDOW,
        old="if (text[i] >= L'0' && text[i] <= L'9')",
        new="if (text[i] != 0)",
    ),
    Fault(
        id="H21",
        what="a wrong window title",
        file=SHELL_HEADER,
        old='MAIN_WINDOW_TITLE[] = "Tramolivenga Ver1.00";',
        new='MAIN_WINDOW_TITLE[] = "Tramolivenga Ver1.0";',
    ),
    Fault(
        id="W20",
        what="the sound's edit read-only",
        file=WINDOW,
        old="WS_TABSTOP | ES_AUTOHSCROLL, 140, 190,",
        new="WS_TABSTOP | ES_AUTOHSCROLL | ES_READONLY, 140, 190,",
    ),
    Fault(
        id="W21",
        what="the full-width box disabled",
        file=WINDOW,
        old="BS_AUTOCHECKBOX, 10, 70,",
        new="BS_AUTOCHECKBOX | WS_DISABLED, 10, 70,",
    ),
    # What a user meets where the flow went no further before: the file dialog
    # of 参照, the longest number, the taskbar restarted.
    Fault(
        id="W22",
        what="the sound dialog's pattern lists every file (*.*)",
        file=WINDOW,
        old="(*.wav)\\0*.wav\\0\\0",
        new="(*.wav)\\0*.*\\0\\0",
    ),
    Fault(
        id="Y13",
        what="the balloon's title cut short of 19 digits",
        file=TRAY,
        old="lstrcpynA(record.szInfoTitle, title, sizeof record.szInfoTitle);",
        new="lstrcpynA(record.szInfoTitle, title, 19);",
    ),
    Fault(
        id="Y14",
        what="the balloon's text ends in ？ instead of ！",
        file=VIEWER,
        old='\\x82\\xA0\\x82\\xA0\\x82\\xA0\\x81\\x49";',
        new='\\x82\\xA0\\x82\\xA0\\x82\\xA0\\x81\\x48";',
    ),
    Fault(
        id="H22",
        what="the icon not added again when the taskbar is re-created",
        file=SHELL,
        old='RegisterWindowMessageA("TaskbarCreated");',
        new='RegisterWindowMessageA("TaskbarCreate");',
    ),
    Fault(
        id="H23",
        what="the close box does nothing",
        file=SHELL,
        old="    case WM_CLOSE:\n        hideWindow(window);\n",
        new="    case WM_CLOSE:\n",
    ),
    # What keys reaching the hidden window, the launcher's show command and an
    # input method's full-width digits do; what the desktop shows at start.
    Fault(
        id="H24",
        what="the settings buttons act while the window is hidden (Enter saves)",
        file=SHELL,
        old="notificationCode(wParam) == 0 && IsWindowVisible(window);",
        new="notificationCode(wParam) == 0;",
    ),
    Fault(
        id="H25",
        what="設定 shows the window as it was left, minimised or maximised",
        file=SHELL,
        old="    ShowWindow(window, SW_SHOWNORMAL);\n"
        "    if (IsIconic(window) || IsZoomed(window))\n"
        "        ShowWindow(window, SW_SHOWNORMAL);\n",
        new="    ShowWindow(window, SW_SHOW);\n",
    ),
    Fault(
        id="H26",
        what="設定 shows the window minimised where the launcher asked for it (no second show)",
        file=SHELL,
        old="    if (IsIconic(window) || IsZoomed(window))\n        ShowWindow(window, SW_SHOWNORMAL);\n",
        new="",
    ),
    Fault(
        id="H27",
        what="the window shown normal at start",
        file=SHELL,
        old="    ShowWindow(window, SW_HIDE);\n    UpdateWindow(window);\n",
        new="    ShowWindow(window, SW_SHOWNORMAL);\n    UpdateWindow(window);\n",
    ),
    Fault(
        id="W23",
        what="full-width digits in the size box read as 0",
        file=READ_MAX,
        old="if (trail >= 0x4F && trail <= 0x58) {",
        new="if (trail >= 0x4F && trail <= 0x58 && false) {",
    ),
    Fault(
        id="W24",
        what="full-width digits pasted into the size box dropped",
        file=WINDOW,
        old="else if (text[i] >= FULL_WIDTH_ZERO && text[i] <= FULL_WIDTH_ZERO + 9)",
        new="else if (text[i] >= FULL_WIDTH_ZERO && text[i] <= FULL_WIDTH_ZERO + 9 && false)",
    ),
    # Faults in what the states' list names and nothing else caught before.
    Fault(
        id="Y15",
        what="the tray icon added without its image",
        file=TRAY,
        old="record.hIcon = g_smallIcon;",
        new="record.hIcon = nullptr;",
    ),
    Fault(
        id="W25",
        what="the chosen file's path not put into the sound's edit",
        file=WINDOW,
        old="    if (chosen)\n        SetWindowTextA(",
        new="    if (chosen && false)\n        SetWindowTextA(",
    ),
    Fault(
        id="T14",
        what="the registry keeps the path but not the numbers",
        file=STORAGE,
        old="        RegSetValueExA(key, setting.key, 0, REG_DWORD, data, REGISTRY_INT_SIZE);\n",
        new="",
    ),
    Fault(
        id="K1",
        what="the package's readme with LF line ends",
        file="CMakeLists.txt",
        old=".replace('\\\\n', '\\\\r\\\\n')",
        new="",
    ),
    Fault(
        id="W26",
        what="the file dialog accepts a name of no file (OFN_FILEMUSTEXIST dropped)",
        file=WINDOW,
        old="OFN_PATHMUSTEXIST | OFN_FILEMUSTEXIST",
        new="OFN_PATHMUSTEXIST",
    ),
]


def count(fault, root=Path(__file__).resolve().parent.parent):
    """How often the fault's old text occurs in its file."""
    return (root / fault.file).read_text(encoding="utf-8").count(fault.old)


if __name__ == "__main__":
    stale = [f"{f.id} ({f.file}): old text found {count(f)} times" for f in FAULTS if count(f) != 1]
    print("faults: " + ("; ".join(stale) or f"all {len(FAULTS)} apply, each exactly once"))
    sys.exit(1 if stale else 0)
