// The standard preview window: building it, its state, keys and wheel, opening and closing.
// The commands are in rp_standard_preview_commands.cpp.
#include "report/output/rp_standard_preview.h"

#include "report/output/preview_glyphs.h"
#include "report/output/preview_thumbs.h"
#include "report/output/rp_printer.h"

#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QBoxLayout>
#include <QCloseEvent>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QSplitter>
#include <QStatusBar>
#include <QTabWidget>
#include <QToolBar>
#include <QToolButton>
#include <QWheelEvent>

namespace report::output {
namespace {

constexpr int kDesignWidth = 776;
constexpr int kDesignHeight = 536;
constexpr int kPaneWidth = 193;
constexpr int kHorizontalIncrement = 52;
constexpr int kVerticalIncrement = 43;

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

// The commands that need a finished document.
constexpr const char* kFinishedCommands[] = {
    "PrintSetup", "Print", "SaveReport", "LoadReport", "FindButton",
    "GotoPageButton", "FirstPage", "nextPage", "PreviousPage", "LastPage",
};

}  // namespace

TRpStandardPreview::TRpStandardPreview(TRpPrinter& printer) : QDialog(nullptr), printer_(&printer)
{
    setObjectName(QStringLiteral("TRpStandardPreview"));
    setAttribute(Qt::WA_DeleteOnClose);
    setSizeGripEnabled(true);
    BuildWindow();
    Command("CancelButton")->setEnabled(false);
    resize(kDesignWidth, kDesignHeight);

    report_ = qobject_cast<PreviewedReport*>(printer.ParentReport());
    if (report_) {
        TakeReportSettings();
    } else {
        maximised_ = true;
        title_ = printer.Title();
        orientation_ = printer.GetOrientation();
    }
    RpPreview->SetRpPrinter(&printer);
    printer.SetOrientation(orientation_);
    setWindowTitle(title_.isEmpty() ? tr("Report Preview") : tr("Report Preview : ") + title_);
    thumbModel_->SetRpPrinter(&printer);
    ShowPanes();
    ApplyInitialZoom();
    UpdateCommands();
    qApp->installEventFilter(this);
}

TRpStandardPreview::~TRpStandardPreview()
{
    qApp->removeEventFilter(this);
}

void TRpStandardPreview::TakeReportSettings()
{
    const TRpPreviewOptions options = report_->PreviewOptions();
    stayOnTop_ = options.PrevFormStyle == TPreviewFormStyle::fsStayOnTop;
    if (stayOnTop_)
        setWindowFlag(Qt::WindowStaysOnTopHint);
    resize(options.PreviewWidth < 1 ? 500 : options.PreviewWidth,
           options.PreviewHeight < 1 ? 500 : options.PreviewHeight);
    showThumbs_ = options.PrevShowThumbs;
    showSearch_ = options.PrevShowSearch;
    initialZoom_ = options.PrevInitialZoom;
    initialZoomPercent_ = options.Zoom;
    title_ = report_->ReportTitle();
    printer_->SetTitle(title_);
    orientation_ = report_->PageOrientation();
    maximised_ = options.PreviewInitialState == TPreviewWindowState::wsMaximized;
    if (options.PreviewInitialState == TPreviewWindowState::wsMinimized)
        setWindowState(Qt::WindowMinimized);
    if (!maximised_) {
        savedLeft_ = options.PreviewLeft;
        savedTop_ = options.PreviewTop;
        positioned_ = true;
    }
    static_cast<void>(report_->OnStandPrevEvent(*this, TStandPrevEventType::spOpen, std::string()));
}

void TRpStandardPreview::BuildWindow()
{
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    BuildToolBar();
    layout->addWidget(ToolBar1);
    BuildPanes();
    layout->addWidget(Splitter2, 1);
    BuildStatusBar();
    layout->addWidget(StatusBar);
}

void TRpStandardPreview::BuildToolBar()
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

