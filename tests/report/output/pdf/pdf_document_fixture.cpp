#include "tests/report/output/pdf/pdf_document_fixture.h"

#include "tests/support/pdf_check.h"
#include "utility/datetime.h"

#include <QString>

#include <algorithm>
#include <fstream>
#include <iterator>
#include <sstream>

namespace report::output::testing {

double FixedClockValue() { return utility::EncodeDate(2024, 5, 1) + utility::EncodeTime(12, 34, 56); }

std::unique_ptr<TRpPDFDocumentFilter> MakeFilter(const std::filesystem::path& fileName, ExportedReport* report)
{
    auto filter = std::make_unique<TRpPDFDocumentFilter>(fileName);
    filter->Report = report;
    filter->Clock = FixedClockValue;
    return filter;
}

void RunEmptyPages(TRpPDFDocumentFilter& filter, int pages)
{
    filter.Start(2100, 2970, FontSpec{}, ExportDevice{});
    for (int page = 0; page < pages; ++page) {
        filter.NewPage();
        filter.EndPage();
    }
    filter.Finish();
}

std::string ReadWholeFile(const std::filesystem::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::vector<std::string> FolderNames(const std::filesystem::path& folder)
{
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

std::string CheckedPdfInfo(const std::string& pdf)
{
    EXPECT_EQ(testsupport::JoinProblems(testsupport::PdfStructureProblems(pdf)), "");
    QTemporaryDir folder;
    EXPECT_TRUE(folder.isValid());
    const std::filesystem::path file = std::filesystem::path(folder.path().toStdString()) / "checked.pdf";
    std::ofstream(file, std::ios::binary) << pdf;
    const QString name = QString::fromStdString(file.string());
    const testsupport::ToolResult check = testsupport::RunTool({"qpdf", "--check", name});
    EXPECT_EQ(check.exitCode, 0) << check.out << check.err;
    EXPECT_EQ((check.out + check.err).find("WARNING"), std::string::npos) << check.out << check.err;
    const testsupport::ToolResult info = testsupport::RunTool({"pdfinfo", name});
    EXPECT_EQ(info.exitCode, 0) << info.err;
    return info.out;
}

std::string InfoValue(const std::string& pdfinfo, const std::string& key)
{
    std::istringstream lines(pdfinfo);
    for (std::string line; std::getline(lines, line);) {
        if (!line.starts_with(key + ":"))
            continue;
        const std::size_t first = line.find_first_not_of(' ', key.size() + 1);
        const std::size_t last = line.find_last_not_of(" \r");
        return first == std::string::npos ? std::string() : line.substr(first, last - first + 1);
    }
    return "(no " + key + ")";
}

}  // namespace report::output::testing
