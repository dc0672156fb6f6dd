// Data-set rows through the report's data loop: progress by record number, the empty pass,
// groups nested and compared, groups of OnNeedData rows, headers printed again on new pages, a
// group header's forced page.
#include "report/engine/model/controller.h"
#include "report/engine/model/group.h"
#include "report/engine/run/report.h"
#include "report/expr/expr_unit.h"
#include "report/output/printer/rp_printer.h"
#include "tests/report/engine/printing/loop_fixture.h"
#include "tests/support/memory_table.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <set>

namespace enginetest {

using namespace testsupport;
namespace {

using report::engine::TRpBand;
using report::engine::TRpBandType;
using report::engine::TRpGroup;
using report::expr::TRpFieldKind;

class GroupLoopTest : public DataLoopTest {
protected:
    void SetUp() override
    {
        DataLoopTest::SetUp();
        report::expr::InitializeExpressionUnit();
    }
    void TearDown() override
    {
        DataLoopTest::TearDown();
        report::expr::FinalizeExpressionUnit();
    }

    // The print layout fed by `table_` (K1 string, K2 integer), which is registered with it.
    void BuildWithTable(const std::vector<std::pair<std::string, int>>& rows)
    {
        Build();
        table_ = std::make_unique<MemoryTable>(
            "T", std::vector<Column>{{"K1", TRpFieldKind::String}, {"K2", TRpFieldKind::Integer}});
        for (const auto& [k1, k2] : rows)
            table_->AddRow({k1, k2});
        report_->DataSets.Add(*table_);
        report_->Controller().SetDataSet(table_.get());
    }

    // A group on `expression` with a footer band; both log as `name` and `name`F.
    TRpGroup& AddGroup(const std::string& name, const std::string& expression)
    {
        auto& group = Place<TRpGroup>(name, 20);
        group.Expression = expression;
        group.SetFooterBand(&Place<TRpBand>(name + "F", 20, TRpBandType::rbDetail));
        return group;
    }

    // The names of the log lines that are in `names`, in order.
    [[nodiscard]] std::vector<std::string> Only(const std::set<std::string>& names) const
    {
        std::vector<std::string> picked;
        for (const std::string& name : Sequence()) {
            if (names.contains(name))
                picked.push_back(name);
        }
        return picked;
    }

