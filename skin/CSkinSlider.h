#pragma once

#include "skin/CSkinControl.h"

// The slider's notification to its dialog: wParam = slider id, lParam =
// (code << 16) | value.
#define WM_SKIN_SLIDER 0x0800
#define SLIDER_NOTIFY_DOWN 1
#define SLIDER_NOTIFY_UP 2
#define SLIDER_NOTIFY_DRAG 3

// A thumb dragged along a straight track, standing for a value 0..1000.
class CSkinSlider : public CSkinControl {
public:
    CSkinSlider();

    CBitmap* m_pNormal { nullptr };
    CBitmap* m_pPressed { nullptr };
    CBitmap* m_pMask { nullptr };
    CBitmap* m_pWork { nullptr };
    RECT m_lastThumb { 0, 0, 0, 0 };
    RECT m_thumb { 0, 0, 0, 0 };
    UINT m_nId { 0 };
    POINT m_start { 0, 0 };
    POINT m_end { 0, 0 };
    POINT m_anchor { 0, 0 };
    int m_nValue { 0 };
    // A stylus on the track beside the thumb moves the thumb there and
    // drags it on, as if it had gone down on the thumb.
    BOOL m_bTrackClick { FALSE };

    void Draw(CDC* composite, CDC* work, CDC* skin) override;
    // Where the thumb was drawn last and where it goes.
    RECT DrawArea() const override;
    BOOL OnStylusDown(UINT flags, int x, int y, CDC* probe) override;
    BOOL OnStylusUp(UINT flags, int x, int y, CDC* probe) override;
    BOOL OnStylusMove(UINT flags, int x, int y, CDC* probe) override;

    // Changes the value without a notification; returns the dirty flag.
    BOOL SetValue(int value);
    // Where the thumb stands for the current value.
    RECT ThumbRect() const;
    // The value for a stylus at (x, y): the projection onto the track.
    int ValueAt(int x, int y) const;

    // TRUE when (x, y) lies on the track: within half the thumb's size of it.
    BOOL OnTrack(int x, int y) const;

private:
    // TRUE when (x, y) lies on the thumb's shape.
    BOOL OnThumb(int x, int y, CDC* probe) const;
    void Notify(int code) const;
};
