#include "settings/storage.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

// These tests run against the real profile functions and the real registry of
// the test prefix; the INI file lies beside the test executable.

#include "storage_test_support.h"

namespace storage_test_support {

const char REGISTRY_KEY[] = "Software\\yulbrex\\tramolivenga";

std::string iniPath() { return std::string(moduleDirectory()) + "tramolivenga.ini"; }

// Drops the profile functions' cache so that they see the file as it is.
void flushProfileCache() { WritePrivateProfileStringA(nullptr, nullptr, nullptr, iniPath().c_str()); }

bool iniFileExists() { return GetFileAttributesA(iniPath().c_str()) != INVALID_FILE_ATTRIBUTES; }

bool registryKeyExists()
{
    HKEY key;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, REGISTRY_KEY, 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS)
        return false;
    RegCloseKey(key);
    return true;
}

void writeIniFile(const std::string& text)
{
    flushProfileCache();
    std::ofstream(iniPath(), std::ios::binary) << text;
}

// Writes one value of the key, creating the key; wide: through the Unicode
// interface, as another program might.
void setRegistryValue(const char* name, DWORD type, const void* data, size_t size, bool wide)
{
    HKEY key;
    ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, REGISTRY_KEY, 0, nullptr, REG_OPTION_NON_VOLATILE,
                              KEY_SET_VALUE, nullptr, &key, nullptr),
              ERROR_SUCCESS);
    const BYTE* bytes = static_cast<const BYTE*>(data);
    const std::wstring wideName(name, name + std::strlen(name));
    EXPECT_EQ(wide ? RegSetValueExW(key, wideName.c_str(), 0, type, bytes, static_cast<DWORD>(size))
                   : RegSetValueExA(key, name, 0, type, bytes, static_cast<DWORD>(size)),
              ERROR_SUCCESS);
    RegCloseKey(key);
}

// The stored value as "type:bytes" through the ANSI interface; "missing"
// when it is not there.
std::string registryValue(const char* name)
{
    HKEY key;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, REGISTRY_KEY, 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS)
        return "missing";
    char data[8192];
    DWORD size = sizeof data;
    DWORD type = 0;
    const LONG status = RegQueryValueExA(key, name, nullptr, &type, reinterpret_cast<BYTE*>(data), &size);
    RegCloseKey(key);
    return status != ERROR_SUCCESS ? "missing" : std::to_string(type) + ":" + std::string(data, size);
}

// Every test starts and ends without an INI file and without the key.
void removeStores()
{
    flushProfileCache();
    SetFileAttributesA(iniPath().c_str(), FILE_ATTRIBUTE_NORMAL);
    DeleteFileA(iniPath().c_str());
    RegDeleteKeyA(HKEY_CURRENT_USER, REGISTRY_KEY);
    RegDeleteKeyA(HKEY_CURRENT_USER, "Software\\yulbrex");  // only if nothing else lives there
    EXPECT_FALSE(iniFileExists());
    EXPECT_FALSE(registryKeyExists());
}

// Loading must fill the whole record whatever it held before, so start from
// garbage rather than from the zeros the program happens to start with.
Config loaded()
{
    Config config;
    std::memset(&config, 0x5A, sizeof config);
    loadConfig(config);
    return config;
}

// voiceFile must always be a NUL-terminated text within its buffer.
std::string voiceFileOf(const Config& config)
{
    if (std::memchr(config.voiceFile, '\0', sizeof config.voiceFile) == nullptr)
        return "<unterminated>";
    return config.voiceFile;
}

// Every field in record order, for one comparison with a readable failure.
std::string fieldsOf(const Config& c)
{
    std::string text = std::to_string(c.useRegistry);
    for (int32_t value : {c.readMax, c.noReadOverMax, c.enableWideNumber, c.ignoreComma,
                          c.stopOnPeriod, c.enableVoice})
        text += " " + std::to_string(value);
    return text + " " + voiceFileOf(c);
}

}  // namespace storage_test_support

using namespace storage_test_support;

