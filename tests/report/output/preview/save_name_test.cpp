#include "report/output/preview/save_name.h"

#include <gtest/gtest.h>

namespace report::output {
namespace {

std::filesystem::path Utf8Path(const char* name)
{
    return std::filesystem::path(std::u8string(reinterpret_cast<const char8_t*>(name)));
}

TEST(ResolveSaveNameTest, TheNameOrTheFilterLineGivesTheKind)
{
    struct Row {
        const char* chosen;
        int line;
        const char* fileName;
        const char* extension;
    };
    const std::vector<std::string> filters = {"PDF", "HTML"};
    const Row rows[] = {
        {"/tmp/report", 1, "/tmp/report.PDF", "PDF"},
        {"/tmp/report", 2, "/tmp/report.RPP", "RPP"},
        {"/tmp/report", 3, "/tmp/report.PDF", "PDF"},
        {"/tmp/report", 4, "/tmp/report.HTML", "HTML"},
        // A line beyond the filters gives the default type.
        {"/tmp/report", 5, "/tmp/report.PDF", "PDF"},
        {"/tmp/report.", 2, "/tmp/report.RPP", "RPP"},
        // A name with its own extension keeps it, whatever line was chosen.
        {"/tmp/report.rpp", 1, "/tmp/report.rpp", "RPP"},
        {"/tmp/report.rpp", 3, "/tmp/report.rpp", "RPP"},
        {"/tmp/report.Pdf", 2, "/tmp/report.Pdf", "PDF"},
        // Compared whole, never cut to three letters.
        {"/tmp/raport.pdfx", 1, "/tmp/raport.pdfx", "PDFX"},
        {"/tmp/raport.html", 1, "/tmp/raport.html", "HTML"},
        {"/tmp/archiwum.tar.gz", 2, "/tmp/archiwum.tar.gz", "GZ"},
        {"/tmp/Łódź.pdf", 2, "/tmp/Łódź.pdf", "PDF"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(std::string(row.chosen) + " line " + std::to_string(row.line));
        const TRpSaveTarget target = ResolveSaveName(Utf8Path(row.chosen), row.line, ".PDF", filters);
        EXPECT_EQ(target.fileName, Utf8Path(row.fileName));
        EXPECT_EQ(target.extension, row.extension);
    }
}

TEST(ResolveSaveNameTest, WithoutFiltersTheDefaultTypeStands)
{
    const TRpSaveTarget target = ResolveSaveName("/tmp/report", 3, ".RPP", {});
    EXPECT_EQ(target.fileName, std::filesystem::path("/tmp/report.RPP"));
    EXPECT_EQ(target.extension, "RPP");
}

}  // namespace
}  // namespace report::output
