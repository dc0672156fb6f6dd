#include "report/output/export/export_filter.h"

#include "report/output/pdf/pdf_document.h"

#include <gtest/gtest.h>

#include <limits>

namespace report::output {
namespace {

TEST(ExportFilter, BaseAnswersAndLifeCycle)
{
    TRpExportFilter filter("/tmp/out.pdf");
    EXPECT_EQ(filter.FileName, std::filesystem::path("/tmp/out.pdf"));
    EXPECT_EQ(filter.GetDescription(), "Abstract non-working export filter");
    EXPECT_EQ(filter.GetExtension(), "");
    EXPECT_EQ(filter.GetFilterName(), "Abstract filter");
    EXPECT_FALSE(filter.GetVendorName().empty());
    EXPECT_FALSE(filter.GetStreaming());
    EXPECT_FALSE(filter.IsPDFDocumentFilter());
    // Only the PDF document draws rules and PDF shapes; the report asks through the base.
    const TRpPDFDocumentFilter pdf;
    EXPECT_TRUE(static_cast<const TRpExportFilter&>(pdf).IsPDFDocumentFilter());
    EXPECT_FALSE(filter.Active);
    EXPECT_EQ(filter.Report, nullptr);
    // The recorded pages' device until a run hands it another.
    EXPECT_EQ(filter.Device().XFactor, kRecordFactor);
    EXPECT_EQ(filter.Device().YFactor, kRecordFactor);

    filter.Start(2100, 2970, FontSpec{}, ExportDevice{600 / 254.0L, 300 / 254.0L, 40, 60, [] { return 600; }});
    EXPECT_TRUE(filter.Active);
    EXPECT_EQ(filter.Device().XFactor, 600 / 254.0L);
    EXPECT_EQ(filter.Device().YFactor, 300 / 254.0L);
    EXPECT_EQ(filter.Device().OffsetX, 40);
    EXPECT_EQ(filter.Device().OffsetY, 60);
    ASSERT_TRUE(filter.Device().PictureResolution);
    EXPECT_EQ(filter.Device().PictureResolution(), 600);
    // The content operations of the base accept everything and keep the filter as it was.
    filter.NewPage();
    filter.ExportControl(ExportShape{}, 1, 2);
    filter.ExportControlAlt(ExportPicture{}, 1, 2);
    filter.ExportBand(TRpBandType::rbDetail, 0, 10, 160);
    filter.TextOutput(3, 4, FontSpec{}, qRgb(0, 0, 0), HorizontalAlign::Left, "\xb9\xea");
    filter.TextOutputRec(ExportText{});
    filter.EndPage();
    EXPECT_TRUE(filter.Active);
    filter.Finish();
    EXPECT_FALSE(filter.Active);
    EXPECT_TRUE(TRpExportFilter().FileName.empty());
}

// Lengths in 0.1 mm become device pixels from the device's origin, halves to even.
TEST(ExportFilter, TheDeviceConvertsLengthsAsItsPrinterDoes)
{
    struct Row {
        const char* name;
        ExportDevice device;
        long double tenths;
        int x;
        int y;
    };
    const Row rows[] = {
        {"recorded pages, 96 dpi", ExportDevice{}, 100, 38, 38},
        {"recorded pages, negative", ExportDevice{}, -100, -38, -38},
        {"254 dpi from a margin", ExportDevice{1, 1, 40, 60, {}}, 100, 60, 40},
        {"127 dpi, half down to even", ExportDevice{0.5L, 0.5L, 0, 0, {}}, 5, 2, 2},
        {"127 dpi, half up to even", ExportDevice{0.5L, 0.5L, 0, 0, {}}, 3, 2, 2},
        {"600 x 300 dpi", ExportDevice{600 / 254.0L, 300 / 254.0L, 0, 0, {}}, 254, 600, 300},
        {"beyond the range", ExportDevice{1e30L, 1e30L, 0, 0, {}}, 1e30L, std::numeric_limits<int>::max(),
         std::numeric_limits<int>::max()},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        EXPECT_EQ(row.device.DeviceX(row.tenths), row.x);
        EXPECT_EQ(row.device.DeviceY(row.tenths), row.y);
    }
}

}  // namespace
}  // namespace report::output