    std::unique_ptr<MemoryTable> table_;
};

TEST_F(GroupLoopTest, DataSetRowsReportProgressByRecordNumber)
{
    BuildWithTable({{"a", 1}, {"b", 2}, {"c", 3}, {"d", 4}, {"e", 5}, {"f", 6}, {"g", 7}, {"h", 8}});
    Run();
    EXPECT_EQ(Prints("DetailBand1").size(), 8u);
    EXPECT_EQ(progress_, (std::vector<int>{12, 25, 37, 50, 62, 75, 87, 100, 100}));
}

TEST_F(GroupLoopTest, EmptyDataSetPrintsOneEmptyPassOnlyWhenAsked)
{
    for (const bool printIfEmpty : {true, false}) {
        SCOPED_TRACE(printIfEmpty);
        log_.clear();
        BuildWithTable({});
        report_->Controller().PrintIfEmpty = printIfEmpty;
        Run();
        const std::size_t once = printIfEmpty ? 1 : 0;
        for (const char* band : {"TitleBand1", "DetailBand1", "SummaryBand1"})
            EXPECT_EQ(Prints(band).size(), once) << band;
        if (!printIfEmpty) {
            EXPECT_EQ(paging_->PageNumber(), 0);
        }
        EXPECT_TRUE(progress_.empty());
    }
}

TEST_F(GroupLoopTest, NestedGroupsCloseInnerFirstAndOpenOuterFirst)
{
    BuildWithTable({{"A", 1}, {"A", 1}, {"A", 2}, {"B", 2}, {"B", 3}});
    AddGroup("G1", "T.K1");
    AddGroup("G2", "T.K2");
    std::vector<std::string> closedK1;
    std::vector<int> closedK2;
    Band("G1F").BeforePrint = [&](report::engine::TRpCustomBand&, bool&) {
        closedK1.push_back(table_->FindField("K1")->AsString());
    };
    Band("G2F").BeforePrint = [&](report::engine::TRpCustomBand&, bool&) {
        closedK2.push_back(table_->FindField("K2")->AsInteger());
    };
    Run();
    const std::vector<std::string> expected{"G1",          "G2",  "DetailBand1", "DetailBand1", "G2F", "G2",
                                            "DetailBand1", "G2F", "G1F",         "G1",          "G2",  "DetailBand1",
                                            "G2F",         "G2",  "DetailBand1", "G2F",         "G1F", "SummaryBand1"};
    EXPECT_EQ(Only({"G1", "G2", "G1F", "G2F", "DetailBand1", "SummaryBand1"}), expected);
    // Each footer sees the last row of the group it closes.
    EXPECT_EQ(closedK1, (std::vector<std::string>{"A", "B"}));
    EXPECT_EQ(closedK2, (std::vector<int>{1, 2, 2, 3}));
}

TEST_F(GroupLoopTest, GroupsOfRowsFromOnNeedDataCloseOnceAtTheEnd)
{
    struct Case {
        const char* name;
        bool pastTheEnd;  // the source moves on before it says there are no more rows
    };
    const Case cases[] = {{"moving past the last row, as the printout does", true}, {"staying on the last row", false}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        log_.clear();
        Build();
        table_ = std::make_unique<MemoryTable>(
            "T", std::vector<Column>{{"K1", TRpFieldKind::String}, {"K2", TRpFieldKind::Integer}});
        for (const auto& [k1, k2] : std::vector<std::pair<std::string, int>>{{"A", 1}, {"A", 2}, {"B", 2}}) {
            table_->AddRow({k1, k2});
        }
        report_->DataSets.Add(*table_);
        AddGroup("G1", "T.K1");
        AddGroup("G2", "T.K2");
        std::size_t next = 0;
        report_->Controller().OnNeedData = [&](report::engine::TRpBasePanel&, bool& more) {
            const std::size_t row = next++;
            more = row < 3;
            if (more || c.pastTheEnd)
                table_->SetRow(row);
        };
        Run();
        const std::vector<std::string> expected{"G1", "G2", "DetailBand1", "G2F", "G2",  "DetailBand1", "G2F", "G1F",
                                                "G1", "G2", "DetailBand1", "G2F", "G1F", "SummaryBand1"};
        EXPECT_EQ(Only({"G1", "G2", "G1F", "G2F", "DetailBand1", "SummaryBand1"}), expected);
    }
}

TEST_F(GroupLoopTest, GroupValuesCompareByKindAndExactValue)
{
    struct Case {
        const char* name;
        TRpFieldKind kind;
        Cell first;
        Cell second;
        const char* expression;
        bool changed;
    };
    const Case cases[] = {
        {"same integer", TRpFieldKind::Integer, std::int32_t{4}, std::int32_t{4}, "T.V", false},
        {"other integer", TRpFieldKind::Integer, std::int32_t{4}, std::int32_t{5}, "T.V", true},
        {"0.1 + 0.2 after 0.3", TRpFieldKind::Float, 0.3, 0.1 + 0.2, "T.V", true},
        {"same float", TRpFieldKind::Float, 0.3, 0.3, "T.V", false},
        {"letter case", TRpFieldKind::String, std::string("a"), std::string("A"), "T.V", true},
        {"same string", TRpFieldKind::String, std::string("a"), std::string("a"), "T.V", false},
        {"other Boolean", TRpFieldKind::Boolean, true, false, "T.V", true},
        {"integer, then the same as a string", TRpFieldKind::Float, 1.0, 2.0, "IF(T.V>1.5, '1', 1)", true},
        {"two errors", TRpFieldKind::Integer, std::int32_t{1}, std::int32_t{2}, "NOSUCHNAME", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Build();
        MemoryTable table("T", {{"V", c.kind}});
        table.AddRow({c.first});
        table.AddRow({c.second});
        report_->DataSets.Add(table);
        report_->DataSetList = report_->DataSets.List();
        auto& group = Place<TRpGroup>("G", 20);
        group.Expression = c.expression;
        group.Prepare();
        table.SetRow(0);
        group.Evaluate();
        EXPECT_TRUE(group.Changed && group.HasValue) << "the first value counts as changed";
        table.SetRow(1);
        group.Evaluate();
        EXPECT_EQ(group.Changed, c.changed) << report::expr::ResultToText(group.LastValue);
        group.Unprepare();
        report_.reset();
    }
}

TEST_F(GroupLoopTest, HeaderIsNotPrintedAgainWhileAnInnerGroupChanges)
{
    std::vector<std::pair<std::string, int>> rows;
    for (int row = 0; row < 250; ++row)
        rows.emplace_back("A", row);
    BuildWithTable(rows);
    AddGroup("G1", "T.K1").ReprintOnNewPage = true;
    AddGroup("G2", "T.K2");
    Run();
    ASSERT_GT(paging_->PageNumber(), 1);
    EXPECT_EQ(Prints("G1").size(), 1u);
    EXPECT_EQ(Prints("G2").size(), 250u);
}

TEST_F(GroupLoopTest, OpenGroupPrintsItsHeaderAgainOncePerLaterPage)
{
    for (const bool reprint : {true, false}) {
        SCOPED_TRACE(reprint);
        log_.clear();
        BuildWithTable(std::vector<std::pair<std::string, int>>(250, {"A", 1}));
        AddGroup("G1", "T.K1").ReprintOnNewPage = reprint;
        Run();
        ASSERT_EQ(paging_->PageNumber(), 3);
        const std::vector<std::string> headers = Prints("G1");
        ASSERT_EQ(headers.size(), reprint ? 3u : 1u);
        EXPECT_TRUE(headers[0].starts_with("page 1 col 1")) << headers[0];
        for (std::size_t page = 1; page < headers.size(); ++page) {
            // Below the column header at the top of the first column.
            EXPECT_TRUE(headers[page].starts_with("page " + std::to_string(page + 1) + " col 1 at 100,108"))
                << headers[page];
        }
        EXPECT_EQ(Prints("G1F").size(), 1u);
    }
}

TEST_F(GroupLoopTest, ForcedPageOfAGroupHeaderOnlyWhenTheGroupStarts)
{
    BuildWithTable({{"A", 1}, {"A", 2}, {"B", 3}, {"C", 4}});
    AddGroup("G1", "T.K1").ForceNewPage = true;
    Run();
    // The first forced break of the run is swallowed after the column header.
    const std::vector<std::string> headers = Prints("G1");
    ASSERT_EQ(headers.size(), 3u);
    for (std::size_t i = 0; i < headers.size(); ++i) {
        EXPECT_TRUE(headers[i].starts_with("page " + std::to_string(i + 1) + " ")) << headers[i];
    }

    // Printed again while open, the header stays on its page.
    struct Case {
        bool open;
        int page;
    };
    for (const Case c : {Case{true, 1}, Case{false, 2}}) {
        SCOPED_TRACE(c.open);
        BuildWithTable({});
        auto& group = AddGroup("G1", "T.K1");
        group.ForceNewPage = true;
        StartRun();
        paging_->OutputBand(report_->Bands.Band(4));
        ASSERT_EQ(paging_->PageNumber(), 1);
        group.Open = c.open;
        paging_->OutputBand(&group);
        EXPECT_EQ(paging_->PageNumber(), c.page);
        EndRun();
    }
}

}  // namespace
}  // namespace enginetest