namespace {

// useregistry: any non-zero value selects the registry, and the INI file's
// own config section is then ignored.
const char REGISTRY_INI[] = "[registry]\r\nuseregistry=-2\r\n[config]\r\nreadMax=99\r\n";

// Every field away from its default and from each other, the path with a
// double-byte character whose second byte is 0x5C.
Config sampleConfig(int32_t useRegistry)
{
    return {useRegistry, 2097151, -5, 1, 0, -3, 7, "C:\\\x89\xb9\x90\xba\\\x95\\.wav"};
}

// 1,023 bytes: a drive, a half-width katakana, 509 double-byte characters
// that all end in 0x5C (one from every lead byte row of code page 932 that
// has one, in both JIS levels), and an ASCII letter.
std::string longestShiftJisPath()
{
    std::string leads = "\x81\x83\x84";
    for (int lead = 0x89; lead <= 0xEA; lead = lead == 0x9F ? 0xE0 : lead + 1)
        leads += static_cast<char>(lead);
    std::string path = "C:\\\xB1";
    for (size_t i = 0; i < 509; ++i)
        path += std::string{leads[i % leads.size()], '\x5C'};
    return path + "w";
}

std::string readFile(const std::string& path)
{
    std::ifstream file(path, std::ios::binary);
    return file ? std::string(std::istreambuf_iterator<char>(file), {}) : "<missing>";
}

class Storage : public CleanStoresTest {};

}  // namespace

TEST(ModuleDirectory, IsTheExecutablesDirectoryWithItsBackslash)
{
    const char* directory = moduleDirectory();
    char fullPath[MAX_PATH];
    ASSERT_GT(GetModuleFileNameA(nullptr, fullPath, MAX_PATH), 0u);
    const std::string path = fullPath;
    EXPECT_EQ(std::string(directory), path.substr(0, path.rfind('\\') + 1));
    EXPECT_EQ(moduleDirectory(), directory) << "cached, one buffer for the process";
}

TEST_F(Storage, NoIniFileGivesExactlyTheDefaultsAndCreatesNothing)
{
    EXPECT_EQ(fieldsOf(loaded()), "0 16 0 0 1 1 0 prime.wav");
    EXPECT_FALSE(iniFileExists());
    EXPECT_FALSE(registryKeyExists());
}

TEST_F(Storage, SaveWritesTheSevenConfigKeysInOrder)
{
    const Config config = sampleConfig(0);
    saveConfig(config);
    flushProfileCache();
    std::string lines;  // the file without carriage returns and blank lines
    for (char c : readFile(iniPath()))
        if (c != '\r' && !(c == '\n' && (lines.empty() || lines.back() == '\n')))
            lines += c;
    EXPECT_EQ(lines, std::string("[config]\nreadMax=2097151\nnoReadOverMax=-5\nenableWideNumber=1\n"
                                 "ignoreComma=0\nstopOnPeriod=-3\nenableVoice=7\nvoiceFile=") +
                         config.voiceFile + "\n");
    EXPECT_FALSE(registryKeyExists());
    EXPECT_EQ(fieldsOf(loaded()), fieldsOf(config));
}

TEST_F(Storage, BothStoresRoundTripTheWholeInt32RangeAndTheLongestPath)
{
    const std::string path = longestShiftJisPath();
    ASSERT_EQ(path.size(), 1023u);
    for (int32_t useRegistry : {0, -2}) {
        if (useRegistry != 0)
            writeIniFile(REGISTRY_INI);
        for (int32_t value : {INT32_MIN, INT32_MIN + 1, -1, 0, 1, 0x12345678, INT32_MAX}) {
            Config config = sampleConfig(useRegistry);
            for (const IntSetting& setting : INT_SETTINGS)
                config.*setting.field = value;
            std::memcpy(config.voiceFile, path.c_str(), path.size() + 1);
            saveConfig(config);
            EXPECT_EQ(fieldsOf(loaded()), fieldsOf(config)) << "useRegistry " << useRegistry;
        }
    }
}

TEST_F(Storage, IniMissingKeysTakeTheirDefaultsOneByOne)
{
    const Config saved = sampleConfig(0);
    for (int missing = 0; missing <= INT_SETTING_COUNT; ++missing) {
        saveConfig(saved);
        Config expected = saved;
        const char* key = VOICE_FILE_KEY;
        if (missing < INT_SETTING_COUNT) {
            key = INT_SETTINGS[missing].key;
            expected.*INT_SETTINGS[missing].field = INT_SETTINGS[missing].defaultValue;
        } else {
            std::strcpy(expected.voiceFile, DEFAULT_VOICE_FILE);
        }
        WritePrivateProfileStringA("config", key, nullptr, iniPath().c_str());
        EXPECT_EQ(fieldsOf(loaded()), fieldsOf(expected)) << key;
    }
}

