// The standard preview window: its state, opening and closing, and the preview factory.
// The commands are in rp_standard_preview_commands.cpp.
#include "report/output/preview/rp_standard_preview.h"

#include "report/output/printer/rp_printer.h"
#include "report/output/viewer/preview_thumbs.h"
#include "report/output/xml/rpx_viewer.h"

#include <QAction>
#include <QCloseEvent>
#include <QGuiApplication>
#include <QLabel>
#include <QListWidget>
#include <QScreen>
#include <QScrollBar>
#include <QTabWidget>

namespace report::output {
namespace {

constexpr int kHorizontalIncrement = 52;
constexpr int kVerticalIncrement = 43;

// The commands that need a finished document.
constexpr const char* kFinishedCommands[] = {
    "PrintSetup",     "Print",     "SaveReport", "LoadReport",   "FindButton",
    "GotoPageButton", "FirstPage", "nextPage",   "PreviousPage", "LastPage",
};

}  // namespace

TRpStandardPreview::TRpStandardPreview(TRpPrinter& printer)
    : TRpPreviewFrame({40, 120, 50}, new TRpPreview), RpPreview(static_cast<TRpPreview*>(pageArea_)), printer_(&printer)
{
    setObjectName(QStringLiteral("TRpStandardPreview"));
    StatusPanel(0).setText(tr("0%"));
    StatusPanel(0).setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    StatusPanel(1).setText(tr("Page"));
    RpPreview->horizontalScrollBar()->setSingleStep(kHorizontalIncrement);
    RpPreview->verticalScrollBar()->setSingleStep(kVerticalIncrement);
    RpPreview->horizontalScrollBar()->setTracking(true);
    RpPreview->verticalScrollBar()->setTracking(true);
    RpPreview->OnPageAvailable = [this](TRpPreview&, int page) { Guarded([&] { RpPreviewPageAvailable(page); }); };
    RpPreview->OnProgressUpdate = [this](TRpPreview&, int percent) { RpPreviewProgressUpdate(percent); };
    ThumbGrid->OnResize = [this] { UpdateThumbMetrics(); };
    const std::pair<const char*, void (TRpStandardPreview::*)()> handlers[] = {
        {"ZoomFit", &TRpStandardPreview::ZoomToFitClick},
        {"ZoomToWidth", &TRpStandardPreview::ZoomToWidthClick},
        {"Zoom100", &TRpStandardPreview::ZoomTo100Click},
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
        OnCommand(name, [this, handler = handler] { (this->*handler)(); });
    connect(SearchResultBox, &QListWidget::itemClicked, this, [this] { Guarded([&] { SearchResultBoxClick(); }); });
    connect(SearchResultBox, &QListWidget::itemActivated, this, [this] { Guarded([&] { SearchResultBoxClick(); }); });
    Command("CancelButton")->setEnabled(false);

    report_ = qobject_cast<PreviewedReport*>(printer.ParentReport());
    if (report_) {
        TakeReportSettings();
    } else {
        maximised_ = true;
        title_ = printer.Title();
        orientation_ = printer.GetOrientation();
    }
    RpPreview->SetRpPrinter(&printer);
    printer.Settings().SetOrientation(orientation_);
    setWindowTitle(title_.isEmpty() ? tr("Report Preview") : tr("Report Preview : ") + title_);
    thumbModel_->SetPagePainter(RecordedPageThumbnails(printer));
    ShowPanes();
    ApplyInitialZoom();
    UpdateCommands();
}

void TRpStandardPreview::TakeReportSettings()
{
    const TRpPreviewOptions options = report_->PreviewOptions();
    if (options.PrevFormStyle == TPreviewFormStyle::fsStayOnTop)
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

void TRpStandardPreview::UpdateThumbMetrics()
{
    const TRpThumbMetrics metrics = ComputeThumbMetrics(ThumbGrid->viewport()->width(),
                                                        ThumbGrid->fontMetrics().height(), RpPreview->PageSizeTenths());
    const QSize picture(metrics.width, metrics.height);
    ThumbGrid->setIconSize(picture);
    thumbModel_->SetPictureSize(picture);
}

bool TRpStandardPreview::Busy() const { return printer_ && printer_->Status() == TRpPrinterStatus::rpsBusy; }

int TRpStandardPreview::PageCount() const { return printer_ ? printer_->PageCount() : 0; }

int TRpStandardPreview::CurrentPage() const { return RpPreview->PageNumber(); }

void TRpStandardPreview::ShowPage(int n)
{
    RpPreview->SetPageNumber(n);
    UpdateStatusBar();
}

void TRpStandardPreview::UpdateStatusBar()
{
    StatusPanel(1).setText(tr("Page") + QLatin1Char(' ') + QString::number(RpPreview->PageNumber()) + QLatin1Char(' ') +
                           tr("of") + QLatin1Char(' ') + QString::number(PageCount()));
    StatusPanel(2).setText(title_);
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

// ---- Showing and closing ----

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

void TRpStandardPreview::reject() { close(); }

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
    SetXMLPreviewInterfaceClass([] { return std::make_unique<TRpXMLStandardPreviewInterface>(); });
}

void FinalizePreviewUnit()
{
    SetPreviewInterfaceClass({});
    SetXMLPreviewInterfaceClass({});
    ReleaseHyperlinkHandlers();
}

}  // namespace report::output
