#include "midiout/CSerialMidiOut.h"

#include "midiout/COutputRules.h"
#include "platform/comm/CCommPort.h"
#include "platform/comm/Comm.h"
#include "platform/core/CSyncObject.h"
#include "platform/core/ErrorText.h"
#include "platform/core/MessageBox.h"
#include "platform/core/Thread.h"
#include "platform/core/TickCount.h"
#include "song/CMidiEvent.h"

#include <cstring>

namespace {

constexpr int kRingSize = 2048;
constexpr DWORD kPortEvents = EV_RXCHAR | EV_CTS | EV_TXEMPTY;
constexpr BYTE kDefaultChannelVolume = 100;
// While stalled, a write that the device does not take returns at once.
constexpr DWORD kStalledWriteTimeout = 1;

BYTE ClampData(LONGLONG value)
{
    return static_cast<BYTE>(value < 0 ? 0 : (value > 127 ? 127 : value));
}

BOOL OutputQueueEmpty(CCommPort& port)
{
    DWORD inQueue = 0;
    DWORD outQueue = 0;
    return port.QueueStatus(inQueue, outQueue) && outQueue == 0;
}

}

CSerialMidiOut::CSerialMidiOut()
{
    std::memset(m_channelVolume, kDefaultChannelVolume, sizeof m_channelVolume);
}

CSerialMidiOut::~CSerialMidiOut()
{
    if (m_started)
        Stop();
    ClosePort();
}

BOOL CSerialMidiOut::Start()
{
    if (m_started)
        return TRUE;
    {
        std::lock_guard<std::mutex> guard(m_writeLock);
        m_head = 0;
        m_tail = 0;
        // The song's controllers up to the start position are sent again
        // after the start; until then every channel has the default volume.
        std::memset(m_channelVolume, kDefaultChannelVolume, sizeof m_channelVolume);
    }
    AllOff();
    m_started = 1;
    // The volume is read inside the broadcast: a change the user makes
    // meanwhile is either in it or broadcast after it, never lost.
    if (m_scaleVolume) {
        std::lock_guard<std::mutex> guard(m_writeLock);
        BroadcastVolumeLocked();
    }
    return TRUE;
}

void CSerialMidiOut::Pause()
{
    if (m_started)
        AllOff();
}

void CSerialMidiOut::Stop()
{
    if (m_started) {
        AllOff();
        m_started = 0;
    }
}

void CSerialMidiOut::AllOff()
{
    m_sentKeys.Clear();
    for (int n = 0; n < 16; ++n) {
        BYTE status = static_cast<BYTE>(0xB0 + n);
        BYTE bytes[9] = { status, 120, 0, status, 121, 0, status, 123, 0 };
        Write(bytes, 9);
    }
}

void CSerialMidiOut::Silence(int channel)
{
    if (!m_started)
        return;
    m_sentKeys.ClearChannel(channel);
    const BYTE status = static_cast<BYTE>(0xB0 + (channel & 0x0F));
    BYTE bytes[6] = { status, 120, 0, status, 123, 0 };
    Write(bytes, 6);
}

void CSerialMidiOut::SetVolume(int volume)
{
    m_volume = volume;
    if (!m_started || !m_scaleVolume)
        return;
    std::lock_guard<std::mutex> guard(m_writeLock);
    BroadcastVolumeLocked();
}

void CSerialMidiOut::RequestVolume(int volume)
{
    m_volume = volume;
    m_volumePending = TRUE;
}

void CSerialMidiOut::SendPendingVolume()
{
    // While stopped, the next start broadcasts the volume anyway.
    if (!m_volumePending.exchange(FALSE) || !m_started || !m_scaleVolume)
        return;
    std::lock_guard<std::mutex> guard(m_writeLock);
    BroadcastVolumeLocked();
}

void CSerialMidiOut::BroadcastVolumeLocked()
{
    // 64-bit product: the volume comes from callers and may be out of range.
    LONGLONG volume = m_volume;
    for (int n = 0; n < 16; ++n) {
        BYTE bytes[3] = { static_cast<BYTE>(0xB0 + n), 7, ClampData(m_channelVolume[n] * volume / 1000) };
        WriteLocked(bytes, 3);
    }
}