TEST_F(Storage, LockedReadOnlyIniFileFailsSilently)
{
    const Config first = sampleConfig(0);
    saveConfig(first);
    flushProfileCache();
    const std::string before = readFile(iniPath());
    ASSERT_TRUE(SetFileAttributesA(iniPath().c_str(), FILE_ATTRIBUTE_READONLY));
    // An administrator may write a read-only file all the same; holding it
    // open without sharing makes every write fail.
    HANDLE lock = CreateFileA(iniPath().c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(lock, INVALID_HANDLE_VALUE);

    Config second = first;
    second.readMax = 3;
    saveConfig(second);

    CloseHandle(lock);
    flushProfileCache();
    EXPECT_EQ(readFile(iniPath()), before);
    EXPECT_EQ(fieldsOf(loaded()), fieldsOf(first));
}

TEST_F(Storage, RegistryWithoutKeyGivesTheDefaultsAndTheFirstSaveCreatesIt)
{
    writeIniFile(REGISTRY_INI);
    const std::string iniBefore = readFile(iniPath());
    EXPECT_EQ(fieldsOf(loaded()), "-2 16 0 0 1 1 0 prime.wav");
    EXPECT_FALSE(registryKeyExists());

    const Config saved = sampleConfig(-2);
    saveConfig(saved);
    EXPECT_EQ(registryValue("useregistry"), "missing");
    for (const IntSetting& setting : INT_SETTINGS)  // REG_DWORD, little-endian as the field itself
        EXPECT_EQ(registryValue(setting.key), "4:" + std::string(reinterpret_cast<const char*>(&(saved.*setting.field)), 4))
            << setting.key;
    EXPECT_EQ(registryValue("voiceFile"), "1:" + std::string(saved.voiceFile) + '\0');  // REG_SZ

    flushProfileCache();
    EXPECT_EQ(readFile(iniPath()), iniBefore);
    EXPECT_EQ(fieldsOf(loaded()), fieldsOf(saved));
}

TEST_F(Storage, RegistryNumbersOfEverySize)
{
    writeIniFile(REGISTRY_INI);
    setRegistryValue("readMax", REG_DWORD, "\0\0\0\0", 4);  // a key holding only readMax 0
    EXPECT_EQ(fieldsOf(loaded()), "-2 0 0 0 1 1 0 prime.wav");

    // Short: the bytes given, little-endian, the high bytes zero (0x1234,
    // 0xFF, 0x030201); oversized: the default; four bytes of another type:
    // copied as they are (0x02000000, -2).
    setRegistryValue("readMax", REG_BINARY, "\x34\x12", 2);
    setRegistryValue("noReadOverMax", REG_BINARY, "\xFF", 1);
    setRegistryValue("enableWideNumber", REG_BINARY, "\x01\x02\x03", 3);
    setRegistryValue("ignoreComma", REG_QWORD, "\0\0\0\0\0\0\0\0", 8);
    setRegistryValue("stopOnPeriod", REG_DWORD_BIG_ENDIAN, "\x00\x00\x00\x02", 4);
    setRegistryValue("enableVoice", REG_BINARY, "\xFE\xFF\xFF\xFF", 4);
    EXPECT_EQ(fieldsOf(loaded()), "-2 4660 255 197121 1 33554432 -2 prime.wav");
}

TEST_F(Storage, RegistryVoiceFileIsAlwaysATerminatedTextOfAtMost1023Bytes)
{
    writeIniFile(REGISTRY_INI);
    const std::string longest(1023, 'w');
    const struct {
        DWORD type;
        std::string data, expected;
    } cases[] = {
        {REG_SZ, std::string("a.wav") + '\0', "a.wav"},
        {REG_BINARY, "sound.wav", "sound.wav"},  // unterminated
        {REG_SZ, longest + '\0', longest},
        {REG_BINARY, longest + 'w', "prime.wav"},  // 1,024 bytes without a NUL
        {REG_SZ, std::string(1100, 'w') + '\0', "prime.wav"},
    };
    for (const auto& test : cases) {
        setRegistryValue("voiceFile", test.type, test.data.data(), test.data.size());
        const Config config = loaded();
        EXPECT_EQ(voiceFileOf(config), test.expected) << test.data.size() << " bytes";
        EXPECT_EQ(config.readMax, 16);
    }
}
