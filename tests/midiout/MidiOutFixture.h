#pragma once

#include "midiout/CSerialMidiOut.h"
#include "platform/comm/CFakeDevice.h"
#include "platform/core/CMessageBoxRecorder.h"
#include "player/CPlayerState.h"
#include "song/CMidiEvent.h"

#include <gtest/gtest.h>

#include <atomic>
#include <vector>

// A stage opened on a fake device that is ready after every byte, with
// message boxes recorded instead of shown.
class MidiOutFixture : public ::testing::Test {
protected:
    void SetUp() override
    {
        static std::atomic<int> serial { 0 };
        m_device = CFakeDevice::Create(L"midiout" + CString(std::to_wstring(++serial)));
    }

    void Open()
    {
        ASSERT_TRUE(m_out.OpenPort(m_device->PortName()));
        ASSERT_TRUE(m_boxes.Entries().empty());
    }

    BOOL SendMessage(BYTE status, BYTE data1, BYTE data2, BOOL forced = FALSE)
    {
        CMidiEvent event;
        event.m_status = status;
        event.m_data1 = data1;
        event.m_data2 = data2;
        return m_out.Send(&event, &m_state, forced);
    }

    // The stream written since the last call.
    std::vector<BYTE> Take()
    {
        std::vector<BYTE> all = m_device->Values();
        std::vector<BYTE> fresh(all.begin() + static_cast<long>(m_taken), all.end());
        m_taken = all.size();
        return fresh;
    }

    static std::vector<BYTE> AllOffBytes()
    {
        std::vector<BYTE> bytes;
        for (int n = 0; n < 16; ++n) {
            BYTE s = static_cast<BYTE>(0xB0 + n);
            bytes.insert(bytes.end(), { s, 120, 0, s, 121, 0, s, 123, 0 });
        }
        return bytes;
    }

    // A volume broadcast: controller 7 with the value on every channel, but
    // for those given otherwise.
    static std::vector<BYTE> VolumeBytes(BYTE value, std::initializer_list<std::pair<int, BYTE>> others = {})
    {
        std::vector<BYTE> bytes;
        for (int n = 0; n < 16; ++n) {
            BYTE v = value;
            for (const auto& [channel, other] : others)
                v = channel == n ? other : v;
            bytes.insert(bytes.end(), { static_cast<BYTE>(0xB0 + n), 7, v });
        }
        return bytes;
    }

    static std::vector<BYTE> Concat(std::vector<BYTE> a, const std::vector<BYTE>& b)
    {
        a.insert(a.end(), b.begin(), b.end());
        return a;
    }

    CMessageBoxRecorder m_boxes;
    std::shared_ptr<CFakeDevice> m_device;
    CPlayerState m_state;
    CSerialMidiOut m_out;
    std::size_t m_taken { 0 };
};
