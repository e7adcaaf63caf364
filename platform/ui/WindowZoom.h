#pragma once

// The integer zoom of skinned windows: every face pixel is shown as a square
// of zoom x zoom screen pixels, and stylus positions are divided back.
constexpr int kMinWindowZoom = 1;
constexpr int kMaxWindowZoom = 4;

// 1..4 fixes the zoom; 0 lets the backend choose. FALSE for other values.
int SetWindowZoom(int zoom);
int GetWindowZoom();

// The zoom for a face of the given height: the requested one when it is
// 1..4, otherwise the largest whose face fits in half the available screen
// height, and never less than 1.
int ChooseWindowZoom(int requested, int availableHeight, int faceHeight);
