#pragma once

#include "platform/core/WinTypes.h"

#include <atomic>
#include <mutex>

class CMidiEvent;
class CPlayerState;

// The only way MIDI leaves the program: applies the player's rules to each
// channel message (transposition, master volume, drum channel) and writes
// the bytes one at a time to the port, each paced by the device's
// readiness (or 100 ms).
class CSerialMidiOut {
public:
    CSerialMidiOut();
    virtual ~CSerialMidiOut();
    CSerialMidiOut(const CSerialMidiOut&) = delete;
    CSerialMidiOut& operator=(const CSerialMidiOut&) = delete;

    BOOL Start();
    void Pause();
    void Stop();
    void AllOff();
    void SetVolume(int volume);
    BOOL Send(const CMidiEvent* event, CPlayerState* state, BOOL forced);
    void Write(BYTE* bytes, int count);

    BOOL OpenPort(LPCWSTR name);
    void ClosePort();
    static DWORD ReadThreadProc(LPVOID stage);
    void OnReceive(BYTE byte);

    std::atomic<BOOL> m_started { 0 };
    BOOL m_scaleVolume { 1 };
    std::atomic<std::int32_t> m_volume { 1000 };
    BYTE m_portDrumChannel { 9 };
    std::atomic<HANDLE> m_hPort { INVALID_HANDLE_VALUE };
    std::atomic<std::int32_t> m_readThreadId { -1 };
    std::atomic<BOOL> m_ready { 0 };
    std::atomic<BOOL> m_readThreadUp { 0 };
    BYTE m_ring[2048] {};
    std::int32_t m_head { 0 };
    std::int32_t m_tail { 0 };

private:
    // Serialises Write between the player thread and the user-interface
    // thread, so the bytes of two messages never interleave.
    std::mutex m_writeLock;
};
