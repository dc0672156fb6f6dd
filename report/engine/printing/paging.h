// The paging of one report run: the position on the page, columns and pages, the bands put on
// them, and the data loops of the report's controllers that decide which bands print. One object
// per run; while it lives, the report's bands and controls print through it.
#pragma once

#include "report/engine/model/print_run.h"

#include <chrono>
#include <cstdint>
#include <functional>

namespace report::expr {
class TRpEvElement;
}  // namespace report::expr

namespace report::engine {

class TRpController;
class TRpCustomBand;
class TRpCustomController;
class TRpImage;
class TRpReportModel;
enum class TCBPrintOrder : std::uint8_t;

// Where a run starts on the page: in a composite job, where the report before it ended.
struct TRpPagePosition {
    // The next free line, tenths of a millimetre from the top; -1 before page 1.
    std::int32_t y = -1;
    // Pages opened so far.
    std::int32_t pageNumber = 0;
    // 1 .. the page's columns; the last column makes the first band's fit test open a page.
    std::int32_t column = 1;
};

// How the pages of a run go out: the printer object draws them (not owned; it must outlive the
// paging) and, while exporting, the export filter receives them as well (not owned).
struct TRpPagingOutput {
    output::TRpPrinter& printer;
    output::TRpExportFilter* exportFilter = nullptr;
    // False while exporting: the printer object then gets only page 1 opened.
    bool printToDevice = true;
};

class TRpPaging final : public TRpPrintRun {
public:
    // Attached to `report` until it is destroyed; nothing prints before Start.
    TRpPaging(TRpReportModel& report, const TRpPagingOutput& output);
    ~TRpPaging() override;

    // ---- The course of the run ----
    // Starts the run before page 1 in the last column, so the first band's fit test opens the
    // page: the footer room reserved, the position at the left margin.
    void Start();
    // The same at `position` (in a composite job: where the report before ended).
    // `partOfJob`: the column header prints on every report's first page.
    void Start(const TRpPagePosition& position, bool partOfJob);
    // The report's PAGENUMBER and COLUMNNUMBER entries, kept current from now on (null: none).
    void SetNumberEntries(expr::TRpEvElement* page, expr::TRpEvElement* column);
    // The picture control stretched over every page, left out of the page decorations (null:
    // none); not owned.
    void SetBackImage(TRpImage* image) { backImage_ = image; }
    // Called when a page has been opened, and when one is being closed.
    void SetPageEvents(std::function<void()> started, std::function<void()> ending);
    // Runs `controller`'s data loop: a controller with rows (a data set or OnNeedData) prints
    // its header, a detail per row with the groups and sub-levels around it and its footer;
    // one without makes its empty pass when PrintIfEmpty.
    void RunDataLoop(TRpCustomController& controller);
    // The last page: LastPage set, then FinishPage (its footers, unless LastPageFooter is off).
    // `atLeftMargin`: the footers start at the left margin, not where the run stopped.
    void FinishLastPage(bool atLeftMargin);
    // Ends the data loop after the current row; footers and Summary still print.
    void RequestStop() { stopRequested_ = true; }
    // The data loop ends before its next row, without footers.
    void Cancel() { cancelled_ = true; }

    // ---- Position ----
    [[nodiscard]] bool Running() const { return running_; }
    [[nodiscard]] bool Cancelled() const { return cancelled_; }
    [[nodiscard]] TRpPagePosition Position() const { return {currentY_, pageNumber_, currentColumn_}; }
    // The left edge of the current column and the next free line, tenths of a millimetre.
    [[nodiscard]] std::int32_t CurrentX() const { return currentX_; }
    [[nodiscard]] std::int32_t CurrentY() const { return currentY_; }
    [[nodiscard]] std::int32_t CurrentColumn() const { return currentColumn_; }
    [[nodiscard]] std::int32_t PageNumber() const { return pageNumber_; }

    // ---- Pages and columns ----
    // Prints `band` (nothing for null), first sinking an AlignToBottom band to the bottom.
    void OutputBand(TRpCustomBand* band);
    // Room left below CurrentY on the current page; 0 outside the run and before page 1.
    [[nodiscard]] std::int32_t AvailableSpace() const override;
    // The width of one column.
    [[nodiscard]] std::int32_t ColumnWidth() const;
    void StartNewColumn();
    void StartNewPage();
    void FinishPage();
    // Sums the enabled page footers and their enabled child bands into the room kept free for
    // them at the bottom of each page.
    void ReserveFooterSpace();
    // A band's ForceNewColumn / ForceNewPage; false when the request was swallowed.
    bool RequestNewColumn();
    bool RequestNewPage();

