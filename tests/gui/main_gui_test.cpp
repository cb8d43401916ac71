// Entry point of the Qt test binary: widgets need a QApplication.
#include <QApplication>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include "platform/SettingsStore.h"

int main(int argc, char **argv)
{
    // Tests never need a display, also when the build lists them.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    // Settings and the preference file of a folder of this run alone: the
    // user's own are never read or written.
    QTemporaryDir settings;
    TSettingsStore::SetTestPaths(settings.filePath(QStringLiteral("Velmora.ini")), settings.path());
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
