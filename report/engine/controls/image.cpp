#include "report/engine/controls/image.h"

#include "report/engine/model/print_run.h"
#include "report/engine/model/report_model.h"
#include "report/output/canvas/rounding.h"
#include "report/output/pages/page_format.h"
#include "report/output/printer/rp_printer.h"

#include <QBuffer>
#include <QByteArray>
#include <QImageReader>

namespace report::engine {
namespace {

using enum TRpPrintableSize::Index;

// Draws `picture` into the device box `box` of a control `width` x `height` tenths of a
// millimetre: stretched over it, or cut to it at the size it has on a 96-dpi screen, from the
// top left or centred.
void DrawPictureInBox(output::Canvas& canvas, const output::TRpPrinter& printer, const QImage& picture,
                      const QRect& box, long double width, long double height, bool stretch, bool center)
{
    if (picture.isNull())
        return;
    if (stretch) {
        canvas.DrawPicture(box, picture);
        return;
    }
    canvas.SetClipRect(box);
    const long double tenthsPerPixel = 254.0L / TRpUnitBase::ScreenDPI;
    const int pw = output::RoundHalfEvenInt(picture.width() * tenthsPerPixel * printer.XFactor());
    const int ph = output::RoundHalfEvenInt(picture.height() * tenthsPerPixel * printer.YFactor());
    QRect drawn(box.left(), box.top(), pw, ph);
    if (center) {
        // Integer halves toward zero: a picture larger than the control shows its middle.
        drawn.translate((printer.DeviceWidth(width) - pw) / 2, (printer.DeviceHeight(height) - ph) / 2);
    }
    canvas.DrawPicture(drawn, picture);
    canvas.RemoveClip();
}

}  // namespace

QImage DecodePicture(std::string_view bytes)
{
    if (bytes.empty())
        return {};
    QByteArray data(bytes.data(), static_cast<qsizetype>(bytes.size()));
    QBuffer buffer(&data);
    if (!buffer.open(QIODevice::ReadOnly))
        return {};
    QImageReader reader(&buffer);
    reader.setDecideFormatFromContent(true);
    // Refused before any pixel is decoded: a small blob may claim a huge picture.
    const QSize size = reader.size();
    if (!size.isValid() || size.width() > output::kMaxPictureSide || size.height() > output::kMaxPictureSide ||
        static_cast<long long>(size.width()) * size.height() > kMaxDecodedPixels) {
        return {};
    }
    QImage picture;
    if (!reader.read(&picture))
        return {};
    return picture;
}

// ---- TRpImage ----

TRpImage::TRpImage() { SetBounds(0, 0, 105, 105); }

void TRpImage::SetPicture(const QImage& picture)
{
    picture_ = picture;
    PictureChanged();
}

void TRpImage::SetAutoSize(bool autoSize)
{
    autoSize_ = autoSize;
    PictureChanged();
}

void TRpImage::SetStretch(bool stretch)
{
    if (stretch == stretch_)
        return;
    stretch_ = stretch;
    PictureChanged();
}

void TRpImage::SetCenter(bool center)
{
    if (center == center_)
        return;
    center_ = center;
    PictureChanged();
}

void TRpImage::PictureChanged()
{
    if (autoSize_ && picture_.width() > 0 && picture_.height() > 0) {
        SetBounds(Bounds().left(), Bounds().top(), picture_.width(), picture_.height());
    }
    opaque_ = !picture_.isNull() && !picture_.hasAlphaChannel() && picture_.width() >= Bounds().width() &&
              picture_.height() >= Bounds().height();
    if (ParentReport() != nullptr)
        ParentReport()->Repaint();
}

output::ExportPicture TRpImage::PictureValue(int ofsX, int ofsY) const
{
    return output::ExportPicture{.pixels = picture_,
                                 .kind = output::PictureClass::Image,
                                 .Stretch = stretch_,
                                 .Tag = Tag,
                                 .Center = center_,
                                 .rect = DeviceRect(ofsX, ofsY)};
}

void TRpImage::Print(int ofsX, int ofsY)
{
    const TRpPrintRun* run = PrintRun();
    output::TRpPrinter* printer = RpPrinter();
    if (run == nullptr || printer == nullptr)
        return;
    const QRect box = DeviceRect(ofsX, ofsY);
    if (run->ExportFilter() != nullptr) {
        run->ExportFilter()->ExportControl(PictureValue(ofsX, ofsY), box.left(), box.top());
    }
    if (output::Canvas* canvas = printer->GetCanvas()) {
        DrawPictureInBox(*canvas, *printer, picture_, box, Size.Native(kWidth), Size.Native(kHeight), stretch_,
                         center_);
    }
    TRpPrintable::Print(ofsX, ofsY);
}

void TRpImage::Paint(output::Canvas& canvas)
{
    if (IsPrinting())
        return;
    const QRect area(0, 0, Bounds().width(), Bounds().height());
    canvas.SetPen(output::Pen{qRgb(0, 0, 0), output::PenStyle::Dash, 1});
    canvas.SetBrush(output::Brush{qRgb(255, 255, 255), output::BrushStyle::Clear});
    canvas.Rectangle(area);
    if (picture_.isNull())
        return;
    const int zoom = Size.Zoom;
    const int pw = picture_.width() * zoom / 100;
    const int ph = picture_.height() * zoom / 100;
    if (stretch_) {
        canvas.DrawPicture(area, picture_);
    } else if (center_) {
        canvas.DrawPicture(QRect((area.width() - pw) / 2, (area.height() - ph) / 2, pw, ph), picture_);
    } else {
        canvas.DrawPicture(QRect(0, 0, pw, ph), picture_);
    }
}

// ---- Pictures from a blob field ----

TRpBlobPictureControl::TRpBlobPictureControl() { SetBounds(0, 0, 105, 105); }

TRpBlobPictureControl::~TRpBlobPictureControl()
{
    if (dataSet_ != nullptr)
        dataSet_->StopWatching(*this);
}

void TRpBlobPictureControl::SetDataSet(expr::TRpDataSet* dataSet)
{
    if (dataSet == dataSet_)
        return;
    if (dataSet_ != nullptr)
        dataSet_->StopWatching(*this);
    dataSet_ = dataSet;
    fieldIndex_ = -1;
    if (dataSet_ != nullptr)
        dataSet_->Watch(*this);
}

void TRpBlobPictureControl::DataSetGone(expr::TRpDataSet& dataSet)
{
    if (&dataSet != dataSet_)
        return;
    dataSet_ = nullptr;
    fieldIndex_ = -1;
}

void TRpBlobPictureControl::SetStretch(bool stretch)
{
    if (stretch == stretch_)
        return;
    stretch_ = stretch;
    if (ParentReport() != nullptr)
        ParentReport()->Repaint();
}

void TRpBlobPictureControl::SetCenter(bool center)
{
    if (center == center_)
        return;
    center_ = center;
    if (ParentReport() != nullptr)
        ParentReport()->Repaint();
}

void TRpBlobPictureControl::Prepare()
{
    TRpPrintable::Prepare();
    fieldIndex_ = dataSet_ != nullptr ? dataSet_->FieldIndex(DataField) : -1;
}

void TRpBlobPictureControl::Unprepare()
{
    fieldIndex_ = -1;
    TRpPrintable::Unprepare();
}

expr::TRpField* TRpBlobPictureControl::Field() const
{
    // Fetched by its index each time: a data set may make its field objects anew when it opens.
    return dataSet_ != nullptr && fieldIndex_ >= 0 ? dataSet_->Field(fieldIndex_) : nullptr;
}

QImage TRpBlobPictureControl::BlobPicture() const
{
    const expr::TRpField* field = Field();
    if (field == nullptr || field->Kind() != expr::TRpFieldKind::Blob)
        return {};
    return DecodePicture(field->AsBlob());
}

void TRpBlobPictureControl::Paint(output::Canvas& canvas)
{
    if (IsPrinting())
        return;
    const QRect area(0, 0, Bounds().width(), Bounds().height());
    canvas.SetBrush(output::Brush{Color, output::BrushStyle::Solid});
    canvas.FillRect(area);
    expr::TRpField* field = dataSet_ != nullptr ? dataSet_->FindField(DataField) : nullptr;
    std::string label(1, '(');
    label.append(field != nullptr ? field->FieldName() : Name).append(")");
    canvas.SetTextAlign(output::TextAlign{output::HorizontalAlign::Center});
    canvas.SetBackground(output::Background{.opaque = false});
    canvas.TextOut(area.width() / 2, (area.height() - canvas.TextHeight(label)) / 2, label);
    PaintMarksAndFrame(canvas);
}

// ---- TRpDBImage ----

void TRpDBImage::Print(int ofsX, int ofsY)
{
    const TRpPrintRun* run = PrintRun();
    output::TRpPrinter* printer = RpPrinter();
    if (run == nullptr || printer == nullptr)
        return;
    const expr::TRpField* field = Field();
    const bool blob = field != nullptr && field->Kind() == expr::TRpFieldKind::Blob;
    const QImage picture = blob ? DecodePicture(field->AsBlob()) : QImage();
    const QRect box = DeviceRect(ofsX, ofsY);
    if (run->ExportFilter() != nullptr) {
        run->ExportFilter()->ExportControl(output::ExportPicture{.pixels = picture,
                                                                 .kind = output::PictureClass::DBImage,
                                                                 .Stretch = stretch_,
                                                                 .Tag = Tag,
                                                                 .Center = center_,
                                                                 .rect = box},
                                           box.left(), box.top());
    }
    output::Canvas* canvas = printer->GetCanvas();
    if (canvas != nullptr && blob) {
        canvas->SetBrush(output::Brush{Color, output::BrushStyle::Solid});
        if (stretch_ && (picture.isNull() || picture.width() == 0 || picture.height() == 0)) {
            canvas->FillRect(box);
        } else {
            DrawPictureInBox(*canvas, *printer, picture, box, Size.Native(kWidth), Size.Native(kHeight), stretch_,
                             center_);
        }
    }
    TRpPrintable::Print(ofsX, ofsY);
}

void TRpDBImage::GetExpandedHeight(long double& newHeight)
{
    newHeight = Bounds().height();
    const expr::TRpField* field = Field();
    if (field != nullptr && field->Kind() == expr::TRpFieldKind::Blob)
        newHeight = DecodePicture(field->AsBlob()).height();
}

}  // namespace report::engine
