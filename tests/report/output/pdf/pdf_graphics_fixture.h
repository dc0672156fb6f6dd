// What the tests of PDF shapes and pictures share: one A4 page with exported controls on it,
// the page's graphics lines, and the pixel data of its inline images read back with decoders of
// the tests' own.
#pragma once

#include "report/output/export/export_filter.h"

#include <QImage>

#include <string>
#include <string_view>
#include <vector>

namespace report::output::testing {

// A control and its box's top left in device pixels.
struct Placed {
    ExportedControl control;
    long double x = 0;
    long double y = 0;
};

// The whole file of an A4 report of one page (0.75 points per pixel of the recorded pages'
// device, page height 841.89 points) holding `controls`, exported for `device`; its structure is
// checked on the way.
[[nodiscard]] std::string ExportedPdf(const std::vector<Placed>& controls, const ExportDevice& device = {});

// The lines of the first page's content stream before its text object; an inline image's data
// stays one line with its own line breaks.
[[nodiscard]] std::vector<std::string> GraphicLines(const std::string& pdf);

// The RGB triples of the `index`-th inline image of a file: its data between "ID" and "EI",
// ASCII85- then LZW-decoded.
[[nodiscard]] std::string InlineImageRgb(const std::string& pdf, int index = 0);

// The RGB triples of a picture, row by row, with no padding.
[[nodiscard]] std::string RgbOf(const QImage& image);

// A shape value with its box at (0, 0).
[[nodiscard]] ExportShape MakeShape(TRpShapeType type, int width, int height, Pen pen, Brush brush,
                                    ShapeClass kind = ShapeClass::Shape);

// A picture value of class `kind` for a box of width x height.
[[nodiscard]] ExportPicture MakePicture(const QImage& pixels, int width, int height,
                                        PictureClass kind = PictureClass::Image);

// A picture filled with one colour.
[[nodiscard]] QImage Filled(int width, int height, QRgb colour, QImage::Format format = QImage::Format_RGB32);

}  // namespace report::output::testing
