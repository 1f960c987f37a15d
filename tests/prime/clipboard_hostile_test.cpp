#include <gtest/gtest.h>

#include <windows.h>
#include <psapi.h>

#include <cstring>
#include <string>
#include <vector>

#include "prime/clipboard.h"
#include "prime/scanner.h"

// Clipboard content that no well-behaved program would put there: huge
// texts, NUL units inside the block, blocks without a final NUL, lone
// surrogates and the full-width forms next to the ones that count.

namespace {

const char UNTOUCHED = '#';
const char NOTHING[] = "(none)";

// 64 MiB of UTF-16 text.
const size_t HUGE_UNITS = 32u * 1024 * 1024;

Config defaults()
{
    Config config{};
    setDefaultConfig(config);
    return config;
}

Config with(int32_t Config::*field, int32_t value, Config config = defaults())
{
    config.*field = value;
    return config;
}

// The process's private memory as the platform counts it.
// The process's private memory: PagefileUsage is the private commit on
// Windows and the anonymous resident memory under Wine, which leaves
// PrivateUsage at 0.
size_t privateBytes()
{
    PROCESS_MEMORY_COUNTERS counters{};
    counters.cb = sizeof counters;
    GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof counters);
    return counters.PagefileUsage;
}

class HostileClipboard : public ::testing::Test {
protected:
    void SetUp() override
    {
        window = CreateWindowExA(0, "STATIC", "hostile clipboard test", 0, 0, 0, 0, 0, HWND_MESSAGE,
                                 nullptr, GetModuleHandleA(nullptr), nullptr);
        ASSERT_NE(window, nullptr);
    }

    void TearDown() override
    {
        // Leave no 64 MiB block behind for the next test.
        if (OpenClipboard(window)) {
            EmptyClipboard();
            CloseClipboard();
        }
        DestroyWindow(window);
    }

    // Replaces the clipboard's content with one CF_UNICODETEXT block of
    // exactly these bytes: no NUL is added.
    void putBytes(const void* data, size_t size)
    {
        ASSERT_TRUE(OpenClipboard(window));
        EmptyClipboard();
        HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, size);
        ASSERT_NE(block, nullptr);
        std::memcpy(GlobalLock(block), data, size);
        GlobalUnlock(block);
        EXPECT_NE(SetClipboardData(CF_UNICODETEXT, block), nullptr);
        CloseClipboard();
    }

    // The units as they stand, then a NUL.
    void putText(const std::u16string& text) { putBytes(text.c_str(), (text.size() + 1) * sizeof(char16_t)); }

    // The digits that checkClipboard finds, or NOTHING. Checks the result
    // contract on the way: at most 19 ASCII digits and a NUL within the
    // 20 bytes on 1, the buffer untouched on 0.
    std::string check(const Config& config = defaults())
    {
        char digits[DIGITS_BUFFER_SIZE + 12];
        std::memset(digits, UNTOUCHED, sizeof digits);
        // Another clipboard user of the desktop may still hold the clipboard
        // after a change, and checkClipboard does not retry.
        for (int wait = 0; wait < 200 && GetOpenClipboardWindow() != nullptr; ++wait)
            Sleep(50);
        const int result = checkClipboard(window, digits, config);
        for (size_t i = DIGITS_BUFFER_SIZE; i < sizeof digits; ++i)
            EXPECT_EQ(digits[i], UNTOUCHED) << "wrote past the 20-byte buffer";
        if (result == 0) {
            for (char byte : digits)
                EXPECT_EQ(byte, UNTOUCHED) << "buffer changed although nothing was found";
            return NOTHING;
        }
        EXPECT_EQ(result, 1);
        const size_t length = strnlen(digits, DIGITS_BUFFER_SIZE);
        EXPECT_GE(length, 1u);
        EXPECT_LE(length, 19u);
        for (size_t i = 0; i < length; ++i)
            EXPECT_TRUE(digits[i] >= '0' && digits[i] <= '9') << "not an ASCII digit at " << i;
        return std::string(digits, length);
    }

    HWND window = nullptr;
};

// A 64 MiB text of "10 " runs (none prime) that ends in the prime 97.
std::u16string hugeTextEndingInAPrime()
{
    std::u16string text(HUGE_UNITS, u' ');
    for (size_t i = 0; i + 3 <= HUGE_UNITS - 2; i += 3) {
        text[i] = u'1';
        text[i + 1] = u'0';
    }
    text[HUGE_UNITS - 2] = u'9';
    text[HUGE_UNITS - 1] = u'7';
    return text;
}

}  // namespace

TEST_F(HostileClipboard, HugeTextIsCutAtTheDefaultCap)
{
    // Only the first 8,192 units count: a prime that ends inside them is found,
    // one still open at the cut is not, and nothing further on is looked at.
    std::u16string text(HUGE_UNITS, u'x');
    text[8189] = u'1';
    text[8190] = u'3';
    text[HUGE_UNITS - 1] = u'7';
    putText(text);
    EXPECT_EQ(check(), "13");

    text[8189] = u'x';
    text[8190] = u'x';
    text[8191] = u'1';
    text[8192] = u'3';
    putText(text);
    EXPECT_EQ(check(), NOTHING) << "the run 13 straddles the cut; 7 lies beyond it";
    EXPECT_EQ(check(with(&Config::readMax, 0)), "13");
    EXPECT_EQ(check(with(&Config::noReadOverMax, 1)), NOTHING);
}

