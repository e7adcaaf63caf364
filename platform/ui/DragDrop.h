#pragma once

#include "platform/core/CString.h"
#include "platform/core/FileUri.h"

#include <string>
#include <vector>

// Files dropped on a window, in the shape of the shell's drag and drop: a
// window that accepts files (DragAcceptFiles) is sent WM_DROPFILES with an
// HDROP in wParam; DragQueryFileW reads the full paths and DragFinish frees
// the handle. A window procedure that leaves the message to DefWindowProc
// has the handle freed there.

#define WM_DROPFILES 0x0233

struct HDROP__;
using HDROP = HDROP__*;

void DragAcceptFiles(HWND hwnd, BOOL accept);
// index 0xFFFFFFFF: the number of files. file null: the length of the path
// at index, in characters without the terminator. Otherwise copies at most
// size - 1 characters and a terminator and returns the characters copied;
// 0 for an index past the end.
UINT DragQueryFileW(HDROP drop, UINT index, LPWSTR file, UINT size);
void DragFinish(HDROP drop);

// The handle for the files of one drop (made by the window backend, which
// posts it; the receiver frees it with DragFinish).
HDROP CreateDropFiles(const std::vector<CString>& files);
