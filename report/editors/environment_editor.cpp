#include "report/editors/environment_editor.h"

#include "report/editors/editor_widgets.h"
#include "report/editors/expression_builder.h"
#include "report/expr/ev_environment.h"
#include "report/expr/expr_unit.h"
#include "utility/cp1250.h"
#include "utility/dialogi.h"
#include "utility/dialogparts.h"
#include "utility/stringi.h"

#include <QCloseEvent>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QStackedWidget>
#include <QTableWidget>

namespace report::editors {
namespace {

std::string TakenName(const std::string& name) { return "A function named " + name + " already exists"; }

std::string InUse(const std::string& what) { return "The functions are in use: " + what + " cannot be changed now"; }

}  // namespace

TRpEnvironmentEditor::TRpEnvironmentEditor(expr::TRpEvEnvironment* environment, bool allowGlobal, QWidget* parent)
    : QDialog(parent), local_(environment)
{
    SetupFixedDialog(*this, "TRpEnvironmentEditor", QStringLiteral("User Defined Functions Edtor"), 376, 269);
    groups_ = Place(new QStackedWidget(this), "Groups", QRect(8, 8, 360, 218));
    newEntry_ = new QGroupBox(QStringLiteral("New entry"), groups_);
    Place(newEntry_, "GNewEntry", QRect(0, 0, 360, 218), QStringLiteral("New entry"));
    listGroup_ = new QGroupBox(QStringLiteral("Available User Defined Functions"), groups_);
    Place(listGroup_, "GFunctions", QRect(0, 0, 360, 218), QStringLiteral("Available User Defined Functions"));
    groups_->addWidget(newEntry_);
    groups_->addWidget(listGroup_);
    BuildNewEntry(newEntry_);
    BuildList(listGroup_);
    groups_->setCurrentWidget(listGroup_);

    close_ = MakeButton(this, "BClose", QStringLiteral("Close"), QRect(8, 236, 84, 25));
    close_->setDefault(true);
    delete_ = MakeButton(this, "BDelete", QStringLiteral("&Delete"), QRect(100, 236, 84, 25));
    edit_ = MakeButton(this, "BEdit", QStringLiteral("&Edit"), QRect(192, 236, 84, 25));
    add_ = MakeButton(this, "BAdd", QStringLiteral("&Add"), QRect(284, 236, 84, 25));
    connect(close_, &QPushButton::clicked, this, Guarded([this] { accept(); }));
    connect(delete_, &QPushButton::clicked, this, Guarded([this] { OnDelete(); }));
    connect(edit_, &QPushButton::clicked, this, Guarded([this] { OnEdit(); }));
    connect(add_, &QPushButton::clicked, this, Guarded([this] { OnAdd(); }));

    if (!allowGlobal)
        globalDefines_->setEnabled(false);
    if (!local_) {
        localDefines_->setEnabled(false);
        globalDefines_->setChecked(true);
    } else {
        localDefines_->setChecked(true);
    }
    FillGrid();
}

void TRpEnvironmentEditor::BuildNewEntry(QWidget* page)
{
    QLabel* nameLabel = MakeLabel(page, "LName", QStringLiteral("Name :"), QRect(12, 30, 80, 17));
    name_ = Place(new QLineEdit(page), "Name", QRect(96, 28, 252, 21), QStringLiteral("Name"));
    nameLabel->setBuddy(name_);
    QLabel* expressionLabel = MakeLabel(page, "LExpression", QStringLiteral("Expression :"), QRect(12, 62, 80, 17));
    expression_ = Place(new QLineEdit(page), "Expression", QRect(96, 60, 224, 21), QStringLiteral("Expression"));
    expressionLabel->setBuddy(expression_);
    connect(MakeButton(page, "BExpression", QStringLiteral("..."), QRect(326, 60, 22, 21),
                       QStringLiteral("Build the expression")),
            &QPushButton::clicked, this, Guarded([this] {
                std::string text = utility::QStringToCp1250(expression_->text());
                const QPointer<TRpEnvironmentEditor> alive(this);
                if (RunExpressionBuilder(utility::QStringToCp1250(name_->text()), text, nullptr, local_, this) && alive)
                    expression_->setText(Q(text));
            }));
    connect(MakeButton(page, "BNewOK", QStringLiteral("&OK"), QRect(192, 180, 75, 25)), &QPushButton::clicked, this,
            Guarded([this] { EndNewEntry(TWaitState::Ok); }));
    connect(MakeButton(page, "BNewCancel", QStringLiteral("&Cancel"), QRect(273, 180, 75, 25)), &QPushButton::clicked,
            this, Guarded([this] { EndNewEntry(TWaitState::Cancel); }));
}

void TRpEnvironmentEditor::BuildList(QWidget* page)
{
    grid_ = Place(new QTableWidget(0, 2, page), "UDFGrid", QRect(10, 22, 340, 160),
                  QStringLiteral("Available User Defined Functions"));
    grid_->setHorizontalHeaderLabels({QStringLiteral("Name"), QStringLiteral("Expression")});
    grid_->setColumnWidth(0, 123);
    grid_->setColumnWidth(1, 165);
    grid_->verticalHeader()->hide();
    grid_->setSelectionMode(QAbstractItemView::SingleSelection);
    // A double click runs the builder; cells are edited by typing or F2.
    grid_->setEditTriggers(QAbstractItemView::EditKeyPressed | QAbstractItemView::AnyKeyPressed |
                           QAbstractItemView::SelectedClicked);
    connect(grid_, &QTableWidget::itemChanged, this,
            [this](QTableWidgetItem* item) { Guarded([this, item] { CellChanged(item); })(); });
    connect(grid_, &QTableWidget::cellDoubleClicked, this, Guarded([this] { OnEdit(); }));
    localDefines_ = Place(new QRadioButton(QStringLiteral("&Local defines"), page), "RLocal", QRect(10, 190, 160, 20),
                          QStringLiteral("Local defines"));
    globalDefines_ = Place(new QRadioButton(QStringLiteral("&Global defines"), page), "RGlobal",
                           QRect(180, 190, 160, 20), QStringLiteral("Global defines"));
    connect(localDefines_, &QRadioButton::clicked, this, Guarded([this] { FillGrid(); }));
    connect(globalDefines_, &QRadioButton::clicked, this, Guarded([this] { FillGrid(); }));
}

expr::TRpEvEnvironment* TRpEnvironmentEditor::Current() const
{
    return localDefines_->isChecked() ? local_ : expr::GlobalEnvironment();
}

void TRpEnvironmentEditor::SetCell(int row, int column, const std::string& text)
{
    const bool filling = filling_;
    filling_ = true;
    grid_->setItem(row, column, new QTableWidgetItem(Q(text)));
    filling_ = filling;
}

void TRpEnvironmentEditor::FillGrid()
{
    const expr::TRpEvEnvironment* environment = Current();
    const int count = environment ? environment->Count() : 0;
    filling_ = true;
    grid_->setRowCount(count);
    for (int row = 0; row < count; ++row) {
        const expr::TRpEvEmbeddedFunction* entry = environment->Entry(row);
        SetCell(row, 0, environment->Name(row));
        SetCell(row, 1, entry ? entry->Expression() : std::string());
    }
    filling_ = false;
}

int TRpEnvironmentEditor::CurrentRow() const
{
    const expr::TRpEvEnvironment* environment = Current();
    const int row = grid_->currentRow();
    return environment && row >= 0 && row < environment->Count() ? row : -1;
}

void TRpEnvironmentEditor::CellChanged(QTableWidgetItem* item)
{
    expr::TRpEvEnvironment* environment = Current();
    if (filling_ || !environment || item->row() >= environment->Count())
        return;
    const int row = item->row();
    const std::string text = utility::QStringToCp1250(item->text());
    const std::string name = environment->Name(row);
    if (item->column() == 0) {
        if (!environment->RenameFunction(row, text)) {
            const std::string wanted = utility::Cp1250UpperCase(utility::TrimBoth(text));
            utility::ErrorBox(wanted.empty() ? "The name of a function cannot be empty" : TakenName(wanted));
        }
        SetCell(row, 0, environment->Name(row));
        return;
    }
    const expr::TRpEvEmbeddedFunction* entry = environment->Entry(row);
    const std::string old = entry ? entry->Expression() : std::string();
    if (text == old)
        return;
    if (!environment->ReplaceExpression(row, text)) {
        utility::ErrorBox(InUse("the expression of " + name));
        SetCell(row, 1, old);
    }
}

void TRpEnvironmentEditor::OnEdit()
{
    expr::TRpEvEnvironment* environment = Current();
    const int row = CurrentRow();
    if (row < 0)
        return;
    const std::string name = environment->Name(row);
    const expr::TRpEvEmbeddedFunction* entry = environment->Entry(row);
    std::string text = entry ? entry->Expression() : std::string();
    const std::string old = text;
    const QPointer<TRpEnvironmentEditor> alive(this);
    if (!RunExpressionBuilder(name, text, nullptr, local_, this) || !alive || text == old)
        return;
    // The builder may have changed the entries (its variable page edits them): find the line again.
    const int line = environment->IndexOf(name);
    if (line < 0)
        return;
    if (!environment->ReplaceExpression(line, text))
        utility::ErrorBox(InUse("the expression of " + name));
    FillGrid();
}

void TRpEnvironmentEditor::OnDelete()
{
    expr::TRpEvEnvironment* environment = Current();
    const int row = CurrentRow();
    if (row < 0)
        return;
    const std::string name = environment->Name(row);
    if (!environment->DeleteFunction(name))
        utility::ErrorBox(InUse(name));
    FillGrid();
}

bool TRpEnvironmentEditor::AddTyped()
{
    expr::TRpEvEnvironment* environment = Current();
    const std::string name = utility::Cp1250UpperCase(utility::TrimBoth(utility::QStringToCp1250(name_->text())));
    if (!environment) {
        utility::ErrorBox("There are no functions to add to");
        return false;
    }
    if (name.empty()) {
        utility::ErrorBox("Type a name for the new function");
        name_->setFocus();
        return false;
    }
    if (environment->IndexOf(name) >= 0) {
        utility::ErrorBox(TakenName(name));
        name_->setFocus();
        return false;
    }
    environment->AddFunction(name, utility::QStringToCp1250(expression_->text()));
    return true;
}

void TRpEnvironmentEditor::EndNewEntry(TWaitState state)
{
    if (newState_ == TWaitState::Waiting)
        newState_ = state;
    waiter_.Wake();
}

void TRpEnvironmentEditor::OnAdd()
{
    for (QPushButton* button : {close_, delete_, edit_, add_})
        button->hide();
    name_->clear();
    expression_->clear();
    groups_->setCurrentWidget(newEntry_);
    name_->setFocus();
    for (;;) {
        newState_ = TWaitState::Waiting;
        if (!waiter_.Wait(*this, [this] { return newState_ != TWaitState::Waiting; }))
            return;
        // A refused entry keeps the group open with what was typed.
        if (newState_ != TWaitState::Ok || AddTyped())
            break;
    }
    newState_ = TWaitState::Waiting;
    for (QPushButton* button : {close_, delete_, edit_, add_})
        button->show();
    groups_->setCurrentWidget(listGroup_);
    FillGrid();
}

void TRpEnvironmentEditor::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    utility::CentreOnScreen(*this);
}

void TRpEnvironmentEditor::closeEvent(QCloseEvent* event)
{
    EndNewEntry(TWaitState::Cancel);
    QDialog::closeEvent(event);
}

void TRpEnvironmentEditor::done(int result)
{
    EndNewEntry(TWaitState::Cancel);
    QDialog::done(result);
}

void OpenEnvironmentEditor(expr::TRpEvEnvironment* environment, bool allowGlobal)
{
    TRpEnvironmentEditor editor(environment, allowGlobal);
    editor.exec();
}

}  // namespace report::editors
