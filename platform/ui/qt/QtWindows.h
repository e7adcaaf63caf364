#pragma once

#include "platform/core/CString.h"

#include <QString>

class QWidget;

// The widget that shows a window or a dialog control, or null.
QWidget* WidgetOfWindow(HWND hwnd);

inline QString ToQString(const CString& text)
{
    return QString::fromStdWString(text.Str());
}

inline CString FromQString(const QString& text)
{
    return CString(text.toStdWString());
}
