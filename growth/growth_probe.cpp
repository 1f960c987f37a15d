// Drives clipboard changes past a running tramolivenga.exe and reports, from
// outside its process, how its memory and its object counts move.
//
// growth_probe CHANGES PROGRAM
//   Joins the clipboard viewer chain first and then starts PROGRAM, so that
//   the program's window joins the chain ahead of the probe's. Every change is then passed on to
//   this window by the program itself, which proves the program got it; a WM_NULL sent to the
//   program afterwards returns only once it has checked the text. After the first 100 changes and
//   every 1,000 the figures are printed; at the end the program is told to exit through its menu
//   command and the exit code says whether anything grew beyond the tolerance.
// growth_probe --self-check
//   Checks that the GDI handle count read from a process's table follows
//   objects being created and deleted.

// windows.h first: psapi.h and winternl.h build on its types.
#include <windows.h>

#include <psapi.h>
#include <winternl.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

const UINT ID_MENU_EXIT = 10002;
// Every text is padded to this many units, below the default cap of 8,192,
// so that a copy leaked per change would add up to tens of megabytes.
const size_t PADDED_UNITS = 4096;
const size_t FIRST_SAMPLE = 100;

// Allowed growth between the sample after the first hundred changes and the
// last one: far above the noise of the heap and of Wine, far below what a
// leaked text copy, icon, font or window per change would add.
const long long PRIVATE_TOLERANCE = 8ll * 1024 * 1024;
const long GDI_TOLERANCE = 4;
const long WINDOW_TOLERANCE = 2;
const long HANDLE_TOLERANCE = 16;

HWND g_probeWindow;
HWND g_nextViewer;
bool g_changeSeen;

LRESULT CALLBACK probeWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_DRAWCLIPBOARD:
        g_changeSeen = true;
        if (g_nextViewer != nullptr)
            SendMessageA(g_nextViewer, message, wParam, lParam);
        return 0;
    case WM_CHANGECBCHAIN:
        if (reinterpret_cast<HWND>(wParam) == g_nextViewer)
            g_nextViewer = reinterpret_cast<HWND>(lParam);
        else if (g_nextViewer != nullptr)
            SendMessageA(g_nextViewer, message, wParam, lParam);
        return 0;
    default:
        return DefWindowProcA(window, message, wParam, lParam);
    }
}

void pumpMessages()
{
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
}

// Pumps messages until the program has passed a change on, or the time is up.
bool waitForChange(DWORD milliseconds)
{
    const DWORD start = GetTickCount();
    while (!g_changeSeen) {
        const DWORD elapsed = GetTickCount() - start;
        if (elapsed >= milliseconds)
            return false;
        MsgWaitForMultipleObjects(0, nullptr, FALSE, milliseconds - elapsed, QS_ALLINPUT);
        pumpMessages();
    }
    return true;
}

// The live entries of the process's GDI handle table (GetGuiResources is a
// stub under Wine). A 64-bit PEB names the table at 0xF8, a 32-bit one at
// 0x94; but 32-bit Wine, like WOW64, gives a 32-bit process a 64-bit PEB as
// well, a page below its own, and names the table only there. Wine's entries
// are 24 bytes in both, the object type at offset 14, 0 when free.
long gdiObjectCount(HANDLE process)
{
    PROCESS_BASIC_INFORMATION basic{};
    ULONG returned = 0;
    if (NtQueryInformationProcess(process, ProcessBasicInformation, &basic, sizeof basic, &returned)
        != 0)
        return -1;
    const char* peb = reinterpret_cast<const char*>(basic.PebBaseAddress);
    ULONG_PTR table = 0;
    SIZE_T read = 0;
    if (sizeof(void*) == 8)
        ReadProcessMemory(process, peb + 0xF8, &table, sizeof table, &read);
    else if (!ReadProcessMemory(process, peb + 0x94, &table, sizeof table, &read) || table == 0)
        ReadProcessMemory(process, peb - 0x1000 + 0xF8, &table, sizeof table, &read);
    if (table == 0)
        return -1;
    const size_t ENTRY_SIZE = 24, TYPE_OFFSET = 14, ENTRIES = 0x10000, CHUNK = 4096;
    std::vector<unsigned char> chunk(CHUNK * ENTRY_SIZE);
    long live = 0;
    for (size_t first = 0; first < ENTRIES; first += CHUNK) {
        if (!ReadProcessMemory(process, reinterpret_cast<const void*>(table + first * ENTRY_SIZE),
                chunk.data(), chunk.size(), &read))
            return -1;
        for (size_t i = 0; i < CHUNK; ++i)
            if (chunk[i * ENTRY_SIZE + TYPE_OFFSET] != 0)
                ++live;
    }
    return live;
}

struct WindowCount {
    DWORD processId;
    long count;
};

BOOL CALLBACK countChild(HWND window, LPARAM param)
{
    WindowCount* windows = reinterpret_cast<WindowCount*>(param);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (owner == windows->processId)
        ++windows->count;
    return TRUE;
}

