#include "prime/scanner.h"

#include "prime/primality.h"

namespace {

enum UnitClass { CLASS_DIGIT, CLASS_PERIOD, CLASS_COMMA, CLASS_SEPARATOR };

constexpr Utf16Unit WIDE_DIGIT_ZERO = 0xFF10;
constexpr Utf16Unit WIDE_DIGIT_NINE = 0xFF19;
constexpr Utf16Unit WIDE_PERIOD = 0xFF0E;
constexpr Utf16Unit WIDE_COMMA = 0xFF0C;
constexpr uint64_t BIT_63 = uint64_t{1} << 63;

bool isWideDigit(Utf16Unit unit) { return unit >= WIDE_DIGIT_ZERO && unit <= WIDE_DIGIT_NINE; }

UnitClass classify(Utf16Unit unit, const Config& config)
{
    const bool wide = config.enableWideNumber != 0;
    if ((unit >= u'0' && unit <= u'9') || (wide && isWideDigit(unit)))
        return CLASS_DIGIT;
    if (unit == u'.' || (wide && unit == WIDE_PERIOD))
        return CLASS_PERIOD;
    if (config.ignoreComma != 0 && (unit == u',' || (wide && unit == WIDE_COMMA)))
        return CLASS_COMMA;
    return CLASS_SEPARATOR;
}

// Evaluates the run text[start, end): 1 and the digits copied out when its
// value is a prime below 2^63.
int evaluateRun(const Utf16Unit* text, int32_t start, int32_t end, char* digits)
{
    char runDigits[DIGITS_BUFFER_SIZE];
    int count = 0;
    uint64_t value = 0;
    for (int32_t i = start; i < end; ++i) {
        const Utf16Unit unit = text[i];
        int digit;
        if (unit >= u'0' && unit <= u'9')
            digit = unit - u'0';
        else if (isWideDigit(unit))
            digit = unit - WIDE_DIGIT_ZERO;
        else
            continue;  // a comma inside the run
        runDigits[count++] = static_cast<char>('0' + digit);
        value = value * 10 + static_cast<uint64_t>(digit);
    }
    runDigits[count] = '\0';

    if ((value & BIT_63) != 0 || !isPrime(value))
        return 0;
    for (int i = 0; i <= count; ++i)
        digits[i] = runDigits[i];
    return 1;
}

// The number of units to walk, or -1 when the text must not be scanned.
// *cut is set when the text is longer than the cap and is cut to it.
int32_t scanLimitFor(int32_t length, const Config& config, bool* cut)
{
    *cut = false;
    if (config.readMax >= 1 && config.readMax <= READ_MAX_LIMIT) {
        const int32_t cap = config.readMax * UNITS_PER_KB;
        if (length > cap) {
            if (config.noReadOverMax != 0)
                return -1;
            *cut = true;
            return cap;
        }
    }
    return length;
}

}  // namespace

int scanText(const Utf16Unit* text, int32_t length, const Config& config, char* digits)
{
    bool cut;
    const int32_t scanLimit = scanLimitFor(length, config, &cut);
    if (scanLimit <= 0)
        return 0;

    const bool stopOnPeriod = config.stopOnPeriod != 0;
    ScanState state = SCAN_OUTSIDE;
    int32_t runStart = 0;
    int32_t digitCount = 0;
    for (int32_t i = 0; i < scanLimit; ++i) {
        const UnitClass unitClass = classify(text[i], config);
        switch (state) {
        case SCAN_OUTSIDE:
            if (unitClass == CLASS_DIGIT) {
                state = SCAN_IN_RUN;
                runStart = i;
                digitCount = 1;
            } else if (unitClass == CLASS_PERIOD && !stopOnPeriod) {
                state = SCAN_DISCARD;  // the digits after a decimal point
            }
            break;
        case SCAN_IN_RUN:
            if (unitClass == CLASS_DIGIT) {
                if (++digitCount > MAX_RUN_DIGITS)
                    state = SCAN_DISCARD;
            } else if (unitClass == CLASS_PERIOD && !stopOnPeriod) {
                state = SCAN_DISCARD;  // a decimal fraction is no integer
            } else if (unitClass != CLASS_COMMA) {
                state = SCAN_OUTSIDE;
                if (evaluateRun(text, runStart, i, digits))
                    return 1;
            }
            break;
        case SCAN_DISCARD:
            if (unitClass == CLASS_SEPARATOR || (unitClass == CLASS_PERIOD && stopOnPeriod))
                state = SCAN_OUTSIDE;
            break;
        }
    }
    // A run open at the end counts only when the whole text was looked at:
    // at a cut, the unit beyond it might have continued the run.
    if (state == SCAN_IN_RUN && !cut)
        return evaluateRun(text, runStart, scanLimit, digits);
    return 0;
}
