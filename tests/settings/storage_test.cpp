#include "settings/storage.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <climits>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

// These tests run against the real profile functions and the real registry of
// the test prefix; the INI file lies beside the test executable.

namespace {

const char REGISTRY_KEY[] = "Software\\yulbrex\\tramolivenga";
const char REGISTRY_PARENT_KEY[] = "Software\\yulbrex";
const char* const INT_KEYS[] = {"readMax",     "noReadOverMax", "enableWideNumber",
                                "ignoreComma", "stopOnPeriod",  "enableVoice"};
int32_t Config::*const INT_FIELDS[] = {&Config::readMax,     &Config::noReadOverMax,
                                       &Config::enableWideNumber, &Config::ignoreComma,
                                       &Config::stopOnPeriod, &Config::enableVoice};
const int32_t INT_DEFAULTS[] = {16, 0, 0, 1, 1, 0};

std::string iniPath() { return std::string(moduleDirectory()) + "tramolivenga.ini"; }

// Drops the profile functions' cache so that they see the file as it is.
void flushProfileCache() { WritePrivateProfileStringA(nullptr, nullptr, nullptr, iniPath().c_str()); }

bool fileExists(const std::string& path) { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

std::string readFile(const std::string& path)
{
    HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                              OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return "<missing>";
    std::string text(65536, '\0');
    DWORD read = 0;
    ReadFile(file, &text[0], static_cast<DWORD>(text.size()), &read, nullptr);
    CloseHandle(file);
    text.resize(read);
    return text;
}

void writeIniFile(const std::string& text)
{
    flushProfileCache();
    HANDLE file = CreateFileA(iniPath().c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    DWORD written = 0;
    WriteFile(file, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
    CloseHandle(file);
}

std::vector<std::string> nonEmptyLines(const std::string& text)
{
    std::vector<std::string> lines;
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find('\n', start);
        if (end == std::string::npos)
            end = text.size();
        std::string line = text.substr(start, end - start);
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        if (!line.empty())
            lines.push_back(line);
        start = end + 1;
    }
    return lines;
}

bool registryKeyExists()
{
    HKEY key;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, REGISTRY_KEY, 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS)
        return false;
    RegCloseKey(key);
    return true;
}

void setRegistryValue(const char* name, DWORD type, const void* data, size_t size)
{
    HKEY key;
    ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, REGISTRY_KEY, 0, nullptr, REG_OPTION_NON_VOLATILE,
                              KEY_SET_VALUE, nullptr, &key, nullptr),
              ERROR_SUCCESS);
    ASSERT_EQ(RegSetValueExA(key, name, 0, type, static_cast<const BYTE*>(data), static_cast<DWORD>(size)),
              ERROR_SUCCESS);
    RegCloseKey(key);
}

// The stored value's type and bytes; type 0 and no bytes when it is missing.
struct RegistryValue {
    DWORD type = 0;
    std::vector<unsigned char> data;
};

RegistryValue getRegistryValue(const char* name)
{
    RegistryValue value;
    HKEY key;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, REGISTRY_KEY, 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS)
        return value;
    value.data.resize(4096);
    DWORD size = static_cast<DWORD>(value.data.size());
    if (RegQueryValueExA(key, name, nullptr, &value.type, value.data.data(), &size) != ERROR_SUCCESS) {
        value.type = 0;
        size = 0;
    }
    value.data.resize(size);
    RegCloseKey(key);
    return value;
}

DWORD registryValueCount()
{
    HKEY key;
    DWORD count = 0;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, REGISTRY_KEY, 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS)
        return 0;
    RegQueryInfoKeyA(key, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, &count, nullptr, nullptr,
                     nullptr, nullptr);
    RegCloseKey(key);
    return count;
}

void removeStores()
{
    flushProfileCache();
    SetFileAttributesA(iniPath().c_str(), FILE_ATTRIBUTE_NORMAL);
    DeleteFileA(iniPath().c_str());
    RegDeleteKeyA(HKEY_CURRENT_USER, REGISTRY_KEY);
    // The parent goes only if nothing else lives in it.
    RegDeleteKeyA(HKEY_CURRENT_USER, REGISTRY_PARENT_KEY);
}

// A record whose every byte is garbage, so that a field that loading forgets
// shows up.
Config garbageConfig()
{
    Config config;
    std::memset(&config, 0x5A, sizeof config);
    return config;
}

Config defaultConfig()
{
    Config config = garbageConfig();
    config.useRegistry = 0;
    for (int i = 0; i < 6; ++i)
        config.*INT_FIELDS[i] = INT_DEFAULTS[i];
    std::strcpy(config.voiceFile, "prime.wav");
    return config;
}

