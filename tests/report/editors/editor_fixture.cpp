#include "tests/report/editors/editor_fixture.h"

#include "utility/cp1250.h"

#include <QAbstractButton>
#include <QDialog>
#include <QTimer>

#include <memory>

namespace enginetest {
namespace {

// Turns of the event loop before a condition counts as never holding.
constexpr int kMaxTurns = 200000;

std::vector<std::string> Utf8(const std::vector<std::string>& texts)
{
    std::vector<std::string> out;
    for (const std::string& text : texts)
        out.push_back(utility::Cp1250ToUtf8(text));
    return out;
}

}  // namespace

void When(std::function<bool()> ready, std::function<void()> action)
{
    auto* timer = new QTimer(qApp);
    timer->setInterval(0);
    auto turns = std::make_shared<int>(0);
    QObject::connect(timer, &QTimer::timeout, timer,
                     [timer, turns, ready = std::move(ready), action = std::move(action)] {
                         if (ready()) {
                             timer->stop();
                             timer->deleteLater();
                             action();
                         } else if (++*turns > kMaxTurns) {
                             timer->stop();
                             timer->deleteLater();
                             ADD_FAILURE() << "the awaited window state never came";
                             for (QWidget* widget : QApplication::topLevelWidgets())
                                 if (auto* dialog = qobject_cast<QDialog*>(widget))
                                     dialog->reject();
                         }
                     });
    timer->start();
}

void Click(const QObject& root, const char* name) { Need<QAbstractButton>(root, name)->click(); }

std::vector<QWidget*> Builders()
{
    std::vector<QWidget*> builders;
    std::function<void(QWidget*)> visit = [&](QWidget* widget) {
        if (widget->objectName() == QLatin1String("TRpExpressionBuilder") && widget->isVisible())
            builders.push_back(widget);
        for (QObject* child : widget->children())
            if (auto* w = qobject_cast<QWidget*>(child))
                visit(w);
    };
    for (QWidget* top : QApplication::topLevelWidgets())
        visit(top);
    return builders;
}

std::vector<std::string> EditorTest::Infos() const
{
    return Utf8(messages_.TextsOf(utility::MessageKind::Information));
}

std::vector<std::string> EditorTest::Errors() const { return Utf8(messages_.TextsOf(utility::MessageKind::Error)); }

}  // namespace enginetest
