#include "settings/storage.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

// Stores written by hand or by other programs: INI values that are no plain
// decimal, overlong lines, a Shift-JIS path at the buffer's limit, and
// registry values of every type and awkward sizes. The real profile
// functions and the real registry of the test prefix are used; every test
// starts and ends without an INI file and without the registry key.

namespace {

const char REGISTRY_KEY[] = "Software\\yulbrex\\tramolivenga";
const char REGISTRY_PARENT_KEY[] = "Software\\yulbrex";

std::string iniPath() { return std::string(moduleDirectory()) + "tramolivenga.ini"; }

void flushProfileCache() { WritePrivateProfileStringA(nullptr, nullptr, nullptr, iniPath().c_str()); }

void writeIniFile(const std::string& text)
{
    flushProfileCache();
    HANDLE file = CreateFileA(iniPath().c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    DWORD written = 0;
    WriteFile(file, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
    CloseHandle(file);
}

void removeStores()
{
    flushProfileCache();
    SetFileAttributesA(iniPath().c_str(), FILE_ATTRIBUTE_NORMAL);
    DeleteFileA(iniPath().c_str());
    RegDeleteKeyA(HKEY_CURRENT_USER, REGISTRY_KEY);
    RegDeleteKeyA(HKEY_CURRENT_USER, REGISTRY_PARENT_KEY);
}

bool iniFileExists() { return GetFileAttributesA(iniPath().c_str()) != INVALID_FILE_ATTRIBUTES; }

bool registryKeyExists()
{
    HKEY key;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, REGISTRY_KEY, 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS)
        return false;
    RegCloseKey(key);
    return true;
}

HKEY createRegistryKey()
{
    HKEY key = nullptr;
    EXPECT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, REGISTRY_KEY, 0, nullptr, REG_OPTION_NON_VOLATILE,
                              KEY_SET_VALUE | KEY_QUERY_VALUE, nullptr, &key, nullptr),
              ERROR_SUCCESS);
    return key;
}

// Loading must fill the whole record whatever it held before, so start from
// garbage rather than from the zeros the program happens to start with.
Config loaded()
{
    Config config;
    std::memset(&config, 'Z', sizeof config);
    loadConfig(config);
    return config;
}

// voiceFile must always be a NUL-terminated text within its buffer.
std::string voiceFileOf(const Config& config)
{
    const void* nul = std::memchr(config.voiceFile, '\0', sizeof config.voiceFile);
    EXPECT_NE(nul, nullptr) << "voiceFile is not terminated";
    if (nul == nullptr)
        return "<unterminated>";
    return config.voiceFile;
}

std::vector<std::string> intKeys()
{
    std::vector<std::string> keys;
    for (const IntSetting& setting : INT_SETTINGS)
        keys.push_back(setting.key);
    return keys;
}

// Shift-JIS characters whose second byte is 0x5C, the backslash: one from
// every lead byte row that has one in code page 932, in both JIS levels.
std::vector<std::string> backslashTrailCharacters()
{
    std::vector<unsigned> leads = {0x81, 0x83, 0x84};
    for (unsigned lead = 0x89; lead <= 0x9F; ++lead)
        leads.push_back(lead);
    for (unsigned lead = 0xE0; lead <= 0xEA; ++lead)
        leads.push_back(lead);
    std::vector<std::string> characters;
    for (unsigned lead : leads)
        characters.push_back({static_cast<char>(lead), '\x5C'});
    return characters;
}

// A path of exactly 1,023 bytes: a drive, a half-width katakana, 509
// double-byte characters that all end in 0x5C, and an ASCII letter.
std::string longestShiftJisPath()
{
    const std::vector<std::string> characters = backslashTrailCharacters();
    std::string path = "C:\\\xB1";
    for (size_t i = 0; i < 509; ++i)
        path += characters[i % characters.size()];
    path += "w";
    return path;
}

class HostileStorage : public ::testing::Test {
protected:
    void SetUp() override { removeStores(); }
    void TearDown() override
    {
        removeStores();
        EXPECT_FALSE(iniFileExists());
        EXPECT_FALSE(registryKeyExists());
    }
};

