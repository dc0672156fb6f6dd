#include "report/output/export/export_filter.h"
#include "report/output/pdf/pdf_document.h"

#include <gtest/gtest.h>


namespace report::output {
namespace {

TEST(ExportFilter, BaseAnswersAndLifeCycle) {
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
    EXPECT_EQ(filter.RpPrinter, nullptr);
    EXPECT_EQ(filter.Report, nullptr);

    filter.Start(2100, 2970, FontSpec{});
    EXPECT_TRUE(filter.Active);
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

}  // namespace
}  // namespace report::output
