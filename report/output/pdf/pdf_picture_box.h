// Pictures on a PDF page: the working bitmap an exported picture is drawn on, the picture item
// made of it, and the graphics lines of that item (an inline image scaled into its box).
#pragma once

#include "report/output/export/export_filter.h"
#include "report/output/pdf/pdf_document.h"

#include <QImage>

#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace report::output {

// Where and how a picture is drawn: the working bitmap that becomes its pixel data and the box
// on the page it fills, in device pixels.
struct PictureBox {
    QImage bitmap;      // white where the picture leaves it bare
    long double x = 0;  // the box's top left
    long double y = 0;
    int width = 0;  // the box
    int height = 0;
    // The bitmap's size in points times these is the size it is drawn at: the box's size for a
    // bitmap stretched over its box, other factors for a picture kept at its own scale.
    long double imageScaleX = 1;
    long double imageScaleY = 1;
};

// A picture drawn and coded once, to be placed again wherever the same picture comes in a box
// of the same size: the activity list's icons are a handful of pictures on thousands of rows.
struct CodedPicture {
    ExportPicture picture;  // its box moved to (0, 0)
    PictureBox box;         // made for a box at (0, 0)
    std::string imageData;
    std::string imageFilters;
};

// The working bitmap and box of `picture`, whose box has its top left at (x, y) in device
// pixels, by the picture's class and settings. `printerResolution` is asked only for a picture
// control of tag 12345 without stretching. Nullopt when nothing is to be drawn: no picture, a
// picture or box less than one pixel wide or high, or a bitmap that cannot be made.
[[nodiscard]] std::optional<PictureBox> MakePictureBox(const ExportPicture& picture, long double x, long double y,
                                                       const std::function<int()>& printerResolution);

// The picture item of a box: X, Y the box's left and bottom edges in points (x scaled by
// `scaleX`, y by `scaleY`), the bitmap's size scaled by `scaleX`, its coded pixels.
[[nodiscard]] TPDFItemRec PictureItem(const PictureBox& box, long double scaleX, long double scaleY);
// The same without the pixels: ImageData and ImageFilters stay empty.
[[nodiscard]] TPDFItemRec PlacedPictureItem(const PictureBox& box, long double scaleX, long double scaleY);

// The graphics lines of a picture item whose Y is already the bottom edge on the page's
// upward axis: "q w 0 0 h x y cm", the inline image, "Q".
[[nodiscard]] std::vector<std::string> PictureLines(const TPDFItemRec& item);
// The same lines appended to `out`, each followed by CR LF.
void AppendPictureLines(const TPDFItemRec& item, std::string& out);

}  // namespace report::output
