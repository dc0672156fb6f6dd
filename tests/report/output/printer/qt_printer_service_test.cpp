// The Qt printer service where CUPS answers nothing (this executable's CUPS_SERVER is a socket
// nobody listens on), as on many Linux machines without a printer.
#include "report/output/printer/qt_printer_service.h"

#include "report/output/printer/printer_settings.h"
#include "utility/rp_error.h"

#include <gtest/gtest.h>

namespace report::output {
namespace {

TEST(QtPrinterServiceTest, WithoutAPrinterNothingIsListedAndTheReportKeepsItsPaper)
{
    QtPrinterService service;
    EXPECT_TRUE(service.PrinterNames().isEmpty());
    EXPECT_FALSE(service.DefaultDevMode("anything"));
    EXPECT_FALSE(service.StartJob("anything", DevMode{}, "x", {}));

    SystemPrinter printer(service);
    EXPECT_EQ(printer.Index(), -1);
    EXPECT_THROW(printer.BeginDoc(), ERpError);
    EXPECT_EQ(DefaultPrinterPaperSize(printer), TRpPaperSize::Default);

    TPrinterSettings settings;
    settings.SetPrinter(&printer);
    settings.SetOrientation(1);
    settings.SetPaperSize(TRpPaperSize::Default);
    EXPECT_EQ(settings.Orientation(), 1);
    EXPECT_EQ(settings.GetPaperWidth(), 2100);
    EXPECT_EQ(settings.GetPaperLength(), 2970);
}

}  // namespace
}  // namespace report::output
