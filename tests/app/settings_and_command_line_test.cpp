#include "app/CCommandLine.h"
#include "app/CRecentFiles.h"
#include "app/CTabrinoDlg.h"
#include "app/DrumChannel.h"
#include "app/NumberSettings.h"
#include "platform/comm/Comm.h"
#include "app/PortSetting.h"
#include "app/RegistryText.h"
#include "tests/TempConfigHome.h"

#include <gtest/gtest.h>

// What the settings file holds is read safely, however it was written, and
// kept as it was saved.
TEST(StoredSettings, ValuesAreReadSafelyAndKeptAsSaved)
{
    for (auto [text, channel] : { std::pair { L"10", 9 }, std::pair { L"1", 0 }, std::pair { L"16", 15 }, std::pair { L"0", 15 },
             std::pair { L"17", 15 }, std::pair { L"abc", 15 }, std::pair { L"257", 0 }, std::pair { L"", 15 },
             std::pair { L" 12 apples", 11 }, std::pair { L"-1", 15 }, std::pair { L"+3", 2 }, std::pair { L"99999999999999", 15 },
             std::pair { L"266", 9 } })
        EXPECT_EQ(DrumChannelFromRegistryText(text), channel) << CString(text).ToUtf8();
    for (auto [number, channel] : { std::pair { 1, 0 }, std::pair { 16, 15 }, std::pair { 0, 15 }, std::pair { 255, 15 } })
        EXPECT_EQ(DrumChannelFromDialog(number), channel) << number;

    TempConfigHome home;
    const std::string head = "REGEDIT4\n\n[HKEY_LOCAL_MACHINE\\Software\\TabrinoCE]\n";
    // A value stored as UTF-16 reads up to its first zero byte; a damaged
    // file keeps the default.
    for (auto [file, read, wanted] : { std::tuple { head + "\"DrumChannel\"=hex(1):31,00,30,00,00,00\n", TRUE, 0 },
             std::tuple { std::string("REGEDIT4\n\n[HKEY_LOCAL_MACHINE\\Software\\TabrinoCE\n\"DrumChannel\"=hex(1):31,00\n"), FALSE, 9 } }) {
        home.Write(file);
        BYTE channel = 9;
        EXPECT_EQ(LoadDrumChannel(channel), read) << file;
        EXPECT_EQ(channel, wanted) << file;
    }
    // Exactly a buffer of text with no zero byte is read whole, a byte more
    // is refused.
    std::string full = head + "\"Full\"=hex(1):37", over = "\n\"Over\"=hex(1):37";
    for (int i = 1; i < 1024; ++i)
        full += ",37", over += ",37";
    home.Write(full + over + ",37\n");
    CString text;
    EXPECT_TRUE(ReadRegString(HKEY_LOCAL_MACHINE, kSettingsKey, L"Full", text));
    EXPECT_EQ(text.GetLength(), 1024);
    EXPECT_FALSE(ReadRegString(HKEY_LOCAL_MACHINE, kSettingsKey, L"Over", text));
    // A longer text is cut and still ends in its zero byte; characters
    // outside the code page are stored as '?', Windows-1252 ones as theirs.
    EXPECT_TRUE(WriteRegString(HKEY_LOCAL_MACHINE, kSettingsKey, L"Long", CString(std::wstring(2000, L'x'))));
    EXPECT_TRUE(ReadRegString(HKEY_LOCAL_MACHINE, kSettingsKey, L"Long", text));
    EXPECT_EQ(text, CString(std::wstring(1023, L'x')));
    EXPECT_TRUE(WriteRegString(HKEY_LOCAL_MACHINE, kSettingsKey, L"Ansi", L"\u00e9\u4e00"));
    EXPECT_NE(home.Read().find("\"Ansi\"=hex(1):e9,3f,00\n"), std::string::npos);
    // Only a zoom of 1 to 4 and a volume of 0 to 1000 are taken.
    int zoom = 0, volume = 0;
    for (const char* stored : { "0", "5", "x", "33", "", "+2" }) {
        WriteRegString(HKEY_LOCAL_MACHINE, kSettingsKey, L"Zoom", CString::FromUtf8(stored));
        EXPECT_FALSE(LoadZoom(zoom)) << stored;
    }
    for (const char* stored : { "1001", "-1", "50%", "99999" }) {
        WriteRegString(HKEY_LOCAL_MACHINE, kSettingsKey, L"Volume", CString::FromUtf8(stored));
        EXPECT_FALSE(LoadVolume(volume)) << stored;
    }
    int sendSysEx = 1, reset = 0;
    for (const char* stored : { "2", "-1", "x" }) {
        WriteRegString(HKEY_LOCAL_MACHINE, kSettingsKey, L"SendSysEx", CString::FromUtf8(stored));
        WriteRegString(HKEY_LOCAL_MACHINE, kSettingsKey, L"Reset", CString::FromUtf8(stored == std::string("2") ? "5" : stored));
        EXPECT_FALSE(LoadSendSysEx(sendSysEx) || LoadReset(reset)) << stored;
    }
    EXPECT_TRUE(SaveZoom(3) && SaveVolume(0) && SaveSendSysEx(0) && SaveReset(4));
    EXPECT_TRUE(LoadZoom(zoom) && LoadVolume(volume) && LoadSendSysEx(sendSysEx) && LoadReset(reset));
    EXPECT_EQ(std::make_tuple(zoom, volume, sendSysEx, reset), std::make_tuple(3, 0, 0, 4));
    // The port's name comes back whatever its characters; settings from
    // before hold it as single-byte text under "Port".
    CString port;
    WriteRegString(HKEY_LOCAL_MACHINE, kSettingsKey, kOldPortValue, L"capture:/tmp/\u00e9.txt");
    EXPECT_TRUE(LoadPortSetting(port));
    EXPECT_EQ(port, CString(L"capture:/tmp/\u00e9.txt"));
    for (const std::string name : { "synth:/tmp/\xe6\x97\xa5\xe6\x9c\xac.wav", "capture:/alt/\xe4.txt" }) {
        EXPECT_TRUE(SavePortSetting(CString::FromUtf8(name)));
        EXPECT_TRUE(LoadPortSetting(port));
        EXPECT_EQ(port.ToUtf8(), name);
    }

    // Eight recent files, the most recent first, each once.
    CRecentFiles recent;
    for (int i = 1; i <= 10; ++i)
        recent.Add(CString::FromUtf8("/songs/" + std::to_string(i) + ".mid"));
    recent.Add(L"/songs/5.mid");
    // Not UTF-8: kept by its bytes.
    recent.Add(CString::FromUtf8("/alte Lieder/\xe4.mid"));
    ASSERT_TRUE(recent.Save());
    CRecentFiles read;
    read.Load();
    std::vector<std::string> files;
    for (const CString& f : read.Files())
        files.push_back(f.ToUtf8());
    EXPECT_EQ(files, (std::vector<std::string> { "/alte Lieder/\xe4.mid", "/songs/5.mid", "/songs/10.mid", "/songs/9.mid",
                         "/songs/8.mid", "/songs/7.mid", "/songs/6.mid", "/songs/4.mid" }));
    EXPECT_EQ(read.LastFolder().ToUtf8(), "/alte Lieder");
    EXPECT_NE(home.Read().find("\"Recent1\"=hex(1):2f,61,6c,74,65,20,4c,69,65,64,65,72,2f,e4,2e,6d,69,64,00"),
        std::string::npos);
}

