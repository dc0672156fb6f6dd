// The report run: preparing everything, running the data loop, finishing the document, and
// cleaning up whatever happened; the printer object of the report and its messages.
#include "report/engine/controls/image.h"
#include "report/engine/model/report_values.h"
#include "report/engine/printing/paging.h"
#include "report/engine/run/report.h"
#include "report/engine/run/report_window.h"
#include "report/expr/expr_unit.h"
#include "report/output/canvas/measure.h"
#include "report/output/canvas/painter_canvas.h"
#include "report/output/canvas/rounding.h"
#include "report/output/export/export_filter.h"
#include "report/output/pages/page_format.h"
#include "report/output/printer/rp_printer.h"
#include "utility/cp1250.h"
#include "utility/rp_error.h"

#include <QMetaObject>
#include <QPainter>
#include <QScopeGuard>

#include <algorithm>
#include <optional>

namespace report::engine {
namespace {

using output::RoundHalfEvenInt;
using output::TRpPrinter;

// What the computed-text controls read of the report while it runs.
class ReportRunValues final : public TRpReportValues {
public:
    explicit ReportRunValues(TCustomRpReport& report) : report_(report) {}
    [[nodiscard]] int PageNumber() const override { return report_.PageNumber(); }
    [[nodiscard]] std::string ReportTitle() const override { return report_.ReportTitle; }
    [[nodiscard]] std::optional<int> RecordCount() const override { return report_.RunRecordCount(); }
    [[nodiscard]] std::optional<int> RecordNumber() const override { return report_.RunRecordNumber(); }
    [[nodiscard]] expr::TRpDataSetList* DataSetList() override { return &report_.DataSetList; }
    [[nodiscard]] expr::TRpEvEnvironment* Functions() override { return &report_.Functions; }

private:
    TCustomRpReport& report_;
};

bool IsShown(const TRpPrinter& printer) { return printer.PreviewActive() || printer.PreviewForm() != nullptr; }

}  // namespace

// What a run has prepared (the controller, the environments, every control), so that all of it
// is unprepared again and the units come back, whatever happens.
class TCustomRpReport::PreparedRun {
public:
    explicit PreparedRun(TCustomRpReport& report) : report_(report), units_(report.GetUnits()) {}
    PreparedRun(const PreparedRun&) = delete;
    PreparedRun& operator=(const PreparedRun&) = delete;
    ~PreparedRun() = default;

    // Everything of the report prepared for `paging`, which keeps the page and column numbers.
    void Prepare(TRpPaging& paging)
    {
        TCustomRpReport& r = report_;
        r.Controller().Collect();
        global_ = expr::GlobalEnvironment();
        if (global_ != nullptr)
            global_->Prepare();
        r.Functions.SetDatasets(&r.DataSetList);
        r.Functions.Prepare();
        functions_ = true;
        paging.SetNumberEntries(r.Functions.EntryElement("PAGENUMBER"), r.Functions.EntryElement("COLUMNNUMBER"));
        expr::TRpEvEnvironment::SetStringConstant(r.Functions.EntryElement("REPORTTITLE"), r.ReportTitle);
        r.Controller().Prepare();
        controller_ = true;
        for (TRpCustomBand* band : r.OwnedBands()) {
            for (const std::unique_ptr<TRpPrintable>& printable : band->Printables())
                Prepare(*printable);
        }
        for (const std::unique_ptr<TRpPrintable>& printable : r.Printables())
            Prepare(*printable);
    }

    void Undo()
    {
        TCustomRpReport& r = report_;
        r.SetUnits(units_);
        for (TRpPrintable* printable : printables_)
            printable->Unprepare();
        printables_.clear();
        if (controller_)
            r.Controller().Unprepare();
        if (functions_)
            r.Functions.Unprepare();
        if (global_ != nullptr)
            global_->Unprepare();
        controller_ = functions_ = false;
        global_ = nullptr;
    }

private:
    void Prepare(TRpPrintable& printable)
    {
        printables_.push_back(&printable);
        printable.Prepare();
    }

