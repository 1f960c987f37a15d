#include "settings/storage.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "storage_test_support.h"

// Stores written by hand or by other programs: INI values that are no plain
// decimal, overlong lines, and registry values of every type and awkward
// sizes.

using namespace storage_test_support;

namespace {

const char REGISTRY_INI[] = "[registry]\r\nuseregistry=1\r\n";

// Writes data as all seven values of the key.
void setEveryValue(DWORD type, const void* data, size_t size, bool wide)
{
    for (const IntSetting& setting : INT_SETTINGS)
        setRegistryValue(setting.key, type, data, size, wide);
    setRegistryValue(VOICE_FILE_KEY, type, data, size, wide);
}

// Loads a registry store whose seven values all read as data through the
// ANSI interface. Up to four bytes are the number, little-endian, the
// missing high bytes zero; more give the default. voiceFile is the text up
// to its first NUL, or the default when that does not fit 1,024 bytes.
void expectLoadedFrom(const std::string& data)
{
    const Config config = loaded();
    ASSERT_EQ(config.useRegistry, 1);
    uint32_t number = 0;
    for (size_t i = 0; i < data.size() && i < 4; ++i)
        number |= static_cast<uint32_t>(static_cast<unsigned char>(data[i])) << (8 * i);
    for (const IntSetting& setting : INT_SETTINGS)
        EXPECT_EQ(config.*setting.field, data.size() <= 4 ? static_cast<int32_t>(number) : setting.defaultValue)
            << setting.key;
    const bool fits = data.size() < 1024 || (data.size() == 1024 && data.find('\0') != std::string::npos);
    EXPECT_EQ(voiceFileOf(config), fits ? data.substr(0, data.find('\0')) : std::string(DEFAULT_VOICE_FILE));
}

class HostileStorage : public CleanStoresTest {};

}  // namespace

TEST_F(HostileStorage, IniNumbersThatAreNoPlainDecimal)
{
    const struct {
        const char* text;
        bool known;  // otherwise whatever the platform's own reading gives
        int32_t expected;
    } cases[] = {
        {"abc", true, 0}, {"12abc", true, 12}, {"-7x", true, -7}, {"  +8  ", true, 8}, {"1e3", true, 1},
        {"2147483647", true, INT32_MAX}, {"-2147483648", true, INT32_MIN},
        // Out of the 32-bit range, or a radix prefix.
        {"2147483648", false, 0}, {"4294967295", false, 0}, {"-2147483649", false, 0},
        {"99999999999999999999", false, 0}, {"0x10", false, 0},
    };
    for (const auto& test : cases) {
        std::string ini = "[config]\r\n";
        for (const IntSetting& setting : INT_SETTINGS)
            ini += std::string(setting.key) + "=" + test.text + "\r\n";
        writeIniFile(ini);
        const int32_t expected = test.known ? test.expected
                                            : static_cast<int32_t>(GetPrivateProfileIntA(
                                                  "config", "readMax", 12345, iniPath().c_str()));
        const Config config = loaded();
        for (const IntSetting& setting : INT_SETTINGS)
            EXPECT_EQ(config.*setting.field, expected) << setting.key << "=" << test.text;
        EXPECT_EQ(voiceFileOf(config), "prime.wav");
    }
}

TEST_F(HostileStorage, IniEmptyValues)
{
    std::string ini = "[config]\r\n";
    for (const IntSetting& setting : INT_SETTINGS)
        ini += std::string(setting.key) + "=\r\n";
    writeIniFile(ini + "voiceFile=\r\n");
    const Config config = loaded();
    for (const IntSetting& setting : INT_SETTINGS) {
        // An empty value holds no number: Wine gives the default, as it does
        // for a missing key; some platforms read it as 0.
        const int32_t value = config.*setting.field;
        EXPECT_TRUE(value == setting.defaultValue || value == 0) << setting.key << " = " << value;
    }
    // The key is there, so its empty text, not the default, is the path.
    EXPECT_EQ(voiceFileOf(config), "");
}

