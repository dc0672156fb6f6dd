#include "report/editors/expression_builder.h"

#include "report/editors/editor_texts.h"
#include "report/editors/editor_widgets.h"
#include "report/editors/word_wrap_edit.h"
#include "utility/dialogi.h"
#include "utility/dialogparts.h"

#include <QCloseEvent>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QStackedWidget>

#include <exception>
#include <functional>
#include <memory>

namespace report::editors {
namespace {

constexpr int kWidth = 378;
constexpr int kHeight = 317;
constexpr int kTopPanel = 41;

struct Operator {
    const char* name;
    const char* text;
};
constexpr Operator kOperators[] = {
    {"BPlus", "+"},  {"BMinus", "-"},   {"BMul", "*"},      {"BDiv", "/"},        {"BEqual", "="},
    {"BLess", "<"},  {"BGreater", ">"}, {"BUnequal", "<>"}, {"BLessEqual", "<="}, {"BGreaterEqual", ">="},
    {"BNot", "Not"}, {"BAnd", "And"},   {"BOr", "Or"},
};

// Tells an embedded builder when the window holding it closes or hides: the builder is then
// cancelled, as it would be were it closed itself, and no wait is left behind a hidden window.
class HostWatch final : public QObject {
public:
    HostWatch(QWidget& window, std::function<void()> closing) : window_(&window), closing_(std::move(closing))
    {
        window.installEventFilter(this);
    }
    ~HostWatch() override
    {
        if (window_)
            window_->removeEventFilter(this);
    }
    HostWatch(const HostWatch&) = delete;
    HostWatch& operator=(const HostWatch&) = delete;

    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (watched == window_ && (event->type() == QEvent::Close || event->type() == QEvent::Hide))
            closing_();
        return false;
    }

private:
    QPointer<QWidget> window_;
    std::function<void()> closing_;
};

}  // namespace

TRpExpressionBuilder::TRpExpressionBuilder(const expr::TRpDataSetList* context, expr::TRpEvEnvironment* environment,
                                           QWidget* host)
    : QDialog(host), environment_(environment), embedded_(host != nullptr)
{
    if (context)
        dataSets_ = *context;
    SetupFixedDialog(*this, "TRpExpressionBuilder", QStringLiteral("Expression Builder"), kWidth, kHeight);
    if (embedded_)
        setWindowFlags(Qt::Widget);
    auto* top = Place(new QWidget(this), "PTop", QRect(0, 0, kWidth, kTopPanel), QStringLiteral("Expression Builder"));
    top->setAutoFillBackground(true);
    top->setBackgroundRole(QPalette::Base);
    QLabel* title = MakeLabel(top, "LTitle", QStringLiteral("Expression Builder"), QRect(12, 8, 300, 24));
    QFont font = title->font();
    font.setBold(true);
    font.setPointSize(font.pointSize() + 3);
    title->setFont(font);

    pages_ = Place(new QStackedWidget(this), "Pages", QRect(0, kTopPanel, kWidth, kHeight - kTopPanel));
    mainPage_ = BuildMainPage();
    fieldPage_ = BuildFieldPage();
    functionPage_ = BuildFunctionPage();
    paramsPage_ = BuildParamsPage();
    variablePage_ = BuildVariablePage();
    pages_->setCurrentWidget(mainPage_);
}

QWidget* TRpExpressionBuilder::NewPage(const char* name)
{
    auto* page = new QWidget(pages_);
    page->setObjectName(QString::fromLatin1(name));
    pages_->addWidget(page);
    return page;
}

QWidget* TRpExpressionBuilder::BuildMainPage()
{
    QWidget* page = NewPage("PageMain");
    heading_ = MakeLabel(page, "LEnter", QStringLiteral("Enter expression:"), QRect(20, 16, 341, 17));
    edit_ = Place(new TWordWrapEdit(page), "EExpression", QRect(20, 36, 341, 91), QStringLiteral("Expression"));
    heading_->setBuddy(edit_);

    auto* group = Place(new QGroupBox(QStringLiteral("Insert at cursor position"), page), "GInsert",
                        QRect(20, 132, 341, 98), QStringLiteral("Insert at cursor position"));
    connect(MakeButton(group, "BField", QStringLiteral("&Database field"), QRect(8, 20, 105, 25)),
            &QPushButton::clicked, this, Guarded([this] { OnField(); }));
    connect(MakeButton(group, "BFunction", QStringLiteral("&Function"), QRect(118, 20, 105, 25)), &QPushButton::clicked,
            this, Guarded([this] { OnFunction(); }));
    connect(MakeButton(group, "BVariable", QStringLiteral("&Variable"), QRect(228, 20, 105, 25)), &QPushButton::clicked,
            this, Guarded([this] { OnVariable(); }));
    int x = 8;
    for (const Operator& op : kOperators) {
        const QString text = QString::fromLatin1(op.text);
        const int width = text.size() > 1 ? 27 : 22;
        QPushButton* button =
            MakeButton(group, op.name, text, QRect(x, 58, width, 25), QStringLiteral("Operator ") + text);
        const std::string inserted = std::string(" ") + op.text + " ";
        connect(button, &QPushButton::clicked, this, Guarded([this, inserted] { Insert(inserted); }));
        x += width + 1;
    }

    connect(MakeButton(page, "BValidate", QStringLiteral("Valida&te"), QRect(20, 240, 80, 25)), &QPushButton::clicked,
            this, Guarded([this] { OnValidate(); }));
    connect(MakeButton(page, "BClear", QStringLiteral("&Clear"), QRect(105, 240, 80, 25)), &QPushButton::clicked, this,
            Guarded([this] { edit_->clear(); }));
    QPushButton* ok = MakeButton(page, "BOK", QStringLiteral("OK"), QRect(201, 240, 78, 25));
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, Guarded([this] { OnOk(); }));
    connect(MakeButton(page, "BCancel", QStringLiteral("Cancel"), QRect(284, 240, 77, 25)), &QPushButton::clicked, this,
            Guarded([this] { OnCancel(); }));
    return page;
}

