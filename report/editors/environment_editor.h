// The editor of user-defined functions: the entries of a local environment or of the global one.
#pragma once

#include "report/editors/page_wait.h"

#include <QDialog>

#include <string>

class QAbstractButton;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QStackedWidget;
class QTableWidget;
class QTableWidgetItem;
class QWidget;

namespace report::expr {
class TRpEvEnvironment;
}  // namespace report::expr

namespace report::editors {

class TRpEnvironmentEditor : public QDialog {
public:
    // `environment` (may be null) is the local one; global entries are offered when allowed.
    TRpEnvironmentEditor(expr::TRpEvEnvironment* environment, bool allowGlobal, QWidget* parent = nullptr);

    // The local environment while "&Local defines" is checked, else the global one (may be null).
    [[nodiscard]] expr::TRpEvEnvironment* Current() const;
    // One row per entry of the current environment.
    void FillGrid();

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    // However the window ends (Close, Escape, closing it), a waiting "New entry" is cancelled.
    void done(int result) override;

private:
    void BuildNewEntry(QWidget* page);
    void BuildList(QWidget* page);
    void CellChanged(QTableWidgetItem* item);
    void SetCell(int row, int column, const std::string& text);
    // The grid's current row, or -1.
    [[nodiscard]] int CurrentRow() const;
    void OnEdit();
    void OnDelete();
    void OnAdd();
    // Adds the typed entry; false (with a message) for an empty or taken name.
    [[nodiscard]] bool AddTyped();
    void EndNewEntry(TWaitState state);

    expr::TRpEvEnvironment* local_;
    TPageWaiter waiter_;
    TWaitState newState_ = TWaitState::Waiting;
    bool filling_ = false;

    QStackedWidget* groups_ = nullptr;
    QWidget* newEntry_ = nullptr;
    QWidget* listGroup_ = nullptr;
    QLineEdit* name_ = nullptr;
    QLineEdit* expression_ = nullptr;
    QTableWidget* grid_ = nullptr;
    QRadioButton* localDefines_ = nullptr;
    QRadioButton* globalDefines_ = nullptr;
    QPushButton* close_ = nullptr;
    QPushButton* delete_ = nullptr;
    QPushButton* edit_ = nullptr;
    QPushButton* add_ = nullptr;
};

// Runs the editor modally on `environment` (may be null), offering the global entries when
// `allowGlobal` is set.
void OpenEnvironmentEditor(expr::TRpEvEnvironment* environment, bool allowGlobal);

}  // namespace report::editors
