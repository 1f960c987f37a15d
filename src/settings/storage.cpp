// Placeholder until settings storage lands; keeps the shell linkable.
#include "settings/storage.h"

const char* moduleDirectory() { return ""; }
void loadConfig(Config& config) { setDefaultConfig(config); }
void saveConfig(const Config&) {}
