// Shared set-up of the main window tests: a program folder of its own, empty settings, recorded
// message boxes and recorded shell opens.
#pragma once

#include "tests/support/message_recorder.h"

#include <QObject>
#include <QTemporaryDir>
#include <QUrl>
#include <gtest/gtest.h>

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

    // The program folder as the window sees it (CP1250, native separators, none at the end).
    std::string Folder() const { return folder_; }
    // The settings value, through the program's own reader.
    static std::string Setting(const char* name);
    static void SetSetting(const char* name, const std::string& value);

    QTemporaryDir dir_;
    std::string folder_;
    testsupport::MessageRecorder boxes_;
    UrlRecorder shell_;
};

// Processes events until `done` holds or a generous limit passes; true when it held.
bool ProcessEventsUntil(const std::function<bool()>& done);

} // namespace apptest
