#pragma once

#include "platform/ui/CDialog.h"
#include "platform/ui/WindowZoom.h"
#include "platform/ui/qt/QtBackend.h"
#include "platform/ui/qt/QtWindows.h"

#include <gtest/gtest.h>

#include <QTimer>

#include <functional>

// Installs the Qt window backend for one test and removes it afterwards, so
// that other tests in the same program keep running dialogs headless.
class QtDialogTest : public ::testing::Test {
protected:
    void SetUp() override { InstallQtBackend(); }
    void TearDown() override
    {
        UninstallQtBackend();
        SetWindowZoom(0);
    }

    // Runs the action from inside the modal loop about to start.
    static void Later(std::function<void()> action) { QTimer::singleShot(0, std::move(action)); }

    // Runs the dialog modally. A dialog that a fault leaves open is ended
    // with -2 after a generous time, so the test fails instead of hanging.
    static int RunModal(CDialog& dialog)
    {
        QTimer watchdog;
        watchdog.setSingleShot(true);
        QObject::connect(&watchdog, &QTimer::timeout, [&dialog]() { dialog.EndDialog(-2); });
        watchdog.start(30000);
        return dialog.DoModal();
    }
};
