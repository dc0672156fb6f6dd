// The print layout's row label and places memo printed through the band printing of a run:
// lines break, bands stretch, and what does not fit goes on in the next column or page.
#include "report/engine/controls/label.h"
#include "report/engine/model/band.h"
#include "report/output/canvas/trace_canvas.h"
#include "report/output/pages/page_format.h"
#include "report/output/pages/page_list.h"
#include "report/output/printer/rp_printer.h"
#include "tests/report/engine/printing/loop_fixture.h"
#include "tests/support/program_bands.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <numeric>
#include <optional>
#include <set>
#include <string>
#include <variant>
#include <vector>

namespace enginetest {

using namespace testsupport;
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

class LabelRunTest : public PagingTest {
protected:
    void Build(int places)
    {
        paging_.reset();
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

    // Title, column header, one Detail per row, the Summary with its children, last page, as
    // the data loop prints them (no band of the layout forces a page or column).
    void Run()
    {
        printer_->BeginDoc();
        report::engine::TRpPaging& paging = StartPaging();
        row_->Prepare();
        memo_->Prepare();
        const auto& bands = report_->Bands;
        paging.OutputBand(bands.Band(1));
        paging.OutputBand(bands.Band(3));
        for (std::size_t n = 0; n < rows_.size(); ++n)
            paging.OutputBand(bands.Band(4));
        if (bands.Band(7)->Size.Height > paging.AvailableSpace())
            paging.StartNewColumn();
        paging.OutputBand(bands.Band(7));
        paging.FinishLastPage(true);
        row_->Unprepare();
        memo_->Unprepare();
        printer_->EndDoc();
    }

    // Every text drawn, page by page in drawing order.
    std::vector<Drawn> Texts()
    {
        std::vector<Drawn> texts;
        for (int n = 1; n <= printer_->PageCount(); ++n) {
            const std::optional<report::output::Page> page = printer_->GetRecordedPage(n);
            EXPECT_TRUE(page.has_value());
            if (!page)
                continue;
            report::output::TraceCanvas canvas;
            report::output::ReplayPage(*page, canvas, QRect(0, 0, page->header.pixelWidth, page->header.pixelHeight));
            for (const std::string& line : canvas.Lines()) {
                Drawn d;
                d.page = n;
                char quoted[256] = {};
                if (std::sscanf(line.c_str(), "TextOut %d,%d \"%255[^\"]\"", &d.x, &d.y, quoted) < 3)
                    continue;
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

TEST_F(LabelRunTest, MemoGoesOnInTheNextColumnsAndPages)
{
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
        if (d.text.rfind("Miejsce ", 0) != 0)
            continue;
        places.push_back(d.text);
        columns.insert({d.page, d.x});
    }
    EXPECT_EQ(places, memo_->Lines());
    EXPECT_GE(columns.size(), 3u);

    // Every row's text, broken into lines that come back whole; the rows need two lines each.
    std::string rowText;
    std::size_t rowLines = 0;
    for (const Drawn& d : texts) {
        if (d.text.rfind("Miejsce ", 0) == 0)
            continue;
        rowText += d.text;
        ++rowLines;
    }
    EXPECT_EQ(rowText, std::accumulate(rows_.begin(), rows_.end(), std::string()));
    EXPECT_EQ(rowLines, 2 * rows_.size());
}

// The style field of the font records of a recorded page, in order (tag 3; the field follows
// points, orientation and colour).
std::vector<unsigned> FontStyleFields(const std::string& page)
{
    const auto u16 = [&](std::size_t at) {
        return static_cast<unsigned>(static_cast<unsigned char>(page[at]) | static_cast<unsigned char>(page[at + 1])
                                                                                << 8);
    };
    const auto u32 = [&](std::size_t at) { return u16(at) | u16(at + 2) << 16; };
    std::vector<unsigned> styles;
    for (std::size_t at = u32(8); at + 6 <= page.size(); at += 6 + u32(at + 2)) {
        if (u16(at) == 3 && at + 6 + 14 <= page.size())
            styles.push_back(u16(at + 6 + 12));
    }
    return styles;
}

TEST_F(LabelRunTest, EachFontStyleOfALabelComesBackAlone)
{
    struct Row {
        const char* name;
        bool bold, italic, underline, strikeOut;
        unsigned bit;  // in the page's font record
    };
    const Row rows[] = {
        {"plain", false, false, false, false, 0},     {"bold", true, false, false, false, 1},
        {"italic", false, true, false, false, 2},     {"underline", false, false, true, false, 4},
        {"strike-out", false, false, false, true, 8},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        Build(0);
        report::output::FontSpec font = row_->Font();
        font.bold = row.bold;
        font.italic = row.italic;
        font.underline = row.underline;
        font.strikeOut = row.strikeOut;
        row_->SetFont(font);
        rows_ = {"Jazda"};
        next_ = 0;
        Run();

        const report::output::TRpPageBytes bytes = printer_->PageList().GetPageBytes(1);
        ASSERT_TRUE(bytes.ok()) << bytes.error;
        EXPECT_EQ(FontStyleFields(bytes.bytes), std::vector<unsigned>{row.bit});
        const std::optional<report::output::Page> page = printer_->GetRecordedPage(1);
        ASSERT_TRUE(page.has_value());
        std::optional<report::output::FontSpec> written;  // the font the row's text was written in
        std::optional<report::output::FontSpec> current;
        for (const report::output::PageRecord& record : page->records) {
            if (const auto* set = std::get_if<report::output::page_record::SetFont>(&record))
                current = set->font;
            const auto* text = std::get_if<report::output::page_record::Text>(&record);
            if (text != nullptr && text->bytes == "Jazda")
                written = current;
        }
        ASSERT_TRUE(written.has_value());
        EXPECT_EQ(*written, font);
    }
}

}  // namespace
}  // namespace enginetest
