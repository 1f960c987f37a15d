#include <gtest/gtest.h>

#include <windows.h>
#include <psapi.h>

#include <cstring>
#include <string>
#include <thread>

#include "prime/clipboard.h"
#include "prime/scanner.h"

namespace {

const char UNTOUCHED = '#';
const char NOTHING[] = "(none)";
const size_t HUGE_UNITS = 32u * 1024 * 1024;  // 64 MiB of UTF-16

HWND createMessageWindow()
{
    return CreateWindowExA(0, "STATIC", "clipboard test", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                           GetModuleHandleA(nullptr), nullptr);
}

// A clipboard left open by this thread would still open here, so ask
// another thread.
bool openableFromAnotherThread()
{
    BOOL opened = FALSE;
    std::thread other([&] {
        HWND otherWindow = createMessageWindow();
        opened = OpenClipboard(otherWindow);
        if (opened)
            CloseClipboard();
        DestroyWindow(otherWindow);
    });
    other.join();
    return opened != FALSE;
}

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

// Private memory: PagefileUsage is the private commit on Windows and the
// anonymous resident memory under Wine, which leaves PrivateUsage at 0.
size_t privateBytes()
{
    PROCESS_MEMORY_COUNTERS counters{};
    counters.cb = sizeof counters;
    GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof counters);
    return counters.PagefileUsage;
}

class CheckClipboard : public ::testing::Test {
protected:
    void SetUp() override
    {
        window = createMessageWindow();
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

    // Replaces the clipboard's content with one block of exactly these bytes.
    void put(UINT format, const void* data, size_t size)
    {
        ASSERT_TRUE(OpenClipboard(window));
        EmptyClipboard();
        HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, size);
        ASSERT_NE(block, nullptr);
        std::memcpy(GlobalLock(block), data, size);
        GlobalUnlock(block);
        EXPECT_NE(SetClipboardData(format, block), nullptr);
        CloseClipboard();
    }

    void putText(const std::u16string& text)
    {
        put(CF_UNICODETEXT, text.c_str(), (text.size() + 1) * sizeof(char16_t));
    }

    // The digits checkClipboard finds, or NOTHING. Checks the result contract
    // on the way: 1 to 19 ASCII digits and a NUL within the 20 bytes on 1, the
    // buffer untouched on 0, and the clipboard closed and unlocked either way.
    std::string check(const Config& config = defaults())
    {
        char digits[DIGITS_BUFFER_SIZE + 12];
        std::memset(digits, UNTOUCHED, sizeof digits);
        // checkClipboard does not retry, so let another user of the desktop's
        // clipboard finish first.
        for (int wait = 0; wait < 200 && GetOpenClipboardWindow() != nullptr; ++wait)
            Sleep(50);
        const int result = checkClipboard(window, digits, config);
        expectClipboardReleased();
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
        EXPECT_EQ(std::strspn(digits, "0123456789"), length);
        return std::string(digits, length);
    }

    void expectClipboardReleased()
    {
        ASSERT_TRUE(openableFromAnotherThread()) << "the clipboard was left open";
        ASSERT_TRUE(OpenClipboard(window));
        if (HANDLE text = GetClipboardData(CF_UNICODETEXT)) {
            EXPECT_EQ(GlobalFlags(text) & GMEM_LOCKCOUNT, 0u) << "the text was left locked";
        }
        CloseClipboard();
    }

    HWND window = nullptr;
};

// 64 MiB of "10 " runs (none prime) that ends in the prime 97.
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

TEST_F(CheckClipboard, FindsThePrimeInTheText)
{
    putText(u"価格は1,009円です");
    EXPECT_EQ(check(), "1009");
    EXPECT_EQ(check(), "1009") << "nothing is remembered between checks";
    putText(u"4 6 8 1,008");
    EXPECT_EQ(check(), NOTHING);
    putText(u"");
    EXPECT_EQ(check(), NOTHING);
}

TEST_F(CheckClipboard, ReadsAnsiTextThroughThePlatformsUnicodeForm)
{
    // Shift-JIS "価格は1,009円です" as CF_TEXT only; the platform offers it as
    // Unicode text, converted under code page 932.
    const char shiftJis[] = "\x89\xbf\x8a\x69\x82\xcd" "1,009" "\x89\x7e\x82\xc5\x82\xb7";
    put(CF_TEXT, shiftJis, sizeof shiftJis);
    EXPECT_EQ(check(), "1009");
}

TEST_F(CheckClipboard, NoTextOnTheClipboard)
{
    const char data[] = "17 19 23";
    put(RegisterClipboardFormatA("Tramolivenga test data"), data, sizeof data);
    ASSERT_FALSE(IsClipboardFormatAvailable(CF_UNICODETEXT));
    EXPECT_EQ(check(), NOTHING);
}

TEST_F(CheckClipboard, ClipboardHeldByAnotherThread)
{
    putText(u"13");
    HANDLE opened = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    HANDLE release = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    std::thread holder([&] {
        HWND other = createMessageWindow();
        const BOOL held = OpenClipboard(other);
        SetEvent(opened);
        WaitForSingleObject(release, 10000);
        if (held)
            CloseClipboard();
        DestroyWindow(other);
    });
    WaitForSingleObject(opened, 10000);

    char digits[DIGITS_BUFFER_SIZE];
    std::memset(digits, UNTOUCHED, sizeof digits);
    EXPECT_EQ(checkClipboard(window, digits, defaults()), 0);
    EXPECT_EQ(digits[0], UNTOUCHED);

    SetEvent(release);
    holder.join();
    CloseHandle(opened);
    CloseHandle(release);
    EXPECT_EQ(check(), "13") << "the clipboard is free again";
}

