// The executable's directory, worked out from its path as a pure byte-string
// operation, so that it builds and is tested on every platform.
#pragma once

// Cuts the NUL-terminated path just after its last backslash, so that the
// directory keeps its trailing separator. The path is read as code page 932,
// with the lead bytes 0x81-0x9F and 0xE0-0xFC: the byte after a lead byte is
// never a separator, even when it is 0x5C. A slash is an ordinary byte. A path
// without a backslash is left whole.
void cutAfterLastBackslash(char* path);

// Writes directory followed by fileName, NUL-terminated, to path (bufferSize
// bytes) and returns 1. Returns 0 and leaves path untouched when directory is
// empty (the executable's directory is unknown) or the result does not fit:
// a file must never be looked for at a cut-off or relative path.
int joinDirectoryPath(char* path, int bufferSize, const char* directory, const char* fileName);
