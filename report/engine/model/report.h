// The report: page, font, units and zoom, the printer object and export filter of a run, and
// the hooks its bands and design view attach to.
#pragma once

#include "report/engine/model/band.h"
#include "report/engine/model/base_panel.h"
#include "report/engine/model/controller.h"
#include "report/engine/model/design_colors.h"
#include "report/engine/model/page.h"
#include "report/engine/model/report_bands.h"
#include "report/engine/model/report_events.h"
#include "report/expr/ev_environment.h"
#include "report/expr/rp_dataset.h"
#include "report/engine/model/text_measure.h"
#include "report/engine/model/units.h"
#include "report/output/canvas/canvas.h"
#include "report/output/printer/paper_sizes.h"
#include "report/output/printer/printer_settings.h"

#include <QImage>
#include <QRgb>
#include <QSize>

#include <concepts>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace report::output {
class TRpExportFilter;
class TRpPrinter;
}  // namespace report::output

namespace report::expr {
class TRpEvElement;
}  // namespace report::expr

namespace report::engine {

class TRpImage;
class TRpReportListJob;
class TRpReportValues;
class TRpReportWindow;

// The report's printer choices.
struct TRpReportPrinterSettings : output::TRpPrinterSettings {
    // Kept by the page when its orientation changes and by the printer set-up; not published,
    // since a run takes the page's orientation.
    TPrinterOrientation Orientation = TPrinterOrientation::poPortrait;
};

// Gives the default printer's paper; tests inject one so they need no printer.
using PaperSizeSource = std::function<output::TRpPaperSize()>;

// The report owns its bands. A band leaves it through TakeBand or FreeBand, which first clear
// every reference to the band (other bands' LinkBand and ParentBand, the controller's bands)
// and take it out of the band list.
class TCustomRpReport : public TRpBasePanel {
public:
    // The page gets `defaultPaperSize()`'s paper, without a source the shared printer's
    // (DefaultPrinterPaperSize); `usMeasure` chooses the page's US or metric defaults.
    explicit TCustomRpReport(const PaperSizeSource& defaultPaperSize = {}, bool usMeasure = UsesUSMeasure());
    ~TCustomRpReport() override;
    TCustomRpReport(const TCustomRpReport&) = delete;
    TCustomRpReport& operator=(const TCustomRpReport&) = delete;

private:
    // Declared before the page: the page's set-up calls back into the report before the
    // report's own construction has finished.
    bool constructing_ = true;
    bool loading_ = false;
    bool destroying_ = false;
    std::vector<std::unique_ptr<TRpCustomBand>> ownedBands_;
    std::vector<TRpCustomBand*> bandList_;

public:
    // True after a change the design view has not been drawn for yet.
    bool RepaintPending = false;
    // Page 1 of the last recording, shown behind the design view; null when there is none.
    QImage PageImage;
    TRpDesignScheme DesignScheme = HighColorDesignScheme();

    // The pixel size of the paper at the report's zoom (96 dpi); kept by the page.
    QSize PixelSize;
    // The font bands and controls inherit.
    output::FontSpec Font{.face = "Arial", .points = 10};
    TRpReportPrinterSettings PrinterSettings;
    TRpReportPrinterSettings SetupSettings;
    TRpPage Page;

    // False only while a run exports: then only the export filter receives the pages.
    bool PrintToDevice = true;
    // True exactly while ExportFilter is set (see SetExportFilter); not owned.
    bool Exporting = false;
    output::TRpExportFilter* ExportFilter = nullptr;
    // The printer object of the current run or preview: the report's own (see CreateRpPrinter),
    // or a job's while the job runs the report.
    output::TRpPrinter* RpPrinter = nullptr;

    void SetExportFilter(output::TRpExportFilter* filter);

