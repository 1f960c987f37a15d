#include <gtest/gtest.h>

#include <climits>
#include <cstring>
#include <string>

#include "prime/scanner.h"

namespace {

const char NOTHING[] = "(none)";

Config defaults()
{
    Config config{};
    setDefaultConfig(config);
    return config;
}

// The digits that scanText finds, or NOTHING. Checks the result contract on
// the way: 1 writes a NUL-terminated string within the 20 bytes, 0 leaves the
// buffer exactly as it was.
std::string scan(const std::u16string& text, const Config& config = defaults())
{
    char digits[DIGITS_BUFFER_SIZE + 8];
    std::memset(digits, '#', sizeof digits);
    const int result = scanText(text.data(), static_cast<int32_t>(text.size()), config, digits);
    for (size_t i = DIGITS_BUFFER_SIZE; i < sizeof digits; ++i)
        EXPECT_EQ(digits[i], '#') << "wrote past the 20-byte buffer";
    if (result == 0) {
        for (char byte : digits)
            EXPECT_EQ(byte, '#') << "buffer changed although nothing was found";
        return NOTHING;
    }
    EXPECT_EQ(result, 1);
    EXPECT_NE(std::memchr(digits, '\0', DIGITS_BUFFER_SIZE), nullptr);
    return digits;
}

std::u16string repeat(char16_t unit, size_t count)
{
    return std::u16string(count, unit);
}

Config with(int32_t Config::*field, int32_t value, Config config = defaults())
{
    config.*field = value;
    return config;
}

}  // namespace

TEST(ScanText, RunsAndSeparators)
{
    EXPECT_EQ(scan(u""), NOTHING);
    EXPECT_EQ(scan(u"no digits here"), NOTHING);
    EXPECT_EQ(scan(u"2"), "2");  // a run at the very end is evaluated
    EXPECT_EQ(scan(u"0"), NOTHING);
    EXPECT_EQ(scan(u"1"), NOTHING);
    EXPECT_EQ(scan(u"-7"), "7");
    EXPECT_EQ(scan(u"007"), "007");  // leading zeros stay in the result
    EXPECT_EQ(scan(u"4 6 11 13"), "11");  // the first prime in reading order
    EXPECT_EQ(scan(u"x9y8z5"), "5");
    // Digits of other scripts and surrogate halves are separators.
    EXPECT_EQ(scan(u"\u0661\u0662\u0667"), NOTHING);
    EXPECT_EQ(scan(u"\xD835\xDFD5" u"3"), "3");
}

TEST(ScanText, Commas)
{
    EXPECT_EQ(scan(u"価格は1,009円です"), "1009");
    EXPECT_EQ(scan(u"1,008"), NOTHING);
    EXPECT_EQ(scan(u"8,"), NOTHING);  // the trailing comma stays in the run
    EXPECT_EQ(scan(u",7"), "7");      // a comma before the first digit starts nothing
    EXPECT_EQ(scan(u"0,0,7"), "007");
    EXPECT_EQ(scan(u"9,223,372,036,854,775,783"), "9223372036854775783");
    // Commas do not count toward the 19 digits, digits do.
    EXPECT_EQ(scan(u"92,233,720,368,547,757,830 5"), "5");

    const Config commasSeparate = with(&Config::ignoreComma, 0);
    EXPECT_EQ(scan(u"2,3", commasSeparate), "2");
    EXPECT_EQ(scan(u"1,013", commasSeparate), "013");
    EXPECT_EQ(scan(u"1,009", commasSeparate), NOTHING);
}

TEST(ScanText, PeriodsSplitNumbers)
{
    EXPECT_EQ(scan(u"3.14"), "3");
    EXPECT_EQ(scan(u"4.13"), "13");
    EXPECT_EQ(scan(u"1.1.1.17"), "17");
    // A dropped run of twenty digits ends at the period.
    EXPECT_EQ(scan(repeat(u'1', 20) + u".7"), "7");
}

TEST(ScanText, PeriodsMarkFractions)
{
    const Config fractions = with(&Config::stopOnPeriod, 0);
    EXPECT_EQ(scan(u"3.14", fractions), NOTHING);
    EXPECT_EQ(scan(u"7.", fractions), NOTHING);
    EXPECT_EQ(scan(u".5", fractions), NOTHING);
    EXPECT_EQ(scan(u"1. 5", fractions), "5");  // the blank ends the discarding
    EXPECT_EQ(scan(u"2.5.3 11", fractions), "11");
    EXPECT_EQ(scan(repeat(u'1', 20) + u".7", fractions), NOTHING);
}

