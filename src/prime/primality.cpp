#include "prime/primality.h"

namespace {

// The trial divisors; the first STRONG_BASE_COUNT of them are also the bases
// of the strong test, which together are exact below 2^63.
const int32_t SMALL_PRIMES[30] = {2, 3, 5, 7, 11, 13, 17, 19, 23, 29, 31, 37, 41, 43, 47, 53, 59,
    61, 67, 71, 73, 79, 83, 89, 97, 101, 103, 107, 109, 113};
constexpr int STRONG_BASE_COUNT = 12;

uint64_t widen(int32_t smallPrime) { return static_cast<uint64_t>(smallPrime); }

// One Miller-Rabin round: 1 when base a passes for n - 1 = d * 2^s.
int passesStrongTest(uint64_t a, uint64_t d, int s, uint64_t n)
{
    uint64_t x = powMod(a, d, n);
    if (x == 1 || x == n - 1)
        return 1;
    for (int squaring = 1; squaring < s; ++squaring) {
        x = mulMod(x, x, n);
        if (x == n - 1)
            return 1;
        if (x == 1)
            return 0;
    }
    return 0;
}

}  // namespace

uint64_t mulMod(uint64_t a, uint64_t b, uint64_t n)
{
    // acc and a stay below n < 2^63, so neither sum can wrap.
    uint64_t acc = 0;
    while (b != 0) {
        if (b & 1)
            acc = (acc + a) % n;
        a = (a + a) % n;
        b >>= 1;
    }
    return acc;
}

uint64_t powMod(uint64_t base, uint64_t e, uint64_t n)
{
    uint64_t result = 1;
    uint64_t power = base;
    while (e != 0) {
        if (e & 1)
            result = mulMod(result, power, n);
        e >>= 1;
        if (e != 0)
            power = mulMod(power, power, n);
    }
    return result;
}

int isPrime(uint64_t n)
{
    if (n <= 1)
        return 0;
    for (int32_t p : SMALL_PRIMES) {
        if (n == widen(p))
            return 1;
        if (n % widen(p) == 0)
            return 0;
    }

    uint64_t d = n - 1;
    int s = 0;
    while ((d & 1) == 0) {
        d >>= 1;
        ++s;
    }
    for (int i = 0; i < STRONG_BASE_COUNT; ++i) {
        if (!passesStrongTest(widen(SMALL_PRIMES[i]), d, s, n))
            return 0;
    }
    return 1;
}
