// The print road from the main window: the PDF save type it offers, and the printout of a card
// previewed, saved as PDF and printed.
#include "app/tc_glow.h"
#include "report/output/export_filter_library.h"
#include "report/output/pdf_filter.h"
#include "tests/app/main_window_fixture.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

namespace apptest {
namespace {

constexpr const char* kPdfLine = "|PDF document (*.PDF)|*.PDF";

TEST_F(MainWindowTest, TheMainWindowOffersPdfWhileItLives)
{
    namespace output = report::output;
    output::CreateExportFilterLibrary();
    const auto filters = [] { return output::ExportFilterLibrary()->GetFilterString(); };
    EXPECT_EQ(filters().find(kPdfLine), std::string::npos);
    {
        auto window = std::make_unique<app::Tf_tcGlow>();
        EXPECT_NE(filters().find(kPdfLine), std::string::npos) << filters();
        EXPECT_FALSE(window->RpPDFFilter1.CompressionOn);
        EXPECT_EQ(output::TRpPDFFilter::FontHandling(), output::TFontHandling::fhSubstitute);
        // The report file comes first, then the PDF document.
        EXPECT_LT(filters().find("*.RPP"), filters().find(kPdfLine));
    }
    EXPECT_EQ(filters().find(kPdfLine), std::string::npos);
    output::ReleaseExportFilterLibrary();
}

} // namespace
} // namespace apptest
