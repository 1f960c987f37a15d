// The one settings record and the one table of its defaults.
#pragma once

#include <cstdint>

// Paths and settings text live in fixed buffers of this size: at most 1023
// bytes of ANSI (Shift-JIS) text and a NUL.
constexpr int TEXT_BUFFER_SIZE = 1024;

struct Config {
    int32_t useRegistry;       // non-zero: settings live in the registry
    int32_t readMax;           // scan cap in KB of UTF-16 text (512 units each)
    int32_t noReadOverMax;     // non-zero: a text over the cap is not scanned
    int32_t enableWideNumber;  // full-width digits, period and comma count
    int32_t ignoreComma;       // a comma inside a run joins its digits
    int32_t stopOnPeriod;      // a period separates numbers
    int32_t enableVoice;       // play voiceFile when a prime is found
    char voiceFile[TEXT_BUFFER_SIZE];
};

// A member of Config, as a pointer to it.
using ConfigField = int32_t Config::*;

// The six stored integer settings in their stored order: key, field, default.
// useRegistry is not among them; it is read from the INI file only.
struct IntSetting {
    const char* key;
    ConfigField field;
    int32_t defaultValue;
};

constexpr int INT_SETTING_COUNT = 6;
extern const IntSetting INT_SETTINGS[INT_SETTING_COUNT];

constexpr int32_t DEFAULT_USE_REGISTRY = 0;
constexpr char VOICE_FILE_KEY[] = "voiceFile";
constexpr char DEFAULT_VOICE_FILE[] = "prime.wav";

// Fills every field with its default, useRegistry included.
void setDefaultConfig(Config& config);

// The process-wide record; zero at start, filled by loadConfig.
extern Config g_config;
