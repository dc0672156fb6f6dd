// Shared set-up of the main window tests: an executable's folder and a user's data folder of
// their own, empty settings, recorded message boxes and recorded shell opens.
#pragma once

#include "tests/support/message_recorder.h"

#include <QObject>
#include <QTemporaryDir>
#include <QUrl>

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <string>
#include <vector>

namespace apptest {

// Receives what the window hands to the shell instead of a browser or file manager.
class UrlRecorder : public QObject {
    Q_OBJECT
public:
    UrlRecorder();
    ~UrlRecorder() override;
    std::vector<QUrl> urls;
    Q_INVOKABLE void open(const QUrl& url) { urls.push_back(url); }
};

class MainWindowTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // The program's folder for data as the window sees it (no separator at the end).
    const std::filesystem::path& Folder() const { return folder_; }
    // `name` in that folder.
    std::filesystem::path Path(const std::filesystem::path& name) const { return folder_ / name; }
    // The folder the executable is taken to run from.
    const std::filesystem::path& ExecutableFolder() const { return executable_; }
    // The settings value, through the program's own reader.
    static std::string Setting(const char* name);
    static std::filesystem::path SettingPath(const char* name);
    static void SetSetting(const char* name, const std::string& value);
    static void SetSettingPath(const char* name, const std::filesystem::path& value);

    QTemporaryDir dir_;
    QByteArray oldDataHome_;
    std::filesystem::path folder_;
    std::filesystem::path executable_;
    testsupport::MessageRecorder boxes_;
    UrlRecorder shell_;
};

// An empty plain file, where a test needs something in the way.
void WriteBlocker(const std::filesystem::path& path);

// Processes events until `done` holds or a generous limit passes; true when it held.
bool ProcessEventsUntil(const std::function<bool()>& done);

}  // namespace apptest