TEST(ScanText, FullWidthForms)
{
    EXPECT_EQ(scan(u"１２７"), NOTHING);
    const Config wide = with(&Config::enableWideNumber, 1);
    EXPECT_EQ(scan(u"１２７", wide), "127");
    EXPECT_EQ(scan(u"1２7", wide), "127");  // mixed widths make one run
    EXPECT_EQ(scan(u"１２７", with(&Config::enableWideNumber, -1)), "127");

    // The full-width comma joins digits only with both settings on.
    EXPECT_EQ(scan(u"1，3", wide), "13");
    EXPECT_EQ(scan(u"1，3"), "3");
    EXPECT_EQ(scan(u"1，3", with(&Config::ignoreComma, 0, wide)), "3");

    // The full-width full stop is a period only with wide forms on.
    EXPECT_EQ(scan(u"1．3", with(&Config::stopOnPeriod, 0, wide)), NOTHING);
    EXPECT_EQ(scan(u"1．3", wide), "3");
    EXPECT_EQ(scan(u"4．3", with(&Config::stopOnPeriod, 0)), "3");
}

TEST(ScanText, NineteenDigitsAndTheBoundAt2To63)
{
    EXPECT_EQ(scan(u"0000000000000000007"), "0000000000000000007");
    EXPECT_EQ(scan(u"00000000000000000007"), NOTHING);
    // Twenty digits are dropped whole: no shorter piece is tested, even when
    // the first nineteen form a prime.
    EXPECT_EQ(scan(u"12345678901234567890"), NOTHING);
    EXPECT_EQ(scan(u"92233720368547757830"), NOTHING);
    EXPECT_EQ(scan(u"9223372036854775783"), "9223372036854775783");
    // 2^63 + 29 is prime but out of range: passed over, and the walk goes on.
    EXPECT_EQ(scan(u"9223372036854775837"), NOTHING);
    EXPECT_EQ(scan(u"9223372036854775837 7"), "7");
    EXPECT_EQ(scan(u"9999999999999999999 2"), "2");
}

TEST(ScanText, SizeCapCutsTheText)
{
    const Config oneKb = with(&Config::readMax, 1);  // 512 units
    // The cut falls right after "13": the run is open at the cut and never
    // evaluated, for the unit beyond it is not looked at.
    EXPECT_EQ(scan(repeat(u'a', 510) + u"13" + repeat(u'b', 100), oneKb), NOTHING);
    EXPECT_EQ(scan(repeat(u'a', 509) + u"13 " + repeat(u'b', 100), oneKb), "13");
    EXPECT_EQ(scan(repeat(u'a', 510) + u"13", oneKb), "13");  // exactly the cap: not cut
    EXPECT_EQ(scan(repeat(u'a', 511) + u"13", oneKb), NOTHING);
    EXPECT_EQ(scan(repeat(u'a', 600) + u"13", oneKb), NOTHING);

    // The default cap is 8192 units.
    EXPECT_EQ(scan(repeat(u' ', 8190) + u"13"), "13");
    EXPECT_EQ(scan(repeat(u' ', 8191) + u"13"), NOTHING);
}

TEST(ScanText, NoReadOverMaxSkipsLongTexts)
{
    const Config skip = with(&Config::noReadOverMax, 1, with(&Config::readMax, 1));
    EXPECT_EQ(scan(u"7" + repeat(u' ', 512), skip), NOTHING);  // 513 units
    EXPECT_EQ(scan(u"7" + repeat(u' ', 511), skip), "7");      // 512 units
    EXPECT_EQ(scan(u"7" + repeat(u' ', 512), with(&Config::noReadOverMax, 5, skip)), NOTHING);
    // Without a cap the setting changes nothing.
    EXPECT_EQ(scan(repeat(u' ', 20000) + u"7", with(&Config::readMax, 0, skip)), "7");
}

TEST(ScanText, ReadMaxOutOfRangeMeansNoCap)
{
    const std::u16string longText = repeat(u'x', 100000) + u"11";
    for (int32_t readMax : {0, -1, -5, INT32_MIN, 2097152, INT32_MAX}) {
        EXPECT_EQ(scan(longText, with(&Config::readMax, readMax)), "11") << readMax;
        EXPECT_EQ(scan(longText, with(&Config::noReadOverMax, 1, with(&Config::readMax, readMax))),
                  "11") << readMax;
    }
    // The largest cap, 1073741312 units, is far above this text.
    EXPECT_EQ(scan(longText, with(&Config::readMax, 2097151)), "11");
}
