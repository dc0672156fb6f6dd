// Driving modal dialogs and finding windows in windowed tests.
#pragma once

#include <QString>

#include <functional>
#include <string>

class QDialog;
class QWidget;

namespace testsupport {

// Queues `action` to run on the modal dialog once its event loop runs. The action must
// accept or reject it; a dialog left open is rejected and the test fails, as it does
// when no modal dialog shows.
void OnModalDialog(std::function<void(QDialog&)> action);

// "<prefix>0;<prefix>1;...": a ";"-separated item list of `count` items.
std::string NumberedItems(const char* prefix, int count);

// The visible top-level window with that object name, or none.
QWidget* FindTopLevel(const QString& objectName);

}  // namespace testsupport
