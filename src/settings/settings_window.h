// The settings side of the main window: its controls and how they map to the
// settings record.
#pragma once

#include <windows.h>

#include "settings/config.h"

constexpr int ID_EDIT_READMAX = 20000;
constexpr int ID_COMBO_OVERMAX = 20001;
constexpr int ID_CHECK_WIDENUMBER = 20002;
constexpr int ID_CHECK_IGNORECOMMA = 20003;
constexpr int ID_CHECK_STOPONPERIOD = 20004;
constexpr int ID_CHECK_ENABLEVOICE = 20005;
constexpr int ID_EDIT_VOICEFILE = 20006;
constexpr int ID_BUTTON_BROWSE = 20007;
constexpr int ID_BUTTON_APPLY = 20008;

// Sizes the window to a 400 x 275 client area and builds the controls in it.
void createSettingsControls(HWND window, HFONT font);

// Shows fields 2 to 8 of config in the controls.
void configToControls(HWND window, const Config& config);

// Overwrites fields 2 to 8 of config from the controls; useRegistry stays.
void controlsToConfig(HWND window, Config& config);

// Browse: lets the user pick a WAV file and puts its path in the edit.
void chooseSoundFile(HWND window);
