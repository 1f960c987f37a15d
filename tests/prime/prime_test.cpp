// isPrime against an oracle sharing no code with it, GNU factor; scanText by its reading rules.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "prime/primality.h"
#include "prime/scanner.h"

TEST(IsPrime, AgreesWithGnuFactorOnEveryValueBelow10000AndOnHardOnesUpTo2To63)
{
    std::ifstream factored(FACTORED);  // "n: p1 p2 ...", written at build time
    int values = 0;
    for (std::string line, number, first, second; std::getline(factored, line); ++values) {
        second.clear();
        std::istringstream(line) >> number >> first >> second;
        EXPECT_EQ(isPrime(std::stoull(number)), second.empty() && first + ":" == number) << line;
    }
    EXPECT_EQ(values, 14011);
}

// w full-width forms, c commas kept, p periods mark fractions, n over the cap skipped; a readMax
static Config configFor(const std::string& settings)
{
    auto has = [&](char letter) { return int32_t(settings.find(letter) != std::string::npos); };
    const size_t number = settings.find_first_of("-0123456789");
    return Config{0, number == std::string::npos ? 16 : std::stoi(settings.substr(number)),
        has('n'), has('w'), 1 - has('c'), 1 - has('p'), 0, ""};
}

TEST(ScanText, FindsTheFirstPrimeByTheReadingRules)
{
    auto x = [](size_t count) { return std::u16string(count, u'x'); };
    const std::tuple<std::u16string, const char*, const char*> rows[] = {{u"", "", ""},
        {u"no digits 1", "", ""}, {u"2", "", "2"}, {u"3.14", "", "3"}, {u"4.13", "", "13"},
        {u"-7", "", "7"}, {u"007", "", "007"}, {u"1,009", "", "1009"}, {u"1,008", "", ""},
        {u"8,", "", ""}, {u"١٣ 2", "", "2"}, {u"2 3", "", "2"},
        {u"0000000000000000007", "", "0000000000000000007"}, {u"00000000000000000007", "", ""},
        {u"92233720368547757831", "", ""},
        {u"9,223,372,036,854,775,783", "", "9223372036854775783"},
        {u"9223372036854775837 4", "", ""}, {u"99999999999999999999 5", "", "5"},
        {u"１２７", "", ""}, {u"１２７", "w", "127"}, {u"1，3", "w", "13"}, {u"1，3", "", "3"},
        {u"1，3", "wc", "3"}, {u"1．3", "w", "3"}, {u"1．3", "wp", ""}, {u"3.14", "p", ""},
        {u"7.", "p", ""}, {u".5", "p", ""}, {u"1. 5", "p", "5"}, {u"2,3", "c", "2"},
        {u"4,13", "c", "13"}, {u"11111111111111111111.7", "", "7"},
        {u"11111111111111111111.7", "p", ""}, {x(510) + u"13x", "1", ""},
        {x(509) + u"13 x", "1", "13"}, {x(510) + u"13", "1", "13"}, {x(8190) + u"13", "", "13"},
        {x(8190) + u"131", "", ""}, {u"2" + x(512), "1n", ""}, {u"2" + x(511), "1n", "2"},
        {u"2" + x(512), "1", "2"}, {x(600000) + u"13", "0", "13"}, {x(600000) + u"13", "-1", "13"},
        {x(600000) + u"13", "2097152", "13"}, {x(1048574) + u"13", "2048", "13"}};
    for (const auto& row : rows) {
        const auto& [text, settings, prime] = row;
        std::string digits(32, '?'), expected = *prime ? prime + std::string(1, '\0') : "";
        const int found
            = scanText(text.data(), int32_t(text.size()), configFor(settings), digits.data());
        expected += std::string(32 - expected.size(), '?');  // the rest untouched
        EXPECT_EQ(std::to_string(found) + digits, std::to_string(*prime != 0) + expected)
            << "row " << &row - rows << " under \"" << settings << '"';
    }
}
