// Test entry point: a QApplication exists for every test (offscreen platform), the user's
// settings and data live in temporary folders, never in the real ones, and real PC/SC and CUPS
// calls reach this build's own card rig and printing rig, never the machine's pcscd or cupsd.
#include <QApplication>
#include <QTemporaryDir>

#include <gtest/gtest.h>

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    if (qEnvironmentVariableIsEmpty("PCSCLITE_CSOCK_NAME"))
        qputenv("PCSCLITE_CSOCK_NAME", KARTOVAN_RIG_SOCKET);
    if (qEnvironmentVariableIsEmpty("KARTOVAN_PRINT_RIG_DIR"))
        qputenv("KARTOVAN_PRINT_RIG_DIR", KARTOVAN_PRINT_RIG_DIR);
    if (qEnvironmentVariableIsEmpty("CUPS_SERVER"))
        qputenv("CUPS_SERVER", KARTOVAN_PRINT_RIG_DIR "/cups.sock");
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
