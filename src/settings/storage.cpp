#include "settings/storage.h"

#include <windows.h>

#include <cstdint>
#include <cstring>

#include "settings/module_path.h"

namespace {

constexpr char INI_FILE_NAME[] = "tramolivenga.ini";
constexpr char INI_SECTION_CONFIG[] = "config";
constexpr char INI_SECTION_REGISTRY[] = "registry";
constexpr char INI_KEY_USE_REGISTRY[] = "useregistry";
constexpr char REGISTRY_KEY_PATH[] = "Software\\yulbrex\\tramolivenga";
constexpr int REGISTRY_INT_SIZE = 4;

// Filled once by moduleDirectory and kept for the life of the process.
char g_moduleDir[TEXT_BUFFER_SIZE];

// The INI file beside the executable; 0 when that path is unknown or too long
// for the buffer, in which case the file is neither read nor written.
int buildIniPath(char* iniPath)
{
    return joinDirectoryPath(iniPath, TEXT_BUFFER_SIZE, moduleDirectory(), INI_FILE_NAME);
}

// A stored integer: up to four bytes, little-endian, the missing high bytes
// zero. 0 (and the field unchanged) when the value is missing or larger.
int readRegistryInt(HKEY key, const char* name, int32_t& field)
{
    BYTE data[REGISTRY_INT_SIZE] = {};
    DWORD size = REGISTRY_INT_SIZE;
    if (RegQueryValueExA(key, name, nullptr, nullptr, data, &size) != ERROR_SUCCESS)
        return 0;
    uint32_t value = 0;
    for (DWORD i = 0; i < size && i < REGISTRY_INT_SIZE; ++i)
        value |= static_cast<uint32_t>(data[i]) << (8 * i);
    field = static_cast<int32_t>(value);
    return 1;
}

// The stored voiceFile text, always NUL-terminated. Data that fills the whole
// buffer without a NUL could not be terminated and counts as too large.
int readRegistryText(HKEY key, const char* name, char* text)
{
    char data[TEXT_BUFFER_SIZE];
    DWORD size = TEXT_BUFFER_SIZE;
    if (RegQueryValueExA(key, name, nullptr, nullptr, reinterpret_cast<BYTE*>(data), &size)
        != ERROR_SUCCESS)
        return 0;
    if (size < TEXT_BUFFER_SIZE)
        data[size] = '\0';
    else if (std::memchr(data, '\0', TEXT_BUFFER_SIZE) == nullptr)
        return 0;
    lstrcpyA(text, data);
    return 1;
}

void loadFromRegistry(Config& config)
{
    HKEY key;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, REGISTRY_KEY_PATH, 0, KEY_QUERY_VALUE, &key)
        != ERROR_SUCCESS)
        return;
    // A value that cannot be read keeps the default already in its field.
    for (const IntSetting& setting : INT_SETTINGS)
        readRegistryInt(key, setting.key, config.*setting.field);
    readRegistryText(key, VOICE_FILE_KEY, config.voiceFile);
    RegCloseKey(key);
}

void saveToRegistry(const Config& config)
{
    HKEY key;
    if (RegCreateKeyExA(HKEY_CURRENT_USER, REGISTRY_KEY_PATH, 0, nullptr, REG_OPTION_NON_VOLATILE,
            KEY_SET_VALUE, nullptr, &key, nullptr)
        != ERROR_SUCCESS)
        return;
    for (const IntSetting& setting : INT_SETTINGS) {
        const uint32_t value = static_cast<uint32_t>(config.*setting.field);
        const BYTE data[REGISTRY_INT_SIZE]
            = {static_cast<BYTE>(value), static_cast<BYTE>(value >> 8),
                static_cast<BYTE>(value >> 16), static_cast<BYTE>(value >> 24)};
        RegSetValueExA(key, setting.key, 0, REG_DWORD, data, REGISTRY_INT_SIZE);
    }
    const DWORD textSize = static_cast<DWORD>(lstrlenA(config.voiceFile) + 1);
    RegSetValueExA(
        key, VOICE_FILE_KEY, 0, REG_SZ, reinterpret_cast<const BYTE*>(config.voiceFile), textSize);
    RegCloseKey(key);
}

}  // namespace

const char* moduleDirectory()
{
    if (g_moduleDir[0] != '\0')
        return g_moduleDir;
    const DWORD length = GetModuleFileNameA(nullptr, g_moduleDir, TEXT_BUFFER_SIZE);
    // A path that filled the buffer was cut off: its directory would be wrong.
    if (length == 0 || length >= TEXT_BUFFER_SIZE) {
        g_moduleDir[0] = '\0';
        return g_moduleDir;
    }
    cutAfterLastBackslash(g_moduleDir);
    return g_moduleDir;
}

void loadConfig(Config& config)
{
    // Every field keeps its default unless the selected store supplies it.
    setDefaultConfig(config);
    char iniPath[TEXT_BUFFER_SIZE];
    if (!buildIniPath(iniPath))
        return;
    config.useRegistry = static_cast<int32_t>(GetPrivateProfileIntA(
        INI_SECTION_REGISTRY, INI_KEY_USE_REGISTRY, DEFAULT_USE_REGISTRY, iniPath));
    if (config.useRegistry != 0) {
        loadFromRegistry(config);
        return;
    }
    for (const IntSetting& setting : INT_SETTINGS)
        config.*setting.field = static_cast<int32_t>(
            GetPrivateProfileIntA(INI_SECTION_CONFIG, setting.key, setting.defaultValue, iniPath));
    GetPrivateProfileStringA(INI_SECTION_CONFIG, VOICE_FILE_KEY, DEFAULT_VOICE_FILE,
        config.voiceFile, TEXT_BUFFER_SIZE, iniPath);
}

void saveConfig(const Config& config)
{
    if (config.useRegistry != 0) {
        saveToRegistry(config);
        return;
    }
    char iniPath[TEXT_BUFFER_SIZE];
    if (!buildIniPath(iniPath))
        return;
    for (const IntSetting& setting : INT_SETTINGS) {
        char text[16];
        wsprintfA(text, "%d", config.*setting.field);
        WritePrivateProfileStringA(INI_SECTION_CONFIG, setting.key, text, iniPath);
    }
    WritePrivateProfileStringA(INI_SECTION_CONFIG, VOICE_FILE_KEY, config.voiceFile, iniPath);
}
