#include "tests/support/CFakePort.h"

#include "tests/support/CFakeDevice.h"

#include <thread>

BOOL CFakePort::Fails(int call)
{
    DWORD error = m_device->Failure(static_cast<CFakeDevice::Call>(call));
    if (error == 0)
        return FALSE;
    SetLastError(error);
    return TRUE;
}

BOOL CFakePort::GetState(DCB& dcb)
{
    if (Fails(CFakeDevice::CALL_GET_STATE))
        return FALSE;
    dcb = m_device->State();
    return TRUE;
}

BOOL CFakePort::SetState(const DCB& dcb)
{
    if (Fails(CFakeDevice::CALL_SET_STATE))
        return FALSE;
    m_device->SetState(dcb);
    return TRUE;
}

BOOL CFakePort::GetTimeouts(COMMTIMEOUTS& timeouts)
{
    timeouts = m_device->Timeouts();
    return TRUE;
}

BOOL CFakePort::SetTimeouts(const COMMTIMEOUTS& timeouts)
{
    if (Fails(CFakeDevice::CALL_SET_TIMEOUTS))
        return FALSE;
    m_device->SetTimeouts(timeouts);
    return TRUE;
}

BOOL CFakePort::Write(const BYTE* buffer, DWORD count, DWORD& done)
{
    done = 0;
    if (IsClosed()) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    if (Fails(CFakeDevice::CALL_WRITE))
        return FALSE;
    if (m_device->TakeWriteTimeout()) {
        COMMTIMEOUTS timeouts = m_device->Timeouts();
        std::this_thread::sleep_for(std::chrono::milliseconds(
            static_cast<std::uint64_t>(timeouts.WriteTotalTimeoutMultiplier) * count + timeouts.WriteTotalTimeoutConstant));
        return TRUE;
    }
    return CSoftPort::Write(buffer, count, done);
}

BOOL CFakePort::Emit(BYTE byte)
{
    m_device->Record(byte);
    return TRUE;
}

void CFakePort::AfterByte()
{
    CFakeDevice::Readiness readiness;
    DWORD delayMs;
    m_device->GetReadiness(readiness, delayMs);
    Clock::time_point due = Clock::now() + std::chrono::milliseconds(delayMs);
    switch (readiness) {
    case CFakeDevice::READY_NEVER:
        HoldOutput(std::nullopt);
        break;
    case CFakeDevice::READY_AFTER_DELAY:
        HoldOutput(due);
        break;
    case CFakeDevice::READY_CTS_AFTER_DELAY:
        HoldOutput(std::nullopt);
        SignalAt(due, EV_CTS);
        break;
    default:
        ReleaseOutput();
        break;
    }
}
