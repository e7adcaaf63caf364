#pragma once

#include "platform/comm/Comm.h"
#include "platform/core/CKernelObject.h"

#include <memory>
#include <mutex>
#include <string>

// A communications port behind a HANDLE. Keeps the settings that have no
// effect on a device of its kind, so that what was set reads back.
class CCommPort : public CKernelObject {
public:
    CCommPort();

    virtual BOOL GetState(DCB& dcb);
    virtual BOOL SetState(const DCB& dcb);
    virtual BOOL GetTimeouts(COMMTIMEOUTS& timeouts);
    virtual BOOL SetTimeouts(const COMMTIMEOUTS& timeouts);
    virtual BOOL SetMask(DWORD mask) = 0;
    virtual BOOL WaitEvent(DWORD& events) = 0;
    virtual BOOL Read(BYTE* buffer, DWORD count, DWORD& done) = 0;
    virtual BOOL Write(const BYTE* buffer, DWORD count, DWORD& done) = 0;
    // Bytes received and not yet read; bytes written that have not yet left
    // the driver. A port that hands every byte on at once has none queued.
    virtual BOOL QueueStatus(DWORD& inQueue, DWORD& outQueue);

protected:
    COMMTIMEOUTS Timeouts();

    std::mutex m_settingsLock;
    DCB m_dcb;
    COMMTIMEOUTS m_timeouts;
};

// Opens ports under names of its own, before the names above are looked at:
// FALSE leaves the name to the platform; TRUE claims it, with the port in
// port, or null and the last error set when it cannot be opened. The test
// suites bring their scripted devices in this way; null removes it.
using PortOpener = BOOL (*)(const std::wstring& name, std::shared_ptr<CCommPort>& port);
void SetPortOpener(PortOpener opener);