    const std::pair<const char*, void (TRpStandardPreview::*)()> handlers[] = {
        {"ZoomFit", &TRpStandardPreview::ZoomToFitClick},
        {"ZoomToWidth", &TRpStandardPreview::ZoomToWidthClick},
        {"Zoom100", &TRpStandardPreview::ZoomTo100Click},
        {"FirstPage", &TRpStandardPreview::FirstPageClick},
        {"PreviousPage", &TRpStandardPreview::PrevPageClick},
        {"nextPage", &TRpStandardPreview::NextPageClick},
        {"LastPage", &TRpStandardPreview::LastPageClick},
        {"GotoPageButton", &TRpStandardPreview::GotoPageButtonClick},
        {"FindButton", &TRpStandardPreview::FindButtonClick},
        {"copybutton", &TRpStandardPreview::copybuttonClick},
        {"PrintSetup", &TRpStandardPreview::PrintSetupClick},
        {"Print", &TRpStandardPreview::PrintClick},
        {"LoadReport", &TRpStandardPreview::LoadClick},
        {"SaveReport", &TRpStandardPreview::SaveClick},
        {"CancelButton", &TRpStandardPreview::CancelButtonClick},
    };
    for (const auto& [name, handler] : handlers)
        connect(Command(name), &QAction::triggered, this, [this, handler = handler] { Guarded([&] { (this->*handler)(); }); });
    connect(ExitButton, &QPushButton::clicked, this, &TRpStandardPreview::ExitClick);
}

void TRpStandardPreview::BuildPanes()
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

    RpPreview = new TRpPreview(Splitter2);
    RpPreview->horizontalScrollBar()->setSingleStep(kHorizontalIncrement);
    RpPreview->verticalScrollBar()->setSingleStep(kVerticalIncrement);
    RpPreview->horizontalScrollBar()->setTracking(true);
    RpPreview->verticalScrollBar()->setTracking(true);
    Splitter2->addWidget(Tabs);
    Splitter2->addWidget(RpPreview);
    Splitter2->setStretchFactor(1, 1);
    Splitter2->setSizes({kPaneWidth, kDesignWidth - kPaneWidth});

    RpPreview->OnPageAvailable = [this](TRpPreview&, int page) { Guarded([&] { RpPreviewPageAvailable(page); }); };
    RpPreview->OnProgressUpdate = [this](TRpPreview&, int percent) { RpPreviewProgressUpdate(percent); };
    ThumbGrid->OnResize = [this] { UpdateThumbMetrics(); };
    connect(ThumbGrid->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this](const QModelIndex& current) { Guarded([&] { ThumbGridSelectCell(current.row()); }); });
    connect(SearchResultBox, &QListWidget::itemClicked, this, [this] { Guarded([&] { SearchResultBoxClick(); }); });
    connect(SearchResultBox, &QListWidget::itemActivated, this, [this] { Guarded([&] { SearchResultBoxClick(); }); });
}

void TRpStandardPreview::BuildStatusBar()
{
    StatusBar = new QStatusBar(this);
    StatusBar->setObjectName(QStringLiteral("StatusBar"));
    StatusBar->setSizeGripEnabled(false);
    const int widths[3] = {40, 120, 50};
    const QString texts[3] = {tr("0%"), tr("Page"), QString()};
    for (int i = 0; i < 3; ++i) {
        panels_[i] = new QLabel(texts[i], StatusBar);
        panels_[i]->setObjectName(QStringLiteral("StatusPanel%1").arg(i));
        panels_[i]->setTextFormat(Qt::PlainText);
        panels_[i]->setMinimumWidth(widths[i]);
        if (i < 2)
            panels_[i]->setFixedWidth(widths[i]);
        StatusBar->addWidget(panels_[i], i == 2 ? 1 : 0);
    }
    panels_[0]->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
}

void TRpStandardPreview::ShowPanes()
{
    SetThumbRows(1);
    const bool tabs = showThumbs_ || showSearch_;
    Tabs->setVisible(tabs);
    if (tabs && PageCount() > 0)
        SetThumbRows(PageCount());
    Tabs->setTabVisible(Tabs->indexOf(TabThumbs), showThumbs_);
    Command("FindButton")->setVisible(showSearch_);
    Tabs->setTabVisible(Tabs->indexOf(TabSearchResult), showSearch_);
    UpdateThumbMetrics();
}

void TRpStandardPreview::ApplyInitialZoom()
{
    switch (initialZoom_) {
    case TRpZoomState::rpZoomToFit:
        RpPreview->ZoomToFit();
        Command("ZoomFit")->setChecked(true);
        break;
    case TRpZoomState::rpZoomToWidth:
        RpPreview->ZoomToWidth();
        Command("ZoomToWidth")->setChecked(true);
        break;
    default:
        RpPreview->SetZoom(initialZoomPercent_);
        Command("Zoom100")->setChecked(true);
        break;
    }
}

