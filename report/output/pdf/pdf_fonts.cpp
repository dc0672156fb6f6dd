#include "report/output/pdf/pdf_fonts.h"

#include "report/output/pdf/pdf_glyph_names.h"
#include "report/output/pdf/pdf_numbers.h"

#include <array>

namespace report::output {
namespace {

constexpr int kFirstEncodedCode = 2;

std::string_view TrimBlanks(std::string_view text)
{
    const std::size_t first = text.find_first_not_of(' ');
    if (first == std::string_view::npos)
        return {};
    return text.substr(first, text.find_last_not_of(' ') - first + 1);
}

bool NeedsNameEscape(unsigned char byte)
{
    constexpr std::string_view kDelimiters = "()<>[]{}/%#";
    return byte < 33 || byte > 126 || kDelimiters.find(static_cast<char>(byte)) != std::string_view::npos;
}

}  // namespace

std::string EscapePdfText(std::string_view text)
{
    std::string escaped;
    escaped.reserve(text.size());
    AppendEscapedPdfText(escaped, text);
    return escaped;
}

void AppendEscapedPdfText(std::string& out, std::string_view text)
{
    for (const char c : text) {
        if (c == '\\' || c == '(' || c == ')')
            out += '\\';
        out += c;
    }
}

std::string PdfNameToken(std::string_view bytes)
{
    constexpr std::string_view kHex = "0123456789ABCDEF";
    std::string token;
    token.reserve(bytes.size());
    for (const char c : bytes) {
        const auto byte = static_cast<unsigned char>(c);
        if (NeedsNameEscape(byte)) {
            token += '#';
            token += kHex[byte >> 4];
            token += kHex[byte & 0x0F];
        } else {
            token += c;
        }
    }
    return token;
}

std::string PdfColorText(QRgb color)
{
    const auto fraction = [](int component) { return PdfFixed(component / 255.0L, 2, 4); };
    return fraction(qRed(color)) + " " + fraction(qGreen(color)) + " " + fraction(qBlue(color));
}

std::string MakeFontKey(std::string_view face, bool bold, bool italic, int charset)
{
    const std::string_view name = TrimBlanks(face);
    std::string styles;
    if (bold)
        styles += 'B';
    if (italic)
        styles += 'I';
    std::string baseName;
    for (const char c : name) {
        if (c != ' ')
            baseName += c;
    }
    if (bold || italic)
        baseName += std::string(",") + (bold ? "Bold" : "") + (italic ? "Italic" : "");
    std::string key(name);
    key += '\t';
    key += styles;
    key += '\t';
    key += PdfInt(charset);
    key += '\t';
    key += baseName;
    return key;
}

PdfFontKey SplitFontKey(std::string_view key)
{
    std::array<std::string, 4> parts;
    std::size_t part = 0;
    for (const char c : key) {
        if (c == '\t' && part + 1 < parts.size())
            ++part;
        else
            parts[part] += c;
    }
    return PdfFontKey{parts[0], parts[1], parts[2], parts[3]};
}

std::string FontResourceName(int index)
{
    std::string name = "F";
    name += PdfInt(index, 2);
    return name;
}

std::string Cp1250EncodingText()
{
    std::string text = " <</Type/Encoding /Differences [ " + PdfInt(kFirstEncodedCode) + " ";
    for (int code = kFirstEncodedCode; code <= 255; ++code) {
        text += '/';
        text += Cp1250GlyphName(static_cast<unsigned char>(code));
    }
    text += "]>>";
    return text;
}

}  // namespace report::output
