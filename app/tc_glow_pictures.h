// The pictures of the main window, drawn at run time (no artwork files).
#pragma once

#include <QPixmap>

namespace app {

// Background of the card holder summary: a driver card seen from the front, 553 x 321.
// The dark patch behind the upper country sign lies at (55, 28) 73 x 47, the photo frame at
// (22, 78) 100 x 100; everything else stays light so the summary labels can be read.
QPixmap DrawCardPicture();
// A card reader with a card in its slot, for the shop link at the left.
QPixmap DrawReaderPicture(int width, int height);
// A shopping bag, for the shop link at the right.
QPixmap DrawShopPicture(int width, int height);
// Printer glyph of the print preview button, 24 x 24.
QPixmap DrawPrinterGlyph();

}  // namespace app