BOOL CSerialMidiOut::Send(const CMidiEvent* event, const COutputRules* rules, BOOL forced)
{
    if (!m_started)
        return FALSE;
    if (event->m_status >= 0xF0)
        return FALSE;
    // A damaged file may hold data bytes of 0x80 and more; sent as they
    // are, the device would take them for status bytes.
    BYTE bytes[3] = { event->m_status, ClampData(event->m_data1), ClampData(event->m_data2) };
    BYTE kind = bytes[0] & 0xF0;
    int channel = bytes[0] & 0x0F;

    int transpose = rules->m_transpose;
    if (transpose != 0 && channel != rules->m_drumChannel && (kind == 0x80 || kind == 0x90))
        bytes[1] = ClampData(static_cast<LONGLONG>(bytes[1]) + transpose);

    if (kind == 0xB0 && bytes[1] == 7) {
        // The channel's own volume is kept, so that the master volume can
        // scale it again later; keeping and sending are one step against a
        // broadcast from the other thread.
        std::lock_guard<std::mutex> guard(m_writeLock);
        m_channelVolume[channel] = bytes[2];
        if (m_scaleVolume)
            bytes[2] = ClampData(static_cast<LONGLONG>(bytes[2]) * m_volume / 1000);
        WriteLocked(bytes, 3);
        return TRUE;
    }

    // What a mute holds back still shows as played.
    if (!forced && (kind == 0x80 || kind == 0x90))
        m_sentKeys.Note(channel, bytes[1], kind == 0x90 ? bytes[2] : 0);
    if (!forced && kind == 0x90 && bytes[2] >= 16 && rules->IsMuted(channel))
        return FALSE;

    Write(bytes, 3);
    return TRUE;
}

void CSerialMidiOut::Write(BYTE* bytes, int count)
{
    std::lock_guard<std::mutex> guard(m_writeLock);
    WriteLocked(bytes, count);
}

void CSerialMidiOut::WriteLocked(BYTE* bytes, int count)
{
    CCommPort* port = m_port.get();
    if (!port || m_writeError != 0 || m_closing)
        return;

    if ((bytes[0] & 0xF0) == 0xC0 && count == 3)
        count = 2;
    else if ((bytes[0] & 0xD0) == 0xD0 && count == 3)
        count = 2;

    for (int i = 0; i < count; ++i) {
        m_ring[m_head] = bytes[i];
        m_head = (m_head + 1) % kRingSize;
        if (m_head == m_tail)
            break;
    }

    while (m_tail != m_head) {
        BYTE b = m_ring[m_tail];
        m_tail = (m_tail + 1) % kRingSize;
        // A close that waits for this writer drops the rest as well.
        if (m_closing || !SendByte(*port, b)) {
            // The rest of a message whose byte did not go out is dropped:
            // its data bytes alone would be read with the wrong status.
            m_tail = m_head;
            return;
        }
    }
}

BOOL CSerialMidiOut::SendByte(CCommPort& port, BYTE byte)
{
    // A stalled device that signalled since the last byte is alive again.
    if (m_stalled && WaitForSingleObject(m_ready, 0) == WAIT_OBJECT_0)
        CountReadiness(port, TRUE);
    m_ready.ResetEvent();
    DWORD written = 0;
    if (!port.Write(&byte, 1, written)) {
        DWORD error = GetLastError();
        m_writeError = error != 0 ? error : ERROR_INVALID_HANDLE;
        return FALSE;
    }
    BOOL done = FALSE;
    if (written == 1) {
        // Ports that hand every byte on at once have an empty queue here
        // and cost no wait; the others are waited for, not polled.
        done = OutputQueueEmpty(port)
            || WaitForSingleObject(m_ready, m_stalled ? 0 : READY_LIMIT) == WAIT_OBJECT_0;
    }
    CountReadiness(port, done);
    return written == 1;
}

void CSerialMidiOut::CountReadiness(CCommPort& port, BOOL done)
{
    if (done) {
        m_missed = 0;
        if (m_stalled)
            SetStalled(port, FALSE);
    } else if (++m_missed >= STALL_AFTER && !m_stalled) {
        SetStalled(port, TRUE);
    }
}

void CSerialMidiOut::SetStalled(CCommPort& port, BOOL stalled)
{
    m_stalled = stalled;
    COMMTIMEOUTS timeouts;
    if (!port.GetTimeouts(timeouts))
        return;
    timeouts.WriteTotalTimeoutMultiplier = stalled ? 0 : 10;
    timeouts.WriteTotalTimeoutConstant = stalled ? kStalledWriteTimeout : WRITE_TIMEOUT;
    port.SetTimeouts(timeouts);
}

BOOL CSerialMidiOut::TakeWriteFailure(CString& text)
{
    DWORD error = m_writeError;
    if (error == 0 || m_failureTold.exchange(TRUE))
        return FALSE;
    text = L"Port " + m_portName + L": write failed: " + ErrorText(error);
    return TRUE;
}

void CSerialMidiOut::ShowOpenFailure(LPCWSTR firstLine, UINT type)
{
    CString text = L"Port " + m_portName + L": " + ErrorText(GetLastError());
    if (firstLine)
        text = CString(firstLine) + L"\n" + text;
    MessageBoxW(nullptr, text, L"Error", type);
}

