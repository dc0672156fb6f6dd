// Test entry point: a QApplication exists for every test (offscreen platform), the user's
// settings and data live in temporary folders, never in the real ones, and real PC/SC calls
// reach this build's own card rig, never the machine's pcscd.
#include <QApplication>
#include <QTemporaryDir>
#include <gtest/gtest.h>

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    if (qEnvironmentVariableIsEmpty("PCSCLITE_CSOCK_NAME"))
        qputenv("PCSCLITE_CSOCK_NAME", KARTOVAN_RIG_SOCKET);
    QTemporaryDir configHome;
    QTemporaryDir dataHome;
    if (!configHome.isValid() || !dataHome.isValid())
        return 2;
    qputenv("XDG_CONFIG_HOME", configHome.path().toUtf8());
    qputenv("XDG_DATA_HOME", dataHome.path().toUtf8());
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