// Every field away from its default, the path with a double-byte character
// whose second byte is 0x5C.
Config sampleConfig(int32_t useRegistry)
{
    Config config = garbageConfig();
    config.useRegistry = useRegistry;
    config.readMax = 2097151;
    config.noReadOverMax = 5;
    config.enableWideNumber = 1;
    config.ignoreComma = 0;
    config.stopOnPeriod = -3;
    config.enableVoice = 7;
    std::strcpy(config.voiceFile, "C:\\\x89\xb9\x90\xba\\\x95\\.wav");
    return config;
}

void expectSameConfig(const Config& actual, const Config& expected)
{
    EXPECT_EQ(actual.useRegistry, expected.useRegistry);
    for (int i = 0; i < 6; ++i)
        EXPECT_EQ(actual.*INT_FIELDS[i], expected.*INT_FIELDS[i]) << INT_KEYS[i];
    EXPECT_TRUE(std::memchr(actual.voiceFile, '\0', sizeof actual.voiceFile) != nullptr);
    EXPECT_STREQ(actual.voiceFile, expected.voiceFile);
}

Config loaded()
{
    Config config = garbageConfig();
    loadConfig(config);
    return config;
}

class Storage : public ::testing::Test {
protected:
    void SetUp() override { removeStores(); }
    void TearDown() override { removeStores(); }
};

class RegistryStorage : public Storage {
protected:
    void SetUp() override
    {
        Storage::SetUp();
        writeIniFile("[registry]\r\nuseregistry=1\r\n");
    }
};

}  // namespace

TEST(ModuleDirectory, IsTheExecutablesDirectoryWithItsBackslash)
{
    const char* directory = moduleDirectory();
    char fullPath[MAX_PATH];
    ASSERT_GT(GetModuleFileNameA(nullptr, fullPath, MAX_PATH), 0u);
    const std::string path = fullPath;
    const std::string expected = path.substr(0, path.rfind('\\') + 1);
    EXPECT_EQ(std::string(directory), expected);
    EXPECT_EQ(moduleDirectory(), directory) << "cached, one buffer for the process";
    EXPECT_TRUE(fileExists(std::string(directory) + "settings_tests.exe"));
}

TEST_F(Storage, NoIniFileGivesExactlyTheDefaultsAndCreatesNothing)
{
    expectSameConfig(loaded(), defaultConfig());
    EXPECT_FALSE(fileExists(iniPath()));
    EXPECT_FALSE(registryKeyExists());
}

TEST_F(Storage, SaveWritesTheSevenConfigKeysInOrder)
{
    Config config = sampleConfig(0);
    config.readMax = 16;
    config.noReadOverMax = -5;
    saveConfig(config);
    flushProfileCache();
    const std::vector<std::string> expected = {
        "[config]", "readMax=16", "noReadOverMax=-5", "enableWideNumber=1", "ignoreComma=0",
        "stopOnPeriod=-3", "enableVoice=7", std::string("voiceFile=") + config.voiceFile};
    EXPECT_EQ(nonEmptyLines(readFile(iniPath())), expected);
    EXPECT_FALSE(registryKeyExists());
    expectSameConfig(loaded(), config);
}

TEST_F(Storage, IniRoundTripsTheWholeInt32Range)
{
    const int32_t values[] = {INT32_MIN, INT32_MIN + 1, -1, 0, 1, 2097152, INT32_MAX};
    for (int32_t value : values) {
        Config config = sampleConfig(0);
        for (int i = 0; i < 6; ++i)
            config.*INT_FIELDS[i] = value;
        saveConfig(config);
        expectSameConfig(loaded(), config);
    }
}

