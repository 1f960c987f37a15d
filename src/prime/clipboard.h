// Reads the clipboard's Unicode text and finds the first prime in it.
#pragma once

#include <windows.h>

#include "settings/config.h"

// 1 and the prime's digits in digits (at least 20 bytes) when the clipboard's
// text holds a prime; 0 otherwise, with digits untouched. The clipboard is
// opened on behalf of window and closed before the text is scanned.
int checkClipboard(HWND window, char* digits, const Config& config);