BOOL CALLBACK countTopLevel(HWND window, LPARAM param)
{
    countChild(window, param);
    EnumChildWindows(window, countChild, param);
    return TRUE;
}

// Top-level, child and message-only windows of the process: the USER objects
// that can be seen from outside under Wine.
long windowCount(DWORD processId)
{
    WindowCount windows{processId, 0};
    EnumWindows(countTopLevel, reinterpret_cast<LPARAM>(&windows));
    HWND messageOnly = nullptr;
    while ((messageOnly = FindWindowExA(HWND_MESSAGE, messageOnly, nullptr, nullptr)) != nullptr)
        countTopLevel(messageOnly, reinterpret_cast<LPARAM>(&windows));
    return windows.count;
}

struct Sample {
    size_t changes;
    long long privateBytes;  // PagefileUsage: private commit; RssAnon + swap under Wine
    long handles;
    long gdiObjects;
    long windows;
};

Sample takeSample(HANDLE process, DWORD processId, size_t changes)
{
    Sample sample{};
    sample.changes = changes;
    PROCESS_MEMORY_COUNTERS counters{};
    counters.cb = sizeof counters;
    GetProcessMemoryInfo(process, &counters, sizeof counters);
    sample.privateBytes = static_cast<long long>(counters.PagefileUsage);
    DWORD handles = 0;
    sample.handles = GetProcessHandleCount(process, &handles) ? static_cast<long>(handles) : -1;
    sample.gdiObjects = gdiObjectCount(process);
    sample.windows = windowCount(processId);
    return sample;
}

void printSample(const Sample& sample)
{
    std::printf("changes=%zu private=%lld handles=%ld gdiObjects=%ld windows=%ld\n", sample.changes,
        sample.privateBytes, sample.handles, sample.gdiObjects, sample.windows);
    std::fflush(stdout);
}

void putClipboard(UINT format, const void* data, size_t size)
{
    // The program may still hold the clipboard for a moment.
    for (int attempt = 0; attempt < 100 && !OpenClipboard(g_probeWindow); ++attempt)
        Sleep(10);
    EmptyClipboard();
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, size);
    std::memcpy(GlobalLock(block), data, size);
    GlobalUnlock(block);
    SetClipboardData(format, block);
    CloseClipboard();
}

std::u16string padded(std::u16string text)
{
    if (text.size() < PADDED_UNITS)
        text.append(PADDED_UNITS - text.size(), u' ');
    return text;
}

std::u16string toUtf16(const std::string& ascii)
{
    return std::u16string(ascii.begin(), ascii.end());
}

// Change number i: four kinds in turn, one of them with a prime. An ANSI text
// is not among them: Wine 8 leaks about 1 KB in every process that reads one
// as Unicode (a bare reader grows as much), which would measure Wine.
void putChange(size_t i)
{
    static const char* const PRIMES[] = {"2", "1,009", "65537", "104729", "9223372036854775783"};
    std::u16string text;
    switch (i % 4) {
    case 0:  // a prime
        text = padded(u"\u4FA1\u683C\u306F" + toUtf16(PRIMES[i / 4 % 5]) + u"\u5186");
        break;
    case 1:  // numbers, none prime
        text = padded(u"4 6 8 1,008 " + toUtf16(std::to_string(2 * i + 4)));
        break;
    case 2:  // over the cap, the prime beyond the cut
        text = std::u16string(20000, u'x') + u" 13";
        break;
    default: {  // no text at all
        static const UINT PRIVATE_FORMAT = RegisterClipboardFormatA("growth probe data");
        const char data[] = "17 19 23";
        putClipboard(PRIVATE_FORMAT, data, sizeof data);
        return;
    }
    }
    putClipboard(CF_UNICODETEXT, text.c_str(), (text.size() + 1) * sizeof(char16_t));
}

HWND createProbeWindow()
{
    WNDCLASSA windowClass{};
    windowClass.lpfnWndProc = probeWindowProc;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.lpszClassName = "GROWTH_PROBE_WINDOW";
    RegisterClassA(&windowClass);
    return CreateWindowExA(0, "GROWTH_PROBE_WINDOW", "growth probe", 0, 0, 0, 0, 0, nullptr,
        nullptr, GetModuleHandleA(nullptr), nullptr);
}

