// The executable's directory by a Shift_JIS-aware walk that keeps the last
// backslash; the INI path, which must fit; the readMax edit's text as a number.
#include <gtest/gtest.h>

#include "settings/module_path.h"
#include "settings/read_max_text.h"

TEST(ModulePath, KeepsTheDirectoryWithItsBackslashAndJoinsOnlyWhatFits)
{
    const char* const rows[][2] = {
        {"D:\\tools\\x.exe", "D:\\tools\\"},
        {"C:\\\x95\x5C\\x.exe", "C:\\\x95\x5C\\"},  // 表 ends in 0x5C
        {"C:\\\x95\x5Cx.exe", "C:\\"},
        {"C:\\a\xF0\\x.exe", "C:\\a\xF0\\"},
        {"C:\\a\xE0\\x.exe", "C:\\"},  // F0 leads nothing
        {"C:\\a/b.exe", "C:\\"},
        {"x.exe", "x.exe"},
        {"C:\\x\x81", "C:\\"},
        {"", ""},
    };
    for (const auto& [path, directory] : rows) {
        std::string cut = path;
        cutAfterLastBackslash(cut.data());
        EXPECT_EQ(cut.c_str(), std::string(directory)) << path;
    }
    char path[1024] = "untouched";
    const std::string fits(1007, 'd'), tooLong(1008, 'd');
    EXPECT_EQ(joinDirectoryPath(path, 1024, "", "tramolivenga.ini")
            + joinDirectoryPath(path, 1024, tooLong.c_str(), "tramolivenga.ini"),
        0);
    EXPECT_STREQ(path, "untouched");
    EXPECT_EQ(
        joinDirectoryPath(path, 1024, fits.c_str(), "tramolivenga.ini") ? std::string(path) : "",
        fits + "tramolivenga.ini");
}

TEST(ReadMaxFromText, ReadsAMinusAndDigitsAndWrapsAround)
{
    const std::pair<const char*, int32_t> rows[] = {
        {"", 0},
        {"-", 0},
        {"16", 16},
        {"-5", -5},
        {"007", 7},
        {" 12", 0},
        {"+3", 0},
        {"12abc", 12},
        {"1-2", 1},
        {"--3", 0},
        {"2147483647", INT32_MAX},
        {"-2147483648", INT32_MIN},
        {"2147483648", INT32_MIN},
        {"4294967297", 1},
        {"-2147483649", INT32_MAX},
        {"99999999999", 1215752191},
    };
    for (const auto& [text, value] : rows)
        EXPECT_EQ(readMaxFromText(text), value) << text;
}
