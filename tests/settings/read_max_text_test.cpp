#include "settings/read_max_text.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>

namespace {

TEST(ReadMaxFromText, TextsWithoutLeadingDigitsGiveZero)
{
    EXPECT_EQ(readMaxFromText(""), 0);
    EXPECT_EQ(readMaxFromText("-"), 0);
    EXPECT_EQ(readMaxFromText(" 5"), 0);
    EXPECT_EQ(readMaxFromText("+5"), 0);
    EXPECT_EQ(readMaxFromText("--5"), 0);
    EXPECT_EQ(readMaxFromText("- 5"), 0);
    EXPECT_EQ(readMaxFromText("abc"), 0);
    // Full-width digits are not ASCII digits.
    EXPECT_EQ(readMaxFromText("\x82\x54"), 0);
}

TEST(ReadMaxFromText, DigitsUpToTheFirstOtherByte)
{
    EXPECT_EQ(readMaxFromText("0"), 0);
    EXPECT_EQ(readMaxFromText("16"), 16);
    EXPECT_EQ(readMaxFromText("007"), 7);
    EXPECT_EQ(readMaxFromText("123abc"), 123);
    EXPECT_EQ(readMaxFromText("12 34"), 12);
    EXPECT_EQ(readMaxFromText("99-1"), 99);
    EXPECT_EQ(readMaxFromText("-5"), -5);
    EXPECT_EQ(readMaxFromText("-42kb"), -42);
    EXPECT_EQ(readMaxFromText("-0"), 0);
    EXPECT_EQ(readMaxFromText("999999999"), 999999999);  // the edit's nine digits
}

TEST(ReadMaxFromText, ExtremesAndWrapAround)
{
    EXPECT_EQ(readMaxFromText("2147483647"), INT32_MAX);
    EXPECT_EQ(readMaxFromText("-2147483648"), INT32_MIN);
    EXPECT_EQ(readMaxFromText("-2147483647"), INT32_MIN + 1);
    EXPECT_EQ(readMaxFromText("2147483648"), INT32_MIN);
    EXPECT_EQ(readMaxFromText("2147483649"), INT32_MIN + 1);
    EXPECT_EQ(readMaxFromText("4294967295"), -1);
    EXPECT_EQ(readMaxFromText("4294967296"), 0);
    EXPECT_EQ(readMaxFromText("4294967306"), 10);
    EXPECT_EQ(readMaxFromText("-4294967295"), 1);
    // 10^20 mod 2^32 = 1661992960; a long run keeps wrapping every step.
    EXPECT_EQ(readMaxFromText("100000000000000000000"), 1661992960);
    EXPECT_EQ(readMaxFromText("-100000000000000000000"), -1661992960);
}

TEST(ReadMaxFromText, EveryDecimalTextReadsBack)
{
    const int32_t fixed[] = {0, 1, -1, 9, 10, -10, 16, 1023, INT32_MAX, INT32_MIN,
                             INT32_MAX - 1, INT32_MIN + 1, 1000000000, -1000000000};
    char text[16];
    for (int32_t value : fixed) {
        std::snprintf(text, sizeof text, "%d", static_cast<int>(value));
        EXPECT_EQ(readMaxFromText(text), value) << text;
    }
    // A sweep across the whole range with a step prime to 2^32.
    uint32_t bits = 12345u;
    for (int i = 0; i < 20000; ++i) {
        bits += 2654435761u;
        int32_t value = static_cast<int32_t>(bits);
        std::snprintf(text, sizeof text, "%d", static_cast<int>(value));
        ASSERT_EQ(readMaxFromText(text), value) << text;
    }
}

} // namespace
