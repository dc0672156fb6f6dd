#include "report/output/viewer/preview_frame.h"

#include "report/output/viewer/preview_glyphs.h"
#include "report/output/viewer/preview_thumbs.h"
#include "utility/dialogi.h"

#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QBoxLayout>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QSplitter>
#include <QStatusBar>
#include <QTabWidget>
#include <QToolBar>
#include <QWheelEvent>

#include <algorithm>
#include <exception>

namespace report::output {
namespace {

constexpr int kDesignWidth = 776;
constexpr int kDesignHeight = 536;
constexpr int kPaneWidth = 193;

struct CommandSpec {
    const char* name;
    int glyph;
    const char* hint;
    bool separatorBefore;
};

// The toolbar, left to right.
constexpr CommandSpec kCommands[] = {
    {"ZoomFit", 0, "Zoom to fit", false},
    {"ZoomToWidth", 2, "Zoom to width", false},
    {"Zoom100", 1, "100% Size", false},
    {"FirstPage", 3, "First page", true},
    {"PreviousPage", 4, "Previous page", false},
    {"nextPage", 5, "Next page", false},
    {"LastPage", 6, "Last page", false},
    {"GotoPageButton", 12, "Select a Page", true},
    {"FindButton", 11, "Search for Text", false},
    {"copybutton", 14, "Copy page to clipboard", true},
    {"PrintSetup", 7, "Printer setup", false},
    {"Print", 8, "Print", false},
    {"LoadReport", 9, "Load report", false},
    {"SaveReport", 10, "Save report", false},
    {"CancelButton", 13, "Cancel the report", true},
};

}  // namespace

TRpPreviewFrame::TRpPreviewFrame(const std::vector<int>& panelWidths, QScrollArea* pageArea)
    : QDialog(nullptr), pageArea_(pageArea)
{
    setAttribute(Qt::WA_DeleteOnClose);
    setSizeGripEnabled(true);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    BuildToolBar();
    layout->addWidget(ToolBar1);
    BuildPanes();
    layout->addWidget(Splitter2, 1);
    BuildStatusBar(panelWidths);
    layout->addWidget(StatusBar);
    resize(kDesignWidth, kDesignHeight);

    OnCommand("FirstPage", [this] { FirstPageClick(); });
    OnCommand("PreviousPage", [this] { PrevPageClick(); });
    OnCommand("nextPage", [this] { NextPageClick(); });
    OnCommand("LastPage", [this] { LastPageClick(); });
    connect(ExitButton, &QPushButton::clicked, this, &TRpPreviewFrame::ExitClick);
    // Seen before any child: a focused list must not take the paging keys for itself.
    qApp->installEventFilter(this);
}

TRpPreviewFrame::~TRpPreviewFrame() { qApp->removeEventFilter(this); }

void TRpPreviewFrame::BuildToolBar()
{
    ToolBar1 = new QToolBar(this);
    ToolBar1->setObjectName(QStringLiteral("ToolBar1"));
    ToolBar1->setFixedHeight(30);
    ToolBar1->setIconSize(QSize(16, 16));
    zoomGroup_ = new QActionGroup(this);
    zoomGroup_->setExclusive(true);
    for (const CommandSpec& spec : kCommands) {
        if (spec.separatorBefore)
            ToolBar1->addSeparator();
        const QString name = QString::fromLatin1(spec.name);
        const QString hint = tr(spec.hint);
        auto* action = new QAction(PreviewGlyph(spec.glyph), hint, this);
        action->setObjectName(name);
        action->setToolTip(hint);
        ToolBar1->addAction(action);
        // The button a screen reader meets: it has a picture only, so the hint is its name.
        QWidget* button = ToolBar1->widgetForAction(action);
        button->setObjectName(name);
        button->setAccessibleName(hint);
        button->setFixedWidth(34);
        if (name.startsWith(QLatin1String("Zoom"))) {
            action->setCheckable(true);
            zoomGroup_->addAction(action);
        }
    }
    ToolBar1->addSeparator();
    ExitButton = new QPushButton(tr("&Close"), ToolBar1);
    ExitButton->setObjectName(QStringLiteral("ExitButton"));
    ExitButton->setFlat(true);
    ExitButton->setFixedSize(40, 22);
    ExitButton->setToolTip(tr("Close Preview"));
    ExitButton->setAutoDefault(false);
    ToolBar1->addWidget(ExitButton);
}

void TRpPreviewFrame::BuildPanes()
{
    Splitter2 = new QSplitter(Qt::Horizontal, this);
    Splitter2->setObjectName(QStringLiteral("Splitter2"));

    Tabs = new QTabWidget(Splitter2);
    Tabs->setObjectName(QStringLiteral("Tabs"));
    TabThumbs = new QWidget;
    TabThumbs->setObjectName(QStringLiteral("TabThumbs"));
    ThumbGrid = new TRpThumbGrid(TabThumbs);
    thumbModel_ = new TRpThumbModel(ThumbGrid);
    ThumbGrid->setModel(thumbModel_);
    auto* thumbLayout = new QVBoxLayout(TabThumbs);
    thumbLayout->setContentsMargins(0, 0, 0, 0);
    thumbLayout->addWidget(ThumbGrid);
    Tabs->addTab(TabThumbs, tr("ThumbNails"));

    TabSearchResult = new QWidget;
    TabSearchResult->setObjectName(QStringLiteral("TabSearchResult"));
    GroupBox1 = new QGroupBox(tr("Search Text"), TabSearchResult);
    GroupBox1->setObjectName(QStringLiteral("GroupBox1"));
    SearchTextLabel = new QLabel(GroupBox1);
    SearchTextLabel->setObjectName(QStringLiteral("SearchTextLabel"));
    SearchTextLabel->setTextFormat(Qt::PlainText);
    SearchResultBox = new QListWidget(TabSearchResult);
    SearchResultBox->setObjectName(QStringLiteral("SearchResultBox"));
    SearchResultBox->setEnabled(false);
    auto* groupLayout = new QVBoxLayout(GroupBox1);
    groupLayout->addWidget(SearchTextLabel);
    auto* resultLayout = new QVBoxLayout(TabSearchResult);
    resultLayout->setContentsMargins(0, 0, 0, 0);
    resultLayout->addWidget(GroupBox1);
    resultLayout->addWidget(SearchResultBox, 1);
    Tabs->addTab(TabSearchResult, tr("Search Results"));

    pageArea_->setParent(Splitter2);
    Splitter2->addWidget(Tabs);
    Splitter2->addWidget(pageArea_);
    Splitter2->setStretchFactor(1, 1);
    Splitter2->setSizes({kPaneWidth, kDesignWidth - kPaneWidth});

    connect(ThumbGrid->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this](const QModelIndex& current) {
                if (!thumbSyncing_ && !keyPaging_ && current.row() >= 0)
                    Guarded([&] { ThumbChosen(current.row() + 1); });
            });
}

