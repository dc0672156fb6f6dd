#include "tests/report/output/printer/rp_printer_fixture.h"

#include "tests/support/ink_bounds.h"

#include <QCoreApplication>

#include <cmath>

namespace report::output::testing {

using namespace testsupport;

void FakeReport::ClosePreviewMessage(TRpPrinter& printer)
{
    ++closeMessages;
    if (owned.get() == &printer)
        TRpPrinter::Release(std::move(owned));
}

void RpPrinterTest::SetUp()
{
    auto service = std::make_unique<FakePrinterService>();
    service_ = service.get();
    service_->Add("Office", FakePrinterService::A4Printer());
    previous_ = InstallPrinterService(std::move(service));
    folder_ = std::filesystem::temp_directory_path() /
              ("kartovan-printer-" + std::to_string(QCoreApplication::applicationPid()) + "-" +
               ::testing::UnitTest::GetInstance()->current_test_info()->name());
    std::filesystem::remove_all(folder_);
    std::filesystem::create_directories(folder_);
}

void RpPrinterTest::TearDown()
{
    InstallPrinterService(std::move(previous_));
    SetPreviewInterfaceClass({});
    std::error_code ignored;
    std::filesystem::remove_all(folder_, ignored);
}

void RpPrinterTest::UsePrinter(const FakePrinter& printer)
{
    service_->Add("Office", printer);
    SharedPrinter().Refresh();
}

void RpPrinterTest::Run(TRpPrinter& printer, int pages)
{
    printer.BeginDoc();
    for (int page = 1; page <= pages; ++page) {
        printer.NewPage();
        DrawMark(printer, page);
    }
    printer.EndDoc();
}

void RpPrinterTest::DrawMark(TRpPrinter& printer, int page)
{
    Canvas& canvas = *printer.GetCanvas();
    canvas.SetBrush(Brush{qRgb(0, 0, 0), BrushStyle::Solid});
    canvas.FillRect(GdiRect(printer.DeviceX(100.0L * page), printer.DeviceY(200), printer.DeviceX(100.0L * page + 100),
                            printer.DeviceY(300)));
}

int RpPrinterTest::MarkOf(const QImage& picture, int dpi, int offsetPixels)
{
    const QRect ink = InkBounds(picture);
    if (ink.isEmpty())
        return 0;
    return static_cast<int>(std::lround((ink.left() - offsetPixels) * 254.0 / dpi / 100.0));
}

std::filesystem::path RpPrinterTest::SaveReport(const char* name, int pages, int width, int length)
{
    TRpPrinter printer;
    printer.Settings().SetPaperSize(TRpPaperSize::Custom);
    printer.Settings().SetPaperWidth(width);
    printer.Settings().SetPaperLength(length);
    Run(printer, pages);
    const std::filesystem::path file = folder_ / name;
    std::string error;
    EXPECT_TRUE(printer.SaveRecordedDocument(file, error)) << error;
    return file;
}

}  // namespace report::output::testing
