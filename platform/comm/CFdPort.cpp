#include "platform/comm/CFdPort.h"

#include <cerrno>
#include <chrono>
#include <cstdint>
#include <poll.h>
#include <sys/eventfd.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

namespace {

using Clock = std::chrono::steady_clock;

// The longest a pending output queue goes unlooked at while the device
// holds it (CTS low): how late the stage may learn that it moves again.
constexpr long kLongestLookMicros = 4000;

int RemainingMs(Clock::time_point deadline)
{
    auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
    return left < 0 ? 0 : static_cast<int>(left > 0x7FFFFFFF ? 0x7FFFFFFF : left);
}

}

CFdPort::CFdPort(int fd)
    : m_fd(fd)
    , m_closeEvent(eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK))
    , m_notifyEvent(eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK))
{
}

CFdPort::~CFdPort()
{
    if (m_fd >= 0)
        close(m_fd);
    if (m_closeEvent >= 0)
        close(m_closeEvent);
    if (m_notifyEvent >= 0)
        close(m_notifyEvent);
}

void CFdPort::Close()
{
    // The descriptor itself is closed when the last call in progress has
    // let go of the port; here the waiters are only told to leave.
    m_closed = true;
    std::uint64_t one = 1;
    if (write(m_closeEvent, &one, sizeof one) < 0) { }
}

void CFdPort::Notify()
{
    std::uint64_t one = 1;
    if (write(m_notifyEvent, &one, sizeof one) < 0) { }
}

void CFdPort::DrainNotify()
{
    std::uint64_t value;
    if (read(m_notifyEvent, &value, sizeof value) < 0) { }
}

BOOL CFdPort::SetMask(DWORD mask)
{
    if (m_closed) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    m_mask = mask;
    return TRUE;
}

DWORD CFdPort::ByteMicros(const DCB& dcb)
{
    // Start bit, data bits, parity and stop bits (1.5 is sent as 2).
    const DWORD bits = 1 + (dcb.ByteSize ? dcb.ByteSize : 8) + (dcb.Parity != NOPARITY ? 1 : 0)
        + (dcb.StopBits == ONESTOPBIT ? 1 : 2);
    const DWORD rate = dcb.BaudRate ? dcb.BaudRate : 38400;
    return static_cast<DWORD>((1000000ULL * bits + rate - 1) / rate);
}

long CFdPort::NextLookMicros(DWORD queued, DWORD byteMicros, int idleLooks)
{
    long long wait = static_cast<long long>(queued ? queued : 1) * (byteMicros ? byteMicros : 1);
    for (int i = 0; i < idleLooks && wait < kLongestLookMicros; ++i)
        wait *= 2;
    return static_cast<long>(wait < kLongestLookMicros ? wait : kLongestLookMicros);
}

BOOL CFdPort::WaitEvent(DWORD& events)
{
    events = 0;
    // Neither the queue nor the modem lines can be waited for with poll():
    // while written bytes are pending, the queue is looked at when its
    // bytes should have left at the line's rate, and less often while it
    // does not move.
    DWORD lastQueued = 0;
    int idleLooks = 0;
    for (;;) {
        if (m_closed) {
            SetLastError(ERROR_INVALID_HANDLE);
            return FALSE;
        }
        DWORD mask = m_mask;
        DWORD hit = 0;
        bool pending = m_txPending;
        DWORD queued = 0;
        if (pending && (mask & EV_TXEMPTY)) {
            queued = OutputQueue();
            if (queued == 0 && m_txPending.exchange(false))
                hit |= EV_TXEMPTY;
        }
        int cts = 0;
        if (pending && (mask & EV_CTS) && CtsCount(cts)) {
            int baseline = m_ctsBaseline;
            if (cts != baseline && m_ctsBaseline.compare_exchange_strong(baseline, cts))
                hit |= EV_CTS;
        }
        bool watchDevice = (mask & EV_RXCHAR) && !m_hungUp;
        pollfd fds[3] = {
            { m_closeEvent, POLLIN, 0 },
            { m_notifyEvent, POLLIN, 0 },
            { watchDevice ? m_fd : -1, POLLIN, 0 },
        };
        timespec look { 0, 0 };
        bool looking = hit || (m_txPending && (mask & (EV_TXEMPTY | EV_CTS)));
        if (looking && !hit) {
            idleLooks = queued != 0 && queued >= lastQueued ? idleLooks + 1 : 0;
            lastQueued = queued;
            DCB dcb;
            const DWORD byteMicros = GetState(dcb) ? ByteMicros(dcb) : ByteMicros(DCB {});
            look.tv_nsec = NextLookMicros(queued, byteMicros, idleLooks) * 1000;
        }
        int ready = ppoll(fds, 3, looking ? &look : nullptr, nullptr);
        if (ready < 0 && errno != EINTR) {
            SetLastError(static_cast<DWORD>(errno));
            return FALSE;
        }
        if (ready > 0) {
            if (fds[0].revents) {
                SetLastError(ERROR_INVALID_HANDLE);
                return FALSE;
            }
            if (fds[1].revents & POLLIN) {
                DrainNotify();
                // A new write: its byte is waited for afresh.
                idleLooks = 0;
                lastQueued = 0;
            }
            if (fds[2].revents & (POLLHUP | POLLERR | POLLNVAL))
                m_hungUp = true;
            else if (fds[2].revents & POLLIN)
                hit |= EV_RXCHAR;
        }
        if (hit) {
            events = hit;
            return TRUE;
        }
    }
}

