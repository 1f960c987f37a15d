// Reading the readMax edit's text back into a number.
#pragma once

#include <cstdint>

// Reads an optional '-' and then digits, ASCII or full-width (Shift-JIS), up
// to the first other character; anything else (blank, '+', empty text)
// gives 0. The value wraps around in 32 bits instead of failing, so the text
// "%d" writes for any int32_t reads back to the same value.
int32_t readMaxFromText(const char* text);
