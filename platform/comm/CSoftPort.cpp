#include "platform/comm/CSoftPort.h"

BOOL CSoftPort::SetMask(DWORD mask)
{
    std::lock_guard<std::mutex> guard(m_lock);
    if (m_closed) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    m_mask = mask;
    ++m_maskGeneration;
    m_wake.notify_all();
    return TRUE;
}

BOOL CSoftPort::WaitEvent(DWORD& events)
{
    std::unique_lock<std::mutex> lock(m_lock);
    DWORD generation = m_maskGeneration;
    for (;;) {
        if (m_closed) {
            events = 0;
            SetLastError(ERROR_INVALID_HANDLE);
            return FALSE;
        }
        RaiseDue(Clock::now());
        if (!m_input.empty())
            m_events |= EV_RXCHAR;
        DWORD hit = m_events & m_mask;
        if (hit) {
            m_events &= ~hit;
            events = hit;
            return TRUE;
        }
        // A new mask ends a pending wait with no events, as on the platform.
        if (generation != m_maskGeneration) {
            events = 0;
            return TRUE;
        }
        std::optional<Clock::time_point> next = m_due;
        if (m_heldUntil && (!next || *m_heldUntil < *next))
            next = m_heldUntil;
        if (next)
            m_wake.wait_until(lock, *next);
        else
            m_wake.wait(lock);
    }
}

BOOL CSoftPort::Read(BYTE* buffer, DWORD count, DWORD& done)
{
    std::lock_guard<std::mutex> guard(m_lock);
    done = 0;
    if (m_closed) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    while (done < count && !m_input.empty()) {
        buffer[done++] = m_input.front();
        m_input.pop_front();
    }
    return TRUE;
}

BOOL CSoftPort::Write(const BYTE* buffer, DWORD count, DWORD& done)
{
    done = 0;
    for (DWORD i = 0; i < count; ++i) {
        if (IsClosed()) {
            SetLastError(ERROR_INVALID_HANDLE);
            return FALSE;
        }
        BOOL taken = Emit(buffer[i]);
        AfterByte();
        if (!taken)
            return FALSE;
        ++done;
    }
    return TRUE;
}

void CSoftPort::Close()
{
    {
        std::lock_guard<std::mutex> guard(m_lock);
        if (m_closed)
            return;
        m_closed = true;
        m_wake.notify_all();
    }
    OnClose();
}

BOOL CSoftPort::QueueStatus(DWORD& inQueue, DWORD& outQueue)
{
    std::lock_guard<std::mutex> guard(m_lock);
    RaiseDue(Clock::now());
    inQueue = static_cast<DWORD>(m_input.size());
    outQueue = m_held ? 1 : 0;
    return TRUE;
}

void CSoftPort::RaiseDue(Clock::time_point now)
{
    if (m_due && now >= *m_due) {
        m_events |= m_dueEvents;
        m_due.reset();
        m_wake.notify_all();
    }
    if (m_held && m_heldUntil && now >= *m_heldUntil)
        LetGo();
}

void CSoftPort::LetGo()
{
    m_held = false;
    m_heldUntil.reset();
    m_events |= EV_TXEMPTY;
    m_wake.notify_all();
}

void CSoftPort::HoldOutput(std::optional<Clock::time_point> until)
{
    std::lock_guard<std::mutex> guard(m_lock);
    m_held = true;
    m_heldUntil = until;
    m_wake.notify_all();
}

void CSoftPort::ReleaseOutput()
{
    std::lock_guard<std::mutex> guard(m_lock);
    if (m_held)
        LetGo();
}

void CSoftPort::Receive(const BYTE* bytes, std::size_t count)
{
    std::lock_guard<std::mutex> guard(m_lock);
    m_input.insert(m_input.end(), bytes, bytes + count);
    m_wake.notify_all();
}

std::size_t CSoftPort::PendingInput()
{
    std::lock_guard<std::mutex> guard(m_lock);
    return m_input.size();
}

void CSoftPort::SignalAt(Clock::time_point due, DWORD events)
{
    std::lock_guard<std::mutex> guard(m_lock);
    m_due = due;
    m_dueEvents = events;
    m_wake.notify_all();
}

bool CSoftPort::IsClosed()
{
    std::lock_guard<std::mutex> guard(m_lock);
    return m_closed;
}
