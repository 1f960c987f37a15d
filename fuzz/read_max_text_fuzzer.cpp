// The readMax edit text read back into a number, over arbitrary bytes.
//
// Input: the first four bytes are a value whose "%d" text, followed by the
// remaining bytes, must read back to it whenever those do not begin with a
// digit; the whole input, up to its first NUL, is also read as a text of its
// own and compared with a 64-bit reading reduced modulo 2^32.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>

#include "settings/read_max_text.h"

namespace {

void fail(const char* what)
{
    std::fprintf(stderr, "property broken: %s\n", what);
    std::abort();
}

std::unique_ptr<char[]> terminatedCopy(const uint8_t* data, size_t size)
{
    const size_t length = strnlen(reinterpret_cast<const char*>(data), size);
    std::unique_ptr<char[]> text(new char[length + 1]);
    std::memcpy(text.get(), data, length);
    text[length] = '\0';
    return text;
}

int32_t expectedValue(const char* text)
{
    size_t i = 0;
    const bool negative = text[0] == '-';
    if (negative)
        i = 1;
    uint64_t value = 0;
    for (; text[i] >= '0' && text[i] <= '9'; ++i)
        value = (value * 10 + static_cast<uint64_t>(text[i] - '0')) & 0xFFFFFFFFu;
    if (negative)
        value = (0x100000000u - value) & 0xFFFFFFFFu;
    const uint32_t low = static_cast<uint32_t>(value);
    int32_t result;
    std::memcpy(&result, &low, sizeof result);
    return result;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::unique_ptr<char[]> whole = terminatedCopy(data, size);
    if (readMaxFromText(whole.get()) != expectedValue(whole.get()))
        fail("value differs from the 64-bit reading");

    if (size < 4)
        return 0;
    int32_t value;
    std::memcpy(&value, data, sizeof value);
    const std::unique_ptr<char[]> rest = terminatedCopy(data + 4, size - 4);
    const size_t restLength = std::strlen(rest.get());
    std::unique_ptr<char[]> text(new char[12 + restLength + 1]);
    const int printed = std::snprintf(text.get(), 12 + restLength + 1, "%d%s",
                                      static_cast<int>(value), rest.get());
    if (printed < 1)
        fail("snprintf");
    if (readMaxFromText(text.get()) != value && !(rest[0] >= '0' && rest[0] <= '9'))
        fail("the %d text does not read back");
    // The edit holds the bare text alone as well.
    text[static_cast<size_t>(printed) - restLength] = '\0';
    if (readMaxFromText(text.get()) != value)
        fail("the bare %d text does not read back");
    return 0;
}
