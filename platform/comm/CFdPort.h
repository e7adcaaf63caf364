#pragma once

#include "platform/comm/CCommPort.h"

#include <atomic>

// A port on a host file descriptor (terminal or raw MIDI device). Waits
// with poll() on the device and on two eventfds: one that CloseHandle
// raises (closing a descriptor does not wake a blocked poll), one that
// the writer raises when the device counts as ready after a byte.
class CFdPort : public CCommPort {
public:
    ~CFdPort() override;

    BOOL SetMask(DWORD mask) override;
    BOOL WaitEvent(DWORD& events) override;
    BOOL Read(BYTE* buffer, DWORD count, DWORD& done) override;
    BOOL Write(const BYTE* buffer, DWORD count, DWORD& done) override;
    void Close() override;

protected:
    // Takes ownership of fd, which must be non-blocking. Ok() tells
    // whether the eventfds could be made.
    explicit CFdPort(int fd);
    bool Ok() const { return m_closeEvent >= 0 && m_notifyEvent >= 0; }

    // When the device reports its CTS changes, the writer leaves EV_CTS to
    // it; otherwise every byte written raises EV_CTS.
    virtual bool ReportsCts() { return false; }
    // TRUE when CTS changed since the last call (only if ReportsCts()).
    virtual bool CtsChanged() { return false; }

    int m_fd;

private:
    void Notify();
    void DrainNotify();
    // Waits for `events` on the device for at most `milliseconds` (-1 for
    // ever); false when the port was closed meanwhile.
    bool WaitDevice(short events, int milliseconds, short& revents);

    int m_closeEvent;
    int m_notifyEvent;
    std::atomic<bool> m_closed { false };
    std::atomic<DWORD> m_mask { 0 };
    std::atomic<bool> m_txReady { false };
    // A device that hung up reports POLLHUP for ever; it is no longer
    // watched, so the waiting thread sleeps until the handle is closed.
    std::atomic<bool> m_hungUp { false };
};
