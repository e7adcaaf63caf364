#include "player/CBookmarkList.h"
#include "player/CCountInSettings.h"
#include "player/CMetronomeSettings.h"
#include "player/CSpeedTrainerSettings.h"
#include "player/SettingsText.h"

#include <gtest/gtest.h>

// Each value through its text and back, and texts that are no value leaving
// the value as it was.
template <typename Value> void ExpectRoundTrip(const Value& value)
{
    Value read;
    EXPECT_TRUE(read.FromText(value.ToText())) << value.ToText();
    EXPECT_EQ(read, value) << value.ToText();
}

template <typename Value> void ExpectRefused(const Value& before, std::initializer_list<const char*> texts)
{
    for (const char* text : texts) {
        Value value = before;
        EXPECT_FALSE(value.FromText(text)) << text;
        EXPECT_EQ(value, before) << text;
    }
}

TEST(PracticeValues, TextFormsRoundTripAndRefuseWhatIsNoValue)
{
    ExpectRoundTrip(CCountInSettings { 2, true });
    ExpectRefused(CCountInSettings { 1, false }, { "bars=3", "bars=-1", "bars=1x", "bars", "pass=2", "bars=99999999999999999999" });
    CCountInSettings count;
    EXPECT_TRUE(count.FromText("future=7  bars=1"));
    EXPECT_EQ(count.bars, 1);

    ExpectRoundTrip(CMetronomeSettings { 40, CMetronomeSettings::WOOD_BLOCK, true });
    ExpectRefused(CMetronomeSettings {}, { "volume=4", "volume=101", "sound=gong", "eighths=yes", "sound=" });

    ExpectRoundTrip(CSpeedTrainerSettings { true, 60, 110, 10, 3 });
    ExpectRefused(CSpeedTrainerSettings {}, { "from=120 to=100", "step=0", "passes=101", "to=401", "from=9" });

    CBookmarkList marks;
    ASSERT_TRUE(marks.Add(3072, "Bar 9"));
    ASSERT_TRUE(marks.Add(0, "a=b 100% \x01 \xC3\xA9t\xC3\xA9"));
    ExpectRoundTrip(marks);
    ExpectRefused(marks, { "x=Bar", "12=%G0", "12=%4", "-1=a", "5=%", "1000000000001=a" });
    CBookmarkList before = marks;
    EXPECT_FALSE(marks.FromText("5=" + std::string(CBookmarkList::MAX_NAME + 1, 'a')));
    EXPECT_FALSE(marks.FromText(std::string(SettingsText::MAX_TEXT + 1, ' ')));
    EXPECT_EQ(marks, before);
}

TEST(PracticeValues, BookmarksStayInSongOrderOnePerTickWithinTheirLimits)
{
    CBookmarkList marks;
    EXPECT_TRUE(marks.Add(900, "Bar 3"));
    EXPECT_TRUE(marks.Add(100, "Bar 1"));
    EXPECT_TRUE(marks.Add(900, "Chorus"));
    ASSERT_EQ(marks.Items().size(), 2u);
    EXPECT_EQ(marks.Items()[0].name, "Bar 1");
    EXPECT_EQ(marks.Items()[1].name, "Chorus");
    // A long name is cut before a character, never inside it.
    EXPECT_TRUE(marks.Add(5, std::string(63, 'a') + "\xC3\xA9"));
    EXPECT_EQ(marks.Items()[0].name, std::string(63, 'a'));
    EXPECT_FALSE(marks.Add(-1, "x"));
    EXPECT_FALSE(marks.Remove(3));
    EXPECT_TRUE(marks.Remove(0));
    for (LONGLONG tick = 0; marks.Items().size() < CBookmarkList::MAX_BOOKMARKS; ++tick)
        marks.Add(tick * 10, "x");
    EXPECT_FALSE(marks.Add(1, "one too many"));
}

TEST(PracticeValues, TrainerStepsEveryNPassesAndStaysAtItsTarget)
{
    CSpeedTrainerSettings trainer;
    std::string error;
    ASSERT_TRUE(trainer.FromArgument("70,100,5,2", error));
    EXPECT_TRUE(trainer.on);
    const int expected[] = { 70, 70, 75, 75, 80, 80, 85, 85, 90, 90, 95, 95, 100, 100, 100 };
    for (int pass = 0; pass < 15; ++pass)
        EXPECT_EQ(trainer.PercentForPass(pass), expected[pass]) << pass;
    EXPECT_EQ(trainer.PercentForPass(1LL << 60), 100);
    ASSERT_TRUE(trainer.FromArgument("50,98,25,1", error));
    EXPECT_EQ(trainer.PercentForPass(2), 98);
    for (const char* bad : { "70,100,5", "70,100,5,2,1", "100,70,5,2", "70,100,0,2", "70,100,5,0", "a,b,c,d", "" }) {
        CSpeedTrainerSettings kept = trainer;
        EXPECT_FALSE(trainer.FromArgument(bad, error)) << bad;
        EXPECT_EQ(trainer, kept);
        EXPECT_NE(error.find("--speed-trainer"), std::string::npos);
    }
}

TEST(PracticeValues, MetronomeSoundsAreDrumKeyPairsAndTheVolumeScalesBothClicks)
{
    CMetronomeSettings metronome;
    EXPECT_EQ(metronome.AccentVelocity(), 127);
    EXPECT_EQ(metronome.BeatVelocity(), 63);
    EXPECT_EQ(CMetronomeSettings::AccentKey(metronome.sound), 37);
    metronome.volume = CMetronomeSettings::MIN_VOLUME;
    EXPECT_EQ(metronome.AccentVelocity(), 6);
    EXPECT_EQ(metronome.BeatVelocity(), 3);
    EXPECT_EQ(CMetronomeSettings::AccentKey(CMetronomeSettings::WOOD_BLOCK), 76);
    EXPECT_EQ(CMetronomeSettings::BeatKey(CMetronomeSettings::WOOD_BLOCK), 77);
    CMetronomeSettings::Sound sound {};
    EXPECT_TRUE(CMetronomeSettings::SoundByName("cowbell", sound));
    EXPECT_EQ(CMetronomeSettings::AccentKey(sound), 56);
}
