#include "report/output/export/export_filter.h"

#include <utility>

namespace report::output {

TRpExportFilter::TRpExportFilter(std::filesystem::path fileName) : FileName(std::move(fileName)) {}

std::string TRpExportFilter::GetDescription() const { return "Abstract non-working export filter"; }

std::string TRpExportFilter::GetExtension() const { return {}; }

std::string TRpExportFilter::GetFilterName() const { return "Abstract filter"; }

std::string TRpExportFilter::GetVendorName() const { return "Kartovan"; }

bool TRpExportFilter::GetStreaming() const { return false; }

void TRpExportFilter::Start(std::int32_t, std::int32_t, const FontSpec&, const ExportDevice& device)
{
    device_ = device;
    Active = true;
}

void TRpExportFilter::EndPage() {}

void TRpExportFilter::Finish() { Active = false; }

void TRpExportFilter::NewPage() {}

void TRpExportFilter::ExportControl(const ExportedControl&, long double, long double) {}

void TRpExportFilter::ExportControlAlt(const ExportedControl&, long double, long double) {}

void TRpExportFilter::ExportBand(TRpBandType, long double, long double, long double) {}

void TRpExportFilter::TextOutput(long double, long double, const FontSpec&, QRgb, HorizontalAlign, std::string_view) {}

void TRpExportFilter::TextOutputRec(const ExportText&) {}

}  // namespace report::output