void TRpExpressionBuilder::SetHeading(const std::string& heading)
{
    if (!heading.empty())
        heading_->setText(Q(heading));
}

void TRpExpressionBuilder::SetExpression(const std::string& expression)
{
    edit_->SetText(expression);
    edit_->selectAll();
}

std::string TRpExpressionBuilder::Expression() const { return LineBreaksToBlanks(edit_->Text()); }

void TRpExpressionBuilder::FillLists()
{
    dataSetList_->clear();
    for (const TRpOfferedDataSet& offered : ListDataSets(&dataSets_))
        dataSetList_->addItem(Q(offered.name));
    if (dataSetList_->count() > 0)
        dataSetList_->setCurrentRow(0);
    FillFields();
    FillVariables();
    edit_->setFocus();
}

void TRpExpressionBuilder::Insert(const std::string& text)
{
    edit_->InsertAtCursor(text);
    edit_->setFocus();
}

void TRpExpressionBuilder::ShowMainPage()
{
    pages_->setCurrentWidget(mainPage_);
    edit_->setFocus();
}

std::optional<TWaitState> TRpExpressionBuilder::WaitPage(QWidget* page)
{
    pageState_ = TWaitState::Waiting;
    pages_->setCurrentWidget(page);
    if (!waiter_.Wait(*this, [this] { return pageState_ != TWaitState::Waiting || done_; }))
        return std::nullopt;
    const TWaitState state = pageState_ == TWaitState::Ok ? TWaitState::Ok : TWaitState::Cancel;
    pageState_ = TWaitState::Waiting;
    return state;
}

void TRpExpressionBuilder::EndPage(TWaitState state)
{
    if (pageState_ == TWaitState::Waiting)
        pageState_ = state;
    waiter_.Wake();
}

void TRpExpressionBuilder::CancelEverything()
{
    if (pageState_ == TWaitState::Waiting)
        pageState_ = TWaitState::Cancel;
    if (state_ != TWaitState::Ok)
        state_ = TWaitState::Cancel;
    waiter_.Wake();
}

void TRpExpressionBuilder::OnValidate() { utility::InfoBox(ValidateExpression(Expression(), dataSets_, environment_)); }

void TRpExpressionBuilder::OnOk()
{
    state_ = TWaitState::Ok;
    waiter_.Wake();
    if (!embedded_)
        accept();
}

void TRpExpressionBuilder::OnCancel()
{
    CancelEverything();
    if (!embedded_)
        reject();
}

void TRpExpressionBuilder::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    if (!embedded_)
        utility::CentreOnScreen(*this);
}

void TRpExpressionBuilder::closeEvent(QCloseEvent* event)
{
    CancelEverything();
    QDialog::closeEvent(event);
}

void TRpExpressionBuilder::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Escape || event->key() == Qt::Key_Space) {
        // The done flag: every wait of this window ends, as cancelled.
        done_ = true;
        CancelEverything();
        if (!embedded_)
            reject();
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

void TRpExpressionBuilder::done(int result)
{
    if (result != QDialog::Accepted)
        CancelEverything();
    QDialog::done(result);
}

bool TRpExpressionBuilder::RunEmbedded()
{
    QWidget* host = parentWidget();
    const QSize hostSize = host->size();
    const bool grow = host->isWindow() && (hostSize.width() < kWidth || hostSize.height() < kHeight);
    // A host smaller than the builder grows while it holds it, so that OK and Cancel can be reached.
    if (grow)
        host->setFixedSize(std::max(hostSize.width(), kWidth), std::max(hostSize.height(), kHeight));
    const QPointer<QWidget> hostAlive(host);
    const HostWatch watch(*host->window(), [self = QPointer<TRpExpressionBuilder>(this)] {
        if (self)
            self->CancelEverything();
    });
    move(0, 0);
    show();
    raise();
    FillLists();
    const bool alive = waiter_.Wait(*this, [this] { return state_ != TWaitState::Waiting || done_; });
    if (grow && hostAlive)
        hostAlive->setFixedSize(hostSize);
    return alive && state_ == TWaitState::Ok;
}

bool RunExpressionBuilder(const std::string& heading, std::string& expression, const expr::TRpDataSetList* context,
                          expr::TRpEvEnvironment* environment, QWidget* host)
{
    if (host) {
        const QPointer<TRpExpressionBuilder> builder = new TRpExpressionBuilder(context, environment, host);
        builder->SetHeading(heading);
        builder->SetExpression(expression);
        const bool ok = builder->RunEmbedded();
        if (!builder)
            return false;
        if (ok)
            expression = builder->Expression();
        delete builder.data();
        return ok;
    }
    auto builder = std::make_unique<TRpExpressionBuilder>(context, environment, nullptr);
    builder->SetHeading(heading);
    builder->SetExpression(expression);
    builder->FillLists();
    if (builder->exec() != QDialog::Accepted)
        return false;
    expression = builder->Expression();
    return true;
}

}  // namespace report::editors
