#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "settings/module_path.h"

namespace {

// Runs the cut on a buffer exactly as long as the path and its NUL, so that
// the sanitizers see any read past the terminator.
std::string cut(const std::string& path)
{
    std::vector<char> buffer(path.begin(), path.end());
    buffer.push_back('\0');
    cutAfterLastBackslash(buffer.data());
    return std::string(buffer.data());
}

}  // namespace

TEST(CutAfterLastBackslash, OrdinaryPaths)
{
    EXPECT_EQ(cut("D:\\tools\\x.exe"), "D:\\tools\\");
    EXPECT_EQ(cut("C:\\x.exe"), "C:\\");
    EXPECT_EQ(cut("C:\\a\\b\\c\\tramolivenga.exe"), "C:\\a\\b\\c\\");
    EXPECT_EQ(cut("\\\\server\\share\\x.exe"), "\\\\server\\share\\");
    EXPECT_EQ(cut("C:\\dir\\"), "C:\\dir\\");
}

TEST(CutAfterLastBackslash, NoBackslashLeavesThePathWhole)
{
    EXPECT_EQ(cut("x.exe"), "x.exe");
    EXPECT_EQ(cut(""), "");
    // Slashes are ordinary bytes.
    EXPECT_EQ(cut("C:/tools/x.exe"), "C:/tools/x.exe");
    EXPECT_EQ(cut("C:\\a/b\\c/x.exe"), "C:\\a/b\\");
}

TEST(CutAfterLastBackslash, SecondByteOfADoubleByteCharacterIsNoSeparator)
{
    // 0x95 0x5C is one character (a kanji whose second byte is a backslash).
    EXPECT_EQ(cut("C:\\\x95\\dir\\x.exe"), "C:\\\x95\\dir\\");
    EXPECT_EQ(cut("C:\\dir\\\x95\\x.exe"), "C:\\dir\\");
    EXPECT_EQ(cut("C:\\dir\\\x95\\"), "C:\\dir\\");
    EXPECT_EQ(cut("\x95\\x.exe"), "\x95\\x.exe");
    // A lead byte swallows only the one byte after it.
    EXPECT_EQ(cut("C:\\a\x81\\\\x.exe"), "C:\\a\x81\\\\");
    // Two double-byte characters in a row, the second ending in 0x5C.
    EXPECT_EQ(cut("C:\\\x83\x41\x83\\x.exe"), "C:\\");
}

TEST(CutAfterLastBackslash, LeadByteRangeEdges)
{
    // Lead bytes: 0x81-0x9F and 0xE0-0xEF; the 0x5C after them is skipped.
    for (int lead : {0x81, 0x9F, 0xE0, 0xEF}) {
        std::string path = "C:\\d";
        path += static_cast<char>(lead);
        path += "\\x.exe";
        EXPECT_EQ(cut(path), "C:\\") << "lead byte " << lead;
    }
    // Single bytes around and between the ranges, and 0xF0-0xFC, which code
    // page 932 would take as lead bytes: the 0x5C after them separates.
    for (int single : {0x7F, 0x80, 0xA0, 0xA1, 0xDF, 0xF0, 0xFA, 0xFC, 0xFF}) {
        std::string path = "C:\\d";
        path += static_cast<char>(single);
        std::string expected = path + "\\";
        path += "\\x.exe";
        EXPECT_EQ(cut(path), expected) << "single byte " << single;
    }
}

TEST(CutAfterLastBackslash, LeadByteAsTheLastByte)
{
    EXPECT_EQ(cut("C:\\dir\\x\x95"), "C:\\dir\\");
    EXPECT_EQ(cut("C:\\dir\\\x95"), "C:\\dir\\");
    EXPECT_EQ(cut("\x95"), "\x95");
    EXPECT_EQ(cut("ab\xE0"), "ab\xE0");
}

TEST(CutAfterLastBackslash, LongestPath)
{
    std::string path = "C:\\" + std::string(1014, 'a') + "\\x.exe";
    ASSERT_EQ(path.size(), 1023u);
    EXPECT_EQ(cut(path), path.substr(0, 1018));
}

TEST(JoinDirectoryPath, JoinsWhenItFits)
{
    char path[32] = "untouched";
    ASSERT_EQ(joinDirectoryPath(path, sizeof path, "D:\\tools\\", "tramolivenga.ini"), 1);
    EXPECT_STREQ(path, "D:\\tools\\tramolivenga.ini");
}

TEST(JoinDirectoryPath, RefusesEmptyDirectoryAndLeavesThePathUntouched)
{
    char path[32] = "untouched";
    EXPECT_EQ(joinDirectoryPath(path, sizeof path, "", "tramolivenga.ini"), 0);
    EXPECT_STREQ(path, "untouched");
}

TEST(JoinDirectoryPath, FitsExactlyAndNotOneByteMore)
{
    // 1007 directory bytes, the 16-byte name and the NUL fill 1024 bytes.
    const std::string fits = "C:\\" + std::string(1003, 'd') + "\\";
    ASSERT_EQ(fits.size(), 1007u);
    std::vector<char> path(1024, 'u');
    path[1023] = '\0';
    ASSERT_EQ(joinDirectoryPath(path.data(), 1024, fits.c_str(), "tramolivenga.ini"), 1);
    EXPECT_EQ(std::string(path.data()), fits + "tramolivenga.ini");

    const std::string tooLong = "C:\\" + std::string(1004, 'd') + "\\";
    std::vector<char> untouched(1024, 'u');
    untouched[1023] = '\0';
    EXPECT_EQ(joinDirectoryPath(untouched.data(), 1024, tooLong.c_str(), "tramolivenga.ini"), 0);
    EXPECT_EQ(std::string(untouched.data()), std::string(1023, 'u'));
}
