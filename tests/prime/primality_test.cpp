#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <random>
#include <string>
#include <vector>

#include "prime/primality.h"

namespace {

constexpr uint64_t LARGEST_PRIME_BELOW_2_63 = 9223372036854775783u;
constexpr uint64_t MAX_INPUT = (uint64_t{1} << 63) - 1;

std::vector<bool> sieve(uint32_t limit)
{
    std::vector<bool> prime(limit, true);
    prime[0] = false;
    prime[1] = false;
    for (uint32_t i = 2; uint64_t{i} * i < limit; ++i)
        if (prime[i])
            for (uint32_t j = i * i; j < limit; j += i)
                prime[j] = false;
    return prime;
}

// Trial division by every prime up to 2^20: exact for n below 2^40, and
// shares nothing with the code under test.
bool primeByTrialDivision(uint64_t n, const std::vector<uint32_t>& primes)
{
    if (n < 2)
        return false;
    for (uint32_t p : primes) {
        if (uint64_t{p} * p > n)
            return true;
        if (n % p == 0)
            return false;
    }
    return true;
}

}  // namespace

TEST(IsPrime, MatchesASieveBelowOneMillion)
{
    const uint32_t limit = 1000000;
    const std::vector<bool> prime = sieve(limit);
    int mismatches = 0;
    for (uint32_t n = 0; n < limit; ++n) {
        if (isPrime(n) != (prime[n] ? 1 : 0) && ++mismatches <= 10)
            ADD_FAILURE() << "isPrime(" << n << ") = " << isPrime(n);
    }
    EXPECT_EQ(mismatches, 0);
}

TEST(IsPrime, TablePrimesAndTheFirstStrongTestCases)
{
    for (uint64_t p : {2u, 3u, 5u, 37u, 113u})
        EXPECT_EQ(isPrime(p), 1) << p;
    // 127 is the smallest prime that no table entry decides; 16129 = 127^2 is
    // the smallest composite that reaches the strong test.
    EXPECT_EQ(isPrime(127), 1);
    EXPECT_EQ(isPrime(131), 1);
    EXPECT_EQ(isPrime(16129), 0);
    for (uint64_t composite : {0u, 1u, 4u, 121u, 12769u, 561u, 2047u})
        EXPECT_EQ(isPrime(composite), 0) << composite;
}

TEST(IsPrime, RejectsStrongPseudoprimesToTheLeadingBases)
{
    // Each passes the bases before the one that finally rejects it; the last
    // passes 2 to 31 and falls only to 37.
    const uint64_t pseudoprimes[] = {
        1373653u,            25326001u, 3215031751u,        2152302898747u,
        3474749660383u,      341550071728321u,      3825123056546413051u,
    };
    for (uint64_t n : pseudoprimes)
        EXPECT_EQ(isPrime(n), 0) << n;
}

TEST(IsPrime, ValuesNearTheTopOfTheRange)
{
    EXPECT_EQ(isPrime(LARGEST_PRIME_BELOW_2_63), 1);
    EXPECT_EQ(isPrime(MAX_INPUT), 0);  // 7^2 * 73 * 127 * 337 * 92737 * 649657
    EXPECT_EQ(isPrime(9223372036854775781u), 0);
    // Two primes near the square root of 2^63.
    EXPECT_EQ(isPrime(3037000453u), 1);
    EXPECT_EQ(isPrime(3037000493u), 1);
    EXPECT_EQ(isPrime(uint64_t{3037000453u} * 3037000493u), 0);
    // Mersenne primes below the bound and a square of a large prime.
    EXPECT_EQ(isPrime((uint64_t{1} << 61) - 1), 1);
    EXPECT_EQ(isPrime((uint64_t{1} << 31) - 1), 1);
    EXPECT_EQ(isPrime(uint64_t{2147483647u} * 2147483647u), 0);
}