    // ---- Properties of the run ----
    std::string ReportTitle;
    // Name of a picture control placed on the report whose picture is drawn on every page;
    // empty: none.
    std::string BackImageControl;
    // A progress window while printing directly or exporting.
    bool ShowProgress = true;
    bool SnapToGrid = true;
    // Options: recorded pages are compressed.
    bool Compression = false;
    // One pass without data when there is none; held by the controller.
    [[nodiscard]] bool PrintIfEmpty() const { return Controller().PrintIfEmpty; }
    void SetPrintIfEmpty(bool printIfEmpty) { Controller().PrintIfEmpty = printIfEmpty; }
    // In a composite job: the report starts on a new page.
    bool StartNewPageInComposite = false;
    // PreviewReport generates while the preview is already showing (GenerateInBackground).
    bool CreateInBGThread = false;
    std::int32_t Tag = 0;
    bool Visible = true;
    std::vector<std::string> Description;
    // The report's named expressions: PAGENUMBER, COLUMNNUMBER and REPORTTITLE from the start.
    expr::TRpEvEnvironment Functions;
    // The preview window the report asks for.
    output::TPreviewFormStyle PrevFormStyle = output::TPreviewFormStyle::fsNormal;
    output::TPreviewWindowState PreviewInitialState = output::TPreviewWindowState::wsNormal;
    std::int32_t PreviewWidth = 0;  // below 1 reads as 500
    std::int32_t PreviewHeight = 0;
    std::int32_t PreviewLeft = 0;
    std::int32_t PreviewTop = 0;
    bool PrevShowThumbs = true;
    bool PrevShowSearch = true;
    output::TRpZoomState PrevInitialZoom = output::TRpZoomState::rpZoomToFit;
    output::TPrevSaveType PreviewDefaultSaveType = output::TPrevSaveType::stRPP;
    [[nodiscard]] std::int32_t PreviewWidthOrDefault() const { return PreviewWidth < 1 ? 500 : PreviewWidth; }
    [[nodiscard]] std::int32_t PreviewHeightOrDefault() const { return PreviewHeight < 1 ? 500 : PreviewHeight; }

    // ---- Events ----
    TRpReportBeforePrintEvent BeforePrint;
    TRpAfterPrintEvent AfterPrint;
    TRpAfterPreviewEvent AfterPreview;
    // Kept; nothing fires it.
    TRpAfterPrintEvent AfterPrepare;
    TRpPreviewEvent OnPreview;
    TRpStandPrevEvent OnStandPrevEvent;
    TRpPreviewXEvent OnPrevXEvent;
    output::TRpPrinterEvent OnGetPrinterSettings;
    output::TRpPrinterEvent OnApplyPrinterSettings;

    // ---- State of a run ----
    // False while a run is under way: every entry point then answers Busy.
    bool Available = true;
    expr::TRpEvElement* TitleEnv = nullptr;
    // The picture control named by BackImageControl, found at the start of a run; not owned.
    TRpImage* BackImage = nullptr;
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
    // Relays installed in the printer object.
    void DoAfterPreview(output::TRpPrinter& sender);
    void DoAfterPrint(output::TRpPrinter& sender);
    // Runs the data loop of the controller.
    virtual void RunController();
    // The record count and number the computed-text controls show; none for this base.
    [[nodiscard]] virtual std::optional<int> RunRecordCount() const;
    [[nodiscard]] virtual std::optional<int> RunRecordNumber() const;

    // The report's window towards the printer object and the preview (messages 1025, 1026,
    // 1028, 1029); owned by the report.
    [[nodiscard]] TRpReportWindow& Window() const { return *window_; }
    // Message 1028 for `printer`: during a run Cancel; otherwise the printer object goes.
    void ClosePreviewMessage(output::TRpPrinter& printer);
    // Message 1025: page 1 of `printer` is kept as PageImage when `count` is 1.
    void FinishedPagesMessage(output::TRpPrinter& printer, int count);
    // Printer objects handed back by their previews and freed since.
    void FlushReleasedPrinters();

    // Width of `text` in `font` on the measuring device plus one pixel; 0 when it cannot be
    // measured. The text controls break their lines by it.
    [[nodiscard]] int TextWidth(const output::FontSpec& font, std::string_view text);
    // Height of one line of `font` on the measuring device; 0 when it cannot be measured.
    [[nodiscard]] int TextHeight(const output::FontSpec& font);
    // Measures with `measurer` from now on (null: the 96-dpi measuring device again).
    void SetMeasurer(std::unique_ptr<TRpTextMeasurer> measurer);
    // How many times SetMeasurer was called: text broken into lines before may break otherwise.
    [[nodiscard]] std::uint64_t MeasurerChanges() const { return measurerChanges_; }

    // `client` is told of every detail row of the report's data loop (its controller's clients).
    void AddSubController(TRpPrintable& client) { Controller().AddClient(client); }
    // What the system data and expression controls read of the run (page number, title, record
    // count and number, data sets, Functions); null while the report keeps none of it.
    // The report's own serve them while a run is under way.
    [[nodiscard]] virtual TRpReportValues* RunValues();

