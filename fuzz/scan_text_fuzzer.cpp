// scanText over arbitrary UTF-16 text and arbitrary scan settings, checked
// against a second, differently built reading of the same rules: the text is
// cut into words at separators (and at periods when they stop numbers), and
// each word's digits are one candidate. Primes are checked with 128-bit
// Miller-Rabin, sharing no code with isPrime.
//
// Input: five little-endian int32 settings (readMax, noReadOverMax,
// enableWideNumber, ignoreComma, stopOnPeriod), then UTF-16LE text, taken up
// to its first NUL unit as the clipboard hands it over.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <initializer_list>
#include <memory>

#include "prime/scanner.h"

namespace {

constexpr uint64_t BIT_63 = uint64_t{1} << 63;
constexpr unsigned char UNTOUCHED = 0xA5;

void fail(const char* what)
{
    std::fprintf(stderr, "property broken: %s\n", what);
    std::abort();
}

uint64_t mulModWide(uint64_t a, uint64_t b, uint64_t n)
{
    return static_cast<uint64_t>(static_cast<unsigned __int128>(a) * b % n);
}

uint64_t powModWide(uint64_t base, uint64_t e, uint64_t n)
{
    uint64_t result = 1 % n;
    base %= n;
    for (; e != 0; e >>= 1) {
        if (e & 1)
            result = mulModWide(result, base, n);
        base = mulModWide(base, base, n);
    }
    return result;
}

// Deterministic for every 64-bit n with these seven bases.
bool isPrimeWide(uint64_t n)
{
    if (n < 2)
        return false;
    for (uint64_t p : {2u, 3u, 5u, 7u}) {
        if (n % p == 0)
            return n == p;
    }
    uint64_t d = n - 1;
    int s = 0;
    while ((d & 1) == 0) {
        d >>= 1;
        ++s;
    }
    for (uint64_t a : {2ull, 325ull, 9375ull, 28178ull, 450775ull, 9780504ull, 1795265022ull}) {
        const uint64_t base = a % n;
        if (base == 0)
            continue;
        uint64_t x = powModWide(base, d, n);
        if (x == 1 || x == n - 1)
            continue;
        bool witness = true;
        for (int i = 1; i < s && witness; ++i) {
            x = mulModWide(x, x, n);
            if (x == n - 1)
                witness = false;
        }
        if (witness)
            return false;
    }
    return true;
}

enum Kind { DIGIT, PERIOD, COMMA, SEPARATOR };

Kind kindOf(char16_t unit, const Config& config)
{
    const bool wide = config.enableWideNumber != 0;
    if (unit >= u'0' && unit <= u'9')
        return DIGIT;
    if (wide && unit >= 0xFF10 && unit <= 0xFF19)
        return DIGIT;
    if (unit == u'.' || (wide && unit == 0xFF0E))
        return PERIOD;
    if (config.ignoreComma != 0 && (unit == u',' || (wide && unit == 0xFF0C)))
        return COMMA;
    return SEPARATOR;
}

char asciiDigit(char16_t unit)
{
    return static_cast<char>(unit >= 0xFF10 ? '0' + (unit - 0xFF10) : unit);
}

// The expected result: 1 and the prime's digits, or 0.
int expectedScan(const char16_t* text, int32_t length, const Config& config, char* expected)
{
    int64_t limit = length;
    bool cut = false;
    if (config.readMax > 0 && config.readMax < 2097152 && length > int64_t{config.readMax} * 512) {
        if (config.noReadOverMax != 0)
            return 0;
        limit = int64_t{config.readMax} * 512;
        cut = true;
    }
    const bool stopOnPeriod = config.stopOnPeriod != 0;
    int64_t wordStart = 0;
    while (wordStart < limit) {
        // A word: units up to the next separator, or to the next period
        // when periods stop numbers.
        int64_t end = wordStart;
        bool hasPeriod = false;
        while (end < limit) {
            const Kind kind = kindOf(text[end], config);
            if (kind == SEPARATOR || (kind == PERIOD && stopOnPeriod))
                break;
            if (kind == PERIOD)
                hasPeriod = true;
            ++end;
        }
        const bool closed = end < limit;
        // A decimal fraction with its integer part drops as a whole; a word
        // cut off by the cap might go on beyond it.
        if (!hasPeriod && (closed || !cut)) {
            char word[64];
            int count = 0;
            for (int64_t i = wordStart; i < end && count <= 19; ++i) {
                if (kindOf(text[i], config) == DIGIT)
                    word[count++] = asciiDigit(text[i]);
            }
            if (count >= 1 && count <= 19) {
                word[count] = '\0';
                const uint64_t value = std::strtoull(word, nullptr, 10);
                if (value < BIT_63 && isPrimeWide(value)) {
                    std::memcpy(expected, word, static_cast<size_t>(count) + 1);
                    return 1;
                }
            }
        }
        wordStart = end + 1;
    }
    return 0;
}

int32_t readInt32(const uint8_t* bytes)
{
    const uint32_t u = static_cast<uint32_t>(bytes[0]) | static_cast<uint32_t>(bytes[1]) << 8
        | static_cast<uint32_t>(bytes[2]) << 16 | static_cast<uint32_t>(bytes[3]) << 24;
    int32_t value;
    std::memcpy(&value, &u, sizeof value);
    return value;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    constexpr size_t SETTINGS_BYTES = 20;
    if (size < SETTINGS_BYTES)
        return 0;
    Config config;
    std::memset(&config, 0x5A, sizeof config);  // the other fields must not matter
    config.readMax = readInt32(data);
    config.noReadOverMax = readInt32(data + 4);
    config.enableWideNumber = readInt32(data + 8);
    config.ignoreComma = readInt32(data + 12);
    config.stopOnPeriod = readInt32(data + 16);
    const Config before = config;

    const uint8_t* bytes = data + SETTINGS_BYTES;
    const size_t unitCount = (size - SETTINGS_BYTES) / 2;
    size_t length = 0;
    while (length < unitCount && (bytes[2 * length] | bytes[2 * length + 1]) != 0)
        ++length;
    // Exactly length units on the heap, so any read beyond them is caught.
    std::unique_ptr<char16_t[]> text(new char16_t[length > 0 ? length : 1]);
    for (size_t i = 0; i < length; ++i)
        text[i] = static_cast<char16_t>(bytes[2 * i] | bytes[2 * i + 1] << 8);

    std::unique_ptr<char[]> digits(new char[DIGITS_BUFFER_SIZE]);
    std::memset(digits.get(), UNTOUCHED, DIGITS_BUFFER_SIZE);
    const int result = scanText(text.get(), static_cast<int32_t>(length), config, digits.get());

    if (std::memcmp(&before, &config, sizeof config) != 0)
        fail("the settings changed");
    if (result != 0 && result != 1)
        fail("result is neither 0 nor 1");
    if (result == 0) {
        for (size_t i = 0; i < DIGITS_BUFFER_SIZE; ++i) {
            if (static_cast<unsigned char>(digits[i]) != UNTOUCHED)
                fail("digits written on 0");
        }
    } else {
        size_t count = 0;
        while (count < DIGITS_BUFFER_SIZE && digits[count] != '\0') {
            if (digits[count] < '0' || digits[count] > '9')
                fail("a non-digit in the result");
            ++count;
        }
        if (count < 1 || count > 19)
            fail("not 1 to 19 digits");
        const uint64_t value = std::strtoull(digits.get(), nullptr, 10);
        if (value >= BIT_63)
            fail("value not below 2^63");
        if (!isPrimeWide(value))
            fail("value not prime");
    }

    char expected[DIGITS_BUFFER_SIZE];
    const int expectedResult = expectedScan(text.get(), static_cast<int32_t>(length), config, expected);
    if (result != expectedResult)
        fail("result differs from the word-wise reading");
    if (result == 1 && std::strcmp(expected, digits.get()) != 0)
        fail("digits differ from the word-wise reading");
    return 0;
}
