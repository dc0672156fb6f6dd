// Sub-levels of the report's data loop: sub-details before and after each row, masters that
// would make levels drive themselves, and preparing levels when one of them fails.
#include "report/engine/model/controller_band.h"
#include "report/engine/run/report.h"
#include "tests/report/engine/printing/loop_fixture.h"
#include "tests/support/memory_table.h"
#include "tests/support/program_bands.h"

#include <gtest/gtest.h>

#include <map>
#include <set>
#include <stdexcept>

namespace enginetest {

using namespace testsupport;
namespace {

using report::engine::TRpBasePanel;
using report::engine::TRpController;
using report::engine::TRpCustomBand;
using report::engine::TRpSubDetail;
using report::expr::TRpFieldKind;

class SubDetailTest : public DataLoopTest {
protected:
    // The print layout with `masterRows` rows from OnNeedData and the sub-detail "S" (header
    // "SH", footer "SF") over `subTable_`.
    TRpSubDetail& BuildWithSubDetail(int masterRows, int subRows)
    {
        Build();
        auto& sub = Place<TRpSubDetail>("S", 20);
        EXPECT_TRUE(sub.SetMaster(report_.get()));
        sub.Bands.SetHasHeader(true);
        sub.Bands.SetHasFooter(true);
        Name(*sub.HeaderBand(), "SH");
        Name(*sub.FooterBand(), "SF");
        subTable_ = std::make_unique<MemoryTable>("SUB", std::vector<Column>{{"N", TRpFieldKind::Integer}});
        for (int row = 0; row < subRows; ++row)
            subTable_->AddRow({std::int32_t{row}});
        sub.SetDataSet(subTable_.get());
        int calls = 0;
        report_->Controller().OnNeedData = [calls, masterRows](TRpBasePanel&, bool& more) mutable {
            more = ++calls <= masterRows;
        };
        return sub;
    }

    void Name(TRpCustomBand& band, const std::string& name)
    {
        band.Name = name;
        band.NewPrintable<FakeBox>(name, log_);
    }

    [[nodiscard]] std::vector<std::string> Only(const std::set<std::string>& names,
                                                const std::vector<std::string>& all) const
    {
        std::vector<std::string> picked;
        for (const std::string& name : all) {
            if (names.contains(name))
                picked.push_back(name);
        }
        return picked;
    }

