#include "platform/comm/Comm.h"

#include "platform/comm/CCapturePort.h"
#include "platform/comm/CCommPort.h"
#include "platform/comm/CRawMidiPort.h"
#include "platform/comm/CSeqPort.h"
#include "platform/comm/CSerialPort.h"
#include "platform/comm/CSynthPort.h"
#include "platform/comm/CWavWriter.h"
#include "platform/core/CString.h"

#include <algorithm>
#include <atomic>
#include <cctype>
#include <filesystem>
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

bool StartsWith(const std::wstring& text, const wchar_t* prefix, std::wstring& rest)
{
    std::wstring p(prefix);
    if (text.compare(0, p.size(), p) != 0)
        return false;
    rest = text.substr(p.size());
    return true;
}

// A device node is what a MIDI interface is. The name is opened once,
// without creating or emptying anything and without blocking, and what was
// opened is looked at on its descriptor: a regular file, a directory or a
// FIFO named as a port by mistake is closed again unwritten, and nothing
// can swap the file between the look and the use. -1 with the last error
// set when it is not a device or cannot be opened.
int OpenDevice(const std::string& path)
{
    constexpr int kFlags = O_NOCTTY | O_NONBLOCK | O_CLOEXEC;
    int fd = open(path.c_str(), O_RDWR | kFlags);
    // Some devices only take output.
    if (fd < 0 && (errno == EINVAL || errno == ENXIO || errno == EACCES))
        fd = open(path.c_str(), O_WRONLY | kFlags);
    if (fd < 0) {
        SetLastError(errno == EISDIR ? ERROR_NOT_A_MIDI_DEVICE : static_cast<DWORD>(errno));
        return -1;
    }
    struct stat info {};
    if (fstat(fd, &info) != 0 || !S_ISCHR(info.st_mode)) {
        close(fd);
        SetLastError(ERROR_NOT_A_MIDI_DEVICE);
        return -1;
    }
    return fd;
}

std::atomic<PortOpener> g_opener { nullptr };

std::shared_ptr<CCommPort> OpenByName(const std::wstring& name, DWORD shareMode)
{
    std::shared_ptr<CCommPort> opened;
    if (PortOpener opener = g_opener.load(); opener && opener(name, opened))
        return opened;
    std::wstring rest;
    if (name == L"seq")
        return CSeqPort::Open(std::string());
    if (StartsWith(name, L"seq:", rest) && !rest.empty())
        return CSeqPort::Open(CString(rest).ToUtf8());
    if (name == L"synth")
        return CSynthPort::Open(std::string());
    if (StartsWith(name, L"synth:", rest) && !rest.empty())
        return CSynthPort::Open(CString(rest).ToUtf8());
    if (StartsWith(name, L"capture:", rest) && !rest.empty())
        return CCapturePort::Open(CString(rest).ToUtf8());
    std::string path = CString(name).ToUtf8();
    if (path.empty() || IsNoPortName(name.c_str())) {
        SetLastError(ERROR_FILE_NOT_FOUND);
        return nullptr;
    }
    const int fd = OpenDevice(path);
    if (fd < 0)
        return nullptr;
    if (CRawMidiPort::IsRawMidiPath(path))
        return CRawMidiPort::Open(fd);
    return CSerialPort::Open(fd, shareMode == 0);
}

}

void SetPortOpener(PortOpener opener)
{
    g_opener.store(opener);
}

HANDLE CreateFileW(LPCWSTR name, DWORD access, DWORD shareMode, LPSECURITY_ATTRIBUTES, DWORD creation, DWORD,
    HANDLE)
{
    if (!name || creation != OPEN_EXISTING || (access & (GENERIC_READ | GENERIC_WRITE)) == 0) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return INVALID_HANDLE_VALUE;
    }
    std::shared_ptr<CCommPort> port = OpenByName(name, shareMode);
    if (!port)
        return INVALID_HANDLE_VALUE;
    return CHandleTable::Add(port);
}

namespace {

// The settings calls share their checks: a live port and an argument.
template<typename Arg, typename Op>
BOOL WithPortArgument(HANDLE handle, Arg* argument, Op op)
{
    std::shared_ptr<CCommPort> port = CHandleTable::FindAs<CCommPort>(handle);
    if (!port)
        return FALSE;
    if (!argument) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    return op(*port, *argument);
}

}

BOOL GetCommState(HANDLE handle, LPDCB dcb)
{
    return WithPortArgument(handle, dcb, [](CCommPort& port, DCB& d) { return port.GetState(d); });
}

BOOL SetCommState(HANDLE handle, LPDCB dcb)
{
    return WithPortArgument(handle, dcb, [](CCommPort& port, DCB& d) { return port.SetState(d); });
}

