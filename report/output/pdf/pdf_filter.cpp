#include "report/output/pdf/pdf_filter.h"

#include "report/output/export/export_filter_library.h"
#include "report/output/pdf/pdf_document.h"

namespace report::output {
namespace {

TFontHandling g_fontHandling = TFontHandling::fhSubstitute;

}  // namespace

TRpPDFFilter::TRpPDFFilter()
{
    if (TRpExportFilterLibrary* library = ExportFilterLibrary())
        library->AddFilter(ExportFilterClassOf<TRpPDFDocumentFilter>());
}

TRpPDFFilter::~TRpPDFFilter()
{
    if (TRpExportFilterLibrary* library = ExportFilterLibrary())
        library->RemoveFilter(ExportFilterClassOf<TRpPDFDocumentFilter>());
}

TFontHandling TRpPDFFilter::FontHandling() { return g_fontHandling; }

void TRpPDFFilter::SetFontHandling(TFontHandling handling) { g_fontHandling = handling; }

}  // namespace report::output