TEST_F(HostileStorage, IniLinesOf10000Bytes)
{
    std::string longPath;
    while (longPath.size() < 10000)
        longPath += "\x95\x5C";  // 表, its second byte a backslash
    writeIniFile(std::string(10000, ';') + "\r\n" +                  // an overlong comment
                 "[" + std::string(9998, 's') + "]\r\nreadMax=1\r\n" +  // an overlong section
                 "[config]\r\n" + std::string(9998, 'k') + "=5\r\n" +   // an overlong key
                 "noReadOverMax=" + std::string(10000, '7') + "\r\n" +  // an overlong number
                 "enableWideNumber=" + std::string(9983, ' ') + "3\r\n" +
                 "voiceFile=" + longPath + "\r\n" + std::string(10000, '=') + "\r\n" +
                 "stopOnPeriod=0\r\n");  // after all of them, still read
    const Config config = loaded();
    EXPECT_EQ(config.readMax, 16) << "the key of the overlong section is not in config";
    EXPECT_EQ(config.noReadOverMax,
              static_cast<int32_t>(GetPrivateProfileIntA("config", "noReadOverMax", 0, iniPath().c_str())));
    EXPECT_EQ(config.enableWideNumber, 3);
    EXPECT_EQ(config.ignoreComma, 1);
    EXPECT_EQ(config.stopOnPeriod, 0);
    EXPECT_EQ(config.enableVoice, 0);
    // Cut to at most 1,023 bytes of whole characters: 511 of them, since the
    // 512th would need byte 1,024 (no stale byte of a longer read after them).
    EXPECT_EQ(voiceFileOf(config), longPath.substr(0, 1022));
}

TEST_F(HostileStorage, RegistryValuesOfEveryTypeAndSize)
{
    writeIniFile(REGISTRY_INI);
    const DWORD types[] = {REG_NONE, REG_SZ, REG_EXPAND_SZ, REG_BINARY, REG_DWORD, REG_DWORD_BIG_ENDIAN,
                           REG_LINK, REG_MULTI_SZ, REG_RESOURCE_LIST, REG_FULL_RESOURCE_DESCRIPTOR,
                           REG_RESOURCE_REQUIREMENTS_LIST, REG_QWORD,
                           0x7FFF1234};  // a type nobody defined
    for (DWORD type : types) {
        for (size_t size : {0, 1, 3, 5, 2000}) {
            SCOPED_TRACE(testing::Message() << "type " << type << ", " << size << " bytes");
            // ASCII bytes without a NUL, which the ANSI interface gives back
            // unchanged whatever the type.
            std::string data;
            for (size_t i = 0; i < size; ++i)
                data += static_cast<char>('A' + i % 26);
            setEveryValue(type, data.data(), size, false);
            expectLoadedFrom(data);
        }
    }
}

TEST_F(HostileStorage, RegistryTextsThatAreNoAnsiText)
{
    // Written through the Unicode interface by another program: half a
    // character, lone surrogates, characters without a Shift-JIS form. The
    // ANSI reading turns them into something; the record must stay sound.
    writeIniFile(REGISTRY_INI);
    const std::vector<std::vector<wchar_t>> texts = {
        {},
        {L'7'},
        {0xD800, L'1', 0xDC00},
        {L'\x00E9', L'\x20AC', L'\x0E01', L'\0', L'x'},
        std::vector<wchar_t>(1000, L'\x00E9'),  // 2,000 bytes, none of them representable
        std::vector<wchar_t>(1000, L'\x8868'),  // 表 x 1,000: 2,000 bytes either way
    };
    for (DWORD type : {REG_SZ, REG_EXPAND_SZ, REG_MULTI_SZ}) {
        for (const std::vector<wchar_t>& text : texts) {
            for (size_t bytes : {0, 1, 3, 5, 2000}) {
                if (bytes > text.size() * sizeof(wchar_t))
                    continue;
                SCOPED_TRACE(testing::Message() << "type " << type << ", " << text.size() << " units, "
                                                << bytes << " bytes");
                setEveryValue(type, text.data(), bytes, true);
                // What the ANSI interface makes of it is what the program sees.
                const std::string ansi = registryValue("voiceFile");
                ASSERT_NE(ansi, "missing");
                expectLoadedFrom(ansi.substr(ansi.find(':') + 1));
            }
        }
    }
}
