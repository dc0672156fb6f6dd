#include "report/output/pdf/pdf_font_metrics.h"

#include "report/output/canvas/font_resolver.h"
#include "report/output/canvas/rounding.h"
#include "report/output/pdf/pdf_glyph_names.h"
#include "utility/cp1250.h"
#include "utility/rp_error.h"

#include <QList>
#include <QPointF>
#include <QRawFont>
#include <QString>

#include <algorithm>
#include <cstdint>
#include <string>

namespace report::output {
namespace {

// Sizes a table must have for the fields read from it.
constexpr qsizetype kOs2FamilyClassSize = 32;
constexpr qsizetype kOs2CapHeightSize = 90;
constexpr qsizetype kHeadBoxSize = 44;
constexpr qsizetype kPostAngleSize = 8;

std::uint32_t U16(const QByteArray& table, qsizetype at)
{
    return (static_cast<std::uint32_t>(static_cast<unsigned char>(table[at])) << 8) |
           static_cast<unsigned char>(table[at + 1]);
}

int S16(const QByteArray& table, qsizetype at)
{
    return static_cast<std::int16_t>(static_cast<std::uint16_t>(U16(table, at)));
}

std::int32_t S32(const QByteArray& table, qsizetype at)
{
    return static_cast<std::int32_t>((U16(table, at) << 16) | U16(table, at + 2));
}

}  // namespace

int FlagsOfFamilyClass(int familyClass)
{
    switch (familyClass) {
    // Class 0 means "no classification", not symbolic: a symbolic flag would let readers
    // ignore the encoding and lose every letter outside ASCII.
    case 0:
    case 8:
        return 32;
    case 10:
        return 40;
    case 12:
        return 4;
    default:
        return 34;
    }
}

int StemVOfWeight(int weightClass)
{
    const int weight = std::clamp(weightClass, 50, 1000);
    return 10 + 220 * (weight - 50) / 900;
}

FontTableValues ReadFontTables(const QByteArray& os2, const QByteArray& head, const QByteArray& post)
{
    FontTableValues values;
    if (os2.size() >= kOs2FamilyClassSize) {
        values.WeightClass = static_cast<int>(U16(os2, 4));
        values.Flags = FlagsOfFamilyClass(static_cast<unsigned char>(os2[30]));
        // The cap height came with version 2 of the table.
        if (U16(os2, 0) >= 2 && os2.size() >= kOs2CapHeightSize)
            values.CapHeight = S16(os2, 88);
    }
    if (head.size() >= kHeadBoxSize) {
        values.UnitsPerEm = static_cast<int>(U16(head, 18));
        values.xMin = S16(head, 36);
        values.yMin = S16(head, 38);
        values.xMax = S16(head, 40);
        values.yMax = S16(head, 42);
    }
    // A 16.16 fixed-point number; whole degrees, cut toward zero.
    if (post.size() >= kPostAngleSize)
        values.ItalicAngle = S32(post, 4) / 65536;
    return values;
}

TTFontrec RawFontMetrics::FontMetrics(std::string_view face, bool bold, bool italic)
{
    FontSpec spec;
    spec.face = std::string(face);
    spec.bold = bold;
    spec.italic = italic;
    QRawFont raw = MakeRawFont(spec, 16);
    if (!raw.isValid())
        throw ERpError("GetFontData error");
    const FontTableValues tables = ReadFontTables(raw.fontTable("OS/2"), raw.fontTable("head"), raw.fontTable("post"));
    int unitsPerEm = tables.UnitsPerEm > 0 ? tables.UnitsPerEm : static_cast<int>(raw.unitsPerEm());
    if (unitsPerEm <= 0)
        unitsPerEm = 1000;
    // At one pixel per design unit every size below is in design units.
    raw.setPixelSize(unitsPerEm);
    const auto perMille = [unitsPerEm](qreal designUnits) {
        return RoundHalfEvenInt(static_cast<long double>(designUnits) * 1000 / unitsPerEm);
    };

    TTFontrec font;
    font.Flags = tables.Flags;
    font.ItalicAngle = tables.ItalicAngle;
    font.Ascent = perMille(raw.ascent());
    font.Descent = -perMille(raw.descent());
    font.CapHeight = perMille(tables.CapHeight);
    font.StemV = StemVOfWeight(tables.WeightClass);
    font.xMin = perMille(tables.xMin);
    font.yMin = perMille(tables.yMin);
    font.xMax = perMille(tables.xMax);
    font.yMax = perMille(tables.yMax);

    // A code the encoding calls "space" is drawn with the space glyph; every other code with
    // the glyph of its Unicode value.
    QString characters;
    for (int code = font.FirstChar; code <= font.LastChar; ++code) {
        const auto byte = static_cast<unsigned char>(code);
        const char32_t unicode = Cp1250GlyphName(byte) == "space" ? U' ' : utility::Cp1250ToUnicode(byte);
        characters += QChar(static_cast<char16_t>(unicode));
    }
    const QList<quint32> glyphs = raw.glyphIndexesForString(characters);
    const QList<QPointF> advances = glyphs.size() == characters.size()
                                        ? raw.advancesForGlyphIndexes(glyphs, QRawFont::UseDesignMetrics)
                                        : QList<QPointF>();
    if (advances.size() != characters.size())
        throw ERpError("Font widths for \"" + spec.face + "\" not obtainable (the font has no advance for every code)");
    for (qsizetype i = 0; i < advances.size(); ++i)
        font.Widths[static_cast<std::size_t>(i)] = perMille(advances[i].x());
    return font;
}

std::unique_ptr<PdfFontMetrics> MakeSystemFontMetrics() { return std::make_unique<RawFontMetrics>(); }

}  // namespace report::output
