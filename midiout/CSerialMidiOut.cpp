#include "midiout/CSerialMidiOut.h"

#include "platform/comm/Comm.h"
#include "platform/core/MessageBox.h"
#include "platform/core/Thread.h"
#include "platform/core/TickCount.h"
#include "player/CPlayerState.h"
#include "song/CMidiEvent.h"

namespace {

constexpr int kRingSize = 2048;
constexpr DWORD kReadyLimit = 100;
constexpr DWORD kPortEvents = EV_RXCHAR | EV_CTS;

BYTE ClampData(LONGLONG value)
{
    return static_cast<BYTE>(value < 0 ? 0 : (value > 127 ? 127 : value));
}

void ShowSystemError()
{
    LPWSTR text = nullptr;
    FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
        nullptr, GetLastError(), MAKELANGID(LANG_NEUTRAL, SUBLANG_DEFAULT), reinterpret_cast<LPWSTR>(&text), 0,
        nullptr);
    MessageBoxW(nullptr, text ? text : L"", L"Error", MB_ICONINFORMATION);
    LocalFree(text);
}

}

CSerialMidiOut::CSerialMidiOut() = default;

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
    }
    AllOff();
    m_started = 1;
    SetVolume(m_volume);
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
    for (int n = 0; n < 16; ++n) {
        BYTE status = static_cast<BYTE>(0xB0 + n);
        BYTE bytes[9] = { status, 120, 0, status, 121, 0, status, 123, 0 };
        Write(bytes, 9);
    }
}

void CSerialMidiOut::SetVolume(int volume)
{
    m_volume = volume;
    if (!m_started || !m_scaleVolume)
        return;
    // 64-bit product: the volume comes from callers and may be out of range.
    BYTE value = ClampData(static_cast<LONGLONG>(volume) * 127 / 1000);
    for (int n = 0; n < 16; ++n) {
        BYTE bytes[3] = { static_cast<BYTE>(0xB0 + n), 7, value };
        Write(bytes, 3);
    }
}

BOOL CSerialMidiOut::Send(const CMidiEvent* event, CPlayerState* state, BOOL forced)
{
    if (!m_started)
        return FALSE;
    if (event->m_status >= 0xF0)
        return FALSE;
    BYTE bytes[3] = { event->m_status, event->m_data1, event->m_data2 };
    BYTE kind = bytes[0] & 0xF0;
    int channel = bytes[0] & 0x0F;

    int transpose = state->m_transpose;
    if (transpose != 0 && channel != state->m_drumChannel && (kind == 0x80 || kind == 0x90))
        bytes[1] = ClampData(static_cast<LONGLONG>(bytes[1]) + transpose);

    if (m_scaleVolume && kind == 0xB0 && bytes[1] == 7)
        bytes[2] = ClampData(static_cast<LONGLONG>(bytes[2]) * m_volume / 1000);

    if (!forced && kind == 0x90 && bytes[2] >= 16 && state->m_channels[channel].m_muted)
        return FALSE;

    Write(bytes, 3);
    return TRUE;
}

void CSerialMidiOut::Write(BYTE* bytes, int count)
{
    std::lock_guard<std::mutex> guard(m_writeLock);
    HANDLE port = m_hPort;
    if (port == INVALID_HANDLE_VALUE)
        return;

    if ((bytes[0] & 0xF0) == 0xC0 && count == 3)
        count = 2;
    else if ((bytes[0] & 0xD0) == 0xD0 && count == 3)
        count = 2;

    if ((bytes[0] & 0xF0) == 0xB0 && (bytes[0] & 0x0F) == m_portDrumChannel && count >= 3)
        bytes[2] = 127;

    for (int i = 0; i < count; ++i) {
        m_ring[m_head] = bytes[i];
        m_head = (m_head + 1) % kRingSize;
        if (m_head == m_tail)
            break;
    }

    DWORD t0 = GetTickCount();
    while (!m_ready) {
        Sleep(0);
        if (GetTickCount() - t0 > kReadyLimit)
            break;
    }

    while (m_tail != m_head) {
        BYTE b = m_ring[m_tail];
        m_tail = (m_tail + 1) % kRingSize;
        m_ready = 0;
        t0 = GetTickCount();
        DWORD written = 0;
        WriteFile(port, &b, 1, &written, nullptr);
        while (!m_ready) {
            Sleep(0);
            if (GetTickCount() - t0 > kReadyLimit)
                break;
        }
    }
}

BOOL CSerialMidiOut::OpenPort(LPCWSTR name)
{
    // A second open would orphan the first port and leave two read threads
    // on one handle field, so the port that is still open goes first.
    ClosePort();

    HANDLE port = CreateFileW(name, GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    m_hPort = port;
    if (port == INVALID_HANDLE_VALUE) {
        MessageBoxW(nullptr, L"Unable to open the port", L"Error", MB_OK);
        return FALSE;
    }

    DCB dcb;
    std::memset(&dcb, 0, sizeof dcb);
    dcb.DCBlength = sizeof(DCB);
    if (!GetCommState(port, &dcb)) {
        ShowSystemError();
        return FALSE;
    }
    dcb.BaudRate = 38400;
    dcb.ByteSize = 8;
    dcb.Parity = NOPARITY;
    dcb.StopBits = ONE5STOPBITS;
    SetDcbFlags(dcb, (GetDcbFlags(dcb) & 0xFFFF9015u) | 0x1015u);
    if (!SetCommState(port, &dcb)) {
        ShowSystemError();
        return FALSE;
    }

    COMMTIMEOUTS timeouts;
    GetCommTimeouts(port, &timeouts);
    timeouts.ReadIntervalTimeout = MAXDWORD;
    timeouts.ReadTotalTimeoutMultiplier = 0;
    timeouts.ReadTotalTimeoutConstant = 0;
    timeouts.WriteTotalTimeoutMultiplier = 10;
    timeouts.WriteTotalTimeoutConstant = 1000;
    if (!SetCommTimeouts(port, &timeouts)) {
        MessageBoxW(nullptr, L"Unable to set the time-out parameters", L"Error", MB_OK);
        return FALSE;
    }

    m_readThreadUp = 0;
    m_ready = 0;
    DWORD id = 0;
    HANDLE thread = CreateThread(nullptr, 0, &CSerialMidiOut::ReadThreadProc, this, 0, &id);
    if (!thread) {
        MessageBoxW(nullptr, L"Unable to create the read thread", L"Error", MB_OK);
        m_readThreadId = -1;
        return FALSE;
    }
    m_readThreadId = static_cast<std::int32_t>(id);
    CloseHandle(thread);

    while (!m_readThreadUp)
        Sleep(1);
    return TRUE;
}

DWORD CSerialMidiOut::ReadThreadProc(LPVOID stage)
{
    auto* self = static_cast<CSerialMidiOut*>(stage);
    SetCommMask(self->m_hPort, kPortEvents);
    self->m_readThreadUp = 1;
    self->m_ready = 1;
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
        if (mask & EV_CTS)
            self->m_ready = 1;
    }
    self->m_readThreadId = -1;
    return 0;
}

void CSerialMidiOut::OnReceive(BYTE)
{
}

void CSerialMidiOut::ClosePort()
{
    HANDLE port = m_hPort;
    if (port == INVALID_HANDLE_VALUE || !CloseHandle(port))
        return;
    m_hPort = INVALID_HANDLE_VALUE;
    while (m_readThreadId != -1)
        Sleep(1);
}