BOOL GetCommTimeouts(HANDLE handle, LPCOMMTIMEOUTS timeouts)
{
    return WithPortArgument(handle, timeouts, [](CCommPort& port, COMMTIMEOUTS& t) { return port.GetTimeouts(t); });
}

BOOL SetCommTimeouts(HANDLE handle, LPCOMMTIMEOUTS timeouts)
{
    return WithPortArgument(handle, timeouts, [](CCommPort& port, COMMTIMEOUTS& t) { return port.SetTimeouts(t); });
}

BOOL SetCommMask(HANDLE handle, DWORD mask)
{
    std::shared_ptr<CCommPort> port = CHandleTable::FindAs<CCommPort>(handle);
    return port ? port->SetMask(mask) : FALSE;
}

BOOL WaitCommEvent(HANDLE handle, LPDWORD mask, LPOVERLAPPED)
{
    if (mask)
        *mask = 0;
    std::shared_ptr<CCommPort> port = CHandleTable::FindAs<CCommPort>(handle);
    if (!port || !mask) {
        if (port)
            SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    return port->WaitEvent(*mask);
}

namespace {

// Reads and writes share their checks and the reporting of the count done.
template<typename Op>
BOOL Transfer(HANDLE handle, const void* buffer, DWORD count, LPDWORD done, Op op)
{
    if (done)
        *done = 0;
    std::shared_ptr<CCommPort> port = CHandleTable::FindAs<CCommPort>(handle);
    if (!port)
        return FALSE;
    if (!buffer && count) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    DWORD moved = 0;
    BOOL result = op(*port, moved);
    if (done)
        *done = moved;
    return result;
}

}

BOOL ClearCommError(HANDLE handle, LPDWORD errors, LPCOMSTAT stat)
{
    std::shared_ptr<CCommPort> port = CHandleTable::FindAs<CCommPort>(handle);
    if (!port)
        return FALSE;
    if (errors)
        *errors = 0;
    DWORD inQueue = 0, outQueue = 0;
    if (!port->QueueStatus(inQueue, outQueue))
        return FALSE;
    if (stat) {
        std::memset(stat, 0, sizeof *stat);
        stat->cbInQue = inQueue;
        stat->cbOutQue = outQueue;
    }
    return TRUE;
}

BOOL ReadFile(HANDLE handle, LPVOID buffer, DWORD count, LPDWORD done, LPOVERLAPPED)
{
    return Transfer(handle, buffer, count, done,
        [&](CCommPort& port, DWORD& moved) { return port.Read(static_cast<BYTE*>(buffer), count, moved); });
}

BOOL WriteFile(HANDLE handle, LPCVOID buffer, DWORD count, LPDWORD done, LPOVERLAPPED)
{
    return Transfer(handle, buffer, count, done,
        [&](CCommPort& port, DWORD& moved) { return port.Write(static_cast<const BYTE*>(buffer), count, moved); });
}

BOOL IsNoPortName(LPCWSTR name)
{
    return !name || !*name || std::wstring(name) == L"none";
}

ULONGLONG GetSynthWavCapacity()
{
    // FluidSynth's default rate, at which the synthesizer port renders,
    // 16-bit stereo.
    constexpr ULONGLONG kFramesPerSecond = 44100;
    constexpr ULONGLONG kFrameBytes = 4;
    return CWavWriter::MAX_DATA_BYTES / kFrameBytes * 1000000 / kFramesPerSecond;
}

void SetSynthSoundFont(LPCWSTR path)
{
    CSynthPort::SetSoundFont(CString(path ? path : L"").ToUtf8());
}

CString GetSynthSoundFont()
{
    return CString::FromUtf8(CSynthPort::SoundFont());
}

BOOL SoundFontLoads(LPCWSTR path)
{
    return CSynthPort::LoadsSoundFont(CString(path ? path : L"").ToUtf8()) ? TRUE : FALSE;
}

std::vector<CString> InstalledSoundFonts()
{
    std::vector<std::string> paths;
    for (const char* folder : { "/usr/share/sounds/sf2", "/usr/share/sounds/sf3" }) {
        std::error_code error;
        for (const auto& entry : std::filesystem::directory_iterator(folder, error)) {
            std::string extension = entry.path().extension().string();
            for (char& c : extension)
                c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
            std::error_code typeError;
            if ((extension == ".sf2" || extension == ".sf3") && entry.is_regular_file(typeError))
                paths.push_back(entry.path().string());
        }
    }
    std::sort(paths.begin(), paths.end());
    std::vector<CString> soundFonts;
    for (const std::string& path : paths)
        soundFonts.push_back(CString::FromUtf8(path));
    return soundFonts;
}

void SetSynthAudioDriver(LPCWSTR driver)
{
    CSynthPort::SetAudioDriver(CString(driver ? driver : L"").ToUtf8());
}