BOOL CSerialMidiOut::OpenPort(LPCWSTR name)
{
    // A second open would orphan the first port and leave two read threads
    // on one handle field, so the port that is still open goes first.
    ClosePort();
    m_portName = name;

    HANDLE port = CreateFileW(name, GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    if (port == INVALID_HANDLE_VALUE) {
        ShowOpenFailure(L"Unable to open the port", MB_OK);
        return FALSE;
    }
    {
        std::lock_guard<std::mutex> guard(m_writeLock);
        m_hPort = port;
        m_port = CHandleTable::FindAs<CCommPort>(port);
        m_missed = 0;
        m_stalled = FALSE;
    }
    // Whatever fails from here on, the port is closed again: a half-set-up
    // device is never written.
    DCB dcb;
    std::memset(&dcb, 0, sizeof dcb);
    dcb.DCBlength = sizeof(DCB);
    if (!GetCommState(port, &dcb)) {
        ShowOpenFailure(nullptr, MB_ICONINFORMATION);
        ClosePort();
        return FALSE;
    }
    dcb.BaudRate = 38400;
    dcb.ByteSize = 8;
    dcb.Parity = NOPARITY;
    dcb.StopBits = ONE5STOPBITS;
    SetDcbFlags(dcb, (GetDcbFlags(dcb) & 0xFFFF9015u) | 0x1015u);
    if (!SetCommState(port, &dcb)) {
        ShowOpenFailure(nullptr, MB_ICONINFORMATION);
        ClosePort();
        return FALSE;
    }

    COMMTIMEOUTS timeouts;
    GetCommTimeouts(port, &timeouts);
    timeouts.ReadIntervalTimeout = MAXDWORD;
    timeouts.ReadTotalTimeoutMultiplier = 0;
    timeouts.ReadTotalTimeoutConstant = 0;
    // A byte the device does not take costs no more than one it never
    // confirms, so a stalled device cannot hold the player.
    timeouts.WriteTotalTimeoutMultiplier = 10;
    timeouts.WriteTotalTimeoutConstant = WRITE_TIMEOUT;
    if (!SetCommTimeouts(port, &timeouts)) {
        ShowOpenFailure(L"Unable to set the time-out parameters", MB_OK);
        ClosePort();
        return FALSE;
    }

    m_readThreadUp = 0;
    DWORD id = 0;
    HANDLE thread = CreateThread(nullptr, 0, &CSerialMidiOut::ReadThreadProc, this, 0, &id);
    if (!thread) {
        ShowOpenFailure(L"Unable to create the read thread", MB_OK);
        m_readThreadId = -1;
        ClosePort();
        return FALSE;
    }
    m_readThreadId = static_cast<std::int32_t>(id);
    CloseHandle(thread);

    // The read thread signals as soon as it watches the port; a poll would
    // hold every start (and the first byte) for a whole sleep.
    while (!m_readThreadUp)
        WaitForSingleObject(m_readThreadStarted, INFINITE);
    return TRUE;
}

DWORD CSerialMidiOut::ReadThreadProc(LPVOID stage)
{
    auto* self = static_cast<CSerialMidiOut*>(stage);
    // Once m_readThreadId reads -1 the stage may go at any moment; the end
    // is signalled on this thread's own hold of the wait.
    const std::shared_ptr<ReadThreadEnd> end = self->m_readThreadEnd;
    SetCommMask(self->m_hPort, kPortEvents);
    self->m_readThreadUp = 1;
    self->m_readThreadStarted.SetEvent();
    for (;;) {
        HANDLE port = self->m_hPort;
        if (port == INVALID_HANDLE_VALUE)
            break;
        DWORD mask = 0;
        WaitCommEvent(port, &mask, nullptr);
        SetCommMask(port, kPortEvents);
        if (mask & EV_RXCHAR) {
            BYTE b = 0;
            DWORD got = 0;
            while (ReadFile(port, &b, 1, &got, nullptr) && got == 1)
                self->OnReceive(b);
        }
        if (mask & (EV_CTS | EV_TXEMPTY))
            self->m_ready.SetEvent();
    }
    {
        std::lock_guard<std::mutex> guard(end->lock);
        self->m_readThreadId = -1;
    }
    end->ended.notify_all();
    return 0;
}

void CSerialMidiOut::OnReceive(BYTE)
{
}

void CSerialMidiOut::ClosePort()
{
    HANDLE port;
    {
        // A write in progress ends first, so it never fails on a handle
        // that went away under it; it stops waiting for the device at once.
        // Without its port the stage is silent, not failing.
        m_closing = TRUE;
        m_ready.SetEvent();
        std::lock_guard<std::mutex> guard(m_writeLock);
        m_closing = FALSE;
        m_writeError = 0;
        m_failureTold = FALSE;
        port = m_hPort;
        if (port == INVALID_HANDLE_VALUE || !CloseHandle(port))
            return;
        m_hPort = INVALID_HANDLE_VALUE;
        m_port.reset();
    }
    std::unique_lock<std::mutex> guard(m_readThreadEnd->lock);
    m_readThreadEnd->ended.wait(guard, [this] { return m_readThreadId == -1; });
}