TEST_F(HostileClipboard, HugeTextIsScannedWholeWithoutACap)
{
    putText(hugeTextEndingInAPrime());
    EXPECT_EQ(check(), NOTHING);
    for (int32_t readMax : {0, -1, INT32_MIN, 2097152, INT32_MAX, 2097151}) {
        SCOPED_TRACE(readMax);
        EXPECT_EQ(check(with(&Config::readMax, readMax)), "97");
        EXPECT_EQ(check(with(&Config::noReadOverMax, 1, with(&Config::readMax, readMax))), "97");
    }
}

TEST_F(HostileClipboard, HugeRunsWithoutACap)
{
    const Config noCap = with(&Config::readMax, 0);
    // One digit run of 64 MiB: dropped at its 20th digit, discarded to the end.
    std::u16string text(HUGE_UNITS, u'3');
    putText(text);
    EXPECT_EQ(check(noCap), NOTHING);
    text[HUGE_UNITS - 2] = u' ';
    text[HUGE_UNITS - 1] = u'7';
    putText(text);
    EXPECT_EQ(check(noCap), "7");

    // Two digits 64 MiB of commas apart are one run; the commas neither count
    // as digits nor reach the digit buffer.
    std::fill(text.begin(), text.end(), u',');
    text[0] = u'1';
    text[HUGE_UNITS - 1] = u'3';
    putText(text);
    EXPECT_EQ(check(noCap), "13");
    // Nineteen digits spread over the whole text: still one run.
    for (size_t i = 0; i < 18; ++i)
        text[i * (HUGE_UNITS / 18)] = u'0';
    text[HUGE_UNITS - 1] = u'7';
    putText(text);
    EXPECT_EQ(check(noCap), "0000000000000000007");
    // A twentieth drops the run.
    text[HUGE_UNITS - 2] = u'0';
    putText(text);
    EXPECT_EQ(check(noCap), NOTHING);
}

TEST_F(HostileClipboard, PrivateCopyIsFreedOnEveryPath)
{
    // A leaked copy of a 64 MiB text would show as 64 MiB more private memory
    // per call; the rounds below would add several hundred.
    std::u16string prime = hugeTextEndingInAPrime();
    std::u16string composite = prime;
    composite[HUGE_UNITS - 1] = u'1';  // 91 = 7 x 13
    const Config noCap = with(&Config::readMax, 0);
    const Config skipOverCap = with(&Config::noReadOverMax, 1);

    putText(prime);
    EXPECT_EQ(check(noCap), "97");  // warms up the heap and the clipboard cache
    const size_t before = privateBytes();
    ASSERT_GT(before, 0u);
    for (int round = 0; round < 2; ++round) {
        putText(prime);
        EXPECT_EQ(check(noCap), "97");           // a prime
        EXPECT_EQ(check(skipOverCap), NOTHING);  // over the cap, not scanned
        EXPECT_EQ(check(), NOTHING);             // cut, nothing in the cut
        putText(composite);
        EXPECT_EQ(check(noCap), NOTHING);  // scanned whole, no prime
    }
    putText(u"");
    const size_t after = privateBytes();
    EXPECT_LT(after, before + HUGE_UNITS * 2) << "before " << before << " after " << after;
}

TEST_F(HostileClipboard, TextEndsAtTheFirstNul)
{
    struct Case {
        std::u16string text;
        const char* expected;
    };
    const Case cases[] = {
        {std::u16string(u"8\0 7 11", 7), NOTHING},
        {std::u16string(u"1\0" u"3", 3), NOTHING},  // neither 3 nor 13: the text is "1"
        {std::u16string(u"\0" u"13", 3), NOTHING},  // an empty text
        {std::u16string(u"2\0\0\0" u"4", 5), "2"},
        {std::u16string(u"1,0\0" u"09", 6), NOTHING},  // 10, not 1009
    };
    for (const Case& test : cases) {
        putText(test.text);
        EXPECT_EQ(check(), test.expected) << test.text.size() << " units";
    }
    // With the cap off nothing past the NUL is read either.
    std::u16string longTail(u"4\0", 2);
    longTail += std::u16string(100000, u'x') + u"13";
    putText(longTail);
    EXPECT_EQ(check(with(&Config::readMax, 0)), NOTHING);
}

TEST_F(HostileClipboard, BlocksWithoutAFinalNul)
{
    // A writer that leaves the NUL out, or writes half a unit, gets a text
    // that the platform ends inside the block (Wine gives up the last unit
    // for the NUL); nothing beyond the block may reach the scan.
    const char16_t noNul[] = {u'x', u'1', u'3'};
    putBytes(noNul, sizeof noNul);
    std::string found = check();
    EXPECT_TRUE(found == "13" || found == NOTHING) << found;

    const char halfUnit[] = {'1', '\0', '7', '\0', '3'};
    putBytes(halfUnit, sizeof halfUnit);
    found = check();
    EXPECT_TRUE(found == "17" || found == NOTHING) << found;

    const char oneByte[] = {'5'};
    putBytes(oneByte, sizeof oneByte);
    EXPECT_EQ(check(), NOTHING);

    const char16_t digitsOnly[] = {u'1', u'9'};
    putBytes(digitsOnly, sizeof digitsOnly);
    found = check();
    EXPECT_TRUE(found == "19" || found == NOTHING) << found;
}