TEST_F(CheckClipboard, TextOverTheCap)
{
    putText(u"7" + std::u16string(600, u' '));
    const Config oneKb = with(&Config::readMax, 1);
    EXPECT_EQ(check(with(&Config::noReadOverMax, 1, oneKb)), NOTHING);
    EXPECT_EQ(check(oneKb), "7") << "cut to 512 units, which still hold the 7";

    // 64 MiB under the default cap: only the first 8,192 units count.
    std::u16string text(HUGE_UNITS, u'x');
    text[8189] = u'1';
    text[8190] = u'3';
    text[HUGE_UNITS - 1] = u'7';
    putText(text);
    EXPECT_EQ(check(), "13");
    text[8189] = text[8190] = u'x';
    text[8191] = u'1';
    text[8192] = u'3';
    putText(text);
    EXPECT_EQ(check(), NOTHING) << "the run 13 straddles the cut; 7 lies beyond it";
    EXPECT_EQ(check(with(&Config::readMax, 0)), "13");
}

TEST_F(CheckClipboard, HugeTextIsScannedWholeWithoutACap)
{
    putText(hugeTextEndingInAPrime());
    EXPECT_EQ(check(), NOTHING);
    for (int32_t readMax : {0, -1, INT32_MIN, 2097152, 2097151}) {
        SCOPED_TRACE(readMax);
        EXPECT_EQ(check(with(&Config::noReadOverMax, 1, with(&Config::readMax, readMax))), "97");
    }
    // One 64 MiB digit run is dropped at its twentieth digit; commas over
    // 64 MiB keep two digits in one run.
    std::u16string text(HUGE_UNITS, u'3');
    putText(text);
    const Config noCap = with(&Config::readMax, 0);
    EXPECT_EQ(check(noCap), NOTHING);
    std::fill(text.begin(), text.end(), u',');
    text[0] = u'1';
    text[HUGE_UNITS - 1] = u'3';
    putText(text);
    EXPECT_EQ(check(noCap), "13");
}

TEST_F(CheckClipboard, PrivateCopyIsFreedOnEveryPath)
{
    // A leaked copy of a 64 MiB text shows as 64 MiB more private memory per
    // call; the rounds below would add several hundred.
    const std::u16string prime = hugeTextEndingInAPrime();
    std::u16string composite = prime;
    composite[HUGE_UNITS - 1] = u'1';  // 91 = 7 x 13
    const Config noCap = with(&Config::readMax, 0);
    putText(prime);
    EXPECT_EQ(check(noCap), "97");  // warms up the heap and the clipboard cache
    const size_t before = privateBytes();
    ASSERT_GT(before, 0u);
    for (int round = 0; round < 2; ++round) {
        putText(prime);
        EXPECT_EQ(check(noCap), "97");
        EXPECT_EQ(check(with(&Config::noReadOverMax, 1)), NOTHING);
        EXPECT_EQ(check(), NOTHING);
        putText(composite);
        EXPECT_EQ(check(noCap), NOTHING);
    }
    putText(u"");
    EXPECT_LT(privateBytes(), before + HUGE_UNITS * 2);
}

TEST_F(CheckClipboard, OddUnits)
{
    const char16_t high = 0xD800, low = 0xDC00;
    struct Case {
        std::u16string text;
        const char* expected;
    };
    const Case cases[] = {
        // The text ends at the first NUL unit.
        {std::u16string(u"8\0 7 11", 7), NOTHING},
        {std::u16string(u"1\0" u"3", 3), NOTHING},
        {std::u16string(u"1,0\0" u"09", 6), NOTHING},
        {std::u16string(u"2\0\0\0" u"4", 5), "2"},
        // Lone or misordered surrogates are separators.
        {std::u16string(1, high) + u"13", "13"},
        {u"1" + std::u16string(1, low) + u"3", "3"},
        {u"2" + std::u16string({low, high}) + u"3", "2"},
    };
    for (const Case& test : cases) {
        putText(test.text);
        EXPECT_EQ(check(), test.expected) << test.text.size() << " units";
    }
    // A block without its final NUL: the platform ends the text inside it.
    const char16_t noNul[] = {u'x', u'1', u'3'};
    put(CF_UNICODETEXT, noNul, sizeof noNul);
    const std::string found = check();
    EXPECT_TRUE(found == "13" || found == NOTHING) << found;
}

TEST_F(CheckClipboard, EveryFullWidthForm)
{
    // "1", full-width digit k, then an ASCII digit that makes the three a prime.
    const char lastDigit[10] = {'1', '3', '7', '1', '9', '1', '3', '3', '1', '1'};
    const Config wide = with(&Config::enableWideNumber, 1);
    for (int k = 0; k < 10; ++k) {
        std::u16string text = u"1";
        text += static_cast<char16_t>(0xFF10 + k);
        text += static_cast<char16_t>(lastDigit[k]);
        putText(text);
        EXPECT_EQ(check(wide), std::string({'1', static_cast<char>('0' + k), lastDigit[k]}));
    }
    // The full-width comma and full stop under every setting.
    for (int mask = 0; mask < 8; ++mask) {
        SCOPED_TRACE(mask);
        const bool isWide = mask & 1, ignoreComma = mask & 2, stopOnPeriod = mask & 4;
        Config config = defaults();
        config.enableWideNumber = isWide ? -1 : 0;
        config.ignoreComma = ignoreComma ? 7 : 0;
        config.stopOnPeriod = stopOnPeriod ? INT32_MIN : 0;
        putText(u"1\uFF0C3");
        EXPECT_EQ(check(config), isWide && ignoreComma ? "13" : "3");
        putText(u"1\uFF0E3");
        EXPECT_EQ(check(config), isWide && !stopOnPeriod ? NOTHING : "3");
    }
}
