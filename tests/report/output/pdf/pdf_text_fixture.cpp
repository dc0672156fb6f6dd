#include "tests/report/output/pdf/pdf_text_fixture.h"

#include <cctype>

namespace report::output::testing {

TTFontrec FakeFontMetrics::FontMetrics(std::string_view face, bool bold, bool italic)
{
    calls.push_back(std::string(face) + (bold ? " B" : "") + (italic ? " I" : ""));
    TTFontrec font;
    for (int code = 0; code <= TTFontrec::kLastChar; ++code)
        font.Widths[static_cast<std::size_t>(code)] =
            face == "Courier New" ? kCourierWidth : Width(static_cast<unsigned char>(code), bold, italic);
    font.Ascent = kAscent;
    font.Descent = -200;
    font.CapHeight = 700;
    font.StemV = bold ? 168 : 95;
    font.Flags = 32;
    font.ItalicAngle = italic ? -12 : 0;
    font.xMin = -100;
    font.yMin = -200;
    font.xMax = 1000;
    font.yMax = 900;
    return font;
}

std::map<int, std::string> DifferencesOf(std::string_view encoding)
{
    std::map<int, std::string> names;
    const std::size_t open = encoding.find("/Differences [");
    if (open == std::string_view::npos)
        return names;
    std::size_t at = open + 14;
    int code = 0;
    while (at < encoding.size() && encoding[at] != ']') {
        const char c = encoding[at];
        if (std::isdigit(static_cast<unsigned char>(c))) {
            code = 0;
            while (at < encoding.size() && std::isdigit(static_cast<unsigned char>(encoding[at])))
                code = code * 10 + (encoding[at++] - '0');
        } else if (c == '/') {
            const std::size_t end = encoding.find_first_of("/ ]", at + 1);
            names[code++] = std::string(encoding.substr(at + 1, end - at - 1));
            at = end;
        } else {
            ++at;
        }
    }
    return names;
}

std::vector<std::string> TextLinesOf(const std::string& pdf, int page)
{
    std::vector<std::string> lines;
    std::size_t at = 0;
    for (int i = 0; i <= page; ++i) {
        at = pdf.find("\r\nBT\r\n", at);
        if (at == std::string::npos)
            return lines;
        at += 6;
    }
    for (std::size_t end = pdf.find("\r\n", at); end != std::string::npos; end = pdf.find("\r\n", at)) {
        std::string line = pdf.substr(at, end - at);
        at = end + 2;
        if (line == "ET")
            break;
        lines.push_back(std::move(line));
    }
    return lines;
}

std::string ObjectText(const std::string& pdf, int number)
{
    const std::string head = "\r\n" + std::to_string(number) + " 0 obj\r\n";
    const std::size_t start = pdf.find(head);
    if (start == std::string::npos)
        return {};
    const std::size_t end = pdf.find("\r\nendobj\r\n", start);
    return end == std::string::npos ? std::string() : pdf.substr(start + 2, end + 10 - start - 2);
}

}  // namespace report::output::testing
