#include <gtest/gtest.h>

#include <windows.h>

#include <cstring>
#include <string>
#include <thread>

#include "prime/clipboard.h"

namespace {

const char UNTOUCHED = '#';

HWND createMessageWindow()
{
    return CreateWindowExA(0, "STATIC", "clipboard test", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                           GetModuleHandleA(nullptr), nullptr);
}

// A clipboard left open by this thread would still open here, so ask
// another thread.
bool openableFromAnotherThread()
{
    BOOL opened = FALSE;
    std::thread other([&] {
        HWND otherWindow = createMessageWindow();
        opened = OpenClipboard(otherWindow);
        if (opened)
            CloseClipboard();
        DestroyWindow(otherWindow);
    });
    other.join();
    return opened != FALSE;
}

class CheckClipboard : public ::testing::Test {
protected:
    void SetUp() override
    {
        window = createMessageWindow();
        ASSERT_NE(window, nullptr);
        setDefaultConfig(config);
        std::memset(digits, UNTOUCHED, sizeof digits);
    }

    void TearDown() override { DestroyWindow(window); }

    // Replaces the clipboard's content with one block of the given format.
    void put(UINT format, const void* data, size_t size)
    {
        ASSERT_TRUE(OpenClipboard(window));
        EmptyClipboard();
        HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, size);
        std::memcpy(GlobalLock(block), data, size);
        GlobalUnlock(block);
        EXPECT_NE(SetClipboardData(format, block), nullptr);
        CloseClipboard();
    }

    void putText(const std::u16string& text)
    {
        put(CF_UNICODETEXT, text.c_str(), (text.size() + 1) * sizeof(char16_t));
    }

    int check() { return checkClipboard(window, digits, config); }

    bool digitsUntouched() const
    {
        for (char byte : digits)
            if (byte != UNTOUCHED)
                return false;
        return true;
    }

    // Every path out of checkClipboard must close the clipboard and unlock
    // its text: afterwards this thread can open it and the lock count is 0.
    void expectClipboardReleased()
    {
        ASSERT_TRUE(openableFromAnotherThread()) << "the clipboard was left open";
        ASSERT_TRUE(OpenClipboard(window));
        if (HANDLE text = GetClipboardData(CF_UNICODETEXT)) {
            EXPECT_EQ(GlobalFlags(text) & GMEM_LOCKCOUNT, 0u) << "the text was left locked";
        }
        CloseClipboard();
    }

    HWND window = nullptr;
    Config config{};
    char digits[32];
};

}  // namespace

TEST_F(CheckClipboard, FindsThePrimeInTheText)
{
    putText(u"価格は1,009円です");
    EXPECT_EQ(check(), 1);
    EXPECT_STREQ(digits, "1009");
    expectClipboardReleased();

    // The same text again gives the same answer: nothing is remembered.
    std::memset(digits, UNTOUCHED, sizeof digits);
    EXPECT_EQ(check(), 1);
    EXPECT_STREQ(digits, "1009");
}

TEST_F(CheckClipboard, ReadsAnsiTextThroughThePlatformsUnicodeForm)
{
    // Shift-JIS "価格は1,009円です" put as CF_TEXT only; the platform offers it as
    // Unicode text, converted under code page 932.
    const char shiftJis[] = "\x89\xbf\x8a\x69\x82\xcd" "1,009" "\x89\x7e\x82\xc5\x82\xb7";
    put(CF_TEXT, shiftJis, sizeof shiftJis);
    EXPECT_EQ(check(), 1);
    EXPECT_STREQ(digits, "1009");
    expectClipboardReleased();
}

TEST_F(CheckClipboard, TextWithoutAPrimeLeavesTheBufferAlone)
{
    putText(u"4 6 8 1,008");
    EXPECT_EQ(check(), 0);
    EXPECT_TRUE(digitsUntouched());
    expectClipboardReleased();
}

TEST_F(CheckClipboard, EmptyText)
{
    putText(u"");
    EXPECT_EQ(check(), 0);
    EXPECT_TRUE(digitsUntouched());
    expectClipboardReleased();
}

TEST_F(CheckClipboard, TextOverTheCap)
{
    const std::u16string text = u"7" + std::u16string(600, u' ');
    putText(text);
    config.readMax = 1;
    config.noReadOverMax = 1;
    EXPECT_EQ(check(), 0);
    EXPECT_TRUE(digitsUntouched());
    expectClipboardReleased();

    config.noReadOverMax = 0;  // now cut to 512 units, which still hold the 7
    EXPECT_EQ(check(), 1);
    EXPECT_STREQ(digits, "7");
}

TEST_F(CheckClipboard, NoTextOnTheClipboard)
{
    const UINT format = RegisterClipboardFormatA("Tramolivenga test data");
    const char data[] = "17 19 23";
    put(format, data, sizeof data);
    ASSERT_FALSE(IsClipboardFormatAvailable(CF_UNICODETEXT));
    EXPECT_EQ(check(), 0);
    EXPECT_TRUE(digitsUntouched());
    expectClipboardReleased();
}

TEST_F(CheckClipboard, ClipboardHeldByAnotherThread)
{
    putText(u"13");
    HANDLE opened = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    HANDLE release = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    std::thread holder([&] {
        HWND other = createMessageWindow();
        const BOOL held = OpenClipboard(other);
        SetEvent(opened);
        WaitForSingleObject(release, 10000);
        if (held)
            CloseClipboard();
        DestroyWindow(other);
    });
    WaitForSingleObject(opened, 10000);

    EXPECT_EQ(check(), 0);
    EXPECT_TRUE(digitsUntouched());

    SetEvent(release);
    holder.join();
    CloseHandle(opened);
    CloseHandle(release);
    EXPECT_EQ(check(), 1) << "the clipboard is free again";
    EXPECT_STREQ(digits, "13");
}
