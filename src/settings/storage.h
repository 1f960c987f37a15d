// Keeps the settings record between runs: the INI file beside the executable,
// or the registry key that the INI file selects.
#pragma once

#include "settings/config.h"

// The running executable's directory with its trailing backslash; found once
// and cached for the life of the process. Empty if the path is unavailable.
const char* moduleDirectory();

// Fills every field of config from the store that the INI file selects.
void loadConfig(Config& config);

// Writes fields 2 to 8 of config to the store that config.useRegistry selects.
void saveConfig(const Config& config);
