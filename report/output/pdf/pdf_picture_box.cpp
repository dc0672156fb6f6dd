#include "report/output/pdf/pdf_picture_box.h"

#include "report/output/canvas/canvas.h"
#include "report/output/canvas/measure.h"
#include "report/output/canvas/rounding.h"
#include "report/output/pdf/pdf_numbers.h"
#include "report/output/pdf/pdf_picture.h"

#include <QPainter>

#include <cmath>

namespace report::output {
namespace {

// Tags by which a picture control keeps the picture's own scale.
constexpr std::int32_t kTagFullResolution = 999;
constexpr std::int32_t kTagPrinterScale = 12345;

bool Empty(const QImage& image) { return image.isNull() || image.width() < 1 || image.height() < 1; }

// White, so that what the picture leaves bare or shows through is paper, not stale memory.
QImage WhiteBitmap(int width, int height)
{
    QImage bitmap(width, height, QImage::Format_RGB32);
    if (!bitmap.isNull())
        bitmap.fill(Qt::white);
    return bitmap;
}

void DrawAt(QImage& bitmap, const QImage& picture, QPoint at)
{
    if (bitmap.isNull())
        return;
    QPainter painter(&bitmap);
    painter.drawImage(at, picture);
}

// Nearest neighbour, as the preview stretches pictures.
void StretchOver(QImage& bitmap, const QImage& picture)
{
    if (bitmap.isNull())
        return;
    QPainter painter(&bitmap);
    painter.setRenderHint(QPainter::SmoothPixmapTransform, false);
    painter.drawImage(bitmap.rect(), picture);
}

QImage OwnSize(const QImage& picture)
{
    QImage bitmap = WhiteBitmap(picture.width(), picture.height());
    DrawAt(bitmap, picture, {0, 0});
    return bitmap;
}

// A fitted extent cut toward zero, kept within the coordinate range.
int Cut(long double value) { return ClampCoordinate(static_cast<long long>(std::trunc(value))); }

// The picture control: stretched over its box, at its own size from the top left (or centred),
// or kept at its own scale by its tag. True when the scale factors are the picture's own.
bool DrawImage(const ExportPicture& picture, PictureBox& box, const std::function<int()>& printerResolution)
{
    const QImage& pixels = picture.pixels;
    if (picture.Tag == kTagFullResolution) {
        box.bitmap = OwnSize(pixels);
        if (box.bitmap.isNull())
            return true;
        box.imageScaleX = static_cast<long double>(box.width) / box.bitmap.width();
        box.imageScaleY = static_cast<long double>(box.height) / box.bitmap.height();
        return true;
    }
    box.bitmap = WhiteBitmap(box.width, box.height);
    if (picture.Stretch) {
        StretchOver(box.bitmap, pixels);
        return false;
    }
    if (picture.Tag == kTagPrinterScale) {
        const int resolution = printerResolution ? printerResolution() : kMeasureDpi;
        box.imageScaleX = static_cast<long double>(kMeasureDpi) / (resolution > 0 ? resolution : kMeasureDpi);
        box.imageScaleY = box.imageScaleX;
        box.height = RoundHalfEvenInt(box.height * box.imageScaleY);
        DrawAt(box.bitmap, pixels, {0, 0});
        return true;
    }
    // The preview centres the picture by half the room left over, toward zero.
    const QPoint at =
        picture.Center ? QPoint((box.width - pixels.width()) / 2, (box.height - pixels.height()) / 2) : QPoint(0, 0);
    DrawAt(box.bitmap, pixels, at);
    return false;
}

// Shrinks the box to the picture's proportions, centred where it was.
void FitInside(const QImage& pixels, PictureBox& box)
{
    const long double rW = static_cast<long double>(pixels.width()) / box.width;
    const long double rH = static_cast<long double>(pixels.height()) / box.height;
    if (rW < rH) {
        const int width = RoundHalfEvenInt(pixels.width() / rH);
        box.x += (box.width - width) / 2;
        box.width = width;
    } else {
        const int height = RoundHalfEvenInt(pixels.height() / rW);
        box.y += (box.height - height) / 2;
        box.height = height;
    }
}

// The data-bound pictures take the whole picture (`whole`), or draw it at its own size from the
// top left of a bitmap of the control's size (`control`).
void DrawDataImage(const QImage& pixels, bool whole, QSize control, PictureBox& box)
{
    if (whole) {
        box.bitmap = OwnSize(pixels);
        return;
    }
    box.bitmap = WhiteBitmap(control.width(), control.height());
    DrawAt(box.bitmap, pixels, {0, 0});
}

void FitGrDBImage(const ExportPicture& picture, PictureBox& box)
{
    const QImage& pixels = picture.pixels;
    const long double aspect = static_cast<long double>(pixels.width()) / pixels.height();
    const bool keepWidth =
        static_cast<long double>(pixels.width()) / box.width < static_cast<long double>(pixels.height()) / box.height;
    switch (picture.FitMode) {
    case TFitMode::fmInsideProp:
        FitInside(pixels, box);
        break;
    case TFitMode::fmProportional:
        if (keepWidth)
            box.height = Cut(box.width / aspect);
        else
            box.width = Cut(box.height * aspect);
        break;
    case TFitMode::fmKeepWidth:
        box.height = Cut(box.width / aspect);
        break;
    case TFitMode::fmKeepHeight:
        box.width = Cut(box.height * aspect);
        break;
    }
}

}  // namespace

std::optional<PictureBox> MakePictureBox(const ExportPicture& picture, long double x, long double y,
                                         const std::function<int()>& printerResolution)
{
    PictureBox box;
    box.x = x;
    box.y = y;
    box.width = picture.rect.width();
    box.height = picture.rect.height();
    // Nothing to draw, and no ratio to take of a side of 0.
    if (Empty(picture.pixels) || box.width < 1 || box.height < 1)
        return std::nullopt;
    const QSize control(box.width, box.height);
    bool ownScale = false;
    switch (picture.kind) {
    case PictureClass::Image:
        ownScale = DrawImage(picture, box, printerResolution);
        break;
    case PictureClass::DBImage:
        if (!picture.Stretch)
            FitInside(picture.pixels, box);
        DrawDataImage(picture.pixels, picture.Stretch, control, box);
        break;
    case PictureClass::GrDBImage:
        if (!picture.Stretch)
            FitGrDBImage(picture, box);
        DrawDataImage(picture.pixels, !picture.ClipImage, control, box);
        break;
    }
    if (Empty(box.bitmap))
        return std::nullopt;
    if (!ownScale) {
        // A box fitted down to nothing would make the picture's transformation singular.
        if (box.width < 1 || box.height < 1)
            return std::nullopt;
        box.imageScaleX = static_cast<long double>(box.width) / box.bitmap.width();
        box.imageScaleY = static_cast<long double>(box.height) / box.bitmap.height();
    }
    return box;
}

TPDFItemRec PictureItem(const PictureBox& box, long double scaleX, long double scaleY)
{
    TPDFItemRec item = PlacedPictureItem(box, scaleX, scaleY);
    BitmapToImageData(box.bitmap, item.ImageData, item.ImageFilters);
    return item;
}

TPDFItemRec PlacedPictureItem(const PictureBox& box, long double scaleX, long double scaleY)
{
    TPDFItemRec item;
    item.Kind = TPDFItemKind::Picture;
    item.X = box.x * scaleX;
    item.Y = (box.y + box.height) * scaleY;
    item.Width = box.bitmap.width() * scaleX;
    item.Height = box.bitmap.height() * scaleX;
    item.ImageScaleX = box.imageScaleX;
    item.ImageScaleY = box.imageScaleY;
    item.PixelWidth = box.bitmap.width();
    item.PixelHeight = box.bitmap.height();
    return item;
}

namespace {

// Hands each line of a picture item to `line`.
template <class Sink>
void EmitPictureLines(const TPDFItemRec& item, Sink&& line)
{
    std::string text = "q ";
    AppendPdfFixed(text, item.Width * item.ImageScaleX, 2);
    text += " 0 0 ";
    AppendPdfFixed(text, item.Height * item.ImageScaleY, 2);
    text += ' ';
    AppendPdfFixed(text, item.X, 2);
    text += ' ';
    AppendPdfFixed(text, item.Y, 2);
    text += " cm";
    line(text);
    line("BI");
    text = "/Width ";
    AppendPdfInt(text, item.PixelWidth);
    line(text);
    text = "/Height ";
    AppendPdfInt(text, item.PixelHeight);
    line(text);
    line("/BitsPerComponent 8");
    line("/ColorSpace /DeviceRGB");
    text = "/Filter [";
    text += item.ImageFilters;
    text += ']';
    line(text);
    line("ID");
    line(item.ImageData);
    line("EI");
    line("Q");
}

}  // namespace

std::vector<std::string> PictureLines(const TPDFItemRec& item)
{
    std::vector<std::string> lines;
    EmitPictureLines(item, [&](std::string_view text) { lines.emplace_back(text); });
    return lines;
}

void AppendPictureLines(const TPDFItemRec& item, std::string& out)
{
    EmitPictureLines(item, [&](std::string_view text) {
        out += text;
        out += "\r\n";
    });
}

}  // namespace report::output
