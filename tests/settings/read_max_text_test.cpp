#include "settings/read_max_text.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>

namespace {

TEST(ReadMaxFromText, ReadsASignAndDigitsUpToTheFirstOtherByte)
{
    const struct {
        const char* text;
        int32_t expected;
    } cases[] = {
        // No digits first: 0. Full-width digits are no ASCII digits.
        {"", 0}, {"-", 0}, {" 5", 0}, {"+5", 0}, {"--5", 0}, {"- 5", 0}, {"abc", 0}, {"\x82\x54", 0},
        {"16", 16}, {"007", 7}, {"123abc", 123}, {"12 34", 12}, {"99-1", 99},
        {"-5", -5}, {"-42kb", -42}, {"-0", 0}, {"999999999", 999999999},
        // Wrap-around in 32 bits, never a failure.
        {"2147483647", INT32_MAX}, {"-2147483648", INT32_MIN}, {"2147483648", INT32_MIN},
        {"4294967295", -1}, {"4294967306", 10}, {"-4294967295", 1},
        // 10^20 mod 2^32 = 1661992960: a long run keeps wrapping every step.
        {"100000000000000000000", 1661992960}, {"-100000000000000000000", -1661992960},
    };
    for (const auto& test : cases)
        EXPECT_EQ(readMaxFromText(test.text), test.expected) << test.text;
}

TEST(ReadMaxFromText, EveryDecimalTextReadsBack)
{
    // A sweep across the whole range with a step prime to 2^32, and the ends.
    char text[16];
    uint32_t bits = 12345u;
    for (int i = 0; i < 20000; ++i) {
        bits += 2654435761u;
        const int32_t value = i == 0 ? INT32_MIN : i == 1 ? INT32_MAX : static_cast<int32_t>(bits);
        std::snprintf(text, sizeof text, "%d", static_cast<int>(value));
        ASSERT_EQ(readMaxFromText(text), value) << text;
    }
}

}  // namespace
