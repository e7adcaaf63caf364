#include "LoadedSong.h"
#include "song/CChannelNames.h"

#include <gtest/gtest.h>

// A channel is named by a track that plays on it alone (its name, else its
// instrument), otherwise by its first program's General MIDI name; only
// channels with notes count as used.
TEST(ChannelNames, TrackNamesThenProgramNames)
{
    Bytes lead, fretless, keys, guitar;
    AddMeta(lead, 0x03, "Lead\x01Vocal  ");
    lead.insert(lead.end(), { 0, 0x90, 60, 100, 0, 0xC4, 5 });
    AddMeta(fretless, 0x04, "Bass fretless");
    fretless.insert(fretless.end(), { 0, 0x91, 40, 100 });
    // Two channels: the track's name names neither; a note-on of velocity
    // 0 is no note.
    AddMeta(keys, 0x03, "Keys");
    keys.insert(keys.end(), { 0, 0xC2, 33, 0, 0x92, 50, 100, 0, 0x93, 50, 100, 0, 0xC2, 0, 0, 0x95, 50, 0, 0, 0x99, 36, 100 });
    AddMeta(guitar, 0x03, "Gitarre \xC3\xBC");
    guitar.insert(guitar.end(), { 0, 0x96, 36, 100 });
    for (Bytes* track : { &lead, &fretless, &keys, &guitar })
        track->insert(track->end(), { 0, 0xFF, 0x2F, 0 });
    LoadedSong song(Smf(1, 96, { lead, fretless, keys, guitar }));
    ASSERT_EQ(song.failure, nullptr);
    CChannelNames names;
    names.Build(song.tracks);
    std::vector<std::string> got;
    for (int n = -1; n <= 16; ++n)
        got.push_back(names.IsUsed(n) ? names.Name(n).ToUtf8() : "-");
    EXPECT_EQ(got, (std::vector<std::string> { "-", "Lead Vocal", "Bass fretless", "Electric Bass (finger)",
                       "Acoustic Grand Piano", "-", "-", "Gitarre \xC3\xBC", "-", "-", "Drums", "-", "-", "-", "-", "-", "-", "-" }));
    EXPECT_EQ(std::make_pair(CChannelNames::ProgramName(127).ToUtf8(), CChannelNames::ProgramName(128).ToUtf8()),
        std::make_pair(std::string("Gunshot"), std::string()));
}
