// Finds the first prime written in decimal in a piece of UTF-16 text.
#pragma once

#include <cstdint>

#include "settings/config.h"

// One UTF-16 code unit, 16 bits wide on every platform.
typedef char16_t Utf16Unit;

enum ScanState {
    SCAN_OUTSIDE = 0,  // between numbers
    SCAN_IN_RUN = 1,   // inside a run of digits, evaluated when it ends
    SCAN_DISCARD = 2,  // inside a dropped run, ignored up to the next separator
};

// The most digits a run may hold and still be evaluated.
constexpr int32_t MAX_RUN_DIGITS = 19;
// Every buffer that receives a digit string holds at least this many bytes.
constexpr int DIGITS_BUFFER_SIZE = MAX_RUN_DIGITS + 1;
// Code units per kilobyte of UTF-16 text, and the largest cap in kilobytes.
constexpr int32_t UNITS_PER_KB = 512;
constexpr int32_t READ_MAX_LIMIT = 2097151;

// Scans length units of text (none of them NUL) under the scan settings of
// config. On the first prime it writes its digits, NUL-terminated, to digits
// (at least DIGITS_BUFFER_SIZE bytes) and returns 1; otherwise it returns 0
// and leaves digits untouched.
int scanText(const Utf16Unit* text, int32_t length, const Config& config, char* digits);