TEST(IsPrime, MatchesTrialDivisionOnRandomValuesBelow2To40)
{
    const std::vector<bool> prime = sieve(1u << 20);
    std::vector<uint32_t> primes;
    for (uint32_t i = 2; i < prime.size(); ++i)
        if (prime[i])
            primes.push_back(i);

    std::mt19937_64 random(40);
    int primesSeen = 0;
    for (int i = 0; i < 3000; ++i) {
        // Odd values of every size up to 40 bits, so that many are prime.
        const int bits = 8 + i % 33;
        const uint64_t n = (random() >> (64 - bits)) | 1;
        const bool expected = primeByTrialDivision(n, primes);
        primesSeen += expected;
        ASSERT_EQ(isPrime(n), expected ? 1 : 0) << n;
    }
    EXPECT_GT(primesSeen, 100);
}

TEST(MulMod, NeverWrapsNearTwoToThe63)
{
#ifdef __SIZEOF_INT128__
    std::mt19937_64 random(63);
    const uint64_t moduli[] = {LARGEST_PRIME_BELOW_2_63, MAX_INPUT, 3u, 1000000007u};
    for (uint64_t n : moduli) {
        for (int i = 0; i < 2000; ++i) {
            const uint64_t a = i < 2 ? n - 1 - static_cast<uint64_t>(i) : random() % n;
            const uint64_t b = i < 2 ? n - 1 : random();
            const auto expected = static_cast<uint64_t>(
                static_cast<unsigned __int128>(a) * b % n);
            ASSERT_EQ(mulMod(a, b, n), expected) << a << " * " << b << " mod " << n;
        }
    }
#else
    GTEST_SKIP() << "no 128-bit integers to check against";
#endif
}

TEST(PowMod, AgreesWithFermatAndSmallCases)
{
    EXPECT_EQ(powMod(2, 10, 1000), 24u);
    EXPECT_EQ(powMod(3, 1, 7), 3u);
    // Fermat: a^(p-1) = 1 mod p for the largest prime below 2^63.
    for (uint64_t a : {2u, 3u, 37u})
        EXPECT_EQ(powMod(a, LARGEST_PRIME_BELOW_2_63 - 1, LARGEST_PRIME_BELOW_2_63), 1u);
}

#ifndef _WIN32
namespace {

// Asks GNU factor, an independent implementation, which values are prime.
std::vector<bool> primeByGnuFactor(const std::vector<uint64_t>& values)
{
    char path[] = "/tmp/tramolivenga-factor-XXXXXX";
    const int fd = mkstemp(path);
    if (fd < 0)
        return {};
    FILE* input = fdopen(fd, "w");
    for (uint64_t n : values)
        std::fprintf(input, "%llu\n", static_cast<unsigned long long>(n));
    std::fclose(input);

    std::vector<bool> result;
    const std::string command = std::string("factor < ") + path;
    if (FILE* output = popen(command.c_str(), "r")) {
        char line[512];
        while (std::fgets(line, sizeof line, output)) {
            // "n: f1 f2 ..."; n is prime exactly when its only factor is n.
            const std::string text(line);
            const std::string number = text.substr(0, text.find(':'));
            const std::string factors = text.substr(text.find(':') + 1);
            result.push_back(factors == " " + number + "\n");
        }
        pclose(output);
    }
    std::remove(path);
    return result;
}

}  // namespace

TEST(IsPrime, MatchesGnuFactorUpTo2To63)
{
    std::mt19937_64 random(2063);
    std::vector<uint64_t> values;
    for (int i = 0; i < 4000; ++i) {
        const int bits = 41 + i % 23;  // 41 to 63 bits
        values.push_back((random() >> (64 - bits)) | 1);
    }
    // Structured values: the neighbourhood of 2^63 and of powers of two.
    for (uint64_t k = 0; k < 200; ++k)
        values.push_back(MAX_INPUT - 2 * k);
    for (int shift = 40; shift < 63; ++shift)
        for (uint64_t delta : {1u, 3u, 5u})
            values.push_back((uint64_t{1} << shift) + delta);

    const std::vector<bool> expected = primeByGnuFactor(values);
    ASSERT_EQ(expected.size(), values.size()) << "GNU factor (coreutils) did not answer";
    int primesSeen = 0;
    for (size_t i = 0; i < values.size(); ++i) {
        primesSeen += expected[i];
        ASSERT_EQ(isPrime(values[i]), expected[i] ? 1 : 0) << values[i];
    }
    EXPECT_GT(primesSeen, 100);
}
#endif