DWORD CFdPort::OutputQueue()
{
    // Devices without a queue count (a raw MIDI device) have none pending.
    int queued = 0;
    return ioctl(m_fd, TIOCOUTQ, &queued) == 0 && queued > 0 ? static_cast<DWORD>(queued) : 0;
}

BOOL CFdPort::QueueStatus(DWORD& inQueue, DWORD& outQueue)
{
    if (m_closed) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    int available = 0;
    inQueue = ioctl(m_fd, FIONREAD, &available) == 0 && available > 0 ? static_cast<DWORD>(available) : 0;
    outQueue = OutputQueue();
    return TRUE;
}

bool CFdPort::WaitDevice(short events, int milliseconds, short& revents)
{
    pollfd fds[2] = { { m_closeEvent, POLLIN, 0 }, { m_fd, events, 0 } };
    for (;;) {
        int ready = poll(fds, 2, milliseconds);
        if (ready < 0 && errno == EINTR)
            continue;
        if (fds[0].revents)
            return false;
        revents = ready > 0 ? fds[1].revents : 0;
        return true;
    }
}

BOOL CFdPort::Read(BYTE* buffer, DWORD count, DWORD& done)
{
    done = 0;
    if (m_closed) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    COMMTIMEOUTS timeouts = Timeouts();
    bool immediate = timeouts.ReadIntervalTimeout == MAXDWORD && timeouts.ReadTotalTimeoutMultiplier == 0
        && timeouts.ReadTotalTimeoutConstant == 0;
    std::uint64_t total = static_cast<std::uint64_t>(timeouts.ReadTotalTimeoutMultiplier) * count
        + timeouts.ReadTotalTimeoutConstant;
    Clock::time_point deadline = Clock::now() + std::chrono::milliseconds(total);
    while (done < count) {
        ssize_t got = read(m_fd, buffer + done, count - done);
        if (got > 0) {
            done += static_cast<DWORD>(got);
            continue;
        }
        if (got == 0 || (errno != EAGAIN && errno != EINTR)) {
            if (got < 0 && done == 0) {
                SetLastError(static_cast<DWORD>(errno));
                return FALSE;
            }
            break;
        }
        if (immediate || (total != 0 && RemainingMs(deadline) == 0))
            break;
        short revents = 0;
        if (!WaitDevice(POLLIN, total != 0 ? RemainingMs(deadline) : -1, revents)) {
            SetLastError(ERROR_INVALID_HANDLE);
            return FALSE;
        }
        if (revents & (POLLHUP | POLLERR | POLLNVAL))
            break;
    }
    return TRUE;
}

BOOL CFdPort::Write(const BYTE* buffer, DWORD count, DWORD& done)
{
    done = 0;
    if (m_closed) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    COMMTIMEOUTS timeouts = Timeouts();
    std::uint64_t total = static_cast<std::uint64_t>(timeouts.WriteTotalTimeoutMultiplier) * count
        + timeouts.WriteTotalTimeoutConstant;
    Clock::time_point deadline = Clock::now() + std::chrono::milliseconds(total);
    int cts = 0;
    if (CtsCount(cts))
        m_ctsBaseline = cts;
    BOOL result = TRUE;
    while (done < count) {
        ssize_t put = write(m_fd, buffer + done, count - done);
        if (put > 0) {
            done += static_cast<DWORD>(put);
            continue;
        }
        if (put < 0 && errno == EINTR)
            continue;
        if (put < 0 && errno != EAGAIN) {
            SetLastError(static_cast<DWORD>(errno));
            result = FALSE;
            break;
        }
        // A write that times out returns what went out, as on the platform.
        if (total != 0 && RemainingMs(deadline) == 0)
            break;
        short revents = 0;
        if (!WaitDevice(POLLOUT, total != 0 ? RemainingMs(deadline) : -1, revents)) {
            SetLastError(ERROR_INVALID_HANDLE);
            result = FALSE;
            break;
        }
        if (revents & (POLLHUP | POLLERR | POLLNVAL)) {
            SetLastError(ERROR_INVALID_HANDLE);
            result = FALSE;
            break;
        }
    }
    if (done > 0 && OutputQueue() > 0) {
        m_txPending = true;
        Notify();
    }
    return result;
}
