// The executable-directory walk over arbitrary bytes, and the INI path built
// from its result. The path is copied to a heap block of exactly its length
// and NUL, so any read or write beyond it is caught.
//
// Input: the path bytes, taken up to the first NUL as GetModuleFileNameA
// would hand them over.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>

#include "settings/config.h"
#include "settings/module_path.h"

namespace {

void fail(const char* what)
{
    std::fprintf(stderr, "property broken: %s\n", what);
    std::abort();
}

bool isLeadByte(unsigned char byte)
{
    return (byte >= 0x81 && byte <= 0x9F) || (byte >= 0xE0 && byte <= 0xEF);
}

// Where the NUL must go: just after the last backslash that is not the second
// byte of a double-byte character, else on the terminating NUL.
size_t expectedCut(const unsigned char* path, size_t length)
{
    size_t cut = length;
    bool trail = false;  // path[i] is the second byte of a double-byte character
    for (size_t i = 0; i < length; ++i) {
        if (!trail && path[i] == 0x5C)
            cut = i + 1;
        trail = !trail && isLeadByte(path[i]);
    }
    return cut;
}

void checkJoin(const char* directory)
{
    static const char FILE_NAME[] = "tramolivenga.ini";
    constexpr unsigned char UNTOUCHED = 0xA5;
    std::unique_ptr<char[]> joined(new char[TEXT_BUFFER_SIZE]);
    std::memset(joined.get(), UNTOUCHED, TEXT_BUFFER_SIZE);
    const int result = joinDirectoryPath(joined.get(), TEXT_BUFFER_SIZE, directory, FILE_NAME);
    const size_t directoryLength = std::strlen(directory);
    const bool fits = directoryLength + sizeof FILE_NAME <= static_cast<size_t>(TEXT_BUFFER_SIZE);
    if (result != (directoryLength > 0 && fits ? 1 : 0))
        fail("join result");
    if (result == 1) {
        if (std::memcmp(joined.get(), directory, directoryLength) != 0
            || std::strcmp(joined.get() + directoryLength, FILE_NAME) != 0)
            fail("joined path is not directory + file name");
    } else {
        for (size_t i = 0; i < TEXT_BUFFER_SIZE; ++i) {
            if (static_cast<unsigned char>(joined[i]) != UNTOUCHED)
                fail("path written on 0");
        }
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const size_t length = strnlen(reinterpret_cast<const char*>(data), size);
    std::unique_ptr<char[]> path(new char[length + 1]);
    std::memcpy(path.get(), data, length);
    path[length] = '\0';

    cutAfterLastBackslash(path.get());

    const size_t cut = expectedCut(data, length);
    if (path[cut] != '\0')
        fail("no NUL at the cut");
    // Only the one byte at the cut may change.
    for (size_t i = 0; i < length; ++i) {
        if (i != cut && path[i] != static_cast<char>(data[i]))
            fail("a byte other than the cut changed");
    }
    if (cut < length && (cut == 0 || path[cut - 1] != '\\'))
        fail("the result does not end in a backslash");
    checkJoin(path.get());
    return 0;
}
