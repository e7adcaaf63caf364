#include "tests/app/PlayerDialogFixture.h"

#include "app/CSongViews.h"
#include "app/FaceCommands.h"
#include "platform/text/CTextEncoding.h"
#include "platform/ui/Keyboard.h"
#include "platform/ui/WindowPlacement.h"
#include "player/CDrivenPlayer.h"
#include "player/CTransport.h"

#include <array>
#include <set>

namespace {

const std::string kKaraoke = std::string(TEST_DATA_DIR) + "/midi/ode-latin1.kar";

// The capture port's lines read as they come: which keys sound on each
// channel, with the velocity they were struck with, as a device that
// received the bytes would have them.
class CaptureReader {
public:
    explicit CaptureReader(const std::string& path)
        : m_in(path)
    {
    }

    void ReadNew()
    {
        m_in.clear();
        for (std::string time, hex; m_in >> time >> hex;) {
            const int byte = std::stoi(hex, nullptr, 16);
            if (byte >= 0x80)
                m_message.clear();
            m_message.push_back(byte);
            const int kind = m_message[0] & 0xF0, channel = m_message[0] & 0x0F;
            if (m_message.size() != 3 || kind < 0x80 || kind > 0xB0)
                continue;
            if (kind == 0x90 && m_message[2] > 0)
                ++noteOns[channel];
            if (kind == 0x90)
                sounding[channel][m_message[1]] = m_message[2];
            else if (kind == 0x80)
                sounding[channel][m_message[1]] = 0;
            else if (kind == 0xB0 && (m_message[1] == 120 || m_message[1] == 123))
                sounding[channel].fill(0);
        }
    }

    std::array<std::array<int, 128>, 16> sounding {};
    std::array<int, 16> noteOns {};

private:
    std::ifstream m_in;
    std::vector<int> m_message;
};

}

// The karaoke song played to its end on a capture port: after every period
// of the player the keyboard shows lit exactly the keys the capture shows
// sounding on the channels watched, transposed by 3 and later by -2, in the
// meters' colour for their velocity (yellow for 90 and 100); one channel
// alone when that is chosen; and a muted part's keys dimmed, though the
// capture holds none of its Note Ons.
TEST(Views, TheKeyboardLightsWhatTheCaptureShowsSounding)
{
    TempConfigHome config;
    DrivenTickCount clock(0);
    const std::string capture = std::string(TEST_BINARY_DIR) + "/views-keyboard-capture.txt";
    CTabrinoDlg dialog;
    ASSERT_TRUE(dialog.CreateHeadless(240, 268));
    ASSERT_TRUE(dialog.m_output.OpenPort(Wide("capture:" + capture)));
    ASSERT_TRUE(dialog.OpenFile(Wide(kKaraoke), L"ode-latin1.kar"));
    CKeyboardWindow& keyboard = dialog.m_pViews->m_keyboard;
    keyboard.Open(FALSE);
    ASSERT_TRUE(keyboard.IsOpen());
    CTransport transport(dialog.m_playerState, nullptr, FALSE);
    transport.SetTranspose(3);
    ASSERT_TRUE(transport.Play());

    CaptureReader device(capture);
    const COLORREF yellow = RGB(255, 255, 0), dimmed = RGB(85, 85, 0);
    int phase = 0, checked = 0, litSeen = 0, bassNoteOnsAtMute = -1, dimmedSeen = 0;
    CDrivenPlayer::Run(dialog, clock, [&] {
        const LONGLONG ms = clock.Micros() / 1000;
        // A new transposition and a mute reach the output in the player's
        // next period, which silences what sounds: compared from then on.
        if (ms >= 12000 && phase == 0) {
            ++phase;
            return transport.SetTranspose(-2);
        }
        if (ms >= 18000 && phase == 1) {
            ++phase;
            keyboard.SetChannel(0);
        }
        if (ms >= 24000 && phase == 2) {
            ++phase;
            keyboard.SetChannel(-1);
            dialog.m_practice.ToggleMute(1);
            return TRUE;
        }
        device.ReadNew();
        if (phase == 3 && bassNoteOnsAtMute < 0)
            bassNoteOnsAtMute = device.noteOns[1];
        keyboard.Refresh();
        const CPianoKeys& keys = keyboard.Keys();
        for (int key = 0; key < 128; ++key) {
            int velocity = 0;
            for (int channel = 0; channel < 16; ++channel) {
                const bool watched = keyboard.Channel() < 0 ? channel != 9 : channel == keyboard.Channel();
                velocity = std::max(velocity, watched ? device.sounding[channel][key] : 0);
            }
            if (key < keys.First() || key > keys.Last()) {
                EXPECT_EQ(velocity, 0) << "a key off the keyboard sounds: " << key;
                continue;
            }
            const COLORREF shown = keys.KeyColour(key);
            if (velocity > 0) {
                ++litSeen;
                EXPECT_EQ(shown, yellow) << "at " << ms << " ms, key " << key;
            } else if (shown == dimmed && bassNoteOnsAtMute >= 0) {
                ++dimmedSeen;
                EXPECT_TRUE(key == 43 - 2 || key == 48 - 2) << "only the muted bass shows dimmed: " << key;
            } else {
                EXPECT_EQ(shown, CPianoKeys::kUnlit) << "at " << ms << " ms, key " << key;
            }
        }
        ++checked;
        return ::testing::Test::HasFailure() ? FALSE : TRUE;
    });
    EXPECT_GT(checked, 150);
    EXPECT_GT(litSeen, 150);
    EXPECT_GT(dimmedSeen, 20) << "the muted bass still shows";
    EXPECT_EQ(device.noteOns[1], bassNoteOnsAtMute) << "the capture holds no Note On of the muted bass";
    std::remove(capture.c_str());
}

