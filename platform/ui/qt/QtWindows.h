#pragma once

#include "platform/core/CString.h"

#include <QString>

class QWidget;

// The widget that shows a window or a dialog control, or null.
QWidget* WidgetOfWindow(HWND hwnd);
// The window of the innermost dialog running now, or null: message boxes
// open centred over it.
QWidget* TopDialogWindow();
// Ends every dialog and message box, as their close boxes do. Until the
// last dialog has ended no new message box shows (its text goes to standard
// error), so a request to quit cannot be held up by messages still queued.
void CloseAllWindows();
bool ClosingAllWindows();

// Texts for Qt to show: bytes of a name that are not UTF-8 show as the
// replacement character, as the desktop shows such names.
inline QString ToQString(const CString& text)
{
    return QString::fromStdWString(text.ForDisplay().Str());
}

inline CString FromQString(const QString& text)
{
    return CString(text.toStdWString());
}
