// A bitmap as the pixel data of a PDF inline image: RGB triples, LZW-coded, then ASCII85.
#pragma once

#include <QImage>

#include <string>

namespace report::output {

// The filters that read BitmapToImageData's text back, in the order a reader applies them.
inline constexpr const char* kImageFilters = "/ASCII85Decode /LZWDecode";

// The pixels as 8-bit red, green, blue triples, row by row from the top row, each row from
// left to right, with no padding at the row ends; alpha is ignored. A null image gives none.
[[nodiscard]] std::string BitmapToRgb(const QImage& bitmap);

// Out: `imageData` := the RGB triples, LZW-coded and then ASCII85-coded (ending in "~>");
// `imageFilters` := kImageFilters.
void BitmapToImageData(const QImage& bitmap, std::string& imageData, std::string& imageFilters);

}  // namespace report::output
