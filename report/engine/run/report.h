// The report that runs: its model (model/report_model.h) with the printer object it owns, its
// window towards the printer object and the previews, the entry points that start a run and
// the run itself, which prints through a paging object of its own (printing/paging.h).
#pragma once

#include "report/engine/model/report_model.h"
#include "report/engine/printing/paging.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

namespace report::output {
class TRpExportFilter;
class TRpPrinter;
}  // namespace report::output

namespace report::engine {

class TRpImage;
class TRpReportListJob;
class TRpReportValues;
class TRpReportWindow;

class TCustomRpReport : public TRpReportModel {
public:
    // The page gets `defaultPaperSize()`'s paper, without a source the shared printer's
    // (DefaultPrinterPaperSize); `usMeasure` chooses the page's US or metric defaults.
    explicit TCustomRpReport(const PaperSizeSource& defaultPaperSize = {}, bool usMeasure = UsesUSMeasure());
    ~TCustomRpReport() override;
    TCustomRpReport(const TCustomRpReport&) = delete;
    TCustomRpReport& operator=(const TCustomRpReport&) = delete;

    // False only while a run exports: then only the export filter receives the pages.
    bool PrintToDevice = true;
    // True exactly while ExportFilter is set (see SetExportFilter); not owned.
    bool Exporting = false;
    output::TRpExportFilter* ExportFilter = nullptr;
    // The printer object of the current run or preview: the report's own (see CreateRpPrinter),
    // or a job's while the job runs the report.
    output::TRpPrinter* RpPrinter = nullptr;

    void SetExportFilter(output::TRpExportFilter* filter);

    // The composite job the report belongs to; not owned.
    TRpReportListJob* ReportListJob = nullptr;

    // The run itself. `partOfJob`: the job has begun the document and carries the position.
    // Raises what the events, controls and printer object raise (ERpError), after the run has
    // been cleaned up. Nothing while a run is under way.
    virtual void GenerateReport(bool partOfJob);
    // Records the pages, then shows them in the modal preview.
    TRpRunResult PreviewReport();
    // Runs the report again straight to the printer; the printer object on show is kept.
    TRpRunResult PrintToPrinter();
    // Runs the report into `filter`, which gets Start, the pages and, unless the run was
    // cancelled, Finish.
    TRpRunResult ExportWithFilter(output::TRpExportFilter& filter);
    // The same with `printer` as the run's printer object, as part of a job.
    TRpRunResult ExportWithCurrentPrinter(output::TRpExportFilter& filter, output::TRpPrinter& printer);
    // The printer set-up dialog; Tag becomes 1 when it was cancelled, 0 when accepted.
    bool ShowPrinterSetup();
    // Non-modal preview first, then the pages appear as they are made.
    TRpRunResult PreviewWhileGenerating();
    // The preview shows at once and the run records into it, on this thread (queued).
    TRpRunResult GenerateInBackground(bool modal);
    // True while a run started by GenerateInBackground has not finished.
    [[nodiscard]] bool GeneratingInBackground() const { return backgroundRun_; }
    // A fresh printer object of the report's own; false (nothing changes) during a run. A
    // printer object whose preview still shows is kept until its preview closes.
    bool CreateRpPrinter();
    // Copies the page and the printer choices into RpPrinter.
    void ApplyPrinterSettings();
    // During a run: Cancelled and the printer object's cancel; otherwise nothing.
    void Cancel();
    // During a run: the data loop ends after the current row; footers and Summary still print.
    void RequestStop();
    // Relays installed in the printer object.
    void DoAfterPreview(output::TRpPrinter& sender);
    void DoAfterPrint(output::TRpPrinter& sender);
    // Runs the data loop of the controller.
    virtual void RunController();
    // The record count and number the computed-text controls show; none for this base.
    [[nodiscard]] virtual std::optional<int> RunRecordCount() const;
    [[nodiscard]] virtual std::optional<int> RunRecordNumber() const;
    // Served while a run is under way; null otherwise.
    [[nodiscard]] TRpReportValues* RunValues() override;

    // The report's window towards the printer object and the preview (messages 1025, 1026,
    // 1028, 1029); owned by the report.
    [[nodiscard]] TRpReportWindow& Window() const { return *window_; }
    // Message 1028 for `printer`: during a run Cancel; otherwise the printer object goes.
    void ClosePreviewMessage(output::TRpPrinter& printer);
    // Message 1025: page 1 of `printer` is kept as PageImage when `count` is 1.
    void FinishedPagesMessage(output::TRpPrinter& printer, int count);
    // Printer objects handed back by their previews and freed since.
    void FlushReleasedPrinters();

