#pragma once

#include "skin/CSkinControl.h"

// A push button cut from the normal and pressed skins through the mask.
class CSkinButton : public CSkinControl {
public:
    CSkinButton();

    CBitmap* m_pNormal { nullptr };
    CBitmap* m_pPressed { nullptr };
    CBitmap* m_pMask { nullptr };
    RECT m_rect { 0, 0, 0, 0 };
    UINT m_nId { 0 };
    BOOL m_bPressed { FALSE };
    // A step button: held down, it sends its command again after
    // kRepeatDelay and then every kRepeatPeriod milliseconds (a window
    // timer with the button's id); a press that repeated sends nothing
    // more when lifted.
    BOOL m_bRepeat { FALSE };
    BOOL m_bRepeated { FALSE };
    static constexpr UINT kRepeatDelay = 400;
    static constexpr UINT kRepeatPeriod = 80;

    // WM_TIMER of the button's timer while it is held.
    void OnRepeatTimer();

    void Draw(CDC* composite, CDC* work, CDC* skin) override;
    RECT DrawArea() const override { return m_rect; }
    BOOL OnStylusDown(UINT flags, int x, int y, CDC* probe) override;
    BOOL OnStylusUp(UINT flags, int x, int y, CDC* probe) override;
    BOOL OnStylusMove(UINT flags, int x, int y, CDC* probe) override;
};
