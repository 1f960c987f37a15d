// The costliest single values for the primality test, and the costliest
// clipboard text the default cap lets through.
#include <benchmark/benchmark.h>

#include <string>

#include "prime/primality.h"
#include "prime/scanner.h"

namespace {

void isPrimeOn(benchmark::State& state, uint64_t n)
{
    for (auto _ : state)
        {
        benchmark::DoNotOptimize(n);
        benchmark::DoNotOptimize(isPrime(n));
    }
}

}  // namespace

static void BM_IsPrime_LargestPrimeBelow2To63(benchmark::State& state)
{
    isPrimeOn(state, 9223372036854775783u);
}
BENCHMARK(BM_IsPrime_LargestPrimeBelow2To63);

// Passes eleven bases and falls only to the twelfth.
static void BM_IsPrime_StrongPseudoprimeTo2Through31(benchmark::State& state)
{
    isPrimeOn(state, 3825123056546413051u);
}
BENCHMARK(BM_IsPrime_StrongPseudoprimeTo2Through31);

// 8,192 units (the default cap) of that pseudoprime repeated with single spaces.
static void BM_ScanText_DefaultCapFullOfPseudoprimes(benchmark::State& state)
{
    std::u16string text;
    while (text.size() < 8192)
        text += u"3825123056546413051 ";
    text.resize(8192);
    Config config{};
    setDefaultConfig(config);
    char digits[DIGITS_BUFFER_SIZE];
    for (auto _ : state) {
        benchmark::DoNotOptimize(
            scanText(text.data(), static_cast<int32_t>(text.size()), config, digits));
    }
    state.counters["units"] = static_cast<double>(text.size());
}
BENCHMARK(BM_ScanText_DefaultCapFullOfPseudoprimes)->Unit(benchmark::kMillisecond);
