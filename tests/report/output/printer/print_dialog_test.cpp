// The printer dialog component on a fake printer service (no system print dialog is opened here;
// that is done against the printing rig).
#include "report/output/printer/print_dialog.h"

#include "report/output/printer/printer_service.h"
#include "tests/report/output/printer/rp_printer_fixture.h"
#include "tests/support/message_recorder.h"

#include <gtest/gtest.h>

namespace report::output {
namespace {

using testing::RpPrinterTest;
using O = TPrintDialogOption;

using PrintDialogTest = RpPrinterTest;

TEST_F(PrintDialogTest, StartsWithTheComponentsDefaults)
{
    TRpPrintDialog dialog;
    EXPECT_EQ(&dialog.Printer(), &SharedPrinter());
    EXPECT_TRUE(dialog.Ctl3D());
    EXPECT_EQ(dialog.HelpContext(), 0);
    EXPECT_EQ(dialog.Collate(), 0);
    EXPECT_EQ(dialog.Copies(), 1);
    EXPECT_EQ(dialog.FromPage(), 0);
    EXPECT_EQ(dialog.ToPage(), 0);
    EXPECT_EQ(dialog.MinPage(), 0);
    EXPECT_EQ(dialog.MaxPage(), 0);
    EXPECT_TRUE(dialog.Options().Empty());
    EXPECT_FALSE(dialog.PrintToFile());
    EXPECT_EQ(dialog.PrintRange(), TPrintRange::prAllPages);
    EXPECT_EQ(dialog.PrintQuality(), 0);
    EXPECT_EQ(dialog.ColorOption(), 0);
    EXPECT_EQ(dialog.OutputBin(), 0);
    EXPECT_EQ(dialog.PaperSize(), 0);
    EXPECT_FALSE(dialog.Duplex());
    EXPECT_EQ(dialog.Paperwidth(), 0);
    EXPECT_EQ(dialog.Paperlength(), 0);
    EXPECT_EQ(dialog.Orientation(), 1);
    EXPECT_EQ(dialog.DuplexCode(), 0);
    EXPECT_EQ(dialog.DevModeFields(), 0u);
}

TEST_F(PrintDialogTest, CopiesGoToTheSharedPrinterToo)
{
    TRpPrintDialog dialog;
    dialog.SetCopies(4);
    EXPECT_EQ(dialog.Copies(), 4);
    ASSERT_TRUE(SharedPrinter().GetDevMode());
    EXPECT_EQ(SharedPrinter().GetDevMode()->copies, 4);
    // The next document on the shared printer is printed four times.
    SharedPrinter().BeginDoc();
    SharedPrinter().EndDoc();
    EXPECT_EQ(service_->jobs.back()->devMode.copies, 4);
}

TEST_F(PrintDialogTest, WithoutPrintersItAnswersNoAndWarnsWhenAsked)
{
    service_->Remove("Office");
    struct Row {
        const char* name;
        TPrintDialogOptions options;
        std::vector<std::string> warnings;
    };
    const Row rows[] = {
        {"with poWarning", {O::poPageNums, O::poWarning}, {kNoPrinterWarning}},
        {"without", {O::poPageNums}, {}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        testsupport::MessageRecorder boxes;
        TRpPrintDialog dialog;
        int shown = 0;
        dialog.SetOnShow([&](TRpCommonDialog&) { ++shown; });
        dialog.SetOptions(row.options);
        dialog.SetCopies(3);
        EXPECT_FALSE(dialog.Execute());
        EXPECT_EQ(boxes.TextsOf(utility::MessageKind::Warning), row.warnings);
        EXPECT_EQ(boxes.Messages().size(), row.warnings.size());
        EXPECT_EQ(shown, 0);
        EXPECT_EQ(dialog.Copies(), 3);
    }
}

}  // namespace
}  // namespace report::output