// Saving what was loaded and loading it again must give the same record:
// whatever a hostile store held, the program's own save mends it.
void expectStableAfterSave(const Config& first)
{
    saveConfig(first);
    const Config second = loaded();
    EXPECT_EQ(second.useRegistry, first.useRegistry);
    for (const IntSetting& setting : INT_SETTINGS)
        EXPECT_EQ(second.*setting.field, first.*setting.field) << setting.key << " after a save";
    EXPECT_EQ(voiceFileOf(second), voiceFileOf(first)) << "after a save";
}

}  // namespace

TEST_F(HostileStorage, IniNumbersThatAreNoPlainDecimal)
{
    struct Case {
        const char* text;
        bool knownValue;
        int32_t expected;  // when knownValue
    };
    const Case cases[] = {
        {"abc", true, 0},
        {"12abc", true, 12},
        {"-7x", true, -7},
        {"  +8  ", true, 8},
        {"1e3", true, 1},
        {"2147483647", true, INT32_MAX},
        {"-2147483648", true, INT32_MIN},
        // Out of the 32-bit range, or a radix prefix: whatever the platform's
        // reading gives, as long as it is the same for every key.
        {"2147483648", false, 0},
        {"4294967295", false, 0},
        {"-2147483649", false, 0},
        {"99999999999999999999", false, 0},
        {"0x10", false, 0},
    };
    const std::vector<std::string> keys = intKeys();
    for (const Case& test : cases) {
        SCOPED_TRACE(test.text);
        // The hostile text under one key at a time, the other keys plain.
        for (size_t hostile = 0; hostile < keys.size(); ++hostile) {
            std::string ini = "[config]\r\n";
            for (size_t i = 0; i < keys.size(); ++i)
                ini += keys[i] + "=" + (i == hostile ? std::string(test.text) : std::to_string(100 + i)) + "\r\n";
            writeIniFile(ini);
            const Config config = loaded();
            const int32_t platformValue = static_cast<int32_t>(
                GetPrivateProfileIntA("config", keys[hostile].c_str(), 12345, iniPath().c_str()));
            for (size_t i = 0; i < keys.size(); ++i) {
                const int32_t value = config.*INT_SETTINGS[i].field;
                if (i != hostile)
                    EXPECT_EQ(value, static_cast<int32_t>(100 + i)) << keys[i];
                else if (test.knownValue)
                    EXPECT_EQ(value, test.expected) << keys[i];
                else
                    EXPECT_EQ(value, platformValue) << keys[i];
            }
            EXPECT_EQ(voiceFileOf(config), "prime.wav");
            expectStableAfterSave(config);
        }
    }
}

TEST_F(HostileStorage, IniEmptyValues)
{
    std::string ini = "[config]\r\n";
    for (const std::string& key : intKeys())
        ini += key + "=\r\n";
    ini += "voiceFile=\r\n";
    writeIniFile(ini);
    const Config config = loaded();
    for (const IntSetting& setting : INT_SETTINGS) {
        // An empty value holds no number: Wine gives the default, as it does
        // for a missing key; some platforms read it as 0.
        const int32_t value = config.*setting.field;
        EXPECT_TRUE(value == setting.defaultValue || value == 0) << setting.key << " = " << value;
    }
    // The key is there, so its empty text, not the default, is the path.
    EXPECT_EQ(voiceFileOf(config), "");
    expectStableAfterSave(config);
}

