#include "report/output/canvas/measure.h"

#include "report/output/canvas/font_resolver.h"
#include "report/output/canvas/rounding.h"
#include "utility/cp1250.h"

#include <QCoreApplication>
#include <QFontInfo>
#include <QProcess>

#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <cstdint>
#include <functional>
#include <vector>

namespace report::output {
namespace {

TEST(Rounding, FontPixelHeightAtScreenAndPrinter)
{
    const std::pair<int, int> at96[] = {{7, 9}, {8, 11}, {10, 13}, {11, 15}, {12, 16}};
    for (const auto& [points, pixels] : at96)
        EXPECT_EQ(FontPixelHeight(points, 96), pixels) << points;
    EXPECT_EQ(FontPixelHeight(9, 300), 38);
    EXPECT_EQ(FontPixelHeight(-9, 300), -38);
}

FontSpec Arial(int points)
{
    FontSpec f;
    f.face = "Arial";
    f.points = points;
    return f;
}

// The widths and heights the layout of the activity list was made with.
TEST(Measuring, Table)
{
    MeasureDevice m;
    EXPECT_EQ(m.Dpi(), 96);
    EXPECT_EQ(m.TextWidth(Arial(10), "W"), 12);
    EXPECT_EQ(m.TextWidth(Arial(10), "AV"), 17);  // 16 with kerning
    EXPECT_EQ(m.TextHeight(Arial(10)), 15);
    EXPECT_EQ(m.TextHeight(Arial(7)), 10);
    EXPECT_EQ(m.TextWidth(Arial(10), ""), 0);
    EXPECT_EQ(FontPixelSize(Arial(10), 96), 13);
    EXPECT_EQ(QFontInfo(m.Font(Arial(10))).family(), "Liberation Sans");
    EXPECT_EQ(QFontInfo(m.Font(Arial(10))).pixelSize(), 13);
}

TEST(Measuring, SameFontAgainGivesTheSameAnswers)
{
    MeasureDevice m;
    const int w = m.TextWidth(Arial(10), "Kierowca");
    FontSpec bold = Arial(10);
    bold.bold = true;
    const int wb = m.TextWidth(bold, "Kierowca");
    EXPECT_GT(wb, w);
    EXPECT_EQ(m.TextWidth(Arial(10), "Kierowca"), w);
    EXPECT_EQ(m.TextWidth(bold, "Kierowca"), wb);
    // Half the scale, about half the width, also right after the same font at full scale.
    EXPECT_NEAR(m.TextWidth(Arial(20), "Kierowca", 0.5L), w, 1);
    const int w20 = MeasureDevice().TextWidth(Arial(20), "Kierowca");
    EXPECT_EQ(m.TextWidth(Arial(20), "Kierowca"), w20);
    EXPECT_NEAR(m.TextWidth(Arial(20), "Kierowca", 0.5L), w, 1);
    // Colour and orientation do not change a measurement.
    FontSpec coloured = Arial(10);
    coloured.color = qRgb(255, 0, 0);
    coloured.orientation = 900;
    EXPECT_EQ(m.TextWidth(coloured, "Kierowca"), w);
}

// A device makes each font once, keeps the fonts it measured with last, and makes one it
// let go again with the same answers.
TEST(Measuring, FontsAreMadeOnceAndKeptWithinTheBound)
{
    MeasureDevice m(96, 3);
    std::vector<int> widths;
    for (const int points : {8, 9, 10, 11})
        widths.push_back(m.TextWidth(Arial(points), "Kierowca"));
    EXPECT_EQ(m.FontsMade(), 4);
    EXPECT_EQ(m.FontsKept(), 3u);
    // Measuring again with kept fonts (any order, any text) makes none.
    for (const int points : {11, 9, 10, 11})
        static_cast<void>(m.TextHeight(Arial(points)) + m.TextWidth(Arial(points), "Wg"));
    EXPECT_EQ(m.FontsMade(), 4);
    // The one used longest ago went; it is made again with the same answers, and 9, now
    // the one used longest ago, goes for it.
    EXPECT_EQ(m.TextWidth(Arial(8), "Kierowca"), widths[0]);
    EXPECT_EQ(m.FontsMade(), 5);
    static_cast<void>(m.TextWidth(Arial(11), "W") + m.TextWidth(Arial(10), "W"));
    EXPECT_EQ(m.FontsMade(), 5);
    EXPECT_EQ(m.TextWidth(Arial(9), "Kierowca"), widths[1]);
    EXPECT_EQ(m.FontsMade(), 6);
    EXPECT_EQ(m.FontsKept(), 3u);
    // 8, made before 10 and 11 were used again, went for 9; those two are kept.
    static_cast<void>(m.TextWidth(Arial(10), "W") + m.TextWidth(Arial(11), "W"));
    EXPECT_EQ(m.FontsMade(), 6);
}

// Each style, face and size has a font of its own, whatever font was used just before.
TEST(Measuring, EachStyleHasAFontOfItsOwn)
{
    MeasureDevice m;
    const FontSpec plain = Arial(10);
    const auto with = [&](const std::function<void(FontSpec&)>& change) {
        FontSpec font = plain;
        change(font);
        return font;
    };
    const FontSpec fonts[] = {
        with([](FontSpec& f) { f.bold = true; }),
        with([](FontSpec& f) { f.italic = true; }),
        with([](FontSpec& f) { f.underline = true; }),
        with([](FontSpec& f) { f.strikeOut = true; }),
        with([](FontSpec& f) { f.face = "Times New Roman"; }),
        with([](FontSpec& f) { f.points = 11; }),
    };
    for (const FontSpec& font : fonts) {
        static_cast<void>(m.TextWidth(plain, "W"));
        EXPECT_EQ(m.Font(font), MakeQFont(font, FontPixelSize(font, kMeasureDpi)))
            << m.Font(font).toString().toStdString();
    }
}

// Widths are sums of the characters' advances; for the faces of the forms that is what a
// shaped measurement of the whole text gives too.
TEST(Measuring, WidthsAgreeWithShapedText)
{
    const std::string words[] = {
        "W",
        "AV",
        "Kierowca",
        "2024-03-01 08:15",
        "Razem: 12 h 40 min",
        "fi fl ff Ta To Wo",
        utility::Pl("Zażółć gęślą jaźń"),
        utility::Pl("ŁÓDŹ Świętokrzyskie"),
        "§ÿ",
    };
    MeasureDevice m;
    for (const char* face : {"Arial", "Times New Roman", "Courier New"}) {
        for (const int points : {7, 8, 10, 12}) {
            FontSpec f;
            f.face = face;
            f.points = points;
            for (const bool bold : {false, true}) {
                f.bold = bold;
                for (const std::string& w : words)
                    EXPECT_EQ(m.TextWidth(f, w),
                              RoundHalfEvenInt(m.Metrics(f).horizontalAdvance(utility::Cp1250ToQString(w))))
                        << face << " " << points << " " << w;
            }
        }
    }
}

TEST(Measuring, FontSizesStayWithinBounds)
{
    EXPECT_EQ(FontPixelSize(Arial(0), 96), 1);
    EXPECT_EQ(FontPixelSize(Arial(-10), 96), 13);
    EXPECT_EQ(FontPixelSize(Arial(kCoordinateLimit), 96), kMaxFontPixels);
    EXPECT_EQ(FontPixelSize(Arial(10), 96, 1e-9L), 1);
    EXPECT_EQ(FontPixelSize(Arial(10), 96, 2), 27);  // 13.33 x 2, not 13 x 2
}

TEST(FontResolver, FacesOfTheFormsResolveToInstalledFaces)
{
    const std::pair<const char*, const char*> rows[] = {
        {"Arial", "Liberation Sans"},       {" arial ", "Liberation Sans"},   {"Times New Roman", "Liberation Serif"},
        {"Courier New", "Liberation Mono"}, {"MS Sans Serif", "DejaVu Sans"}, {"Small Fonts", "DejaVu Sans"},
    };
    for (const auto& [face, family] : rows) {
        SCOPED_TRACE(face);
        EXPECT_EQ(ResolveFontFamily(face), family);
        FontSpec spec;
        spec.face = face;
        EXPECT_EQ(QFontInfo(MakeQFont(spec, 13)).family(), family);
        const QRawFont raw = MakeRawFont(spec, 13);
        ASSERT_TRUE(raw.isValid());
        EXPECT_EQ(raw.familyName(), family);
        EXPECT_EQ(raw.pixelSize(), 13);
    }
    EXPECT_EQ(ResolveFontFamily("Liberation Serif"), "Liberation Serif");
    FontSpec styled;
    styled.face = "Arial";
    styled.bold = true;
    styled.italic = true;
    const QFont f = MakeQFont(styled, 13);
    EXPECT_TRUE(f.bold());
    EXPECT_TRUE(f.italic());
    EXPECT_FALSE(f.kerning());
    EXPECT_EQ(QFontInfo(f).style(), QFont::StyleItalic);
}

// The screen's scaling must not reach the layout: the table above runs again in a child
// process under a scaled screen.
TEST(Measuring, TableHoldsUnderAScaledScreen)
{
    const char* environments[][2] = {{"QT_FONT_DPI", "144"}, {"QT_SCALE_FACTOR", "2"}};
    for (const auto& [name, value] : environments) {
        SCOPED_TRACE(name);
        QProcess child;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        // The child runs the two tests it is given, whatever sharding, filter or output file
        // this run was started with.
        for (const QString& key : env.keys()) {
            if (key.startsWith("GTEST_"))
                env.remove(key);
        }
        env.insert(name, value);
        child.setProcessEnvironment(env);
        child.start(QCoreApplication::applicationFilePath(),
                    {"--gtest_filter=Measuring.Table:PainterCanvasRules.TextInkStaysInItsCell"});
        ASSERT_TRUE(child.waitForFinished(120'000));
        const QByteArray out = child.readAllStandardOutput();
        EXPECT_EQ(child.exitCode(), 0) << out.toStdString();
        EXPECT_TRUE(out.contains("[  PASSED  ] 2 tests")) << out.toStdString();
    }
}

}  // namespace
}  // namespace report::output
