#include "platform/core/MessageBox.h"
#include "tests/QtDialogTest.h"

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>

#include <thread>

namespace {

QMessageBox* VisibleBox()
{
    for (QWidget* w : QApplication::topLevelWidgets()) {
        if (auto* box = qobject_cast<QMessageBox*>(w); box && box->isVisible())
            return box;
    }
    return nullptr;
}

}

using QtMessageBox = QtDialogTest;

TEST_F(QtMessageBox, ShowsCaptionTextIconAndButtonsAndReportsTheAnswer)
{
    struct Case {
        UINT type;
        QMessageBox::Icon icon;
        QMessageBox::StandardButton press;
        int result;
    };
    const Case cases[] = {
        { MB_OK | MB_ICONEXCLAMATION, QMessageBox::Warning, QMessageBox::Ok, IDOK },
        { MB_OKCANCEL | MB_ICONHAND, QMessageBox::Critical, QMessageBox::Cancel, IDCANCEL },
        { MB_YESNO | MB_ICONQUESTION, QMessageBox::Question, QMessageBox::No, IDNO },
        { MB_YESNO, QMessageBox::NoIcon, QMessageBox::Yes, IDYES },
    };
    for (const Case& c : cases) {
        QString title, text;
        QMessageBox::Icon icon = QMessageBox::NoIcon;
        bool hasParent = true;
        QTimer::singleShot(0, [&]() {
            QMessageBox* box = VisibleBox();
            if (!box)
                return;
            title = box->windowTitle();
            text = box->text();
            icon = box->icon();
            hasParent = box->parentWidget() != nullptr;
            if (QAbstractButton* button = box->button(c.press))
                button->click();
            else
                box->reject();
        });
        QTimer watchdog;
        watchdog.setSingleShot(true);
        QObject::connect(&watchdog, &QTimer::timeout, []() {
            if (QMessageBox* box = VisibleBox())
                box->reject();
        });
        watchdog.start(30000);
        EXPECT_EQ(MessageBoxW(nullptr, L"Unable to open the port", L"Error", c.type), c.result);
        EXPECT_EQ(title, QStringLiteral("Error"));
        EXPECT_EQ(text, QStringLiteral("Unable to open the port"));
        EXPECT_EQ(icon, c.icon);
        EXPECT_FALSE(hasParent);
    }
}

TEST_F(QtMessageBox, AnotherThreadIsAnsweredAtOnceAndTheBoxStillShows)
{
    int result = 0;
    std::thread other([&]() { result = MessageBoxW(nullptr, L"from the player", L"", MB_OK); });
    other.join();
    EXPECT_EQ(result, IDOK);
    QApplication::processEvents();
    QMessageBox* box = VisibleBox();
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(box->text(), QStringLiteral("from the player"));
    box->close();
    QApplication::processEvents();
}

// A flood of failures while a box shows (files handed over by the hundred)
// is one box that gathers them, not a stack of boxes: the calls answer at
// once, from this thread and from others; past a dozen they are counted.
TEST_F(QtMessageBox, MessagesWhileABoxShowsAreGatheredIntoIt)
{
    int boxes = 0, answered = 0;
    QString text;
    QTimer::singleShot(0, [&]() {
        for (int i = 1; i <= 20; ++i)
            answered += MessageBoxW(nullptr, (L"failure " + std::to_wstring(i)).c_str(), L"", MB_OK) == IDOK;
        std::thread other([]() { MessageBoxW(nullptr, L"from the player", L"", MB_OK); });
        other.join();
        QApplication::processEvents();
        for (QWidget* w : QApplication::topLevelWidgets())
            boxes += qobject_cast<QMessageBox*>(w) && w->isVisible();
        text = VisibleBox()->text();
        VisibleBox()->accept();
    });
    EXPECT_EQ(MessageBoxW(nullptr, L"failure 0", L"Error", MB_OK), IDOK);
    EXPECT_EQ(boxes, 1);
    EXPECT_EQ(answered, 20);
    EXPECT_TRUE(text.startsWith(QStringLiteral("failure 0\n\nfailure 1\n\n"))) << text.toStdString();
    EXPECT_TRUE(text.contains(QStringLiteral("failure 11\n\n... and 10 more"))) << text.toStdString();

    // Lines of a key and what it does (the keyboard help) show as a table,
    // whose second column lines up however long a key's name.
    Qt::TextFormat format = Qt::PlainText;
    QTimer::singleShot(0, [&]() {
        format = VisibleBox()->textFormat();
        text = VisibleBox()->text();
        VisibleBox()->accept();
    });
    MessageBoxW(nullptr, L"Space\tPlay / stop\nCtrl+click a meter\tSolo <its> channel\n", L"Keyboard", MB_OK);
    EXPECT_EQ(format, Qt::RichText);
    EXPECT_EQ(text.count(QStringLiteral("<tr>")), 2);
    EXPECT_EQ(text.count(QStringLiteral("<td")), 4);
    EXPECT_TRUE(text.contains(QStringLiteral("Solo &lt;its&gt; channel"))) << text.toStdString();
}
