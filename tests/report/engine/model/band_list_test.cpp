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
using testsupport::BandNames;
using testsupport::kProgramBands;
using testsupport::MakeProgramReport;

const std::vector<std::string> kPrintOrder{"TitleBand1",      "ChildBand2", "ColumnHeaderBand1", "DetailBand1",
                                           "SummaryBand1",    "ChildBand1", "ChildBand4",        "ChildBand5",
                                           "PageFooterBand1", "ChildBand3"};

std::vector<int> InOrder()
{
    std::vector<int> order(kProgramBands.size());
    std::iota(order.begin(), order.end(), 0);
    return order;
}

TEST(BandList, ProgramBandsComeInPrintOrderWhateverTheCreationOrder)
{
    struct Row {
        const char* name;
        std::vector<int> order;
    };
    std::vector<int> reversed = InOrder();
    std::ranges::reverse(reversed);
    const Row rows[] = {
        {"scrambled", {7, 8, 9, 4, 6, 3, 5, 2, 1, 0}},
        {"children before parents", {9, 7, 6, 5, 1, 8, 4, 3, 2, 0}},
        {"reversed", reversed},
        {"print order", InOrder()},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.name);
        auto report = MakeProgramReport();
        AddProgramBands(*report, r.order);
        EXPECT_EQ(BandNames(*report), kPrintOrder);
        const TRpReportBands& bands = report->Bands;
        EXPECT_EQ(bands.Band(1)->Name, "TitleBand1");
        EXPECT_EQ(bands.Band(2), nullptr);
        EXPECT_EQ(bands.Band(3)->Name, "ColumnHeaderBand1");
        EXPECT_EQ(bands.Band(4)->Name, "DetailBand1");
        EXPECT_EQ(bands.Band(5), nullptr);
        EXPECT_EQ(bands.Band(6)->Name, "PageFooterBand1");
        EXPECT_EQ(bands.Band(7)->Name, "SummaryBand1");
        for (int other : {0, 8, -1, 1000})
            EXPECT_EQ(bands.Band(other)->Name, "SummaryBand1") << other;
        EXPECT_TRUE(bands.HasTitle() && bands.HasColumnHeader() && bands.HasDetail() && bands.HasPageFooter() &&
                    bands.HasSummary());
        EXPECT_FALSE(bands.HasPageHeader());
        EXPECT_FALSE(bands.Has(5));
        // The report's controller prints the Title, the Detail and the Summary.
        EXPECT_EQ(report->Controller().Header, bands.Band(1));
        EXPECT_EQ(report->Controller().Detail, bands.Band(4));
        EXPECT_EQ(report->Controller().Footer, bands.Band(7));
        EXPECT_EQ(BandNamed(*report, "ChildBand5").ParentBand(), &BandNamed(*report, "ChildBand4"));
        EXPECT_EQ(BandNamed(*report, "SummaryBand1").ChildBand(), &BandNamed(*report, "ChildBand1"));
        EXPECT_FALSE(BandNamed(*report, "DetailBand1").HasChild());
    }
}

TEST(BandList, BuildingIsOrderedOnlyWhenLoaded)
{
    auto report = MakeProgramReport();
    report->BeginLoading();
    const std::vector<int> order{7, 8, 9, 4, 6, 3, 5, 2, 1, 0};
    AddProgramBands(*report, order);
    // Added as they come, nothing ordered or laid out yet.
    std::vector<std::string> asAdded;
    for (int i : order)
        asAdded.emplace_back(kProgramBands.at(static_cast<std::size_t>(i)).name);
    EXPECT_EQ(BandNames(*report), asAdded);
    EXPECT_EQ(BandNamed(*report, "TitleBand1").Bounds().top(), 0);
    report->Loaded();
    EXPECT_EQ(BandNames(*report), kPrintOrder);
    EXPECT_EQ(BandNamed(*report, "TitleBand1").Bounds(), QRect(38, 38, 734, 138));
}

TEST(BandList, TwoDetailBands)
{
    auto report = MakeProgramReport();
    AddProgramBands(*report, InOrder());
    TRpBand& second = CreateBand(*report, TRpBandType::rbDetail);
    EXPECT_EQ(second.Name, "DetailBand2");
    EXPECT_EQ(report->Bands.Band(4)->Name, "DetailBand1");
    EXPECT_EQ(report->BandList().back(), &second);
    EXPECT_EQ(report->Controller().Detail, report->Bands.Band(4));
    // The first one goes: the other takes its place as entry 4 and as the controller's Detail.
    report->FreeBand(*report->Bands.Band(4));
    EXPECT_EQ(report->Bands.Band(4), &second);
    EXPECT_EQ(report->Controller().Detail, &second);
    EXPECT_EQ(BandNames(*report),
              (std::vector<std::string>{"TitleBand1", "ChildBand2", "ColumnHeaderBand1", "DetailBand2", "SummaryBand1",
                                        "ChildBand1", "ChildBand4", "ChildBand5", "PageFooterBand1", "ChildBand3"}));
}

