#include "song/CChannelNames.h"

#include "platform/text/CTextEncoding.h"
#include "song/CRing.h"
#include "song/CTrack.h"

#include <algorithm>
#include <string>
#include <vector>

namespace {

const wchar_t* const kPrograms[128] = { L"Acoustic Grand Piano", L"Bright Acoustic Piano", L"Electric Grand Piano",
    L"Honky-tonk Piano", L"Electric Piano 1", L"Electric Piano 2", L"Harpsichord", L"Clavi", L"Celesta",
    L"Glockenspiel", L"Music Box", L"Vibraphone", L"Marimba", L"Xylophone", L"Tubular Bells", L"Dulcimer",
    L"Drawbar Organ", L"Percussive Organ", L"Rock Organ", L"Church Organ", L"Reed Organ", L"Accordion",
    L"Harmonica", L"Tango Accordion", L"Acoustic Guitar (nylon)", L"Acoustic Guitar (steel)",
    L"Electric Guitar (jazz)", L"Electric Guitar (clean)", L"Electric Guitar (muted)", L"Overdriven Guitar",
    L"Distortion Guitar", L"Guitar harmonics", L"Acoustic Bass", L"Electric Bass (finger)", L"Electric Bass (pick)",
    L"Fretless Bass", L"Slap Bass 1", L"Slap Bass 2", L"Synth Bass 1", L"Synth Bass 2", L"Violin", L"Viola", L"Cello",
    L"Contrabass", L"Tremolo Strings", L"Pizzicato Strings", L"Orchestral Harp", L"Timpani", L"String Ensemble 1",
    L"String Ensemble 2", L"SynthStrings 1", L"SynthStrings 2", L"Choir Aahs", L"Voice Oohs", L"Synth Voice",
    L"Orchestra Hit", L"Trumpet", L"Trombone", L"Tuba", L"Muted Trumpet", L"French Horn", L"Brass Section",
    L"SynthBrass 1", L"SynthBrass 2", L"Soprano Sax", L"Alto Sax", L"Tenor Sax", L"Baritone Sax", L"Oboe",
    L"English Horn", L"Bassoon", L"Clarinet", L"Piccolo", L"Flute", L"Recorder", L"Pan Flute", L"Blown Bottle",
    L"Shakuhachi", L"Whistle", L"Ocarina", L"Lead 1 (square)", L"Lead 2 (sawtooth)", L"Lead 3 (calliope)",
    L"Lead 4 (chiff)", L"Lead 5 (charang)", L"Lead 6 (voice)", L"Lead 7 (fifths)", L"Lead 8 (bass + lead)",
    L"Pad 1 (new age)", L"Pad 2 (warm)", L"Pad 3 (polysynth)", L"Pad 4 (choir)", L"Pad 5 (bowed)", L"Pad 6 (metallic)",
    L"Pad 7 (halo)", L"Pad 8 (sweep)", L"FX 1 (rain)", L"FX 2 (soundtrack)", L"FX 3 (crystal)", L"FX 4 (atmosphere)",
    L"FX 5 (brightness)", L"FX 6 (goblins)", L"FX 7 (echoes)", L"FX 8 (sci-fi)", L"Sitar", L"Banjo", L"Shamisen",
    L"Koto", L"Kalimba", L"Bag pipe", L"Fiddle", L"Shanai", L"Tinkle Bell", L"Agogo", L"Steel Drums", L"Woodblock",
    L"Taiko Drum", L"Melodic Tom", L"Synth Drum", L"Reverse Cymbal", L"Guitar Fret Noise", L"Breath Noise",
    L"Seashore", L"Bird Tweet", L"Telephone Ring", L"Helicopter", L"Applause", L"Gunshot" };

constexpr int kDrumChannel = 9;

// What one track tells about the channels.
struct TrackFacts {
    std::uint32_t channels { 0 };
    std::string name;
    std::string instrument;
};

// Control characters (a damaged file's) become spaces; spaces at the ends go.
std::wstring Tidy(std::wstring text)
{
    for (wchar_t& c : text) {
        if (c < 0x20 || c == 0x7F)
            c = L' ';
    }
    const size_t first = text.find_first_not_of(L' ');
    if (first == std::wstring::npos)
        return std::wstring();
    text = text.substr(first, text.find_last_not_of(L' ') - first + 1);
    if (text.size() > static_cast<size_t>(CChannelNames::MAX_NAME))
        text.resize(static_cast<size_t>(CChannelNames::MAX_NAME));
    return text;
}

}

void CChannelNames::Build(const CTrack* tracks)
{
    m_used = 0;
    m_names = {};
    std::array<int, 16> program;
    program.fill(-1);
    std::vector<TrackFacts> facts;
    std::string all;
    CRing::ForEach(tracks, [&](const CTrack* track) {
        TrackFacts fact;
        size_t hint = 0;
        CRing::ForEach(track->m_firstEvent, [&](const CMidiEvent* event) {
            const BYTE kind = event->m_status & 0xF0;
            const int channel = event->m_status & 0x0F;
            if (event->m_status < 0xF0 && kind == 0x90 && event->m_data2 > 0)
                fact.channels |= 1u << channel;
            else if (event->m_status < 0xF0 && kind == 0xC0 && program[size_t(channel)] < 0)
                program[size_t(channel)] = event->m_data1 & 0x7F;
            else if (event->m_status == 0xFF && event->m_metaType == 0x03 && fact.name.empty())
                fact.name = track->TextBytes(event, hint);
            else if (event->m_status == 0xFF && event->m_metaType == 0x04 && fact.instrument.empty())
                fact.instrument = track->TextBytes(event, hint);
        });
        m_used |= fact.channels;
        all += fact.name + fact.instrument;
        facts.push_back(std::move(fact));
    });
    // Judged over all names at once, as a detector needs more than a word.
    CTextEncoding decoder(CTextEncoding::Detect(all));
    for (const TrackFacts& fact : facts) {
        // A track on several channels names none of them.
        if (fact.channels == 0 || (fact.channels & (fact.channels - 1)) != 0)
            continue;
        int channel = 0;
        while (!(fact.channels >> channel & 1))
            ++channel;
        CString& name = m_names[size_t(channel)];
        if (name.IsEmpty())
            name = CString(Tidy(decoder.Decode(fact.name)).c_str());
        if (name.IsEmpty())
            name = CString(Tidy(decoder.Decode(fact.instrument)).c_str());
    }
    for (int n = 0; n < 16; ++n) {
        CString& name = m_names[size_t(n)];
        if (!name.IsEmpty())
            continue;
        // Before any program change a channel plays the first program.
        name = n == kDrumChannel ? CString(L"Drums") : ProgramName(std::max(program[size_t(n)], 0));
    }
}

BOOL CChannelNames::IsUsed(int channel) const
{
    return channel >= 0 && channel < 16 && (m_used >> channel & 1) ? TRUE : FALSE;
}

CString CChannelNames::Name(int channel) const
{
    return channel >= 0 && channel < 16 ? m_names[size_t(channel)] : CString();
}

CString CChannelNames::ProgramName(int program)
{
    return program >= 0 && program < 128 ? CString(kPrograms[program]) : CString();
}
