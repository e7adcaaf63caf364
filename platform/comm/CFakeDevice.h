#pragma once

#include "platform/comm/Comm.h"
#include "platform/core/CString.h"

#include <chrono>
#include <memory>
#include <mutex>
#include <vector>

class CFakePort;

// A scripted device for tests, opened by CreateFileW under its port name
// "fake:NAME" while the object lives. It records every byte written with
// its time, signals readiness as told, can feed bytes back to the program
// and can make any of the setting calls fail.
class CFakeDevice {
public:
    enum Readiness { READY_EACH_BYTE, READY_NEVER, READY_AFTER_DELAY };
    enum Call { CALL_OPEN, CALL_GET_STATE, CALL_SET_STATE, CALL_SET_TIMEOUTS, CALL_COUNT };

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
    DWORD m_failures[CALL_COUNT] {};
    std::vector<Written> m_bytes;
    std::weak_ptr<CFakePort> m_port;
    int m_openCount { 0 };
    DCB m_dcb {};
    COMMTIMEOUTS m_timeouts {};
};
