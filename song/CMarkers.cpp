#include "song/CMarkers.h"

#include "platform/core/CString.h"
#include "platform/text/CTextEncoding.h"
#include "song/MetaEvents.h"

#include <algorithm>
#include <cwctype>

namespace {

constexpr BYTE kMarkerEvent = 0x06;
constexpr BYTE kCueEvent = 0x07;

struct Raw {
    LONGLONG tick;
    std::string bytes;
    bool cue;
};

}

void CMarkers::Build(const CTrack* tracks, const std::string& encoding)
{
    Clear();
    std::vector<Raw> raw;
    for (const BYTE type : { kMarkerEvent, kCueEvent }) {
        ForEachMetaEvent(tracks, type, 1, [&](const CMidiEvent* event, const CMidiPayload& payload) {
            if (raw.size() < 2 * MAX_MARKERS) {
                // A name longer than any menu shows is cut before decoding;
                // four bytes a character leave room for every encoding.
                const size_t length = std::min<size_t>(payload.length, 4 * MAX_NAME);
                raw.push_back(Raw { event->m_tick,
                    std::string(reinterpret_cast<const char*>(payload.bytes), length), type == kCueEvent });
            }
        });
    }
    std::stable_sort(raw.begin(), raw.end(), [](const Raw& a, const Raw& b) { return a.tick < b.tick; });
    if (raw.size() > MAX_MARKERS)
        raw.resize(MAX_MARKERS);
    std::string all;
    for (const Raw& r : raw)
        all += r.bytes + "\n";
    CTextEncoding decoder(encoding.empty() ? CTextEncoding::Detect(all) : encoding);
    for (const Raw& r : raw) {
        std::wstring name = decoder.Decode(r.bytes);
        std::erase_if(name, [](wchar_t c) { return c < 0x20 || (c >= 0x7F && c < 0xA0); });
        name = CString(name).Trim().GetString();
        if (name.size() > MAX_NAME)
            name.resize(MAX_NAME);
        if (!name.empty())
            m_markers.push_back(Marker { r.tick, name, r.cue });
    }
}

int CMarkers::Next(LONGLONG tick) const
{
    auto at = std::upper_bound(
        m_markers.begin(), m_markers.end(), tick, [](LONGLONG t, const Marker& m) { return t < m.tick; });
    return at == m_markers.end() ? -1 : static_cast<int>(at - m_markers.begin());
}

int CMarkers::Previous(LONGLONG tick) const
{
    auto at = std::lower_bound(
        m_markers.begin(), m_markers.end(), tick, [](const Marker& m, LONGLONG t) { return m.tick < t; });
    return at == m_markers.begin() ? -1 : static_cast<int>(at - m_markers.begin()) - 1;
}

int CMarkers::Find(const std::wstring& name) const
{
    for (size_t n = 0; n < m_markers.size(); ++n)
        if (m_markers[n].name == name)
            return static_cast<int>(n);
    auto lower = [](std::wstring s) {
        std::transform(s.begin(), s.end(), s.begin(), [](wchar_t c) { return std::towlower(c); });
        return s;
    };
    const std::wstring wanted = lower(name);
    for (size_t n = 0; n < m_markers.size(); ++n)
        if (lower(m_markers[n].name) == wanted)
            return static_cast<int>(n);
    return -1;
}