    // ---- Run state: positions in tenths of a millimetre on the page ----
    // True while a run fills pages; paging requests are ignored otherwise.
    bool Running = false;
    std::int32_t CurrentX = 0;
    // -1 before the first page.
    std::int32_t CurrentY = -1;
    std::int32_t CurrentColumn = 1;
    std::int32_t ColumnTop = 0;
    std::int32_t PageNumber = 0;
    // Height kept free for the page footers at the bottom of each page.
    long double FooterReserve = 0;
    bool LastPage = false;
    bool SkipForceNewPage = false;
    bool SkipForceNewColumn = false;
    // Set while the band being printed has just broken to a new column or page.
    bool DetailBreak = false;
    // Set by Cancel: the run ends without its last page and the document is aborted.
    bool Cancelled = false;
    // Ends the data loop after the current row; footers and Summary still print.
    bool StopRequested = false;
    // Above 0: the data loop stops once the printer object holds more pages than this.
    std::int32_t PagesInPreview = 0;
    // The run is one report of a composite job.
    bool PartOfJob = false;
    // The data sets of the run: the registered ones and the controllers' active ones; not owned.
    expr::TRpDataSetList DataSetList;
    // Data sets placed with the report (a form's data sets); a destroyed one leaves by itself.
    expr::TRpDataSetRegistry DataSets;
    // Options: page 1 gets the page header; the last page gets the page footer.
    bool FirstPageHeader = true;
    bool LastPageFooter = true;
    QRgb BackgroundColor = qRgb(255, 255, 255);
    // The PAGENUMBER and COLUMNNUMBER entries of the report's functions, kept current by the
    // paging; null until a run looks them up. Not owned.
    expr::TRpEvElement* PageEnv = nullptr;
    expr::TRpEvElement* ColumnEnv = nullptr;
    std::function<void(TCustomRpReport&)> OnStartPage;
    std::function<void(TCustomRpReport&)> OnEndPage;

    // Prints `band` (nothing for null), first sinking an AlignToBottom band to the bottom.
    void OutputBand(TRpCustomBand* band);
    // Room left below CurrentY on the current page; 0 before the first page.
    [[nodiscard]] std::int32_t AvailableSpace() const;
    // The width of one column.
    [[nodiscard]] std::int32_t ColumnWidth() const;
    void StartNewColumn();
    void StartNewPage();
    void FinishPage();
    // Sums the enabled page footers and their enabled child bands into FooterReserve.
    void ReserveFooterSpace();
    // A band's ForceNewColumn / ForceNewPage; false when the request was swallowed.
    bool RequestNewColumn();
    bool RequestNewPage();
    void PrintPageDecorations();
    // BackImage's picture stretched over its box on the new page (and to the export filter).
    void PrintBackImage();
    // The paper length of the run (the printer object's, in the page's orientation).
    [[nodiscard]] long double RunPaperLength() const;
    // True while a band is output by the paging itself (a column or page change): such bands
    // take no forced, fit-test or stretch break of their own.
    [[nodiscard]] bool OutputByPaging() const { return pagingDepth_ > 0; }
    // Page geometry in tenths of a millimetre.
    [[nodiscard]] long double NativePage(int index) const;

    // The report's unit is its page's.
    [[nodiscard]] TRpUnit GetUnits() const { return Page.Units; }
    virtual void SetUnits(TRpUnit unit);

    // Accepted from 1 to 300 only; the page, the pixel size and the bands follow.
    void SetZoom(std::int32_t zoom) override;

    // The switches HasTitle .. HasSummary and the band of each.
    TRpReportBands Bands{*this};
    // The data-loop controller; never null.
    [[nodiscard]] TRpCustomController& Controller() const { return *controller_; }

    // Controllers placed with the report besides its own (levels without a band); not owned.
    // A controller leaves when it is destroyed; the report's end leaves them without a report.
    void AddController(TRpCustomController& controller);
    void RemoveController(const TRpCustomController& controller);
    [[nodiscard]] const std::vector<TRpCustomController*>& Controllers() const { return controllers_; }
    // The bands the report owns, in the order they were placed.
    [[nodiscard]] std::vector<TRpCustomBand*> OwnedBands() const;

    // Every band of the report in print order.
    [[nodiscard]] const std::vector<TRpCustomBand*>& BandList() const { return bandList_; }

    // Places `band` on the report, which owns it from now on; gives back the band.
    TRpCustomBand& InsertBand(std::unique_ptr<TRpCustomBand> band);
    // A new band of class T (arguments to its constructor) placed on the report.
    template <std::derived_from<TRpCustomBand> T, class... Args>
    T& NewBand(Args&&... args) {
        return static_cast<T&>(InsertBand(std::make_unique<T>(std::forward<Args>(args)...)));
    }
    // Takes `band` (one of the report's) off the report and hands it to the caller; null when
    // the report does not own it.
    std::unique_ptr<TRpCustomBand> TakeBand(TRpCustomBand& band);
    // Frees `band` (one of the report's); a band the report does not own is left alone.
    void FreeBand(TRpCustomBand& band);

