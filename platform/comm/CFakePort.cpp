#include "platform/comm/CFakePort.h"

#include "platform/comm/CFakeDevice.h"

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
    if (readiness == CFakeDevice::READY_EACH_BYTE)
        Signal(EV_CTS);
    else if (readiness == CFakeDevice::READY_AFTER_DELAY)
        SignalAt(Clock::now() + std::chrono::milliseconds(delayMs), EV_CTS);
}
