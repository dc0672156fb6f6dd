// The pieces of PDF text the writer builds for text lines and fonts: string and name escapes,
// colours, font keys and the encoding of code page 1250 fonts.
#pragma once

#include <QRgb>

#include <string>
#include <string_view>

namespace report::output {

// Text for between the parentheses of a PDF string: "\" becomes "\\", "(" "\(" and ")" "\)".
// The bytes stay code page 1250.
[[nodiscard]] std::string EscapePdfText(std::string_view text);
// The same appended to `out`.
void AppendEscapedPdfText(std::string& out, std::string_view text);

// The bytes of a PDF name after its "/": a byte outside 33..126, a delimiter or "#" is
// written as "#" and two hexadecimal digits, so the name stays one token.
[[nodiscard]] std::string PdfNameToken(std::string_view bytes);

// "%4.2f %4.2f %4.2f" of the red, green and blue fractions (black: "0.00 0.00 0.00").
[[nodiscard]] std::string PdfColorText(QRgb color);

// A font as the PDF file names it. Name is the face without surrounding blanks; Styles "",
// "B", "I" or "BI"; Charset the character set number in decimal; BaseName the face without
// blanks, with ",Bold", ",Italic" or ",BoldItalic" for a styled font.
struct PdfFontKey {
    std::string Name;
    std::string Styles;
    std::string Charset;
    std::string BaseName;

    [[nodiscard]] bool Bold() const { return Styles.find('B') != std::string::npos; }
    [[nodiscard]] bool Italic() const { return Styles.find('I') != std::string::npos; }
};

// The key text: Name, Styles, Charset and BaseName with a tab between them.
[[nodiscard]] std::string MakeFontKey(std::string_view face, bool bold, bool italic, int charset);
// The parts of a key text; a part the text lacks stays empty.
[[nodiscard]] PdfFontKey SplitFontKey(std::string_view key);

// The resource name of font `index`: "F" and at least two digits (F00, F01, ..., F100).
[[nodiscard]] std::string FontResourceName(int index);

// The /Encoding value of every font: the glyph names of code page 1250 from code 2 to 255 as
// differences, "space" for a code without a glyph. Begins with a blank.
[[nodiscard]] std::string Cp1250EncodingText();

}  // namespace report::output
