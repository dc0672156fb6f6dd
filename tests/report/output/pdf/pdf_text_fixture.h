// What the PDF text tests share: font metrics of made-up round numbers, and readers for the
// parts of a written file that text and fonts go into.
#pragma once

#include "report/output/pdf/pdf_font_metrics.h"

#include <map>
#include <string>
#include <string_view>
#include <vector>

namespace report::output::testing {

// Every code is 300 + code thousandths wide (50 more in bold, 20 more in italic), and 600 in
// Courier New; ascent 800, descent -200, cap height 700, box -100 -200 1000 900, flags 32, angle
// -12 in italic, stem 95 (168 in bold).
class FakeFontMetrics : public PdfFontMetrics {
public:
    TTFontrec FontMetrics(std::string_view face, bool bold, bool italic) override;

    static int Width(unsigned char code, bool bold, bool italic = false)
    {
        return 300 + code + (bold ? 50 : 0) + (italic ? 20 : 0);
    }
    static constexpr int kAscent = 800;
    static constexpr int kCourierWidth = 600;

    // One entry per call: the face, then " B" and " I" for the styles.
    std::vector<std::string> calls;
};

// The glyph names of a /Differences array by code.
[[nodiscard]] std::map<int, std::string> DifferencesOf(std::string_view encoding);

// The lines between "BT" and "ET" of page `page` (from 0) of a file as this writer makes it.
[[nodiscard]] std::vector<std::string> TextLinesOf(const std::string& pdf, int page = 0);

// Object `number` from its "n 0 obj" line to its "endobj" line, CR LF included; empty when
// it is not there.
[[nodiscard]] std::string ObjectText(const std::string& pdf, int number);

}  // namespace report::output::testing