TEST_F(HostileClipboard, LoneSurrogatesAreSeparators)
{
    const char16_t high = 0xD800, low = 0xDC00, lastHigh = 0xDBFF, lastLow = 0xDFFF;
    struct Case {
        std::u16string text;
        const char* expected;
    };
    const Case cases[] = {
        {std::u16string(1, high) + u"13", "13"},
        {u"13" + std::u16string(1, lastHigh), "13"},  // a high surrogate ends the text
        {u"1" + std::u16string(1, low) + u"3", "3"},  // 1, then 3: not 13
        {u"4" + std::u16string(1, lastLow) + u"9" + std::u16string(1, high) + u"11", "11"},
        {u"2" + std::u16string({low, high}) + u"3", "2"},  // a pair in the wrong order
        {u"4" + std::u16string({high, high, low, low}) + u"6,1" + std::u16string(1, high), "61"},
    };
    for (const Case& test : cases) {
        putText(test.text);
        EXPECT_EQ(check(), test.expected) << test.text.size() << " units";
    }
}

TEST_F(HostileClipboard, EveryFullWidthDigit)
{
    // "1", the full-width digit k, then an ASCII digit that makes 1k? prime.
    const char lastDigit[10] = {'1', '3', '7', '1', '9', '1', '3', '3', '1', '1'};
    const Config wide = with(&Config::enableWideNumber, 1);
    for (int k = 0; k < 10; ++k) {
        std::u16string text = u"1";
        text += static_cast<char16_t>(0xFF10 + k);
        text += static_cast<char16_t>(lastDigit[k]);
        putText(text);
        const std::string expected = {'1', static_cast<char>('0' + k), lastDigit[k]};
        EXPECT_EQ(check(wide), expected) << "full-width " << k;
        // Off: the full-width digit separates 1 from the last digit.
        const bool lastIsPrime = lastDigit[k] == '3' || lastDigit[k] == '7';
        EXPECT_EQ(check(), lastIsPrime ? std::string(1, lastDigit[k]) : NOTHING) << "full-width " << k;
    }
}

TEST_F(HostileClipboard, FullWidthCommaAndFullStopUnderEverySetting)
{
    for (int mask = 0; mask < 8; ++mask) {
        Config config = defaults();
        config.enableWideNumber = mask & 1 ? -1 : 0;
        config.ignoreComma = mask & 2 ? 7 : 0;
        config.stopOnPeriod = mask & 4 ? INT32_MIN : 0;
        SCOPED_TRACE(mask);
        const bool wide = mask & 1, ignoreComma = mask & 2, stopOnPeriod = mask & 4;

        putText(u"1\uFF0C3");  // full-width comma
        EXPECT_EQ(check(config), wide && ignoreComma ? "13" : "3");
        putText(u"1\uFF0E3");  // full-width full stop
        EXPECT_EQ(check(config), wide && !stopOnPeriod ? NOTHING : "3");
        putText(u"1\uFF0E");
        EXPECT_EQ(check(config), NOTHING);
    }
}

TEST_F(HostileClipboard, FullWidthNeighboursNeverCount)
{
    // The forms around the digits, full stop and comma, and the digits of
    // other scripts, separate under every setting.
    const char16_t neighbours[] = {0xFF0B, 0xFF0D, 0xFF0F, 0xFF1A, 0xFF1B, 0xFF0A, 0xFF61, 0xFF64,
                                   0x3002, 0x3001, 0x0660, 0x0967, 0x00B9, 0x2081, 0x2460, 0xFFFF};
    Config everything = defaults();
    everything.enableWideNumber = 1;
    everything.ignoreComma = 1;
    everything.stopOnPeriod = 0;
    for (char16_t unit : neighbours) {
        std::u16string text = u"1";
        text += unit;
        text += u"3";
        putText(text);
        EXPECT_EQ(check(everything), "3") << std::hex << unit;
    }
}

TEST_F(HostileClipboard, EveryUnitOnce)
{
    // Units 1 to 0xFFFF in order hold "0123456789" twice (ASCII and full
    // width): 123456789 = 3 x 3 x 3607 x 3803, so nothing is prime, and the
    // appended 11 is found only once the whole text has been read.
    std::u16string text;
    for (unsigned unit = 1; unit <= 0xFFFF; ++unit)
        text += static_cast<char16_t>(unit);
    text += u"11";
    putText(text);
    const Config noCap = with(&Config::readMax, 0);
    EXPECT_EQ(check(noCap), "11");
    EXPECT_EQ(check(with(&Config::enableWideNumber, 1, noCap)), "11");
    EXPECT_EQ(check(), NOTHING) << "cut at 8,192 units";
}
