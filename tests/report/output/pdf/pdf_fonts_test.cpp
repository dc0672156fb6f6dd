// The text pieces of PDF text and fonts, and what is read from a font's own tables, with
// hand-made tables whose fields sit at the edge of their length.
#include "report/output/pdf/pdf_fonts.h"

#include "report/output/pdf/pdf_font_metrics.h"
#include "tests/report/output/pdf/pdf_text_fixture.h"
#include "utility/cp1250.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <map>
#include <string>

namespace report::output::testing {
namespace {

using utility::Pl;

TEST(PdfFonts, StringTextEscapesBackslashAndParentheses)
{
    struct Row {
        std::string text;
        std::string escaped;
    };
    const Row rows[] = {
        {"a(b)c\\d", "a\\(b\\)c\\\\d"},
        {"\\(", "\\\\\\("},
        {"))", "\\)\\)"},
        {"", ""},
        {Pl("Zażółć gęślą jaźń"), Pl("Zażółć gęślą jaźń")},  // the bytes stay code page 1250
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.text);
        EXPECT_EQ(EscapePdfText(row.text), row.escaped);
    }
}

TEST(PdfFonts, NameTokenEscapesWhatWouldEndIt)
{
    struct Row {
        std::string bytes;
        const char* token;
    };
    const Row rows[] = {
        {"Arial,BoldItalic", "Arial,BoldItalic"},
        {"My(Font)", "My#28Font#29"},
        {"A#B", "A#23B"},
        {"a/b%c<d>e[f]g{h}", "a#2Fb#25c#3Cd#3Ee#5Bf#5Dg#7Bh#7D"},
        {"Tab\there", "Tab#09here"},
        {std::string("\x7F!~", 3), "#7F!~"},
        {Pl("Łódź"), "#A3#F3d#9F"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.token);
        EXPECT_EQ(PdfNameToken(row.bytes), row.token);
    }
}

TEST(PdfFonts, ColourIsThreeFractions)
{
    struct Row {
        QRgb color;
        const char* text;
    };
    const Row rows[] = {
        {qRgb(0, 0, 0), "0.00 0.00 0.00"},
        {qRgb(255, 255, 255), "1.00 1.00 1.00"},
        {qRgb(255, 128, 0), "1.00 0.50 0.00"},
        {qRgb(1, 2, 3), "0.00 0.01 0.01"},
    };
    for (const Row& row : rows)
        EXPECT_EQ(PdfColorText(row.color), row.text);
}

TEST(PdfFonts, KeysAndTheirParts)
{
    struct Row {
        const char* face;
        bool bold;
        bool italic;
        int charset;
        const char* key;
        const char* baseName;
    };
    const Row rows[] = {
        {"Arial", false, false, 238, "Arial\t\t238\tArial", "Arial"},
        {"Arial", true, false, 238, "Arial\tB\t238\tArial,Bold", "Arial,Bold"},
        {"Arial", false, true, 0, "Arial\tI\t0\tArial,Italic", "Arial,Italic"},
        {"Times New Roman", true, true, 238, "Times New Roman\tBI\t238\tTimesNewRoman,BoldItalic",
         "TimesNewRoman,BoldItalic"},
        {"  Courier New ", false, false, 1, "Courier New\t\t1\tCourierNew", "CourierNew"},
        {"", false, false, 1, "\t\t1\t", ""},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.key);
        const std::string key = MakeFontKey(row.face, row.bold, row.italic, row.charset);
        EXPECT_EQ(key, row.key);
        const PdfFontKey parts = SplitFontKey(key);
        EXPECT_EQ(parts.BaseName, row.baseName);
        EXPECT_EQ(parts.Bold(), row.bold);
        EXPECT_EQ(parts.Italic(), row.italic);
        EXPECT_EQ(parts.Charset, std::to_string(row.charset));
        EXPECT_EQ(MakeFontKey(parts.Name, parts.Bold(), parts.Italic(), row.charset), key);
    }
}

TEST(PdfFonts, ResourceNamesHaveAtLeastTwoDigits)
{
    EXPECT_EQ(FontResourceName(0), "F00");
    EXPECT_EQ(FontResourceName(7), "F07");
    EXPECT_EQ(FontResourceName(99), "F99");
    EXPECT_EQ(FontResourceName(100), "F100");
}

TEST(PdfFonts, EncodingNamesEveryCodeFromTwo)
{
    const std::string text = Cp1250EncodingText();
    EXPECT_TRUE(text.starts_with(" <</Type/Encoding /Differences [ 2 /space/space")) << text.substr(0, 60);
    EXPECT_TRUE(text.ends_with("/dotaccent]>>"));
    EXPECT_EQ(text.find(' ', 40), std::string::npos) << "names follow one another without blanks";
    const std::map<int, std::string> names = DifferencesOf(text);
    ASSERT_EQ(names.size(), 254u);
    EXPECT_EQ(names.begin()->first, 2);
    const std::map<int, std::string> expected = {
        {165, "Aogonek"},     {179, "lslash"},  {255, "dotaccent"}, {222, "Tcommaaccent"}, {0x81, "space"},
        {127, "space"},       {0x20, "space"},  {'A', "A"},         {0xA0, "space"},       {0xAD, "hyphen"},
        {0xBF, "zdotaccent"}, {0x8C, "Sacute"}, {0x80, "Euro"},     {9, "space"},
    };
    for (const auto& [code, name] : expected) {
        SCOPED_TRACE(code);
        EXPECT_EQ(names.at(code), name);
    }
}

