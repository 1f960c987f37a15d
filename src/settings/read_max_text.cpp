#include "settings/read_max_text.h"

int32_t readMaxFromText(const char* text)
{
    bool negative = false;
    if (*text == '-') {
        negative = true;
        ++text;
    }
    // Unsigned arithmetic wraps without undefined behaviour.
    uint32_t value = 0;
    for (; *text >= '0' && *text <= '9'; ++text)
        value = value * 10u + static_cast<uint32_t>(*text - '0');
    if (negative)
        value = 0u - value;
    // Two's-complement reinterpretation, well-defined without relying on
    // the implementation's out-of-range conversion.
    if (value <= static_cast<uint32_t>(INT32_MAX))
        return static_cast<int32_t>(value);
    return static_cast<int32_t>(value - 2147483648u) + INT32_MIN;
}