class ViewWindows : public PlayerDialog {
protected:
    CSongViews& Views() { return *dialog.m_pViews; }
    // Seeks while stopped and runs the display refresh the seek asks for.
    void SeekAndRefresh(LONGLONG tick)
    {
        dialog.SetPosition(tick);
        Refresh();
    }
    // The pixels of a colour in a row of the lyrics window's surface.
    int Count(int y, COLORREF colour)
    {
        const CPixelBuffer& surface = Views().m_lyrics.m_hWnd->surface;
        int n = 0;
        for (int x = 0; x < surface.width; ++x)
            n += surface.At(x, y) == static_cast<std::uint32_t>((GetRValue(colour) << 16) | (GetGValue(colour) << 8) | GetBValue(colour)) ? 1 : 0;
        return n;
    }
};

// The lyrics window as a singer uses it: opened with its key, it follows
// seeks with the sung part in its own colour, takes another encoding from
// its menu, goes full screen and back with F11 and Escape, hands Space to
// the player, and opens again at the next start where it was, with the
// encoding chosen.
TEST_F(ViewWindows, TheLyricsWindowFollowsThePlayerAndKeepsItsPlace)
{
    Open(kKaraoke);
    Command(ID_LYRICS_WINDOW);
    CLyricsWindow& lyrics = Views().m_lyrics;
    ASSERT_TRUE(lyrics.IsOpen());
    UpdateWindow(lyrics.m_hWnd);
    SeekAndRefresh(1920 + 2 * 480);
    EXPECT_EQ(std::make_pair(lyrics.View().ShownLine(), lyrics.View().ShownSung()), std::make_pair(0, 12));
    const RECT band = lyrics.View().LineBand(0);
    const int middle = (band.top + band.bottom) / 2;
    EXPECT_GT(Count(middle, CLyricsView::kSung), 0) << "the sung part";
    EXPECT_GT(Count(middle, CLyricsView::kToSing), 0) << "the part to sing";
    SeekAndRefresh(1920 + 16 * 480 * 2);
    EXPECT_EQ(std::make_pair(lyrics.View().ShownLine(), lyrics.View().ShownSung()), std::make_pair(4, 3));

    const auto choices = CTextEncoding::Choices();
    const auto utf8 = std::find_if(choices.begin(), choices.end(), [](const auto& c) { return c.name == std::string("UTF-8"); });
    lyrics.SendMessage(WM_COMMAND, MAKEWPARAM(CLyricsWindow::ID_ENCODING_FIRST + (utf8 - choices.begin()), 0), 0);
    EXPECT_NE(lyrics.Lyrics().m_lines[0].text.Find(L'\xFFFD'), -1);

    lyrics.SendMessage(WM_KEYDOWN, VK_F11, 0);
    EXPECT_TRUE(IsWindowFullScreen(lyrics.m_hWnd));
    lyrics.SendMessage(WM_KEYDOWN, VK_ESCAPE, 0);
    EXPECT_FALSE(IsWindowFullScreen(lyrics.m_hWnd));
    EXPECT_TRUE(lyrics.IsOpen()) << "Escape left full screen only";
    lyrics.SendMessage(WM_KEYDOWN, VK_SPACE, 0);
    WaitForState(STATE_PLAYING);
    dialog.OnButtonStop();

    lyrics.MoveWindow(50, 60, 300, 150);
    dialog.DestroyWindow();
    CTabrinoDlg again;
    again.m_strPortOverride = L"none";
    ASSERT_TRUE(again.CreateHeadless(240, 268));
    ASSERT_TRUE(again.OnInitDialog());
    CLyricsWindow& restored = again.m_pViews->m_lyrics;
    ASSERT_TRUE(restored.IsOpen());
    RECT rect;
    restored.GetWindowRect(&rect);
    EXPECT_EQ(std::vector<LONG>({ rect.left, rect.top, rect.right, rect.bottom }), std::vector<LONG>({ 50, 60, 350, 210 }));
    EXPECT_EQ(again.m_pViews->m_settings.m_lyricsEncoding, "UTF-8");
    again.DestroyWindow();
}

