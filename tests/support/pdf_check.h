// PDF files in tests: a structure checker of our own, a builder for small hand-made files, and
// the runner for the command-line readers (qpdf, poppler, mupdf) that read them back.
#pragma once

#include <QStringList>

#include <string>
#include <string_view>
#include <vector>

namespace testsupport {

// What is wrong with the layout of a PDF file as this program writes it; empty when nothing:
// - every line outside stream data ends in CR LF;
// - the file ends in "startxref", the offset of the "xref" line, and "%%EOF";
// - the table has "0 K+1", the free entry and K entries of exactly 20 bytes; entry N points
//   at the line "N 0 obj" and the objects follow one another in number order;
// - each object runs from its line to "endobj" right before the next one (or "xref"), and a
//   stream's /Length is the number of bytes between "stream\r\n" and "endstream";
// - the trailer's /Size is K + 1.
[[nodiscard]] std::vector<std::string> PdfStructureProblems(std::string_view pdf);

// One problem per line, for test failure messages.
[[nodiscard]] std::string JoinProblems(const std::vector<std::string>& problems);

// The body of a stream object: "<< /Length n" + keys + " >>", "stream", the data, CR LF,
// "endstream"; n counts the data and that CR LF.
[[nodiscard]] std::string StreamBody(std::string_view keys, std::string_view data);

// A PDF 1.3 file whose object N is bodies[N - 1] (each body ends in CR LF), laid out as this
// program writes PDF files; the trailer names object 1 as the root.
[[nodiscard]] std::string BuildPdf(const std::vector<std::string>& bodies);

// ASCII85 text (up to "~>", white space skipped) back to bytes.
[[nodiscard]] std::string Ascii85Decoded(std::string_view text);

// A catalog (1) and an empty page tree (2) to put before objects of one's own.
[[nodiscard]] std::vector<std::string> MinimalPdfObjects();

struct ToolResult {
    int exitCode = -1;  // -1 when the tool did not start or ran into the time limit
    std::string out;
    std::string err;
};

// Runs a command-line tool (arguments[0]) under `timeout`, reading its whole output.
[[nodiscard]] ToolResult RunTool(const QStringList& arguments, int timeLimitSeconds = 60);

}  // namespace testsupport
