// What the benchmarks' main functions share: a count read from the command line, windows kept
// off the screen and the program's settings kept away from the user's.
#pragma once

#include <QByteArray>
#include <QTemporaryDir>
#include <QtGlobal>

#include <cstdlib>

namespace bench {

// The count given as argument `index`, `fallback` when there is none; below 1 when the argument
// is not a positive whole number (the caller refuses it).
inline int CountArgument(int argc, char** argv, int index, int fallback)
{
    return argc > index ? std::atoi(argv[index]) : fallback;
}

// Windows off the screen, unless the run names another platform.
inline void OffscreenUnlessAsked()
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
}

// The settings and data the program writes go to `folder`, never the user's.
inline void KeepSettingsIn(const QTemporaryDir& folder)
{
    qputenv("XDG_CONFIG_HOME", folder.filePath(QStringLiteral("config")).toUtf8());
    qputenv("XDG_DATA_HOME", folder.filePath(QStringLiteral("data")).toUtf8());
}

}  // namespace bench