TEST_F(HostileStorage, IniLinesOf10000Bytes)
{
    const std::string tenThousandDigits(10000, '7');
    std::string longPath;
    while (longPath.size() < 10000)
        longPath += "\x95\x5C";  // 表, its second byte a backslash
    std::string ini;
    ini += std::string(10000, ';') + "\r\n";                  // an overlong comment
    ini += "[" + std::string(9998, 's') + "]\r\n";            // an overlong section
    ini += "readMax=1\r\n";                                   // not ours: another section
    ini += "[config]\r\n";
    ini += std::string(9998, 'k') + "=5\r\n";                  // an overlong key
    ini += "noReadOverMax=" + tenThousandDigits + "\r\n";       // an overlong number
    ini += "enableWideNumber=" + std::string(9983, ' ') + "3\r\n";  // padded to 10,000 bytes
    ini += "voiceFile=" + longPath + "\r\n";                  // an overlong path
    ini += std::string(10000, '=') + "\r\n";                  // a line of nothing but '='
    ini += "stopOnPeriod=0\r\n";                              // after all of them, still read
    writeIniFile(ini);

    const Config config = loaded();
    EXPECT_EQ(config.readMax, 16) << "the key of the overlong section is not in config";
    EXPECT_EQ(config.noReadOverMax,
              static_cast<int32_t>(GetPrivateProfileIntA("config", "noReadOverMax", 0, iniPath().c_str())));
    EXPECT_EQ(config.enableWideNumber, 3);
    EXPECT_EQ(config.ignoreComma, 1);
    EXPECT_EQ(config.stopOnPeriod, 0);
    EXPECT_EQ(config.enableVoice, 0);
    // The path is cut to at most 1,023 bytes of whole characters: 511 of
    // them, since the 512th would need byte 1,024.
    const std::string voiceFile = voiceFileOf(config);
    EXPECT_EQ(voiceFile, longPath.substr(0, 1022));
    expectStableAfterSave(config);
}

TEST_F(HostileStorage, LongestShiftJisVoiceFileRoundTripsInTheIniFile)
{
    const std::string path = longestShiftJisPath();
    ASSERT_EQ(path.size(), 1023u);
    Config config = loaded();
    std::memcpy(config.voiceFile, path.c_str(), path.size() + 1);
    saveConfig(config);
    EXPECT_FALSE(registryKeyExists());
    EXPECT_EQ(voiceFileOf(loaded()), path);
}

TEST_F(HostileStorage, LongestShiftJisVoiceFileRoundTripsInTheRegistry)
{
    writeIniFile("[registry]\r\nuseregistry=1\r\n");
    const std::string path = longestShiftJisPath();
    Config config = loaded();
    ASSERT_EQ(config.useRegistry, 1);
    std::memcpy(config.voiceFile, path.c_str(), path.size() + 1);
    saveConfig(config);

    // Stored as the text and its NUL, all 1,024 bytes.
    HKEY key = createRegistryKey();
    char stored[2048];
    DWORD size = sizeof stored;
    DWORD type = 0;
    EXPECT_EQ(RegQueryValueExA(key, "voiceFile", nullptr, &type, reinterpret_cast<BYTE*>(stored), &size),
              ERROR_SUCCESS);
    RegCloseKey(key);
    EXPECT_EQ(type, static_cast<DWORD>(REG_SZ));
    EXPECT_EQ(std::string(stored, size), path + '\0');

    EXPECT_EQ(voiceFileOf(loaded()), path);
}

TEST_F(HostileStorage, RegistryValuesOfEveryTypeAndSize)
{
    writeIniFile("[registry]\r\nuseregistry=1\r\n");
    const DWORD types[] = {REG_NONE,
                           REG_SZ,
                           REG_EXPAND_SZ,
                           REG_BINARY,
                           REG_DWORD,
                           REG_DWORD_BIG_ENDIAN,
                           REG_LINK,
                           REG_MULTI_SZ,
                           REG_RESOURCE_LIST,
                           REG_FULL_RESOURCE_DESCRIPTOR,
                           REG_RESOURCE_REQUIREMENTS_LIST,
                           REG_QWORD,
                           0x7FFF1234};  // a type nobody defined
    const size_t sizes[] = {0, 1, 3, 5, 2000};
    for (DWORD type : types) {
        for (size_t size : sizes) {
            SCOPED_TRACE(testing::Message() << "type " << type << ", " << size << " bytes");
            // ASCII bytes without a NUL, so that the ANSI interface gives them
            // back unchanged whatever the type.
            std::string data;
            for (size_t i = 0; i < size; ++i)
                data += static_cast<char>('A' + i % 26);
            HKEY key = createRegistryKey();
            for (const IntSetting& setting : INT_SETTINGS)
                RegSetValueExA(key, setting.key, 0, type, reinterpret_cast<const BYTE*>(data.data()),
                               static_cast<DWORD>(size));
            RegSetValueExA(key, VOICE_FILE_KEY, 0, type, reinterpret_cast<const BYTE*>(data.data()),
                           static_cast<DWORD>(size));
            RegCloseKey(key);

            const Config config = loaded();
            ASSERT_EQ(config.useRegistry, 1);
            // Up to four bytes are the number, little-endian, the missing high
            // bytes zero; more are no number and give the default.
            uint32_t number = 0;
            for (size_t i = 0; i < size && i < 4; ++i)
                number |= static_cast<uint32_t>(static_cast<unsigned char>(data[i])) << (8 * i);
            for (const IntSetting& setting : INT_SETTINGS) {
                const int32_t expected = size <= 4 ? static_cast<int32_t>(number) : setting.defaultValue;
                EXPECT_EQ(config.*setting.field, expected) << setting.key;
            }
            EXPECT_EQ(voiceFileOf(config), size <= 1023 ? data : std::string(DEFAULT_VOICE_FILE));
            RegDeleteKeyA(HKEY_CURRENT_USER, REGISTRY_KEY);
        }
    }
}

