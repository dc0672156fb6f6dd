// Helpers of the canvas tests: white images, drawn pixels, the call sequence every back end
// is checked with.
#pragma once

#include "report/output/canvas/canvas.h"

#include <QImage>

#include <functional>
#include <set>
#include <string>
#include <utility>

namespace report::output::test {

using PixelSet = std::set<std::pair<int, int>>;  // (x, y)

// A white ARGB32 image of the given size.
[[nodiscard]] QImage WhiteImage(int width, int height);
// Draws on a white image through a PainterCanvas at 96 dpi.
[[nodiscard]] QImage Draw(int width, int height, const std::function<void(Canvas&)>& draw);
// Every pixel that is not white.
[[nodiscard]] PixelSet InkOf(const QImage& image);
// Pixels of x in [x0, x1) and y in [y0, y1).
[[nodiscard]] PixelSet Block(int x0, int y0, int x1, int y1);
// The outline of a one-pixel frame around x in [x0, x1), y in [y0, y1).
[[nodiscard]] PixelSet Frame(int x0, int y0, int x1, int y1);
// Readable list for failure messages.
[[nodiscard]] std::string Describe(const PixelSet& pixels);

// A call sequence touching every drawing call, pen and brush style, a text of every byte,
// an empty text, a picture with alpha, clip and no-clip, with state changes in between.
void DrawEveryCall(Canvas& canvas);

}  // namespace report::output::test
