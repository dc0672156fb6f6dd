// What levels, groups and sub-details refer to goes away: the references are cleared, and the
// band list and data loop go on without it.
#include "report/engine/model/controller_band.h"
#include "report/engine/model/group.h"
#include "tests/report/engine/printing/loop_fixture.h"
#include "tests/support/memory_table.h"
#include "tests/support/program_bands.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace enginetest {

using namespace testsupport;
namespace {

using report::engine::TRpBand;
using report::engine::TRpBandType;
using report::engine::TRpController;
using report::engine::TRpGroup;
using report::engine::TRpSubDetail;
using report::expr::TRpFieldKind;

class ControllerLinksTest : public DataLoopTest {};

bool Listed(const report::engine::TRpReportModel& report, const std::string& name)
{
    const std::vector<std::string> names = BandNames(report);
    return std::ranges::find(names, name) != names.end();
}

TEST_F(ControllerLinksTest, FreedBandsAreForgottenByEveryoneNamingThem)
{
    Build();
    auto& group = Place<TRpGroup>("G", 20);
    auto& footer = Place<TRpBand>("GF", 20, TRpBandType::rbDetail);
    group.SetFooterBand(&footer);
    EXPECT_EQ(footer.BandType(), TRpBandType::rbGroupFooter);
    auto& master = Place<TRpSubDetail>("M", 20);
    auto& sub = Place<TRpSubDetail>("S", 20);
    ASSERT_TRUE(master.SetMaster(report_.get()));
    ASSERT_TRUE(sub.SetMaster(&master));
    group.SetMaster(&sub);
    sub.Bands.SetHasHeader(true);
    report_->Controller().Collect();
    ASSERT_EQ(report_->Controller().AfterDetail().size(), 1u);
    ASSERT_EQ(sub.Controller().Groups().size(), 1u);
    EXPECT_TRUE(Listed(*report_, "GF"));

    report_->FreeBand(footer);
    EXPECT_EQ(group.FooterBand(), nullptr);
    sub.Bands.SetHasHeader(false);
    EXPECT_EQ(sub.HeaderBand(), nullptr);
    report_->FreeBand(master);
    EXPECT_EQ(sub.Master(), nullptr);
    // The sub-detail lost its level above; the group still belongs to it.
    EXPECT_TRUE(report_->Controller().AfterDetail().empty());
    ASSERT_EQ(sub.Controller().Groups().size(), 1u);
    report_->FreeBand(sub);
    EXPECT_EQ(group.Master(), nullptr);

    int rows = 0;
    report_->Controller().OnNeedData = [&rows](report::engine::TRpBasePanel&, bool& more) { more = ++rows <= 2; };
    Run();
    EXPECT_EQ(Prints("DetailBand1").size(), 2u);
    EXPECT_TRUE(Prints("G").empty());
}

TEST_F(ControllerLinksTest, DestroyedDataSetLeavesItsLevelAndTheReport)
{
    Build();
    auto table = std::make_unique<MemoryTable>("T", std::vector<Column>{{"A", TRpFieldKind::Integer}});
    table->AddRow({std::int32_t{1}});
    report_->DataSets.Add(*table);
    report_->DataSets.Add(*table);
    report_->Controller().SetDataSet(table.get());
    ASSERT_EQ(report_->DataSets.List().size(), 1u);
    // Collecting lists the level's active data set with the report.
    report_->Controller().Collect();
    ASSERT_EQ(report_->DataSetList.size(), 1u);
    table.reset();
    EXPECT_EQ(report_->Controller().DataSet(), nullptr);
    EXPECT_TRUE(report_->DataSets.List().empty());
    EXPECT_TRUE(report_->DataSetList.empty());
    // Without rows or OnNeedData the level makes its empty pass.
    Run();
    EXPECT_EQ(Prints("DetailBand1").size(), 1u);
}

TEST_F(ControllerLinksTest, LevelsPlacedWithTheReportLeaveItEitherWay)
{
    Build();
    auto level = std::make_unique<TRpController>(report_.get(), nullptr);
    level->Parent = nullptr;
    report_->AddController(*level);
    report_->AddController(*level);
    ASSERT_TRUE(level->SetMaster(report_.get()));
    report_->Controller().Collect();
    ASSERT_EQ(report_->Controllers().size(), 1u);
    ASSERT_EQ(report_->Controller().AfterDetail().size(), 1u);
    level.reset();
    EXPECT_TRUE(report_->Controllers().empty());
    EXPECT_TRUE(report_->Controller().AfterDetail().empty());

    // The report going first leaves the level without a report.
    TRpController outliving(report_.get(), nullptr);
    report_->AddController(outliving);
    report_.reset();
    EXPECT_EQ(outliving.ParentReport, nullptr);
    // Run by another report's paging, it prints nothing and reaches for no report.
    Build();
    int rows = 0;
    outliving.OnNeedData = [&rows](report::engine::TRpBasePanel&, bool& more) { more = ++rows <= 2; };
    StartPaging().RunDataLoop(outliving);
    EXPECT_EQ(rows, 0);
    EXPECT_TRUE(log_.empty());
}

}  // namespace
}  // namespace enginetest
