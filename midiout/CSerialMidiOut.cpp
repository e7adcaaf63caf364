#include "midiout/CSerialMidiOut.h"

// Interim output stage for the player's own tests until the real stage is
// merged: the message rules, and a capture port that logs every byte.
#include "player/CPlayerState.h"
#include "song/CMidiEvent.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>

namespace {
std::FILE* g_capture = nullptr;
std::chrono::steady_clock::time_point g_opened;
}

CSerialMidiOut::CSerialMidiOut() = default;
CSerialMidiOut::~CSerialMidiOut()
{
    if (m_started)
        Stop();
    ClosePort();
}

BOOL CSerialMidiOut::Start()
{
    if (m_started)
        return TRUE;
    m_head = m_tail = 0;
    AllOff();
    m_started = 1;
    SetVolume(m_volume);
    return TRUE;
}

void CSerialMidiOut::Pause()
{
    if (m_started)
        AllOff();
}

void CSerialMidiOut::Stop()
{
    if (m_started) {
        AllOff();
        m_started = 0;
    }
}

void CSerialMidiOut::AllOff()
{
    for (int n = 0; n < 16; ++n) {
        BYTE s = static_cast<BYTE>(0xB0 + n);
        BYTE bytes[9] = { s, 120, 0, s, 121, 0, s, 123, 0 };
        Write(bytes, 9);
    }
}

void CSerialMidiOut::SetVolume(int volume)
{
    m_volume = volume;
    if (m_started && m_scaleVolume) {
        BYTE value = static_cast<BYTE>(std::clamp(volume * 127 / 1000, 0, 127));
        for (int n = 0; n < 16; ++n) {
            BYTE bytes[3] = { static_cast<BYTE>(0xB0 + n), 7, value };
            Write(bytes, 3);
        }
    }
}

BOOL CSerialMidiOut::Send(const CMidiEvent* event, CPlayerState* state, BOOL forced)
{
    if (!m_started || event->m_status >= 0xF0)
        return FALSE;
    BYTE bytes[3] = { event->m_status, event->m_data1, event->m_data2 };
    BYTE kind = bytes[0] & 0xF0;
    BYTE channel = bytes[0] & 0x0F;
    if (state->m_transpose != 0 && channel != state->m_drumChannel && (kind == 0x80 || kind == 0x90))
        bytes[1] = static_cast<BYTE>(std::clamp(bytes[1] + state->m_transpose.load(), 0, 127));
    if (m_scaleVolume && kind == 0xB0 && bytes[1] == 7)
        bytes[2] = static_cast<BYTE>(std::clamp(bytes[2] * m_volume.load() / 1000, 0, 127));
    if (!forced && kind == 0x90 && bytes[2] >= 16 && state->m_channels[channel].m_muted)
        return FALSE;
    Write(bytes, 3);
    return TRUE;
}

void CSerialMidiOut::Write(BYTE* bytes, int count)
{
    std::lock_guard<std::mutex> guard(m_writeLock);
    if (m_hPort == INVALID_HANDLE_VALUE)
        return;
    if (((bytes[0] & 0xF0) == 0xC0 || (bytes[0] & 0xD0) == 0xD0) && count == 3)
        count = 2;
    if ((bytes[0] & 0xF0) == 0xB0 && (bytes[0] & 0x0F) == m_portDrumChannel)
        bytes[2] = 127;
    auto us = std::chrono::duration_cast<std::chrono::microseconds>(std::chrono::steady_clock::now() - g_opened).count();
    for (int i = 0; i < count; ++i)
        std::fprintf(g_capture, "%lld %02X\n", static_cast<long long>(us), bytes[i]);
    std::fflush(g_capture);
}

BOOL CSerialMidiOut::OpenPort(LPCWSTR name)
{
    std::wstring text(name);
    if (text.rfind(L"capture:", 0) != 0)
        return FALSE;
    std::string path(text.begin() + 8, text.end());
    g_capture = std::fopen(path.c_str(), "w");
    if (!g_capture)
        return FALSE;
    g_opened = std::chrono::steady_clock::now();
    m_hPort = reinterpret_cast<HANDLE>(g_capture);
    return TRUE;
}

void CSerialMidiOut::ClosePort()
{
    if (m_hPort != INVALID_HANDLE_VALUE) {
        std::fclose(g_capture);
        g_capture = nullptr;
        m_hPort = INVALID_HANDLE_VALUE;
    }
}
