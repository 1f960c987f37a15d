"""The faults that bench/plant_faults.py plants, one at a time, in a scratch copy of the program.

Each is (id, what the planted fault does, file relative to the repo root, exact old text, new text);
the old text occurs exactly once in that file, and each new text still compiles.
"""

PRIME = "src/prime/primality.cpp"
SCANNER = "src/prime/scanner.cpp"
CLIPBOARD = "src/prime/clipboard.cpp"
STORAGE = "src/settings/storage.cpp"
CONFIG = "src/settings/config.cpp"
MODULE_PATH = "src/settings/module_path.cpp"
READ_MAX = "src/settings/read_max_text.cpp"
WINDOW = "src/settings/settings_window.cpp"
SHELL = "src/shell/main_window.cpp"
VIEWER = "src/shell/clipboard_viewer.cpp"
TRAY = "src/shell/tray.cpp"
RC = "res/tramolivenga.rc"
MANIFEST = "res/tramolivenga.x86.manifest"

FAULTS = [
    # Primality: trial division, then the strong test with the bases 2 to 37.
    (
        "P1",
        "strong test without base 37",
        PRIME,
        "STRONG_BASE_COUNT = 12;",
        "STRONG_BASE_COUNT = 11;",
    ),
    (
        "P2",
        "mulMod shortcut (a*b)%m that overflows for large a",
        PRIME,
        "uint64_t mulMod(uint64_t a, uint64_t b, uint64_t n)\n{\n",
        "uint64_t mulMod(uint64_t a, uint64_t b, uint64_t n)\n{\n    return (a * b) % n;\n",
    ),
    (
        "P3",
        "divisibility tested before equality (small primes rejected)",
        PRIME,
        "        if (n == widen(p))\n            return 1;\n"
        "        if (n % widen(p) == 0)\n            return 0;\n",
        "        if (n % widen(p) == 0)\n            return 0;\n"
        "        if (n == widen(p))\n            return 1;\n",
    ),
    ("P4", "a^d = n-1 not accepted at once", PRIME, "if (x == 1 || x == n - 1)", "if (x == 1)"),
    (
        "P5",
        "1 counted as prime",
        PRIME,
        "    if (n <= 1)\n        return 0;",
        "    if (n <= 1)\n        return n;",
    ),
    ("P6", "mulMod doubling not reduced", PRIME, "a = (a + a) % n;", "a = a + a;"),
    # Scanner: digit runs, commas, periods, full-width forms and the cap.
    (
        "S1",
        "19-digit runs dropped",
        SCANNER,
        "if (++digitCount > MAX_RUN_DIGITS)",
        "if (++digitCount >= MAX_RUN_DIGITS)",
    ),
    (
        "S2",
        "a text of exactly the cap is cut",
        SCANNER,
        "if (length > cap) {",
        "if (length >= cap) {",
    ),
    (
        "S3",
        "a run open at the cut evaluated",
        SCANNER,
        "if (state == SCAN_IN_RUN && !cut)",
        "if (state == SCAN_IN_RUN)",
    ),
    (
        "S4",
        "period rule inverted while discarding",
        SCANNER,
        "(unitClass == CLASS_PERIOD && stopOnPeriod)",
        "(unitClass == CLASS_PERIOD && !stopOnPeriod)",
    ),
    (
        "S5",
        "full-width comma joins without enableWideNumber",
        SCANNER,
        "(unit == u',' || (wide && unit == WIDE_COMMA))",
        "(unit == u',' || unit == WIDE_COMMA)",
    ),
    (
        "S6",
        "full-width digits copied unconverted into the result",
        SCANNER,
        "runDigits[count++] = static_cast<char>('0' + digit);",
        "runDigits[count++] = static_cast<char>(unit);",
    ),
    (
        "S7",
        "noReadOverMax ignored",
        SCANNER,
        "            if (config.noReadOverMax != 0)\n                return -1;\n",
        "",
    ),
    ("S8", "readMax 0 taken as a cap of 0", SCANNER, "config.readMax >= 1", "config.readMax >= 0"),
    (
        "S9",
        "digits after a leading decimal point tested",
        SCANNER,
        "            } else if (unitClass == CLASS_PERIOD && !stopOnPeriod) {\n"
        "                state = SCAN_DISCARD;  // the digits after a decimal point\n",
        "",
    ),
    (
        "S10",
        "values of 2^63 and above tested with bit 63 dropped",
        SCANNER,
        "if ((value & BIT_63) != 0 || !isPrime(value))",
        "if (!isPrime(value & ~BIT_63))",
    ),
    # Clipboard: checkClipboard, the scanner's only contact with the platform.
    (
        "C1",
        "clipboard left open after reading",
        CLIPBOARD,
        "    GlobalUnlock(handle);\n    CloseClipboard();\n\n",
        "    GlobalUnlock(handle);\n\n",
    ),
    (
        "C2",
        "clipboard text left locked",
        CLIPBOARD,
        "    copy[length] = 0;\n    GlobalUnlock(handle);\n",
        "    copy[length] = 0;\n",
    ),
    ("C3", "private copy leaked", CLIPBOARD, "    HeapFree(heap, 0, copy);\n", ""),
    (
        "C4",
        "caller's buffer written without a prime",
        CLIPBOARD,
        "    if (result)\n        lstrcpyA(digits, found);\n",
        '    lstrcpyA(digits, result ? found : "");\n',
    ),
    (
        "C5",
        "ANSI text (CF_TEXT) read as Unicode",
        CLIPBOARD,
        "GetClipboardData(CF_UNICODETEXT)",
        "GetClipboardData(CF_TEXT)",
    ),
    (
        "N4",
        "clipboard text measured by lstrlenW, not bounded by GlobalSize",
        CLIPBOARD,
        "    while (static_cast<SIZE_T>(length) < units && length < INT32_MAX - 1"
        " && text[length] != 0)\n        ++length;\n",
        "    length = lstrlenW(text);\n",
    ),
    # Storage: the INI file beside the program, or the registry key it selects.
    (
        "T1",
        "wrong INI section",
        STORAGE,
        'INI_SECTION_CONFIG[] = "config";',
        'INI_SECTION_CONFIG[] = "settings";',
    ),
    (
        "T2",
        "useregistry read from the wrong section",
        STORAGE,
        "INI_SECTION_REGISTRY, INI_KEY_USE_REGISTRY",
        "INI_SECTION_CONFIG, INI_KEY_USE_REGISTRY",
    ),
    (
        "T3",
        "registry voiceFile terminator mend dropped (data[size] = '\\0' gone)",
        STORAGE,
        "    if (size < TEXT_BUFFER_SIZE)\n        data[size] = '\\0';\n    else if (",
        "    if (size >= TEXT_BUFFER_SIZE && ",
    ),
    (
        "T4",
        "short registry numbers keep the default",
        STORAGE,
        "nullptr, nullptr, data, &size) != ERROR_SUCCESS)",
        "nullptr, nullptr, data, &size) != ERROR_SUCCESS || size < REGISTRY_INT_SIZE)",
    ),
    (
        "T5",
        "registry voiceFile written without its NUL",
        STORAGE,
        "lstrlenA(config.voiceFile) + 1)",
        "lstrlenA(config.voiceFile))",
    ),
    (
        "T6",
        "negative numbers saved unsigned (%u)",
        STORAGE,
        'wsprintfA(text, "%d"',
        'wsprintfA(text, "%u"',
    ),
    (
        "T7",
        "missing registry value gives 0, not the default",
        STORAGE,
        "data, &size) != ERROR_SUCCESS)\n        return 0;\n",
        "data, &size) != ERROR_SUCCESS)\n        size = 0;\n",
    ),
    (
        "T8",
        "stale-byte mend dropped (voiceFile buffer not cleared whole)",
        CONFIG,
        "    std::memset(config.voiceFile, 0, sizeof config.voiceFile);\n",
        "",
    ),
    (
        "T9",
        "wrong default for ignoreComma",
        CONFIG,
        '{"ignoreComma", &Config::ignoreComma, 1}',
        '{"ignoreComma", &Config::ignoreComma, 0}',
    ),
    (
        "T10",
        "wrong registry key",
        STORAGE,
        'REGISTRY_KEY_PATH[] = "Software\\\\yulbrex\\\\tramolivenga";',
        'REGISTRY_KEY_PATH[] = "Software\\\\yulbrex\\\\tramolivena";',
    ),
    (
        "T11",
        "numbers stored as REG_BINARY",
        STORAGE,
        "RegSetValueExA(key, setting.key, 0, REG_DWORD,",
        "RegSetValueExA(key, setting.key, 0, REG_BINARY,",
    ),
    (
        "T12",
        "registry mode also writes the INI file",
        STORAGE,
        "        saveToRegistry(config);\n        return;\n",
        "        saveToRegistry(config);\n",
    ),
    (
        "T13",
        "keys written out of order (voiceFile first)",
        STORAGE,
        "    for (const IntSetting& setting : INT_SETTINGS) {\n"
        "        char text[16];\n"
        '        wsprintfA(text, "%d", config.*setting.field);\n'
        "        WritePrivateProfileStringA(INI_SECTION_CONFIG, setting.key, text, iniPath);\n"
        "    }\n"
        "    WritePrivateProfileStringA(INI_SECTION_CONFIG, VOICE_FILE_KEY, config.voiceFile,"
        " iniPath);\n",
        "    WritePrivateProfileStringA(INI_SECTION_CONFIG, VOICE_FILE_KEY, config.voiceFile,"
        " iniPath);\n"
        "    for (const IntSetting& setting : INT_SETTINGS) {\n"
        "        char text[16];\n"
        '        wsprintfA(text, "%d", config.*setting.field);\n'
        "        WritePrivateProfileStringA(INI_SECTION_CONFIG, setting.key, text, iniPath);\n"
        "    }\n",
    ),
    # Paths and readMax text: the code page 932 walk, the INI path, the edit's number.
    (
        "M1",
        "cp932 lead bytes F0-FC not taken as lead bytes",
        MODULE_PATH,
        "(byte >= 0xE0 && byte <= 0xFC)",
        "(byte >= 0xE0 && byte <= 0xEF)",
    ),
    (
        "M2",
        "directory without its trailing backslash",
        MODULE_PATH,
        "cut = position + 1;",
        "cut = position;",
    ),
    (
        "M3",
        "INI path one byte too long accepted",
        MODULE_PATH,
        "directoryLength + fileNameLength >= static_cast<size_t>(bufferSize)",
        "directoryLength + fileNameLength > static_cast<size_t>(bufferSize)",
    ),
    (
        "M4",
        "second byte of a double-byte character examined",
        MODULE_PATH,
        "            position += 2;\n",
        "            position += 1;\n",
    ),
    (
        "R1",
        "leading blank and plus accepted",
        READ_MAX,
        "    bool negative = false;\n",
        "    while (*text == ' ' || *text == '+')\n        ++text;\n    bool negative = false;\n",
    ),
    ("R2", "minus sign ignored", READ_MAX, "    if (negative)\n        value = 0u - value;\n", ""),
    (
        "R3",
        "saturates instead of wrapping",
        READ_MAX,
        "    return static_cast<int32_t>(value - 2147483648u) + INT32_MIN;",
        "    return negative ? INT32_MIN : INT32_MAX;",
    ),
    # Settings window: its controls, their limits and the fields they show and set.
    (
        "W1",
        "controls to fields: comma and period swapped",
        WINDOW,
        "    config.ignoreComma = getCheck(window, ID_CHECK_IGNORECOMMA);\n"
        "    config.stopOnPeriod = getCheck(window, ID_CHECK_STOPONPERIOD);\n",
        "    config.ignoreComma = getCheck(window, ID_CHECK_STOPONPERIOD);\n"
        "    config.stopOnPeriod = getCheck(window, ID_CHECK_IGNORECOMMA);\n",
    ),
    (
        "W2",
        "fields to controls: wide box shows stopOnPeriod",
        WINDOW,
        "setCheck(window, ID_CHECK_WIDENUMBER, config.enableWideNumber);",
        "setCheck(window, ID_CHECK_WIDENUMBER, config.stopOnPeriod);",
    ),
    (
        "W3",
        "noReadOverMax 7 selects nothing (index passed unchanged)",
        WINDOW,
        "WPARAM index = config.noReadOverMax != 0 ? 1 : 0;",
        "WPARAM index = static_cast<WPARAM>(config.noReadOverMax);",
    ),
    (
        "W4",
        "Browse no longer puts the current directory back",
        WINDOW,
        "    if (directoryLength != 0 && directoryLength < TEXT_BUFFER_SIZE)\n"
        "        SetCurrentDirectoryA(directory);\n",
        "",
    ),
    (
        "W5",
        "cancelled Browse empties the edit",
        WINDOW,
        "    if (chosen)\n        SetWindowTextA(",
        "    SetWindowTextA(",
    ),
    (
        "W6",
        "Browse button in the Tab order (WS_TABSTOP added)",
        WINDOW,
        '{"BUTTON", 0, WS_CHILD | WS_VISIBLE, 340, 190,',
        '{"BUTTON", 0, WS_CHILD | WS_VISIBLE | WS_TABSTOP, 340, 190,',
    ),
    (
        "W7",
        "a path cut inside a double-byte character keeps its half character",
        WINDOW,
        "    int kept = 0;\n",
        "    int kept = length;\n",
    ),
    ("W8", "client area narrower than 400", WINDOW, "CLIENT_WIDTH = 400;", "CLIENT_WIDTH = 390;"),
    (
        "W9",
        "list index read inverted",
        WINDOW,
        "config.noReadOverMax = static_cast<int32_t>(",
        "config.noReadOverMax = 1 - static_cast<int32_t>(",
    ),
    ("W10", "readMax edit limit 10", WINDOW, "READMAX_LIMIT = 9;", "READMAX_LIMIT = 10;"),
    (
        "W11",
        "enableVoice read from the full-width box",
        WINDOW,
        "config.enableVoice = getCheck(window, ID_CHECK_ENABLEVOICE);",
        "config.enableVoice = getCheck(window, ID_CHECK_WIDENUMBER);",
    ),
    (
        "W12",
        "fields to controls: period and sound boxes swapped",
        WINDOW,
        "    setCheck(window, ID_CHECK_STOPONPERIOD, config.stopOnPeriod);\n"
        "    setCheck(window, ID_CHECK_ENABLEVOICE, config.enableVoice);\n",
        "    setCheck(window, ID_CHECK_STOPONPERIOD, config.enableVoice);\n"
        "    setCheck(window, ID_CHECK_ENABLEVOICE, config.stopOnPeriod);\n",
    ),
    (
        "W13",
        "voice-file edit limit 1023",
        WINDOW,
        "VOICEFILE_LIMIT = 1020;",
        "VOICEFILE_LIMIT = 1023;",
    ),
    (
        "N3",
        "current directory not restored when the dialog is cancelled",
        WINDOW,
        "    if (directoryLength != 0 && directoryLength < TEXT_BUFFER_SIZE)\n",
        "    if (chosen && directoryLength != 0 && directoryLength < TEXT_BUFFER_SIZE)\n",
    ),
    # Shell: the window procedure, the message loop and runApplication.
    (
        "H1",
        "close box destroys the window",
        SHELL,
        "    case WM_CLOSE:\n        hideWindow(window);\n",
        "    case WM_CLOSE:\n        DestroyWindow(window);\n",
    ),
    (
        "H2",
        "OK acts on any notification code",
        SHELL,
        "    case IDOK:\n        if (clicked) {\n",
        "    case IDOK:\n        {\n",
    ),
    (
        "H3",
        "settings shown without refilling the controls",
        SHELL,
        "    configToControls(window, g_config);\n",
        "",
    ),
    ("H4", "exit does not leave the viewer chain", SHELL, "    leaveClipboardChain(window);\n", ""),
    ("H5", "exit code 1", SHELL, "PostQuitMessage(0);", "PostQuitMessage(1);"),
    (
        "H6",
        "WM_NULL taken for TaskbarCreated",
        SHELL,
        "if (g_taskbarCreatedMsg != 0 && message == g_taskbarCreatedMsg)",
        "if (message == g_taskbarCreatedMsg)",
    ),
    (
        "H7",
        "any timer rejoins",
        SHELL,
        "        if (wParam == TIMER_REJOIN)\n            rejoinClipboardChain(window);\n"
        "        else if (wParam == TIMER_TRAY_RETRY)\n",
        "        rejoinClipboardChain(window);\n        if (wParam == TIMER_TRAY_RETRY)\n",
    ),
    (
        "H8",
        "menu on right button down instead of up",
        SHELL,
        "if (lParam == WM_RBUTTONUP)",
        "if (lParam == WM_RBUTTONDOWN)",
    ),
    (
        "H9",
        "window shown at start (SW_HIDE in runApplication removed)",
        SHELL,
        "    ShowWindow(window, SW_HIDE);\n    UpdateWindow(window);\n",
        "    UpdateWindow(window);\n",
    ),
    (
        "H10",
        "no dialog keyboard navigation (IsDialogMessageA dropped)",
        SHELL,
        "if (!IsDialogMessageA(window, &message)) {",
        "{",
    ),
    (
        "H11",
        "font without the Japanese character set",
        SHELL,
        "SHIFTJIS_CHARSET",
        "DEFAULT_CHARSET",
    ),
    (
        "H12",
        "Apply hides the window",
        SHELL,
        "        if (clicked)\n            applySettings(window);\n",
        "        if (clicked) {\n            applySettings(window);\n"
        "            hideWindow(window);\n        }\n",
    ),
    ("H13", "icon not removed on exit", SHELL, "    trayRemove(window);\n", ""),
    (
        "H14",
        "Cancel applies",
        SHELL,
        "    case IDCANCEL:\n        if (clicked)\n            hideWindow(window);\n",
        "    case IDCANCEL:\n        if (clicked) {\n            applySettings(window);\n"
        "            hideWindow(window);\n        }\n",
    ),
    (
        "H15",
        "window shown with the launcher's show command after creation",
        SHELL,
        "int runApplication(HINSTANCE instance, HINSTANCE, LPSTR, int)\n"
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
        "int runApplication(HINSTANCE instance, HINSTANCE, LPSTR, int showCommand)\n"
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
    (
        "H16",
        "the menu opens on any mouse message at the icon",
        SHELL,
        "        if (lParam == WM_RBUTTONUP)\n            showTrayMenu(window);\n",
        "        showTrayMenu(window);\n",
    ),
    # H17, H18 (and N7, N8): written against the tray retry timer as reworked in 8c0229b.
    (
        "H17",
        "the tray retry timer not stopped at shutdown",
        SHELL,
        "    trayRemove(window);\n    KillTimer(window, TIMER_TRAY_RETRY);\n",
        "    trayRemove(window);\n",
    ),
    (
        "H18",
        "the tray retry timer not stopped when an add made by TaskbarCreated succeeds",
        SHELL,
        "    if (g_taskbarCreatedMsg != 0 && message == g_taskbarCreatedMsg) {\n"
        "        addTrayIcon(window);\n",
        "    if (g_taskbarCreatedMsg != 0 && message == g_taskbarCreatedMsg) {\n"
        "        if (!trayAdd(window))\n"
        "            SetTimer(window, TIMER_TRAY_RETRY, TRAY_RETRY_MS, nullptr);\n",
    ),
    # Chain and sound: the clipboard viewer chain, the rejoin timer and the WAV.
    (
        "V1",
        "skipped notification not passed on",
        VIEWER,
        "    if (g_nextViewer != nullptr)\n"
        "        SendMessageA(g_nextViewer, WM_DRAWCLIPBOARD, wParam, lParam);\n"
        "    if (g_skipNextDraw) {\n"
        "        g_skipNextDraw = 0;\n"
        "        return;\n"
        "    }\n",
        "    if (g_skipNextDraw) {\n"
        "        g_skipNextDraw = 0;\n"
        "        return;\n"
        "    }\n"
        "    if (g_nextViewer != nullptr)\n"
        "        SendMessageA(g_nextViewer, WM_DRAWCLIPBOARD, wParam, lParam);\n",
    ),
    (
        "V2",
        "chain change also passed on when the next viewer leaves",
        VIEWER,
        "    else if (g_nextViewer != nullptr)\n        SendMessageA(g_nextViewer, WM_CHANGECBCHAIN",
        "    if (g_nextViewer != nullptr)\n        SendMessageA(g_nextViewer, WM_CHANGECBCHAIN",
    ),
    (
        "V3",
        "chain change passed on with swapped parameters",
        VIEWER,
        "WM_CHANGECBCHAIN, leaving, following);",
        "WM_CHANGECBCHAIN, following, leaving);",
    ),
    (
        "V4",
        "rejoin notification examined",
        VIEWER,
        "    g_skipNextDraw = 1;\n    ChangeClipboardChain(window, g_nextViewer);\n",
        "    ChangeClipboardChain(window, g_nextViewer);\n",
    ),
    (
        "V5",
        "sound looked for in the current directory (SetCurrentDirectoryA dropped)",
        VIEWER,
        "        SetCurrentDirectoryA(moduleDirectory());\n",
        "",
    ),
    ("V6", "sound played synchronously (SND_SYNC)", VIEWER, "SND_ASYNC", "SND_SYNC"),
    (
        "V7",
        "rejoin every 3 s",
        VIEWER,
        "SetTimer(window, TIMER_REJOIN, REJOIN_PERIOD_MS, nullptr);",
        "SetTimer(window, TIMER_REJOIN, 3000, nullptr);",
    ),
    (
        "V8",
        "rejoin timer not stopped on exit",
        VIEWER,
        "    KillTimer(window, TIMER_REJOIN);\n",
        "",
    ),
    ("V9", "pause ignored", VIEWER, "    if (g_paused)\n        return;\n", ""),
    (
        "V10",
        "skip flag set after joining",
        VIEWER,
        "    g_skipNextDraw = 1;\n    g_nextViewer = SetClipboardViewer(window);\n}\n\nvoid join",
        "    g_nextViewer = SetClipboardViewer(window);\n    g_skipNextDraw = 1;\n}\n\nvoid join",
    ),
    (
        "V11",
        "sound played when switched off",
        VIEWER,
        "    if (g_config.enableVoice) {\n",
        "    {\n",
    ),
    (
        "V12",
        "chain change keeps the leaving window as the next",
        VIEWER,
        "g_nextViewer = reinterpret_cast<HWND>(following);",
        "g_nextViewer = leavingWindow;",
    ),
    (
        "V13",
        "chain change passed on to the leaving window",
        VIEWER,
        "SendMessageA(g_nextViewer, WM_CHANGECBCHAIN,",
        "SendMessageA(leavingWindow, WM_CHANGECBCHAIN,",
    ),
    # Tray: the icon, its balloon, its menu and the pause switch; the retry timer.
    ("Y1", "menu without SetForegroundWindow", TRAY, "    SetForegroundWindow(window);\n", ""),
    (
        "Y2",
        "chosen item never arrives as a command (TPM_RETURNCMD)",
        TRAY,
        "TPM_RIGHTALIGN | TPM_BOTTOMALIGN,",
        "TPM_RIGHTALIGN | TPM_BOTTOMALIGN | TPM_RETURNCMD,",
    ),
    ("Y3", "balloon without display time", TRAY, "    record.uTimeout = 10000;\n", ""),
    (
        "Y4",
        "icon without tooltip",
        TRAY,
        "NIF_MESSAGE | NIF_ICON | NIF_TIP;",
        "NIF_MESSAGE | NIF_ICON;",
    ),
    (
        "Y5",
        "balloon title and text swapped",
        TRAY,
        "lstrcpynA(record.szInfo, text, sizeof record.szInfo);\n"
        "    lstrcpynA(record.szInfoTitle, title, sizeof record.szInfoTitle);",
        "lstrcpynA(record.szInfo, title, sizeof record.szInfo);\n"
        "    lstrcpynA(record.szInfoTitle, text, sizeof record.szInfoTitle);",
    ),
    (
        "Y6",
        "check mark inverted",
        TRAY,
        "g_paused ? MFS_CHECKED : MFS_UNCHECKED;",
        "g_paused ? MFS_UNCHECKED : MFS_CHECKED;",
    ),
    (
        "Y7",
        "record size of the newest layout (sizeof NOTIFYICONDATAA)",
        TRAY,
        "record.cbSize = TRAY_RECORD_SIZE;",
        "record.cbSize = sizeof record;",
    ),
    (
        "Y8",
        "balloon with an icon (NIIF_INFO)",
        TRAY,
        "dwInfoFlags = NIIF_NONE;",
        "dwInfoFlags = NIIF_INFO;",
    ),
    ("Y9", "menu at swapped coordinates", TRAY, "cursor.x, cursor.y, 0,", "cursor.y, cursor.x, 0,"),
    (
        "Y10",
        "foreground set after the menu closes",
        TRAY,
        "    SetForegroundWindow(window);\n"
        "    // No TPM_RETURNCMD: the chosen item arrives as an ordinary WM_COMMAND.\n"
        "    TrackPopupMenu(\n"
        "        g_trayMenu, TPM_RIGHTALIGN | TPM_BOTTOMALIGN, cursor.x, cursor.y, 0, window, nullptr);\n",
        "    // No TPM_RETURNCMD: the chosen item arrives as an ordinary WM_COMMAND.\n"
        "    TrackPopupMenu(\n"
        "        g_trayMenu, TPM_RIGHTALIGN | TPM_BOTTOMALIGN, cursor.x, cursor.y, 0, window, nullptr);\n"
        "    SetForegroundWindow(window);\n",
    ),
    (
        "Y11",
        "the whole menu bar instead of its popup (g_menu)",
        TRAY,
        "        g_trayMenu, TPM_RIGHTALIGN",
        "        g_menu, TPM_RIGHTALIGN",
    ),
    (
        "Y12",
        "once paused, the program cannot be resumed",
        TRAY,
        "g_paused = g_paused ? 0 : 1;",
        "g_paused = 1;",
    ),
    (
        "N1",
        "no WM_NULL posted after TrackPopupMenu",
        TRAY,
        "    PostMessageA(window, WM_NULL, 0, 0);\n",
        "",
    ),
    (
        "N6",
        "an add that reported failure but arrived is not followed by a modify",
        TRAY,
        "return Shell_NotifyIconA(NIM_ADD, &record) || Shell_NotifyIconA(NIM_MODIFY, &record);",
        "return Shell_NotifyIconA(NIM_ADD, &record);",
    ),
    (
        "N7",
        "retry timer not stopped once the icon is there",
        SHELL,
        "        else if (wParam == TIMER_TRAY_RETRY)\n            addTrayIcon(window);\n",
        "        else if (wParam == TIMER_TRAY_RETRY)\n            trayAdd(window);\n",
    ),
    (
        "N8",
        "retry tick ignored",
        SHELL,
        "        else if (wParam == TIMER_TRAY_RETRY)\n            addTrayIcon(window);\n",
        "",
    ),
    (
        "N2",
        "no retry when the first NIM_ADD fails",
        SHELL,
        "    addTrayIcon(window);\n    g_taskbarCreatedMsg = ",
        "    trayAdd(window);\n    g_taskbarCreatedMsg = ",
    ),
    # Resources: the tray menu, the manifest and the version block.
    (
        "X1",
        "exit item carries the pause id",
        RC,
        'MENUITEM "終了", ID_MENU_EXIT',
        'MENUITEM "終了", ID_MENU_PAUSE',
    ),
    (
        "X2",
        "menu items out of order (settings and pause swapped)",
        RC,
        '        MENUITEM "設定", ID_MENU_SETTINGS\n' '        MENUITEM "素数判定を一時停止", ID_MENU_PAUSE\n',
        '        MENUITEM "素数判定を一時停止", ID_MENU_PAUSE\n' '        MENUITEM "設定", ID_MENU_SETTINGS\n',
    ),
    (
        "X3",
        "x86 manifest names amd64",
        MANIFEST,
        'processorArchitecture="x86"',
        'processorArchitecture="amd64"',
    ),
    ("X4", "file version 1.0.0.1", RC, "FILEVERSION 1,0,0,0", "FILEVERSION 1,0,0,1"),
]
