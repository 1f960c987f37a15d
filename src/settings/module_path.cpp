#include "settings/module_path.h"

#include <cstring>

namespace {

// Lead bytes of a double-byte character in code page 932, which Windows uses
// for these paths: with 0xF0 to 0xFC, whose IBM extension kanji occur in names.
bool isShiftJisLeadByte(unsigned char byte)
{
    return (byte >= 0x81 && byte <= 0x9F) || (byte >= 0xE0 && byte <= 0xFC);
}

}  // namespace

void cutAfterLastBackslash(char* path)
{
    const size_t length = std::strlen(path);
    // Without a backslash the cut falls on the terminating NUL: the path
    // stays whole.
    size_t cut = length;
    size_t position = 0;
    while (position < length) {
        const unsigned char byte = static_cast<unsigned char>(path[position]);
        if (isShiftJisLeadByte(byte)) {
            // The second half is skipped unexamined; a lead byte that is
            // the last byte steps onto the NUL and ends the walk.
            position += 2;
            continue;
        }
        if (byte == '\\')
            cut = position + 1;
        position += 1;
    }
    path[cut] = '\0';
}

int joinDirectoryPath(char* path, int bufferSize, const char* directory, const char* fileName)
{
    const size_t directoryLength = std::strlen(directory);
    const size_t fileNameLength = std::strlen(fileName);
    if (directoryLength == 0 || bufferSize <= 0)
        return 0;
    if (directoryLength + fileNameLength >= static_cast<size_t>(bufferSize))
        return 0;
    std::memcpy(path, directory, directoryLength);
    std::memcpy(path + directoryLength, fileName, fileNameLength + 1);
    return 1;
}
