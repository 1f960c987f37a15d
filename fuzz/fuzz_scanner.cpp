// libFuzzer target over scanText: the settings and the text both come from
// the input, and whatever the scanner returns is checked against properties
// that are worked out here independently of it. Built and run by
// fuzz/fuzz.sh.
//
// Input: byte 0 holds the settings (bit 0 enableWideNumber, bit 1
// ignoreComma, bit 2 stopOnPeriod, bit 3 noReadOverMax, bits 4-6 pick
// readMax from READ_MAX_CHOICES, bit 7 stores the set flags as -7 instead of
// 1). Every later byte is one unit of text: below 0xE0 an entry of
// UNIT_TABLE, so that digits of both widths, periods and commas are common;
// from 0xE0 on, the next two bytes give any unit (0 stands for U+FFFF).

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "prime/scanner.h"

namespace {

const int32_t READ_MAX_CHOICES[8]
    = {0, -1, 1, 2, INT32_MIN, READ_MAX_LIMIT, READ_MAX_LIMIT + 1, 16};

const char16_t UNIT_TABLE[32] = {u'0', u'1', u'2', u'3', u'4', u'5', u'6', u'7', u'8', u'9', 0xFF10,
    0xFF11, 0xFF12, 0xFF13, 0xFF14, 0xFF15, 0xFF16, 0xFF17, 0xFF18, 0xFF19, u'.', u',', 0xFF0E,
    0xFF0C, u' ', u'a', u'-', 0x3000, u'\n', 0xFF0D, u'+', 0x00B2};

// Room beyond the scanner's buffer, which must stay as it was filled.
constexpr size_t GUARD = 12;
constexpr char FILL = 0x5A;

[[noreturn]] void fail(const char* what, const char* digits)
{
    std::fprintf(stderr, "fuzz_scanner: %s (digits \"%.*s\")\n", what, DIGITS_BUFFER_SIZE, digits);
    std::abort();
}

uint64_t mulMod(uint64_t a, uint64_t b, uint64_t n)
{
    return static_cast<uint64_t>(static_cast<unsigned __int128>(a) * b % n);
}

uint64_t powMod(uint64_t base, uint64_t e, uint64_t n)
{
    uint64_t result = 1 % n;
    base %= n;
    for (; e != 0; e >>= 1) {
        if (e & 1)
            result = mulMod(result, base, n);
        base = mulMod(base, base, n);
    }
    return result;
}

// Trial division below 10^6; above it, Miller-Rabin with the seven bases of
// Jim Sinclair, exact for every 64-bit value (other bases than the
// scanner's, and products formed 128 bits wide).
bool isPrimeReference(uint64_t n)
{
    if (n < 1000000) {
        if (n < 2)
            return false;
        for (uint64_t d = 2; d * d <= n; ++d)
            if (n % d == 0)
                return false;
        return true;
    }
    if (n % 2 == 0)
        return false;
    uint64_t d = n - 1;
    int s = 0;
    while (d % 2 == 0) {
        d /= 2;
        ++s;
    }
    static const uint64_t BASES[] = {2, 325, 9375, 28178, 450775, 9780504, 1795265022};
    for (uint64_t base : BASES) {
        const uint64_t a = base % n;
        if (a == 0)
            continue;
        uint64_t x = powMod(a, d, n);
        if (x == 1 || x == n - 1)
            continue;
        bool witness = true;
        for (int i = 1; i < s && witness; ++i) {
            x = mulMod(x, x, n);
            if (x == n - 1)
                witness = false;
        }
        if (witness)
            return false;
    }
    return true;
}

bool isFlagSet(uint8_t bits, int bit) { return (bits >> bit & 1) != 0; }

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 1)
        return 0;
    const uint8_t bits = data[0];
    const int32_t on = isFlagSet(bits, 7) ? -7 : 1;
    Config config{};
    config.enableWideNumber = isFlagSet(bits, 0) ? on : 0;
    config.ignoreComma = isFlagSet(bits, 1) ? on : 0;
    config.stopOnPeriod = isFlagSet(bits, 2) ? on : 0;
    config.noReadOverMax = isFlagSet(bits, 3) ? on : 0;
    config.readMax = READ_MAX_CHOICES[bits >> 4 & 7];

    std::vector<char16_t> text;
    for (size_t i = 1; i < size; ++i) {
        if (data[i] < 0xE0) {
            text.push_back(UNIT_TABLE[data[i] & 31]);
        } else if (i + 2 < size) {
            const char16_t unit = static_cast<char16_t>(data[i + 1] | data[i + 2] << 8);
            text.push_back(unit == 0 ? char16_t{0xFFFF} : unit);
            i += 2;
        }
    }
    const int32_t length = static_cast<int32_t>(text.size());

    // An exact-size heap copy, so that AddressSanitizer sees a read past the end.
    char16_t* scanned = new char16_t[text.size() + 1];
    std::copy(text.begin(), text.end(), scanned);
    char* digits = new char[DIGITS_BUFFER_SIZE + GUARD];
    std::memset(digits, FILL, DIGITS_BUFFER_SIZE + GUARD);
    const int result = scanText(scanned, length, config, digits);
    delete[] scanned;

    for (size_t i = DIGITS_BUFFER_SIZE; i < DIGITS_BUFFER_SIZE + GUARD; ++i)
        if (digits[i] != FILL)
            fail("wrote past the digits buffer", digits);
    if (result == 0) {
        for (size_t i = 0; i < DIGITS_BUFFER_SIZE; ++i)
            if (digits[i] != FILL)
                fail("returned 0 but changed the digits buffer", digits);
        delete[] digits;
        return 0;
    }
    if (result != 1)
        fail("returned neither 0 nor 1", digits);

    // A NUL-terminated string of 1 to 19 ASCII digits.
    size_t count = 0;
    while (count < DIGITS_BUFFER_SIZE && digits[count] >= '0' && digits[count] <= '9')
        ++count;
    if (count == 0 || count > static_cast<size_t>(MAX_RUN_DIGITS) || digits[count] != '\0')
        fail("the digits are not 1 to 19 ASCII digits and a NUL", digits);

    // Its value is below 2^63 and prime.
    unsigned __int128 wide = 0;
    for (size_t i = 0; i < count; ++i)
        wide = wide * 10 + static_cast<unsigned>(digits[i] - '0');
    if (wide >= static_cast<unsigned __int128>(1) << 63)
        fail("the value is not below 2^63", digits);
    if (!isPrimeReference(static_cast<uint64_t>(wide)))
        fail("the value is not prime", digits);

    // The part that was read: all of it, or the cap when the text is longer
    // (and nothing at all under noReadOverMax).
    int32_t readUnits = length;
    bool cut = false;
    if (config.readMax >= 1 && config.readMax <= READ_MAX_LIMIT
        && length > config.readMax * UNITS_PER_KB) {
        if (config.noReadOverMax != 0)
            fail("found a prime in a text over the cap under noReadOverMax", digits);
        readUnits = config.readMax * UNITS_PER_KB;
        cut = true;
    }

    // That part as the settings read it: full-width digits as ASCII, commas
    // dropped; any other unit is not a digit ('x').
    std::vector<char> plain;
    for (int32_t i = 0; i < readUnits; ++i) {
        const char16_t unit = text[static_cast<size_t>(i)];
        const bool wideDigit = unit >= 0xFF10 && unit <= 0xFF19;
        const bool comma = unit == u',' || (config.enableWideNumber != 0 && unit == 0xFF0C);
        if (config.ignoreComma != 0 && comma)
            continue;
        if (unit >= u'0' && unit <= u'9')
            plain.push_back(static_cast<char>(unit));
        else if (config.enableWideNumber != 0 && wideDigit)
            plain.push_back(static_cast<char>('0' + (unit - 0xFF10)));
        else
            plain.push_back('x');
    }

    // The digits are a whole run there: no digit just before or after them,
    // and they do not end at a cut, where the next unit might have gone on.
    auto isDigit = [](char c) { return c >= '0' && c <= '9'; };
    bool found = false;
    for (size_t start = 0; !found && start + count <= plain.size(); ++start) {
        if (std::memcmp(plain.data() + start, digits, count) != 0)
            continue;
        const size_t end = start + count;
        const bool before = start > 0 && isDigit(plain[start - 1]);
        const bool after = end < plain.size() ? isDigit(plain[end]) : cut;
        found = !before && !after;
    }
    if (!found)
        fail("the digits are not a whole run of the text as read", digits);
    delete[] digits;
    return 0;
}
