// The executable's directory by a code page 932 walk, the INI path, the readMax edit's number.
#include <gtest/gtest.h>

#include "settings/module_path.h"
#include "settings/read_max_text.h"

TEST(ModulePath, CutsAfterTheLastBackslashThatIsNoSecondByte)
{
    // 表 95 5C, 冝 FA 81, 纊 FA 5C and 犾 FB 5C end in a byte that is no backslash.
    const char* const rows[][2] = {{"D:\\tools\\x.exe", "D:\\tools\\"},
        {"C:\\\x95\x5C\\x.exe", "C:\\\x95\x5C\\"}, {"C:\\\x95\x5Cx.exe", "C:\\"},
        {"C:\\\xFA\x81\\tramolivenga.exe", "C:\\\xFA\x81\\"}, {"C:\\d\\\xFA\x5C.exe", "C:\\d\\"},
        {"C:\\\xFB\x5C\\x.exe", "C:\\\xFB\x5C\\"}, {"C:\\a\xE0\\x.exe", "C:\\"},
        {"C:\\a/b.exe", "C:\\"}, {"x.exe", "x.exe"}, {"C:\\x\x81", "C:\\"}, {"", ""}};
    for (const auto& [path, directory] : rows) {
        std::string cut = path;
        cutAfterLastBackslash(cut.data());
        EXPECT_EQ(cut.c_str(), std::string(directory)) << "cut from " << path;
    }
}

TEST(ModulePath, JoinsOnlyWhatFitsAndLeavesTheBufferOtherwise)
{
    char path[1024] = "untouched";
    const std::string fits(1007, 'd'), tooLong(1008, 'd');
    const int joined = joinDirectoryPath(path, 1024, tooLong.c_str(), "tramolivenga.ini")
        + joinDirectoryPath(path, 1024, "", "tramolivenga.ini");
    EXPECT_EQ(std::to_string(joined) + path, "0untouched");
    joinDirectoryPath(path, 1024, fits.c_str(), "tramolivenga.ini");
    EXPECT_EQ(path, fits + "tramolivenga.ini");
}

TEST(ReadMaxFromText, ReadsAMinusAndDigitsAndWrapsAround)
{
    // Full-width digits, as an input method types them, in Shift-JIS: ３ 82 52, ２ 82 51; Ａ 82 60
    const std::pair<const char*, int32_t> rows[]
        = {{"", 0}, {"-", 0}, {"-5", -5}, {"007", 7}, {" 12", 0}, {"+3", 0}, {"12abc", 12},
            {"--3", 0}, {"-2147483648", INT32_MIN}, {"2147483648", INT32_MIN},
            {"-2147483649", INT32_MAX}, {"99999999999", 1215752191}, {"\x82\x52\x82\x51", 32},
            {"-1\x82\x51"
             "3",
                -123},
            {"\x82\x52\x82", 3}, {"\x82\x60", 0}};
    for (const auto& [text, value] : rows)
        EXPECT_EQ(readMaxFromText(text), value) << "read from \"" << text << '"';
}
