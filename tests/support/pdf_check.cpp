#include "tests/support/pdf_check.h"

#include <QProcess>

#include <charconv>
#include <cstdint>
#include <optional>

namespace testsupport {
namespace {

using Problems = std::vector<std::string>;

bool AllDigits(std::string_view text)
{
    return !text.empty() && text.find_first_not_of("0123456789") == std::string_view::npos;
}

std::optional<std::size_t> ParseNumber(std::string_view text)
{
    std::size_t value = 0;
    if (!AllDigits(text))
        return std::nullopt;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size())
        return std::nullopt;
    return value;
}

// The line that starts at `at`, without its CR LF; nullopt when no CR LF ends it.
std::optional<std::string_view> LineAt(std::string_view pdf, std::size_t at)
{
    const std::size_t end = pdf.find("\r\n", at);
    if (at > pdf.size() || end == std::string_view::npos)
        return std::nullopt;
    return pdf.substr(at, end - at);
}

// Every CR is followed by LF and every LF follows a CR.
void CheckLineEnds(std::string_view part, std::size_t offset, Problems& problems)
{
    for (std::size_t i = 0; i < part.size(); ++i) {
        const bool badCr = part[i] == '\r' && (i + 1 == part.size() || part[i + 1] != '\n');
        const bool badLf = part[i] == '\n' && (i == 0 || part[i - 1] != '\r');
        if (badCr || badLf) {
            problems.push_back("line not ended by CR LF at byte " + std::to_string(offset + i));
            return;
        }
    }
}

// The stream of an object (its text from "N 0 obj" to the next object): /Length against the
// bytes up to "endstream", and "endobj" ending the object.
void CheckObject(std::string_view object, std::size_t offset, std::size_t number, Problems& problems)
{
    const std::string name = "object " + std::to_string(number) + ": ";
    const std::size_t streamAt = object.find("\r\nstream\r\n");
    if (streamAt == std::string_view::npos) {
        CheckLineEnds(object, offset, problems);
        const std::size_t endobj = object.find("endobj");
        if (endobj == std::string_view::npos || endobj + 8 != object.size() || !object.ends_with("\r\nendobj\r\n"))
            problems.push_back(name + "does not end with one \"endobj\" line right before the next object");
        return;
    }
    const std::string_view head = object.substr(0, streamAt + 2);
    CheckLineEnds(head, offset, problems);
    const std::size_t lengthAt = head.find("/Length ");
    if (lengthAt == std::string_view::npos) {
        problems.push_back(name + "stream without /Length");
        return;
    }
    const std::size_t digitsAt = lengthAt + 8;
    const std::size_t digitsEnd = head.find_first_not_of("0123456789", digitsAt);
    const auto length = ParseNumber(head.substr(digitsAt, digitsEnd - digitsAt));
    const std::size_t dataAt = streamAt + 10;
    const std::size_t endstream = object.find("endstream\r\nendobj\r\n", dataAt);
    if (!length || endstream == std::string_view::npos || endstream + 19 != object.size()) {
        problems.push_back(name + "no \"endstream\" and \"endobj\" lines at its end");
        return;
    }
    if (*length != endstream - dataAt)
        problems.push_back(name + "/Length " + std::to_string(*length) + " but " + std::to_string(endstream - dataAt) +
                           " bytes between \"stream\" and \"endstream\"");
}

// The offsets of the table's K entries; problems for any entry that is not 20 bytes.
std::vector<std::size_t> ReadXref(std::string_view pdf, std::size_t xref, Problems& problems)
{
    std::vector<std::size_t> offsets;
    const auto head = LineAt(pdf, xref);
    const auto count = head ? LineAt(pdf, xref + head->size() + 2) : std::nullopt;
    if (!head || *head != "xref" || !count || !count->starts_with("0 ") || !ParseNumber(count->substr(2))) {
        problems.push_back("startxref does not name a line \"xref\" followed by \"0 n\"");
        return offsets;
    }
    const std::size_t entries = *ParseNumber(count->substr(2));
    std::size_t at = xref + 6 + count->size() + 2;
    for (std::size_t n = 0; n < entries; ++n, at += 20) {
        const std::string_view entry = at + 20 <= pdf.size() ? pdf.substr(at, 20) : std::string_view();
        const std::string_view tail = n == 0 ? " 65535 f\r\n" : " 00000 n\r\n";
        if (entry.size() != 20 || !AllDigits(entry.substr(0, 10)) || entry.substr(10) != tail ||
            (n == 0 && entry.substr(0, 10) != "0000000000")) {
            problems.push_back("xref entry " + std::to_string(n) + " is not 20 bytes: ten digits, \"" +
                               std::string(tail.substr(0, 8)) + "\" and CR LF");
            offsets.clear();
            return offsets;
        }
        if (n > 0)
            offsets.push_back(*ParseNumber(entry.substr(0, 10)));
    }
    if (pdf.substr(at, 9) != "trailer\r\n")
        problems.push_back("no \"trailer\" line right after the xref entries");
    const std::size_t size = pdf.find("/Size ", at);
    const std::size_t sizeEnd = size == std::string_view::npos ? size : pdf.find_first_not_of("0123456789", size + 6);
    if (size == std::string_view::npos || ParseNumber(pdf.substr(size + 6, sizeEnd - size - 6)) != entries)
        problems.push_back("the trailer's /Size is not " + std::to_string(entries));
    return offsets;
}

// The offset that startxref names, from the file's last three lines.
std::optional<std::size_t> StartXref(std::string_view pdf, Problems& problems)
{
    const std::string_view eof = "\r\n%%EOF\r\n";
    const std::size_t numberEnd = pdf.ends_with(eof) ? pdf.size() - eof.size() : std::string_view::npos;
    const std::size_t keyword = pdf.rfind("startxref\r\n");
    if (numberEnd == std::string_view::npos || keyword == std::string_view::npos || keyword + 11 > numberEnd) {
        problems.push_back("the file does not end with \"startxref\", an offset and \"%%EOF\", each a CR LF line");
        return std::nullopt;
    }
    const auto offset = ParseNumber(pdf.substr(keyword + 11, numberEnd - keyword - 11));
    if (!offset || *offset >= keyword) {
        problems.push_back("startxref is not followed by the offset of the \"xref\" line");
        return std::nullopt;
    }
    return offset;
}

}  // namespace

