// The standard preview window's commands: paging, zoom, search, copy, printing, saving, loading.
#include "report/output/canvas/painter_canvas.h"
#include "report/output/export/export_filter_library.h"
#include "report/output/preview/rp_standard_preview.h"
#include "report/output/preview/save_name.h"
#include "report/output/preview/text_search.h"
#include "report/output/printer/rp_printer.h"
#include "report/output/viewer/preview_thumbs.h"
#include "report/output/viewer/search_dialog.h"
#include "utility/cp1250.h"
#include "utility/dialogi.h"

#include <QAction>
#include <QClipboard>
#include <QCoreApplication>
#include <QDir>
#include <QFileDialog>
#include <QGuiApplication>
#include <QImage>
#include <QInputDialog>
#include <QLabel>
#include <QListWidget>
#include <QPainter>
#include <QScrollBar>

#include <exception>
#include <filesystem>

namespace report::output {
namespace {

// Counts a run started from the window for as long as it lasts.
class RunMark {
public:
    explicit RunMark(int& running) : running_(running) { ++running_; }
    ~RunMark() { --running_; }
    RunMark(const RunMark&) = delete;
    RunMark& operator=(const RunMark&) = delete;

private:
    int& running_;
};

std::filesystem::path PathOf(const QString& name) { return std::filesystem::path(name.toStdU16String()); }

void ShowError(const QString& text) { utility::ErrorBox(utility::QStringToCp1250(text)); }

}  // namespace

bool TRpStandardPreview::Offer(TStandPrevEventType type, const char* name)
{
    return report_ && report_->OnStandPrevEvent(*this, type, name);
}

// ---- Paging and zoom ----

void TRpStandardPreview::LastPageClick()
{
    // While the document is made its last page is not complete yet.
    GoToPage(Busy() ? PageCount() - 1 : PageCount());
}

void TRpStandardPreview::ZoomToFitClick() { RpPreview->ZoomToFit(); }

void TRpStandardPreview::ZoomToWidthClick() { RpPreview->ZoomToWidth(); }

void TRpStandardPreview::ZoomTo100Click()
{
    RpPreview->SetZoom(100);
    RpPreview->UpdateImage();
}

void TRpStandardPreview::GotoPageButtonClick()
{
    QInputDialog box(this);
    box.setObjectName(QStringLiteral("GotoPageBox"));
    box.setInputMode(QInputDialog::TextInput);
    box.setWindowTitle(tr("Select a page from 1 to %1").arg(PageCount()));
    box.setLabelText(tr("Enter page number"));
    box.setTextValue(QString::number(RpPreview->PageNumber()));
    if (box.exec() != QDialog::Accepted)
        return;
    bool number = false;
    const int page = box.textValue().trimmed().toInt(&number);
    GoToPage(number && page >= 1 && page <= PageCount() ? page : 1);
}

// ---- Messages of the run ----

void TRpStandardPreview::RpPreviewPageAvailable(int pageNum)
{
    static_cast<void>(pageNum);
    UpdateStatusBar();
    SetThumbRows(Busy() ? PageCount() - 1 : PageCount());
    ThumbGrid->viewport()->update();
    UpdateCommands();
    if (report_ && report_->PagesInPreview() != 0 && report_->PagesInPreview() == PageCount())
        report_->RequestStop();
}

void TRpStandardPreview::RpPreviewProgressUpdate(int percent)
{
    if (percent >= lastProgress_ + 5) {
        StatusPanel(0).setText(QString::number(percent) + QLatin1Char('%'));
        lastProgress_ = percent;
    }
    if (percent == 0 || percent == 100)
        StatusPanel(0).clear();
}

// ---- Search ----

void TRpStandardPreview::FindButtonClick()
{
    if (!printer_ || Busy())
        return;
    TSearchDlg dialog(this);
    dialog.exec();
    if (dialog.Cancelled())
        return;
    const QString text = dialog.Text();
    SearchResultBox->setEnabled(true);
    SearchResultBox->clear();
    SearchTextLabel->setText(text);
    const int count = PageCount();
    for (int page = 1; page <= count && printer_; ++page) {
        const std::shared_ptr<const Page> recorded = printer_->RecordedPage(page);
        if (recorded && FindTextInMetafile(text, *recorded, dialog.MatchCase())) {
            auto* line = new QListWidgetItem(tr("Page") + QLatin1Char(' ') + QString::number(page), SearchResultBox);
            line->setData(Qt::UserRole, page);
        }
    }
    if (SearchResultBox->count() == 0) {
        SearchResultBox->addItem(tr("No matching text"));
        SearchResultBox->setEnabled(false);
    }
}

void TRpStandardPreview::SearchResultBoxClick()
{
    const QListWidgetItem* line = SearchResultBox->currentItem();
    int page = line ? line->data(Qt::UserRole).toInt() : 0;
    if (page < 1 || page > PageCount())
        page = 1;
    GoToPage(page);
}

// ---- Copy, cancel, close ----

void TRpStandardPreview::copybuttonClick()
{
    if (Offer(TStandPrevEventType::spCopy, "Copy"))
        return;
    const std::shared_ptr<const Page> page = RpPreview->Image().PageMetafile();
    if (!page)
        return;
    QImage picture(std::max(1, ScreenPixels(page->header.widthTenths)),
                   std::max(1, ScreenPixels(page->header.lengthTenths)), QImage::Format_RGB32);
    picture.fill(Qt::white);
    {
        QPainter painter(&picture);
        TRpPrinter* printer = RpPreview->RpPrinter();
        PainterCanvas canvas(painter, kMeasureDpi, printer ? &printer->PageFonts() : nullptr);
        ReplayPage(*page, canvas, picture.rect());
    }
    QGuiApplication::clipboard()->setImage(picture);
}

void TRpStandardPreview::CancelButtonClick()
{
    if (Offer(TStandPrevEventType::spCancel, "Cancel"))
        return;
    if (printer_)
        printer_->Cancel();
    QCoreApplication::processEvents();
}

// ---- Printing ----

void TRpStandardPreview::PrintClick()
{
    if (Offer(TStandPrevEventType::spPrint, "Print") || !printer_)
        return;
    const RunMark mark(running_);
    if (!printer_->ReportFileLoaded() && report_)
        report_->PrintToPrinter();
    else
        printer_->PrintRecordedPages();
}

void TRpStandardPreview::PrintSetupClick()
{
    if (Offer(TStandPrevEventType::spPrintSetup, "PrintSetup") || !printer_)
        return;
    const RunMark mark(running_);
    printer_->Printer().Refresh();
    if (!report_)
        return;
    const std::optional<TRpPrinterSettings> chosen = report_->ShowPrinterSetup();
    if (!chosen || !printer_ || !report_)
        return;
    TRpPrinter& printer = *printer_;
    printer.SetPrinterIndex(report_->PrinterSettings().PrinterIndex);
    // The printer object takes the set-up's answer; its other choices stay.
    TRpPrinterSettings shown = printer.AppliedSettings();
    TakePrinterSetup(shown, *chosen);
    printer.ApplySettings(shown);
    if (printer.ReportFileLoaded())
        return;
    TRpPrinterSettings kept = report_->PrinterSettings();
    TakePrinterSetup(kept, *chosen);
    kept.PrinterIndex = chosen->PrinterIndex;
    kept.UseStandardprinter = chosen->UseStandardprinter;
    kept.CustomPaperCode = chosen->CustomPaperCode;
    kept.UseCustomPaperCode = chosen->UseCustomPaperCode;
    kept.MemoryLimit = chosen->MemoryLimit;
    report_->SetPrinterSettings(kept);
}

// ---- Saving and loading ----

void TRpStandardPreview::SaveClick()
{
    if (Offer(TStandPrevEventType::spSave, "Save") || !printer_)
        return;
    const std::string defaultExtension(
        PrevSaveTypeExtension(report_ ? report_->PreviewOptions().PreviewDefaultSaveType : TPrevSaveType::stRPP));
    const TRpExportFilterLibrary none;
    const TRpExportFilterLibrary& library = ExportFilterLibrary() ? *ExportFilterLibrary() : none;
    std::vector<std::string> filterExtensions;
    for (const TRpExportFilterLibraryEntry& entry : library.Filters())
        filterExtensions.push_back(entry.Extension);
    QFileDialog dialog(this, tr("Save report"));
    dialog.setObjectName(QStringLiteral("SaveDialog"));
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    // No default suffix: a name without an extension takes the chosen line's.
    dialog.setNameFilters(QtNameFilters(defaultExtension + "|*" + defaultExtension + "|" + library.GetFilterString()));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty() || !printer_)
        return;
    const int line = static_cast<int>(dialog.nameFilters().indexOf(dialog.selectedNameFilter())) + 1;
    const TRpSaveTarget target =
        ResolveSaveName(PathOf(dialog.selectedFiles().constFirst()), line, defaultExtension, filterExtensions);
    if (target.extension == "RPP") {
        const RunMark mark(running_);
        std::string error;
        if (!printer_->SaveRecordedDocument(target.fileName, error))
            utility::ErrorBox(error);
        return;
    }
    ExportAs(target.fileName, target.extension);
}

