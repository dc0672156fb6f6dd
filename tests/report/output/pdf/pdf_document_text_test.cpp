// Text in the PDF document with made-up font metrics: the lines of each text item, where a line
// is put for each alignment and angle, how fonts are told apart and numbered, and the exact text
// of a font's two objects.
#include "report/output/pdf/pdf_document.h"
#include "report/output/pdf/pdf_glyph_names.h"
#include "tests/report/output/pdf/pdf_document_fixture.h"
#include "tests/report/output/pdf/pdf_text_fixture.h"
#include "tests/support/pdf_check.h"
#include "utility/cp1250.h"
#include "utility/rp_error.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <sstream>

namespace report::output::testing {
namespace {

using utility::Pl;

// One tenth of a millimetre is 96 / 254 pixels on the recording device, and a pixel 0.75 point.
constexpr long double kTenthsPerInch = 254;

FontSpec Font(const std::string& face, int points, bool bold = false, bool italic = false)
{
    FontSpec font;
    font.face = face;
    font.points = points;
    font.bold = bold;
    font.italic = italic;
    font.charset = 238;
    return font;
}

struct TextRun {
    std::unique_ptr<TRpPDFDocumentFilter> filter;
    FakeFontMetrics* metrics = nullptr;

    explicit TextRun(ExportedReport* report = nullptr, const ExportDevice& device = {}) : filter(MakeFilter({}, report))
    {
        auto fake = std::make_unique<FakeFontMetrics>();
        metrics = fake.get();
        filter->FontMetrics = std::move(fake);
        filter->Start(2100, 2970, FontSpec{}, device);
        filter->NewPage();
    }
    void Text(long double x, long double y, const FontSpec& font, const std::string& text,
              HorizontalAlign alignment = HorizontalAlign::Left)
    {
        filter->TextOutput(x, y, font, qRgb(255, 255, 255), alignment, text);
    }
    std::string Finish()
    {
        filter->Finish();
        return filter->Bytes();
    }
};

// The "X Y" of a position line " a b c d  X Y Tm (...) Tj".
std::pair<long, long> PositionOf(const std::string& line)
{
    std::istringstream fields(line.substr(0, line.find(" Tm ")));
    double a = 0, b = 0, c = 0, d = 0;
    long x = 0, y = 0;
    fields >> a >> b >> c >> d >> x >> y;
    return {x, y};
}

long double WidthInPoints(const std::string& text, int points, bool bold = false)
{
    long double sum = 0;
    for (const char c : text)
        sum += FakeFontMetrics::Width(static_cast<unsigned char>(c), bold);
    return sum * points / 1000;
}

TEST(PdfDocumentText, LinesOfOneItem)
{
    TextRun run;
    FontSpec font = Font("Arial", 10);
    font.color = qRgb(255, 128, 0);
    // One inch from the left and from the top: 96 pixels, 72 points.
    run.Text(kTenthsPerInch, kTenthsPerInch, font, "a(b)c\\d");
    const std::vector<std::string> lines = TextLinesOf(run.Finish());
    // The baseline lies the ascent (0.8 em of 10 points) below the top; the page is 840 high.
    const long y = static_cast<long>(840 - (72 + 8));
    EXPECT_EQ(lines, (std::vector<std::string>{"1.00 0.50 0.00 rg", "/F00 10 Tf",
                                               " 1.0000 0.0000 0.0000 1.0000  72 " + std::to_string(y) +
                                                   " Tm (a\\(b\\)c\\\\d) Tj"}));
}

TEST(PdfDocumentText, EveryLineSetsColourAndFontAgain)
{
    TextRun run;
    run.Text(100, 100, Font("Arial", 8), "one");
    run.Text(100, 200, Font("Arial", 8), "two");
    const std::string pdf = run.Finish();
    const std::vector<std::string> lines = TextLinesOf(pdf);
    ASSERT_EQ(lines.size(), 6u);
    EXPECT_EQ(lines[3], "0.00 0.00 0.00 rg");
    EXPECT_EQ(lines[4], "/F00 8 Tf");
    EXPECT_TRUE(lines[5].ends_with(" Tm (two) Tj"));
    // Text bytes, colour, font and position lines, each with its CR LF, between BT and ET.
    std::size_t bytes = 0;
    for (const std::string& line : lines)
        bytes += line.size() + 2;
    EXPECT_NE(pdf.find("<< /Length " + std::to_string(bytes + 8) + " >>"), std::string::npos);
    EXPECT_EQ(testsupport::JoinProblems(testsupport::PdfStructureProblems(pdf)), "");
}

TEST(PdfDocumentText, AlignmentMovesTheLineByItsWidth)
{
    struct Row {
        HorizontalAlign alignment;
        long double shift;  // of the line's start, in widths of the line
    };
    const Row rows[] = {{HorizontalAlign::Left, 0}, {HorizontalAlign::Right, -1}, {HorizontalAlign::Center, -0.5L}};
    const std::string text = Pl("Żółw AB");
    for (const int points : {7, 8, 12}) {
        for (const Row& row : rows) {
            SCOPED_TRACE(points);
            SCOPED_TRACE(static_cast<int>(row.alignment));
            TextRun run;
            run.Text(2 * kTenthsPerInch, kTenthsPerInch, Font("Arial", points), text, row.alignment);
            const std::vector<std::string> lines = TextLinesOf(run.Finish());
            ASSERT_EQ(lines.size(), 3u);
            // The line's start, cut to whole points as the position is written.
            const long double start = 144 + row.shift * WidthInPoints(text, points);
            EXPECT_EQ(PositionOf(lines[2]).first, static_cast<long>(std::trunc(start)));
        }
    }
}

TEST(PdfDocumentText, BaselineIsTheAscentBelowTheTop)
{
    for (const int points : {7, 10, 20, 35}) {
        SCOPED_TRACE(points);
        TextRun run;
        run.Text(0, kTenthsPerInch, Font("Arial", points), "x");
        const std::vector<std::string> lines = TextLinesOf(run.Finish());
        ASSERT_EQ(lines.size(), 3u);
        const long double baseline = 72 + FakeFontMetrics::kAscent * points / 1000.0L;
        EXPECT_EQ(PositionOf(lines[2]).second, static_cast<long>(std::trunc(840 - baseline)));
    }
}

TEST(PdfDocumentText, TurnedTextTurnsAboutItsTopLeftCorner)
{
    struct Row {
        int orientation;  // tenths of a degree
        const char* matrix;
        long double dx, dy;  // from the corner to the start of the baseline, points, upward axis
    };
    // 10 points of ascent: at 90 degrees the baseline lies 8 points right of the corner.
    const Row rows[] = {
        {0, " 1.0000 0.0000 0.0000 1.0000", 0, -8},
        {900, " 0.0000 1.0000 -1.0000 0.0000", 8, 0},
        {1800, " -1.0000 0.0000 0.0000 -1.0000", 0, 8},
        {450, " 0.7071 0.7071 -0.7071 0.7071", 8 * std::sqrt(0.5L), -8 * std::sqrt(0.5L)},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.orientation);
        TextRun run;
        FontSpec font = Font("Arial", 10);
        font.orientation = row.orientation;
        run.Text(2 * kTenthsPerInch, 2 * kTenthsPerInch, font, "up");
        const std::vector<std::string> lines = TextLinesOf(run.Finish());
        ASSERT_EQ(lines.size(), 3u);
        EXPECT_TRUE(lines[2].starts_with(row.matrix)) << lines[2];
        const auto [x, y] = PositionOf(lines[2]);
        EXPECT_EQ(x, static_cast<long>(std::trunc(144 + row.dx)));
        EXPECT_EQ(y, static_cast<long>(std::trunc(840 - 144 + row.dy)));
    }
}

TEST(PdfDocumentText, PlaceDoesNotDependOnTheDevicesResolution)
{
    std::vector<std::pair<long, long>> places;
    // The recorded pages' device, and a printer of 600 x 300 dots per inch.
    for (const ExportDevice& device : {ExportDevice{}, ExportDevice{600 / 254.0L, 300 / 254.0L, 0, 0, {}}}) {
        FixedReport report(2100, 2970);
        TextRun run(&report, device);
        run.Text(800, 1200, Font("Arial", 12), "Suma", HorizontalAlign::Right);
        places.push_back(PositionOf(TextLinesOf(run.Finish()).at(2)));
    }
    ASSERT_EQ(places.size(), 2u);
    // Positions are whole points, and the device pixel of 96 dpi is 0.75 point.
    EXPECT_NEAR(places[0].first, places[1].first, 1);
    EXPECT_NEAR(places[0].second, places[1].second, 1);
}

// The resource names the lines of a run use, and the base font of each font object.
struct FontsOfRun {
    std::vector<std::string> resources;
    std::vector<std::string> baseFonts;
};

FontsOfRun Fonts(const std::string& pdf, int fonts)
{
    FontsOfRun result;
    for (const std::string& line : TextLinesOf(pdf)) {
        if (line.ends_with(" Tf"))
            result.resources.push_back(line.substr(1, line.find(' ') - 1));
    }
    for (int j = 0; j < fonts; ++j) {
        const std::string object = ObjectText(pdf, 6 + 2 * j);
        const std::size_t at = object.find("/BaseFont /");
        result.baseFonts.push_back(at == std::string::npos ? "(none)"
                                                           : object.substr(at + 11, object.find("\r\n", at) - at - 11));
    }
    return result;
}

TEST(PdfDocumentText, FontsAreToldApartByFaceStyleAndCharacterSet)
{
    FontSpec centralEuropean = Font("Arial", 8);
    FontSpec western = centralEuropean;
    western.charset = 0;
    struct Row {
        const char* name;
        std::vector<FontSpec> fonts;
        std::vector<std::string> resources;
        std::vector<std::string> baseFonts;
    };
    const Row rows[] = {
        {"regular then bold", {Font("Arial", 8), Font("Arial", 8, true)}, {"F00", "F01"}, {"Arial", "Arial,Bold"}},
        {"bold then regular", {Font("Arial", 8, true), Font("Arial", 8)}, {"F00", "F01"}, {"Arial,Bold", "Arial"}},
        {"two sizes", {Font("Arial", 7), Font("Arial", 12)}, {"F00", "F00"}, {"Arial"}},
        {"letter case", {Font("arial", 8), Font("Arial", 8), Font("ARIAL", 8)}, {"F00", "F00", "F00"}, {"arial"}},
        {"surrounding blanks", {Font(" Arial  ", 8), Font("Arial", 8)}, {"F00", "F00"}, {"Arial"}},
        {"bold italic", {Font("Times New Roman", 11, true, true)}, {"F00"}, {"TimesNewRoman,BoldItalic"}},
        {"italic",
         {Font("Arial", 8, false, true), Font("Arial", 8, true, true)},
         {"F00", "F01"},
         {"Arial,Italic", "Arial,BoldItalic"}},
        {"character sets", {centralEuropean, western}, {"F00", "F01"}, {"Arial", "Arial"}},
        {"back to the first",
         {Font("Arial", 8), Font("Courier New", 8), Font("Arial", 10)},
         {"F00", "F01", "F00"},
         {"Arial", "CourierNew"}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        TextRun run;
        for (const FontSpec& font : row.fonts)
            run.Text(100, 100, font, "x");
        const std::string pdf = run.Finish();
        const FontsOfRun fonts = Fonts(pdf, static_cast<int>(row.baseFonts.size()));
        EXPECT_EQ(fonts.resources, row.resources);
        EXPECT_EQ(fonts.baseFonts, row.baseFonts);
        // No font object beyond those: the information object follows them.
        EXPECT_NE(ObjectText(pdf, 6 + 2 * static_cast<int>(row.baseFonts.size())).find("/Producer"), std::string::npos);
    }
}

TEST(PdfDocumentText, MetricsAreTakenOncePerFaceAndStyle)
{
    TextRun run;
    run.Text(100, 100, Font("Arial", 8), "a");
    run.Text(100, 100, Font(" arial", 12), "b");
    run.Text(100, 100, Font("Arial", 8, true), "c");
    FontSpec western = Font("Arial", 8);
    western.charset = 0;
    run.Text(100, 100, western, "d");
    static_cast<void>(run.Finish());
    EXPECT_EQ(run.metrics->calls, (std::vector<std::string>{"Arial", "Arial B"}));
}

// The writer keeps the last metrics, colour, font line and turn from line to line: a line is
// written as on a page of its own, whatever line came before it. Right-aligned, its place
// depends on its widths.
TEST(PdfDocumentText, ALineIsWrittenAsAloneWhateverLineCameBefore)
{
    const auto turned = [](FontSpec font, int orientation) {
        font.orientation = orientation;
        return font;
    };
    const FontSpec upright = Font("Arial", 10);
    const FontSpec italic = Font("Arial", 10, false, true);
    FontSpec red = upright;
    red.color = qRgb(255, 0, 0);
    struct Row {
        const char* name;
        FontSpec before;
        FontSpec line;
    };
    const Row rows[] = {
        {"upright after turned", turned(upright, 900), upright},
        {"turned after upright", upright, turned(upright, 900)},
        {"turned after turned otherwise", turned(upright, 450), turned(upright, 900)},
        {"italic after upright", upright, italic},
        {"upright after italic", italic, upright},
        {"bold after regular", upright, Font("Arial", 10, true)},
        {"another size", upright, Font("Arial", 14)},
        {"another face", Font("Courier New", 10), upright},
        {"black after red", red, upright},
    };
    const auto linesOf = [](const std::vector<FontSpec>& fonts) {
        TextRun run;
        for (const FontSpec& font : fonts)
            run.Text(800, 1200, font, "Suma", HorizontalAlign::Right);
        return TextLinesOf(run.Finish());
    };
    // A font line without its resource name, which depends on the fonts used before.
    const auto sizeOf = [](const std::string& fontLine) { return fontLine.substr(fontLine.find(' ')); };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        const std::vector<std::string> alone = linesOf({row.line});
        const std::vector<std::string> after = linesOf({row.before, row.line});
        ASSERT_EQ(alone.size(), 3u);
        ASSERT_EQ(after.size(), 6u);
        EXPECT_EQ(after[3], alone[0]);
        EXPECT_EQ(sizeOf(after[4]), sizeOf(alone[1]));
        EXPECT_EQ(after[5], alone[2]);
    }
}

TEST(PdfDocumentText, AHundredAndOneFacesAreNumberedOnToF100)
{
    TextRun run;
    for (int face = 0; face <= 100; ++face)
        run.Text(100, 100, Font("Face " + std::to_string(face), 8), "x");
    const std::string pdf = run.Finish();
    const std::vector<std::string> lines = TextLinesOf(pdf);
    ASSERT_EQ(lines.size(), 303u);
    EXPECT_EQ(lines[1], "/F00 8 Tf");
    EXPECT_EQ(lines[298], "/F99 8 Tf");
    EXPECT_EQ(lines[301], "/F100 8 Tf");
    // One page: font j is object 6 + 2j, its descriptor the next; the page tree lists each.
    EXPECT_NE(pdf.find("\r\n  /F100 206 0 R \r\n  >>\r\n/ProcSet 209 0 R\r\n"), std::string::npos);
    const std::string last = ObjectText(pdf, 206);
    EXPECT_NE(last.find("\r\n/Name /F100\r\n/BaseFont /Face100\r\n"), std::string::npos) << last;
    EXPECT_NE(last.find("/FontDescriptor 207 0 R"), std::string::npos);
    EXPECT_EQ(InfoValue(CheckedPdfInfo(pdf), "Pages"), "1");
}

TEST(PdfDocumentText, FontObjectsFollowThePagesOfEveryCount)
{
    TextRun run;
    run.Text(100, 100, Font("Arial", 8), "first page");
    run.filter->NewPage();
    run.Text(100, 100, Font("Arial", 8, true), "second page");
    const std::string pdf = run.Finish();
    // Two pages (4 to 7), two fonts (8 to 11), then the information and the procedure set.
    EXPECT_NE(ObjectText(pdf, 8).find("/Name /F00\r\n/BaseFont /Arial\r\n"), std::string::npos);
    EXPECT_EQ(ObjectText(pdf, 9).find("9 0 obj\r\n<<\r\n/Type /FontDescriptor"), 0u);
    EXPECT_NE(ObjectText(pdf, 10).find("/Name /F01\r\n/BaseFont /Arial,Bold\r\n"), std::string::npos);
    EXPECT_NE(ObjectText(pdf, 12).find("/Producer"), std::string::npos);
    EXPECT_EQ(TextLinesOf(pdf, 1).at(1), "/F01 8 Tf");
    EXPECT_EQ(InfoValue(CheckedPdfInfo(pdf), "Pages"), "2");
}

TEST(PdfDocumentText, FontObjectsWithMadeUpMetrics)
{
    TextRun run;
    run.Text(100, 100, Font("Times New Roman", 8, true, true), "x");
    const std::string pdf = run.Finish();

    std::string widths;
    for (int code = 0; code < 256; ++code)
        widths += std::to_string(FakeFontMetrics::Width(static_cast<unsigned char>(code), true, true)) + " ";
    std::string names;
    for (int code = 2; code < 256; ++code) {
        names += '/';
        names += Cp1250GlyphName(static_cast<unsigned char>(code));
    }
    const std::string font = "6 0 obj\r\n<<\r\n/Type /Font\r\n/Subtype /TrueType\r\n/Name /F00\r\n"
                             "/BaseFont /TimesNewRoman,BoldItalic\r\n/FirstChar 0\r\n/LastChar 255\r\n"
                             "/Widths [ \r\n" +
                             widths +
                             " ]\r\n"
                             "/Encoding  <</Type/Encoding /Differences [ 2 " +
                             names +
                             "]>>\r\n"
                             "/FontDescriptor 7 0 R\r\n>>\r\nendobj\r\n";
    const std::string descriptor = "7 0 obj\r\n<<\r\n/Type /FontDescriptor\r\n/Ascent 800\r\n/Descent -200\r\n"
                                   "/CapHeight 700\r\n/Flags 32\r\n/FontBBox [ -100 -200 1000 900 ]\r\n"
                                   "/FontName /TimesNewRoman,BoldItalic\r\n/ItalicAngle -12\r\n/StemV 168\r\n"
                                   ">>\r\nendobj\r\n";
    EXPECT_EQ(ObjectText(pdf, 6), font);
    EXPECT_EQ(ObjectText(pdf, 7), descriptor);
    EXPECT_NE(pdf.find(descriptor + "8 0 obj\r\n"), std::string::npos) << "the information object follows";
    EXPECT_EQ(InfoValue(CheckedPdfInfo(pdf), "Pages"), "1");
}

TEST(PdfDocumentText, FaceNamesStayOneNameToken)
{
    TextRun run;
    run.Text(100, 100, Font(Pl("Czcionka (próba)#2"), 8), "x");
    const std::string pdf = run.Finish();
    EXPECT_NE(ObjectText(pdf, 6).find("\r\n/BaseFont /Czcionka#28pr#F3ba#29#232\r\n"), std::string::npos);
    EXPECT_NE(ObjectText(pdf, 7).find("\r\n/FontName /Czcionka#28pr#F3ba#29#232\r\n"), std::string::npos);
    EXPECT_EQ(InfoValue(CheckedPdfInfo(pdf), "Pages"), "1");
}

TEST(PdfDocumentText, ItemsCanBeAddedDirectly)
{
    TextRun run;
    TPDFItemRec item;
    item.Kind = TPDFItemKind::Text;
    item.X = 50.9L;
    item.Y = 100;
    item.Text = "(direct)";
    item.FontName = "Arial";
    item.FontSize = 9;
    item.FillColor = qRgb(0, 0, 255);
    run.filter->AddItem(item);
    EXPECT_EQ(TextLinesOf(run.Finish()),
              (std::vector<std::string>{"0.00 0.00 1.00 rg", "/F00 9 Tf",
                                        " 1.0000 0.0000 0.0000 1.0000  50 740 Tm (\\(direct\\)) Tj"}));
}

class NoFonts : public PdfFontMetrics {
public:
    TTFontrec FontMetrics(std::string_view, bool, bool) override { throw ERpError("GetFontData error"); }
};

TEST(PdfDocumentText, AFontThatCannotBeReadLeavesTheOlderFile)
{
    QTemporaryDir folder;
    ASSERT_TRUE(folder.isValid());
    const std::filesystem::path target = std::filesystem::path(folder.path().toStdString()) / "report.pdf";
    std::ofstream(target, std::ios::binary) << "an older file";
    TPDFItemRec item;
    item.Kind = TPDFItemKind::Text;
    item.FontName = "Arial";
    item.FontSize = 8;

    // Measuring a line needs the font at once; an item added as it is needs it at the end.
    for (const bool measured : {true, false}) {
        SCOPED_TRACE(measured);
        auto filter = MakeFilter(target, nullptr);
        filter->FontMetrics = std::make_unique<NoFonts>();
        filter->Start(2100, 2970, FontSpec{}, ExportDevice{});
        filter->NewPage();
        if (measured) {
            EXPECT_THROW(filter->TextOutput(100, 100, Font("Arial", 8), qRgb(0, 0, 0), HorizontalAlign::Left, "x"),
                         ERpError);
        } else {
            filter->AddItem(item);
            try {
                filter->Finish();
                ADD_FAILURE() << "Finish succeeded without the font";
            } catch (const ERpError& error) {
                EXPECT_STREQ(error.what(), "GetFontData error");
            }
        }
        // The failed run releases its filter.
        filter.reset();
        EXPECT_EQ(ReadWholeFile(target), "an older file");
        EXPECT_EQ(FolderNames(target.parent_path()), std::vector<std::string>{"report.pdf"});
    }
}

}  // namespace
}  // namespace report::output::testing
