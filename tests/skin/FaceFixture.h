#pragma once

#include "platform/gdi/Gdi.h"
#include "platform/ui/WindowHandle.h"
#include "skin/CFaceRenderer.h"
#include "skin/CSkinButton.h"
#include "skin/CSkinSlider.h"
#include "tests/PostedMessages.h"

#include <gtest/gtest.h>

#include <vector>

// The start-up face, painted once, with helpers to tap it and read what the
// controls posted.
class FaceFixture : public ::testing::Test {
protected:
    CFaceRenderer face;

    void SetUp() override
    {
        ASSERT_TRUE(face.Render()) << "skin resources missing";
        Drain();
    }

    HWND Hwnd() { return face.m_dialog.m_hWnd; }
    void Send(UINT message, int x, int y)
    {
        SendMessageW(Hwnd(), message, MK_LBUTTON, MAKELPARAM(static_cast<WORD>(x), static_cast<WORD>(y)));
    }
    void Down(int x, int y) { Send(WM_LBUTTONDOWN, x, y); }
    void Move(int x, int y) { Send(WM_MOUSEMOVE, x, y); }
    void Up(int x, int y) { Send(WM_LBUTTONUP, x, y); }

    std::vector<MSG> Drain() { return DrainPostedMessages(Hwnd()); }

    CSkinButton* Button(UINT id)
    {
        CSkinButton* found = nullptr;
        CRing::ForEach(face.m_dialog.m_pControls, [&](CSkinControl* c) {
            if (c->m_kind == SKIN_BUTTON && static_cast<CSkinButton*>(c)->m_nId == id)
                found = static_cast<CSkinButton*>(c);
        });
        return found;
    }

    std::uint32_t Screen(int x, int y) { return Hwnd()->surface.At(x, y); }
    std::uint32_t Skin(CBitmap& skin, int x, int y) { return skin.Pixels()->At(x, y); }
};
