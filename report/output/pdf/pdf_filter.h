// The component that makes PDF output available: while one exists, the export filter registry
// offers the PDF document filter.
#pragma once

#include <cstdint>

namespace report::output {

enum class TFontHandling : std::uint8_t { fhSubstitute, fhAutoEmbed, fhNoEmbedding };

class TRpPDFFilter {
public:
    // Adds the PDF document filter to ExportFilterLibrary() (when the registry exists).
    TRpPDFFilter();
    // Removes it again (when the registry still exists).
    ~TRpPDFFilter();
    TRpPDFFilter(const TRpPDFFilter&) = delete;
    TRpPDFFilter& operator=(const TRpPDFFilter&) = delete;

    // Kept with the component's settings; the PDF writer does not read it.
    bool CompressionOn = false;
    // One value for every instance; the PDF writer does not read it either.
    [[nodiscard]] static TFontHandling FontHandling();
    static void SetFontHandling(TFontHandling handling);
};

}  // namespace report::output