void TRpStandardPreview::ExportAs(const std::filesystem::path& fileName, const std::string& extension)
{
    const TRpExportFilterLibraryEntry* entry =
        ExportFilterLibrary() ? ExportFilterLibrary()->FindFilter(extension) : nullptr;
    if (!entry) {
        ShowError(tr("There is no export filter for files of type .%1").arg(utility::Cp1250ToQString(extension)));
        return;
    }
    // An export runs the report again: pages loaded from a file, or shown without their report,
    // would be replaced by what the report makes now.
    if (!report_ || printer_->ReportFileLoaded()) {
        ShowError(tr("These pages do not come from a run of the report: they can be saved only as a report "
                     "file (.RPP)"));
        return;
    }
    const std::unique_ptr<TRpExportFilter> filter = entry->FilterClass.create(fileName);
    const RunMark mark(running_);
    report_->ExportWithFilter(*filter);
}

void TRpStandardPreview::LoadClick()
{
    if (Offer(TStandPrevEventType::spLoad, "Load") || !printer_)
        return;
    QFileDialog dialog(this, tr("Load report"));
    dialog.setObjectName(QStringLiteral("OpenDialog"));
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    // The name is checked here, so that a missing one gets the window's own message.
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setNameFilters({tr("ZudevAzerov file (*.RPP *.rpp)")});
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty() || !printer_)
        return;
    const QString name = dialog.selectedFiles().constFirst();
    const std::filesystem::path path = PathOf(name);
    std::error_code ignored;
    if (!std::filesystem::is_regular_file(path, ignored)) {
        ShowError(tr("File does not exist"));
        return;
    }
    std::string error;
    // The file is read aside: one that fails leaves the pages on show.
    if (!printer_->LoadRecordedDocument(path, error)) {
        utility::ErrorBox(error);
        return;
    }
    TRpPrinter& printer = *printer_;
    title_ = QDir::toNativeSeparators(name);
    orientation_ = printer.GetOrientation();
    if (report_)
        report_->SetPagePaper(printer.GetPaperSize(), printer.GetOrientation());
    RpPreview->SetPageNumber(1);
    RpPreview->ReloadPage();
    RpPreview->ApplyZoomState();
    thumbModel_->Invalidate();
    UpdateThumbMetrics();
    RpPreviewPageAvailable(1);
    GoToPage(1);
    Command("Print")->setEnabled(true);
    Command("SaveReport")->setEnabled(true);
    Command("SaveReport")->setVisible(true);
}

}  // namespace report::output
