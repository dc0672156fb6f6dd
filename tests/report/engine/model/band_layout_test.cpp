#include "report/engine/model/band.h"
#include "report/engine/run/report.h"
#include "tests/support/program_bands.h"

#include <gtest/gtest.h>

#include <numeric>
#include <string>
#include <vector>

namespace report::engine {
namespace {

using testsupport::AddProgramBands;
using testsupport::BandNamed;
using testsupport::MakeProgramReport;

// Tenths of a millimetre of a whole number of pixels at 96 dpi and zoom 100.
long double Tenths(int pixels) { return pixels * 254.0L / 96.0L; }

std::unique_ptr<TRpReport> ProgramReport()
{
    auto report = MakeProgramReport();
    std::vector<int> order(testsupport::kProgramBands.size());
    std::iota(order.begin(), order.end(), 0);
    std::ranges::reverse(order);
    AddProgramBands(*report, order);
    return report;
}

void ExpectWidth(const TRpCustomBand& band, int pixels, long double tenths)
{
    SCOPED_TRACE(band.Name);
    EXPECT_EQ(band.Bounds().width(), pixels);
    EXPECT_NEAR(static_cast<double>(band.Size.Width), static_cast<double>(tenths), 1e-4);
}

TEST(BandLayout, ProgramPage)
{
    auto report = ProgramReport();
    ASSERT_EQ(report->PixelSize, QSize(794, 1123));
    struct Row {
        const char* name;
        int top;
        int height;
        int width;
    };
    // From the top margin (37.8 px) down, at the left margin (37.8 px): the page between the
    // margins is 794 - 37.8 - 22.7 = 733.5, so 734 px; a column half of it.
    const Row rows[] = {
        {"TitleBand1", 38, 138, 734},  {"ChildBand2", 176, 26, 734},   {"ColumnHeaderBand1", 202, 3, 367},
        {"DetailBand1", 205, 16, 367}, {"SummaryBand1", 221, 21, 734}, {"ChildBand1", 242, 19, 734},
        {"ChildBand4", 261, 21, 734},  {"ChildBand5", 282, 19, 734},   {"PageFooterBand1", 301, 16, 734},
        {"ChildBand3", 317, 6, 734},
    };
    for (const Row& r : rows) {
        const TRpCustomBand& band = BandNamed(*report, r.name);
        EXPECT_EQ(band.Bounds(), QRect(38, r.top, r.width, r.height)) << r.name;
        ExpectWidth(band, r.width, Tenths(r.width));
        EXPECT_FALSE(band.LayingOut);
    }
    EXPECT_NEAR(static_cast<double>(BandNamed(*report, "TitleBand1").Size.Width), 1942.0417, 1e-4);
    EXPECT_NEAR(static_cast<double>(BandNamed(*report, "DetailBand1").Size.Width), 971.0208, 1e-4);
    // The heights stay as stored.
    EXPECT_EQ(BandNamed(*report, "TitleBand1").Size.Height, 365.1L);
}

TEST(BandLayout, ChildrenFollowTheirChainAndOrphansTakeAColumn)
{
    auto report = ProgramReport();
    TRpCustomBand& detail = BandNamed(*report, "DetailBand1");
    detail.SetHasChild(true);
    ASSERT_NE(detail.ChildBand(), nullptr);
    ExpectWidth(*detail.ChildBand(), 367, 971.0208L);
    // The Summary's chain is three deep; the last one is still full width.
    ExpectWidth(BandNamed(*report, "ChildBand5"), 734, 1942.0417L);

    // The Title goes; its child is left with no parent.
    TRpCustomBand& orphan = BandNamed(*report, "ChildBand2");
    report->Bands.SetHasTitle(false);
    EXPECT_EQ(orphan.ParentBand(), nullptr);
    EXPECT_EQ(orphan.BandType(), TRpBandType::rbChild);
    ExpectWidth(orphan, 367, 971.0208L);
    EXPECT_EQ(report->BandList().back(), &orphan);
    // Everything else moved up by the Title's height.
    EXPECT_EQ(BandNamed(*report, "ColumnHeaderBand1").Bounds().top(), 38);
}

TEST(BandLayout, ColumnsAndColumnSpace)
{
    auto report = ProgramReport();
    const TRpCustomBand& detail = BandNamed(*report, "DetailBand1");
    report->Page.SetColumns(3);
    report->Page.SetColumnSpace(5);  // millimetres
    // (734 - 2 x 18.9) / 3 = 232.07
    ExpectWidth(detail, 232, 613.8333L);
    ExpectWidth(BandNamed(*report, "SummaryBand1"), 734, 1942.0417L);
    report->Page.SetColumns(1);
    ExpectWidth(detail, 734, 1942.0417L);
    ExpectWidth(BandNamed(*report, "ColumnHeaderBand1"), 734, 1942.0417L);
    // Margins wider than the paper leave no room rather than a negative width.
    report->Page.SetLeftMargin(150);
    report->Page.SetRightMargin(150);
    EXPECT_EQ(detail.Bounds().width(), 0);
    EXPECT_EQ(detail.Size.Width, 0);
}

TEST(BandLayout, ZoomScalesThePixels)
{
    auto report = ProgramReport();
    report->SetZoom(200);
    const TRpCustomBand& detail = BandNamed(*report, "DetailBand1");
    EXPECT_EQ(detail.Zoom(), 200);
    // 1587 - 75.6 - 45.4 = 1466.1 -> 1466, a column 733; 42.3 tenths are 31.98 px.
    EXPECT_EQ(detail.Bounds(), QRect(76, 76 + 276 + 52 + 6, 733, 32));
    EXPECT_EQ(BandNamed(*report, "TitleBand1").Bounds(), QRect(76, 76, 1466, 276));
    report->SetZoom(100);
    EXPECT_EQ(detail.Bounds(), QRect(38, 205, 367, 16));
    // A band placed later takes the report's zoom.
    report->SetZoom(50);
    TRpBand& added = CreateBand(*report, TRpBandType::rbSummary);
    EXPECT_EQ(added.Zoom(), 50);
}

TEST(BandLayout, SizeChangesMoveTheBandsBelow)
{
    auto report = ProgramReport();
    TRpCustomBand& title = BandNamed(*report, "TitleBand1");
    const TRpCustomBand& child = BandNamed(*report, "ChildBand2");
    title.Size.SetValue(0, 50);  // millimetres: 188.98 px
    EXPECT_EQ(title.Bounds().height(), 189);
    EXPECT_EQ(child.Bounds().top(), 38 + 189);
    EXPECT_EQ(title.Size.Units, TRpUnit::MM);
}

TEST(BandLayout, DesignResizeTakesOnlyTheHeight)
{
    auto report = ProgramReport();
    TRpCustomBand& detail = BandNamed(*report, "DetailBand1");
    report->PageImage = QImage(4, 4, QImage::Format_RGB32);
    report->RepaintPending = false;
    detail.SetBounds(60, 300, 100, 40);
    // The position and width stay; the height becomes the size; the bands below move.
    EXPECT_EQ(detail.Bounds(), QRect(38, 205, 367, 40));
    EXPECT_NEAR(static_cast<double>(detail.Size.Height), static_cast<double>(Tenths(40)), 1e-9);
    EXPECT_EQ(BandNamed(*report, "SummaryBand1").Bounds().top(), 245);
    EXPECT_TRUE(report->PageImage.isNull());
    EXPECT_TRUE(report->RepaintPending);
    EXPECT_EQ(detail.Size.Units, TRpUnit::MM);

    // A move alone is undone.
    report->PageImage = QImage(4, 4, QImage::Format_RGB32);
    detail.SetBounds(0, 0, 367, 40);
    EXPECT_EQ(detail.Bounds(), QRect(38, 205, 367, 40));
    EXPECT_TRUE(report->PageImage.isNull());
}

TEST(BandLayout, UnitsReachEveryBand)
{
    auto report = ProgramReport();
    report->SetUnits(TRpUnit::Inches);
    for (const TRpCustomBand* band : report->BandList())
        EXPECT_EQ(band->Size.Units, TRpUnit::Inches) << band->Name;
    EXPECT_EQ(report->Page.Units, TRpUnit::Inches);
    // Changing the unit moves nothing.
    EXPECT_EQ(BandNamed(*report, "DetailBand1").Bounds(), QRect(38, 205, 367, 16));
}

}  // namespace
}  // namespace report::engine
