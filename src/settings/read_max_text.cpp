#include "settings/read_max_text.h"

// The digit that the character at text stands for, and its length in bytes:
// an ASCII digit, or a full-width one in Shift-JIS (０ is 82 4F, ９ is 82 58),
// which is what a Japanese input method types. 0 bytes: no digit.
static int digitAt(const char* text, uint32_t& digit)
{
    const unsigned char lead = static_cast<unsigned char>(text[0]);
    if (lead >= '0' && lead <= '9') {
        digit = lead - '0';
        return 1;
    }
    // The second byte is read only after a lead byte, never past the NUL.
    const unsigned char trail = lead == 0x82 ? static_cast<unsigned char>(text[1]) : 0;
    if (trail >= 0x4F && trail <= 0x58) {
        digit = trail - 0x4Fu;
        return 2;
    }
    return 0;
}

int32_t readMaxFromText(const char* text)
{
    bool negative = false;
    if (*text == '-') {
        negative = true;
        ++text;
    }
    // Unsigned arithmetic wraps without undefined behaviour.
    uint32_t value = 0;
    uint32_t digit = 0;
    for (int length; (length = digitAt(text, digit)) != 0; text += length)
        value = value * 10u + digit;
    if (negative)
        value = 0u - value;
    // Two's-complement reinterpretation, well-defined without relying on
    // the implementation's out-of-range conversion.
    if (value <= static_cast<uint32_t>(INT32_MAX))
        return static_cast<int32_t>(value);
    return static_cast<int32_t>(value - 2147483648u) + INT32_MIN;
}