std::vector<std::string> PdfStructureProblems(std::string_view pdf)
{
    Problems problems;
    if (!pdf.starts_with("%PDF-1."))
        problems.push_back("no \"%PDF-1.\" header");
    const auto xref = StartXref(pdf, problems);
    if (!xref)
        return problems;
    CheckLineEnds(pdf.substr(*xref), *xref, problems);
    const std::vector<std::size_t> offsets = ReadXref(pdf, *xref, problems);
    if (offsets.empty())
        return problems;
    for (std::size_t i = 0; i < offsets.size(); ++i) {
        const std::size_t at = offsets[i];
        const std::size_t next = i + 1 < offsets.size() ? offsets[i + 1] : *xref;
        const std::string expected = std::to_string(i + 1) + " 0 obj";
        const bool atLineStart = at > 0 && at < next && next <= *xref && pdf[at - 1] == '\n';
        if (!atLineStart || LineAt(pdf, at) != std::optional<std::string_view>(expected)) {
            problems.push_back("xref entry " + std::to_string(i + 1) + " (offset " + std::to_string(at) +
                               ") is not at the line \"" + expected + "\" in object order");
            return problems;
        }
        CheckObject(pdf.substr(at, next - at), at, i + 1, problems);
    }
    CheckLineEnds(pdf.substr(0, offsets.front()), 0, problems);
    return problems;
}

std::string JoinProblems(const std::vector<std::string>& problems)
{
    std::string text;
    for (const std::string& problem : problems)
        text += problem + "\n";
    return text;
}

std::string StreamBody(std::string_view keys, std::string_view data)
{
    std::string body = "<< /Length " + std::to_string(data.size() + 2);
    if (!keys.empty())
        body.append(" ").append(keys);
    body += " >>\r\nstream\r\n";
    body += data;
    body += "\r\nendstream\r\n";
    return body;
}

std::string BuildPdf(const std::vector<std::string>& bodies)
{
    std::string pdf = "%PDF-1.3\r\n%\xC5\xAD\x6F\x81\r\n";
    std::vector<std::size_t> offsets;
    for (std::size_t i = 0; i < bodies.size(); ++i) {
        offsets.push_back(pdf.size());
        pdf += std::to_string(i + 1) + " 0 obj\r\n" + bodies[i] + "endobj\r\n";
    }
    const std::size_t xref = pdf.size();
    pdf += "xref\r\n0 " + std::to_string(bodies.size() + 1) + "\r\n0000000000 65535 f\r\n";
    for (std::size_t offset : offsets) {
        const std::string digits = std::to_string(offset);
        pdf += std::string(10 - digits.size(), '0') + digits + " 00000 n\r\n";
    }
    pdf += "trailer\r\n<<\r\n/Size " + std::to_string(bodies.size() + 1) + "\r\n/Root 1 0 R\r\n>>\r\n";
    pdf += "startxref\r\n" + std::to_string(xref) + "\r\n%%EOF\r\n";
    return pdf;
}

std::vector<std::string> MinimalPdfObjects()
{
    return {"<<\r\n/Type /Catalog\r\n/Pages 2 0 R\r\n>>\r\n", "<<\r\n/Type /Pages\r\n/Count 0\r\n/Kids []\r\n>>\r\n"};
}

ToolResult RunTool(const QStringList& arguments, int timeLimitSeconds)
{
    ToolResult result;
    QProcess process;
    process.start("timeout", QStringList{QString::number(timeLimitSeconds)} + arguments);
    if (!process.waitForStarted() || !process.waitForFinished((timeLimitSeconds + 10) * 1000)) {
        process.kill();
        process.waitForFinished();
        return result;
    }
    result.out = process.readAllStandardOutput().toStdString();
    result.err = process.readAllStandardError().toStdString();
    // timeout(1) answers 124 when the limit was reached.
    result.exitCode =
        process.exitStatus() == QProcess::NormalExit && process.exitCode() != 124 ? process.exitCode() : -1;
    return result;
}

std::string Ascii85Decoded(std::string_view text)
{
    std::string bytes;
    std::uint32_t group = 0;
    int count = 0;
    for (const char c : text) {
        if (c == '~')
            break;
        if (c == '\r' || c == '\n' || c == ' ')
            continue;
        if (c == 'z' && count == 0) {
            bytes.append(4, '\0');
            continue;
        }
        group = group * 85 + static_cast<std::uint32_t>(c - '!');
        if (++count == 5) {
            for (int shift = 24; shift >= 0; shift -= 8)
                bytes += static_cast<char>((group >> shift) & 0xFFu);
            group = 0;
            count = 0;
        }
    }
    if (count > 0) {
        // A short group stands for count - 1 bytes, padded with the highest digit.
        for (int i = count; i < 5; ++i)
            group = group * 85 + 84;
        for (int i = 0; i < count - 1; ++i)
            bytes += static_cast<char>((group >> (24 - 8 * i)) & 0xFFu);
    }
    return bytes;
}

}  // namespace testsupport
