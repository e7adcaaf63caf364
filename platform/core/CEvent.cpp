#include "platform/core/CEvent.h"

#include "platform/core/CHandleTable.h"

#include <chrono>
#include <condition_variable>
#include <mutex>

// What the handle refers to; it outlives the CEvent while a wait is in
// progress.
class CEvent::CState : public CSyncObject {
public:
    CState(bool signalled, bool manualReset)
        : m_signalled(signalled)
        , m_manualReset(manualReset)
    {
    }

    void Set()
    {
        {
            std::lock_guard<std::mutex> guard(m_lock);
            m_signalled = true;
        }
        if (m_manualReset)
            m_changed.notify_all();
        else
            m_changed.notify_one();
    }

    void Reset()
    {
        std::lock_guard<std::mutex> guard(m_lock);
        m_signalled = false;
    }

    DWORD Wait(ULONGLONG microseconds) override
    {
        std::unique_lock<std::mutex> guard(m_lock);
        auto signalled = [this] { return m_signalled; };
        // A zero time-out only tests the state; the player thread does that
        // every period, so it must not cost a timed wait.
        if (microseconds == 0 && !m_signalled)
            return WAIT_TIMEOUT;
        if (microseconds == FOREVER)
            m_changed.wait(guard, signalled);
        else if (!m_changed.wait_for(guard, Span(microseconds), signalled))
            return WAIT_TIMEOUT;
        if (!m_manualReset)
            m_signalled = false;
        return WAIT_OBJECT_0;
    }

private:
    std::mutex m_lock;
    std::condition_variable m_changed;
    bool m_signalled;
    const bool m_manualReset;
};

CEvent::CEvent(BOOL initiallyOwn, BOOL manualReset)
    : m_state(std::make_shared<CState>(initiallyOwn != FALSE, manualReset != FALSE))
{
    m_hObject = CHandleTable::Add(m_state);
}

CEvent::~CEvent()
{
    CloseHandle(m_hObject);
}

BOOL CEvent::SetEvent()
{
    m_state->Set();
    return TRUE;
}

BOOL CEvent::ResetEvent()
{
    m_state->Reset();
    return TRUE;
}