void TRpStandardPreview::UpdateCommands()
{
    const bool finished = !Busy();
    for (const char* name : kFinishedCommands)
        Command(name)->setEnabled(finished);
    Command("CancelButton")->setEnabled(!finished);
}

void TRpStandardPreview::SetThumbRows(int rows)
{
    thumbSyncing_ = true;
    thumbModel_->SetRowCount(rows);
    thumbSyncing_ = false;
}

void TRpStandardPreview::UpdateThumbMetrics()
{
    const TRpThumbMetrics metrics = ComputeThumbMetrics(ThumbGrid->viewport()->width(),
                                                        ThumbGrid->fontMetrics().height(), RpPreview->PageSizeTenths());
    const QSize picture(metrics.width, metrics.height);
    ThumbGrid->setIconSize(picture);
    thumbModel_->SetPictureSize(picture);
}

QLabel& TRpStandardPreview::StatusPanel(int index) const
{
    return *panels_[std::clamp(index, 0, 2)];
}

QAction* TRpStandardPreview::Command(const char* name) const
{
    return findChild<QAction*>(QString::fromLatin1(name), Qt::FindDirectChildrenOnly);
}

bool TRpStandardPreview::Busy() const
{
    return printer_ && printer_->Status() == TRpPrinterStatus::rpsBusy;
}

int TRpStandardPreview::PageCount() const
{
    return printer_ ? printer_->PageCount() : 0;
}

void TRpStandardPreview::UpdateStatusBar()
{
    panels_[1]->setText(tr("Page") + QLatin1Char(' ') + QString::number(RpPreview->PageNumber()) + QLatin1Char(' ') +
                        tr("of") + QLatin1Char(' ') + QString::number(PageCount()));
    panels_[2]->setText(title_);
}

void TRpStandardPreview::ShowPreview()
{
    if (maximised_)
        setWindowState(windowState() | Qt::WindowMaximized);
    show();
    UpdateStatusBar();
}

int TRpStandardPreview::ShowPreviewModal()
{
    if (maximised_)
        setWindowState(windowState() | Qt::WindowMaximized);
    UpdateStatusBar();
    return exec();
}

// ---- Keys, wheel, showing and closing ----

bool TRpStandardPreview::eventFilter(QObject* watched, QEvent* event)
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
    if (widget != this && widget != RpPreview && !RpPreview->isAncestorOf(widget))
        return false;
    const int turn = static_cast<QWheelEvent*>(event)->angleDelta().y();
    if (turn == 0)
        return false;
    Guarded([&] { turn > 0 ? KeyUp() : KeyDown(); });
    return true;
}

void TRpStandardPreview::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    if (positioned_) {
        // Once: a window the user moves stays where it was put.
        positioned_ = false;
        move(savedLeft_, savedTop_);
    } else if (!maximised_ && !report_) {
        if (const QScreen* screen = QGuiApplication::primaryScreen())
            move(screen->availableGeometry().center() - rect().center());
    }
}

void TRpStandardPreview::reject()
{
    close();
}

void TRpStandardPreview::closeEvent(QCloseEvent* event)
{
    // While the document is made, or a print or export started here runs (its messages are
    // pumped, Esc among them), the window stays: it would be freed under the running command.
    if (running_ > 0 || Busy()) {
        event->ignore();
        return;
    }
    if (!closing_) {
        closing_ = true;
        // Normally the report lets go of the printer object here; the preview control forgets it.
        if (printer_)
            printer_->ClosePreview();
    }
    event->accept();
    QDialog::done(QDialog::Rejected);
}

// ---- The factory ----

QWidget* TRpStandardPreviewInterface::Show(TRpPrinter& printer)
{
    auto* window = new TRpStandardPreview(printer);
    window->ShowPreview();
    return window;
}

QWidget* TRpStandardPreviewInterface::ShowModal(TRpPrinter& printer)
{
    auto* window = new TRpStandardPreview(printer);
    const QPointer<TRpStandardPreview> alive(window);
    window->ShowPreviewModal();
    return alive.data();
}

void InitializePreviewUnit()
{
    SetPreviewInterfaceClass([] { return std::make_unique<TRpStandardPreviewInterface>(); });
}

void FinalizePreviewUnit()
{
    SetPreviewInterfaceClass({});
    ReleaseHyperlinkHandlers();
}

}  // namespace report::output
