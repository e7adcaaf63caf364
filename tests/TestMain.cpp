#include <gtest/gtest.h>

#include <QGuiApplication>

// Text is rasterised through Qt, which needs an application object; the
// offscreen platform keeps the tests independent of a display.
int main(int argc, char** argv)
{
    ::testing::InitGoogleTest(&argc, argv);
    qputenv("QT_QPA_PLATFORM", qgetenv("QT_QPA_PLATFORM").isEmpty() ? QByteArray("offscreen") : qgetenv("QT_QPA_PLATFORM"));
    QGuiApplication app(argc, argv);
    return RUN_ALL_TESTS();
}