    // ---- The run under way, or the last one ----
    // False while a run is under way: every entry point then answers Busy.
    [[nodiscard]] bool Available() const { return available_; }
    // True while a run fills pages.
    [[nodiscard]] bool Running() const { return paging_ != nullptr && paging_->Running(); }
    // Set by Cancel: the run ends without its last page and the document is aborted.
    [[nodiscard]] bool Cancelled() const { return cancelled_; }
    // The picture control named by BackImageControl, found at the start of a run; not owned.
    [[nodiscard]] TRpImage* BackImage() const { return backImage_; }
    // The position on the page, tenths of a millimetre: the left edge of the current column,
    // the next free line (-1 before the first page), the column and the pages opened. After
    // a run, where it ended.
    [[nodiscard]] std::int32_t CurrentX() const;
    [[nodiscard]] std::int32_t CurrentY() const;
    [[nodiscard]] std::int32_t CurrentColumn() const;
    [[nodiscard]] std::int32_t PageNumber() const;

    // The paging of the run under way: prints `band` (nothing for null, or outside a run),
    // first sinking an AlignToBottom band to the bottom.
    void OutputBand(TRpCustomBand* band);
    // Room left below the position on the current page; 0 outside a run and before page 1.
    [[nodiscard]] std::int32_t AvailableSpace() const;
    // A new column, a new page, the current page closed; nothing outside a run.
    void StartNewColumn();
    void StartNewPage();
    void FinishPage();
    // In a run: sums the enabled page footers and their enabled child bands into the room kept
    // for them at the bottom of each page.
    void ReserveFooterSpace();

private:
    friend class TRpReportListJob;
    class PreparedRun;

    // The run between BeforePrint and the end of the document.
    void RunPrepared(bool partOfJob);
    // The run's paging from the run's start position; at the end, where it stopped is kept.
    void BeginPaging(TRpPaging& paging, bool partOfJob);
    void EndPaging();
    // BeginDoc (not in a job) and the filter's Start.
    void StartDocument(bool partOfJob);
    // The last page and the filter's Finish.
    void FinishRun(TRpPaging& paging, bool partOfJob);
    void FindBackImage();
    void SaneMargins();
    // Frees the report's own printer object (RpPrinter is cleared when it was that one).
    void DropPrinter();
    // The report's own printer object set aside for a temporary one while it lives.
    class PrinterAside;
    void RestorePrinter(std::unique_ptr<output::TRpPrinter> printer);
    void ReleaseLater(std::unique_ptr<output::TRpPrinter> printer);
    void RunInBackground();

    std::unique_ptr<TRpReportWindow> window_;
    std::unique_ptr<TRpReportValues> runValues_;
    // The report's own printer object, and those set aside while their previews still show.
    std::unique_ptr<output::TRpPrinter> ownPrinter_;
    std::vector<std::unique_ptr<output::TRpPrinter>> shownPrinters_;
    std::vector<std::unique_ptr<output::TRpPrinter>> releasing_;
    bool available_ = true;
    bool cancelled_ = false;
    // BeforePrint refused the last run.
    bool refused_ = false;
    bool backgroundRun_ = false;
    TRpImage* backImage_ = nullptr;
    // The paging of the run under way (null outside a run), and where the last run ended: a
    // job's next report goes on from there.
    TRpPaging* paging_ = nullptr;
    TRpPagePosition position_;
    std::int32_t lastX_ = 0;
};

class TRpReport : public TCustomRpReport {
public:
    explicit TRpReport(const PaperSizeSource& defaultPaperSize = {}, bool usMeasure = UsesUSMeasure());

    [[nodiscard]] TRpController& Controller() const
    {
        return static_cast<TRpController&>(TCustomRpReport::Controller());
    }
    // Detail = Bands entry 4, header = entry 1 (Title), footer = entry 7 (Summary).
    void WireBands() override;

    // The rows of the data loop when no data set is active: called (with the report) once
    // before anything prints and once after each row; `moreData` false ends the rows. Handed
    // to the controller at the start of every run.
    TRpOnNeedDataEvent OnNeedData;
    // How many rows OnNeedData gives, when that is known beforehand (0: not known); handed to
    // the controller with it, for the progress.
    std::int32_t NeedDataRows = 0;

    // The controller's data set; not owned.
    [[nodiscard]] expr::TRpDataSet* DataSet() const { return Controller().DataSet(); }
    void SetDataSet(expr::TRpDataSet* dataSet) { Controller().SetDataSet(dataSet); }
    // The active data set's record count, else 1.
    [[nodiscard]] std::int32_t RecordCount() const;
    // The detail rows printed so far by the data loop.
    [[nodiscard]] std::int32_t RecordNumber() const { return Controller().DetailNumber(); }

    // WireBands, OnNeedData to the controller, then its data loop.
    void RunController() override;
    [[nodiscard]] std::optional<int> RunRecordCount() const override { return RecordCount(); }
    [[nodiscard]] std::optional<int> RunRecordNumber() const override { return RecordNumber(); }
};

}  // namespace report::engine
