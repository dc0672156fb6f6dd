// The PDF file itself: objects 1 to 3 (catalog, outlines, page tree), a page and its content
// stream per page, two objects per font, the document information and the procedure set, then
// the cross-reference table. Every line ends in CR LF.
#include "report/output/pdf/pdf_document.h"
#include "report/output/pdf/pdf_fonts.h"
#include "report/output/pdf/pdf_numbers.h"
#include "utility/datetime.h"
#include "utility/rp_error.h"

namespace report::output {
namespace {

std::string Obj(std::size_t number) { return PdfInt(static_cast<long long>(number)) + " 0 obj"; }

std::string Ref(std::size_t number) { return PdfInt(static_cast<long long>(number)) + " 0 R"; }

std::string MediaBox(long double width, long double height)
{
    return "/MediaBox [0 0 " + PdfTrunc(width) + " " + PdfTrunc(height) + "]";
}

// "D:YYYYMMDDHHmmSS", the date form PDF readers understand.
std::string PdfDate(double dayNumber)
{
    const utility::DateTimeParts t = utility::SplitDateTime(dayNumber);
    return "D:" + PdfInt(t.year, 4) + PdfInt(t.month, 2) + PdfInt(t.day, 2) + PdfInt(t.hour, 2) + PdfInt(t.minute, 2) +
           PdfInt(t.second, 2);
}

}  // namespace

void TRpPDFDocumentFilter::WriteDocument()
{
    ClosePage();
    try {
        PdfFileWriter out(*Stream);
        WriteHead(out);
        WritePageTree(out);
        WritePages(out);
        for (std::size_t j = 0; j < FontKeys.size(); ++j)
            WriteFontObjects(out, FontKeys[j], static_cast<int>(j));
        WriteInformation(out);
        WriteCrossReference(out);
        Stream->Commit();
    } catch (...) {
        CloseStream();
        throw;
    }
    CloseStream();
}

void TRpPDFDocumentFilter::WriteHead(PdfFileWriter& out) const
{
    out.Line("%PDF-1.3");
    // Bytes above 127 right away tell transfer programs that the file is binary.
    out.Line("%\xC5\xAD\x6F\x81");
    out.Mark();
    for (const char* line : {"1 0 obj", "<<", "/Type /Catalog", "/Pages 3 0 R", "/Outlines 2 0 R",
                             "/ViewerPreferences << /HideToolbar false /FitWindow true >>", ">>", "endobj"})
        out.Line(line);
    out.Mark();
    for (const char* line : {"2 0 obj", "<<", "/Type /Outlines", "/Count 0", ">>", "endobj"})
        out.Line(line);
}

void TRpPDFDocumentFilter::WritePageTree(PdfFileWriter& out) const
{
    const std::size_t pageCount = pages_.size();
    const std::size_t firstFont = 2 * pageCount + 4;
    out.Mark();
    out.Line("3 0 obj");
    out.Line("<<");
    out.Line("/Type /Pages");
    out.Line("/Count " + PdfInt(static_cast<long long>(pageCount)));
    std::string kids = "/Kids [";
    for (std::size_t i = 0; i < pageCount; ++i)
        kids.append(i == 0 ? "" : " ").append(Ref(4 + 2 * i));
    out.Line(kids + "]");
    out.Line(MediaBox(pages_.front().width, pages_.front().height));
    out.Line("/Resources << ");
    out.Line("/Font << ");
    for (std::size_t j = 0; j < FontKeys.size(); ++j)
        out.Line("  /F" + PdfInt(static_cast<long long>(j), 2) + " " + Ref(firstFont + 2 * j) + " ");
    out.Line("  >>");
    out.Line("/ProcSet " + Ref(firstFont + 2 * FontKeys.size() + 1));
    out.Line(">>");
    out.Line(">>");
    out.Line("endobj");
}

void TRpPDFDocumentFilter::WritePages(PdfFileWriter& out) const
{
    out.Mark();
    for (std::size_t i = 0; i < pages_.size(); ++i) {
        const PageLines& page = pages_[i];
        const std::size_t number = 4 + 2 * i;
        out.Line(Obj(number));
        out.Line("<<");
        out.Line("/Type /Page");
        out.Line("/Parent 3 0 R");
        out.Line("/Contents " + Ref(number + 1));
        out.Line(MediaBox(page.width, page.height));
        out.Line(">>");
        out.Line("endobj");
        out.Mark();
        out.Line(Obj(number + 1));
        // The stream's bytes: the graphics lines, "BT" and the text lines ending in "ET".
        const std::size_t length = page.graphics.size() + page.text.size() + 4;
        out.Line("<< /Length " + PdfInt(static_cast<long long>(length)) + " >>");
        out.Line("stream");
        out.Raw(page.graphics);
        out.Line("BT");
        out.Raw(page.text);
        out.Line("endstream");
        out.Line("endobj");
        out.Mark();
    }
}

void TRpPDFDocumentFilter::WriteInformation(PdfFileWriter& out) const
{
    const std::size_t number = 2 * pages_.size() + 4 + 2 * FontKeys.size();
    out.Line(Obj(number));
    out.Line("<<");
    out.Line("/CreationDate (" + PdfDate(Clock ? Clock() : utility::Now()) + ")");
    out.Line("/Producer (RerirEdavuzi PDF Export)");
    out.Line("/Subject (" + EscapePdfText(Subject) + " )");
    out.Line("/Creator (" + EscapePdfText(Creator) + ")");
    out.Line("/Title (" + EscapePdfText(Title) + ")");
    out.Line("/Author (" + EscapePdfText(Author) + ")");
    out.Line(">>");
    out.Line("endobj");
    out.Mark();
    out.Line(Obj(number + 1));
    out.Line("[/PDF /Text]");
    out.Line("endobj");
}

void TRpPDFDocumentFilter::WriteCrossReference(PdfFileWriter& out)
{
    const std::uint64_t start = out.Offset();
    const std::size_t count = out.Marks().size();
    out.Line("xref");
    out.Line("0 " + PdfInt(static_cast<long long>(count + 1)));
    out.Line("0000000000 65535 f");
    for (const std::uint64_t offset : out.Marks())
        out.Line(PdfInt(static_cast<long long>(offset), 10) + " 00000 n");
    out.Line("trailer");
    out.Line("<<");
    out.Line("/Size " + PdfInt(static_cast<long long>(count + 1)));
    out.Line("/Root 1 0 R");
    out.Line("/Info " + Ref(count - 1));
    out.Line(">>");
    out.Line("startxref");
    out.Line(PdfInt(static_cast<long long>(start)));
    out.Line("%%EOF");
}

}  // namespace report::output
