// Settings on the real stores and window: the INI file beside the executable, the registry key it
// can select, odd stored values; the controls, how they show and take the record, the commands.
#include <cstring>
#include <fstream>

#include "settings/settings_window.h"
#include "settings/storage.h"
#include "shell/menu_ids.h"
#include "windows_harness.h"

static std::string fieldsOf(const Config& c)  // "useRegistry|readMax|...|voiceFile"
{
    std::string fields;
    for (int32_t value : {c.useRegistry, c.readMax, c.noReadOverMax, c.enableWideNumber,
             c.ignoreComma, c.stopOnPeriod, c.enableVoice})
        fields += std::to_string(value) + "|";
    return fields + utf8(c.voiceFile);
}

static std::string loaded()  // into a record full of a non-zero pattern
{
    Config config;
    std::memset(&config, 0x5A, sizeof config);
    loadConfig(config);
    return fieldsOf(config);
}

static std::string hyou(int count)  // 表 in Shift-JIS, 0x95 0x5C: its second byte is a backslash
{
    std::string text;
    while (count-- > 0)
        text += "\x95\x5C";
    return text;
}

static std::string iniText()
{
    std::ifstream file(iniPath(), std::ios::binary);
    return utf8(std::string(std::istreambuf_iterator<char>(file), {}).c_str());
}

static void writeIni(const std::string& text)
{
    std::ofstream(iniPath(), std::ios::binary) << text;
}

static std::string registryValue(const char* name)  // "type:size", 0:0 when it is missing
{
    DWORD type = 0, size = 0;
    RegGetValueA(
        HKEY_CURRENT_USER, SETTINGS_KEY, name, RRF_RT_ANY | RRF_NOEXPAND, &type, nullptr, &size);
    return std::to_string(type) + ":" + std::to_string(size);
}

TEST_F(StoreTest, TheIniFileBesideTheProgramKeepsEverySetting)
{
    EXPECT_EQ(moduleDirectory() + std::string("tramolivenga.ini ") + loaded(),
        iniPath() + " 0|16|0|0|1|1|0|prime.wav");
    saveConfig(Config{0, -16, 7, 1, 0, 1, 1, "C:\\\x89\xB9\x90\xBA\\\x91\x66\x90\x94.wav"});
    EXPECT_EQ(iniText(),
        "[config]\r\nreadMax=-16\r\nnoReadOverMax=7\r\nenableWideNumber=1\r\nignoreComma=0\r\n"
        "stopOnPeriod=1\r\nenableVoice=1\r\nvoiceFile=C:\\音声\\素数.wav\r\n");
    EXPECT_EQ(loaded() + " " + registryValue("readMax"), "0|-16|7|1|0|1|1|C:\\音声\\素数.wav 0:0");
}

TEST_F(StoreTest, TheRegistryKeyKeepsEverySettingWhenTheIniFileSelectsIt)
{
    const std::string ini = "[registry]\r\nuseregistry=1\r\n[config]\r\nreadMax=5\r\n";
    writeIni(ini);
    EXPECT_EQ(loaded(), "1|16|0|0|1|1|0|prime.wav");
    saveConfig(Config{1, -2, 1, 1, 0, 0, 1, "a.wav"});
    EXPECT_EQ(registryValue("readMax") + " " + registryValue("voiceFile") + " " + iniText(),
        "4:4 1:6 " + ini);
    EXPECT_EQ(loaded(), "1|-2|1|1|0|0|1|a.wav");
}

TEST_F(StoreTest, OddStoredValuesGiveTheirBytesOrTheDefault)
{
    const std::string x1023(1023, 'x'), before = "1|16|0|0|1|1|0|", defaults = before + "prime.wav";
    const struct {
        const char* name;
        DWORD type;
        std::string data, expected;
    } rows[] = {{"readMax", REG_DWORD, std::string(4, '\0'), "1|0|0|0|1|1|0|prime.wav"},
        {"readMax", REG_BINARY, "\x05", "1|5|0|0|1|1|0|prime.wav"},
        {"readMax", REG_SZ, "\x34\x12", "1|4660|0|0|1|1|0|prime.wav"},
        {"readMax", REG_QWORD, std::string(8, '\1'), defaults},
        {"voiceFile", REG_BINARY, "ab", before + "ab"},
        {"voiceFile", REG_SZ, x1023 + '\0', before + x1023},
        {"voiceFile", REG_BINARY, x1023 + 'y', defaults},
        {"voiceFile", REG_SZ, x1023 + "yz", defaults}};
    writeIni("[registry]\r\nuseregistry=1\r\n");
    for (const auto& row : rows) {
        RegDeleteTreeA(HKEY_CURRENT_USER, SETTINGS_KEY);
        RegSetKeyValueA(HKEY_CURRENT_USER, SETTINGS_KEY, row.name, row.type, row.data.data(),
            DWORD(row.data.size()));
        EXPECT_EQ(loaded(), row.expected) << row.name << " of " << row.data.size() << " bytes";
    }
    writeIni("[config]\r\nvoiceFile=" + hyou(5000) + "\r\n");  // cut inside a character
    EXPECT_EQ(loaded(), "0|16|0|0|1|1|0|" + utf8(hyou(511).c_str()));
}

