// Entry of the window tests: one QApplication on the offscreen platform.

#include <gtest/gtest.h>

#include <QApplication>

#include "shell/qt_job_runner.h"

int main(int argc, char* argv[]) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    ::testing::InitGoogleTest(&argc, argv);
    QApplication app(argc, argv);
    // A click has done its work when it returns; the runner's own tests
    // switch to threads where they need them.
    skyrell::JobRunner::SetInline(true);
    return RUN_ALL_TESTS();
}