// Two windows (--new-window) read the settings at their starts and write
// them at their closes: the second keeps what the first changed and it did
// not, and the recent files of both; values the list no longer fills go.
TEST(StoredSettings, TwoWindowsMergeWhatEachChanged)
{
    TempConfigHome home;
    home.Write("REGEDIT4\n\n[HKEY_LOCAL_MACHINE\\Software\\TabrinoCE]\n\"Recent1\"=hex(1):2f,6f,6c,64,00\n"
               "\"Recent2\"=hex(1):2f,6f,6c,64,00\n\"Recent3\"=hex(1):00\n\"Recent4\"=hex(1):2f,6f,6c,64,00\n");
    const CString soundFont = GetSynthSoundFont();
    CTabrinoDlg first, second, later, overridden;
    first.LoadSettings();
    second.LoadSettings();
    first.m_playerState.m_drumChannel = 3;
    first.m_strPortSetting = CString::FromUtf8("capture:/tmp/\xe6\x97\xa5.txt");
    first.m_nZoom = 3;
    first.m_output.SetVolume(600);
    first.m_recentFiles.Add(L"/a.mid");
    first.m_nReset = 3;
    first.m_nSendSysEx = 0;
    first.m_strSoundFont = L"/sf/x.sf2";
    second.m_recentFiles.Add(L"/b.mid");
    first.SaveSettings();
    second.SaveSettings();
    later.LoadSettings();
    EXPECT_EQ(later.m_playerState.m_drumChannel, 3);
    EXPECT_EQ(later.m_strPort.ToUtf8(), "capture:/tmp/\xe6\x97\xa5.txt");
    EXPECT_EQ(later.m_nVolume, 600);
    EXPECT_EQ(std::make_tuple(later.m_output.m_reset.load(), later.m_output.m_sendSysEx.load(), GetSynthSoundFont()),
        std::make_tuple(3, FALSE, CString(L"/sf/x.sf2")));
    // The command line's choices hold for their run only.
    overridden.m_nResetOverride = 1;
    overridden.m_nSendSysExOverride = 1;
    overridden.m_strSoundFontOverride = L"/sf/y.sf2";
    overridden.LoadSettings();
    EXPECT_EQ(std::make_tuple(overridden.m_output.m_reset.load(), overridden.m_output.m_sendSysEx.load(), GetSynthSoundFont(),
                  overridden.m_nReset, overridden.m_strSoundFont),
        std::make_tuple(1, TRUE, CString(L"/sf/y.sf2"), 3, CString(L"/sf/x.sf2")));
    SetSynthSoundFont(soundFont);
    int zoom = 0;
    EXPECT_TRUE(LoadZoom(zoom));
    EXPECT_EQ(zoom, 3);
    std::vector<CString> files { L"/b.mid", L"/a.mid", L"/old" };
    EXPECT_TRUE(later.m_recentFiles.Files() == files);
    const std::string text = home.Read();
    EXPECT_NE(text.find("\"Recent3\"=hex(1):2f,6f,6c,64,00"), std::string::npos) << text;
    EXPECT_EQ(text.find("Recent4"), std::string::npos) << text;
}

