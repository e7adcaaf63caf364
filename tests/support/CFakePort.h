#pragma once

#include "platform/comm/CSoftPort.h"

#include <memory>

class CFakeDevice;

// The port side of a CFakeDevice.
class CFakePort : public CSoftPort {
public:
    explicit CFakePort(std::shared_ptr<CFakeDevice> device) : m_device(std::move(device)) { }

    BOOL GetState(DCB& dcb) override;
    BOOL SetState(const DCB& dcb) override;
    BOOL GetTimeouts(COMMTIMEOUTS& timeouts) override;
    BOOL SetTimeouts(const COMMTIMEOUTS& timeouts) override;
    BOOL Write(const BYTE* buffer, DWORD count, DWORD& done) override;
    bool IsOpen() { return !IsClosed(); }

protected:
    BOOL Emit(BYTE byte) override;
    void AfterByte() override;

private:
    BOOL Fails(int call);

    std::shared_ptr<CFakeDevice> m_device;
};
