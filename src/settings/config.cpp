#include "settings/config.h"

#include <cstring>

const IntSetting INT_SETTINGS[INT_SETTING_COUNT] = {
    {"readMax", &Config::readMax, 16},
    {"noReadOverMax", &Config::noReadOverMax, 0},
    {"enableWideNumber", &Config::enableWideNumber, 0},
    {"ignoreComma", &Config::ignoreComma, 1},
    {"stopOnPeriod", &Config::stopOnPeriod, 1},
    {"enableVoice", &Config::enableVoice, 0},
};

Config g_config;

void setDefaultConfig(Config& config)
{
    config.useRegistry = DEFAULT_USE_REGISTRY;
    for (const IntSetting& setting : INT_SETTINGS)
        config.*setting.field = setting.defaultValue;
    // The whole buffer, not just the default text: the profile functions may
    // leave a byte they did not fill when they cut an overlong value.
    std::memset(config.voiceFile, 0, sizeof config.voiceFile);
    std::memcpy(config.voiceFile, DEFAULT_VOICE_FILE, sizeof DEFAULT_VOICE_FILE);
}
