#pragma once

#include "platform/comm/Comm.h"
#include "platform/core/CString.h"

#include <chrono>
#include <memory>
#include <mutex>
#include <vector>

class CFakePort;

// A scripted device for tests, opened by CreateFileW under its port name
// "fake:NAME" while the object lives (the first device made teaches the
// platform these names). It records every byte written with
// its time, takes its bytes as told, can feed bytes back to the program
// and can make any of the calls fail.
class CFakeDevice {
public:
    enum Readiness {
        // Each byte leaves the output queue at once.
        READY_EACH_BYTE,
        // A dead device: the byte stays queued and nothing ever signals.
        READY_NEVER,
        // The byte leaves the queue after the delay (EV_TXEMPTY); CTS
        // stays as it is, like an interface sending at its wire rate.
        READY_AFTER_DELAY,
        // The queue never looks empty; CTS changes after the delay (EV_CTS).
        READY_CTS_AFTER_DELAY,
    };
    enum Call { CALL_OPEN, CALL_GET_STATE, CALL_SET_STATE, CALL_SET_TIMEOUTS, CALL_WRITE, CALL_COUNT };

    struct Written {
        long long microseconds; // since the device was made
        DWORD tick; // GetTickCount() when the byte was written
        BYTE value;
    };

    static std::shared_ptr<CFakeDevice> Create(const CString& name);
    ~CFakeDevice();
    CFakeDevice(const CFakeDevice&) = delete;
    CFakeDevice& operator=(const CFakeDevice&) = delete;

    CString PortName() const { return L"fake:" + m_name; }

    void SetReadiness(Readiness readiness, DWORD delayMs = 0);
    // The next `count` writes (all of them while count is negative) take
    // nothing: each waits out the port's write time-out and reports no byte
    // written, like a pty nobody reads. 0 takes bytes again.
    void TimeOutWrites(int count);
    // TRUE (counting it down) when the write about to happen times out.
    bool TakeWriteTimeout();
    // Makes the call fail with `error` from now on (0: succeed again).
    void SetFailure(Call call, DWORD error);
    // Bytes from the device to the program; they reach the open port.
    void Receive(const std::vector<BYTE>& bytes);

    std::vector<Written> Bytes() const;
    std::vector<BYTE> Values() const;
    // Waits (up to timeoutMs) until at least `count` bytes were written.
    bool WaitForBytes(std::size_t count, DWORD timeoutMs) const;
    int OpenCount() const;
    bool IsOpen() const;
    std::size_t PendingInput() const;

    // Used by the port and by CreateFileW.
    static std::shared_ptr<CFakeDevice> Find(const CString& name);
    DWORD Failure(Call call) const;
    void Record(BYTE value);
    void GetReadiness(Readiness& readiness, DWORD& delayMs) const;
    void Attach(const std::shared_ptr<CFakePort>& port);
    // The line settings live in the device, so they outlast a port that
    // set them, as on real hardware.
    DCB State() const;
    void SetState(const DCB& dcb);
    COMMTIMEOUTS Timeouts() const;
    void SetTimeouts(const COMMTIMEOUTS& timeouts);

private:
    explicit CFakeDevice(const CString& name);

    const CString m_name;
    const std::chrono::steady_clock::time_point m_created;
    mutable std::mutex m_lock;
    Readiness m_readiness { READY_EACH_BYTE };
    DWORD m_delayMs { 0 };
    int m_writeTimeouts { 0 };
    DWORD m_failures[CALL_COUNT] {};
    std::vector<Written> m_bytes;
    std::weak_ptr<CFakePort> m_port;
    int m_openCount { 0 };
    DCB m_dcb {};
    COMMTIMEOUTS m_timeouts {};
};
