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

static std::string loaded()  // from a record full of a non-zero pattern
{
    Config config;
    std::memset(&config, 0x5A, sizeof config);
    loadConfig(config);
    return fieldsOf(config);
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
    // 表 (0x95 0x5C) 5,000 times: the profile functions cut it inside a character.
    std::string path(10000, '\x95');
    for (size_t i = 1; i < path.size(); i += 2)
        path[i] = '\x5C';
    writeIni("[config]\r\nvoiceFile=" + path + "\r\n");
    EXPECT_EQ(loaded(), "0|16|0|0|1|1|0|" + utf8(path.substr(0, 1022).c_str()));
}

TEST_F(ProgramTest, SettingsWindowIsLaidOutInTheJapaneseFontWithATabOrder)
{
    RECT client;
    LOGFONTW font = {};  // its face ＭＳ ゴシック starts with Ｍ, 65325
    GetClientRect(g_window, &client);
    GetObjectW(HFONT(SendDlgItemMessageA(g_window, IDOK, WM_GETFONT, 0, 0)), sizeof font, &font);
    std::string layout;
    for (LRESULT value : {LRESULT(client.right), LRESULT(client.bottom), LRESULT(font.lfHeight),
             LRESULT(font.lfCharSet), LRESULT(font.lfFaceName[0]),
             SendDlgItemMessageA(g_window, ID_EDIT_READMAX, EM_GETLIMITTEXT, 0, 0),
             SendDlgItemMessageA(g_window, ID_EDIT_VOICEFILE, EM_GETLIMITTEXT, 0, 0)})
        layout += std::to_string(value) + " ";
    HWND first = GetNextDlgTabItem(g_window, nullptr, FALSE), item = first;
    do
        layout += " " + std::to_string(GetDlgCtrlID(item));
    while ((item = GetNextDlgTabItem(g_window, item, FALSE)) != first && layout.size() < 200);
    EXPECT_EQ(layout,
        "400 275 -14 128 65325 9 1020  20000 20001 20002 20003 20004 20005 20006 1 20008 2");
}

// The record, then what the window shows (in the order of the record's fields), what is stored
// and the calls made.
static std::string state()
{
    char file[1024] = {};
    GetDlgItemTextA(g_window, ID_EDIT_VOICEFILE, file, sizeof file);
    std::string shown = ", shown "
        + std::to_string(int(GetDlgItemInt(g_window, ID_EDIT_READMAX, nullptr, TRUE))) + "|"
        + std::to_string(SendDlgItemMessageA(g_window, ID_COMBO_OVERMAX, CB_GETCURSEL, 0, 0));
    for (int id = ID_CHECK_WIDENUMBER; id <= ID_CHECK_ENABLEVOICE; ++id)
        shown += "|" + std::to_string(IsDlgButtonChecked(g_window, id));
    const int stored = int(GetPrivateProfileIntA("config", "readMax", -99, iniPath().c_str()));
    return fieldsOf(g_config) + (IsWindowVisible(g_window) ? shown + "|" + utf8(file) : ", hidden")
        + ", stored " + std::to_string(stored) + " " + takeTrace();
}

static void setControls(
    const char* readMax, WPARAM index, std::initializer_list<UINT> checks, const char* file)
{
    SetDlgItemTextA(g_window, ID_EDIT_READMAX, readMax);
    SendDlgItemMessageA(g_window, ID_COMBO_OVERMAX, CB_SETCURSEL, index, 0);
    int id = ID_CHECK_WIDENUMBER;
    for (UINT check : checks)
        CheckDlgButton(g_window, id++, check);
    SetDlgItemTextA(g_window, ID_EDIT_VOICEFILE, file);
}

TEST_F(ProgramTest, SettingsShowTheRecordAndOnAClickApplySaveOrHide)
{
    g_config.noReadOverMax = 7;  // any value but 0 selects the second entry
    send(WM_COMMAND, MAKEWPARAM(ID_MENU_SETTINGS, 1));
    EXPECT_EQ(state(), "0|16|7|0|1|1|0|prime.wav, shown 16|1|0|1|1|0|prime.wav, stored -99 ");
    setControls("-5", 1, {1, 0, 1, 0}, "a.wav");
    for (int id : {IDOK, IDCANCEL, ID_BUTTON_APPLY, ID_BUTTON_BROWSE})
        send(WM_COMMAND, MAKEWPARAM(id, 1));  // not a click: nothing happens
    EXPECT_EQ(state(), "0|16|7|0|1|1|0|prime.wav, shown -5|1|1|0|1|0|a.wav, stored -99 ");
    send(WM_COMMAND, ID_BUTTON_APPLY);
    EXPECT_EQ(state(), "0|-5|1|1|0|1|0|a.wav, shown -5|1|1|0|1|0|a.wav, stored -5 ");
    setControls("", 0, {1, 1, 0, 0}, "b.wav");
    send(WM_COMMAND, IDCANCEL);
    EXPECT_EQ(state(), "0|-5|1|1|0|1|0|a.wav, hidden, stored -5 ");
    send(WM_COMMAND, ID_MENU_SETTINGS);
    EXPECT_EQ(state(), "0|-5|1|1|0|1|0|a.wav, shown -5|1|1|0|1|0|a.wav, stored -5 ");
    send(WM_CLOSE);
    EXPECT_EQ(state(), "0|-5|1|1|0|1|0|a.wav, hidden, stored -5 ");
    send(WM_COMMAND, ID_MENU_SETTINGS);
    setControls("", 0, {1, 1, 0, 0}, "b.wav");
    send(WM_COMMAND, IDOK);
    EXPECT_EQ(state(), "0|0|0|1|1|0|0|b.wav, hidden, stored 0 ");
    // The edit counts characters, so a long path of 表 (0x95 0x5C) arrives cut: to whole ones.
    SetWindowTextW(GetDlgItem(g_window, ID_EDIT_VOICEFILE), std::wstring(1020, L'表').c_str());
    send(WM_COMMAND, ID_BUTTON_APPLY);
    const std::string cut = g_config.voiceFile;
    EXPECT_EQ(std::make_pair(cut.size(), cut.find_first_not_of("\x95\x5C")),
        std::make_pair(size_t{1022}, std::string::npos));
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
