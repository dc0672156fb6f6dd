// The print layout's row icon and title line exported into the PDF document: the values the
// controls hand over become the lines the preview's drawing calls for, each written once.
#include "report/engine/controls/graphic_controls.h"
#include "report/engine/controls/image.h"
#include "report/engine/controls/shape.h"
#include "report/output/export/report_interfaces.h"
#include "report/output/pdf/pdf_document.h"
#include "tests/report/engine/model/printable_fixture.h"
#include "tests/support/memory_table.h"

#include <QBuffer>
#include <QByteArray>

#include <gtest/gtest.h>

#include <string>

namespace report::engine {
namespace {

using enginetest::PrintableTest;

// An A4 run.
class A4Run : public output::ExportedReport {
public:
    long double PageWidth() const override { return 2100; }
    long double PageLength() const override { return 2970; }
};

int Count(const std::string& text, const std::string& part)
{
    int count = 0;
    for (std::size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1))
        ++count;
    return count;
}

TEST_F(PrintableTest, IconAndTitleLineInThePdf)
{
    Start(Device::Record96);
    output::TRpPDFDocumentFilter pdf;
    A4Run run;
    pdf.Report = &run;
    run_->filter = &pdf;
    run_->printToDevice = false;
    pdf.Start(2100, 2970, output::FontSpec{}, printer_->DeviceForExport());
    pdf.NewPage();

    // Height, Left, Top, Width in tenths of a millimetre, as on the print layout.
    TRpShape& line = band_->NewPrintable<TRpShape>();
    line.Size.ReadValues(std::vector<long double>{7.9L, 7.9L, 357.2L, 1926.2L});
    line.SetShape(TRpShapeType::rpsHorLine);
    line.Prepare();
    line.Print(0, 0);
    // An icon of 29 x 32 pixels, its lower half transparent, in the 76.7 x 42.3 box.
    QImage icon(29, 32, QImage::Format_ARGB32);
    icon.fill(qRgba(0, 0, 0, 0));
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 29; ++x)
            icon.setPixel(x, y, qRgb(255, 0, 0));
    TRpImage& image = band_->NewPrintable<TRpImage>();
    image.Size.ReadValues(std::vector<long double>{42.3L, 18.5L, 0, 76.7L});
    image.SetPicture(icon);
    image.Prepare();
    image.Print(0, 400);

    pdf.EndPage();
    pdf.Finish();
    const std::string& bytes = pdf.Bytes();
    // The line: 728 x 3 pixels at (3, 135), its middle 136.5 pixels (102.375 points) from the top
    // of the 841.89-point page; the default white brush adds nothing.
    EXPECT_EQ(Count(bytes, " 1 w\r\n0.00 0.00 0.00 RG\r\n2 739 m 548 739 l s\r\n"), 1) << bytes;
    EXPECT_EQ(Count(bytes, " l s\r\n"), 1);
    // The icon: the 29 x 16 box at (7, 151), its bottom edge 167 pixels from the top.
    EXPECT_EQ(Count(bytes, "\r\nq 21.75 0 0 12.00 5.25 716.64 cm\r\nBI\r\n/Width 29\r\n/Height 16\r\n"), 1) << bytes;
    EXPECT_EQ(Count(bytes, "\r\nEI\r\nQ\r\n"), 1);
}

TEST_F(PrintableTest, RuleAndDataPictureInThePdf)
{
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    QImage picture(20, 10, QImage::Format_RGB32);
    picture.fill(Qt::black);
    ASSERT_TRUE(picture.save(&buffer, "PNG"));
    testsupport::MemoryTable table("PICTURES", {{"PHOTO", expr::TRpFieldKind::Blob}});
    table.AddRow({testsupport::Blob{png.toStdString()}});
    table.AddRow({testsupport::Blob{"garbage"}});
    for (const std::size_t row : {std::size_t{0}, std::size_t{1}}) {
        SCOPED_TRACE(row);
        table.SetRow(row);
        Start(Device::Record96);
        output::TRpPDFDocumentFilter pdf;
        A4Run run;
        pdf.Report = &run;
        run_->filter = &pdf;
        run_->printToDevice = false;
        pdf.Start(2100, 2970, output::FontSpec{}, printer_->DeviceForExport());
        pdf.NewPage();
        TRpHRule& rule = band_->NewPrintable<TRpHRule>();
        rule.Size.ReadValues(std::vector<long double>{10, 0, 0, 1000});
        rule.Prepare();
        rule.Print(0, 0);
        TRpGrDBImage& image = band_->NewPrintable<TRpGrDBImage>();
        image.Size.ReadValues(std::vector<long double>{100, 0, 100, 200});
        image.SetDataSet(&table);
        image.DataField = "PHOTO";
        image.Prepare();
        image.Print(0, 0);
        pdf.EndPage();
        pdf.Finish();
        const std::string& bytes = pdf.Bytes();
        // One stroked line for the rule; the picture only when the blob holds one.
        EXPECT_EQ(Count(bytes, " l s\r\n"), 1) << bytes;
        EXPECT_EQ(Count(bytes, "\r\nBI\r\n"), row == 0 ? 1 : 0) << bytes;
        run_->filter = nullptr;
    }
}

}  // namespace
}  // namespace report::engine
