#include <gtest/gtest.h>

#ifdef TABRINO_HAVE_WIDGETS
#include <QApplication>
using TestApplication = QApplication;
#else
#include <QGuiApplication>
using TestApplication = QGuiApplication;
#endif

// Text is rasterised through Qt, which needs an application object (one for
// widgets when the window backend is linked); the offscreen platform keeps
// the tests independent of a display.
int main(int argc, char** argv)
{
    ::testing::InitGoogleTest(&argc, argv);
    qputenv("QT_QPA_PLATFORM", qgetenv("QT_QPA_PLATFORM").isEmpty() ? QByteArray("offscreen") : qgetenv("QT_QPA_PLATFORM"));
    TestApplication app(argc, argv);
    return RUN_ALL_TESTS();
}