int selfCheck()
{
    HANDLE self
        = OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, GetCurrentProcessId());
    const long before = gdiObjectCount(self);
    HBRUSH brushes[10];
    for (int i = 0; i < 10; ++i)
        brushes[i] = CreateSolidBrush(RGB(i, 0, 0));
    const long during = gdiObjectCount(self);
    for (HBRUSH brush : brushes)
        DeleteObject(brush);
    const long after = gdiObjectCount(self);
    std::printf(
        "gdi objects: %ld, with ten brushes %ld, after deleting them %ld\n", before, during, after);
    return before > 0 && during == before + 10 && after == before ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc == 2 && std::strcmp(argv[1], "--self-check") == 0)
        return selfCheck();
    if (argc != 3) {
        std::fprintf(stderr, "usage: growth_probe CHANGES PROGRAM | --self-check\n");
        return 2;
    }
    const size_t changes = std::strtoul(argv[1], nullptr, 10);

    g_probeWindow = createProbeWindow();
    g_nextViewer = SetClipboardViewer(g_probeWindow);
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION started{};
    if (!CreateProcessA(
            argv[2], nullptr, nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &started)) {
        std::fprintf(stderr, "probe: cannot start %s\n", argv[2]);
        return 2;
    }
    CloseHandle(started.hThread);
    std::printf("probe: in the viewer chain; started the program\n");
    std::fflush(stdout);

    HWND program = nullptr;
    for (int wait = 0; wait < 600 && (!program || GetClipboardViewer() != program); ++wait) {
        pumpMessages();
        Sleep(100);
        program = FindWindowA("TRAMOLIVENGA_WINDOW_CLASS", nullptr);
    }
    if (program == nullptr || GetClipboardViewer() != program) {
        std::fprintf(stderr, "probe: the program never joined the chain ahead of the probe\n");
        return 2;
    }
    DWORD processId = 0;
    GetWindowThreadProcessId(program, &processId);
    HANDLE process = started.hProcess;
    if (processId != started.dwProcessId) {
        std::fprintf(stderr, "probe: the window in the chain is not the started program's\n");
        return 2;
    }
    std::printf("probe: program window %p, process %lu\n", static_cast<void*>(program), processId);
    std::fflush(stdout);

    Sample first{}, last{};
    size_t missed = 0;
    const DWORD startTime = GetTickCount();
    for (size_t i = 0; i < changes; ++i) {
        pumpMessages();
        g_changeSeen = false;
        putChange(i);
        if (!waitForChange(5000))
            ++missed;
        // Answered once the program is back from checking the text.
        DWORD_PTR result = 0;
        SendMessageTimeoutA(program, WM_NULL, 0, 0, SMTO_NORMAL, 5000, &result);
        const size_t done = i + 1;
        if (done == FIRST_SAMPLE || done % 1000 == 0 || done == changes) {
            const Sample sample = takeSample(process, processId, done);
            printSample(sample);
            if (done == FIRST_SAMPLE)
                first = sample;
            last = sample;
        }
    }
    std::printf("probe: %zu changes in %lu ms, %zu not passed on by the program in time\n", changes,
        GetTickCount() - startTime, missed);

    PostMessageA(program, WM_COMMAND, ID_MENU_EXIT, 0);
    const bool exited = WaitForSingleObject(process, 10000) == WAIT_OBJECT_0;
    DWORD exitCode = STILL_ACTIVE;
    GetExitCodeProcess(process, &exitCode);
    ChangeClipboardChain(g_probeWindow, g_nextViewer);

    // A live program always has some of each; a figure at or below zero is
    // one the platform would not give (Wine counts no handles), so it is
    // reported and not judged.
    bool grew = false;
    std::string judged, unmeasured;
    auto judge = [&](const char* what, long long from, long long to, long long tolerance) {
        if (from <= 0 || to <= 0) {
            std::printf("%-12s after %zu: %lld, after %zu: %lld  NOT MEASURED\n", what,
                first.changes, from, last.changes, to);
            unmeasured += unmeasured.empty() ? what : std::string(", ") + what;
            return;
        }
        const bool bad = to - from > tolerance;
        std::printf("%-12s after %zu: %lld, after %zu: %lld, growth %lld (tolerance %lld)%s\n",
            what, first.changes, from, last.changes, to, to - from, tolerance, bad ? "  GREW" : "");
        judged += judged.empty() ? what : std::string(", ") + what;
        grew = grew || bad;
    };
    judge("private", first.privateBytes, last.privateBytes, PRIVATE_TOLERANCE);
    judge("gdiObjects", first.gdiObjects, last.gdiObjects, GDI_TOLERANCE);
    judge("windows", first.windows, last.windows, WINDOW_TOLERANCE);
    judge("handles", first.handles, last.handles, HANDLE_TOLERANCE);
    std::printf("probe: program %s, exit code %lu\n", exited ? "exited" : "did not exit", exitCode);
    if (!unmeasured.empty())
        std::printf(
            "probe: not measured on this platform, so not judged: %s\n", unmeasured.c_str());
    if (missed * 10 >= changes)
        std::printf("probe: the measurement failed: %zu of %zu changes were not passed on\n",
            missed, changes);
    if (judged.empty())
        std::printf("probe: the measurement failed: no figure could be read\n");
    const bool sound = missed * 10 < changes && !judged.empty();
    const bool passed = !grew && sound && exited && exitCode == 0;
    // The exit code does not always come back through explorer; this line does.
    if (passed)
        std::printf("probe: RESULT no growth in %s\n", judged.c_str());
    else
        std::printf("probe: RESULT FAILED\n");
    return passed ? 0 : 1;
}
