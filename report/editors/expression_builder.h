// The expression builder: composes an expression from data fields, functions, variables and
// operators, and tests it. It runs as a modal window, or embedded at the top left of a host
// window (the environment editor, or another builder asking for a function's parameter).
#pragma once

#include "report/editors/page_wait.h"
#include "report/expr/rp_dataset.h"

#include <QDialog>

#include <optional>
#include <string>
#include <vector>

class QLabel;
class QListWidget;
class QScrollArea;
class QStackedWidget;
class QWidget;

namespace report::expr {
class TRpEvEnvironment;
struct TRpLibraryEntry;
}  // namespace report::expr

namespace report::editors {

class TWordWrapEdit;

class TRpExpressionBuilder : public QDialog {
public:
    // `context`: the data sets offered (may be null); `environment`: the local one (may be null).
    TRpExpressionBuilder(const expr::TRpDataSetList* context, expr::TRpEvEnvironment* environment, QWidget* host);

    // A non-empty heading replaces "Enter expression:".
    void SetHeading(const std::string& heading);
    // The expression, all of it selected.
    void SetExpression(const std::string& expression);
    // The edit's text with each line break turned into a blank.
    [[nodiscard]] std::string Expression() const;
    // Fills the data-set, field and variable lists and focuses the edit.
    void FillLists();
    // Shown at the host's top left and waited for; false when cancelled or the window went away.
    [[nodiscard]] bool RunEmbedded();

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    // A modal builder ended other than by OK cancels whatever waits.
    void done(int result) override;

private:
    QWidget* BuildMainPage();
    QWidget* BuildFieldPage();
    QWidget* BuildFunctionPage();
    QWidget* BuildParamsPage();
    QWidget* BuildVariablePage();
    QWidget* NewPage(const char* name);

    // Brings `page` to the front and waits for its buttons; Cancel also when the window closed
    // or the done flag was set. nullopt when the window went away.
    [[nodiscard]] std::optional<TWaitState> WaitPage(QWidget* page);
    void EndPage(TWaitState state);
    void ShowMainPage();
    void Insert(const std::string& text);
    void CancelEverything();

    void OnField();
    void OnFunction();
    void OnVariable();
    void OnValidate();
    void OnOk();
    void OnCancel();
    void FillFields();
    void FillFunctions();
    void ShowFunction();
    void FillVariables();
    void ShowVariable();
    // The call with its parameters; nullopt when cancelled, or when the window went away (then
    // `gone` is set).
    [[nodiscard]] std::optional<std::string> AskParameters(const expr::TRpLibraryEntry& entry, bool& gone);

    expr::TRpDataSetList dataSets_;
    expr::TRpEvEnvironment* environment_;
    bool embedded_;
    TPageWaiter waiter_;
    TWaitState state_ = TWaitState::Waiting;
    TWaitState pageState_ = TWaitState::Waiting;
    bool done_ = false;

    QStackedWidget* pages_ = nullptr;
    QWidget* mainPage_ = nullptr;
    QWidget* fieldPage_ = nullptr;
    QWidget* functionPage_ = nullptr;
    QWidget* paramsPage_ = nullptr;
    QWidget* variablePage_ = nullptr;
    QLabel* heading_ = nullptr;
    TWordWrapEdit* edit_ = nullptr;
    QListWidget* dataSetList_ = nullptr;
    QListWidget* fieldList_ = nullptr;
    QListWidget* categoryList_ = nullptr;
    QListWidget* functionList_ = nullptr;
    QLabel* functionName_ = nullptr;
    QLabel* functionDescription_ = nullptr;
    QLabel* paramsName_ = nullptr;
    QLabel* paramsDescription_ = nullptr;
    QScrollArea* paramsBox_ = nullptr;
    QListWidget* variableList_ = nullptr;
    QLabel* variableValue_ = nullptr;
};

// Runs the builder on `expression` (in and out): `heading` (may be empty), the data sets of
// `context` (may be null), the local `environment` (may be null), embedded in `host` or, with
// no host, as a modal window. True when closed with OK; the expression is changed only then.
bool RunExpressionBuilder(const std::string& heading, std::string& expression, const expr::TRpDataSetList* context,
                          expr::TRpEvEnvironment* environment, QWidget* host);

}  // namespace report::editors