    // ---- TRpPrintRun ----
    [[nodiscard]] output::TRpPrinter& Printer() const override { return printer_; }
    [[nodiscard]] bool PrintToDevice() const override { return printToDevice_; }
    [[nodiscard]] output::TRpExportFilter* ExportFilter() const override { return filter_; }

private:
    // ---- Pages (paging.cpp) ----
    // The paper length of the run (the printer object's, in the page's orientation).
    [[nodiscard]] long double RunPaperLength() const;
    void PrintPageDecorations();
    // BackImage's picture stretched over its box on the new page (and to the export filter).
    void PrintBackImage();
    void PaintPageBackground();
    // Prints a band on behalf of the paging: it takes no break of its own.
    void OutputPagingBand(TRpCustomBand* band, bool asPageFooter = false);
    [[nodiscard]] bool OutputByPaging() const { return pagingDepth_ > 0; }

    // ---- Bands (band_print.cpp) ----
    struct BandPrint;
    // Puts `band` on the page at the position; `asPageFooter` prints a page footer's child
    // band as a page footer.
    void PrintBand(TRpCustomBand& band, bool asPageFooter = false);
    // Fit test: may start a new column or page.
    void FitsOnPage(TRpCustomBand& band);
    void AdvanceY(const TRpCustomBand& band);
    void PrintChild(TRpCustomBand& band, TCBPrintOrder side, bool asPageFooter);
    void BreakBefore(BandPrint& print);
    void PaintBackground(BandPrint& print);
    void FillBackground(const BandPrint& print);
    void PrintBody(BandPrint& print);
    void DrawFrameAndLines(BandPrint& print);

    // ---- Data loops (data_loop.cpp) ----
    // Handles window messages between two rows, no more often than a user could see.
    void ProcessMessagesBetweenRows();
    void PrintEmptyPass(TRpCustomController& controller);
    void RunLevel(TRpController& level);
    void PrintBeforeDetail(const TRpCustomController& controller);
    void PrintAfterDetail(const TRpCustomController& controller);
    [[nodiscard]] bool FetchFirst(TRpController& level, bool& moreData);
    void PrintStart(TRpController& level);
    void FetchNext(TRpController& level, bool& moreData);
    void FinishGroupsOfRow(TRpController& level, bool changed);
    [[nodiscard]] int NextProgress(const TRpController& level, int progress, std::int32_t recordCount) const;
    void PrintLevelFooter(TRpController& level);
    void PostProgress(int progress, int& posted);
    // True when some group changed: the first changed group and every inner one are marked.
    bool CheckGroups(const TRpCustomController& controller);
    // Headers of the changed groups, outer first; footers inner first.
    void PrintGroupHeaders(const TRpCustomController& controller);
    void PrintGroupFooters(const TRpCustomController& controller);
    // After a column or page break: the open groups that ask for it print their header again.
    void ReprintGroupHeaders(const TRpCustomController& controller);

    TRpReportModel& report_;
    output::TRpPrinter& printer_;
    output::TRpExportFilter* filter_;
    bool printToDevice_;
    bool running_ = false;
    bool partOfJob_ = false;
    bool cancelled_ = false;
    // When window messages were last handled between rows.
    std::chrono::steady_clock::time_point messagesHandled_{};
    // A new progress figure is shown at the next row whatever the time.
    bool progressPosted_ = false;
    bool stopRequested_ = false;
    std::int32_t currentX_ = 0;
    std::int32_t currentY_ = -1;
    std::int32_t currentColumn_ = 1;
    std::int32_t columnTop_ = 0;
    std::int32_t pageNumber_ = 0;
    // Height kept free for the page footers at the bottom of each page, and what it was at
    // the start of the run (every page but the last keeps that).
    long double footerReserve_ = 0;
    long double startReserve_ = 0;
    bool lastPage_ = false;
    bool skipForceNewPage_ = false;
    bool skipForceNewColumn_ = false;
    // Set while the band being printed has just broken to a new column or page.
    bool detailBreak_ = false;
    // Above 0 while the paging itself prints a band (a column or page change).
    int pagingDepth_ = 0;
    expr::TRpEvElement* pageEnv_ = nullptr;
    expr::TRpEvElement* columnEnv_ = nullptr;
    TRpImage* backImage_ = nullptr;
    std::function<void()> pageStarted_;
    std::function<void()> pageEnding_;
};

}  // namespace report::engine