void TRpPreviewFrame::BuildStatusBar(const std::vector<int>& panelWidths)
{
    StatusBar = new QStatusBar(this);
    StatusBar->setObjectName(QStringLiteral("StatusBar"));
    StatusBar->setSizeGripEnabled(false);
    for (std::size_t i = 0; i < panelWidths.size(); ++i) {
        auto* panel = new QLabel(StatusBar);
        panel->setObjectName(QStringLiteral("StatusPanel%1").arg(i));
        panel->setTextFormat(Qt::PlainText);
        panel->setMinimumWidth(panelWidths[i]);
        const bool last = i + 1 == panelWidths.size();
        if (!last)
            panel->setFixedWidth(panelWidths[i]);
        StatusBar->addWidget(panel, last ? 1 : 0);
        panels_.push_back(panel);
    }
}

QAction* TRpPreviewFrame::Command(const char* name) const
{
    return findChild<QAction*>(QString::fromLatin1(name), Qt::FindDirectChildrenOnly);
}

QLabel& TRpPreviewFrame::StatusPanel(int index) const
{
    return *panels_.at(static_cast<std::size_t>(std::clamp(index, 0, static_cast<int>(panels_.size()) - 1)));
}

void TRpPreviewFrame::OnCommand(const char* name, std::function<void()> command)
{
    connect(Command(name), &QAction::triggered, this, [command = std::move(command)] { Guarded(command); });
}