    // Appended to BandList when not in it yet; the list is then rebuilt and laid out.
    void AddBand(TRpCustomBand& band);
    // Deleted from BandList when in it; the list is then rebuilt and laid out.
    void RemoveBand(TRpCustomBand& band);
    // Puts the bands in print order: page headers, Titles, column headers, the controller's
    // bands, page footers, then every other band; each band followed by its child bands.
    void RebuildBandList();
    // Appends `band` and its chain of child bands to `list`; nothing for null, a band being
    // freed or one already in `list`.
    void AddBandAndChildren(TRpCustomBand* band, std::vector<TRpCustomBand*>& list) const;
    // Stacks the bands of BandList from the top margin down at the left margin, each as wide
    // as the page between the margins (Title, page header and footer, Summary, overlay, and
    // their child bands) or as one column, in whole pixels.
    virtual void LayoutBands();
    // Links the controller to its bands; the base links nothing.
    virtual void WireBands() {}

    // Building the report: until Loaded, the band list is neither rebuilt nor laid out.
    void BeginLoading() { loading_ = true; }
    // The end of building: band sizes are applied again, the list rebuilt and laid out.
    void Loaded();
    [[nodiscard]] bool IsLoading() const { return loading_ || constructing_; }
    [[nodiscard]] bool IsDestroying() const { return destroying_; }

    // The names of every band and control of the report, for MakeUniqueName.
    [[nodiscard]] std::vector<std::string> ComponentNames() const;

    [[nodiscard]] QRect ClientRect() const override { return QRect(QPoint(0, 0), PixelSize); }
    [[nodiscard]] const TCustomRpReport* PanelReport() const override { return this; }
    void Repaint() override { RepaintPending = true; }
    void DrawRuler(output::Canvas& canvas, TRpUnit units) override;
    // Design view: background, the last recorded page 1, ruler, margins, columns and frame.
    void Paint(output::Canvas& canvas) override;

protected:
    // Replaces the controller (the report's class decides which one runs the data loop).
    void SetController(std::unique_ptr<TRpCustomController> controller) { controller_ = std::move(controller); }

private:
    // Prints a band on behalf of the paging.
    void OutputPagingBand(TRpCustomBand* band, bool asPageFooter = false);

    class PreparedRun;
    // The run between BeforePrint and the end of the document.
    void RunPrepared(bool partOfJob);
    // BeginDoc (not in a job) and the filter's Start.
    void StartDocument(bool partOfJob);
    // The last page and the filter's Finish.
    void FinishRun(bool partOfJob);
    void FindBackImage();
    void SaneMargins();
    // Frees the report's own printer object (RpPrinter is cleared when it was that one).
    void DropPrinter();
    // Takes back the report's own printer object for a temporary one.
    std::unique_ptr<output::TRpPrinter> SetPrinterAside();
    void RestorePrinter(std::unique_ptr<output::TRpPrinter> printer);
    void ReleaseLater(std::unique_ptr<output::TRpPrinter> printer);
    void RunInBackground();

    std::unique_ptr<TRpCustomController> controller_;
    std::vector<TRpCustomController*> controllers_;
    std::unique_ptr<TRpTextMeasurer> measurer_;
    std::uint64_t measurerChanges_ = 0;
    std::unique_ptr<TRpReportWindow> window_;
    std::unique_ptr<TRpReportValues> runValues_;
    // The report's own printer object, and those set aside while their previews still show.
    std::unique_ptr<output::TRpPrinter> ownPrinter_;
    std::vector<std::unique_ptr<output::TRpPrinter>> shownPrinters_;
    std::vector<std::unique_ptr<output::TRpPrinter>> releasing_;
    // BeforePrint refused the last run.
    bool refused_ = false;
    bool backgroundRun_ = false;
    int pagingDepth_ = 0;
    // The footer reserve at the start of a run, kept for every page but the last.
    long double startReserve_ = 0;
};

class TRpReport : public TCustomRpReport {
public:
    explicit TRpReport(const PaperSizeSource& defaultPaperSize = {}, bool usMeasure = UsesUSMeasure());

    [[nodiscard]] TRpController& Controller() const { return static_cast<TRpController&>(TCustomRpReport::Controller()); }
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
    [[nodiscard]] std::int32_t RecordNumber() const { return Controller().DetailNumber; }

    // WireBands, OnNeedData to the controller, then its data loop.
    void RunController() override;
    [[nodiscard]] std::optional<int> RunRecordCount() const override { return RecordCount(); }
    [[nodiscard]] std::optional<int> RunRecordNumber() const override { return RecordNumber(); }
};

}  // namespace report::engine