// A table of `size` zero bytes with the given big-endian 16-bit fields set.
QByteArray Table(qsizetype size, const std::map<qsizetype, int>& fields16)
{
    QByteArray table(size, '\0');
    for (const auto& [at, value] : fields16) {
        if (at + 1 < size) {
            table[at] = static_cast<char>((static_cast<std::uint16_t>(value) >> 8) & 0xFF);
            table[at + 1] = static_cast<char>(static_cast<std::uint16_t>(value) & 0xFF);
        }
    }
    return table;
}

// OS/2: version at 0, weight class at 4, family class at 30 (its first byte), cap height at 88.
QByteArray Os2(qsizetype size, int version, int weight, int familyClass, int capHeight)
{
    return Table(size, {{0, version}, {4, weight}, {30, familyClass << 8 | 5}, {88, capHeight}});
}

// head: units per em at 18, the box at 36..42.
QByteArray Head(qsizetype size) { return Table(size, {{18, 2048}, {36, -1114}, {38, -621}, {40, 2666}, {42, 2007}}); }

// post: the italic angle as 16.16 at 4.
QByteArray Post(qsizetype size, std::int32_t fixed)
{
    const auto bits = static_cast<std::uint32_t>(fixed);
    return Table(size, {{4, static_cast<int>(bits >> 16)}, {6, static_cast<int>(bits & 0xFFFF)}});
}

TEST(PdfFonts, TablesAreReadOnlyWhereLongEnough)
{
    struct Row {
        const char* name;
        QByteArray os2, head, post;
        int flags, weight, capHeight, xMin, yMax, unitsPerEm, angle;
    };
    const Row rows[] = {
        {"all there", Os2(96, 3, 700, 8, 1409), Head(54), Post(32, -12 * 65536), 32, 700, 1409, -1114, 2007, 2048, -12},
        {"shortest", Os2(32, 1, 400, 10, 0), Head(44), Post(8, 11 * 65536), 40, 400, 0, -1114, 2007, 2048, 11},
        {"one byte short", Os2(31, 3, 700, 12, 1409), Head(43), Post(7, -12 * 65536), 32, 400, 0, 0, 0, 0, 0},
        {"missing", {}, {}, {}, 32, 400, 0, 0, 0, 0, 0},
        {"cap height before version 2", Os2(96, 1, 400, 1, 1409), {}, {}, 34, 400, 0, 0, 0, 0, 0},
        {"version 2 cut short", Os2(89, 2, 400, 8, 1409), {}, {}, 32, 400, 0, 0, 0, 0, 0},
        {"version 2 just long enough", Os2(90, 2, 400, 8, 1409), {}, {}, 32, 400, 1409, 0, 0, 0, 0},
        {"angles cut toward zero", {}, {}, Post(8, -12 * 65536 - 32768), 32, 400, 0, 0, 0, 0, -12},
        {"less than a degree", {}, {}, Post(8, -32768), 32, 400, 0, 0, 0, 0, 0},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        const FontTableValues values = ReadFontTables(row.os2, row.head, row.post);
        EXPECT_EQ(values.Flags, row.flags);
        EXPECT_EQ(values.WeightClass, row.weight);
        EXPECT_EQ(values.CapHeight, row.capHeight);
        EXPECT_EQ(values.xMin, row.xMin);
        EXPECT_EQ(values.yMax, row.yMax);
        EXPECT_EQ(values.UnitsPerEm, row.unitsPerEm);
        EXPECT_EQ(values.ItalicAngle, row.angle);
    }
}

TEST(PdfFonts, FlagsOfTheFamilyClass)
{
    // Unclassified faces are not symbolic: a symbolic font's encoding is ignored by readers.
    const std::map<int, int> rows = {{0, 32}, {8, 32}, {10, 40}, {12, 4}, {1, 34}, {3, 34}, {7, 34}, {255, 34}};
    for (const auto& [familyClass, flags] : rows) {
        SCOPED_TRACE(familyClass);
        EXPECT_EQ(FlagsOfFamilyClass(familyClass), flags);
    }
}

TEST(PdfFonts, StemWidthGrowsWithTheWeight)
{
    const std::map<int, int> rows = {{0, 10}, {50, 10}, {400, 95}, {700, 168}, {1000, 242}, {5000, 242}};
    for (const auto& [weight, stemV] : rows) {
        SCOPED_TRACE(weight);
        EXPECT_EQ(StemVOfWeight(weight), stemV);
    }
}

}  // namespace
}  // namespace report::output::testing
