#pragma once

#include "platform/core/CString.h"
#include "platform/core/WinTypes.h"
#include "platform/ui/CPixelBuffer.h"

#include <memory>

class CGdiObject;
class CBitmap;
class CFont;

// The objects behind the GDI handles. A handle remembers the wrapper object
// it is attached to, so SelectObject can hand back the previous wrapper the
// way the framework does, and counts the DCs it is selected into, so a
// selected object is never freed under a DC.
enum class GdiKind { Bitmap, Font, Brush };

struct HGDIOBJ__ {
    explicit HGDIOBJ__(GdiKind k) : kind(k) { }
    virtual ~HGDIOBJ__() = default;
    GdiKind kind;
    CGdiObject* wrapper { nullptr };
    int selections { 0 };
};
using HGDIOBJ = HGDIOBJ__*;

struct HBITMAP__ : HGDIOBJ__ {
    HBITMAP__() : HGDIOBJ__(GdiKind::Bitmap) { }
    CPixelBuffer pixels;
};
using HBITMAP = HBITMAP__*;

struct HFONT__ : HGDIOBJ__ {
    HFONT__() : HGDIOBJ__(GdiKind::Font) { }
    int height { 0 };
    int weight { 0 };
    bool italic { false };
    bool underline { false };
    bool strikeOut { false };
    CString face;
    // Pixel size of the resolved font, found on first use (0 = not yet).
    int pixelSize { 0 };
};
using HFONT = HFONT__*;

struct HBRUSH__ : HGDIOBJ__ {
    HBRUSH__() : HGDIOBJ__(GdiKind::Brush) { }
    COLORREF color { 0 };
};
using HBRUSH = HBRUSH__*;

// A device context: a target of pixels plus the drawing state. A memory DC
// draws into the bitmap selected into it; a window DC draws into the
// window's client surface and records the area it touched, which is reported
// to the window's backend when the DC is released.
struct HDC__ {
    CPixelBuffer* target { nullptr };
    HWND hwnd { nullptr };
    bool memory { false };
    HBITMAP bitmap { nullptr };
    HFONT font { nullptr };
    COLORREF textColor { 0 };
    COLORREF bkColor { 0x00FFFFFF };
    int bkMode { 2 };
    // The parts a window DC drew on, reported apart when it is released, so
    // that cells changed far from each other are not repainted with all that
    // lies between them. Parts that meet become one; past the last slot,
    // new parts join the last one.
    static constexpr int TOUCHED_PARTS = 16;
    RECT touched[TOUCHED_PARTS] {};
    int touchedCount { 0 };
    // Every DC starts with a stock 1 x 1 bitmap and the system font selected.
    std::unique_ptr<CBitmap> stockBitmap;
    std::unique_ptr<CFont> stockFont;
    // A window DC of a window that does not exist yet draws here.
    CPixelBuffer ownSurface;
};
using HDC = HDC__*;
