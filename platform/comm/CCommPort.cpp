#include "platform/comm/CCommPort.h"

CCommPort::CCommPort()
{
    // What a freshly opened port reports: 9600 baud, 8N1, binary, DTR and
    // RTS on, no flow control, no time-outs.
    std::memset(&m_dcb, 0, sizeof m_dcb);
    m_dcb.DCBlength = sizeof(DCB);
    m_dcb.BaudRate = 9600;
    m_dcb.fBinary = 1;
    m_dcb.fDtrControl = DTR_CONTROL_ENABLE;
    m_dcb.fRtsControl = RTS_CONTROL_ENABLE;
    m_dcb.ByteSize = 8;
    m_dcb.Parity = NOPARITY;
    m_dcb.StopBits = ONESTOPBIT;
    m_dcb.XonLim = 2048;
    m_dcb.XoffLim = 512;
    m_dcb.XonChar = 0x11;
    m_dcb.XoffChar = 0x13;
    std::memset(&m_timeouts, 0, sizeof m_timeouts);
}

BOOL CCommPort::GetState(DCB& dcb)
{
    std::lock_guard<std::mutex> guard(m_settingsLock);
    dcb = m_dcb;
    return TRUE;
}

BOOL CCommPort::SetState(const DCB& dcb)
{
    std::lock_guard<std::mutex> guard(m_settingsLock);
    m_dcb = dcb;
    return TRUE;
}

BOOL CCommPort::GetTimeouts(COMMTIMEOUTS& timeouts)
{
    std::lock_guard<std::mutex> guard(m_settingsLock);
    timeouts = m_timeouts;
    return TRUE;
}

BOOL CCommPort::SetTimeouts(const COMMTIMEOUTS& timeouts)
{
    std::lock_guard<std::mutex> guard(m_settingsLock);
    m_timeouts = timeouts;
    return TRUE;
}

COMMTIMEOUTS CCommPort::Timeouts()
{
    std::lock_guard<std::mutex> guard(m_settingsLock);
    return m_timeouts;
}

BOOL CCommPort::QueueStatus(DWORD& inQueue, DWORD& outQueue)
{
    inQueue = 0;
    outQueue = 0;
    return TRUE;
}
