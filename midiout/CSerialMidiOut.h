#pragma once

#include "midiout/CMixerValues.h"
#include "midiout/CSentKeys.h"
#include "platform/core/CEvent.h"
#include "platform/core/CString.h"
#include "platform/core/WinTypes.h"

#include <atomic>
#include <condition_variable>
#include <cstdint>
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
    // Sends a pending volume or mix (player thread).
    void SendPendingVolume();
    // The mixer: each channel's volume is further scaled by its mix, and a
    // pan the mix sets replaces the song's controller 10. While started,
    // the new volumes (and the pans that changed) go out at once; the song's
    // own values are kept, so a cut or the end of the mix sends them again
    // as mixed. SetMix sends on the calling thread, RequestMix (for the
    // user-interface thread) leaves that to SendPendingVolume.
    void SetMix(const CMixerValues& mix);
    void RequestMix(const CMixerValues& mix);
    // Applies the rules (transposition, mutes) and the master volume to one
    // channel message and writes it; FALSE when it was dropped. A forced
    // message (the metronome's click) is none of the song's keys: neither
    // muted nor transposed. Notes on a drum channel are never transposed:
    // the user's drum channel, and those the song declared (see
    // IsDrumChannel).
    BOOL Send(const CMidiEvent* event, const COutputRules* rules, BOOL forced);
    // Writes one system-exclusive packet whole, however long, without
    // another message's bytes in between: for status 0xF0 the F0 byte and
    // the bytes (which end with F7 unless F7 packets continue them), for
    // 0xF7 the bytes alone (a continuation packet, or the escape form's
    // arbitrary bytes). FALSE when it was dropped: while stopped, while
    // system-exclusive messages are off, or when a byte did not go out.
    BOOL SendSysEx(BYTE status, const BYTE* bytes, DWORD length);
    // Sends the chosen reset message (none: nothing); FALSE when nothing
    // went out.
    BOOL SendReset();
    // TRUE for a drum channel: the user's, or one the song declared as such
    // with a GS "use for rhythm part" message or a drum bank (XG MSB 127,
    // GM2 MSB 120) since the last ForgetDeclaredDrums. Player thread only.
    BOOL IsDrumChannel(int channel, const COutputRules* rules) const;
    // Back to no declared drum channel, before the song's state is sent
    // again at a cut.
    void ForgetDeclaredDrums() { m_gsDrums = 0; m_bankDrums = 0; }

    // The reset message sent before every song start and cut.
    enum Reset : std::int32_t { RESET_NONE, RESET_GM, RESET_GM2, RESET_GS, RESET_XG, RESET_COUNT };
    // The message of a reset (F0 ... F7) and its length; none for RESET_NONE.
    static const BYTE* ResetMessage(std::int32_t reset, DWORD& length);
    // The reset named none, gm, gm2, gs or xg (as options and settings
    // spell it); -1 for any other text.
    static std::int32_t ResetFromName(const char* name);
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
    // Whether the song's system-exclusive messages (and escaped bytes) go
    // out; the user's setting.
    std::atomic<BOOL> m_sendSysEx { TRUE };
    // One of Reset: the user's setting.
    std::atomic<std::int32_t> m_reset { RESET_NONE };
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
    // Puts the bytes (fewer than the ring holds) through the ring as they
    // are; FALSE when one did not go out, whose rest is then dropped.
    BOOL PutLocked(const BYTE* bytes, int count);
    // Notes what a system-exclusive message (without its F0) declares
    // about drum channels.
    void ReadDrumDeclaration(const BYTE* bytes, DWORD length);
    // Joins the packets of one message for ReadDrumDeclaration.
    void JoinSysEx(BYTE status, const BYTE* bytes, DWORD length);
    // Writes one byte and waits until it is done; FALSE when it did not go
    // out (the write failed or ran out its time).
    BOOL SendByte(CCommPort& port, BYTE byte);
    void CountReadiness(CCommPort& port, BOOL done);
    void SetStalled(CCommPort& port, BOOL stalled);
    void BroadcastVolumeLocked();
    // Sends the pans of the channels whose mix sets one or set one before.
    void BroadcastPanLocked();
    void StoreMix(const CMixerValues& mix);
    // The channel's own volume with the master volume and the mix applied.
    BYTE MixedVolume(int channel, BYTE volume) const;
    void ShowOpenFailure(LPCWSTR firstLine, UINT type);

    // Set while ClosePort waits for the writer: it stops waiting and sending.
    std::atomic<BOOL> m_closing { FALSE };
    // A pending RequestVolume or RequestMix.
    std::atomic<BOOL> m_volumePending { FALSE };
    // The mix in force: thousandths of each channel's volume, and its pan
    // (CMixerValues::PAN_AS_SONG for the song's).
    std::atomic<std::int32_t> m_mixScale[16];
    std::atomic<std::int32_t> m_mixPan[16];

    // Serialises the writers (the player thread and the user-interface
    // thread) and guards everything below.
    std::mutex m_writeLock;
    // The port m_hPort names, held while it is open: each byte goes to it
    // without a look in the handle table.
    std::shared_ptr<CCommPort> m_port;
    BYTE m_channelVolume[16] {};
    // The song's last controller 10 on each channel, and the channels whose
    // pan the mix set when it was last sent.
    BYTE m_channelPan[16] {};
    std::uint32_t m_panOverridden { 0 };
    // Declared drum channels, one bit each (player thread).
    std::uint32_t m_gsDrums { 0 };
    std::uint32_t m_bankDrums { 0 };
    // The start of the message whose packets are being sent (player
    // thread): declarations are short, so no more than kJoinLimit bytes are
    // kept; m_joinOpen while F7 packets may continue it.
    static constexpr size_t kJoinLimit = 16;
    BYTE m_joined[kJoinLimit] {};
    size_t m_joinedLength { 0 };
    BOOL m_joinOpen { FALSE };
    int m_missed { 0 };
    BOOL m_stalled { FALSE };

    // The name the port was opened by (the opening thread's own).
    CString m_portName;
    std::atomic<DWORD> m_writeError { 0 };
    std::atomic<BOOL> m_failureTold { FALSE };
};
