// What the editor windows' tests share: the expression unit started, message boxes recorded,
// and driving windows that wait for their pages (actions run once a condition holds, at a turn
// of the event loop that the window's own waiting runs).
#pragma once

#include "tests/support/expr_fixture.h"
#include "tests/support/message_recorder.h"

#include <QApplication>
#include <QString>
#include <QWidget>

#include <functional>
#include <string>
#include <vector>

namespace enginetest {

using namespace testsupport;

// Runs `action` once `ready()` answers true, looking at every turn of the event loop. A
// condition that never holds fails the test and closes every window, so nothing hangs.
void When(std::function<bool()> ready, std::function<void()> action);

// The child of `root` named `name`; a missing one fails the test and stops it.
template <class W = QWidget>
W* Need(const QObject& root, const char* name)
{
    W* widget = root.findChild<W*>(QString::fromLatin1(name));
    if (!widget) {
        ADD_FAILURE() << "no widget named " << name;
        std::abort();
    }
    return widget;
}

// Clicks the button named `name` under `root`.
void Click(const QObject& root, const char* name);

// The builder windows open now, outermost first.
std::vector<QWidget*> Builders();

class EditorTest : public ExprTest {
protected:
    // The information boxes shown, in UTF-8.
    [[nodiscard]] std::vector<std::string> Infos() const;
    // The error boxes shown, in UTF-8.
    [[nodiscard]] std::vector<std::string> Errors() const;

    testsupport::MessageRecorder messages_;
};

}  // namespace enginetest
