// checkClipboard with the real clipboard: what it finds in each kind of content,
// always releasing the clipboard, the text and its copy.
#include "prime/clipboard.h"
#include "windows_harness.h"

TEST(CheckClipboard, ReadsTheUnicodeTextAndReleasesEverything)
{
    Config config;
    setDefaultConfig(config);
    auto units = [](const std::wstring& text) {
        return std::string(reinterpret_cast<const char*>(text.c_str()), text.size() * 2 + 2);
    };
    const struct {
        UINT format;
        std::string bytes;
        const char* expected;
    } rows[] = {
        {CF_UNICODETEXT, units(L"価格は1,009円です"), "1009"},
        {CF_UNICODETEXT, units(std::wstring(3000000, L'x') + L" 13"), ""},
        {CF_TEXT, "\x89\xBF\x8A\x69 131", "131"},
        {CF_DIB, std::string(40, '\0'), ""},  // Shift-JIS 価格 131, and no text
    };
    for (const auto& row : rows) {
        putClipboard(row.format, row.bytes.c_str(), row.bytes.size() + 1);
        std::string digits(20, '?');
        const int held = g_held;
        EXPECT_EQ(checkClipboard(nullptr, digits.data(), config), *row.expected != '\0');
        EXPECT_EQ(std::string(digits.c_str()), *row.expected ? row.expected : std::string(20, '?'));
        EXPECT_EQ(g_held, held) << "a copy, a lock or the clipboard not released";
    }
}
