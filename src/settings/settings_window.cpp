// Placeholder until the settings window lands; keeps the shell linkable.
#include "settings/settings_window.h"

void createSettingsControls(HWND, HFONT) {}
void configToControls(HWND, const Config&) {}
void controlsToConfig(HWND, Config&) {}
void chooseSoundFile(HWND) {}
