// Text in written PDF files, read back by poppler and mupdf with the system's fonts: every
// character of code page 1250 comes back as itself, the font is named as the reader expects, and
// lines sit where the canvas draws them in the preview.
#include "report/output/canvas/trace_canvas.h"
#include "report/output/pdf/pdf_document.h"
#include "report/output/pdf/pdf_font_metrics.h"
#include "tests/report/output/pdf/pdf_document_fixture.h"
#include "tests/support/pdf_check.h"
#include "utility/cp1250.h"

#include <QString>
#include <QTemporaryDir>
#include <QXmlStreamReader>

#include <gtest/gtest.h>

#include <fstream>
#include <map>
#include <sstream>

namespace report::output::testing {
namespace {

using testsupport::RunTool;
using utility::Pl;

FontSpec Arial(int points, bool bold = false)
{
    FontSpec font;
    font.face = "Arial";
    font.points = points;
    font.bold = bold;
    font.charset = 238;
    return font;
}

// Writes `pdf` into a temporary folder for the command-line readers.
class PdfOnDisk {
public:
    explicit PdfOnDisk(const std::string& pdf)
    {
        EXPECT_TRUE(folder_.isValid());
        path_ = folder_.filePath("text.pdf");
        std::ofstream(path_.toStdString(), std::ios::binary) << pdf;
    }
    const QString& Path() const { return path_; }

private:
    QTemporaryDir folder_;
    QString path_;
};

// The lines of a tool's output without trailing blanks, form feeds and empty lines.
std::vector<std::string> NonEmptyLines(const std::string& text)
{
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) {
        const std::size_t last = line.find_last_not_of(" \t\r\f");
        if (last != std::string::npos)
            lines.push_back(line.substr(0, last + 1));
    }
    return lines;
}

// What a reader shows for the code page 1250 text of a line: the character itself, except that
// the no-break space is a space, the soft hyphen a hyphen and the five undefined codes blanks.
std::string ShownAs(const std::string& line)
{
    std::string shown;
    for (const char c : line) {
        switch (static_cast<unsigned char>(c)) {
        case 0xA0:
        case 0x81:
        case 0x83:
        case 0x88:
        case 0x90:
        case 0x98:
            shown += ' ';
            break;
        case 0xAD:
            shown += '-';
            break;
        default:
            shown += utility::Cp1250ToUtf8(std::string_view(&c, 1));
        }
    }
    return shown;
}

TEST(PdfDocumentTextFile, EveryCharacterReadsBackAsItself)
{
    FixedReport report(2100, 2970);
    const auto filter = MakeFilter({}, &report);
    filter->Start(2100, 2970, FontSpec{}, ExportDevice{});
    filter->NewPage();
    std::vector<std::string> expected;
    for (int first = 0x20; first < 0x100; first += 0x20) {
        std::string line = "|";
        for (int code = first; code < first + 0x20; ++code) {
            if (code != 0x7F)
                line += static_cast<char>(code);
        }
        line += "|";
        filter->TextOutput(200, 200 + 80 * static_cast<long double>(expected.size()), Arial(12), qRgb(255, 255, 255),
                           HorizontalAlign::Left, line);
        expected.push_back(ShownAs(line));
    }
    filter->Finish();
    const std::string pdf = filter->Bytes();
    EXPECT_EQ(InfoValue(CheckedPdfInfo(pdf), "Pages"), "1");
    const PdfOnDisk file(pdf);

    const testsupport::ToolResult poppler = RunTool({"pdftotext", "-enc", "UTF-8", file.Path(), "-"});
    ASSERT_EQ(poppler.exitCode, 0) << poppler.err;
    EXPECT_EQ(NonEmptyLines(poppler.out), expected);

    const testsupport::ToolResult mupdf = RunTool({"mutool", "draw", "-q", "-F", "txt", "-o", "-", file.Path()});
    ASSERT_EQ(mupdf.exitCode, 0) << mupdf.err << " (mupdf-tools is installed by scripts/setup.sh)";
    EXPECT_EQ(NonEmptyLines(mupdf.out), expected);
}

TEST(PdfDocumentTextFile, FontIsATrueTypeFontWithItsOwnEncoding)
{
    FixedReport report(2100, 2970);
    const auto filter = MakeFilter({}, &report);
    filter->Start(2100, 2970, FontSpec{}, ExportDevice{});
    filter->NewPage();
    filter->TextOutput(200, 200, Arial(7), qRgb(255, 255, 255), HorizontalAlign::Left, Pl("Zażółć gęślą jaźń"));
    filter->TextOutput(200, 300, Arial(12), qRgb(255, 255, 255), HorizontalAlign::Right, "12:34");
    filter->Finish();
    const PdfOnDisk file(filter->Bytes());
    EXPECT_EQ(InfoValue(CheckedPdfInfo(filter->Bytes()), "Pages"), "1");

    const testsupport::ToolResult fonts = RunTool({"pdffonts", file.Path()});
    ASSERT_EQ(fonts.exitCode, 0) << fonts.err;
    const std::vector<std::string> lines = NonEmptyLines(fonts.out);
    ASSERT_EQ(lines.size(), 3u) << fonts.out;  // two heading lines and one font
    std::istringstream fields(lines[2]);
    std::vector<std::string> words;
    for (std::string word; words.size() < 6 && fields >> word;)
        words.push_back(word);
    EXPECT_EQ(words, (std::vector<std::string>{"Arial", "TrueType", "Custom", "no", "no", "no"})) << fonts.out;
}

// A line of text as mupdf lays it out: where its first character begins, where its last one ends,
// and its baseline, in points from the page's top left corner.
struct ShownLine {
    double start = 0;
    double end = 0;
    double baseline = 0;
};

// The lines of mupdf's structured text by their text (UTF-8).
std::map<std::string, ShownLine> ShownLines(const std::string& stext)
{
    std::map<std::string, ShownLine> lines;
    QXmlStreamReader xml(QByteArray::fromStdString(stext));
    std::string text;
    ShownLine line;
    while (!xml.atEnd()) {
        xml.readNext();
        if (xml.isStartElement() && xml.name() == QLatin1String("line")) {
            text.clear();
        } else if (xml.isStartElement() && xml.name() == QLatin1String("char")) {
            const QStringList quad = xml.attributes().value("quad").toString().split(' ');
            if (text.empty()) {
                line.start = xml.attributes().value("x").toDouble();
                line.baseline = xml.attributes().value("y").toDouble();
            }
            line.end = quad.size() == 8 ? quad[2].toDouble() : 0;
            text += xml.attributes().value("c").toString().toStdString();
        } else if (xml.isEndElement() && xml.name() == QLatin1String("line")) {
            lines[text] = line;
        }
    }
    EXPECT_FALSE(xml.hasError()) << xml.errorString().toStdString();
    return lines;
}

// "TextOut x,y ..." of a trace canvas: the point it draws the text at.
std::pair<int, int> TracedPoint(const std::string& traceLine)
{
    std::istringstream in(traceLine.substr(std::string("TextOut ").size()));
    int x = 0;
    int y = 0;
    char comma = 0;
    in >> x >> comma >> y;
    return {x, y};
}

// Each line goes to the canvas at the device point of its position, as a text control draws it,
// and to the PDF document as the control exports it.
TEST(PdfDocumentTextFile, LinesSitWhereTheCanvasDrawsThem)
{
    struct Row {
        HorizontalAlign alignment;
        int points;
        long double x, y;  // tenths of a millimetre
        std::string text;
    };
    const Row rows[] = {
        {HorizontalAlign::Left, 12, 200, 300, "Lewa"},
        {HorizontalAlign::Right, 12, 1900, 450, "Prawa"},
        {HorizontalAlign::Center, 20, 1050, 650, Pl("Środek")},
        {HorizontalAlign::Left, 20, 333, 900, Pl("Żółw")},
        {HorizontalAlign::Right, 7, 1777, 1100, Pl("Razem:12:34")},
        {HorizontalAlign::Center, 8, 1234, 1250, Pl("Łączna")},
        {HorizontalAlign::Right, 8, 2000, 1400, Pl("Dzienny_czas_jazdy_i_pracy_kierowcy_łącznie")},
        {HorizontalAlign::Center, 11, 1000, 1600, Pl("Gęślą_jaźń_ZAŻÓŁĆ_WWW")},
    };
    std::string stext;
    std::vector<std::string> traced;
    {
        // The recorded pages' device.
        const ExportDevice device;
        FixedReport report(2100, 2970);
        const auto filter = MakeFilter({}, &report);
        filter->Start(2100, 2970, FontSpec{}, device);
        filter->NewPage();
        TraceCanvas canvas;
        for (const Row& row : rows) {
            canvas.SetFont(Arial(row.points));
            canvas.SetTextAlign(TextAlign{row.alignment, false});
            canvas.TextOut(device.DeviceX(row.x), device.DeviceY(row.y), row.text);
            filter->TextOutput(row.x, row.y, Arial(row.points), qRgb(255, 255, 255), row.alignment, row.text);
        }
        filter->Finish();
        traced = canvas.Lines();
        EXPECT_EQ(InfoValue(CheckedPdfInfo(filter->Bytes()), "Pages"), "1");
        const PdfOnDisk file(filter->Bytes());
        const testsupport::ToolResult shown = RunTool({"mutool", "draw", "-q", "-F", "stext", "-o", "-", file.Path()});
        EXPECT_EQ(shown.exitCode, 0) << shown.err;
        stext = shown.out;
    }

    const std::map<std::string, ShownLine> lines = ShownLines(stext);
    ASSERT_EQ(traced.size(), std::size(rows));
    RawFontMetrics arial;
    const int ascent = arial.FontMetrics("Arial", false, false).Ascent;
    // The file gives positions in whole points, cut toward zero; the recording device's pixel
    // is 0.75 point; the page's height is written in whole points too.
    constexpr double kPixel = 0.75;
    constexpr double kTolerance = 0.01;
    for (std::size_t i = 0; i < std::size(rows); ++i) {
        const Row& row = rows[i];
        SCOPED_TRACE(utility::Cp1250ToUtf8(row.text));
        const auto found = lines.find(utility::Cp1250ToUtf8(row.text));
        ASSERT_NE(found, lines.end()) << stext;
        const ShownLine& line = found->second;
        const auto [x, y] = TracedPoint(traced[i]);
        const double anchor = x * kPixel;
        switch (row.alignment) {
        case HorizontalAlign::Left:
            EXPECT_NEAR(line.start, anchor, kPixel + kTolerance);
            break;
        case HorizontalAlign::Right:
            EXPECT_LE(line.end, anchor + kTolerance);
            EXPECT_GE(line.end, anchor - 1 - kTolerance);
            break;
        case HorizontalAlign::Center:
            EXPECT_LE((line.start + line.end) / 2, anchor + kTolerance);
            EXPECT_GE((line.start + line.end) / 2, anchor - 1 - kTolerance);
            break;
        }
        // The top of the line: its baseline less the ascent of the font the preview draws with.
        const double top = line.baseline - ascent * row.points / 1000.0;
        EXPECT_NEAR(top, y * kPixel, 1.0);
    }
}

}  // namespace
}  // namespace report::output::testing