// What the window shows, in the order of the record's fields, or "hidden".
static std::string shown()
{
    char file[1024] = {};
    GetDlgItemTextA(g_window, ID_EDIT_VOICEFILE, file, sizeof file);
    std::string shown = std::to_string(int(GetDlgItemInt(g_window, ID_EDIT_READMAX, nullptr, TRUE)))
        + "|" + std::to_string(SendDlgItemMessageA(g_window, ID_COMBO_OVERMAX, CB_GETCURSEL, 0, 0));
    for (int id = ID_CHECK_WIDENUMBER; id <= ID_CHECK_ENABLEVOICE; ++id)
        shown += "|" + std::to_string(IsDlgButtonChecked(g_window, id));
    return IsWindowVisible(g_window) ? shown + "|" + utf8(file) : "hidden";
}

TEST_F(ProgramTest, SettingsShowTheRecordAndApplyWhatTheyShow)
{
    // Two records in which any two boxes differ once: a box mixed up with another shows.
    for (Config record :
        {Config{0, -5, 7, 1, 1, 0, 0, "a.wav"}, Config{0, 9, 0, 1, 0, 1, 0, "b"}}) {
        g_config = record;
        send(WM_COMMAND, ID_MENU_SETTINGS);
        const std::string shownRecord = shown();
        g_config = Config{};
        send(WM_COMMAND, ID_BUTTON_APPLY);
        record.noReadOverMax
            = record.noReadOverMax != 0;  // any value but 0 selects the second entry
        EXPECT_EQ(shownRecord + " " + fieldsOf(g_config),
            fieldsOf(record).substr(2) + " " + fieldsOf(record));
        EXPECT_EQ(
            GetPrivateProfileIntA("config", "readMax", 0, iniPath().c_str()), UINT(record.readMax));
    }
    // The edit counts characters, so a long path of 表 arrives cut: to whole ones.
    SetWindowTextW(GetDlgItem(g_window, ID_EDIT_VOICEFILE), std::wstring(1020, L'表').c_str());
    send(WM_COMMAND, ID_BUTTON_APPLY);
    EXPECT_EQ(g_config.voiceFile, hyou(511));
}

TEST_F(ProgramTest, SettingsApplyOnOkAndApplyHideOnOkCancelAndCloseOnAClickOnly)
{
    const struct {
        UINT message;
        WPARAM command;
        const char* expected;  // readMax applied, readMax shown
    } steps[] = {{WM_COMMAND, MAKEWPARAM(IDOK, 1), "16 17"},
        {WM_COMMAND, MAKEWPARAM(IDCANCEL, 1), "16 17"},
        {WM_COMMAND, MAKEWPARAM(ID_BUTTON_APPLY, 1), "16 17"}, {WM_COMMAND, IDCANCEL, "16 hidden"},
        {WM_COMMAND, ID_MENU_SETTINGS, "16 16"}, {WM_COMMAND, ID_BUTTON_APPLY, "17 17"},
        {WM_CLOSE, 0, "17 hidden"}, {WM_COMMAND, ID_MENU_SETTINGS, "17 17"},
        {WM_COMMAND, IDOK, "18 hidden"}};
    send(WM_COMMAND, ID_MENU_SETTINGS);
    for (const auto& step : steps) {
        SetDlgItemTextA(g_window, ID_EDIT_READMAX, std::to_string(g_config.readMax + 1).c_str());
        send(step.message, step.command);
        const std::string seen = std::to_string(g_config.readMax) + " " + shown();
        EXPECT_EQ(seen.substr(0, seen.find('|')), step.expected) << "step " << &step - steps;
    }
}

TEST_F(ProgramTest, BrowseFillsTheEditOnlyWithAChosenFileAndKeepsTheCurrentDirectory)
{
    SetCurrentDirectoryA("C:\\");
    for (const char* chosen : {"C:\\x.wav", ""}) {  // "" cancels: the edit keeps the path
        g_chosenFile = chosen;
        send(WM_COMMAND, ID_BUTTON_BROWSE);
        char file[1024] = {};
        GetDlgItemTextA(g_window, ID_EDIT_VOICEFILE, file, sizeof file);
        EXPECT_EQ(takeTrace() + currentDirectory() + " " + file,
            "GetOpenFileNameA(76,W,音声ファイル(*.wav),*.wav,,1024,2627596) C:\\ C:\\x.wav")
            << "chosen \"" << chosen << '"';
    }
}
