#include "report/output/pdf/pdf_picture.h"

#include "report/output/codec/lzw.h"

#include <cstring>

namespace report::output {

std::string BitmapToRgb(const QImage& bitmap)
{
    if (bitmap.isNull())
        return {};
    const QImage rgb = bitmap.convertToFormat(QImage::Format_RGB888);
    // Rows of a QImage are padded to four bytes; only width x 3 bytes of each are pixels.
    const auto rowBytes = static_cast<std::size_t>(rgb.width()) * 3;
    std::string pixels(rowBytes * static_cast<std::size_t>(rgb.height()), '\0');
    for (int y = 0; y < rgb.height(); ++y)
        std::memcpy(pixels.data() + rowBytes * static_cast<std::size_t>(y), rgb.constScanLine(y), rowBytes);
    return pixels;
}

void BitmapToImageData(const QImage& bitmap, std::string& imageData, std::string& imageFilters)
{
    std::string coded;
    LZWEncode(BitmapToRgb(bitmap), coded);
    ASCII85Encode(coded, imageData);
    imageFilters = kImageFilters;
}

}  // namespace report::output
