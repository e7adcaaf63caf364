#pragma once

#include "midiout/CSerialMidiOut.h"
#include "platform/comm/CFakeDevice.h"
#include "platform/core/CMessageBoxRecorder.h"
#include "player/CPlayerState.h"
#include "song/CMidiEvent.h"

#include <gtest/gtest.h>

#include <atomic>
#include <vector>

using Bytes = std::vector<BYTE>;

// A stage opened on a fake device that is ready after every byte, with
// message boxes recorded instead of shown.
class MidiOutFixture : public ::testing::Test {
protected:
    void SetUp() override
    {
        static std::atomic<int> serial { 0 };
        m_device = CFakeDevice::Create(L"midiout" + CString(std::to_wstring(++serial)));
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
    Bytes Take()
    {
        Bytes all = m_device->Values();
        Bytes fresh(all.begin() + static_cast<long>(m_taken), all.end());
        m_taken = all.size();
        return fresh;
    }

    // Controller 7 at that value on every channel.
    static Bytes Volumes(int volume)
    {
        Bytes bytes;
        for (BYTE s = 0xB0; s <= 0xBF; ++s)
            bytes.insert(bytes.end(), { s, 7, static_cast<BYTE>(volume) });
        return bytes;
    }

    // The all-off (controllers 120, 121, 123 on every channel), then, when
    // `volume` is given, the volumes a start sends.
    static Bytes AllOff(int volume = -1)
    {
        Bytes bytes;
        for (BYTE s = 0xB0; s <= 0xBF; ++s)
            bytes.insert(bytes.end(), { s, 120, 0, s, 121, 0, s, 123, 0 });
        if (volume >= 0) {
            Bytes volumes = Volumes(volume);
            bytes.insert(bytes.end(), volumes.begin(), volumes.end());
        }
        return bytes;
    }

    CMessageBoxRecorder m_boxes;
    std::shared_ptr<CFakeDevice> m_device;
    CPlayerState m_state;
    CSerialMidiOut m_out;
    std::size_t m_taken { 0 };
};