TEST_F(Storage, IniMissingKeysTakeTheirDefaultsOneByOne)
{
    const Config saved = sampleConfig(0);
    for (int missing = 0; missing <= 6; ++missing) {
        saveConfig(saved);
        const char* key = missing < 6 ? INT_KEYS[missing] : "voiceFile";
        WritePrivateProfileStringA("config", key, nullptr, iniPath().c_str());
        Config expected = saved;
        if (missing < 6)
            expected.*INT_FIELDS[missing] = INT_DEFAULTS[missing];
        else
            std::strcpy(expected.voiceFile, "prime.wav");
        SCOPED_TRACE(key);
        expectSameConfig(loaded(), expected);
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

    Config second = sampleConfig(0);
    second.readMax = 3;
    std::strcpy(second.voiceFile, "other.wav");
    const Config applied = second;
    saveConfig(second);
    expectSameConfig(second, applied);

    CloseHandle(lock);
    flushProfileCache();
    EXPECT_EQ(readFile(iniPath()), before);
    expectSameConfig(loaded(), first);
}

TEST_F(RegistryStorage, NoKeyGivesTheDefaultsAndTheFirstSaveCreatesIt)
{
    const std::string iniBefore = readFile(iniPath());
    Config config = loaded();
    Config expected = defaultConfig();
    expected.useRegistry = 1;
    expectSameConfig(config, expected);
    EXPECT_FALSE(registryKeyExists());

    const Config saved = sampleConfig(1);
    saveConfig(saved);
    ASSERT_TRUE(registryKeyExists());
    EXPECT_EQ(registryValueCount(), 7u) << "six numbers and voiceFile, never useregistry";
    for (int i = 0; i < 6; ++i) {
        const RegistryValue value = getRegistryValue(INT_KEYS[i]);
        EXPECT_EQ(value.type, static_cast<DWORD>(REG_DWORD)) << INT_KEYS[i];
        ASSERT_EQ(value.data.size(), 4u) << INT_KEYS[i];
        const uint32_t stored = value.data[0] | value.data[1] << 8 | value.data[2] << 16 |
                                static_cast<uint32_t>(value.data[3]) << 24;
        EXPECT_EQ(static_cast<int32_t>(stored), saved.*INT_FIELDS[i]) << INT_KEYS[i];
    }
    const RegistryValue voiceFile = getRegistryValue("voiceFile");
    EXPECT_EQ(voiceFile.type, static_cast<DWORD>(REG_SZ));
    const std::string text = saved.voiceFile;
    EXPECT_EQ(std::string(voiceFile.data.begin(), voiceFile.data.end()), text + '\0');

    flushProfileCache();
    EXPECT_EQ(readFile(iniPath()), iniBefore);
    expectSameConfig(loaded(), saved);
}

TEST_F(RegistryStorage, AnyNonZeroUseRegistrySelectsTheRegistry)
{
    writeIniFile("[registry]\r\nuseregistry=-2\r\n[config]\r\nreadMax=99\r\n");
    setRegistryValue("readMax", REG_DWORD, "\x05\x00\x00\x00", 4);
    const Config config = loaded();
    EXPECT_EQ(config.useRegistry, -2);
    EXPECT_EQ(config.readMax, 5);
}

TEST_F(RegistryStorage, RoundTripsTheWholeInt32Range)
{
    const int32_t values[] = {INT32_MIN, -1, 0, 1, 0x12345678, INT32_MAX};
    for (int32_t value : values) {
        Config config = sampleConfig(1);
        for (int i = 0; i < 6; ++i)
            config.*INT_FIELDS[i] = value;
        saveConfig(config);
        expectSameConfig(loaded(), config);
    }
}

TEST_F(RegistryStorage, KeyHoldingOnlyReadMaxZero)
{
    setRegistryValue("readMax", REG_DWORD, "\0\0\0\0", 4);
    Config expected = defaultConfig();
    expected.useRegistry = 1;
    expected.readMax = 0;
    expectSameConfig(loaded(), expected);
}

TEST_F(RegistryStorage, NumericValuesOfOtherSizesAndTypes)
{
    Config expected = defaultConfig();
    expected.useRegistry = 1;
    // Short: the bytes given, little-endian, the high bytes zero.
    setRegistryValue("readMax", REG_BINARY, "\x34\x12", 2);
    expected.readMax = 0x1234;
    setRegistryValue("noReadOverMax", REG_BINARY, "\xFF", 1);
    expected.noReadOverMax = 0xFF;
    setRegistryValue("enableWideNumber", REG_BINARY, "\x01\x02\x03", 3);
    expected.enableWideNumber = 0x030201;
    // Oversized: the default.
    setRegistryValue("ignoreComma", REG_QWORD, "\0\0\0\0\0\0\0\0", 8);
    // Four bytes of another type: copied as they are.
    setRegistryValue("stopOnPeriod", REG_DWORD_BIG_ENDIAN, "\x00\x00\x00\x02", 4);
    expected.stopOnPeriod = 0x02000000;
    setRegistryValue("enableVoice", REG_BINARY, "\xFE\xFF\xFF\xFF", 4);
    expected.enableVoice = -2;
    expectSameConfig(loaded(), expected);
}

TEST_F(RegistryStorage, VoiceFileIsAlwaysATerminatedTextOfAtMost1023Bytes)
{
    struct Case {
        const char* what;
        DWORD type;
        std::string data;
        std::string expected;
    };
    const std::string longest(1023, 'w');
    const Case cases[] = {
        {"short", REG_SZ, std::string("a.wav") + '\0', "a.wav"},
        {"unterminated binary", REG_BINARY, "sound.wav", "sound.wav"},
        {"empty", REG_BINARY, "", ""},
        {"1023 bytes and NUL", REG_SZ, longest + '\0', longest},
        {"1024 bytes, no NUL", REG_BINARY, longest + 'w', "prime.wav"},
        {"oversized", REG_SZ, std::string(1100, 'w') + '\0', "prime.wav"},
    };
    for (const Case& test : cases) {
        setRegistryValue("voiceFile", test.type, test.data.data(), test.data.size());
        Config config = garbageConfig();
        loadConfig(config);
        EXPECT_TRUE(std::memchr(config.voiceFile, '\0', sizeof config.voiceFile) != nullptr) << test.what;
        EXPECT_EQ(std::string(config.voiceFile), test.expected) << test.what;
        EXPECT_EQ(config.readMax, 16) << test.what;
    }
}
