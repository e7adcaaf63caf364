#include "tests/support/CFakeDevice.h"

#include "platform/core/TickCount.h"
#include "tests/support/CFakePort.h"

#include <map>
#include <thread>

namespace {

std::mutex g_registryLock;
std::map<std::wstring, std::weak_ptr<CFakeDevice>>& Registry()
{
    static std::map<std::wstring, std::weak_ptr<CFakeDevice>> registry;
    return registry;
}

// Opens "fake:NAME" while a device of that name lives.
BOOL OpenFakePort(const std::wstring& name, std::shared_ptr<CCommPort>& opened)
{
    const std::wstring prefix = L"fake:";
    if (name.compare(0, prefix.size(), prefix) != 0)
        return FALSE;
    std::shared_ptr<CFakeDevice> device = CFakeDevice::Find(CString(name.substr(prefix.size())));
    if (!device) {
        SetLastError(ERROR_FILE_NOT_FOUND);
        return TRUE;
    }
    if (DWORD error = device->Failure(CFakeDevice::CALL_OPEN)) {
        SetLastError(error);
        return TRUE;
    }
    auto port = std::make_shared<CFakePort>(device);
    device->Attach(port);
    opened = port;
    return TRUE;
}

}

CFakeDevice::CFakeDevice(const CString& name)
    : m_name(name)
    , m_created(std::chrono::steady_clock::now())
{
    m_dcb.DCBlength = sizeof(DCB);
    m_dcb.BaudRate = 9600;
    m_dcb.fBinary = 1;
    m_dcb.ByteSize = 8;
}

std::shared_ptr<CFakeDevice> CFakeDevice::Create(const CString& name)
{
    // The platform learns the "fake:" names once the first device exists.
    SetPortOpener(OpenFakePort);
    std::shared_ptr<CFakeDevice> device(new CFakeDevice(name));
    std::lock_guard<std::mutex> guard(g_registryLock);
    Registry()[name.Str()] = device;
    return device;
}

CFakeDevice::~CFakeDevice()
{
    std::lock_guard<std::mutex> guard(g_registryLock);
    auto it = Registry().find(m_name.Str());
    if (it != Registry().end() && it->second.expired())
        Registry().erase(it);
}

std::shared_ptr<CFakeDevice> CFakeDevice::Find(const CString& name)
{
    std::lock_guard<std::mutex> guard(g_registryLock);
    auto it = Registry().find(name.Str());
    return it == Registry().end() ? nullptr : it->second.lock();
}

void CFakeDevice::SetReadiness(Readiness readiness, DWORD delayMs)
{
    std::lock_guard<std::mutex> guard(m_lock);
    m_readiness = readiness;
    m_delayMs = delayMs;
}

void CFakeDevice::GetReadiness(Readiness& readiness, DWORD& delayMs) const
{
    std::lock_guard<std::mutex> guard(m_lock);
    readiness = m_readiness;
    delayMs = m_delayMs;
}

void CFakeDevice::TimeOutWrites(int count)
{
    std::lock_guard<std::mutex> guard(m_lock);
    m_writeTimeouts = count;
}

bool CFakeDevice::TakeWriteTimeout()
{
    std::lock_guard<std::mutex> guard(m_lock);
    if (m_writeTimeouts == 0)
        return false;
    if (m_writeTimeouts > 0)
        --m_writeTimeouts;
    return true;
}

void CFakeDevice::SetFailure(Call call, DWORD error)
{
    std::lock_guard<std::mutex> guard(m_lock);
    m_failures[call] = error;
}

DWORD CFakeDevice::Failure(Call call) const
{
    std::lock_guard<std::mutex> guard(m_lock);
    return m_failures[call];
}

void CFakeDevice::Receive(const std::vector<BYTE>& bytes)
{
    std::shared_ptr<CFakePort> port;
    {
        std::lock_guard<std::mutex> guard(m_lock);
        port = m_port.lock();
    }
    if (port)
        port->Receive(bytes.data(), bytes.size());
}

void CFakeDevice::Record(BYTE value)
{
    DWORD tick = GetTickCount();
    long long us = std::chrono::duration_cast<std::chrono::microseconds>(std::chrono::steady_clock::now() - m_created)
                       .count();
    std::lock_guard<std::mutex> guard(m_lock);
    m_bytes.push_back({ us, tick, value });
}

std::vector<CFakeDevice::Written> CFakeDevice::Bytes() const
{
    std::lock_guard<std::mutex> guard(m_lock);
    return m_bytes;
}

std::vector<BYTE> CFakeDevice::Values() const
{
    std::lock_guard<std::mutex> guard(m_lock);
    std::vector<BYTE> values;
    for (const Written& w : m_bytes)
        values.push_back(w.value);
    return values;
}

bool CFakeDevice::WaitForBytes(std::size_t count, DWORD timeoutMs) const
{
    auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    for (;;) {
        {
            std::lock_guard<std::mutex> guard(m_lock);
            if (m_bytes.size() >= count)
                return true;
        }
        if (std::chrono::steady_clock::now() >= deadline)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
}

void CFakeDevice::Attach(const std::shared_ptr<CFakePort>& port)
{
    std::lock_guard<std::mutex> guard(m_lock);
    m_port = port;
    ++m_openCount;
}

int CFakeDevice::OpenCount() const
{
    std::lock_guard<std::mutex> guard(m_lock);
    return m_openCount;
}

bool CFakeDevice::IsOpen() const
{
    std::shared_ptr<CFakePort> port;
    {
        std::lock_guard<std::mutex> guard(m_lock);
        port = m_port.lock();
    }
    return port && port->IsOpen();
}

std::size_t CFakeDevice::PendingInput() const
{
    std::shared_ptr<CFakePort> port;
    {
        std::lock_guard<std::mutex> guard(m_lock);
        port = m_port.lock();
    }
    return port ? port->PendingInput() : 0;
}

DCB CFakeDevice::State() const
{
    std::lock_guard<std::mutex> guard(m_lock);
    return m_dcb;
}

void CFakeDevice::SetState(const DCB& dcb)
{
    std::lock_guard<std::mutex> guard(m_lock);
    m_dcb = dcb;
}

COMMTIMEOUTS CFakeDevice::Timeouts() const
{
    std::lock_guard<std::mutex> guard(m_lock);
    return m_timeouts;
}

void CFakeDevice::SetTimeouts(const COMMTIMEOUTS& timeouts)
{
    std::lock_guard<std::mutex> guard(m_lock);
    m_timeouts = timeouts;
}
