// The clipboard texts that keep one check busiest: numbers that cost the
// primality test nearly as much as a prime yet let the scan go on.
#pragma once

#include <cstddef>
#include <string>

// A strong pseudoprime to the bases 2 to 31 (149491 * 747451 * 34233211): it
// has no factor up to 113 and only the twelfth base, 37, finds it composite.
constexpr char16_t COSTLIEST_COMPOSITE[] = u"3825123056546413051";
// The largest prime below 2^63: the costliest value that ends a scan.
constexpr char16_t LARGEST_PRIME_BELOW_2_TO_63[] = u"9223372036854775783";

// units code units of the costliest composite, each followed by one space.
// With lastPrime, the last whole number is the largest prime instead, so that
// it is tested too and ends the scan.
inline std::u16string worstCaseText(std::size_t units, bool lastPrime)
{
    const std::u16string number = COSTLIEST_COMPOSITE;
    std::u16string text;
    while (text.size() + number.size() + 1 <= units)
        text += number + u' ';
    if (lastPrime && !text.empty())
        text.replace(text.size() - number.size() - 1, number.size(), LARGEST_PRIME_BELOW_2_TO_63);
    // Fill the rest with a number that the cut leaves open, never evaluated.
    while (text.size() < units)
        text += u'1';
    return text;
}
