#pragma once

#include "platform/core/WinTypes.h"

// The integer zoom of skinned windows: every face pixel is shown as a square
// of zoom x zoom screen pixels, and stylus positions are divided back.
constexpr int kMinWindowZoom = 1;
constexpr int kMaxWindowZoom = 4;

// 1..4 asks for a zoom; 0 lets the backend choose. FALSE for other values.
int SetWindowZoom(int zoom);
int GetWindowZoom();

// The zoom for a face of the given size on a screen area of the given size.
// Asked for 1..4: that zoom when the face fits the area, otherwise the
// largest that fits (never less than 1), and *reduced is set. Otherwise the
// largest zoom whose face fits in half the area's height (and its width).
// An area of size 0 (no screen known) takes any zoom asked for.
int ChooseWindowZoom(int requested, int availableWidth, int availableHeight, int faceWidth, int faceHeight,
    BOOL* reduced = nullptr);

// Shows a running skinned window at another zoom (1..4), the largest that
// fits the screen when it does not; returns the zoom shown, 0 when the
// window has no screen to show it on.
int ZoomWindow(HWND hwnd, int zoom);
