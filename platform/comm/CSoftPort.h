#pragma once

#include "platform/comm/CCommPort.h"

#include <chrono>
#include <condition_variable>
#include <deque>
#include <optional>

// A port implemented in the program (synthesizer, sequencer, capture file,
// fake device): its events are raised by the port itself. By default every
// byte leaves at once, so the output queue is always empty and writing
// raises no event; a device that takes its time holds the byte it was
// given (HoldOutput), and EV_TXEMPTY is raised when it lets it go.
class CSoftPort : public CCommPort {
public:
    BOOL SetMask(DWORD mask) override;
    BOOL WaitEvent(DWORD& events) override;
    BOOL Read(BYTE* buffer, DWORD count, DWORD& done) override;
    BOOL Write(const BYTE* buffer, DWORD count, DWORD& done) override;
    void Close() override;
    BOOL QueueStatus(DWORD& inQueue, DWORD& outQueue) override;

    // Bytes arriving from the device; they raise EV_RXCHAR.
    void Receive(const BYTE* bytes, std::size_t count);
    std::size_t PendingInput();

protected:
    using Clock = std::chrono::steady_clock;

    // Hands one byte to the device; FALSE (with the last error set) when
    // it was lost.
    virtual BOOL Emit(BYTE byte) = 0;
    // Called after each byte, whether it was taken or not.
    virtual void AfterByte() { }
    // Releases the device; runs once, on the thread that closes the handle.
    virtual void OnClose() { }

    void SignalAt(Clock::time_point due, DWORD events);
    // The last byte stays in the output queue until `until` (for ever when
    // empty), then leaves it and raises EV_TXEMPTY. ReleaseOutput lets it
    // go at once.
    void HoldOutput(std::optional<Clock::time_point> until);
    void ReleaseOutput();
    bool IsClosed();

private:
    std::mutex m_lock;
    std::condition_variable m_wake;
    DWORD m_mask { 0 };
    DWORD m_maskGeneration { 0 };
    DWORD m_events { 0 };
    bool m_closed { false };
    std::optional<Clock::time_point> m_due;
    DWORD m_dueEvents { 0 };
    std::deque<BYTE> m_input;
    bool m_held { false };
    std::optional<Clock::time_point> m_heldUntil;

    // Raises what has fallen due by now (m_lock held).
    void RaiseDue(Clock::time_point now);
    // The held byte leaves the queue (m_lock held).
    void LetGo();
};
