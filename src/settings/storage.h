// Keeps the settings record between runs: the INI file beside the executable,
// or the registry key that the INI file selects.
#pragma once

#include "settings/config.h"

// The running executable's directory with its trailing backslash; found once
// and cached for the life of the process. Empty while the path is unavailable
// or was cut off by the buffer; the next call tries again.
const char* moduleDirectory();

// Fills every field of config from the store that the INI file selects; a
// missing store or value gives the default. Every field is a default when the
// INI file's path is unknown or does not fit a path buffer.
void loadConfig(Config& config);

// Writes every field but useRegistry to the store that config.useRegistry
// selects. Failures are silent; nothing is written when the INI file's path
// is unknown or does not fit a path buffer.
void saveConfig(const Config& config);
