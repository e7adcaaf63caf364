#include "app/CRecentFiles.h"
#include "app/DrumChannel.h"
#include "app/RegistryText.h"
#include "app/ZoomSetting.h"
#include "tests/TempConfigHome.h"

#include <gtest/gtest.h>

TEST(DrumChannel, RegistryTextGivesTheChannel)
{
    struct Case {
        const wchar_t* text;
        int channel;
    };
    const Case cases[] = {
        { L"10", 9 }, { L"1", 0 }, { L"16", 15 }, { L"0", 15 }, { L"17", 15 }, { L"abc", 15 }, { L"257", 0 },
        { L"", 15 }, { L" 12 apples", 11 }, { L"-1", 15 }, { L"+3", 2 }, { L"99999999999999", 15 }, { L"266", 9 },
    };
    for (const Case& c : cases)
        EXPECT_EQ(DrumChannelFromRegistryText(c.text), c.channel) << CString(c.text).ToUtf8();
}

TEST(DrumChannel, DialogNumberGivesTheChannel)
{
    for (auto [number, channel] : { std::pair { 1, 0 }, std::pair { 10, 9 }, std::pair { 16, 15 }, std::pair { 0, 15 },
             std::pair { 17, 15 }, std::pair { 255, 15 } })
        EXPECT_EQ(DrumChannelFromDialog(number), channel) << number;
    EXPECT_EQ(DrumChannelToDialog(15), 16);
}

TEST(DrumChannel, SavedAndReadBackAndADamagedOrWideValueReadSafely)
{
    TempConfigHome home;
    BYTE channel = 9;
    EXPECT_FALSE(LoadDrumChannel(channel));
    EXPECT_EQ(channel, 9);
    EXPECT_TRUE(SaveDrumChannel(15));
    EXPECT_TRUE(LoadDrumChannel(channel));
    EXPECT_EQ(channel, 15);
    // A value stored as UTF-16 reads up to its first zero byte; a damaged
    // file keeps the default.
    struct Case {
        const char* value;
        BOOL read;
        BYTE channel;
    };
    for (const Case& c : { Case { "[HKEY_LOCAL_MACHINE\\Software\\TabrinoCE]\n\"DrumChannel\"=hex(1):31,00,30,00,00,00\n", TRUE, 0 },
             Case { "[HKEY_LOCAL_MACHINE\\Software\\TabrinoCE\n\"DrumChannel\"=hex(1):31,00\n", FALSE, 9 } }) {
        home.Write(std::string("REGEDIT4\n\n") + c.value);
        channel = 9;
        EXPECT_EQ(LoadDrumChannel(channel), c.read) << c.value;
        EXPECT_EQ(channel, c.channel) << c.value;
    }
}

TEST(RegistryText, ValuesAtTheBufferLimit)
{
    TempConfigHome home;
    // Exactly a buffer of text with no zero byte: read whole, nothing past it.
    std::string full = "REGEDIT4\n\n[HKEY_LOCAL_MACHINE\\Software\\TabrinoCE]\n\"Full\"=hex(1):";
    for (int i = 0; i < 1024; ++i)
        full += i ? ",37" : "37";
    full += "\n\"Over\"=hex(1):";
    for (int i = 0; i < 1025; ++i)
        full += i ? ",37" : "37";
    home.Write(full + "\n");
    CString text;
    EXPECT_TRUE(ReadRegString(HKEY_LOCAL_MACHINE, L"Software\\TabrinoCE", L"Full", text));
    EXPECT_EQ(text.GetLength(), 1024);
    EXPECT_FALSE(ReadRegString(HKEY_LOCAL_MACHINE, L"Software\\TabrinoCE", L"Over", text));

    // A text longer than the buffer is cut and still ends in its zero byte.
    EXPECT_TRUE(WriteRegString(HKEY_LOCAL_MACHINE, L"Software\\TabrinoCE", L"Long", CString(std::wstring(2000, L'x'))));
    EXPECT_TRUE(ReadRegString(HKEY_LOCAL_MACHINE, L"Software\\TabrinoCE", L"Long", text));
    EXPECT_EQ(text, CString(std::wstring(1023, L'x')));
    // Characters outside the code page are stored as '?'; Windows-1252 ones
    // as their single byte.
    EXPECT_TRUE(WriteRegString(HKEY_LOCAL_MACHINE, L"Software\\TabrinoCE", L"Ansi", L"\u00e9\u4e00"));
    EXPECT_NE(home.Read().find("\"Ansi\"=hex(1):e9,3f,00\n"), std::string::npos);
}

TEST(RecentFiles, EightMostRecentFirstEachOnceKeptByTheirBytes)
{
    TempConfigHome home;
    CRecentFiles recent;
    for (int i = 1; i <= 10; ++i)
        recent.Add(CString::FromUtf8("/songs/" + std::to_string(i) + ".mid"));
    recent.Add(L"/songs/5.mid");
    // Not UTF-8: kept by its bytes.
    recent.Add(CString::FromUtf8("/alte Lieder/\xe4.mid"));
    std::vector<std::string> expected = { "/alte Lieder/\xe4.mid", "/songs/5.mid", "/songs/10.mid", "/songs/9.mid",
        "/songs/8.mid", "/songs/7.mid", "/songs/6.mid", "/songs/4.mid" };
    ASSERT_TRUE(recent.Save());

    CRecentFiles read;
    read.Load();
    std::vector<std::string> files;
    for (const CString& f : read.Files())
        files.push_back(f.ToUtf8());
    EXPECT_EQ(files, expected);
    EXPECT_EQ(read.LastFolder().ToUtf8(), "/alte Lieder");
    EXPECT_NE(home.Read().find("\"Recent1\"=hex(1):2f,61,6c,74,65,20,4c,69,65,64,65,72,2f,e4,2e,6d,69,64,00"),
        std::string::npos)
        << home.Read();
}

TEST(ZoomSetting, OnlyOneToFourIsTaken)
{
    TempConfigHome home;
    int zoom = 0;
    for (const char* text : { "0", "5", "x", "33", "" }) {
        WriteRegString(HKEY_LOCAL_MACHINE, kSettingsKey, L"Zoom", CString::FromUtf8(text));
        EXPECT_FALSE(LoadZoom(zoom)) << text;
    }
    EXPECT_EQ(zoom, 0);
    EXPECT_TRUE(SaveZoom(3));
    EXPECT_TRUE(LoadZoom(zoom));
    EXPECT_EQ(zoom, 3);
}
