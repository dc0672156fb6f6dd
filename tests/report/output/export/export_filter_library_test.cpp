// The export filter registry: what the save dialog offers and which filter a chosen extension
// finds, with the PDF component registering while it exists.
#include "report/output/export/export_filter_library.h"

#include "report/output/pdf/pdf_document.h"
#include "report/output/pdf/pdf_filter.h"

#include <gtest/gtest.h>

namespace report::output {
namespace {

// Another class that calls itself a PDF document filter.
class OtherPdfFilter : public TRpExportFilter {
public:
    using TRpExportFilter::TRpExportFilter;
    std::string GetFilterName() const override { return "PDF document"; }
    std::string GetExtension() const override { return "PDF"; }
};

class TextFilter : public TRpExportFilter {
public:
    using TRpExportFilter::TRpExportFilter;
    std::string GetFilterName() const override { return "Plain text"; }
    std::string GetExtension() const override { return "txt"; }
};

const TRpExportFilterClass kPdf = ExportFilterClassOf<TRpPDFDocumentFilter>();
const TRpExportFilterClass kOtherPdf = ExportFilterClassOf<OtherPdfFilter>();
const TRpExportFilterClass kText = ExportFilterClassOf<TextFilter>();

constexpr const char* kReportFileLine = "ZudevAzerov file(*.RPP)|*.RPP";
constexpr const char* kPdfLine = "|PDF document (*.PDF)|*.PDF";

struct Step {
    enum { Add, Remove } action;
    const TRpExportFilterClass* filterClass;
};

TEST(ExportFilterLibrary, EntriesAfterAddingAndRemoving)
{
    struct Row {
        const char* name;
        std::vector<Step> steps;
        std::vector<const TRpExportFilterClass*> entries;
    };
    const Row rows[] = {
        {"nothing registered", {}, {}},
        {"one class", {{Step::Add, &kPdf}}, {&kPdf}},
        {"the same class twice", {{Step::Add, &kPdf}, {Step::Add, &kPdf}}, {&kPdf}},
        {"two classes of one name", {{Step::Add, &kPdf}, {Step::Add, &kOtherPdf}}, {&kPdf, &kOtherPdf}},
        {"removing the second of one name",
         {{Step::Add, &kPdf}, {Step::Add, &kOtherPdf}, {Step::Remove, &kOtherPdf}},
         {&kPdf}},
        {"removing the first of one name",
         {{Step::Add, &kPdf}, {Step::Add, &kOtherPdf}, {Step::Remove, &kPdf}},
         {&kOtherPdf}},
        {"removing a class never added", {{Step::Add, &kPdf}, {Step::Remove, &kText}}, {&kPdf}},
        {"removing from an empty registry", {{Step::Remove, &kPdf}}, {}},
        {"order of adding", {{Step::Add, &kText}, {Step::Add, &kPdf}}, {&kText, &kPdf}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        TRpExportFilterLibrary library;
        for (const Step& step : row.steps) {
            if (step.action == Step::Add)
                library.AddFilter(*step.filterClass);
            else
                library.RemoveFilter(*step.filterClass);
        }
        ASSERT_EQ(library.Filters().size(), row.entries.size());
        for (std::size_t i = 0; i < row.entries.size(); ++i)
            EXPECT_TRUE(library.Filters()[i].FilterClass == *row.entries[i]) << "entry " << i;
    }
}

TEST(ExportFilterLibrary, EntryTakesTheNameAndExtensionOfAnInstance)
{
    TRpExportFilterLibrary library;
    library.AddFilter(kPdf);
    library.AddFilter(kText);
    ASSERT_EQ(library.Filters().size(), 2u);
    EXPECT_EQ(library.Filters()[0].FilterName, "PDF document");
    EXPECT_EQ(library.Filters()[0].Extension, "PDF");
    EXPECT_EQ(library.Filters()[1].FilterName, "Plain text");
    EXPECT_EQ(library.Filters()[1].Extension, "txt");
    // The entry makes instances of its own class, with the file name given.
    const std::unique_ptr<TRpExportFilter> made = library.Filters()[0].FilterClass.create("/tmp/a.pdf");
    EXPECT_NE(dynamic_cast<TRpPDFDocumentFilter*>(made.get()), nullptr);
    EXPECT_EQ(made->FileName, std::filesystem::path("/tmp/a.pdf"));
}

TEST(ExportFilterLibrary, FindFilterIgnoresCaseAndFindsTheFirst)
{
    TRpExportFilterLibrary library;
    EXPECT_EQ(library.FindFilter("PDF"), nullptr);
    library.AddFilter(kPdf);
    library.AddFilter(kOtherPdf);
    library.AddFilter(kText);
    struct Row {
        const char* extension;
        const TRpExportFilterClass* found;
    };
    const Row rows[] = {
        {"PDF", &kPdf},   {"pdf", &kPdf}, {"Pdf", &kPdf},    {"TXT", &kText}, {"txt", &kText},
        {"RPP", nullptr}, {"", nullptr},  {".PDF", nullptr}, {"PD", nullptr}, {"PDFX", nullptr},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.extension);
        const TRpExportFilterLibraryEntry* entry = library.FindFilter(row.extension);
        if (row.found == nullptr) {
            EXPECT_EQ(entry, nullptr);
        } else {
            ASSERT_NE(entry, nullptr);
            EXPECT_TRUE(entry->FilterClass == *row.found);
        }
    }
}

TEST(ExportFilterLibrary, FilterStringListsTheReportFileThenEveryEntry)
{
    TRpExportFilterLibrary library;
    EXPECT_EQ(library.GetFilterString(), kReportFileLine);
    library.AddFilter(kPdf);
    EXPECT_EQ(library.GetFilterString(), std::string(kReportFileLine) + kPdfLine);
    library.AddFilter(kText);
    EXPECT_EQ(library.GetFilterString(), std::string(kReportFileLine) + kPdfLine + "|Plain text (*.txt)|*.txt");
}

TEST(ExportFilterLibrary, PdfComponentRegistersWhileItExists)
{
    ReleaseExportFilterLibrary();
    {
        // Without a registry the component has nowhere to register, and that is no error.
        const TRpPDFFilter orphan;
        EXPECT_EQ(ExportFilterLibrary(), nullptr);
    }
    CreateExportFilterLibrary();
    TRpExportFilterLibrary* library = ExportFilterLibrary();
    ASSERT_NE(library, nullptr);
    CreateExportFilterLibrary();
    EXPECT_EQ(ExportFilterLibrary(), library) << "a second start-up call keeps the registry";
    EXPECT_EQ(library->FindFilter("pdf"), nullptr);
    {
        const TRpPDFFilter component;
        EXPECT_FALSE(component.CompressionOn);
        EXPECT_EQ(TRpPDFFilter::FontHandling(), TFontHandling::fhSubstitute);
        const TRpExportFilterLibraryEntry* entry = library->FindFilter("pdf");
        ASSERT_NE(entry, nullptr);
        EXPECT_TRUE(entry->FilterClass == kPdf);
        EXPECT_EQ(library->GetFilterString(), std::string(kReportFileLine) + kPdfLine);
    }
    EXPECT_EQ(library->FindFilter("pdf"), nullptr);
    EXPECT_EQ(library->GetFilterString(), kReportFileLine);
    {
        // A component that outlives the registry removes nothing and does not fail.
        const TRpPDFFilter component;
        ReleaseExportFilterLibrary();
    }
    EXPECT_EQ(ExportFilterLibrary(), nullptr);
}

TEST(ExportFilterLibrary, FontHandlingIsOneValueForEveryComponent)
{
    const TRpPDFFilter first;
    const TRpPDFFilter second;
    TRpPDFFilter::SetFontHandling(TFontHandling::fhNoEmbedding);
    EXPECT_EQ(first.FontHandling(), TFontHandling::fhNoEmbedding);
    EXPECT_EQ(second.FontHandling(), TFontHandling::fhNoEmbedding);
    TRpPDFFilter::SetFontHandling(TFontHandling::fhSubstitute);
}

TEST(ExportFilterLibrary, SaveTypeExtensions)
{
    const std::pair<TPrevSaveType, const char*> rows[] = {
        {TPrevSaveType::stRPP, ".RPP"},   {TPrevSaveType::stPDF, ".PDF"}, {TPrevSaveType::stXL, ".XLS"},
        {TPrevSaveType::stHTML, ".HTML"}, {TPrevSaveType::stRTF, ".RTF"}, {TPrevSaveType::stCSV, ".CSV"},
        {TPrevSaveType::stASCII, ".TXT"}, {TPrevSaveType::stXML, ".XML"},
    };
    for (const auto& [type, extension] : rows)
        EXPECT_EQ(PrevSaveTypeExtension(type), extension);
}

TEST(ExportFilterLibrary, QtNameFiltersOfferBothCases)
{
    struct Row {
        const char* filterString;
        QStringList nameFilters;
    };
    const Row rows[] = {
        {"", {}},
        {"ZudevAzerov file(*.RPP)|*.RPP", {"ZudevAzerov file (*.RPP *.rpp)"}},
        {".PDF|*.PDF|ZudevAzerov file(*.RPP)|*.RPP|PDF document (*.PDF)|*.PDF",
         {".PDF (*.PDF *.pdf)", "ZudevAzerov file (*.RPP *.rpp)", "PDF document (*.PDF *.pdf)"}},
        {"Plain text (*.txt)|*.txt", {"Plain text (*.TXT *.txt)"}},
        {"Card files|*.DDD;*.kf", {"Card files (*.DDD *.ddd *.KF *.kf)"}},
        {"All files|*.*", {"All files (*.*)"}},
        {"Odd one out", {"Odd one out"}},
        {"Pliki \xb9\xea (*.PDF)|*.PDF", {QString::fromUtf8("Pliki ąę (*.PDF *.pdf)")}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.filterString);
        EXPECT_EQ(QtNameFilters(row.filterString), row.nameFilters);
    }
}

}  // namespace
}  // namespace report::output
