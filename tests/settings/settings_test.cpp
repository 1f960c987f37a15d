// The settings on the real INI file and registry key, and the file dialog of the settings window.
#include <cstring>
#include <fstream>

#include "settings/settings_window.h"
#include "settings/storage.h"
#include "shell/main_window.h"
#include "shell/menu_ids.h"
#include "windows_harness.h"

static std::string fieldsOf(const Config& config)  // "useRegistry|readMax|...|voiceFile"
{
    std::string fields = std::to_string(config.useRegistry) + "|";
    for (const IntSetting& setting : INT_SETTINGS)
        fields += std::to_string(config.*setting.field) + "|";
    return fields + utf8(config.voiceFile);
}

static std::string loaded()  // into a record full of a pattern
{
    Config config;
    std::memset(&config, 0x5A, sizeof config);
    loadConfig(config);
    return fieldsOf(config);
}

// 表 count times in Shift-JIS: its second byte is a backslash.
static std::string table(int count) { return count ? "\x95\x5C" + table(count - 1) : ""; }

static std::string iniText()
{
    std::ifstream file(iniPath(), std::ios::binary);
    return utf8(std::string(std::istreambuf_iterator<char>(file), {}).c_str());
}

static std::string registryValue(const char* name)  // "type:size", 0:0 when it is missing
{
    DWORD type = 0, size = 0;
    RegGetValueA(
        HKEY_CURRENT_USER, SETTINGS_KEY, name, RRF_RT_ANY | RRF_NOEXPAND, &type, nullptr, &size);
    return std::to_string(type) + ":" + std::to_string(size);
}

TEST_F(ProgramTest, TheIniFileBesideTheProgramKeepsEverySetting)
{
    saveConfig(Config{0, -16, 7, 1, 0, 1, 1, "C:\\\x89\xB9\x90\xBA\\\x91\x66\x90\x94.wav"});
    EXPECT_EQ(iniText(),
        "[config]\r\nreadMax=-16\r\nnoReadOverMax=7\r\nenableWideNumber=1\r\nignoreComma=0\r\n"
        "stopOnPeriod=1\r\nenableVoice=1\r\nvoiceFile=C:\\音声\\素数.wav\r\n");
    EXPECT_EQ(loaded() + " " + registryValue("readMax"), "0|-16|7|1|0|1|1|C:\\音声\\素数.wav 0:0");
    // An overlong path is cut to whole characters, with no byte of what the record held before.
    std::ofstream(iniPath(), std::ios::binary) << "[config]\r\nvoiceFile=" << table(5000);
    EXPECT_EQ(loaded(), "0|16|0|0|1|1|0|" + utf8(table(511).c_str()));
}

TEST_F(ProgramTest, TheRegistryKeyKeepsEverySettingWhenTheIniFileSelectsIt)
{
    const std::string ini = "[registry]\r\nuseregistry=1\r\n[config]\r\nreadMax=5\r\n";
    std::ofstream(iniPath(), std::ios::binary) << ini;
    // Odd stored values: a number of one byte, a path without its NUL; the missing ones default.
    RegSetKeyValueA(HKEY_CURRENT_USER, SETTINGS_KEY, "readMax", REG_BINARY, "\x05", 1);
    RegSetKeyValueA(HKEY_CURRENT_USER, SETTINGS_KEY, "voiceFile", REG_BINARY, "ab", 2);
    EXPECT_EQ(loaded(), "1|5|0|0|1|1|0|ab");
    saveConfig(Config{1, -2, 1, 1, 0, 0, 1, "a.wav"});
    EXPECT_EQ(registryValue("readMax") + " " + registryValue("voiceFile") + " " + iniText(),
        "4:4 1:6 " + ini);
    EXPECT_EQ(loaded(), "1|-2|1|1|0|0|1|a.wav");
}

TEST_F(ProgramTest, BrowseFillsTheEditOnlyWithAChosenFileAndKeepsTheCurrentDirectory)
{
    SetCurrentDirectoryA("C:\\");
    send(WM_COMMAND, ID_MENU_SETTINGS);
    for (const char* chosen : {"C:\\x.wav", ""}) {  // "" cancels: the edit keeps the path
        g_chosenFile = chosen;
        send(WM_COMMAND, ID_BUTTON_BROWSE);
        char file[1024] = {};
        GetDlgItemTextA(g_window, ID_EDIT_VOICEFILE, file, sizeof file);
        EXPECT_EQ(takeTrace() + currentDirectory() + " " + file,
            "GetOpenFileNameA(W,音声ファイル(*.wav),2627596) C:\\ C:\\x.wav")
            << "chosen \"" << chosen << '"';
    }
}

// On Windows the tray menu leaves the hidden window in the foreground, so keys meant for another
// program reach it, each through the real loop and dialog navigation to the focused window; and a
// launcher's show command may leave it minimised or maximised. Odd stored values: a minus, a 7.
TEST_F(ProgramTest, SettingsShowWhatIsStoredNormallyWhateverReachedTheHiddenWindowAndAClickApplies)
{
    const std::string ini
        = "[config]\r\nreadMax=-5\r\nnoReadOverMax=7\r\nenableWideNumber=1\r\nvoiceFile=a\r\n";
    std::ofstream(iniPath(), std::ios::binary) << ini;
    loadConfig(g_config);
    // Enter; Tab to the size box, 7, Enter; Down in the list; Space on a box, OK, 適用; Escape.
    for (int key : {VK_RETURN, VK_TAB, int('7'), VK_RETURN, VK_TAB, VK_DOWN, VK_TAB, VK_SPACE,
             VK_TAB, VK_TAB, VK_TAB, VK_TAB, VK_TAB, VK_SPACE, VK_TAB, VK_SPACE, VK_ESCAPE}) {
        const HWND focus = GetFocus() ? GetFocus() : g_window;
        PostMessageW(focus, WM_KEYDOWN, key, 1);
        PostMessageW(focus, WM_KEYUP, key, 0xC0000001);
        PostQuitMessage(0);  // after the keys and what they post
        runMessageLoop(g_window);
    }
    EXPECT_EQ(takeTrace() + iniText() + (IsWindowVisible(g_window) ? "shown" : ""), ini);
    RECT seen;
    for (int left : {SW_SHOWMINNOACTIVE, SW_SHOWMAXIMIZED}) {
        ShowWindow(g_window, left), ShowWindow(g_window, SW_HIDE);
        send(WM_COMMAND, ID_MENU_SETTINGS);
        g_config = Config{};
        send(WM_COMMAND, ID_BUTTON_APPLY);  // what they show; any value but 0 is the second entry
        SetDlgItemTextA(g_window, ID_EDIT_READMAX, "3");
        send(WM_COMMAND, MAKEWPARAM(IDOK, 1));  // a notification, not a click
        GetClientRect(g_window, &seen);
        EXPECT_EQ(fieldsOf(g_config) + (IsWindowVisible(g_window) ? " shown " : " ")
                + std::to_string(seen.right) + "x" + std::to_string(seen.bottom)
                + (IsIconic(g_window) || IsZoomed(g_window) ? " not normal" : ""),
            "0|-5|1|1|1|1|0|a shown 400x275")
            << "left as " << left;
    }
}
