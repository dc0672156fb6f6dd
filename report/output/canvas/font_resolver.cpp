#include "report/output/canvas/font_resolver.h"

#include "utility/cp1250.h"

#include <array>

namespace report::output {
namespace {

struct FaceRow {
    const char* face;  // upper case
    const char* family;
};

// Faces the report forms name, with a metric-compatible or close free face.
constexpr std::array<FaceRow, 5> kFaces{{
    {"ARIAL", "Liberation Sans"},
    {"TIMES NEW ROMAN", "Liberation Serif"},
    {"COURIER NEW", "Liberation Mono"},
    {"MS SANS SERIF", "DejaVu Sans"},
    {"SMALL FONTS", "DejaVu Sans"},
}};

}  // namespace

QString ResolveFontFamily(std::string_view face)
{
    const QString name = utility::Cp1250ToQString(face).trimmed();
    const QString upper = name.toUpper();
    for (const FaceRow& row : kFaces) {
        if (upper == QLatin1String(row.face))
            return QString::fromLatin1(row.family);
    }
    return name;
}

QFont MakeQFont(const FontSpec& font, int pixelSize)
{
    QFont f(ResolveFontFamily(font.face));
    f.setPixelSize(pixelSize > 0 ? pixelSize : 1);
    f.setBold(font.bold);
    f.setItalic(font.italic);
    f.setUnderline(font.underline);
    f.setStrikeOut(font.strikeOut);
    // Qt kerns by default; the layout's widths are the sum of the characters' advances.
    f.setKerning(false);
    f.setHintingPreference(QFont::PreferNoHinting);
    return f;
}

QRawFont MakeRawFont(const FontSpec& font, qreal pixelSize)
{
    QRawFont raw = QRawFont::fromFont(MakeQFont(font, 16));
    if (raw.isValid())
        raw.setPixelSize(pixelSize > 0 ? pixelSize : 1);
    return raw;
}

}  // namespace report::output
