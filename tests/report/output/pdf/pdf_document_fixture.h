// What the PDF writer's tests share: a report of a chosen page size, a fixed clock, runs of empty
// pages, and the checks every written PDF must pass (our structure checker, qpdf, pdfinfo).
#pragma once

#include "report/output/export/export_filter.h"
#include "report/output/export/report_interfaces.h"
#include "report/output/pdf/pdf_document.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

namespace report::output::testing {

class FixedReport : public ExportedReport {
public:
    FixedReport(long double width, long double length) : width_(width), length_(length) {}

    long double PageWidth() const override { return width_; }
    long double PageLength() const override { return length_; }

    // Later pages of the run take the new size.
    void SetPage(long double width, long double length)
    {
        width_ = width;
        length_ = length;
    }

private:
    long double width_;
    long double length_;
};

// 2024-05-01 12:34:56 as a day number.
[[nodiscard]] double FixedClockValue();

// A filter writing `fileName` (memory when empty) for `report`, with the fixed clock.
[[nodiscard]] std::unique_ptr<TRpPDFDocumentFilter> MakeFilter(const std::filesystem::path& fileName,
                                                               ExportedReport* report);

// A run of `pages` empty pages for the recorded pages' device: Start, NewPage and EndPage per
// page, Finish.
void RunEmptyPages(TRpPDFDocumentFilter& filter, int pages);

// The whole content of a file; empty when it cannot be read.
[[nodiscard]] std::string ReadWholeFile(const std::filesystem::path& path);
// The names in a folder, sorted.
[[nodiscard]] std::vector<std::string> FolderNames(const std::filesystem::path& folder);

// Checks `pdf` with the structure checker and qpdf (exit 0, no warning); returns what pdfinfo
// says of it. Failures are reported to the running test.
[[nodiscard]] std::string CheckedPdfInfo(const std::string& pdf);

// pdfinfo's value for `key` ("Pages", "Page size"), blanks around it removed.
[[nodiscard]] std::string InfoValue(const std::string& pdfinfo, const std::string& key);

}  // namespace report::output::testing
