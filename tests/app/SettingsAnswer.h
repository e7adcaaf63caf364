#pragma once

#include <QApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

// Replaces the edit's text the way a user does: select all, type.
inline void TypeInto(QLineEdit* edit, const char* text)
{
    edit->selectAll();
    QTest::keyClick(edit, Qt::Key_Delete);
    QTest::keyClicks(edit, QString::fromLatin1(text));
}

// The settings dialog the program has shown, found by its title, or null.
// Its dialog object lives inside the code under test, out of the test's reach.
inline QWidget* VisibleSettingsWindow()
{
    for (QWidget* w : QApplication::topLevelWidgets()) {
        if (w->isVisible() && w->windowTitle() == QStringLiteral("Settings"))
            return w;
    }
    return nullptr;
}

// Answers the shown settings dialog as a user does: notes what its edit
// shows, replaces that with text and presses Ok or Abbruch. Does nothing
// while no settings dialog is shown.
inline void AnswerSettings(const char* text, bool ok, QString& shown)
{
    QWidget* window = VisibleSettingsWindow();
    QLineEdit* edit = window ? window->findChild<QLineEdit*>() : nullptr;
    if (!edit)
        return;
    shown = edit->text();
    TypeInto(edit, text);
    for (QPushButton* b : window->findChildren<QPushButton*>()) {
        if (b->text() == (ok ? QStringLiteral("Ok") : QStringLiteral("Abbruch")))
            QTest::mouseClick(b, Qt::LeftButton);
    }
}