// The settings come from a file anyone may edit: only a placement written
// as the player writes it is taken.
TEST(Views, OnlyWellFormedPlacementsAreTaken)
{
    for (const char* bad : { "", "1 2 3 4", "1 0 0 480 200 7", "2 0 0 480 200", "1 0 0 10 200", "1 0  0 480 200",
             "1 -99999 0 480 200", "1 0 0 480 200x", "one 0 0 480 200" }) {
        CViewSettings::Placement placement;
        EXPECT_FALSE(CViewSettings::ParsePlacement(Wide(bad), placement)) << bad;
        EXPECT_FALSE(placement.placed) << bad;
    }
    CViewSettings::Placement placement;
    ASSERT_TRUE(CViewSettings::ParsePlacement(L"0 -20 30 480 200", placement));
    EXPECT_EQ(CViewSettings::PlacementText(placement).ToUtf8(), "0 -20 30 480 200");
}

// The keys shown: a whole number of octaves C to C around the song's
// notes, at least 61 keys, widened on the side with less room and never
// past 0..127; or the fixed 88 and 128.
TEST(Views, TheKeyboardShowsTheSongsRangeInWholeOctaves)
{
    struct Case {
        std::vector<int> notes;
        int keys, first, last;
    };
    for (const Case& c : { Case { {}, 61, 36, 96 }, Case { { 60, 67 }, 61, 36, 96 }, Case { { 0, 1 }, 61, 0, 60 },
             Case { { 126, 127 }, 61, 60, 127 }, Case { { 21, 108 }, 61, 12, 108 }, Case { { 50 }, 61, 24, 84 },
             Case { { 60 }, 88, 21, 108 }, Case { { 60 }, 128, 0, 127 } }) {
        std::bitset<128> notes;
        for (int note : c.notes)
            notes.set(static_cast<size_t>(note));
        int first = -1, last = -1;
        CKeyboardWindow::KeyRange(notes, c.keys, first, last);
        EXPECT_EQ(std::make_pair(first, last), std::make_pair(c.first, c.last)) << c.keys << " keys, " << c.notes.size() << " notes from " << (c.notes.empty() ? -1 : c.notes[0]);
    }
}

// Two player windows read the views' settings at their starts and write
// them at their closes: each writes only what it changed, so the second
// keeps the first's font size and encoding, and its own placement.
TEST(Views, TwoWindowsKeepWhatEachChanged)
{
    TempConfigHome home;
    CViewSettings first, second, later;
    first.Load();
    second.Load();
    first.m_lyricsFontSize = 72;
    first.m_lyricsEncoding = "KOI8-R";
    ASSERT_TRUE(CViewSettings::ParsePlacement(L"1 10 20 300 100", second.m_keyboard));
    EXPECT_TRUE(first.Save());
    EXPECT_TRUE(second.Save());
    later.Load();
    EXPECT_EQ(later.m_lyricsFontSize, 72);
    EXPECT_EQ(later.m_lyricsEncoding, "KOI8-R");
    EXPECT_EQ(CViewSettings::PlacementText(later.m_keyboard).ToUtf8(), "1 10 20 300 100");
    EXPECT_FALSE(later.m_lyrics.placed);
}
