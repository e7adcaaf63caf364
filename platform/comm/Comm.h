#pragma once

#include "platform/core/CHandleTable.h"
#include "platform/core/CString.h"
#include "platform/core/LastError.h"
#include "platform/core/WinTypes.h"

#include <cstddef>
#include <cstring>
#include <vector>

// Serial communications in the platform's terms, over the host's devices.
// CreateFileW takes these port names:
//   /dev/tty*, a pty or any other terminal path  a serial port (termios)
//   /dev/snd/midiC*D*, /dev/midi*                a raw MIDI device
//   seq                                          an ALSA sequencer port of our own, unconnected
//   seq:ADDRESS                                  the same, connected to a sequencer destination
//   synth                                        the built-in synthesizer on the sound card
//   synth:FILE.wav                               the built-in synthesizer rendered into a WAV file
//   capture:FILE                                 one text line per byte written
// A device path must name a character device: anything else (a regular
// file given by mistake) is refused with ERROR_NOT_A_MIDI_DEVICE. The check
// is made on the descriptor opened (without creating or emptying the file),
// so it is never written.

struct DCB {
    DWORD DCBlength;
    DWORD BaudRate;
    DWORD fBinary : 1;
    DWORD fParity : 1;
    DWORD fOutxCtsFlow : 1;
    DWORD fOutxDsrFlow : 1;
    DWORD fDtrControl : 2;
    DWORD fDsrSensitivity : 1;
    DWORD fTXContinueOnXoff : 1;
    DWORD fOutX : 1;
    DWORD fInX : 1;
    DWORD fErrorChar : 1;
    DWORD fNull : 1;
    DWORD fRtsControl : 2;
    DWORD fAbortOnError : 1;
    DWORD fDummy2 : 17;
    WORD wReserved;
    WORD XonLim;
    WORD XoffLim;
    BYTE ByteSize;
    BYTE Parity;
    BYTE StopBits;
    char XonChar;
    char XoffChar;
    char ErrorChar;
    char EofChar;
    char EvtChar;
    WORD wReserved1;
};
static_assert(sizeof(DCB) == 28, "DCB keeps the platform's 28-byte layout");

// The flag word of a DCB (the bit-fields after BaudRate) as one value, bit 0
// being fBinary, for callers that change several flags in one operation.
inline DWORD GetDcbFlags(const DCB& dcb)
{
    DWORD flags;
    std::memcpy(&flags, reinterpret_cast<const BYTE*>(&dcb) + 2 * sizeof(DWORD), sizeof flags);
    return flags;
}
inline void SetDcbFlags(DCB& dcb, DWORD flags)
{
    std::memcpy(reinterpret_cast<BYTE*>(&dcb) + 2 * sizeof(DWORD), &flags, sizeof flags);
}

struct COMMTIMEOUTS {
    DWORD ReadIntervalTimeout;
    DWORD ReadTotalTimeoutMultiplier;
    DWORD ReadTotalTimeoutConstant;
    DWORD WriteTotalTimeoutMultiplier;
    DWORD WriteTotalTimeoutConstant;
};

// What ClearCommError reports about the port's queues: cbOutQue counts the
// bytes written that have not yet left the driver.
struct COMSTAT {
    DWORD fCtsHold : 1;
    DWORD fDsrHold : 1;
    DWORD fRlsdHold : 1;
    DWORD fXoffHold : 1;
    DWORD fXoffSent : 1;
    DWORD fEof : 1;
    DWORD fTxim : 1;
    DWORD fReserved : 25;
    DWORD cbInQue;
    DWORD cbOutQue;
};

using LPDCB = DCB*;
using LPCOMSTAT = COMSTAT*;
using LPCOMMTIMEOUTS = COMMTIMEOUTS*;
struct OVERLAPPED;
using LPOVERLAPPED = OVERLAPPED*;
using LPSECURITY_ATTRIBUTES = void*;

#define GENERIC_READ 0x80000000u
#define GENERIC_WRITE 0x40000000u
#define OPEN_EXISTING 3u

#define NOPARITY 0
#define ODDPARITY 1
#define EVENPARITY 2
#define MARKPARITY 3
#define SPACEPARITY 4
#define ONESTOPBIT 0
#define ONE5STOPBITS 1
#define TWOSTOPBITS 2
#define DTR_CONTROL_DISABLE 0
#define DTR_CONTROL_ENABLE 1
#define DTR_CONTROL_HANDSHAKE 2
#define RTS_CONTROL_DISABLE 0
#define RTS_CONTROL_ENABLE 1
#define RTS_CONTROL_HANDSHAKE 2
#define RTS_CONTROL_TOGGLE 3

#define EV_RXCHAR 0x0001u
#define EV_RXFLAG 0x0002u
#define EV_TXEMPTY 0x0004u
#define EV_CTS 0x0008u
#define EV_DSR 0x0010u
#define EV_RLSD 0x0020u
#define EV_BREAK 0x0040u
#define EV_ERR 0x0080u
#define EV_RING 0x0100u

HANDLE CreateFileW(LPCWSTR name, DWORD access, DWORD shareMode, LPSECURITY_ATTRIBUTES security,
    DWORD creation, DWORD flags, HANDLE templateFile);
BOOL GetCommState(HANDLE port, LPDCB dcb);
BOOL SetCommState(HANDLE port, LPDCB dcb);
BOOL GetCommTimeouts(HANDLE port, LPCOMMTIMEOUTS timeouts);
BOOL SetCommTimeouts(HANDLE port, LPCOMMTIMEOUTS timeouts);
BOOL SetCommMask(HANDLE port, DWORD mask);
// Blocks until an event of the mask happens, the mask is changed, or the
// handle is closed (then FALSE with ERROR_INVALID_HANDLE and *mask 0).
BOOL WaitCommEvent(HANDLE port, LPDWORD mask, LPOVERLAPPED overlapped);
// Reports the queue counts in *stat (when given) and no line errors.
BOOL ClearCommError(HANDLE port, LPDWORD errors, LPCOMSTAT stat);
BOOL ReadFile(HANDLE port, LPVOID buffer, DWORD count, LPDWORD done, LPOVERLAPPED overlapped);
BOOL WriteFile(HANDLE port, LPCVOID buffer, DWORD count, LPDWORD done, LPOVERLAPPED overlapped);

// TRUE for the port name that means "no port": nothing is opened and
// nothing is sent (null, empty and "none").
BOOL IsNoPortName(LPCWSTR name);

// The SoundFont of the built-in synthesizer (default
// /usr/share/sounds/sf2/TimGM6mb.sf2), taken by ports opened afterwards.
void SetSynthSoundFont(LPCWSTR path);
CString GetSynthSoundFont();
// TRUE when the built-in synthesizer loads the SoundFont (SF2 or SF3);
// FALSE with the last error set when it does not (no synthesizer library,
// no such file, not a SoundFont it reads).
BOOL SoundFontLoads(LPCWSTR path);
// The SoundFonts installed for every program (*.sf2 and *.sf3 under
// /usr/share/sounds/sf2 and /usr/share/sounds/sf3), sorted by path.
std::vector<CString> InstalledSoundFonts();
// The most sound a synth:FILE.wav file can hold, in microseconds: its header
// states at most 4 GiB of data.
ULONGLONG GetSynthWavCapacity();
// The host audio driver the "synth" port plays through; empty chooses the
// synthesizer's default.
void SetSynthAudioDriver(LPCWSTR driver);