    std::unique_ptr<MemoryTable> subTable_;
};

TEST_F(SubDetailTest, SubDetailPrintsItsRowsBeforeOrAfterEachMasterRow)
{
    struct Case {
        const char* name;
        bool printBefore;
        int subRows;
        bool printIfEmpty;
        std::vector<std::string> perRow;
    };
    const std::vector<Case> cases{
        {"after, two rows", false, 2, true, {"DetailBand1", "SH", "S", "S", "SF"}},
        {"before, two rows", true, 2, true, {"SH", "S", "S", "SF", "DetailBand1"}},
        {"after, empty", false, 0, true, {"DetailBand1", "SH", "S", "SF"}},
        {"after, empty, not printed", false, 0, false, {"DetailBand1"}},
    };
    const std::set<std::string> names{"DetailBand1", "SH", "S", "SF"};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        log_.clear();
        auto& sub = BuildWithSubDetail(2, c.subRows);
        sub.SetPrintBefore(c.printBefore);
        sub.SetPrintIfEmpty(c.printIfEmpty);
        Run();
        std::vector<std::string> expected = c.perRow;
        expected.insert(expected.end(), c.perRow.begin(), c.perRow.end());
        EXPECT_EQ(Only(names, Sequence()), expected);
        // The band list puts the sub-detail's bands on the same side of the Detail band.
        std::vector<std::string> listed = c.printBefore ? std::vector<std::string>{"SH", "S", "SF", "DetailBand1"}
                                                        : std::vector<std::string>{"DetailBand1", "SH", "S", "SF"};
        EXPECT_EQ(Only(names, BandNames(*report_)), listed);
    }
}

TEST_F(SubDetailTest, StopAskedForDuringAMasterRowEndsItsSubLevelsAndRows)
{
    // Asked for while the master row prints (the sub-level starts afterwards) or during the
    // sub-level itself: either way the rows end after the current one, Summary printed.
    for (const char* band : {"DetailBand1", "S"}) {
        SCOPED_TRACE(band);
        log_.clear();
        BuildWithSubDetail(10, 3);
        Band(band).BeforePrint = [this](TRpCustomBand&, bool&) { paging_->RequestStop(); };
        Run();
        EXPECT_EQ(Prints("DetailBand1").size(), 1u);
        EXPECT_EQ(Prints("S").size(), 1u);
        EXPECT_EQ(Prints("SummaryBand1").size(), 1u);
    }
}

TEST_F(SubDetailTest, MasterThatWouldDriveItsOwnLevelIsRefused)
{
    struct Step {
        const char* band;
        const char* master;  // a band name, "report", a plain band "DetailBand1" or "" for none
        bool accepted;
    };
    struct Case {
        const char* name;
        std::vector<Step> steps;
    };
    const std::vector<Case> cases{
        {"itself", {{"X", "X", false}}},
        {"two bands", {{"X", "Y", true}, {"Y", "X", false}}},
        {"three bands", {{"X", "Y", true}, {"Y", "Z", true}, {"Z", "X", false}}},
        {"a band without a level", {{"X", "DetailBand1", false}}},
        {"the report", {{"X", "report", true}, {"Y", "X", true}}},
        {"cleared first", {{"X", "Y", true}, {"X", "", true}, {"Y", "X", true}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Build();
        std::map<std::string, TRpSubDetail*> bands;
        for (const char* name : {"X", "Y", "Z"})
            bands[name] = &Place<TRpSubDetail>(name, 20);
        const auto panel = [&](const std::string& name) -> TRpBasePanel* {
            if (name.empty())
                return nullptr;
            if (name == "report")
                return report_.get();
            if (bands.contains(name))
                return bands[name];
            return &Band(name);
        };
        for (const Step& step : c.steps) {
            TRpSubDetail& band = *bands[step.band];
            TRpBasePanel* before = band.Master();
            EXPECT_EQ(band.SetMaster(panel(step.master)), step.accepted) << step.band << " <- " << step.master;
            EXPECT_EQ(band.Master(), step.accepted ? panel(step.master) : before);
        }
        report_->Controller().Collect();
    }
}

TEST_F(SubDetailTest, LevelsDrivingEachOtherStillEndCollectingAndPrinting)
{
    Build();
    auto& x = Place<TRpSubDetail>("X", 20);
    auto& y = Place<TRpSubDetail>("Y", 20);
    ASSERT_TRUE(x.SetMaster(&y));
    ASSERT_TRUE(y.SetMaster(report_.get()));
    // A level placed with the report, refused while it would close the circle ...
    TRpController loose(report_.get(), &Band("DetailBand1"));
    report_->AddController(loose);
    loose.Parent = report_.get();
    EXPECT_FALSE(loose.SetMaster(&x));
    // ... and closing it anyway once its parent changes afterwards.
    loose.Parent = &Band("DetailBand1");
    ASSERT_TRUE(loose.SetMaster(&x));
    loose.Parent = report_.get();
    for (TRpController* level : {&x.Controller(), &y.Controller(), &loose}) {
        // One row each time the level runs.
        level->OnNeedData = [given = false](TRpBasePanel&, bool& more) mutable {
            more = !given;
            given = !given;
        };
    }
    report_->RebuildBandList();
    int masterRows = 0;
    report_->Controller().OnNeedData = [&masterRows](TRpBasePanel&, bool& more) { more = ++masterRows <= 2; };
    Run();
    EXPECT_EQ(Prints("DetailBand1").size(), 2u);
    EXPECT_EQ(Prints("Y").size(), 2u);
    EXPECT_EQ(Prints("X").size(), 2u);
}

// Counts its preparations; raises where asked.
class CountingController : public TRpController {
public:
    CountingController(report::engine::TCustomRpReport* report, bool failPrepare, bool failUnprepare)
        : TRpController(report), failPrepare_(failPrepare), failUnprepare_(failUnprepare)
    {
        Parent = nullptr;
    }
    void Prepare() override
    {
        if (failPrepare_)
            throw std::runtime_error("prepare");
        TRpController::Prepare();
        ++prepared;
    }
    void Unprepare() override
    {
        ++unprepared;
        TRpController::Unprepare();
        if (failUnprepare_)
            throw std::runtime_error("unprepare");
    }
    int prepared = 0;
    int unprepared = 0;

private:
    bool failPrepare_;
    bool failUnprepare_;
};

TEST_F(SubDetailTest, FailingLevelLeavesNoLevelPrepared)
{
    Build();
    CountingController first(report_.get(), false, true);
    CountingController second(report_.get(), true, false);
    CountingController third(report_.get(), false, false);
    for (CountingController* level : {&first, &second, &third}) {
        report_->AddController(*level);
        ASSERT_TRUE(level->SetMaster(report_.get()));
    }
    report_->Controller().Collect();
    ASSERT_EQ(report_->Controller().AfterDetail().size(), 3u);
    EXPECT_THROW(report_->Controller().Prepare(), std::runtime_error);
    EXPECT_EQ(first.prepared, 1);
    EXPECT_EQ(first.unprepared, 1);
    EXPECT_EQ(third.prepared, 0);

    // Unpreparing goes on past a level that raises, and passes the error on.
    CountingController fourth(report_.get(), false, false);
    ASSERT_TRUE(fourth.SetMaster(report_.get()));
    report_->AddController(fourth);
    report_->RemoveController(second);
    report_->Controller().Collect();
    report_->Controller().Prepare();
    EXPECT_THROW(report_->Controller().Unprepare(), std::runtime_error);
    EXPECT_EQ(third.unprepared, 1);
    EXPECT_EQ(fourth.unprepared, 1);
}

}  // namespace
}  // namespace enginetest