void TRpPreviewFrame::Guarded(const std::function<void()>& command)
{
    try {
        command();
    } catch (const std::exception& e) {
        // The report library's texts are code page 1250.
        utility::ErrorBox(e.what());
    } catch (...) {
        utility::ErrorBox("Unknown error");
    }
}

// ---- Paging ----

void TRpPreviewFrame::GoToPage(int n)
{
    ShowPage(n);
    if (n >= 1 && n <= PageCount() && n <= thumbModel_->rowCount()) {
        thumbSyncing_ = true;
        ThumbGrid->setCurrentIndex(thumbModel_->index(n - 1));
        thumbSyncing_ = false;
    }
}

void TRpPreviewFrame::ThumbChosen(int page)
{
    keyPaging_ = true;
    if (page != CurrentPage())
        ShowPage(page);
    keyPaging_ = false;
}

void TRpPreviewFrame::SetThumbRows(int rows)
{
    thumbSyncing_ = true;
    thumbModel_->SetRowCount(rows);
    thumbSyncing_ = false;
}

void TRpPreviewFrame::FirstPageClick() { GoToPage(1); }

void TRpPreviewFrame::PrevPageClick() { GoToPage(CurrentPage() - 1); }

void TRpPreviewFrame::NextPageClick() { GoToPage(CurrentPage() + 1); }

void TRpPreviewFrame::LastPageClick() { GoToPage(PageCount()); }

void TRpPreviewFrame::ExitClick() { close(); }

bool TRpPreviewFrame::FormKeyDown(int key, Qt::KeyboardModifiers modifiers)
{
    const bool ctrlAlone = (modifiers & ~Qt::KeypadModifier) == Qt::ControlModifier;
    switch (key) {
    case Qt::Key_Escape:
        ExitClick();
        return true;
    case Qt::Key_PageUp:
        ctrlAlone ? FirstPageClick() : PrevPageClick();
        return true;
    case Qt::Key_PageDown:
        ctrlAlone ? LastPageClick() : NextPageClick();
        return true;
    case Qt::Key_End:
        LastPageClick();
        return true;
    case Qt::Key_Home:
        FirstPageClick();
        return true;
    case Qt::Key_Up:
        KeyUp();
        return true;
    case Qt::Key_Down:
        KeyDown();
        return true;
    default:
        return false;
    }
}

void TRpPreviewFrame::KeyUp()
{
    QScrollBar* bar = pageArea_->verticalScrollBar();
    const int step = bar->singleStep();
    if (bar->value() - step > 0) {
        bar->setValue(bar->value() - step);
        return;
    }
    const int old = CurrentPage();
    keyPaging_ = true;
    GoToPage(old - 1);
    keyPaging_ = false;
    bar->setValue(old == 1 ? 0 : bar->maximum() - step);
}

void TRpPreviewFrame::KeyDown()
{
    QScrollBar* bar = pageArea_->verticalScrollBar();
    const int step = bar->singleStep();
    if (bar->value() + step < bar->maximum()) {
        bar->setValue(bar->value() + step);
        return;
    }
    keyPaging_ = true;
    GoToPage(CurrentPage() + 1);
    keyPaging_ = false;
}

bool TRpPreviewFrame::eventFilter(QObject* watched, QEvent* event)
{
    const QEvent::Type type = event->type();
    if (type != QEvent::KeyPress && type != QEvent::Wheel)
        return false;
    auto* widget = qobject_cast<QWidget*>(watched);
    if (!widget || widget->window() != this)
        return false;
    if (type == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        bool taken = false;
        Guarded([&] { taken = FormKeyDown(key->key(), key->modifiers()); });
        return taken;
    }
    // The wheel over the page turns pages at their ends, as Up and Down do.
    if (widget != this && widget != pageArea_ && !pageArea_->isAncestorOf(widget))
        return false;
    const int turn = static_cast<QWheelEvent*>(event)->angleDelta().y();
    if (turn == 0)
        return false;
    Guarded([&] { turn > 0 ? KeyUp() : KeyDown(); });
    return true;
}

}  // namespace report::output
