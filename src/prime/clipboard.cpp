#include "prime/clipboard.h"

#include "prime/scanner.h"

int checkClipboard(HWND window, char* digits, const Config& config)
{
    if (!IsClipboardFormatAvailable(CF_UNICODETEXT))
        return 0;
    if (!OpenClipboard(window))
        return 0;
    HANDLE handle = GetClipboardData(CF_UNICODETEXT);
    if (handle == nullptr) {
        CloseClipboard();
        return 0;
    }
    const WCHAR* text = static_cast<const WCHAR*>(GlobalLock(handle));
    if (text == nullptr) {
        CloseClipboard();
        return 0;
    }
    // The text ends at its first NUL, but the block holds whatever another
    // program put there: never read past the block, even without a NUL.
    const SIZE_T units = GlobalSize(handle) / sizeof(WCHAR);
    int32_t length = 0;
    while (static_cast<SIZE_T>(length) < units && length < INT32_MAX - 1 && text[length] != 0)
        ++length;
    // Scan a private copy so that the clipboard is held only for the copy.
    HANDLE heap = GetProcessHeap();
    WCHAR* copy = static_cast<WCHAR*>(
        HeapAlloc(heap, 0, static_cast<SIZE_T>(length) * sizeof(WCHAR) + sizeof(WCHAR)));
    if (copy == nullptr) {
        GlobalUnlock(handle);
        CloseClipboard();
        return 0;
    }
    CopyMemory(copy, text, static_cast<SIZE_T>(length) * sizeof(WCHAR));
    copy[length] = 0;
    GlobalUnlock(handle);
    CloseClipboard();

    char found[DIGITS_BUFFER_SIZE];
    const int result = scanText(reinterpret_cast<const Utf16Unit*>(copy), length, config, found);
    if (result)
        lstrcpyA(digits, found);
    HeapFree(heap, 0, copy);
    return result;
}
