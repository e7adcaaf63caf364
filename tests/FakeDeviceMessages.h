#pragma once

#include "tests/support/CFakeDevice.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <vector>

using Message = std::vector<int>;
using Messages = std::vector<Message>;

// What Take() puts for a whole group of the output stage: the all-off and
// the volume broadcast, whose bytes the output stage's own tests check.
const Message ALL_OFF { 0 };
const Message VOLUMES { 7 };

// A fake device named after the running test, read back as messages (a
// status byte starts each).
class FakeDeviceMessages {
public:
    std::vector<int> Bytes() const
    {
        const std::vector<BYTE> values = device->Values();
        return std::vector<int>(values.begin(), values.end());
    }

    // The messages written since the last call; squashed, each whole group
    // stands as ALL_OFF or VOLUMES.
    Messages Take(bool squash = true)
    {
        const std::vector<int> bytes = Bytes();
        Messages messages;
        for (size_t i = m_taken; i < bytes.size(); ++i) {
            if (bytes[i] >= 0x80 || messages.empty())
                messages.push_back({});
            messages.back().push_back(bytes[i]);
        }
        m_taken = bytes.size();
        Messages squashed;
        for (auto at = messages.begin(); at != messages.end(); ++at) {
            auto group = [&](const Messages& g) {
                return squash && messages.end() - at >= long(g.size()) && std::equal(g.begin(), g.end(), at);
            };
            Messages volumes = Groups(false, at->size() == 3 ? (*at)[2] : 0);
            const bool allOff = group(Groups(true)), volume = !allOff && group(volumes);
            squashed.push_back(allOff ? ALL_OFF : volume ? VOLUMES : *at);
            at += allOff ? 47 : volume ? 15 : 0;
        }
        return squashed;
    }

    // The all-off (controllers 120, 121, 123) on every channel when asked,
    // then controller 7 at `volume` on every channel when it is given.
    static Messages Groups(bool allOff, int volume = -1)
    {
        Messages messages;
        for (int s = 0xB0; allOff && s <= 0xBF; ++s)
            messages.insert(messages.end(), { { s, 120, 0 }, { s, 121, 0 }, { s, 123, 0 } });
        for (int s = 0xB0; volume >= 0 && s <= 0xBF; ++s)
            messages.push_back({ s, 7, volume });
        return messages;
    }

    const std::shared_ptr<CFakeDevice> device { CFakeDevice::Create(CString::FromUtf8(
        ::testing::UnitTest::GetInstance()->current_test_info()->name())) };

private:
    size_t m_taken { 0 };
};
