// The metrics a PDF file gives of a font it names without embedding it: the width of each code
// of code page 1250, ascent, descent, box, italic angle and the descriptor's flags. A reader
// lays the text out with these numbers, so they come from the very font the preview draws with.
#pragma once

#include <QByteArray>

#include <array>
#include <memory>
#include <string_view>

namespace report::output {

// Metrics of one font, in thousandths of an em (the unit of PDF glyph space) unless said.
struct TTFontrec {
    static constexpr int kFirstChar = 0;
    static constexpr int kLastChar = 255;

    int FirstChar = kFirstChar;
    int LastChar = kLastChar;
    int Flags = 32;       // nonsymbolic unless the font says otherwise
    int ItalicAngle = 0;  // degrees, counter-clockwise from the vertical
    int Ascent = 0;       // above the baseline
    int Descent = 0;      // below the baseline, negative
    int CapHeight = 0;    // 0 when the font does not say
    int StemV = 0;        // an estimate from the weight
    int xMin = 0, yMin = 0, xMax = 0, yMax = 0;
    // Advance of each code FirstChar..LastChar.
    std::array<int, kLastChar + 1> Widths{};
};

// What the font's own tables say, in its design units (ItalicAngle in degrees).
struct FontTableValues {
    int Flags = 32;
    int ItalicAngle = 0;
    int CapHeight = 0;
    int WeightClass = 400;
    int xMin = 0, yMin = 0, xMax = 0, yMax = 0;
    int UnitsPerEm = 0;  // 0 when the head table is missing
};

// The descriptor flags for the first byte of the OS/2 family class: script 40, symbolic 4,
// sans serif and unclassified 32, any other serif class 34.
[[nodiscard]] int FlagsOfFamilyClass(int familyClass);
// A stem width for the OS/2 weight class (400 regular, 700 bold), in thousandths of an em.
[[nodiscard]] int StemVOfWeight(int weightClass);
// Reads the OS/2, head and post tables as the font holds them (big-endian). A table shorter
// than the fields read from it counts as missing: flags 32, weight 400 and cap height 0
// without OS/2, a zero box without head, angle 0 without post.
[[nodiscard]] FontTableValues ReadFontTables(const QByteArray& os2, const QByteArray& head, const QByteArray& post);

// Where the PDF writer takes font metrics from.
class PdfFontMetrics {
public:
    PdfFontMetrics() = default;
    PdfFontMetrics(const PdfFontMetrics&) = delete;
    PdfFontMetrics& operator=(const PdfFontMetrics&) = delete;
    virtual ~PdfFontMetrics() = default;

    // The metrics of the face `face` (code page 1250) in the style given, the widths by code
    // page 1250 codes. ERpError "GetFontData error" when no such font can be had.
    [[nodiscard]] virtual TTFontrec FontMetrics(std::string_view face, bool bold, bool italic) = 0;
};

// The fonts of this system, through the font resolver: the face the preview draws with.
class RawFontMetrics : public PdfFontMetrics {
public:
    [[nodiscard]] TTFontrec FontMetrics(std::string_view face, bool bold, bool italic) override;
};

[[nodiscard]] std::unique_ptr<PdfFontMetrics> MakeSystemFontMetrics();

}  // namespace report::output
