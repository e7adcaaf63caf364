#pragma once

#include "platform/gdi/GdiConstants.h"
#include "platform/gdi/GdiHandles.h"

// The handle-level drawing functions. The classes CDC, CBitmap, CFont and
// CBrush wrap them; a few callers (the window backend, UpdateWindow) use them
// directly.

HDC CreateCompatibleDC(HDC dc);
BOOL DeleteDC(HDC dc);
// A DC over the window's client surface; ReleaseDC reports what was drawn.
HDC GetDC(HWND hwnd);
int ReleaseDC(HWND hwnd, HDC dc);

HGDIOBJ SelectObject(HDC dc, HGDIOBJ object);
// Fails (FALSE) while the object is selected into a DC.
BOOL DeleteObject(HGDIOBJ object);

HBITMAP CreateCompatibleBitmap(HDC dc, int width, int height);
// A bitmap resource compiled into the program; null when it is missing or
// cannot be read.
HBITMAP LoadBitmapResource(int id);
HBRUSH CreateSolidBrush(COLORREF color);
HFONT CreateFontW(int height, int width, int escapement, int orientation, int weight, DWORD italic,
    DWORD underline, DWORD strikeOut, DWORD charSet, DWORD outPrecision, DWORD clipPrecision,
    DWORD quality, DWORD pitchAndFamily, LPCWSTR face);

BOOL BitBlt(HDC dest, int x, int y, int width, int height, HDC src, int xSrc, int ySrc, DWORD rop);
COLORREF GetPixel(HDC dc, int x, int y);
COLORREF SetPixel(HDC dc, int x, int y, COLORREF color);
int FillRect(HDC dc, const RECT* rect, HBRUSH brush);
// A border one pixel wide just inside the rectangle.
int FrameRect(HDC dc, const RECT* rect, HBRUSH brush);
COLORREF SetTextColor(HDC dc, COLORREF color);
int SetBkMode(HDC dc, int mode);
// The colour behind text drawn in OPAQUE mode.
COLORREF SetBkColor(HDC dc, COLORREF color);
int DrawTextW(HDC dc, LPCWSTR text, int length, RECT* rect, UINT format);
// The size of one line of text in the DC's font.
BOOL GetTextExtentPoint32W(HDC dc, LPCWSTR text, int length, SIZE* size);

BOOL PtInRect(const RECT* rect, POINT point);
// The smallest rectangle holding both; an empty one (no width or height)
// adds nothing. FALSE, with an empty result, when both are empty.
BOOL UnionRect(RECT* dest, const RECT* a, const RECT* b);

// Paints the window now if part of it is invalid: WM_ERASEBKGND (wParam =
// a DC over the surface) when an erase was requested, then WM_PAINT.
BOOL UpdateWindow(HWND hwnd);
