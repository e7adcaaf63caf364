#include "platform/comm/CSeqEncoder.h"

#include "platform/comm/CAlsaLibrary.h"

namespace {

// Room for one system-exclusive message of the size the synthesizer port
// also accepts; channel messages need three bytes.
constexpr size_t kBufferSize = 1024;

}

CSeqEncoder::CSeqEncoder()
    : m_alsa(CAlsaLibrary::Get())
    , m_event(std::make_unique<snd_seq_event>())
{
    snd_seq_ev_clear(m_event.get());
    if (!m_alsa || m_alsa->snd_midi_event_new(kBufferSize, &m_encoder) < 0)
        m_encoder = nullptr;
}

CSeqEncoder::~CSeqEncoder()
{
    if (m_encoder)
        m_alsa->snd_midi_event_free(m_encoder);
}

bool CSeqEncoder::Feed(BYTE byte)
{
    if (!m_encoder)
        return false;
    snd_seq_ev_clear(m_event.get());
    return m_alsa->snd_midi_event_encode_byte(m_encoder, byte, m_event.get()) == 1;
}

std::string CSeqEncoder::Describe() const
{
    const snd_seq_event& ev = *m_event;
    auto words = [](const char* kind, std::initializer_list<long> values) {
        std::string text = kind;
        for (long value : values)
            text += " " + std::to_string(value);
        return text;
    };
    const snd_seq_ev_note_t& note = ev.data.note;
    const snd_seq_ev_ctrl_t& control = ev.data.control;
    switch (ev.type) {
    case SND_SEQ_EVENT_NOTEON: return words("noteon", { note.channel, note.note, note.velocity });
    case SND_SEQ_EVENT_NOTEOFF: return words("noteoff", { note.channel, note.note, note.velocity });
    case SND_SEQ_EVENT_KEYPRESS: return words("keypress", { note.channel, note.note, note.velocity });
    case SND_SEQ_EVENT_CONTROLLER: return words("controller", { control.channel, control.param, control.value });
    case SND_SEQ_EVENT_PGMCHANGE: return words("pgmchange", { control.channel, control.value });
    case SND_SEQ_EVENT_CHANPRESS: return words("chanpress", { control.channel, control.value });
    case SND_SEQ_EVENT_PITCHBEND: return words("pitchbend", { control.channel, control.value });
    case SND_SEQ_EVENT_SYSEX: return words("sysex", { static_cast<long>(ev.data.ext.len) });
    default: return words("event", { ev.type });
    }
}
