// The structure checker that every PDF test relies on: it must pass a sound file and catch
// each layout fault, including those that qpdf lets through.
#include "tests/support/pdf_check.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

namespace testsupport {
namespace {

std::vector<std::string> SoundObjects()
{
    std::vector<std::string> objects = MinimalPdfObjects();
    objects.push_back(StreamBody("", "BT\r\nET"));
    objects.push_back("<<\r\n/Producer (test)\r\n>>\r\n");
    return objects;
}

void ReplaceOnce(std::string& text, const std::string& from, const std::string& to)
{
    const std::size_t at = text.find(from);
    ASSERT_NE(at, std::string::npos) << from;
    text.replace(at, from.size(), to);
}

TEST(PdfStructure, SoundFilePasses)
{
    const std::string pdf = BuildPdf(SoundObjects());
    EXPECT_EQ(JoinProblems(PdfStructureProblems(pdf)), "");
    EXPECT_NE(pdf.find("<< /Length 8 >>\r\nstream\r\nBT\r\nET\r\nendstream\r\n"), std::string::npos);
}

TEST(PdfStructure, FaultsAreFound)
{
    const std::string sound = BuildPdf(SoundObjects());
    const std::size_t xref = sound.find("xref\r\n");
    const std::string offsetOf3 = sound.substr(xref + 6 + 5 + 20 * 3, 10);
    struct Row {
        const char* name;
        std::function<void(std::string&)> change;
        const char* problem;
    };
    const Row rows[] = {
        {"length one byte short", [](std::string& p) { ReplaceOnce(p, "/Length 8", "/Length 7"); }, "/Length 7 but 8"},
        {"length one byte long", [](std::string& p) { ReplaceOnce(p, "/Length 8", "/Length 9"); }, "/Length 9 but 8"},
        {"entry a byte off",
         [&](std::string& p) {
             std::string moved = std::to_string(std::stoul(offsetOf3) + 1);
             ReplaceOnce(p, offsetOf3 + " 00000 n", std::string(10 - moved.size(), '0') + moved + " 00000 n");
         },
         "xref entry 3"},
        {"entry of 19 bytes", [](std::string& p) { ReplaceOnce(p, " 00000 n\r\n", " 00000 n\n"); }, "not 20 bytes"},
        {"entry with another generation", [](std::string& p) { ReplaceOnce(p, " 00000 n\r\n", " 00001 n\r\n"); },
         "not 20 bytes"},
        {"startxref off",
         [&](std::string& p) {
             ReplaceOnce(p, "startxref\r\n" + std::to_string(xref), "startxref\r\n" + std::to_string(xref - 1));
         },
         "startxref does not name"},
        {"no %%EOF", [](std::string& p) { p.resize(p.size() - 7); }, "%%EOF"},
        {"wrong /Size", [](std::string& p) { ReplaceOnce(p, "/Size 5", "/Size 4"); }, "/Size"},
        {"no header", [](std::string& p) { p[1] = 'X'; }, "header"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        std::string pdf = sound;
        row.change(pdf);
        const std::string problems = JoinProblems(PdfStructureProblems(pdf));
        EXPECT_NE(problems.find(row.problem), std::string::npos) << problems;
    }
}

TEST(PdfStructure, ObjectFaultsAreFound)
{
    struct Row {
        const char* name;
        std::vector<std::string> objects;
        const char* problem;
    };
    std::vector<std::string> lfOnly = SoundObjects();
    lfOnly[3] = "<<\n/Producer (test)\r\n>>\r\n";
    std::vector<std::string> unmarked = SoundObjects();
    unmarked[1] += "endobj\r\n3 0 obj\r\n<< >>\r\n";
    std::vector<std::string> unmarkedAfterStream = SoundObjects();
    unmarkedAfterStream[2] += "endobj\r\n9 0 obj\r\n<< >>\r\n";
    std::vector<std::string> noLength = SoundObjects();
    noLength[2] = "<< >>\r\nstream\r\nBT\r\nET\r\nendstream\r\n";
    const Row rows[] = {
        {"a line ended by LF alone", lfOnly, "not ended by CR LF"},
        {"an object without its own entry", unmarked, "object 2: does not end with one \"endobj\""},
        {"an object after a stream without its own entry", unmarkedAfterStream, "object 3: no \"endstream\""},
        {"a stream without /Length", noLength, "stream without /Length"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        const std::string problems = JoinProblems(PdfStructureProblems(BuildPdf(row.objects)));
        EXPECT_NE(problems.find(row.problem), std::string::npos) << problems;
    }
}

TEST(PdfStructure, EntriesOutOfObjectOrderAreFound)
{
    std::string pdf = BuildPdf(SoundObjects());
    const std::size_t first = pdf.find("xref\r\n") + 6 + 5 + 20;
    std::string entries = pdf.substr(first, 40);
    pdf.replace(first, 40, entries.substr(20) + entries.substr(0, 20));
    const std::string problems = JoinProblems(PdfStructureProblems(pdf));
    EXPECT_NE(problems.find("xref entry 1"), std::string::npos) << problems;
}

}  // namespace
}  // namespace testsupport
