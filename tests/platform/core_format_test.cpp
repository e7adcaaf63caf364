#include "platform/core/CString.h"
#include "platform/core/CodePage.h"
#include "platform/core/FormatString.h"
#include "platform/core/FullPath.h"

#include <gtest/gtest.h>

#include <unistd.h>

namespace {

CString Fmt(const wchar_t* format, auto... args)
{
    CString out;
    FormatString(out, format, args...);
    return out;
}

}

TEST(FormatString, ReadoutFormatsPadAndKeepSigns)
{
    EXPECT_EQ(Fmt(L"%d.%d.%03d", 1, 1, 0), L"1.1.000");
    EXPECT_EQ(Fmt(L"%d.%d.%03d", 2, 1, 1), L"2.1.001");
    EXPECT_EQ(Fmt(L"%02d:%02d:%02d,%d", 0, 1, 0, 0), L"00:01:00,0");
    EXPECT_EQ(Fmt(L"%02d:%02d:%02d,%d", 123, 4, 5, 6), L"123:04:05,6");
    EXPECT_EQ(Fmt(L"%d", -12), L"-12");
    EXPECT_EQ(Fmt(L"%03d", -5), L"-05");
    EXPECT_EQ(Fmt(L"%d", static_cast<int>(0x80000000u)), L"-2147483648");
    EXPECT_EQ(Fmt(L"%u", 4294967295u), L"4294967295");
    EXPECT_EQ(Fmt(L"%-4d|", 7), L"7   |");
    EXPECT_EQ(Fmt(L"%X %x %#x", 255u, 255u, 255u), L"FF ff 0xff");
}

TEST(FormatString, StringsCharactersAndUnknownTypes)
{
    EXPECT_EQ(Fmt(L"[%s]", L"wide"), L"[wide]");
    EXPECT_EQ(Fmt(L"[%S]", "narrow"), L"[narrow]");
    EXPECT_EQ(Fmt(L"[%hs|%ls]", "a", L"b"), L"[a|b]");
    EXPECT_EQ(Fmt(L"[%5s|%-3s|%.2s]", L"ab", L"c", L"xyz"), L"[   ab|c  |xy]");
    EXPECT_EQ(Fmt(L"%c%c", L'o', L'k'), L"ok");
    EXPECT_EQ(Fmt(L"100%%"), L"100%");
    EXPECT_EQ(Fmt(L"%s", static_cast<const wchar_t*>(nullptr)), L"(null)");
    EXPECT_EQ(Fmt(L"trailing %"), L"trailing ");
}

TEST(FormatString, NeverPassesTheBuffer)
{
    std::wstring big(2000, L'x');
    CString out;
    int n = FormatString(out, L"%s%s", big.c_str(), big.c_str());
    EXPECT_EQ(n, kFormatBufferSize - 1);
    EXPECT_EQ(out.GetLength(), kFormatBufferSize - 1);
    n = FormatString(out, L"%999999999d", 1);
    EXPECT_EQ(n, kFormatBufferSize - 1);
    EXPECT_EQ(out.Find(L'1'), -1) << "the padding fills the buffer and the rest is cut";
}

TEST(CString, Utf8RoundTripAndBrokenInput)
{
    CString s(L"Gr\u00fc\u00dfe \u20ac \U0001F3B5");
    EXPECT_EQ(CString::FromUtf8(s.ToUtf8()), s);
    // Bytes that are not UTF-8 (a stray byte, a cut sequence, an overlong
    // form, an encoded surrogate) come back as the same bytes, and show as
    // the replacement character.
    for (const std::string bytes : { "a\xff" "b", "\xe2\x82", "\xc0\xaf", "\xed\xb2\x80", "Lied \xe4.mid" })
        EXPECT_EQ(CString::FromUtf8(bytes).ToUtf8(), bytes);
    EXPECT_EQ(CString::FromUtf8("a\xff" "b").ForDisplay(), L"a\uFFFDb");
    EXPECT_EQ(CString::FromUtf8("\xc0\xaf").ForDisplay(), L"\uFFFD\uFFFD");
    EXPECT_EQ(CString::FromUtf8("\xe2\x82").ForDisplay(), L"\uFFFD\uFFFD") << "a cut sequence does not read past the end";
}

TEST(CodePage, Windows1252BothWays)
{
    EXPECT_EQ(AnsiToWide(0x41), L'A');
    EXPECT_EQ(AnsiToWide(0x80), L'\u20AC');
    EXPECT_EQ(AnsiToWide(0x9F), L'\u0178');
    EXPECT_EQ(AnsiToWide(0xE9), L'\u00E9');
    for (int b : { 0x81, 0x8D, 0x8F, 0x90, 0x9D })
        EXPECT_EQ(AnsiToWide(static_cast<unsigned char>(b)), static_cast<wchar_t>(b)) << b;
    for (int b = 1; b < 256; ++b)
        EXPECT_EQ(WideToAnsi(AnsiToWide(static_cast<unsigned char>(b))), b) << "byte " << b << " round trip";
    EXPECT_EQ(WideToAnsi(L'\u4E00'), -1);

    char buffer[16];
    BOOL usedDefault = FALSE;
    int n = WideCharToMultiByte(CP_ACP, 0, L"1\u20ac\u4E00", -1, buffer, sizeof buffer, nullptr, &usedDefault);
    EXPECT_EQ(n, 4);
    EXPECT_STREQ(buffer, "1\x80?");
    EXPECT_TRUE(usedDefault);
    EXPECT_EQ(WideCharToMultiByte(CP_ACP, 0, L"toolong", -1, buffer, 3, nullptr, nullptr), 0) << "no overflow";
}

TEST(FullPath, NamesJoinTheWorkingFolderAndDotsResolveByName)
{
    char folder[4096];
    ASSERT_NE(::getcwd(folder, sizeof folder), nullptr);
    const std::string here = folder;
    struct Case {
        const char* name;
        std::string full;
    };
    for (const Case& c : { Case { "song.mid", here + "/song.mid" }, Case { "a/../b/./c.mid", here + "/b/c.mid" },
             Case { "/x/../../y.mid", "/y.mid" }, Case { "/", "/" }, Case { "/a//b/", "/a/b" },
             Case { "/Lieder/\xe4.mid", "/Lieder/\xe4.mid" } }) {
        EXPECT_EQ(FullPathName(CString::FromUtf8(c.name)).ToUtf8(), c.full) << c.name;
    }
    wchar_t small[4];
    EXPECT_EQ(GetFullPathNameW(L"/abc/def.mid", 4, small, nullptr), 13u) << "the size needed, terminator included";
    wchar_t buffer[64];
    LPWSTR name = nullptr;
    EXPECT_EQ(GetFullPathNameW(L"/abc/./def.mid", 64, buffer, &name), 12u);
    EXPECT_EQ(std::wstring(buffer), L"/abc/def.mid");
    EXPECT_EQ(std::wstring(name), L"def.mid");
    EXPECT_EQ(GetFullPathNameW(L"", 64, buffer, nullptr), 0u);
}
