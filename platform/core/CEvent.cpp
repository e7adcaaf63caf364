#include "platform/core/CEvent.h"

#include <chrono>

CEvent::CEvent(BOOL initiallyOwn, BOOL manualReset)
    : m_signalled(initiallyOwn != FALSE)
    , m_manualReset(manualReset != FALSE)
{
}

CEvent::~CEvent() = default;

BOOL CEvent::SetEvent()
{
    {
        std::lock_guard<std::mutex> guard(m_lock);
        m_signalled = true;
    }
    if (m_manualReset)
        m_changed.notify_all();
    else
        m_changed.notify_one();
    return TRUE;
}

BOOL CEvent::ResetEvent()
{
    std::lock_guard<std::mutex> guard(m_lock);
    m_signalled = false;
    return TRUE;
}

DWORD CEvent::Wait(DWORD milliseconds)
{
    std::unique_lock<std::mutex> guard(m_lock);
    auto signalled = [this] { return m_signalled; };
    // A zero time-out only tests the state; the player thread does that
    // every period, so it must not cost a timed wait.
    if (milliseconds == 0 && !m_signalled)
        return WAIT_TIMEOUT;
    if (milliseconds == INFINITE)
        m_changed.wait(guard, signalled);
    else if (!m_changed.wait_for(guard, std::chrono::milliseconds(milliseconds), signalled))
        return WAIT_TIMEOUT;
    if (!m_manualReset)
        m_signalled = false;
    return WAIT_OBJECT_0;
}
