// Exact primality test for every value below 2^63.
#pragma once

#include <cstdint>

// 1 if n is prime, 0 if not. Requires n < 2^63.
int isPrime(uint64_t n);

// (a * b) mod n by doubling and adding, so that nothing wider than 64 bits
// is formed. Requires a < n and n < 2^63.
uint64_t mulMod(uint64_t a, uint64_t b, uint64_t n);

// base^e mod n, right-to-left square and multiply. Requires base < n,
// e >= 1 and n < 2^63.
uint64_t powMod(uint64_t base, uint64_t e, uint64_t n);
