#pragma once

#include "platform/comm/CCommPort.h"

#include <atomic>

// A port on a host file descriptor (terminal or raw MIDI device). Waits
// with poll() on the device and on two eventfds: one that CloseHandle
// raises (closing a descriptor does not wake a blocked poll), one that
// the writer raises when it leaves bytes in the driver's output queue.
// While such bytes are pending, the waiter looks at the queue (and the CTS
// counter) when they should have left at the line's rate, and raises
// EV_TXEMPTY once the queue is empty and EV_CTS when CTS changed; with
// nothing pending it sleeps.
class CFdPort : public CCommPort {
public:
    ~CFdPort() override;

    BOOL SetMask(DWORD mask) override;
    BOOL WaitEvent(DWORD& events) override;
    BOOL Read(BYTE* buffer, DWORD count, DWORD& done) override;
    BOOL Write(const BYTE* buffer, DWORD count, DWORD& done) override;
    BOOL QueueStatus(DWORD& inQueue, DWORD& outQueue) override;
    void Close() override;

    // A byte's time on the line at the settings' rate and framing, in
    // microseconds.
    static DWORD ByteMicros(const DCB& dcb);
    // How long the waiter leaves `queued` pending bytes before it looks
    // again: their time on the line (at least one byte's), doubled for each
    // look in a row that found the queue no shorter, up to 4 ms.
    static long NextLookMicros(DWORD queued, DWORD byteMicros, int idleLooks);

protected:
    // Takes ownership of fd, which must be non-blocking. Ok() tells
    // whether the eventfds could be made.
    explicit CFdPort(int fd);
    bool Ok() const { return m_closeEvent >= 0 && m_notifyEvent >= 0; }

    // The driver's count of CTS changes; false when it keeps none.
    virtual bool CtsCount(int& count) { return false; }

    int m_fd;

private:
    void Notify();
    void DrainNotify();
    DWORD OutputQueue();
    // Waits for `events` on the device for at most `milliseconds` (-1 for
    // ever); false when the port was closed meanwhile.
    bool WaitDevice(short events, int milliseconds, short& revents);

    int m_closeEvent;
    int m_notifyEvent;
    std::atomic<bool> m_closed { false };
    std::atomic<DWORD> m_mask { 0 };
    // Bytes were left in the output queue by the last write.
    std::atomic<bool> m_txPending { false };
    // The CTS count when the last write began; a change from it is EV_CTS.
    std::atomic<int> m_ctsBaseline { 0 };
    // A device that hung up reports POLLHUP for ever; it is no longer
    // watched, so the waiting thread sleeps until the handle is closed.
    std::atomic<bool> m_hungUp { false };
};
