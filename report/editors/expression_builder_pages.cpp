// The builder's pages besides the main one: data field, function, function parameters and
// variable. Each waits for its own buttons while it is in front.
#include "report/editors/editor_texts.h"
#include "report/editors/editor_widgets.h"
#include "report/editors/environment_editor.h"
#include "report/editors/expression_builder.h"
#include "report/editors/word_wrap_edit.h"
#include "report/expr/ev_environment.h"
#include "report/expr/ev_library.h"
#include "report/expr/expr_unit.h"
#include "utility/cp1250.h"

#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QStackedWidget>

namespace report::editors {
namespace {

constexpr int kRowStep = 40;

// Item data: the library line of a function, or the environment (0 local, 1 global) and line
// of a variable.
constexpr int kLineRole = Qt::UserRole;
constexpr int kScopeRole = Qt::UserRole + 1;

QListWidget* MakeList(QWidget* parent, const char* name, const QRect& geometry, QLabel* caption)
{
    auto* list = Place(new QListWidget(parent), name, geometry, caption->accessibleName());
    caption->setBuddy(list);
    return list;
}

expr::TRpEvEnvironment* ScopeEnvironment(int scope, expr::TRpEvEnvironment* local)
{
    return scope == 0 ? local : expr::GlobalEnvironment();
}

}  // namespace

QWidget* TRpExpressionBuilder::BuildFieldPage()
{
    QWidget* page = NewPage("PageField");
    MakeLabel(page, "LFieldTitle", QStringLiteral("Insert database field in expression"), QRect(20, 8, 341, 17));
    dataSetList_ = MakeList(page, "ListDatasets", QRect(20, 50, 165, 180),
                            MakeLabel(page, "LDatasets", QStringLiteral("Select dataset"), QRect(20, 32, 165, 17)));
    fieldList_ = MakeList(page, "ListFields", QRect(196, 50, 165, 180),
                          MakeLabel(page, "LFields", QStringLiteral("Available fields"), QRect(196, 32, 165, 17)));
    connect(dataSetList_, &QListWidget::currentRowChanged, this, Guarded([this] { FillFields(); }));
    connect(fieldList_, &QListWidget::itemDoubleClicked, this, Guarded([this] { EndPage(TWaitState::Ok); }));
    connect(MakeButton(page, "BFieldOK", QStringLiteral("OK"), QRect(201, 240, 78, 25)), &QPushButton::clicked, this,
            Guarded([this] { EndPage(TWaitState::Ok); }));
    connect(MakeButton(page, "BFieldCancel", QStringLiteral("Cancel"), QRect(284, 240, 77, 25)), &QPushButton::clicked,
            this, Guarded([this] { EndPage(TWaitState::Cancel); }));
    return page;
}

void TRpExpressionBuilder::FillFields()
{
    fieldList_->clear();
    const std::vector<TRpOfferedDataSet> offered = ListDataSets(&dataSets_);
    const int row = dataSetList_->currentRow();
    if (row < 0 || row >= static_cast<int>(offered.size()))
        return;
    for (const std::string& name : FieldNames(*offered[static_cast<std::size_t>(row)].dataSet))
        fieldList_->addItem(Q(name));
    if (fieldList_->count() > 0)
        fieldList_->setCurrentRow(0);
}

void TRpExpressionBuilder::OnField()
{
    const std::optional<TWaitState> state = WaitPage(fieldPage_);
    if (!state)
        return;
    const std::vector<TRpOfferedDataSet> offered = ListDataSets(&dataSets_);
    const int row = dataSetList_->currentRow();
    if (*state == TWaitState::Ok && row >= 0 && row < static_cast<int>(offered.size()) && fieldList_->currentItem())
        Insert(offered[static_cast<std::size_t>(row)].name + "." +
               utility::QStringToCp1250(fieldList_->currentItem()->text()));
    ShowMainPage();
}

QWidget* TRpExpressionBuilder::BuildFunctionPage()
{
    QWidget* page = NewPage("PageFunction");
    MakeLabel(page, "LFunctionTitle", QStringLiteral("Select function"), QRect(20, 6, 341, 17));
    categoryList_ = MakeList(page, "ListCategory", QRect(20, 42, 130, 120),
                             MakeLabel(page, "LCategory", QStringLiteral("Category"), QRect(20, 24, 130, 17)));
    for (const std::string& category : FunctionCategories())
        categoryList_->addItem(Q(category));
    functionList_ =
        MakeList(page, "ListFunctions", QRect(160, 42, 201, 120),
                 MakeLabel(page, "LFunctions", QStringLiteral("Available functions"), QRect(160, 24, 201, 17)));
    functionName_ = MakeLabel(page, "LFunctionName", QString(), QRect(20, 168, 341, 17));
    QFont bold = functionName_->font();
    bold.setBold(true);
    functionName_->setFont(bold);
    functionDescription_ = MakeLabel(page, "LFunctionDescription", QString(), QRect(20, 186, 341, 48));
    functionDescription_->setWordWrap(true);
    functionDescription_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    connect(categoryList_, &QListWidget::currentRowChanged, this, Guarded([this] { FillFunctions(); }));
    connect(functionList_, &QListWidget::currentRowChanged, this, Guarded([this] { ShowFunction(); }));
    connect(functionList_, &QListWidget::itemDoubleClicked, this, Guarded([this] { EndPage(TWaitState::Ok); }));
    connect(MakeButton(page, "BContinue", QStringLiteral("Continue"), QRect(201, 240, 78, 25)), &QPushButton::clicked,
            this, Guarded([this] { EndPage(TWaitState::Ok); }));
    connect(MakeButton(page, "BFunctionCancel", QStringLiteral("Cancel"), QRect(284, 240, 77, 25)),
            &QPushButton::clicked, this, Guarded([this] { EndPage(TWaitState::Cancel); }));
    categoryList_->setCurrentRow(0);
    FillFunctions();
    return page;
}

void TRpExpressionBuilder::FillFunctions()
{
    functionList_->clear();
    const expr::TRpLibrary* library = expr::FunctionLibrary();
    if (!library)
        return;
    for (int line : FunctionsInCategory(*library, std::max(categoryList_->currentRow(), 0))) {
        auto* item = new QListWidgetItem(Q(library->GetEntry(line)->Name), functionList_);
        item->setData(kLineRole, line);
    }
    if (functionList_->count() > 0)
        functionList_->setCurrentRow(0);
    ShowFunction();
}

void TRpExpressionBuilder::ShowFunction()
{
    const QListWidgetItem* item = functionList_->currentItem();
    const expr::TRpLibrary* library = expr::FunctionLibrary();
    const expr::TRpLibraryEntry* entry = item && library ? library->GetEntry(item->data(kLineRole).toInt()) : nullptr;
    const auto [name, description] = entry ? SplitDescription(*entry) : std::pair<std::string, std::string>();
    functionName_->setText(Q(name));
    functionDescription_->setText(Q(description));
    functionDescription_->setAccessibleDescription(Q(description));
}

void TRpExpressionBuilder::OnFunction()
{
    const std::optional<TWaitState> state = WaitPage(functionPage_);
    if (!state)
        return;
    const QListWidgetItem* item = functionList_->currentItem();
    const expr::TRpLibrary* library = expr::FunctionLibrary();
    const expr::TRpLibraryEntry* entry = item && library ? library->GetEntry(item->data(kLineRole).toInt()) : nullptr;
    if (*state == TWaitState::Ok && entry) {
        if (ArgumentLetters(*entry).empty()) {
            Insert(entry->Name);
        } else {
            bool gone = false;
            const std::optional<std::string> call = AskParameters(*entry, gone);
            if (gone)
                return;
            if (call)
                Insert(*call);
        }
    }
    ShowMainPage();
}

QWidget* TRpExpressionBuilder::BuildParamsPage()
{
    QWidget* page = NewPage("PageParams");
    MakeLabel(page, "LParamsTitle", QStringLiteral("Enter parameters for function"), QRect(20, 6, 341, 17));
    paramsName_ = MakeLabel(page, "LParamsName", QString(), QRect(20, 24, 341, 17));
    paramsDescription_ = MakeLabel(page, "LParamsDescription", QString(), QRect(20, 42, 341, 30));
    paramsDescription_->setWordWrap(true);
    paramsBox_ = Place(new QScrollArea(page), "ParamsBox", QRect(20, 76, 341, 156), QStringLiteral("Parameters"));
    paramsBox_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    paramsBox_->verticalScrollBar()->setSingleStep(kRowStep);
    paramsBox_->verticalScrollBar()->setPageStep(kRowStep);
    connect(MakeButton(page, "BParamsOK", QStringLiteral("OK"), QRect(201, 240, 78, 25)), &QPushButton::clicked, this,
            Guarded([this] { EndPage(TWaitState::Ok); }));
    connect(MakeButton(page, "BParamsCancel", QStringLiteral("Cancel"), QRect(284, 240, 77, 25)), &QPushButton::clicked,
            this, Guarded([this] { EndPage(TWaitState::Cancel); }));
    return page;
}

std::optional<std::string> TRpExpressionBuilder::AskParameters(const expr::TRpLibraryEntry& entry, bool& gone)
{
    const auto [name, description] = SplitDescription(entry);
    paramsName_->setText(Q(name));
    paramsDescription_->setText(Q(description));
    const std::string letters = ArgumentLetters(entry);
    const int boxWidth = paramsBox_->width();
    auto* rows = new QWidget();
    rows->setObjectName(QStringLiteral("ParamsRows"));
    rows->setFixedSize(boxWidth - 2, kRowStep * static_cast<int>(letters.size()));
    std::vector<QLineEdit*> edits;
    for (std::size_t i = 0; i < letters.size(); ++i) {
        const int top = kRowStep * static_cast<int>(i);
        const std::string number = std::to_string(i + 1);
        QLabel* label =
            MakeLabel(rows, ("LArgument" + number).c_str(), Q(ArgumentLabel(letters[i], static_cast<int>(i) + 1)),
                      QRect(10, top, boxWidth - 60, 15));
        auto* edit = Place(new QLineEdit(rows), ("EArgument" + number).c_str(), QRect(10, top + 15, boxWidth - 60, 21),
                           label->accessibleName());
        label->setBuddy(edit);
        edits.push_back(edit);
        const std::string heading = ParameterHeading(static_cast<int>(i) + 1, entry.Name);
        QPushButton* more = MakeButton(rows, ("BArgument" + number).c_str(), QStringLiteral("..."),
                                       QRect(boxWidth - 40, top + 15, 20, 20), Q("Build argument " + number));
        connect(more, &QPushButton::clicked, this, Guarded([this, edit, heading] {
                    std::string text = utility::QStringToCp1250(edit->text());
                    const QPointer<QLineEdit> alive(edit);
                    if (RunExpressionBuilder(heading, text, &dataSets_, environment_, this) && alive)
                        alive->setText(Q(text));
                }));
    }
    paramsBox_->setWidget(rows);
    if (!edits.empty())
        edits.front()->setFocus();
    const std::optional<TWaitState> state = WaitPage(paramsPage_);
    if (!state) {
        gone = true;
        return std::nullopt;
    }
    std::vector<std::string> arguments;
    for (const QLineEdit* edit : edits)
        arguments.push_back(utility::QStringToCp1250(edit->text()));
    // The rows are freed either way.
    delete paramsBox_->takeWidget();
    if (*state != TWaitState::Ok)
        return std::nullopt;
    return FunctionCall(entry.Name, arguments);
}

QWidget* TRpExpressionBuilder::BuildVariablePage()
{
    QWidget* page = NewPage("PageVariable");
    variableList_ =
        MakeList(page, "ListVariables", QRect(20, 26, 200, 204),
                 MakeLabel(page, "LVariableTitle", QStringLiteral("Select variable"), QRect(20, 6, 200, 17)));
    MakeLabel(page, "LValueCaption", QStringLiteral("Value :"), QRect(230, 26, 131, 17));
    variableValue_ = MakeLabel(page, "LVariableValue", QString(), QRect(230, 44, 131, 120));
    variableValue_->setWordWrap(true);
    variableValue_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    connect(variableList_, &QListWidget::currentRowChanged, this, Guarded([this] { ShowVariable(); }));
    connect(variableList_, &QListWidget::itemDoubleClicked, this, Guarded([this] { EndPage(TWaitState::Ok); }));
    connect(MakeButton(page, "BModifyVariables", QStringLiteral("&Modify variables"), QRect(230, 170, 131, 25)),
            &QPushButton::clicked, this, Guarded([this] {
                const QPointer<TRpExpressionBuilder> alive(this);
                OpenEnvironmentEditor(environment_, true);
                if (alive)
                    FillVariables();
            }));
    connect(MakeButton(page, "BVariableOK", QStringLiteral("OK"), QRect(201, 240, 78, 25)), &QPushButton::clicked, this,
            Guarded([this] { EndPage(TWaitState::Ok); }));
    connect(MakeButton(page, "BVariableCancel", QStringLiteral("Cancel"), QRect(284, 240, 77, 25)),
            &QPushButton::clicked, this, Guarded([this] { EndPage(TWaitState::Cancel); }));
    return page;
}

void TRpExpressionBuilder::FillVariables()
{
    variableList_->clear();
    for (int scope = 0; scope < 2; ++scope) {
        const expr::TRpEvEnvironment* environment = ScopeEnvironment(scope, environment_);
        if (!environment || (scope == 1 && environment == environment_))
            continue;
        for (int line = 0; line < environment->Count(); ++line) {
            auto* item = new QListWidgetItem(Q(environment->Name(line)), variableList_);
            item->setData(kScopeRole, scope);
            item->setData(kLineRole, line);
        }
    }
    if (variableList_->count() > 0)
        variableList_->setCurrentRow(0);
    ShowVariable();
}

void TRpExpressionBuilder::ShowVariable()
{
    const QListWidgetItem* item = variableList_->currentItem();
    const expr::TRpEvEnvironment* environment =
        item ? ScopeEnvironment(item->data(kScopeRole).toInt(), environment_) : nullptr;
    const expr::TRpEvEmbeddedFunction* entry =
        environment ? environment->Entry(item->data(kLineRole).toInt()) : nullptr;
    variableValue_->setText(entry ? Q(entry->Expression()) : QString());
}

void TRpExpressionBuilder::OnVariable()
{
    const std::optional<TWaitState> state = WaitPage(variablePage_);
    if (!state)
        return;
    if (*state == TWaitState::Ok && variableList_->currentItem())
        Insert(utility::QStringToCp1250(variableList_->currentItem()->text()));
    ShowMainPage();
}

}  // namespace report::editors
