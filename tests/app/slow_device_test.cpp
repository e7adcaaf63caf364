#include "PlayerDialogFixture.h"

#include "skin/CSkinMeter.h"
#include "skin/CSkinSlider.h"
#include "tests/support/CFakeDevice.h"

// The window on a device that takes 90 ms for each byte (within the
// stage's limit, so it never counts as stalled): whatever the user
// does, the window's thread hands the work to the player thread and never
// waits for the device.
class SlowDevice : public PlayerDialog {
protected:
    void SetUp() override
    {
        device->SetReadiness(CFakeDevice::READY_AFTER_DELAY, 90);
        dialog.m_strPortOverride = device->PortName();
        ASSERT_TRUE(dialog.CreateHeadless(240, 268));
        ASSERT_TRUE(dialog.OnInitDialog());
        Drain();
    }
    // Runs a handler right after the device took a byte, while the player
    // thread waits for the next: a handler that waited for the device would
    // return only after more bytes had gone out.
    template <typename Fn>
    void WhileTheDeviceWrites(const char* what, Fn&& handler)
    {
        const std::size_t before = device->Bytes().size() + 1;
        ASSERT_TRUE(device->WaitForBytes(before, 2000)) << what;
        handler();
        EXPECT_EQ(device->Bytes().size(), before) << what << " waited for the device";
    }

    std::shared_ptr<CFakeDevice> device { CFakeDevice::Create(L"app-slow") };
};

TEST_F(SlowDevice, TheWindowNeverWaitsForItAndStopCloseAndALoadStillSilence)
{
    // The start's all-off alone takes the device 14 s.
    Open(WriteSong("app-slow.mid", 384, 500000, 384 * 400));
    Command(1001);
    WhileTheDeviceWrites("volume", [&] {
        SendMessageW(Hwnd(), WM_SKIN_SLIDER, 1016, MAKELPARAM(500, SLIDER_NOTIFY_DRAG));
        EXPECT_EQ(dialog.m_output.m_volume, 500);
    });
    WhileTheDeviceWrites("mute", [&] {
        SendMessageW(Hwnd(), WM_SKIN_METER, 3, 0);
        EXPECT_TRUE(dialog.m_practice.IsMuted(3));
    });
    WhileTheDeviceWrites("seek", [&] {
        SendMessageW(Hwnd(), WM_SKIN_SLIDER, 1013, MAKELPARAM(500, SLIDER_NOTIFY_UP));
        EXPECT_EQ(state.m_currentTick, 384 * 200);
    });
    WhileTheDeviceWrites("stop", [&] {
        Command(1002);
        EXPECT_EQ(state.m_currentTick, 384 * 200) << "the position stays";
    });
    WhileTheDeviceWrites("play", [&] {
        Command(1001);
        EXPECT_EQ(state.m_playState, STATE_START) << "a stop still at the device gives way to play";
    });
    WhileTheDeviceWrites("load", [&] {
        EXPECT_TRUE(dialog.OpenFile(Wide(WriteSong("app-next.mid", 96, -1, 960)), L"app-next.mid"));
    });
    // The stop silences every channel once the device has taken it; only
    // then does the new song take the old one's place.
    EXPECT_EQ(dialog.GetWindowText().ToUtf8(), "TabrinoCE - app-slow.mid");
    device->SetReadiness(CFakeDevice::READY_EACH_BYTE);
    Stopped();
    const std::vector<BYTE> sent = device->Values();
    EXPECT_EQ(std::vector<BYTE>(sent.end() - 3, sent.end()), (std::vector<BYTE> { 0xBF, 123, 0 }));
    EXPECT_EQ(dialog.GetWindowText().ToUtf8(), "TabrinoCE - app-next.mid");
    EXPECT_EQ(state.m_length, 960);

    // A close while the device is slow hides the window, keeps the
    // settings and closes the port without waiting for the whole all-off.
    device->SetReadiness(CFakeDevice::READY_AFTER_DELAY, 90);
    Command(1001);
    ASSERT_TRUE(device->WaitForBytes(device->Bytes().size() + 1, 2000));
    const std::size_t before = device->Bytes().size();
    dialog.DestroyWindow();
    EXPECT_FALSE(device->IsOpen());
    EXPECT_LT(device->Bytes().size(), before + 16 * 9) << "the close waited for the whole all-off";
    CTabrinoDlg next;
    next.m_strPortOverride = L"none";
    ASSERT_TRUE(next.CreateHeadless(240, 268));
    ASSERT_TRUE(next.OnInitDialog());
    EXPECT_EQ(next.m_output.m_volume, 500);
    next.DestroyWindow();
}