TEST(CommandLine, EveryOptionWhatWinsOverTheRestAndWhatIsRefused)
{
    auto Parse = [](CCommandLine& line, std::vector<const char*> args) {
        args.insert(args.begin(), "tabrino");
        return line.Parse(static_cast<int>(args.size()), args.data());
    };
    CCommandLine full;
    EXPECT_EQ(Parse(full,
                  { "--port", "capture:/tmp/x y.txt", "--zoom", "3", "--new-window", "--soundfont", "/sf/ä.sf2",
                      "Lied \xe4.mid", "dir/" }),
        CCommandLine::RUN);
    EXPECT_TRUE(full.m_newWindow);
    EXPECT_EQ(full.m_port.ToUtf8(), "capture:/tmp/x y.txt");
    EXPECT_EQ(full.m_zoom, 3);
    EXPECT_EQ(full.m_soundFont.ToUtf8(), "/sf/ä.sf2");
    ASSERT_EQ(full.m_files.size(), 2u) << "several FILEs make the playlist";
    EXPECT_EQ(full.m_files[0].ToUtf8(), "Lied \xe4.mid") << "a name that is not UTF-8 keeps its bytes";
    EXPECT_EQ(full.m_files[1].ToUtf8(), "dir/");
    EXPECT_EQ(full.WindowOptionsGiven(), "--port, --soundfont and --zoom were");
    // After "--" a name that looks like an option is a file; a file URI, as
    // a desktop launcher passes it, is the path it names.
    CCommandLine dashed, uri, port;
    EXPECT_EQ(Parse(dashed, { "--", "--zoom" }), CCommandLine::RUN);
    EXPECT_EQ(dashed.m_files.at(0).ToUtf8(), "--zoom");
    EXPECT_EQ(dashed.WindowOptionsGiven(), "");
    EXPECT_EQ(Parse(uri, { "file:///tmp/Lied%20%E4.mid" }), CCommandLine::RUN);
    EXPECT_EQ(uri.m_files.at(0).ToUtf8(), "/tmp/Lied \xe4.mid");
    EXPECT_EQ(Parse(port, { "file:relative.mid", "--port", "none" }), CCommandLine::RUN);
    EXPECT_EQ(port.m_files.at(0).ToUtf8(), "file:relative.mid");
    EXPECT_EQ(port.WindowOptionsGiven(), "--port was");
    // The SysEx and reset choices for one run; each reset by its name.
    for (auto [name, reset] : { std::pair { "none", 0 }, { "gm", 1 }, { "gm2", 2 }, { "gs", 3 }, { "xg", 4 } }) {
        CCommandLine sound;
        EXPECT_EQ(Parse(sound, { "--no-sysex", "--reset", name }), CCommandLine::RUN);
        EXPECT_EQ(std::make_tuple(sound.m_noSysEx, sound.m_reset, sound.WindowOptionsGiven()),
            std::make_tuple(true, reset, std::string("--no-sysex and --reset were"))) << name;
    }

    for (auto [args, action] : { std::pair { std::vector<const char*> { "song.mid", "--help", "--bogus" }, CCommandLine::HELP },
             std::pair { std::vector<const char*> { "--version" }, CCommandLine::VERSION },
             std::pair { std::vector<const char*> { "--list-ports", "song.mid" }, CCommandLine::LIST_PORTS } }) {
        CCommandLine line;
        EXPECT_EQ(Parse(line, args), action) << args[0];
    }
    using Case = std::pair<std::vector<const char*>, const char*>;
    for (const auto& [args, error] : { Case { { "--zoom", "0" }, "--zoom takes a whole number from 1 to 4" },
             Case { { "--zoom", "5" }, "--zoom takes" }, Case { { "--zoom", "2x" }, "--zoom takes" },
             Case { { "--zoom", "-1" }, "--zoom takes" }, Case { { "--zoom", "99999999999999999999" }, "--zoom takes" },
             Case { { "--zoom" }, "--zoom needs a value" }, Case { { "--port" }, "--port needs a value" },
             Case { { "--soundfont" }, "--soundfont needs a value" },
             Case { { "--reset", "GS" }, "--reset takes none, gm, gm2, gs or xg, not \"GS\"" },
             Case { { "--reset" }, "--reset needs a value" }, Case { { "--loud" }, "unknown option --loud" },
             Case { { "a.mid", "" }, "empty" } }) {
        CCommandLine line;
        EXPECT_EQ(Parse(line, args), CCommandLine::FAULT) << error;
        EXPECT_NE(line.m_error.find(error), std::string::npos) << line.m_error;
    }
}
