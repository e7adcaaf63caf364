#include "midiout/CSentKeys.h"

CSentKeys::CSentKeys()
{
    for (auto& channel : m_velocity) {
        for (auto& key : channel)
            key.store(0, std::memory_order_relaxed);
    }
}

void CSentKeys::Note(int channel, int key, int velocity)
{
    const auto value = static_cast<BYTE>(velocity < 0 ? 0 : velocity > 127 ? 127 : velocity);
    if (m_velocity[channel & 0x0F][key & 0x7F].exchange(value, std::memory_order_relaxed) != value)
        Changed();
}

void CSentKeys::ClearChannel(int channel)
{
    bool changed = false;
    for (auto& key : m_velocity[channel & 0x0F])
        changed |= key.exchange(0, std::memory_order_relaxed) != 0;
    if (changed)
        Changed();
}

void CSentKeys::Clear()
{
    for (int channel = 0; channel < 16; ++channel)
        ClearChannel(channel);
}
