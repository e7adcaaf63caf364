#pragma once

#include "player/CPlayerState.h"
#include "song/CMidiFileReader.h"
#include "song/CRing.h"
#include "song/CSong.h"
#include "song/CTrack.h"

#include <algorithm>
#include <cstdint>
#include <memory>
#include <initializer_list>
#include <string>
#include <vector>

// Bytes of a Standard MIDI File put together by hand.
class MidiBytes {
public:
    static MidiBytes Header(int format, int tracks, int division)
    {
        MidiBytes m;
        m.Text("MThd").Word32(6).Word16(format).Word16(tracks).Word16(division);
        return m;
    }
    // A track chunk with its exact length, or with a declared length.
    MidiBytes& Track(std::initializer_list<int> body) { return Track(std::vector<int>(body)); }
    MidiBytes& Track(const std::vector<int>& body, long long declared = -1)
    {
        Text("MTrk").Word32(declared < 0 ? body.size() : static_cast<std::uint32_t>(declared));
        for (int b : body)
            bytes.push_back(static_cast<BYTE>(b));
        return *this;
    }
    MidiBytes& Text(const std::string& text)
    {
        bytes.insert(bytes.end(), text.begin(), text.end());
        return *this;
    }
    MidiBytes& Word16(std::uint32_t v)
    {
        bytes.push_back(static_cast<BYTE>(v >> 8));
        bytes.push_back(static_cast<BYTE>(v));
        return *this;
    }
    MidiBytes& Word32(std::uint32_t v) { return Word16(v >> 16).Word16(v & 0xFFFF); }

    std::vector<BYTE> bytes;
};

// Appends a meta event with a delta of 0 and a one-byte length.
inline void AddMeta(std::vector<int>& body, int type, const std::string& payload)
{
    body.insert(body.end(), { 0x00, 0xFF, type, static_cast<int>(payload.size()) });
    for (unsigned char c : payload)
        body.push_back(c);
}

// The outcome of one read, with the rings it built.
class LoadedSong {
public:
    explicit LoadedSong(const std::vector<BYTE>& bytes) { Load(bytes); }
    LoadedSong() = default;
    ~LoadedSong()
    {
        CRing::Clear(tracks);
        CRing::Clear(song);
    }
    LoadedSong(const LoadedSong&) = delete;
    LoadedSong& operator=(const LoadedSong&) = delete;

    // The bytes go into a block of their exact size, so that the address
    // sanitizer reports any read past the end.
    void Load(const std::vector<BYTE>& bytes)
    {
        std::unique_ptr<BYTE[]> exact(new BYTE[bytes.size()]);
        std::copy(bytes.begin(), bytes.end(), exact.get());
        CMidiFileReader reader(exact.get(), bytes.size(), state);
        failure = reader.Read(song, tracks);
    }
    std::vector<CTrack*> Tracks() const
    {
        std::vector<CTrack*> out;
        CRing::ForEach(tracks, [&out](CTrack* t) { out.push_back(t); });
        return out;
    }
    std::vector<CMidiEvent*> Events(size_t track) const
    {
        std::vector<CMidiEvent*> out;
        CRing::ForEach(Tracks().at(track)->m_firstEvent, [&out](CMidiEvent* e) { out.push_back(e); });
        return out;
    }
    // The failure that ended the read, as a list of none or one.
    std::vector<std::wstring> Messages() const
    {
        return failure ? std::vector<std::wstring> { failure } : std::vector<std::wstring> {};
    }

    const wchar_t* failure { nullptr };
    CPlayerState state;
    CSong* song { nullptr };
    CTrack* tracks { nullptr };
};
