// The report as a model: its page, font, units and zoom, its bands and controllers, its
// properties and events, and the hooks its bands and design view attach to. No printer object
// and no window: the run (run/report.h) adds those, and prints through the paging (printing/).
#pragma once

#include "report/engine/model/band.h"
#include "report/engine/model/base_panel.h"
#include "report/engine/model/controller.h"
#include "report/engine/model/design_colors.h"
#include "report/engine/model/page.h"
#include "report/engine/model/report_bands.h"
#include "report/engine/model/report_events.h"
#include "report/engine/model/text_measure.h"
#include "report/engine/model/units.h"
#include "report/expr/ev_environment.h"
#include "report/expr/rp_dataset.h"
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

namespace report::engine {

class TCustomRpReport;
class TRpPrintRun;
class TRpReportValues;

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
class TRpReportModel : public TRpBasePanel {
public:
    // The page gets `defaultPaperSize()`'s paper, without a source the shared printer's
    // (DefaultPrinterPaperSize); `usMeasure` chooses the page's US or metric defaults.
    explicit TRpReportModel(const PaperSizeSource& defaultPaperSize = {}, bool usMeasure = UsesUSMeasure());
    ~TRpReportModel() override;
    TRpReportModel(const TRpReportModel&) = delete;
    TRpReportModel& operator=(const TRpReportModel&) = delete;

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
    // Options: page 1 gets the page header; the last page gets the page footer.
    bool FirstPageHeader = true;
    bool LastPageFooter = true;
    QRgb BackgroundColor = qRgb(255, 255, 255);
    // Above 0: the data loop stops once the printer object holds more pages than this.
    std::int32_t PagesInPreview = 0;

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
    // A page has been opened; a page is being closed.
    std::function<void(TCustomRpReport&)> OnStartPage;
    std::function<void(TCustomRpReport&)> OnEndPage;

    // ---- Data ----
    // The data sets of a run: the registered ones and the controllers' active ones; not owned.
    expr::TRpDataSetList DataSetList;
    // Data sets placed with the report (a form's data sets); a destroyed one leaves by itself.
    expr::TRpDataSetRegistry DataSets;

    // Width of `text` in `font` on the measuring device plus one pixel; 0 when it cannot be
    // measured. The text controls break their lines by it.
    [[nodiscard]] int TextWidth(const output::FontSpec& font, std::string_view text);
    // TextWidth of a line growing word by word, the measure of its start kept in `sum` (see
    // TRpTextMeasurer::GrownTextWidth).
    [[nodiscard]] int GrownTextWidth(const output::FontSpec& font, std::string_view text,
                                     TRpTextMeasurer::LineSum& sum);
    // Height of one line of `font` on the measuring device; 0 when it cannot be measured.
    [[nodiscard]] int TextHeight(const output::FontSpec& font);
    // Measures with `measurer` from now on (null: the 96-dpi measuring device again).
    void SetMeasurer(std::unique_ptr<TRpTextMeasurer> measurer);
    // How many times SetMeasurer was called: text broken into lines before may break otherwise.
    [[nodiscard]] std::uint64_t MeasurerChanges() const { return measurerChanges_; }

    // `client` is told of every detail row of the report's data loop (its controller's clients).
    void AddSubController(TRpPrintable& client) { Controller().AddClient(client); }
    // What the system data and expression controls read of the run (page number, title, record
    // count and number, data sets, Functions); null while the report keeps none of it. The
    // run serves them while it is under way.
    [[nodiscard]] virtual TRpReportValues* RunValues() { return nullptr; }
    // The run printing the report's pages; null outside a run.
    [[nodiscard]] TRpPrintRun* PrintRun() const { return printRun_; }

    // Page geometry in tenths of a millimetre: the page's value of `index` (TRpPage::Index); 0 for
    // any other index.
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
    T& NewBand(Args&&... args)
    {
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
    [[nodiscard]] const TRpReportModel* PanelReport() const override { return this; }
    void Repaint() override { RepaintPending = true; }
    void DrawRuler(output::Canvas& canvas, TRpUnit units) override;
    // Design view: background, the last recorded page 1, ruler, margins, columns and frame.
    void Paint(output::Canvas& canvas) override;

protected:
    // Replaces the controller (the report's class decides which one runs the data loop).
    void SetController(std::unique_ptr<TRpCustomController> controller) { controller_ = std::move(controller); }
    // The report's end has begun: nothing is rebuilt or laid out from now on.
    void BeginDestroying() { destroying_ = true; }

private:
    friend class TRpPrintRun;

    std::unique_ptr<TRpCustomController> controller_;
    std::vector<TRpCustomController*> controllers_;
    std::unique_ptr<TRpTextMeasurer> measurer_;
    std::uint64_t measurerChanges_ = 0;
    TRpPrintRun* printRun_ = nullptr;
};

}  // namespace report::engine
