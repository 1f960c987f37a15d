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

TEST(CutAfterLastBackslash, KeepsTheDirectoryWithItsBackslash)
{
    const std::string longest = "C:\\" + std::string(1014, 'a') + "\\x.exe";  // 1,023 bytes
    const struct {
        std::string path, expected;
    } cases[] = {
        {"C:\\a\\b\\c\\tramolivenga.exe", "C:\\a\\b\\c\\"},
        {"\\\\server\\share\\x.exe", "\\\\server\\share\\"},
        {"C:\\dir\\", "C:\\dir\\"},
        {longest, longest.substr(0, 1018)},
        // No backslash: the path stays whole; a slash is an ordinary byte.
        {"x.exe", "x.exe"},
        {"", ""},
        {"C:/tools/x.exe", "C:/tools/x.exe"},
        {"C:\\a/b\\c/x.exe", "C:\\a/b\\"},
        // 0x95 0x5C is one character whose second byte is a backslash.
        {"C:\\\x95\\dir\\x.exe", "C:\\\x95\\dir\\"},
        {"C:\\dir\\\x95\\x.exe", "C:\\dir\\"},
        {"\x95\\x.exe", "\x95\\x.exe"},
        {"C:\\\x83\x41\x83\\x.exe", "C:\\"},
        // A lead byte swallows only the one byte after it.
        {"C:\\a\x81\\\\x.exe", "C:\\a\x81\\\\"},
        // A lead byte as the very last byte.
        {"C:\\dir\\x\x95", "C:\\dir\\"},
        {"C:\\dir\\\x95", "C:\\dir\\"},
        {"ab\xE0", "ab\xE0"},
    };
    for (const auto& test : cases)
        EXPECT_EQ(cut(test.path), test.expected) << test.path;
}

TEST(CutAfterLastBackslash, LeadByteRangeEdges)
{
    // Lead bytes 0x81-0x9F and 0xE0-0xEF hide the 0x5C after them.
    for (int lead : {0x81, 0x9F, 0xE0, 0xEF})
        EXPECT_EQ(cut(std::string("C:\\d") + static_cast<char>(lead) + "\\x.exe"), "C:\\") << lead;
    // Single bytes around the ranges, and 0xF0-0xFC, which code page 932
    // would take as lead bytes: the 0x5C after them separates.
    for (int single : {0x7F, 0x80, 0xA0, 0xDF, 0xF0, 0xFC, 0xFF}) {
        const std::string directory = std::string("C:\\d") + static_cast<char>(single) + "\\";
        EXPECT_EQ(cut(directory + "x.exe"), directory) << single;
    }
}

TEST(JoinDirectoryPath, JoinsOnlyAWholePathAndOtherwiseLeavesTheBufferAlone)
{
    // 1,007 directory bytes, the 16-byte name and the NUL fill 1,024 bytes.
    const std::string fits = "C:\\" + std::string(1003, 'd') + "\\";
    const std::string tooLong = "C:\\" + std::string(1004, 'd') + "\\";
    std::vector<char> path(1024, 'u');
    path[1023] = '\0';
    EXPECT_EQ(joinDirectoryPath(path.data(), 1024, tooLong.c_str(), "tramolivenga.ini"), 0);
    EXPECT_EQ(joinDirectoryPath(path.data(), 1024, "", "tramolivenga.ini"), 0);
    EXPECT_EQ(std::string(path.data()), std::string(1023, 'u'));
    ASSERT_EQ(joinDirectoryPath(path.data(), 1024, fits.c_str(), "tramolivenga.ini"), 1);
    EXPECT_EQ(std::string(path.data()), fits + "tramolivenga.ini");
}

}  // namespace
