#include <QApplication>
#include <QStandardPaths>

#include <gtest/gtest.h>

// Widget tests run inside an application with windows, on the offscreen platform.
int main(int argc, char **argv)
{
    testing::InitGoogleTest(&argc, argv);
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    // Settings a test keeps are not the user's.
    QStandardPaths::setTestModeEnabled(true);
    return RUN_ALL_TESTS();
}
