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

#include <algorithm>
#include <cstring>
#include <initializer_list>

namespace {

constexpr int kRingSize = 2048;
constexpr DWORD kPortEvents = EV_RXCHAR | EV_CTS | EV_TXEMPTY;
constexpr BYTE kDefaultChannelVolume = 100;
constexpr BYTE kCentrePan = 64;
// While stalled, a write that the device does not take returns at once.
constexpr DWORD kStalledWriteTimeout = 1;

BYTE ClampData(LONGLONG value)
{
    return static_cast<BYTE>(value < 0 ? 0 : (value > 127 ? 127 : value));
}

// The reset messages, F0 to F7, in the order of CSerialMidiOut::Reset.
const BYTE kGmOn[] = { 0xF0, 0x7E, 0x7F, 0x09, 0x01, 0xF7 };
const BYTE kGm2On[] = { 0xF0, 0x7E, 0x7F, 0x09, 0x03, 0xF7 };
const BYTE kGsReset[] = { 0xF0, 0x41, 0x10, 0x42, 0x12, 0x40, 0x00, 0x7F, 0x00, 0x41, 0xF7 };
const BYTE kXgOn[] = { 0xF0, 0x43, 0x10, 0x4C, 0x00, 0x00, 0x7E, 0x00, 0xF7 };

// Bytes a write puts through the ring at most: fewer than it holds.
constexpr int kChunk = kRingSize / 2;

// Bank select MSB values that select a drum kit: XG's 127, GM2's 120.
bool IsDrumBank(BYTE msb)
{
    return msb == 127 || msb == 0x78;
}

// TRUE for a system-exclusive message (without its F0) that puts the module
// back into its power-on state, every part as it was: GM System On and Off,
// GM2 System On, GS Reset and System Mode Set, XG System On.
bool IsModuleReset(const BYTE* bytes, DWORD length)
{
    auto is = [&](std::initializer_list<int> pattern) {
        if (length != pattern.size())
            return false;
        DWORD i = 0;
        for (int b : pattern) {
            if (b >= 0 && bytes[i] != b)
                return false;
            ++i;
        }
        return true;
    };
    // -1 stands for any device number, -2 for the byte the message varies in.
    return is({ 0x7E, -1, 0x09, 0x01, 0xF7 }) || is({ 0x7E, -1, 0x09, 0x02, 0xF7 }) || is({ 0x7E, -1, 0x09, 0x03, 0xF7 })
        || is({ 0x41, -1, 0x42, 0x12, 0x40, 0x00, 0x7F, 0x00, 0x41, 0xF7 })
        || is({ 0x41, -1, 0x42, 0x12, 0x00, 0x00, 0x7F, -2, -2, 0xF7 })
        || is({ 0x43, -1, 0x4C, 0x00, 0x00, 0x7E, 0x00, 0xF7 });
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
    std::memset(m_channelPan, kCentrePan, sizeof m_channelPan);
    StoreMix(CMixerValues());
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
        std::memset(m_channelPan, kCentrePan, sizeof m_channelPan);
        m_panOverridden = 0;
    }
    AllOff();
    m_started = 1;
    // The volume is read inside the broadcast: a change the user makes
    // meanwhile is either in it or broadcast after it, never lost.
    if (m_scaleVolume) {
        std::lock_guard<std::mutex> guard(m_writeLock);
        BroadcastVolumeLocked();
        BroadcastPanLocked();
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
    BroadcastPanLocked();
}

void CSerialMidiOut::StoreMix(const CMixerValues& mix)
{
    for (int n = 0; n < 16; ++n) {
        m_mixScale[n] = mix.Scale(n);
        m_mixPan[n] = mix.Pan(n);
    }
}

void CSerialMidiOut::SetMix(const CMixerValues& mix)
{
    StoreMix(mix);
    if (!m_started || !m_scaleVolume)
        return;
    std::lock_guard<std::mutex> guard(m_writeLock);
    BroadcastVolumeLocked();
    BroadcastPanLocked();
}

void CSerialMidiOut::RequestMix(const CMixerValues& mix)
{
    StoreMix(mix);
    m_volumePending = TRUE;
}

BYTE CSerialMidiOut::MixedVolume(int channel, BYTE volume) const
{
    // 64-bit product: the master volume comes from callers and may be out
    // of range.
    return ClampData(static_cast<LONGLONG>(volume) * m_volume * m_mixScale[channel] / 1000000);
}

void CSerialMidiOut::BroadcastVolumeLocked()
{
    for (int n = 0; n < 16; ++n) {
        BYTE bytes[3] = { static_cast<BYTE>(0xB0 + n), 7, MixedVolume(n, m_channelVolume[n]) };
        WriteLocked(bytes, 3);
    }
}

void CSerialMidiOut::BroadcastPanLocked()
{
    std::uint32_t overridden = 0;
    for (int n = 0; n < 16; ++n) {
        const std::int32_t pan = m_mixPan[n];
        if (pan >= 0)
            overridden |= 1u << n;
        // A channel the mix left alone, and still leaves alone, keeps what
        // it has.
        if (pan < 0 && !(m_panOverridden >> n & 1))
            continue;
        BYTE bytes[3] = { static_cast<BYTE>(0xB0 + n), 10, pan >= 0 ? ClampData(pan) : m_channelPan[n] };
        WriteLocked(bytes, 3);
    }
    m_panOverridden = overridden;
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
    if (transpose != 0 && !forced && !IsDrumChannel(channel, rules) && (kind == 0x80 || kind == 0x90))
        bytes[1] = ClampData(static_cast<LONGLONG>(bytes[1]) + transpose);
    if (kind == 0xB0 && bytes[1] == 0) {
        const std::uint32_t bit = 1u << channel;
        m_bankDrums = IsDrumBank(bytes[2]) ? (m_bankDrums | bit) : (m_bankDrums & ~bit);
    }

    if (kind == 0xB0 && bytes[1] == 7) {
        // The channel's own volume is kept, so that the master volume can
        // scale it again later; keeping and sending are one step against a
        // broadcast from the other thread.
        std::lock_guard<std::mutex> guard(m_writeLock);
        m_channelVolume[channel] = bytes[2];
        if (m_scaleVolume)
            bytes[2] = MixedVolume(channel, bytes[2]);
        WriteLocked(bytes, 3);
        return TRUE;
    }
    if (kind == 0xB0 && bytes[1] == 10) {
        // The song's pan is kept for when the mix lets go of the channel.
        std::lock_guard<std::mutex> guard(m_writeLock);
        m_channelPan[channel] = bytes[2];
        const std::int32_t pan = m_mixPan[channel];
        if (pan >= 0)
            bytes[2] = ClampData(pan);
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

BOOL CSerialMidiOut::IsDrumChannel(int channel, const COutputRules* rules) const
{
    return channel == rules->m_drumChannel || ((m_gsDrums | m_bankDrums) >> channel & 1) ? TRUE : FALSE;
}

BOOL CSerialMidiOut::SendSysEx(BYTE status, const BYTE* bytes, DWORD length)
{
    if (!m_started || !m_sendSysEx || (status != 0xF0 && status != 0xF7))
        return FALSE;
    JoinSysEx(status, bytes, length);
    // The whole packet under one hold of the lock: a message of the other
    // thread never lands inside it. Longer than the ring, it goes through
    // it in pieces.
    std::lock_guard<std::mutex> guard(m_writeLock);
    if (m_hPort == INVALID_HANDLE_VALUE || m_writeError != 0)
        return FALSE;
    if (status == 0xF0 && !PutLocked(&status, 1))
        return FALSE;
    for (DWORD done = 0; done < length;) {
        const int count = static_cast<int>(std::min<DWORD>(length - done, kChunk));
        // A byte that did not go out ends the packet: the rest alone would
        // be read as something else.
        if (!PutLocked(bytes + done, count))
            return FALSE;
        done += static_cast<DWORD>(count);
    }
    return TRUE;
}

const BYTE* CSerialMidiOut::ResetMessage(std::int32_t reset, DWORD& length)
{
    struct Entry {
        const BYTE* bytes;
        DWORD length;
    };
    static const Entry entries[RESET_COUNT] = { { nullptr, 0 }, { kGmOn, sizeof kGmOn }, { kGm2On, sizeof kGm2On },
        { kGsReset, sizeof kGsReset }, { kXgOn, sizeof kXgOn } };
    const Entry& entry = entries[reset > RESET_NONE && reset < RESET_COUNT ? reset : RESET_NONE];
    length = entry.length;
    return entry.bytes;
}

std::int32_t CSerialMidiOut::ResetFromName(const char* name)
{
    static const char* const names[RESET_COUNT] = { "none", "gm", "gm2", "gs", "xg" };
    for (std::int32_t reset = 0; reset < RESET_COUNT; ++reset) {
        if (name && std::strcmp(name, names[reset]) == 0)
            return reset;
    }
    return -1;
}

BOOL CSerialMidiOut::SendReset()
{
    DWORD length = 0;
    const BYTE* message = ResetMessage(m_reset, length);
    if (!message || !m_started)
        return FALSE;
    // The user's choice, sent whether or not the song's own messages are.
    ReadDrumDeclaration(message + 1, length - 1);
    std::lock_guard<std::mutex> guard(m_writeLock);
    if (m_hPort == INVALID_HANDLE_VALUE || m_writeError != 0)
        return FALSE;
    return PutLocked(message, static_cast<int>(length));
}

void CSerialMidiOut::JoinSysEx(BYTE status, const BYTE* bytes, DWORD length)
{
    // An F7 packet outside a message is an escape, which declares nothing.
    if (status == 0xF7 && !m_joinOpen)
        return;
    if (status == 0xF0)
        m_joinedLength = 0;
    for (DWORD i = 0; i < length; ++i) {
        // Longer than any declaration: counted, not kept.
        if (m_joinedLength < kJoinLimit)
            m_joined[m_joinedLength] = bytes[i];
        ++m_joinedLength;
    }
    m_joinOpen = length == 0 || bytes[length - 1] != 0xF7;
    if (!m_joinOpen && m_joinedLength <= kJoinLimit)
        ReadDrumDeclaration(m_joined, static_cast<DWORD>(m_joinedLength));
}

void CSerialMidiOut::ReadDrumDeclaration(const BYTE* bytes, DWORD length)
{
    if (IsModuleReset(bytes, length)) {
        ForgetDeclaredDrums();
        return;
    }
    // GS "use for rhythm part": 41 dev 42 12 40 1x 15 mm sum F7, with a
    // right checksum (the module ignores the message otherwise). Part x
    // is 10 for x = 0, 1..9 for x = 1..9 and 11..16 for x = A..F.
    if (length != 10 || bytes[0] != 0x41 || bytes[2] != 0x42 || bytes[3] != 0x12 || bytes[4] != 0x40
        || (bytes[5] & 0xF0) != 0x10 || bytes[6] != 0x15 || bytes[9] != 0xF7)
        return;
    if (((bytes[4] + bytes[5] + bytes[6] + bytes[7] + bytes[8]) & 0x7F) != 0 || bytes[7] > 2)
        return;
    const int part = bytes[5] & 0x0F;
    const int channel = part == 0 ? 9 : (part <= 9 ? part - 1 : part);
    const std::uint32_t bit = 1u << channel;
    m_gsDrums = bytes[7] != 0 ? (m_gsDrums | bit) : (m_gsDrums & ~bit);
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
    PutLocked(bytes, count);
}

BOOL CSerialMidiOut::PutLocked(const BYTE* bytes, int count)
{
    CCommPort* port = m_port.get();
    if (!port || m_writeError != 0 || m_closing)
        return FALSE;
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
            return FALSE;
        }
    }
    return TRUE;
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