TEST(BandList, SwitchesFindAndMakeBands)
{
    auto report = MakeProgramReport();
    TRpReportBands& bands = report->Bands;
    bands.SetHasColumnHeader(true);
    EXPECT_EQ(bands.Band(3)->Name, "ColumnHeaderBand1");
    EXPECT_EQ(bands.Band(3)->BandType(), TRpBandType::rbColumnHeader);
    // Setting it again changes nothing.
    bands.SetHasColumnHeader(true);
    EXPECT_EQ(report->BandList().size(), 1u);
    // The name is taken (here by a band of another type): the next number.
    report->FreeBand(*bands.Band(3));
    EXPECT_FALSE(bands.HasColumnHeader());
    CreateBand(*report, TRpBandType::rbDetail).Name = "ColumnHeaderBand1";
    bands.SetHasColumnHeader(true);
    EXPECT_EQ(bands.Band(3)->Name, "ColumnHeaderBand2");

    // A gap is filled.
    CreateBand(*report, TRpBandType::rbTitle).Name = "TitleBand3";
    EXPECT_EQ(bands.Band(1)->Name, "TitleBand3");
    EXPECT_EQ(CreateBand(*report, TRpBandType::rbTitle).Name, "TitleBand1");
    EXPECT_EQ(CreateBand(*report, TRpBandType::rbTitle).Name, "TitleBand2");

    // The lookup ignores Enabled.
    bands.SetHasSummary(true);
    bands.Band(7)->SetEnabled(false);
    EXPECT_TRUE(bands.HasSummary());
    bands.SetHasSummary(false);
    EXPECT_FALSE(bands.HasSummary());
    EXPECT_EQ(report->Controller().Footer, nullptr);

    // Index 5 names no band type: nothing is made.
    const std::size_t count = report->BandList().size();
    bands.SetHas(5, true);
    EXPECT_EQ(report->BandList().size(), count);

    for (auto [set, type] : {std::pair{&TRpReportBands::SetHasTitle, TRpBandType::rbTitle},
                             std::pair{&TRpReportBands::SetHasPageHeader, TRpBandType::rbPageHeader},
                             std::pair{&TRpReportBands::SetHasDetail, TRpBandType::rbDetail},
                             std::pair{&TRpReportBands::SetHasPageFooter, TRpBandType::rbPageFooter}}) {
        TRpReport fresh({}, false);
        (fresh.Bands.*set)(true);
        ASSERT_EQ(fresh.BandList().size(), 1u);
        EXPECT_EQ(fresh.BandList()[0]->BandType(), type);
        EXPECT_EQ(fresh.BandList()[0]->Name, std::string(BandTypeNamePrefix(type)) + "1");
        (fresh.Bands.*set)(false);
        EXPECT_TRUE(fresh.BandList().empty());
    }
}

TEST(BandList, TypeCaptionsAndNamePrefixes)
{
    const std::pair<const char*, const char*> expected[kBandTypeCount] = {
        {"Title", "TitleBand"},
        {"Page Header", "PageHeaderBand"},
        {"Detail", "DetailBand"},
        {"Page Footer", "PageFooterBand"},
        {"Summary", "SummaryBand"},
        {"Group Header", "GroupHeaderBand"},
        {"Group Footer", "GroupFooterBand"},
        {"Sub Detail", "SubDetailBand"},
        {"Column Header", "ColumnHeaderBand"},
        {"Overlay", "OverlayBand"},
        {"Wild", "WildBand"},
        {"Child", "ChildBand"},
    };
    for (int i = 0; i < kBandTypeCount; ++i) {
        const auto type = static_cast<TRpBandType>(i);
        EXPECT_EQ(BandTypeCaption(type), expected[i].first) << i;
        EXPECT_EQ(BandTypeNamePrefix(type), expected[i].second) << i;
        TRpBand band(type);
        EXPECT_EQ(band.Caption(), expected[i].first);
        EXPECT_EQ(band.NamePrefix(), expected[i].second);
    }
    TRpChildBand child;
    EXPECT_EQ(child.BandType(), TRpBandType::rbChild);
    EXPECT_EQ(child.PrintOrder, TCBPrintOrder::cboAfterParent);
    EXPECT_EQ(child.Caption(), "Child");
}

TEST(BandList, NewBandDefaults)
{
    TRpBand band(TRpBandType::rbDetail);
    EXPECT_EQ(band.Color, qRgb(255, 255, 255));
    EXPECT_TRUE(band.Enabled());
    EXPECT_FALSE(band.TransparentBand || band.AlignToBottom || band.ForceNewColumn || band.ForceNewPage ||
                 band.PreCaluculateBandHeight || band.KeepOnOnePage);
    EXPECT_EQ(band.LinkBand(), nullptr);
    EXPECT_EQ(band.ParentBand(), nullptr);
    EXPECT_EQ(band.ParentReport(), nullptr);
    EXPECT_FALSE(band.HasChild());
    EXPECT_EQ(band.Zoom(), 100);
    EXPECT_EQ(band.RulerFontSize, 12);
    EXPECT_EQ(band.Hook(42), 42);
    // Height 20 and width 40 tenths: 8 by 15 pixels.
    EXPECT_EQ(band.Bounds(), QRect(0, 0, 15, 8));

    // The report's font until a font of its own is set.
    TRpReport report({}, false);
    report.Font.points = 12;
    TRpBand& placed = report.NewBand<TRpBand>(TRpBandType::rbDetail);
    EXPECT_TRUE(placed.ParentFont());
    EXPECT_EQ(placed.Font().points, 12);
    placed.SetFont(output::FontSpec{.face = "Arial", .points = 7});
    EXPECT_FALSE(placed.ParentFont());
    EXPECT_EQ(placed.Font().points, 7);
    EXPECT_EQ(placed.Frame.ParentReport, &report);
}

}  // namespace
}  // namespace report::engine
