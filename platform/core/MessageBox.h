#pragma once

#include "platform/core/CString.h"

#include <functional>

// Message boxes go through a replaceable sink: the window backend installs
// one that shows a real box; tools print to standard error; tests record.
using MessageBoxSink = std::function<int(HWND owner, const CString& text, const CString& caption, UINT type)>;

// Installs a sink and returns the previous one. An empty sink restores the
// default, which prints "caption: text" to standard error and answers IDOK.
MessageBoxSink SetMessageBoxSink(MessageBoxSink sink);

int MessageBoxW(HWND owner, LPCWSTR text, LPCWSTR caption, UINT type);
