// checkClipboard on the real clipboard: each kind of content, read within its block and released.
#include "prime/clipboard.h"
#include "windows_harness.h"

TEST(CheckClipboard, FindsThePrimeInTheUnicodeTextWithinItsBlockAndReleasesEverything)
{
    const Config config{0, 16, 0, 0, 1, 1, 0, "prime.wav"};
    auto units
        = [](std::wstring text) { return std::string(LPCSTR(text.c_str()), text.size() * 2 + 2); };
    // Shift-JIS 価格 131 as ANSI text; a block of four bytes, "13", without a NUL before "17"
    const std::tuple<UINT, std::string, SIZE_T, const char*> rows[]
        = {{CF_UNICODETEXT, units(L"価格は1,009円です"), 0, "1009"},
            {CF_UNICODETEXT, units(std::wstring(3000000, L'x') + L" 13"), 0, ""},
            {CF_TEXT, "\x89\xBF\x8A\x69 131", 0, "131"}, {CF_DIB, "no text", 0, ""},
            {CF_UNICODETEXT, units(L"1317"), 4, "13"}};
    for (const auto& [format, bytes, blockBytes, prime] : rows) {
        putClipboard(format, bytes.c_str(), bytes.size() + 1);
        std::string digits(20, '?');
        g_blockBytes = blockBytes;
        const int found = checkClipboard(nullptr, digits.data(), config);
        g_blockBytes = 0;
        const std::string expected = *prime ? prime : std::string(20, '?');
        EXPECT_EQ(std::to_string(found) + digits.c_str(), std::to_string(*prime != 0) + expected)
            << "format " << format << ", " << bytes.size() << " bytes";
        EXPECT_EQ(g_held, 0) << "a copy, a lock or the clipboard not released";
    }
}
