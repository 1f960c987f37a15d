// The costliest single values for the primality test, and the costliest
// clipboard text the default cap lets through.
#include <benchmark/benchmark.h>

#include <string>

#include "prime/primality.h"
#include "prime/scanner.h"
#include "worst_case_text.h"

namespace {

void isPrimeOn(benchmark::State& state, uint64_t n)
{
    for (auto _ : state) {
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

namespace {

void scanWorstCase(benchmark::State& state, std::size_t units, bool lastPrime, int32_t readMax)
{
    const std::u16string text = worstCaseText(units, lastPrime);
    Config config{};
    setDefaultConfig(config);
    config.readMax = readMax;
    char digits[DIGITS_BUFFER_SIZE];
    for (auto _ : state) {
        benchmark::DoNotOptimize(
            scanText(text.data(), static_cast<int32_t>(text.size()), config, digits));
    }
    state.counters["units"] = static_cast<double>(text.size());
}

}  // namespace

// The longest single check under the default settings: the cap full of
// pseudoprimes, the last whole number the costliest prime.
static void BM_ScanText_DefaultCapPseudoprimesThenLargestPrime(benchmark::State& state)
{
    scanWorstCase(state, 8192, true, 16);
}
BENCHMARK(BM_ScanText_DefaultCapPseudoprimesThenLargestPrime)->Unit(benchmark::kMillisecond);

// 1 MiB of UTF-16 pseudoprimes under the default cap: only 8,192 units count.
static void BM_ScanText_DefaultCapOneMiBOfPseudoprimes(benchmark::State& state)
{
    scanWorstCase(state, 512 * 1024, false, 16);
}
BENCHMARK(BM_ScanText_DefaultCapOneMiBOfPseudoprimes)->Unit(benchmark::kMillisecond);

// The same 1 MiB with the cap off: scanned whole.
static void BM_ScanText_NoCapOneMiBOfPseudoprimes(benchmark::State& state)
{
    scanWorstCase(state, 512 * 1024, false, 0);
}
BENCHMARK(BM_ScanText_NoCapOneMiBOfPseudoprimes)->Unit(benchmark::kMillisecond)->Iterations(3);
