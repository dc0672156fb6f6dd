// The PDF document as a file: it appears whole when the run finishes, an existing file of that
// name survives every run that does not finish, and failures are reported where they happen.
#include "report/output/pdf/pdf_document.h"
#include "tests/report/output/pdf/pdf_document_fixture.h"
#include "utility/rp_error.h"

#include <gtest/gtest.h>

#include <fstream>
#include <stdexcept>

namespace report::output::testing {
namespace {

namespace fs = std::filesystem;

class PdfDocumentFile : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(dir_.isValid()); }

    fs::path Folder() const { return fs::path(dir_.path().toStdString()); }

    static void WriteFile(const fs::path& path, const std::string& bytes)
    {
        std::ofstream(path, std::ios::binary) << bytes;
    }

    // The calls of a run of three pages, the second of another size; the same content each time.
    static void RunThreePages(TRpPDFDocumentFilter& filter, FixedReport& report)
    {
        report.SetPage(2100, 2970);
        filter.Start(2100, 2970, FontSpec{}, ExportDevice{});
        filter.NewPage();
        filter.EndPage();
        report.SetPage(2970, 2100);
        filter.NewPage();
        filter.EndPage();
        report.SetPage(2100, 2970);
        filter.NewPage();
        filter.EndPage();
        filter.Finish();
    }

    QTemporaryDir dir_;
    FixedReport report_{2100, 2970};
};

TEST_F(PdfDocumentFile, FileAppearsWholeAtFinish)
{
    const fs::path target = Folder() / "raport.pdf";
    WriteFile(target, "an older file");
    const auto filter = MakeFilter(target, &report_);
    filter->Start(2100, 2970, FontSpec{}, ExportDevice{});
    filter->NewPage();
    filter->EndPage();
    EXPECT_EQ(ReadWholeFile(target), "an older file") << "nothing reaches the file before Finish";
    filter->Finish();
    EXPECT_FALSE(filter->Active);
    EXPECT_EQ(FolderNames(Folder()), std::vector<std::string>{"raport.pdf"});
    EXPECT_TRUE(filter->Bytes().empty()) << "a file filter keeps nothing in memory";

    const std::string written = ReadWholeFile(target);
    EXPECT_EQ(written, ReadWholeFile(fs::path(KARTOVAN_OUTPUT_TEST_DATA) / "empty_report.pdf"));
    EXPECT_EQ(InfoValue(CheckedPdfInfo(written), "Pages"), "1");
}

TEST_F(PdfDocumentFile, AnyNameIsWrittenAsPdf)
{
    for (const char* name : {"raport.txt", "bez rozszerzenia", "\xc5\xbc\xc3\xb3\xc5\x82w.PDF"}) {
        SCOPED_TRACE(name);
        const fs::path target = Folder() / fs::path(name);
        const auto filter = MakeFilter(target, &report_);
        RunEmptyPages(*filter, 2);
        EXPECT_EQ(InfoValue(CheckedPdfInfo(ReadWholeFile(target)), "Pages"), "2");
    }
    EXPECT_EQ(FolderNames(Folder()).size(), 3u);
}

TEST_F(PdfDocumentFile, TwoExportsInARowAreIdentical)
{
    const fs::path first = Folder() / "first.pdf";
    const fs::path second = Folder() / "second.pdf";
    RunThreePages(*MakeFilter(first, &report_), report_);
    RunThreePages(*MakeFilter(second, &report_), report_);
    const std::string bytes = ReadWholeFile(first);
    EXPECT_EQ(ReadWholeFile(second), bytes);
    const auto inMemory = MakeFilter({}, &report_);
    RunThreePages(*inMemory, report_);
    EXPECT_EQ(inMemory->Bytes(), bytes);
    EXPECT_EQ(InfoValue(CheckedPdfInfo(bytes), "Pages"), "3");
}

TEST_F(PdfDocumentFile, StartReportsAFileThatCannotBeCreated)
{
    WriteFile(Folder() / "plik", "not a folder");
    fs::create_directory(Folder() / "folder.pdf");
    const fs::path rows[] = {
        Folder() / "missing" / "raport.pdf",
        Folder() / "plik" / "raport.pdf",
        Folder() / "folder.pdf",
    };
    for (const fs::path& target : rows) {
        SCOPED_TRACE(target.string());
        const std::vector<std::string> before = FolderNames(Folder());
        const auto filter = MakeFilter(target, &report_);
        try {
            filter->Start(2100, 2970, FontSpec{}, ExportDevice{});
            ADD_FAILURE() << "Start succeeded";
        } catch (const ERpError& e) {
            EXPECT_NE(std::string(e.what()).find(target.filename().string()), std::string::npos) << e.what();
        }
        EXPECT_FALSE(filter->Active);
        // The run ends there: the filter is released without Finish.
        filter->Finish();
        EXPECT_EQ(FolderNames(Folder()), before);
    }
    EXPECT_TRUE(fs::is_directory(Folder() / "folder.pdf"));
    EXPECT_TRUE(fs::is_empty(Folder() / "folder.pdf"));
}

TEST_F(PdfDocumentFile, UnfinishedRunLeavesTheOldFile)
{
    const std::string old = std::string("%PDF-1.3\r\nthe report saved yesterday\r\n\xC5\xAD");
    for (const bool raises : {true, false}) {
        SCOPED_TRACE(raises ? "the run raises" : "the run is cancelled");
        const fs::path target = Folder() / "raport.pdf";
        WriteFile(target, old);
        try {
            const auto filter = MakeFilter(target, &report_);
            filter->Start(2100, 2970, FontSpec{}, ExportDevice{});
            filter->NewPage();
            filter->EndPage();
            filter->NewPage();
            filter->EndPage();
            EXPECT_EQ(FolderNames(Folder()).size(), 2u) << "the temporary file beside the target";
            // A cancelled run ends here without Finish; a failing one on the way out.
            if (raises)
                throw std::runtime_error("the report failed");
        } catch (const std::runtime_error&) {}
        EXPECT_EQ(ReadWholeFile(target), old);
        EXPECT_EQ(FolderNames(Folder()), std::vector<std::string>{"raport.pdf"});
    }
}

TEST_F(PdfDocumentFile, FailureAtTheEndIsReportedAndLeavesNoTemporaryFile)
{
    const fs::path target = Folder() / "raport.pdf";
    const auto filter = MakeFilter(target, &report_);
    filter->Start(2100, 2970, FontSpec{}, ExportDevice{});
    filter->NewPage();
    filter->EndPage();
    // Something takes the name while the report runs: the file cannot be put in its place.
    fs::create_directory(target);
    WriteFile(target / "keep.txt", "kept");
    EXPECT_THROW(filter->Finish(), ERpError);
    EXPECT_EQ(FolderNames(Folder()), std::vector<std::string>{"raport.pdf"});
    EXPECT_EQ(ReadWholeFile(target / "keep.txt"), "kept");
}

TEST_F(PdfDocumentFile, FinishWithoutStartWritesNothing)
{
    const fs::path target = Folder() / "raport.pdf";
    const auto filter = MakeFilter(target, &report_);
    filter->NewPage();
    filter->Finish();
    EXPECT_TRUE(FolderNames(Folder()).empty());
    EXPECT_FALSE(filter->Active);
}

}  // namespace
}  // namespace report::output::testing
