#include "player/CChannelLevel.h"

#include "song/CMidiEvent.h"

#include <algorithm>

CChannelLevel::CChannelLevel() = default;

CChannelLevel::~CChannelLevel()
{
    CRing::Clear(m_notes);
}

void CChannelLevel::NoteEvent(const CMidiEvent* event)
{
    BYTE kind = event->m_status & 0xF0;
    if (kind == 0x80 || (kind == 0x90 && event->m_data2 == 0))
        RemoveNote(event->m_data1);
    else if (kind == 0x90 && !m_muted.load(std::memory_order_relaxed))
        AddNote(event->m_data1, event->m_data2);
}

void CChannelLevel::AddNote(int key, int velocity)
{
    auto* note = new CSoundingNote;
    note->m_key = key;
    note->m_value = velocity;
    std::lock_guard<std::mutex> guard(m_lock);
    m_peak = std::max(m_peak, LevelOf(velocity));
    CRing::Append(m_notes, note);
}

void CChannelLevel::RemoveNote(int key)
{
    std::lock_guard<std::mutex> guard(m_lock);
    // Every entry of the key goes: a key struck twice has two entries.
    bool removed = true;
    while (removed && m_notes) {
        removed = false;
        CSoundingNote* p = m_notes;
        do {
            if (p->m_key == key) {
                m_notes = CRing::RemoveAndDelete(m_notes, p);
                removed = true;
                break;
            }
            p = p->m_next;
        } while (p != m_notes);
    }
}

void CChannelLevel::ClearNotes()
{
    std::lock_guard<std::mutex> guard(m_lock);
    CRing::Clear(m_notes);
}

std::int32_t CChannelLevel::TakeLevel()
{
    std::lock_guard<std::mutex> guard(m_lock);
    std::int32_t result = m_peak;
    m_peak = -10000;
    // A muted channel is silent, whatever slipped in before the mute.
    if (m_muted.load(std::memory_order_relaxed))
        return -10000;
    CRing::ForEach(m_notes, [&result](CSoundingNote* note) {
        result = std::max(result, LevelOf(note->m_value));
        note->m_value = std::max(note->m_value * 800 / 801, 1);
    });
    return result;
}
