#pragma once

#include "song/CMidiFileReader.h"
#include "song/CRing.h"
#include "song/CSong.h"
#include "song/CSongFacts.h"
#include "song/CTrack.h"
#include "tests/SmfBytes.h"

#include <cstdio>
#include <memory>
#include <string>
#include <vector>

using Bytes = std::vector<int>;

// A Standard MIDI File put together by hand: its header (declaring the
// tracks given unless told otherwise), then one chunk a track.
inline std::vector<BYTE> Smf(int format, int division, const std::vector<Bytes>& tracks, int declared = -1)
{
    const int n = declared < 0 ? static_cast<int>(tracks.size()) : declared;
    std::vector<BYTE> file { 'M', 'T', 'h', 'd', 0, 0, 0, 6, 0, static_cast<BYTE>(format), static_cast<BYTE>(n >> 8),
        static_cast<BYTE>(n), static_cast<BYTE>(division >> 8), static_cast<BYTE>(division) };
    for (const Bytes& t : tracks)
        PutTrackChunk(file, std::vector<BYTE>(t.begin(), t.end()));
    return file;
}

// Appends a meta event with a one-byte length after the given delta.
inline void AddMeta(Bytes& body, int type, const std::string& payload, unsigned long delta = 0)
{
    std::vector<BYTE> vlq;
    PutVarLen(vlq, delta);
    body.insert(body.end(), vlq.begin(), vlq.end());
    body.insert(body.end(), { 0xFF, type, static_cast<int>(payload.size()) });
    for (char c : payload)
        body.push_back(c & 0xFF);
}

// The outcome of one read, with the rings it built.
class LoadedSong {
public:
    explicit LoadedSong(const std::vector<BYTE>& bytes)
    {
        // A block of the exact size, so that the address sanitizer reports
        // any read past the end.
        std::shared_ptr<BYTE[]> exact(new BYTE[bytes.size()]);
        std::copy(bytes.begin(), bytes.end(), exact.get());
        failure = CMidiFileReader(exact, bytes.size(), facts).Read(song, tracks);
    }
    ~LoadedSong()
    {
        CRing::Clear(tracks);
        CRing::Clear(song);
    }
    LoadedSong(const LoadedSong&) = delete;
    LoadedSong& operator=(const LoadedSong&) = delete;

    // The nodes of a ring, from its head.
    template <typename T>
    static std::vector<T*> Nodes(T* head)
    {
        std::vector<T*> out;
        CRing::ForEach(head, [&out](T* node) { out.push_back(node); });
        return out;
    }
    std::vector<CTrack*> Tracks() const { return Nodes(tracks); }
    std::vector<CMidiEvent*> Events(size_t track) const { return Nodes(Tracks().at(track)->m_firstEvent); }
    // Every event, one line each: "tick status data1 data2" for channel
    // messages, "tick F0 hex" for system ones, "tick FF type 'text'" for texts
    // and "tick FF type hex" for other meta events; "|" starts each track
    // after the first.
    std::vector<std::string> Lines() const
    {
        std::vector<std::string> out;
        for (size_t t = 0; t < Tracks().size(); ++t) {
            if (t)
                out.push_back("|");
            for (const CMidiEvent* e : Events(t)) {
                const CMidiPayload p = Tracks()[t]->Payload(e);
                std::string line = std::to_string(e->m_tick) + " " + Hex(&e->m_status, 1);
                if (e->m_status < 0xF0)
                    line += " " + std::to_string(e->m_data1) + " " + std::to_string(e->m_data2);
                if (e->m_status == 0xFF)
                    line += " " + Hex(&e->m_metaType, 1);
                const bool text = e->m_status == 0xFF && e->m_metaType >= 0x01 && e->m_metaType <= 0x0F;
                if (p.length)
                    line += text ? " '" + std::string(p.bytes, p.bytes + p.length) + "'" : " " + Hex(p.bytes, p.length);
                out.push_back(line);
            }
        }
        return out;
    }
    static std::string Hex(const BYTE* bytes, size_t n)
    {
        std::string out;
        for (char two[3]; n--; out += two)
            std::snprintf(two, sizeof two, "%02X", *bytes++);
        return out;
    }

    const wchar_t* failure { nullptr };
    CSongFacts facts;
    CSong* song { nullptr };
    CTrack* tracks { nullptr };
};
