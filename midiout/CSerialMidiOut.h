#pragma once

#include "midiout/CSentKeys.h"
#include "platform/core/CEvent.h"
#include "platform/core/CString.h"
#include "platform/core/WinTypes.h"

#include <atomic>
#include <condition_variable>
#include <memory>
#include <mutex>

class CCommPort;
class CMidiEvent;
class COutputRules;

// The only way MIDI leaves the program: applies the player's rules to each
// channel message (transposition, master volume) and writes the bytes one
// at a time to the port. A byte is done when it has left the driver's
// output queue or the device signals a CTS change, whichever comes first,
// and at most 100 ms after it was written.
//
// A device that lets three bytes in a row run out their time counts as
// stalled: from then on bytes are written without waiting, until the
// device signals again. The first write that fails ends the writing: the
// stage drops everything from then on and keeps the failure for the
// player to report (TakeWriteFailure) until the port is closed.
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
    // Cuts what sounds on one channel (all sound off, all notes off) and
    // leaves its controllers; nothing while stopped.
    void Silence(int channel);
    // The master volume, 0..1000. While started, every channel gets its own
    // volume (the song's last controller 7 on it, 100 before any) scaled by
    // it.
    void SetVolume(int volume);
    // The same for the user-interface thread, which must not wait on the
    // device: the volume is kept at once, and the broadcast waits for the
    // player thread's SendPendingVolume.
    void RequestVolume(int volume);
    void SendPendingVolume();
    // Applies the rules (transposition, mutes unless forced) and the master
    // volume to one channel message and writes it; FALSE when it was dropped.
    // Forced messages (the metronome's clicks) are none of the song's keys.
    BOOL Send(const CMidiEvent* event, const COutputRules* rules, BOOL forced);
    // Writes one message (or the all-off group of one channel); the bytes
    // of two calls never interleave.
    void Write(BYTE* bytes, int count);

    // Opens the port by name; on any failure shows why (naming the port),
    // leaves the port closed and returns FALSE.
    BOOL OpenPort(LPCWSTR name);
    // Closes the port. A write in progress gives up its wait for the device
    // and drops the rest of what it had to send, so closing takes no longer
    // than the one byte being written.
    void ClosePort();
    static DWORD ReadThreadProc(LPVOID stage);
    void OnReceive(BYTE byte);

    // TRUE once a write to the port has failed.
    BOOL WriteFailed() const { return m_writeError != 0; }
    // The first time after a failed write: TRUE with the text that tells the
    // user ("Port NAME: write failed: <system text>"). FALSE otherwise, so
    // the user is told once.
    BOOL TakeWriteFailure(CString& text);

    // The song's keys sounding as sent (for the keyboard view).
    CSentKeys m_sentKeys;
    std::atomic<BOOL> m_started { 0 };
    BOOL m_scaleVolume { 1 };
    std::atomic<std::int32_t> m_volume { 1000 };
    std::atomic<HANDLE> m_hPort { INVALID_HANDLE_VALUE };
    std::atomic<std::int32_t> m_readThreadId { -1 };
    // Set by the read thread when the device signals (its output queue ran
    // empty, or CTS changed); reset by the writer before each byte.
    CEvent m_ready { FALSE, TRUE };
    std::atomic<BOOL> m_readThreadUp { 0 };
    // Signalled once the read thread has set m_readThreadUp.
    CEvent m_readThreadStarted;
    // Where ClosePort waits for the read thread to set m_readThreadId back
    // to -1. The read thread holds it too, so it can signal after the stage
    // has gone; it touches nothing of the process's (the handle table may
    // be going at exit).
    struct ReadThreadEnd {
        std::mutex lock;
        std::condition_variable ended;
    };
    std::shared_ptr<ReadThreadEnd> m_readThreadEnd { std::make_shared<ReadThreadEnd>() };
    BYTE m_ring[2048] {};
    std::int32_t m_head { 0 };
    std::int32_t m_tail { 0 };

    static constexpr DWORD READY_LIMIT = 100;
    static constexpr DWORD WRITE_TIMEOUT = 100;
    static constexpr int STALL_AFTER = 3;

private:
    void WriteLocked(BYTE* bytes, int count);
    // Writes one byte and waits until it is done; FALSE when it did not go
    // out (the write failed or ran out its time).
    BOOL SendByte(CCommPort& port, BYTE byte);
    void CountReadiness(CCommPort& port, BOOL done);
    void SetStalled(CCommPort& port, BOOL stalled);
    void BroadcastVolumeLocked();
    void ShowOpenFailure(LPCWSTR firstLine, UINT type);

    // Set while ClosePort waits for the writer: it stops waiting and sending.
    std::atomic<BOOL> m_closing { FALSE };
    // A pending RequestVolume.
    std::atomic<BOOL> m_volumePending { FALSE };

    // Serialises the writers (the player thread and the user-interface
    // thread) and guards everything below.
    std::mutex m_writeLock;
    // The port m_hPort names, held while it is open: each byte goes to it
    // without a look in the handle table.
    std::shared_ptr<CCommPort> m_port;
    BYTE m_channelVolume[16] {};
    int m_missed { 0 };
    BOOL m_stalled { FALSE };

    // The name the port was opened by (the opening thread's own).
    CString m_portName;
    std::atomic<DWORD> m_writeError { 0 };
    std::atomic<BOOL> m_failureTold { FALSE };
};
