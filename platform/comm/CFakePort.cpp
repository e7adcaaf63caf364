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
    return Fails(CFakeDevice::CALL_GET_STATE) ? FALSE : CSoftPort::GetState(dcb);
}

BOOL CFakePort::SetState(const DCB& dcb)
{
    return Fails(CFakeDevice::CALL_SET_STATE) ? FALSE : CSoftPort::SetState(dcb);
}

BOOL CFakePort::SetTimeouts(const COMMTIMEOUTS& timeouts)
{
    return Fails(CFakeDevice::CALL_SET_TIMEOUTS) ? FALSE : CSoftPort::SetTimeouts(timeouts);
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
