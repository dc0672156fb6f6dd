// Shapes on a PDF page: the shape items an exported shape becomes, and the graphics lines
// (path operators) of one shape item.
#pragma once

#include "report/output/export/export_filter.h"
#include "report/output/pdf/pdf_document.h"

#include <cstdint>
#include <string>
#include <vector>

namespace report::output {

// The writer's drawing code of a shape: 0 rectangle (a rounded one too), 1 ellipse,
// 2 horizontal middle line (every rule), 3 vertical middle line, 5 top and bottom edges,
// 6 left and right edges, 7 diagonal from top left, 8 diagonal from bottom left.
[[nodiscard]] std::uint8_t ShapeCodeOf(const ExportShape& shape);

// The shape items of `shape` whose box has its top left at (x, y) in device pixels: x scaled
// by `scaleX`, y by `scaleY`, widths, heights and the pen width by `scaleX` (points per
// device pixel). A rectangle or ellipse gives a filled item when its brush is not clear,
// then an outline when its pen is not clear; a line gives one item when its pen is not clear.
[[nodiscard]] std::vector<TPDFItemRec> ShapeItems(const ExportShape& shape, long double x, long double y,
                                                  long double scaleX, long double scaleY);

// The graphics lines of a shape item whose Y is already the top edge on the page's upward axis.
[[nodiscard]] std::vector<std::string> ShapeLines(const TPDFItemRec& item);
// The same lines appended to `out`, each followed by CR LF.
void AppendShapeLines(const TPDFItemRec& item, std::string& out);

}  // namespace report::output