TEST_F(HostileStorage, RegistryTextsThatAreNoAnsiText)
{
    // Written through the Unicode interface by another program: half a
    // character, lone surrogates, characters without a Shift-JIS form. The
    // ANSI reading turns them into something; the record must stay sound.
    writeIniFile("[registry]\r\nuseregistry=1\r\n");
    const std::vector<std::vector<wchar_t>> texts = {
        {},
        {L'7'},
        {0xD800, L'1', 0xDC00},
        {L'\x00E9', L'\x20AC', L'\x0E01', L'\0', L'x'},
        std::vector<wchar_t>(1000, L'\x00E9'),    // 2,000 bytes, none of them representable
        std::vector<wchar_t>(1000, L'\x8868'),    // 表 x 1,000: 2,000 bytes either way
    };
    const size_t byteCounts[] = {0, 1, 3, 5, 2000};
    for (DWORD type : {static_cast<DWORD>(REG_SZ), static_cast<DWORD>(REG_EXPAND_SZ),
                       static_cast<DWORD>(REG_MULTI_SZ)}) {
        for (const std::vector<wchar_t>& text : texts) {
            for (size_t bytes : byteCounts) {
                if (bytes > text.size() * sizeof(wchar_t))
                    continue;
                SCOPED_TRACE(testing::Message() << "type " << type << ", " << text.size() << " units, "
                                                << bytes << " bytes");
                HKEY key = createRegistryKey();
                for (const IntSetting& setting : INT_SETTINGS)
                    RegSetValueExW(key, std::wstring(setting.key, setting.key + std::strlen(setting.key)).c_str(),
                                   0, type, reinterpret_cast<const BYTE*>(text.data()), static_cast<DWORD>(bytes));
                RegSetValueExW(key, L"voiceFile", 0, type, reinterpret_cast<const BYTE*>(text.data()),
                               static_cast<DWORD>(bytes));
                // What the ANSI interface makes of it is what the program sees.
                char ansi[8192];
                DWORD ansiSize = sizeof ansi;
                ASSERT_EQ(RegQueryValueExA(key, "voiceFile", nullptr, nullptr, reinterpret_cast<BYTE*>(ansi),
                                           &ansiSize),
                          ERROR_SUCCESS);
                RegCloseKey(key);

                const Config config = loaded();
                uint32_t number = 0;
                for (DWORD i = 0; i < ansiSize && i < 4; ++i)
                    number |= static_cast<uint32_t>(static_cast<unsigned char>(ansi[i])) << (8 * i);
                for (const IntSetting& setting : INT_SETTINGS) {
                    const int32_t expected = ansiSize <= 4 ? static_cast<int32_t>(number) : setting.defaultValue;
                    EXPECT_EQ(config.*setting.field, expected) << setting.key;
                }
                const std::string voiceFile = voiceFileOf(config);
                if (ansiSize > 1024 || (ansiSize == 1024 && std::memchr(ansi, '\0', 1024) == nullptr))
                    EXPECT_EQ(voiceFile, DEFAULT_VOICE_FILE);
                else
                    EXPECT_EQ(voiceFile, std::string(ansi, strnlen(ansi, ansiSize)));
                RegDeleteKeyA(HKEY_CURRENT_USER, REGISTRY_KEY);
            }
        }
    }
}
