// The print layout's row label and places memo printed through the band printing of a run:
// lines break, bands stretch, and what does not fit goes on in the next column or page.
#include "tests/report/engine/model/printable_fixture.h"
#include "tests/report/engine/model/program_bands.h"

#include "report/engine/model/band.h"
#include "report/engine/controls/label.h"
#include "report/output/pages/page_format.h"
#include "report/output/printer/rp_printer.h"
#include "report/output/canvas/trace_canvas.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <numeric>
#include <set>
#include <string>
#include <vector>

namespace enginetest {
namespace {

using report::engine::TRpCustomBand;
using report::engine::TRpLabel;
using report::engine::TRpMemo;

// A text drawn on a page: where and what.
struct Drawn {
    int page = 0;
    int x = 0;
    int y = 0;
    std::string text;
};

class LabelRunTest : public PrintableTest {
protected:
    void Build(int places) {
        report_ = MakeProgramReport();
        std::vector<int> order(kProgramBands.size());
        std::iota(order.begin(), order.end(), 0);
        AddProgramBands(*report_, order);
        const report::output::FontSpec font{.face = "Arial", .points = 7, .charset = 238};
        TRpCustomBand& detail = BandNamed(*report_, "DetailBand1");
        const long double detailSize[] = {42.3L, 971};
        detail.Size.ReadValues(detailSize);
        row_ = &detail.NewPrintable<TRpLabel>();
        row_->SetAutoSize(false);
        row_->SetAutoStretch(true);
        row_->SetFont(font);
        row_->SetBounds(25, 0, 310, 16);
        detail.BeforePrint = [this](TRpCustomBand&, bool&) { row_->SetCaption(rows_[next_++]); };

        memo_ = &BandNamed(*report_, "ChildBand1").NewPrintable<TRpMemo>();
        memo_->SetAutoSize(false);
        memo_->SetAutoStretch(true);
        memo_->SetFont(font);
        const long double box[] = {45.0L, 5.3L, 0, 955.1L};
        memo_->Size.ReadValues(box);
        std::vector<std::string> lines;
        for (int n = 1; n <= places; ++n) {
            char line[96];
            std::snprintf(line, sizeof line, "Miejsce %03d: 2024-05-%02d Polska, region %d", n, n % 28 + 1, n % 16);
            lines.push_back(line);
        }
        memo_->SetLines(lines);
        printer_ = std::make_unique<report::output::TRpPrinter>();
    }

    // Title, column header, one Detail per row, the Summary with its children, last page.
    void Run() {
        auto& report = *report_;
        printer_->BeginDoc();
        report.RpPrinter = printer_.get();
        report.Running = true;
        report.CurrentY = -1;
        report.PageNumber = 0;
        report.CurrentColumn = report.Page.Columns();
        report.ReserveFooterSpace();
        report.CurrentX = 100;
        row_->Prepare();
        memo_->Prepare();
        report.OutputBand(report.Bands.Band(1));
        report.SkipForceNewPage = true;
        report.OutputBand(report.Bands.Band(3));
        report.SkipForceNewPage = true;
        for (std::size_t n = 0; n < rows_.size(); ++n) report.OutputBand(report.Bands.Band(4));
        if (report.Bands.Band(7)->Size.Height > report.AvailableSpace()) report.StartNewColumn();
        report.OutputBand(report.Bands.Band(7));
        report.CurrentX = 100;
        report.LastPage = true;
        report.FinishPage();
        report.Running = false;
        row_->Unprepare();
        memo_->Unprepare();
        printer_->EndDoc();
    }

    // Every text drawn, page by page in drawing order.
    std::vector<Drawn> Texts() {
        std::vector<Drawn> texts;
        for (int n = 1; n <= printer_->PageCount(); ++n) {
            const std::optional<report::output::Page> page = printer_->GetRecordedPage(n);
            EXPECT_TRUE(page.has_value());
            if (!page) continue;
            report::output::TraceCanvas canvas;
            report::output::ReplayPage(*page, canvas, QRect(0, 0, page->header.pixelWidth, page->header.pixelHeight));
            for (const std::string& line : canvas.Lines()) {
                Drawn d;
                d.page = n;
                char quoted[256] = {};
                if (std::sscanf(line.c_str(), "TextOut %d,%d \"%255[^\"]\"", &d.x, &d.y, quoted) < 3) continue;
                d.text = quoted;
                texts.push_back(d);
            }
        }
        return texts;
    }

    std::vector<std::string> rows_;
    std::size_t next_ = 0;
    TRpLabel* row_ = nullptr;
    TRpMemo* memo_ = nullptr;
};

TEST_F(LabelRunTest, MemoGoesOnInTheNextColumnsAndPages) {
    Build(150);
    for (int n = 0; n < 60; ++n) {
        rows_.push_back("2024-04-" + std::to_string(n % 28 + 10) +
                        " 06:15-14:45 Prowadzenie pojazdu 8:30, praca 1:10, odpoczynek 13:40, wiersz " +
                        std::to_string(n));
    }
    Run();
    const std::vector<Drawn> texts = Texts();

    // Every line of the memo once, in order, spread over more than one column.
    std::vector<std::string> places;
    std::set<std::pair<int, int>> columns;
    for (const Drawn& d : texts) {
        if (d.text.rfind("Miejsce ", 0) != 0) continue;
        places.push_back(d.text);
        columns.insert({d.page, d.x});
    }
    EXPECT_EQ(places, memo_->Lines());
    EXPECT_GE(columns.size(), 3u);

    // Every row's text, broken into lines that come back whole; the rows need two lines each.
    std::string rowText;
    std::size_t rowLines = 0;
    for (const Drawn& d : texts) {
        if (d.text.rfind("Miejsce ", 0) == 0) continue;
        rowText += d.text;
        ++rowLines;
    }
    EXPECT_EQ(rowText, std::accumulate(rows_.begin(), rows_.end(), std::string()));
    EXPECT_EQ(rowLines, 2 * rows_.size());
}

}  // namespace
}  // namespace enginetest
