// A whole preview run of the print layout whose rows come from a data set: progress by record
// number, groups around the rows, the empty pass.
#include "report/engine/model/group.h"
#include "tests/report/engine/run/run_fixture.h"
#include "tests/support/memory_table.h"

#include <gtest/gtest.h>

namespace enginetest {

using namespace testsupport;
namespace {

using report::engine::TRpBand;
using report::engine::TRpBandType;
using report::engine::TRpGroup;
using report::engine::TRpRunResult;
using report::expr::TRpFieldKind;

class DataSetRunTest : public RunTest {
protected:
    // The print layout over `table_` with `rows` rows whose K column changes every third row.
    void BuildOver(int rows)
    {
        Build();
        table_ = std::make_unique<MemoryTable>("T", std::vector<Column>{{"K", TRpFieldKind::Integer}});
        for (int row = 0; row < rows; ++row)
            table_->AddRow({std::int32_t{row / 3}});
        report_->DataSets.Add(*table_);
        report_->Controller().SetDataSet(table_.get());
    }

    TRpRunResult Preview(ProgressLog& progress)
    {
        report::output::TRpPrinter before;
        before.SetClientWindow(&progress);
        report_->RpPrinter = &before;
        const TRpRunResult result = report_->PreviewReport();
        Flush();
        if (report_->RpPrinter == &before)
            report_->RpPrinter = nullptr;
        return result;
    }

    std::unique_ptr<MemoryTable> table_;
};

TEST_F(DataSetRunTest, EightRowsReportProgressByRecordNumberWithTheirGroups)
{
    BuildOver(8);
    TRpGroup& placed = report_->NewBand<TRpGroup>();
    // A char: GCC 12 at -O3 warns falsely on a one-letter literal here (-Wrestrict, bug 105329).
    placed.Name = 'G';
    placed.Expression = "T.K";
    placed.NewPrintable<FakeBox>("G", log_);
    TRpBand& footer = report::engine::CreateBand(*report_, TRpBandType::rbDetail);
    footer.Name = "GF";
    footer.NewPrintable<FakeBox>("GF", log_);
    placed.SetFooterBand(&footer);
    ProgressLog progress;
    ASSERT_EQ(Preview(progress), TRpRunResult::Done);
    EXPECT_EQ(needData_, 0);
    EXPECT_EQ(Prints("DetailBand1").size(), 8u);
    EXPECT_EQ(progress.progress, (std::vector<int>{12, 25, 37, 50, 62, 75, 87, 100, 100}));
    // Rows 1-3, 4-6, 7-8.
    EXPECT_EQ(Prints("G").size(), 3u);
    EXPECT_EQ(Prints("GF").size(), 3u);
    EXPECT_EQ(Prints("SummaryBand1").size(), 1u);
}

TEST_F(DataSetRunTest, EmptyDataSetPrintsOneEmptyPassWhenAsked)
{
    for (const bool printIfEmpty : {true, false}) {
        SCOPED_TRACE(printIfEmpty);
        log_.clear();
        BuildOver(0);
        report_->Controller().PrintIfEmpty = printIfEmpty;
        ProgressLog progress;
        ASSERT_EQ(Preview(progress), TRpRunResult::Done);
        const std::size_t once = printIfEmpty ? 1 : 0;
        for (const char* band : {"TitleBand1", "DetailBand1", "SummaryBand1"})
            EXPECT_EQ(Prints(band).size(), once) << band;
        EXPECT_EQ(previews_.pages.empty(), !printIfEmpty);
        report_.reset();
    }
}

}  // namespace
}  // namespace enginetest
