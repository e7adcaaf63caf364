#include "midiout/CMixerValues.h"

#include <gtest/gtest.h>

// The text form gives back what was written; anything else leaves the
// values as they were.
TEST(MixerValues, TextKeepsTheMixAndRefusesAnythingElse)
{
    CMixerValues mix;
    EXPECT_EQ(mix.ToText(), "");
    mix.volume[0] = 0;
    mix.volume[15] = 75;
    mix.pan[9] = 127;
    mix.Emphasize(9, 45);
    const std::string text = mix.ToText();
    EXPECT_EQ(text, "vol=0,100,100,100,100,100,100,100,100,100,100,100,100,100,100,75;"
                    "pan=-,-,-,-,-,-,-,-,-,127,-,-,-,-,-,-;focus=emphasis:9:45");
    CMixerValues read;
    ASSERT_TRUE(CMixerValues::FromText(text, read));
    EXPECT_EQ(read, mix);
    CMixerValues minus;
    minus.MinusOne(3);
    minus.emphasisLevel = 10;
    ASSERT_TRUE(CMixerValues::FromText(minus.ToText(), read));
    EXPECT_EQ(read, minus);

    const std::string list15 = "1,2,3,4,5,6,7,8,9,10,11,12,13,14,15";
    for (const std::string& bad : { "vol=" + list15, "vol=" + list15 + ",16,17", "vol=" + list15 + ",101",
             "vol=" + list15 + ",-", "pan=" + list15 + ",128", "vol=" + list15 + ",x", "vol=" + list15 + ",",
             std::string("focus=emphasis:16:30"), std::string("focus=emphasis:3"), std::string("focus=minus-one:3:4"),
             std::string("focus=solo:3"), std::string("level=-1"), std::string("level=99999999999"),
             std::string("colour=red"), std::string("vol"), std::string(";;"), std::string(500, 'v') }) {
        CMixerValues kept = minus;
        EXPECT_FALSE(CMixerValues::FromText(bad, kept)) << bad;
        EXPECT_EQ(kept, minus) << bad;
    }
}

// Emphasis and minus one are one click: the same again ends them, and each
// replaces the other.
TEST(MixerValues, EmphasisAndMinusOneScaleTheChannels)
{
    CMixerValues mix;
    mix.volume[1] = 50;
    const auto scales = [&] { return std::vector<int> { mix.Scale(0), mix.Scale(1), mix.Scale(2), mix.Scale(16) }; };
    EXPECT_EQ(scales(), (std::vector<int> { 1000, 500, 1000, 1000 }));
    mix.Emphasize(1, 30);
    EXPECT_EQ(scales(), (std::vector<int> { 300, 1000, 300, 1000 }));
    mix.MinusOne(2);
    EXPECT_EQ(scales(), (std::vector<int> { 1000, 500, 0, 1000 }));
    mix.MinusOne(2);
    EXPECT_TRUE(mix.IsNeutral() == false && mix.focus == CMixerValues::FOCUS_NONE);
    mix.Emphasize(0, 250);
    EXPECT_EQ(scales(), (std::vector<int> { 1000, 500, 1000, 1000 }));
}