    TCustomRpReport& report_;
    TRpUnit units_;
    std::vector<TRpPrintable*> printables_;
    expr::TRpEvEnvironment* global_ = nullptr;
    bool functions_ = false;
    bool controller_ = false;
};

TRpReportValues* TCustomRpReport::RunValues()
{
    if (available_)
        return nullptr;
    if (!runValues_)
        runValues_ = std::make_unique<ReportRunValues>(*this);
    return runValues_.get();
}

// ---- The run ----

void TCustomRpReport::SaneMargins()
{
    if (Page.Width() - Page.LeftMargin() - Page.RightMargin() < 0) {
        Page.SetLeftMargin(0);
        Page.SetRightMargin(0);
    }
    if (Page.Length() - Page.TopMargin() - Page.BottomMargin() < 0) {
        Page.SetTopMargin(0);
        Page.SetBottomMargin(0);
    }
}

void TCustomRpReport::FindBackImage()
{
    backImage_ = nullptr;
    // An empty name names no control: pictures made in code are often left unnamed.
    if (BackImageControl.empty())
        return;
    for (const std::unique_ptr<TRpPrintable>& printable : Printables()) {
        if (auto* image = dynamic_cast<TRpImage*>(printable.get());
            image != nullptr && image->Name == BackImageControl) {
            backImage_ = image;
        }
    }
}

void TCustomRpReport::GenerateReport(bool partOfJob)
{
    if (!available_)
        return;
    const bool visible = Visible;
    PageImage = QImage();
    SaneMargins();
    available_ = false;
    cancelled_ = false;
    refused_ = false;
    DataSetList = DataSets.List();
    const auto restore = qScopeGuard([&] {
        DataSetList.clear();
        Visible = visible;
        available_ = true;
    });
    FindBackImage();
    bool printReport = true;
    if (BeforePrint)
        BeforePrint(*this, printReport);
    if (!printReport) {
        refused_ = true;
        return;
    }
    RunPrepared(partOfJob);
}

void TCustomRpReport::RunPrepared(bool partOfJob)
{
    if (RpPrinter == nullptr)
        throw ERpError("The report has no printer object");
    TRpPrinter& printer = *RpPrinter;
    PreparedRun prepared(*this);
    // Outlives the preparations: the controls print through it until they are unprepared.
    std::optional<TRpPaging> paging;
    const bool readyBefore = printer.Status() == output::TRpPrinterStatus::rpsReady;
    try {
        SetUnits(TRpUnit::Native);
        StartDocument(partOfJob);
        paging.emplace(*this, TRpPagingOutput{.printer = printer,
                                              .exportFilter = Exporting ? ExportFilter : nullptr,
                                              .printToDevice = PrintToDevice});
        BeginPaging(*paging, partOfJob);
        for (TRpCustomBand* band : OwnedBands())
            band->SetParentReport(this);
        RelinkPrintables();
        prepared.Prepare(*paging);
        RunController();
        FinishRun(*paging, partOfJob);
    } catch (...) {
        try {
            EndPaging();
            prepared.Undo();
            // A failed run never goes to the printer half done; a job ends its own document.
            if (!partOfJob && readyBefore && printer.Status() == output::TRpPrinterStatus::rpsBusy)
                printer.AbortDoc();
        } catch (...) {
            // The first failure is the one to report.
        }
        throw;
    }
    EndPaging();
    prepared.Undo();
    if (cancelled_) {
        printer.AbortDoc();
    } else if (!partOfJob) {
        if (PrintToDevice)
            printer.EndDoc();
        else
            printer.AbortDoc();
    }
}

void TCustomRpReport::BeginPaging(TRpPaging& paging, bool partOfJob)
{
    paging_ = &paging;
    if (cancelled_)
        paging.Cancel();
    paging.SetBackImage(backImage_);
    paging.SetPageEvents(
        [this] {
            if (OnStartPage)
                OnStartPage(*this);
        },
        [this] {
            if (OnEndPage)
                OnEndPage(*this);
        });
    if (!partOfJob) {
        paging.Start();
        return;
    }
    // A job's report goes on where the one before it ended, from its last column.
    paging.Start(TRpPagePosition{.y = position_.y, .pageNumber = position_.pageNumber, .column = Page.Columns()}, true);
}

void TCustomRpReport::EndPaging()
{
    if (paging_ == nullptr)
        return;
    position_ = paging_->Position();
    lastX_ = paging_->CurrentX();
    paging_ = nullptr;
}

void TCustomRpReport::StartDocument(bool partOfJob)
{
    TRpPrinter& printer = *RpPrinter;
    if (!partOfJob) {
        ApplyPrinterSettings();
        printer.SetTitle(utility::Cp1250ToQString(ReportTitle));
        printer.SetCompression(Compression);
        printer.BeginDoc();
    } else {
        Page.SetPaperSize(printer.GetPaperSize());
        Page.SetOrientation(printer.GetOrientation() == 1 ? TPrinterOrientation::poLandscape
                                                          : TPrinterOrientation::poPortrait);
    }
    if (Exporting && ExportFilter != nullptr && !ExportFilter->Active) {
        ExportFilter->Start(RoundHalfEvenInt(NativePage(TRpPage::kWidth)),
                            RoundHalfEvenInt(NativePage(TRpPage::kLength)), Font, printer.DeviceForExport());
    }
}

void TCustomRpReport::FinishRun(TRpPaging& paging, bool partOfJob)
{
    // The last report of a job ends the job's last page.
    if (partOfJob && Tag != 999)
        return;
    const bool cancelled = cancelled_ || (RpPrinter != nullptr && RpPrinter->Cancelled());
    if (partOfJob || !cancelled_)
        paging.FinishLastPage(!partOfJob);
    // A cancelled export is not finished: the filter would write a cut document as whole.
    if (Exporting && ExportFilter != nullptr && !cancelled)
        ExportFilter->Finish();
}

void TCustomRpReport::RunController()
{
    if (paging_ != nullptr)
        paging_->RunDataLoop(Controller());
}

void TRpReport::RunController()
{
    WireBands();
    Controller().OnNeedData = OnNeedData;
    Controller().NeedDataRows = NeedDataRows;
    TCustomRpReport::RunController();
}

std::optional<int> TCustomRpReport::RunRecordCount() const { return std::nullopt; }

std::optional<int> TCustomRpReport::RunRecordNumber() const { return std::nullopt; }

// ---- The printer object ----

void TCustomRpReport::ApplyPrinterSettings()
{
    if (RpPrinter == nullptr)
        return;
    TRpPrinter& printer = *RpPrinter;
    const bool landscape = Page.Orientation() == TPrinterOrientation::poLandscape;
    printer.SetPrinterIndex(PrinterSettings.PrinterIndex);
    printer.Settings().SetPaperSize(Page.PaperSize());
    printer.Settings().SetOrientation(landscape ? 1 : 0);
    if (printer.GetPaperSize() == output::TRpPaperSize::Custom) {
        int width = RoundHalfEvenInt(NativePage(TRpPage::kWidth));
        int length = RoundHalfEvenInt(NativePage(TRpPage::kLength));
        if (landscape)
            std::swap(width, length);
        printer.Settings().SetPaperWidth(width);
        printer.Settings().SetPaperLength(length);
    }
    printer.ApplySettings(PrinterSettings);
    printer.Settings().SetOnApplySettings(OnApplyPrinterSettings);
    printer.Settings().SetOnGetSettings(OnGetPrinterSettings);
}

bool TCustomRpReport::CreateRpPrinter()
{
    // A run queued in the background owns the printer object it was given.
    if (!available_ || backgroundRun_)
        return false;
    output::ClientWindow* client = RpPrinter != nullptr ? RpPrinter->GetClientWindow() : nullptr;
    auto printer = std::make_unique<TRpPrinter>(window_.get());
    if (ownPrinter_) {
        // One still on show stays until its preview closes (message 1028).
        if (IsShown(*ownPrinter_))
            shownPrinters_.push_back(std::move(ownPrinter_));
        else
            TRpPrinter::Release(std::move(ownPrinter_));
    }
    ownPrinter_ = std::move(printer);
    RpPrinter = ownPrinter_.get();
    RpPrinter->SetClientWindow(client);
    RpPrinter->SetAfterPreviewCallback([this](TRpPrinter& sender) { DoAfterPreview(sender); });
    RpPrinter->SetAfterPrintCallback([this](TRpPrinter& sender) { DoAfterPrint(sender); });
    return true;
}

void TCustomRpReport::DropPrinter()
{
    if (!ownPrinter_)
        return;
    if (RpPrinter == ownPrinter_.get())
        RpPrinter = nullptr;
    TRpPrinter::Release(std::move(ownPrinter_));
}

void TCustomRpReport::RestorePrinter(std::unique_ptr<output::TRpPrinter> printer)
{
    if (ownPrinter_)
        TRpPrinter::Release(std::move(ownPrinter_));
    ownPrinter_ = std::move(printer);
}

void TCustomRpReport::ReleaseLater(std::unique_ptr<output::TRpPrinter> printer)
{
    releasing_.push_back(std::move(printer));
    // Freed after the preview's own calls have returned; never under them.
    QMetaObject::invokeMethod(
        window_.get(), [this] { FlushReleasedPrinters(); }, Qt::QueuedConnection);
}

void TCustomRpReport::FlushReleasedPrinters()
{
    std::vector<std::unique_ptr<TRpPrinter>> printers = std::move(releasing_);
    releasing_.clear();
    for (std::unique_ptr<TRpPrinter>& printer : printers)
        TRpPrinter::Release(std::move(printer));
}

void TCustomRpReport::Cancel()
{
    if (available_)
        return;
    cancelled_ = true;
    if (paging_ != nullptr)
        paging_->Cancel();
    if (RpPrinter != nullptr)
        RpPrinter->Cancel();
}

void TCustomRpReport::DoAfterPreview(output::TRpPrinter& sender)
{
    static_cast<void>(sender);
    if (AfterPreview)
        AfterPreview(*this);
}

void TCustomRpReport::DoAfterPrint(output::TRpPrinter& sender)
{
    static_cast<void>(sender);
    if (AfterPrint)
        AfterPrint(*this);
}

// ---- Messages ----

void TCustomRpReport::ClosePreviewMessage(output::TRpPrinter& printer)
{
    const auto shown = std::ranges::find_if(shownPrinters_, [&](const auto& p) { return p.get() == &printer; });
    // The preview of an earlier run, still open, leaves the run under way alone.
    if (!available_ && shown == shownPrinters_.end()) {
        Cancel();
        return;
    }
    if (printer.PreviewActive())
        printer.SetPreviewActive(false);
    if (ownPrinter_.get() == &printer) {
        if (RpPrinter == &printer)
            RpPrinter = nullptr;
        ReleaseLater(std::move(ownPrinter_));
        return;
    }
    if (shown != shownPrinters_.end()) {
        std::unique_ptr<TRpPrinter> closed = std::move(*shown);
        shownPrinters_.erase(shown);
        ReleaseLater(std::move(closed));
    }
}

void TCustomRpReport::FinishedPagesMessage(output::TRpPrinter& printer, int count)
{
    if (count != 1)
        return;
    const std::optional<output::Page> page = printer.GetRecordedPage(1);
    if (!page)
        return;
    QImage image(std::max(1, PixelSize.width()), std::max(1, PixelSize.height()), QImage::Format_RGB32);
    image.fill(Qt::white);
    {
        QPainter painter(&image);
        output::PainterCanvas canvas(painter, output::kMeasureDpi, &printer.PageFonts());
        output::ReplayPage(*page, canvas, image.rect());
    }
    PageImage = image;
    Repaint();
}

}  // namespace report::engine
