// Text in the PDF writer: each line of a report becomes an item, and each item the lines of the
// page's text object that set its colour, font and place and show it. Fonts are collected by
// key and written, two objects each, when the file is written.
#include "report/output/pdf/pdf_document.h"
#include "report/output/pdf/pdf_fonts.h"
#include "report/output/pdf/pdf_numbers.h"
#include "utility/cp1250.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <utility>

namespace report::output {
namespace {

long double Radians(long double degrees) { return degrees / 360 * 2 * std::numbers::pi_v<long double>; }

}  // namespace

void TRpPDFDocumentFilter::TextOutput(long double x, long double y, const FontSpec& font, QRgb,
                                      HorizontalAlign alignment, std::string_view text)
{
    if (!pageOpen_)
        StartPage();
    const long double dx = Device().DeviceX(x);
    const long double dy = Device().DeviceY(y);

    // The line is measured with the widths the file gives the reader, so that a right-aligned
    // or centred line ends or centres where it should at any size.
    if (lastMetrics_.metrics == nullptr || lastMetrics_.face != font.face || lastMetrics_.bold != font.bold ||
        lastMetrics_.italic != font.italic) {
        lastMetrics_.metrics = &MetricsOf(font.face, font.bold, font.italic);
        lastMetrics_.face = font.face;
        lastMetrics_.bold = font.bold;
        lastMetrics_.italic = font.italic;
    }
    const TTFontrec& metrics = *lastMetrics_.metrics;
    const long double size = font.points;
    long double width = 0;
    for (const char c : text)
        width += metrics.Widths[static_cast<unsigned char>(c)];
    width = width * size / 1000;
    long double along = 0;  // from the anchor to the line's start, along the baseline
    if (alignment == HorizontalAlign::Right)
        along = -width;
    else if (alignment == HorizontalAlign::Center)
        along = -width / 2;
    // The baseline lies the font's ascent below the top, as the canvas draws it.
    const long double down = metrics.Ascent * size / 1000;

    TPDFItemRec item;
    item.Kind = TPDFItemKind::Text;
    item.Angle = font.orientation / 10.0L;
    const long double theta = Radians(item.Angle);
    item.X = dx * scaleX_ + along * std::cos(theta) + down * std::sin(theta);
    item.Y = dy * scaleY_ - along * std::sin(theta) + down * std::cos(theta);
    item.Text = std::string(text);
    item.FontName = font.face;
    item.Charset = static_cast<std::uint8_t>(std::clamp(font.charset, 0, 255));
    item.FontSize = font.points;
    item.FillColor = font.color;
    item.Bold = font.bold;
    item.Italic = font.italic;
    AddItem(std::move(item));
}

void TRpPDFDocumentFilter::WriteTextItem(const TPDFItemRec& item)
{
    // The colour, the font line and the matrix's first four numbers repeat from line to line:
    // each is made when it differs from the last.
    if (lastTextFont_.index < 0 || lastTextFont_.face != item.FontName || lastTextFont_.bold != item.Bold ||
        lastTextFont_.italic != item.Italic || lastTextFont_.charset != item.Charset) {
        lastTextFont_.index = FontIndex(MakeFontKey(item.FontName, item.Bold, item.Italic, item.Charset));
        lastTextFont_.face = item.FontName;
        lastTextFont_.bold = item.Bold;
        lastTextFont_.italic = item.Italic;
        lastTextFont_.charset = item.Charset;
    }
    const int font = lastTextFont_.index;
    if (lastColourLine_.empty() || lastColour_ != item.FillColor) {
        lastColourLine_ = PdfColorText(item.FillColor) + " rg";
        lastColour_ = item.FillColor;
    }
    AddTextLine(lastColourLine_);
    if (lastFontLine_.empty() || lastFontLineIndex_ != font || lastFontLineSize_ != item.FontSize) {
        lastFontLine_.clear();
        lastFontLine_ += '/';
        lastFontLine_ += FontResourceName(font) + " " + PdfInt(item.FontSize) + " Tf";
        lastFontLineIndex_ = font;
        lastFontLineSize_ = item.FontSize;
    }
    AddTextLine(lastFontLine_);
    if (lastMatrix_.empty() || lastAngle_ != item.Angle) {
        const long double theta = Radians(item.Angle);
        const long double c = std::cos(theta);
        const long double s = std::sin(theta);
        lastMatrix_.clear();
        lastMatrix_ += ' ';
        lastMatrix_ +=
            PdfFixed(c, 4, 6) + " " + PdfFixed(s, 4, 6) + " " + PdfFixed(-s, 4, 6) + " " + PdfFixed(c, 4, 6) + "  ";
        lastAngle_ = item.Angle;
    }
    line_ = lastMatrix_;
    AppendPdfTrunc(line_, {item.X, item.Y});
    line_ += " Tm (";
    AppendEscapedPdfText(line_, item.Text);
    line_ += ") Tj";
    AddTextLine(line_);
}

int TRpPDFDocumentFilter::FontIndex(const std::string& key)
{
    const auto [found, added] =
        fontNumbers_.try_emplace(utility::Cp1250UpperCase(key), static_cast<int>(FontKeys.size()));
    if (added)
        FontKeys.push_back(key);
    return found->second;
}

const TTFontrec& TRpPDFDocumentFilter::MetricsOf(std::string_view face, bool bold, bool italic)
{
    const std::string fontKey = MakeFontKey(face, bold, italic, 0);
    std::string key = utility::Cp1250UpperCase(fontKey);
    auto found = metrics_.find(key);
    if (found == metrics_.end()) {
        if (!FontMetrics)
            FontMetrics = MakeSystemFontMetrics();
        TTFontrec metrics = FontMetrics->FontMetrics(SplitFontKey(fontKey).Name, bold, italic);
        found = metrics_.emplace(std::move(key), std::move(metrics)).first;
    }
    return found->second;
}

void TRpPDFDocumentFilter::WriteFontObjects(PdfFileWriter& out, const std::string& fontKey, int index)
{
    const PdfFontKey key = SplitFontKey(fontKey);
    const TTFontrec& font = MetricsOf(key.Name, key.Bold(), key.Italic());
    const long long number = 2LL * static_cast<long long>(pages_.size()) + 4 + 2LL * index;
    // Readers find the font by this name; a blank or delimiter in it would end the token.
    std::string baseName = "/";
    baseName += PdfNameToken(key.BaseName);

    out.Line(PdfInt(number) + " 0 obj");
    out.Line("<<");
    out.Line("/Type /Font");
    out.Line("/Subtype /TrueType");
    out.Line("/Name /" + FontResourceName(index));
    out.Line("/BaseFont " + baseName);
    out.Line("/FirstChar " + PdfInt(font.FirstChar));
    out.Line("/LastChar " + PdfInt(font.LastChar));
    out.Line("/Widths [ ");
    std::string widths;
    const int first = std::max(font.FirstChar, 0);
    const int last = std::min(font.LastChar, TTFontrec::kLastChar);
    for (int code = first; code <= last; ++code)
        widths += PdfInt(font.Widths[static_cast<std::size_t>(code)]) + " ";
    out.Line(widths + " ]");
    out.Line("/Encoding " + Cp1250EncodingText());
    out.Line("/FontDescriptor " + PdfInt(number + 1) + " 0 R");
    out.Line(">>");
    out.Line("endobj");
    out.Mark();

    out.Line(PdfInt(number + 1) + " 0 obj");
    out.Line("<<");
    out.Line("/Type /FontDescriptor");
    out.Line("/Ascent " + PdfInt(font.Ascent));
    out.Line("/Descent " + PdfInt(font.Descent));
    out.Line("/CapHeight " + PdfInt(font.CapHeight));
    out.Line("/Flags " + PdfInt(font.Flags));
    out.Line("/FontBBox [ " + PdfInt(font.xMin) + " " + PdfInt(font.yMin) + " " + PdfInt(font.xMax) + " " +
             PdfInt(font.yMax) + " ]");
    out.Line("/FontName " + baseName);
    out.Line("/ItalicAngle " + PdfInt(font.ItalicAngle));
    out.Line("/StemV " + PdfInt(font.StemV));
    out.Line(">>");
    out.Line("endobj");
    out.Mark();
}

}  // namespace report::output
