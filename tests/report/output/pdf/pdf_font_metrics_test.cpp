// Font metrics of the system's own fonts, in thousandths of an em as PDF reads them. "Arial" is
// Liberation Sans, whose advances are those of Arial; "MS Sans Serif" is DejaVu Sans.
#include "report/output/pdf/pdf_font_metrics.h"

#include "report/output/canvas/measure.h"
#include "utility/cp1250.h"
#include "utility/rp_error.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>

namespace report::output {
namespace {

using utility::Pl;

TEST(PdfFontMetrics, WidthsOfArialInThousandthsOfAnEm)
{
    RawFontMetrics fonts;
    const TTFontrec regular = fonts.FontMetrics("Arial", false, false);
    const TTFontrec bold = fonts.FontMetrics("Arial", true, false);
    struct Row {
        int code;
        int width;
    };
    const Row rows[] = {{32, 278}, {65, 667}, {87, 944}, {97, 556}, {179, 222}, {175, 611}};
    for (const Row& row : rows) {
        SCOPED_TRACE(row.code);
        EXPECT_EQ(regular.Widths[static_cast<std::size_t>(row.code)], row.width);
    }
    EXPECT_EQ(bold.Widths[65], 722);
    EXPECT_EQ(regular.FirstChar, 0);
    EXPECT_EQ(regular.LastChar, 255);
    // Codes without a glyph of their own are drawn as a space, and are as wide.
    for (const int code : {0, 9, 0x7F, 0x81, 0x83, 0x88, 0x90, 0x98})
        EXPECT_EQ(regular.Widths[static_cast<std::size_t>(code)], 278) << code;
}

TEST(PdfFontMetrics, DescriptorValuesOfTheSystemFonts)
{
    struct Row {
        const char* face;
        bool bold, italic;
        int ascent, descent, flags, angle, capHeight, stemV;
        int xMin, yMin, xMax, yMax;
    };
    const Row rows[] = {
        {"Arial", false, false, 905, -212, 32, 0, 688, 95, -544, -303, 1302, 980},
        {"arial ", true, false, 905, -212, 32, 0, 688, 168, -482, -376, 1304, 1033},
        {"Arial", false, true, 905, -212, 32, -12, 688, 95, -664, -303, 1361, 1014},
        // A serif face is nonsymbolic and serif.
        {"Times New Roman", false, false, 891, -216, 34, 0, 655, 95, -544, -303, 1278, 981},
        // DejaVu Sans leaves its family unclassified and has no cap height.
        {"MS Sans Serif", false, false, 928, -236, 32, 0, 0, 95, -1021, -463, 1793, 1232},
    };
    RawFontMetrics fonts;
    for (const Row& row : rows) {
        SCOPED_TRACE(row.face + std::string(row.bold ? " bold" : "") + (row.italic ? " italic" : ""));
        const TTFontrec font = fonts.FontMetrics(row.face, row.bold, row.italic);
        EXPECT_EQ(font.Ascent, row.ascent);
        EXPECT_EQ(font.Descent, row.descent);
        EXPECT_EQ(font.Flags, row.flags);
        EXPECT_EQ(font.ItalicAngle, row.angle);
        EXPECT_EQ(font.CapHeight, row.capHeight);
        EXPECT_EQ(font.StemV, row.stemV);
        EXPECT_EQ(font.xMin, row.xMin);
        EXPECT_EQ(font.yMin, row.yMin);
        EXPECT_EQ(font.xMax, row.xMax);
        EXPECT_EQ(font.yMax, row.yMax);
    }
}

// The PDF's numbers describe the face the preview draws with: its widths and ascent at a large
// size agree with the canvas's measuring to the rounding of a thousandth of an em.
TEST(PdfFontMetrics, AgreeWithTheCanvasMeasuring)
{
    MeasureDevice device(kMeasureDpi);
    RawFontMetrics fonts;
    const std::string text = Pl("Zażółć gęślą jaźń ŻÓŁW 0123456789 Wiązka");
    for (const char* face : {"Arial", "Times New Roman", "MS Sans Serif"}) {
        for (const bool bold : {false, true}) {
            SCOPED_TRACE(std::string(face) + (bold ? " bold" : ""));
            FontSpec spec;
            spec.face = face;
            spec.bold = bold;
            spec.points = 750;  // 1000 pixels at 96 dpi
            const TTFontrec font = fonts.FontMetrics(face, bold, false);
            long sum = 0;
            for (const char c : text)
                sum += font.Widths[static_cast<unsigned char>(c)];
            EXPECT_NEAR(sum, device.TextWidth(spec, text), 0.5 * static_cast<double>(text.size()) + 1);
            EXPECT_NEAR(font.Ascent, device.Metrics(spec).ascent(), 1);
            EXPECT_NEAR(-font.Descent, device.Metrics(spec).descent(), 1);
        }
    }
}

}  // namespace
}  // namespace report::output
