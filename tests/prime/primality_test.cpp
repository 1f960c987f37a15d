#include <gtest/gtest.h>

#include "prime/primality.h"

TEST(IsPrime, SmallValues)
{
    EXPECT_EQ(isPrime(0), 0);
    EXPECT_EQ(isPrime(2), 1);
}
