#include "report/engine/controls/graphic_controls.h"
#include "report/engine/controls/image.h"
#include "report/engine/model/print_run.h"
#include "report/engine/model/report_model.h"
#include "report/output/canvas/rounding.h"
#include "report/output/printer/rp_printer.h"

#include <algorithm>

namespace report::engine {
namespace {

using enum TRpPrintableSize::Index;

// A device extent kept within what a page can hold, so later sums cannot overflow.
int Extent(long double value)
{
    const long double limit = output::kCoordinateLimit;
    return output::RoundHalfEvenInt(std::clamp(value, -limit, limit));
}

}  // namespace

FittedPicture FitPicture(const output::TRpPrinter& printer, QSize picture, const QRect& box, long double width,
                         long double height, TFitMode mode, bool center, bool clipImage)
{
    const long double pw = picture.width();
    const long double ph = picture.height();
    const output::Edges e = output::EdgesOf(box);
    const int dw = e.right - e.left;
    const int dh = e.bottom - e.top;
    // Narrower than the box in proportion: pw / dw < ph / dh, without dividing by a zero extent.
    const bool narrower = pw * dh < ph * dw;
    QRect fitted = box;
    switch (mode) {
    case TFitMode::fmInsideProp:
        // The whole picture inside the box, always in its middle.
        if (narrower) {
            fitted.setWidth(Extent(pw * dh / ph));
            fitted.translate((dw - fitted.width()) / 2, 0);
        } else {
            fitted.setHeight(Extent(ph * dw / pw));
            fitted.translate(0, (dh - fitted.height()) / 2);
        }
        break;
    case TFitMode::fmKeepWidth:
    case TFitMode::fmKeepHeight:
    case TFitMode::fmProportional: {
        // Proportional covers the box: the picture's shorter side in proportion fills it.
        const bool keepWidth = mode == TFitMode::fmKeepWidth || (mode == TFitMode::fmProportional && narrower);
        if (keepWidth) {
            fitted.setHeight(Extent(ph * dw / pw));
            if (center)
                fitted.translate(0, (dh - fitted.height()) / 2);
        } else {
            fitted.setWidth(Extent(pw * dh / ph));
            if (center)
                fitted.translate((dw - fitted.width()) / 2, 0);
        }
        break;
    }
    }
    FittedPicture result{fitted.intersected(box), fitted};
    if (clipImage) {
        // The picture at the size it has on a 96-dpi screen.
        const long double tenthsPerPixel = 254.0L / TRpUnitBase::ScreenDPI;
        const int natW = Extent(pw * tenthsPerPixel * printer.XFactor());
        const int natH = Extent(ph * tenthsPerPixel * printer.YFactor());
        result.draw = QRect(fitted.left(), fitted.top(), natW, natH);
        if (center) {
            result.draw.moveTopLeft(box.topLeft());
            result.draw.translate((printer.DeviceWidth(width) - natW) / 2, (printer.DeviceHeight(height) - natH) / 2);
        }
    }
    return result;
}

// ---- TRpGrDBImage ----

output::ExportPicture TRpGrDBImage::PictureValue(int ofsX, int ofsY) const
{
    return output::ExportPicture{.pixels = BlobPicture(),
                                 .kind = output::PictureClass::GrDBImage,
                                 .Stretch = stretch_,
                                 .Tag = Tag,
                                 .Center = center_,
                                 .FitMode = FitMode,
                                 .ClipImage = ClipImage,
                                 .rect = DeviceRect(ofsX, ofsY)};
}

void TRpGrDBImage::Print(int ofsX, int ofsY)
{
    const TRpPrintRun* run = PrintRun();
    output::TRpPrinter* printer = RpPrinter();
    if (run == nullptr || printer == nullptr)
        return;
    const output::ExportPicture value = PictureValue(ofsX, ofsY);
    const QImage& picture = value.pixels;
    output::Canvas* canvas = printer->GetCanvas();
    // Without a picture, or with an empty one, only the frame prints.
    if (canvas != nullptr && !picture.isNull() && picture.width() > 0 && picture.height() > 0) {
        canvas->SetBrush(output::Brush{Color, output::BrushStyle::Solid});
        if (stretch_) {
            canvas->DrawPicture(value.rect, picture);
        } else {
            const FittedPicture fit = FitPicture(*printer, picture.size(), value.rect, Size.Native(kWidth),
                                                 Size.Native(kHeight), FitMode, center_, ClipImage);
            canvas->SetClipRect(fit.clip);
            canvas->DrawPicture(fit.draw, picture);
            canvas->RemoveClip();
        }
    }
    TRpPrintable::Print(ofsX, ofsY);
    if (run->ExportFilter() != nullptr) {
        run->ExportFilter()->ExportControl(value, value.rect.left(), value.rect.top());
    }
}

}  // namespace report::engine
