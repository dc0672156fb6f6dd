// The PDF document: its objects and their numbers, pages and page sizes, the creation date,
// the same bytes in any locale and from any two runs of the same content.
#include "report/output/pdf/pdf_document.h"

#include "tests/report/output/pdf/pdf_document_fixture.h"
#include "utility/datetime.h"
#include "utility/rp_error.h"

#include <gtest/gtest.h>

#include <clocale>
#include <cstdio>
#include <locale>

namespace report::output::testing {
namespace {

constexpr long double kA4Width = 2100;
constexpr long double kA4Length = 2970;

std::string EmptyPdf(ExportedReport* report, int pages)
{
    const auto filter = MakeFilter({}, report);
    RunEmptyPages(*filter, pages);
    return filter->Bytes();
}

// The object lines "1 0 obj", "2 0 obj", ... in the order they appear.
std::vector<std::string> ObjectLines(const std::string& pdf)
{
    std::vector<std::string> lines;
    for (std::size_t at = pdf.find(" 0 obj\r\n"); at != std::string::npos; at = pdf.find(" 0 obj\r\n", at + 1)) {
        const std::size_t start = pdf.rfind("\r\n", at) + 2;
        lines.push_back(pdf.substr(start, at + 6 - start));
    }
    return lines;
}

bool Contains(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

TEST(PdfDocument, EmptyReportIsTheGoldenFile)
{
    FixedReport report(kA4Width, kA4Length);
    const std::string pdf = EmptyPdf(&report, 1);
    EXPECT_EQ(pdf, ReadWholeFile(std::filesystem::path(KARTOVAN_OUTPUT_TEST_DATA) / "empty_report.pdf"));

    EXPECT_EQ(ObjectLines(pdf),
              (std::vector<std::string>{"1 0 obj", "2 0 obj", "3 0 obj", "4 0 obj", "5 0 obj", "6 0 obj", "7 0 obj"}));
    EXPECT_TRUE(Contains(pdf, "\r\n/Kids [4 0 R]\r\n"));
    EXPECT_TRUE(Contains(pdf, "\r\n/Size 8\r\n"));
    EXPECT_TRUE(Contains(pdf, "\r\n/Info 6 0 R\r\n"));
    EXPECT_TRUE(Contains(pdf, "5 0 obj\r\n<< /Length 8 >>\r\nstream\r\nBT\r\nET\r\nendstream\r\nendobj\r\n"));
    EXPECT_TRUE(Contains(pdf, "6 0 obj\r\n<<\r\n/CreationDate (D:20240501123456)\r\n"));
    EXPECT_TRUE(Contains(pdf, "7 0 obj\r\n[/PDF /Text]\r\nendobj\r\n"));

    const std::string info = CheckedPdfInfo(pdf);
    EXPECT_EQ(InfoValue(info, "Pages"), "1");
    EXPECT_EQ(InfoValue(info, "Page size"), "595 x 841 pts (A4)");
    EXPECT_EQ(InfoValue(info, "Creator"), "RerirEdavuzi");
    EXPECT_EQ(InfoValue(info, "Producer"), "RerirEdavuzi PDF Export");
}

TEST(PdfDocument, PagesAndTheirSizes)
{
    struct Row {
        const char* name;
        long double width;  // 0: no report
        long double length;
        int newPages;
        const char* count;
        const char* kids;
        const char* mediaBox;
        const char* pageSize;  // pdfinfo; nullptr: not checked
    };
    const Row rows[] = {
        {"no NewPage at all", kA4Width, kA4Length, 0, "1", "[4 0 R]", "[0 0 595 841]", "595 x 841 pts (A4)"},
        {"one page", kA4Width, kA4Length, 1, "1", "[4 0 R]", "[0 0 595 841]", "595 x 841 pts (A4)"},
        {"three pages", kA4Width, kA4Length, 3, "3", "[4 0 R 6 0 R 8 0 R]", "[0 0 595 841]", "595 x 841 pts (A4)"},
        {"letter", 2159, 2794, 2, "2", "[4 0 R 6 0 R]", "[0 0 612 792]", "612 x 792 pts (letter)"},
        {"A4 across", kA4Length, kA4Width, 1, "1", "[4 0 R]", "[0 0 841 595]", nullptr},
        {"size rounded first", 2099.6L, 2970.4L, 1, "1", "[4 0 R]", "[0 0 595 841]", nullptr},
        {"no report", 0, 0, 2, "2", "[4 0 R 6 0 R]", "[0 0 595 840]", nullptr},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        FixedReport report(row.width, row.length);
        const std::string pdf = EmptyPdf(row.width > 0 ? &report : nullptr, row.newPages);
        EXPECT_TRUE(Contains(pdf, std::string("\r\n/Count ") + row.count + "\r\n/Kids " + row.kids + "\r\n/MediaBox " +
                                      row.mediaBox + "\r\n/Resources << \r\n/Font << \r\n  >>\r\n"))
            << pdf;
        const std::string info = CheckedPdfInfo(pdf);
        EXPECT_EQ(InfoValue(info, "Pages"), row.count);
        if (row.pageSize) {
            EXPECT_EQ(InfoValue(info, "Page size"), row.pageSize);
        }
    }
}

TEST(PdfDocument, EachPageKeepsTheSizeItWasBegunWith)
{
    FixedReport report(kA4Width, kA4Length);
    const auto filter = MakeFilter({}, &report);
    filter->Start(2100, 2970, FontSpec{}, ExportDevice{});
    filter->NewPage();
    // A page is begun by its first item: one that draws nothing is enough.
    TPDFItemRec shape;
    shape.Kind = TPDFItemKind::Shape;
    filter->AddItem(shape);
    filter->EndPage();
    report.SetPage(kA4Length, kA4Width);
    filter->NewPage();
    filter->EndPage();
    filter->Finish();
    const std::string& pdf = filter->Bytes();
    // The page tree takes the first page's size.
    EXPECT_TRUE(Contains(pdf, "/Kids [4 0 R 6 0 R]\r\n/MediaBox [0 0 595 841]\r\n"));
    EXPECT_TRUE(Contains(pdf, "/Contents 5 0 R\r\n/MediaBox [0 0 595 841]\r\n"));
    EXPECT_TRUE(Contains(pdf, "/Contents 7 0 R\r\n/MediaBox [0 0 841 595]\r\n"));
    const std::string info = CheckedPdfInfo(pdf);
    EXPECT_EQ(InfoValue(info, "Pages"), "2");
}

TEST(PdfDocument, ScaleIsPointsPerPixelOfTheDeviceStartedWith)
{
    FixedReport report(kA4Width, kA4Length);
    const auto filter = MakeFilter({}, &report);
    // Before the start: the recording resolution of 96 pixels per inch.
    EXPECT_EQ(filter->ScaleX(), 0.75L);
    EXPECT_EQ(filter->ScaleY(), 0.75L);
    // A printer of 60 x 120 dots per inch.
    filter->Start(2100, 2970, FontSpec{}, ExportDevice{60 / 254.0L, 120 / 254.0L, 0, 0, {}});
    EXPECT_NEAR(static_cast<double>(filter->ScaleX()), 72.0 / 60, 1e-12);
    EXPECT_NEAR(static_cast<double>(filter->ScaleY()), 72.0 / 120, 1e-12);
    filter->StartPage();
    EXPECT_NEAR(static_cast<double>(filter->PageWidth()), 2100 * 72 / 254.0, 1e-9);
    EXPECT_NEAR(static_cast<double>(filter->PageHeight()), 2970 * 72 / 254.0, 1e-9);
    // A device without factors keeps the scale there is.
    const auto other = MakeFilter({}, &report);
    other->Start(2100, 2970, FontSpec{}, ExportDevice{0, -1, 0, 0, {}});
    EXPECT_EQ(other->ScaleX(), 0.75L);
    EXPECT_EQ(other->ScaleY(), 0.75L);
}

TEST(PdfDocument, WithoutAReportPagesKeepTheirFirstSize)
{
    const auto filter = MakeFilter({}, nullptr);
    filter->StartPage();
    EXPECT_EQ(filter->PageWidth(), 595);
    EXPECT_EQ(filter->PageHeight(), 840);
    EXPECT_DOUBLE_EQ(static_cast<double>(filter->ScaleX()), 0.75);
    EXPECT_EQ(filter->PageCount(), 1);
}

TEST(PdfDocument, CreationDateIsAPdfDate)
{
    struct Row {
        double when;
        const char* line;
    };
    const Row rows[] = {
        {FixedClockValue(), "/CreationDate (D:20240501123456)"},
        {utility::EncodeDate(2031, 1, 9) + utility::EncodeTime(7, 5, 3), "/CreationDate (D:20310109070503)"},
        // Rounded to the millisecond before the seconds are taken.
        {utility::EncodeDate(2024, 12, 31) + utility::EncodeTime(23, 59, 59, 999) + 0.9 / 86400000,
         "/CreationDate (D:20250101000000)"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.line);
        FixedReport report(kA4Width, kA4Length);
        const auto filter = MakeFilter({}, &report);
        filter->Clock = [&] { return row.when; };
        RunEmptyPages(*filter, 1);
        EXPECT_TRUE(Contains(filter->Bytes(), std::string("\r\n") + row.line + "\r\n"));
    }
    FixedReport report(kA4Width, kA4Length);
    const std::string info = CheckedPdfInfo(EmptyPdf(&report, 1));
    EXPECT_TRUE(Contains(InfoValue(info, "CreationDate"), "May  1 12:34:56 2024")) << info;
}

TEST(PdfDocument, DocumentInformationIsWrittenAsPdfText)
{
    FixedReport report(kA4Width, kA4Length);
    const auto filter = MakeFilter({}, &report);
    filter->Title = "Lista (dzienna) \\ kierowca";
    filter->Author = ")";
    RunEmptyPages(*filter, 1);
    const std::string& pdf = filter->Bytes();
    EXPECT_TRUE(Contains(pdf, "\r\n/Subject ( )\r\n/Creator (RerirEdavuzi)\r\n"));
    EXPECT_TRUE(Contains(pdf, "\r\n/Title (Lista \\(dzienna\\) \\\\ kierowca)\r\n/Author (\\))\r\n"));
    const std::string info = CheckedPdfInfo(pdf);
    EXPECT_EQ(InfoValue(info, "Title"), "Lista (dzienna) \\ kierowca");
    EXPECT_EQ(InfoValue(info, "Author"), ")");
}

TEST(PdfDocument, ItemWithoutAKindIsRefused)
{
    FixedReport report(kA4Width, kA4Length);
    const auto filter = MakeFilter({}, &report);
    filter->Start(2100, 2970, FontSpec{}, ExportDevice{});
    try {
        filter->AddItem(TPDFItemRec{});
        ADD_FAILURE() << "no error";
    } catch (const ERpError& e) {
        EXPECT_STREQ(e.what(), "Internal error: IT_INVALID");
    }
    // The page it began stays sound.
    filter->Finish();
    EXPECT_EQ(InfoValue(CheckedPdfInfo(filter->Bytes()), "Pages"), "1");
}

TEST(PdfDocument, OnlyTheFirstNewPageIsSwallowed)
{
    FixedReport report(kA4Width, kA4Length);
    const auto filter = MakeFilter({}, &report);
    filter->Start(2100, 2970, FontSpec{}, ExportDevice{});
    EXPECT_FALSE(filter->PageOpen());
    filter->NewPage();
    EXPECT_EQ(filter->PageCount(), 0);
    filter->NewPage();
    EXPECT_EQ(filter->PageCount(), 2) << "the break begins the first page and then the second";
    filter->NewPage();
    EXPECT_EQ(filter->PageCount(), 3);
    EXPECT_TRUE(filter->PageOpen());
    filter->Finish();
    EXPECT_FALSE(filter->Active);
    // A second Finish writes nothing more.
    const std::string written = filter->Bytes();
    filter->Finish();
    EXPECT_EQ(filter->Bytes(), written);
}

TEST(PdfDocument, SameBytesInThePolishLocale)
{
    FixedReport report(kA4Width, kA4Length);
    const std::string inC = EmptyPdf(&report, 3);

    const std::string previous = std::setlocale(LC_ALL, nullptr);
    const std::locale previousGlobal;
    ASSERT_NE(std::setlocale(LC_ALL, "pl_PL.UTF-8"), nullptr) << "the pl_PL.UTF-8 locale is not installed";
    std::locale::global(std::locale("pl_PL.UTF-8"));
    char number[16];
    std::snprintf(number, sizeof number, "%.2f", 0.5);
    const std::string inPolish = EmptyPdf(&report, 3);
    std::locale::global(previousGlobal);
    std::setlocale(LC_ALL, previous.c_str());

    EXPECT_STREQ(number, "0,50") << "the locale in force writes a comma";
    EXPECT_EQ(inPolish, inC);
    EXPECT_EQ(InfoValue(CheckedPdfInfo(inPolish), "Pages"), "3");
}

TEST(PdfDocument, Descriptions)
{
    const TRpPDFDocumentFilter document;
    EXPECT_EQ(document.GetDescription(), "PDF document filter");
    EXPECT_EQ(document.GetExtension(), "PDF");
    EXPECT_EQ(document.GetFilterName(), "PDF document");
    EXPECT_FALSE(document.GetStreaming());
    EXPECT_FALSE(document.Active);
    EXPECT_FALSE(document.PageOpen());
    EXPECT_EQ(document.Creator, "RerirEdavuzi");
    EXPECT_TRUE(document.Subject.empty() && document.Title.empty() && document.Author.empty());

    const TRpPAbstractExportFilter abstract;
    EXPECT_EQ(abstract.GetDescription(), "");
    EXPECT_EQ(abstract.GetExtension(), "");
    EXPECT_EQ(abstract.GetFilterName(), "RpAbstract");
}

}  // namespace
}  // namespace report::output::testing
