// Times the longest single clipboard checks: runs natively and, built for
// Windows, under Wine. Prints timings only; nothing is asserted.
//   worst_case_timing [repetitions]
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "prime/primality.h"
#include "prime/scanner.h"
#include "settings/config.h"
#include "worst_case_text.h"

namespace {

volatile int g_sink;

struct Timing {
    double minMs;
    double medianMs;
    double maxMs;
};

template <typename Work> Timing timeRepeated(int repetitions, Work work)
{
    std::vector<double> ms;
    for (int i = 0; i < repetitions; ++i) {
        const auto start = std::chrono::steady_clock::now();
        work();
        const auto stop = std::chrono::steady_clock::now();
        ms.push_back(std::chrono::duration<double, std::milli>(stop - start).count());
    }
    std::sort(ms.begin(), ms.end());
    return {ms.front(), ms[ms.size() / 2], ms.back()};
}

void report(const char* name, Timing timing)
{
    std::printf("%-52s min %10.3f ms  median %10.3f ms  max %10.3f ms\n", name, timing.minMs,
        timing.medianMs, timing.maxMs);
}

void timeIsPrime(const char* name, unsigned long long n, int repetitions)
{
    constexpr int CALLS = 200;
    Timing timing = timeRepeated(repetitions, [n] {
        for (int i = 0; i < CALLS; ++i)
            g_sink = isPrime(n);
    });
    timing.minMs /= CALLS;
    timing.medianMs /= CALLS;
    timing.maxMs /= CALLS;
    report(name, timing);
}

void timeScan(const char* name, const std::u16string& text, const Config& config, int repetitions)
{
    char digits[DIGITS_BUFFER_SIZE];
    int found = 0;
    const Timing timing = timeRepeated(repetitions, [&] {
        found = scanText(text.data(), static_cast<int32_t>(text.size()), config, digits);
        g_sink = found;
    });
    report(name, timing);
    std::printf("    %zu units, result %d%s%s\n", text.size(), found, found ? " " : "",
        found ? digits : "");
}

}  // namespace

int main(int argc, char** argv)
{
    const int repetitions = argc > 1 ? std::max(1, std::atoi(argv[1])) : 15;

    timeIsPrime("isPrime(3825123056546413051), per call", 3825123056546413051ull, repetitions);
    timeIsPrime("isPrime(9223372036854775783), per call", 9223372036854775783ull, repetitions);

    Config config{};
    setDefaultConfig(config);
    const int32_t capUnits = config.readMax * UNITS_PER_KB;
    timeScan("default cap, pseudoprimes", worstCaseText(static_cast<size_t>(capUnits), false),
        config, repetitions);
    timeScan("default cap, pseudoprimes, last the largest prime",
        worstCaseText(static_cast<size_t>(capUnits), true), config, repetitions);
    // Far more text than the cap: only the first capUnits units count.
    timeScan("default cap, 1 MiB of pseudoprimes", worstCaseText(512 * 1024, false), config,
        repetitions);

    config.readMax = 0;
    const int fewer = std::max(1, repetitions / 5);
    timeScan("no cap, 1 MiB (524,288 units) of pseudoprimes", worstCaseText(512 * 1024, false),
        config, fewer);
    return 0;
}
