// Paints a recorded page as the preview shows it: a white sheet with the drawing, a black frame
// and a shadow of two pixels to the right and below.
#pragma once

#include "report/output/pages/page_format.h"

#include <QPainter>
#include <QRect>

namespace report::output {

// Paints `page` (nullptr: none) stretched into `rect` of `painter`, frame and shadow within the
// rectangle: the sheet covers rect's width and height less 3 pixels, the shadow the last 2.
// Without a page nothing is painted unless `drawEmpty`, which paints an empty sheet. `fonts`
// (at 96 dpi) are the document's, kept from paint to paint; none: made for this paint.
void PaintPage(const Page* page, QPainter& painter, const QRect& rect, bool drawEmpty, MeasureDevice* fonts = nullptr);

}  // namespace report::output
