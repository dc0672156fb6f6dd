// The base of the export filters. Besides drawing on the page canvas, a report run hands each
// page's content to the filter it exports with: a text, a shape, a picture or a band, always as
// values (what to draw, with what, where), never as the report's own objects. The base does
// nothing with them; a filter overrides what it writes.
#pragma once

#include "report/output/canvas/canvas.h"
#include "report/output/export/export_device.h"

#include <QImage>
#include <QRect>

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <variant>

namespace report::output {

class ExportedReport;

enum class TRpShapeType : std::uint8_t {
    rpsRectangle,
    rpsCircle,
    rpsVertLine,
    rpsHorLine,
    rpsTopAndBottom,
    rpsRightAndLeft,
    rpsRoundRect,
    rpsLeftDiagonal,
    rpsRightDiagonal
};

// The kind of control a shape comes from; a rule is always drawn as a horizontal line,
// whatever its shape value says.
enum class ShapeClass : std::uint8_t { Shape, PdfShape, Rule };

// A shape: its kind, its box in device pixels, and the pen and brush it is drawn with.
struct ExportShape {
    TRpShapeType shape = TRpShapeType::rpsRectangle;
    QRect rect;
    Pen pen;
    Brush brush;
    ShapeClass kind = ShapeClass::Shape;
    bool operator==(const ExportShape&) const = default;
};

// The kind of control a picture comes from: a picture control, a data-bound picture, or a
// data-bound picture with a fit mode.
enum class PictureClass : std::uint8_t { Image, DBImage, GrDBImage };

// How a data-bound picture with a fit mode fills its box when it is not stretched.
enum class TFitMode : std::uint8_t { fmProportional, fmKeepWidth, fmKeepHeight, fmInsideProp };

// A picture: its pixels (null when the control has none), the control's settings that decide
// how the pixels fill the box, and the box in device pixels.
struct ExportPicture {
    QImage pixels;
    PictureClass kind = PictureClass::Image;
    bool Stretch = false;
    std::int32_t Tag = 0;  // the control's tag: 999 and 12345 choose a picture's own scale
    bool Center = false;
    TFitMode FitMode = TFitMode::fmProportional;
    bool ClipImage = false;
    QRect rect;
    bool operator==(const ExportPicture&) const = default;
};

using ExportedControl = std::variant<ExportShape, ExportPicture>;

// The band types of a report; the value is the band's stored type number.
enum class TRpBandType : std::uint8_t {
    rbTitle,
    rbPageHeader,
    rbDetail,
    rbPageFooter,
    rbSummary,
    rbGroupHeader,
    rbGroupFooter,
    rbSubDetail,
    rbColumnHeader,
    rbOverlay,
    rbWild,
    rbChild
};

// A text item: code page 1250 bytes, font, colour, alignment and its box in device pixels.
struct ExportText {
    std::string text;
    FontSpec font;
    QRgb color = qRgb(0, 0, 0);
    TextAlign alignment;
    QRect rect;
    bool operator==(const ExportText&) const = default;
};

// Receives one report run: Start once, then per page NewPage, the page's content and EndPage,
// then Finish. A run that is cancelled or fails ends without Finish.
class TRpExportFilter {
public:
    // `fileName`: where the filter writes; empty for a filter that writes to memory.
    explicit TRpExportFilter(std::filesystem::path fileName = {});
    virtual ~TRpExportFilter() = default;
    TRpExportFilter(const TRpExportFilter&) = delete;
    TRpExportFilter& operator=(const TRpExportFilter&) = delete;

    [[nodiscard]] virtual std::string GetDescription() const;
    // Without the dot; the registry's key.
    [[nodiscard]] virtual std::string GetExtension() const;
    // The name shown in the save dialog.
    [[nodiscard]] virtual std::string GetFilterName() const;
    [[nodiscard]] virtual std::string GetVendorName() const;
    // True makes the report treat the whole paper length as free band space (no page breaks).
    [[nodiscard]] virtual bool GetStreaming() const;
    // Whether this filter writes the PDF document, which draws rules and PDF shapes itself.
    [[nodiscard]] virtual bool IsPDFDocumentFilter() const { return false; }

    // When a run begins and the filter is not active; paper size in tenths of a millimetre, and
    // the device the run draws for, kept as Device(). A filter that cannot open its output
    // throws ERpError here.
    virtual void Start(std::int32_t paperWidth, std::int32_t paperLength, const FontSpec& font,
                       const ExportDevice& device);
    virtual void EndPage();
    virtual void Finish();
    virtual void NewPage();
    // A shape or picture whose box has its top left at (x, y), in device pixels of Device().
    virtual void ExportControl(const ExportedControl& control, long double x, long double y);
    virtual void ExportControlAlt(const ExportedControl& control, long double x, long double y);
    // Once per printed band, at (x, y) in device pixels; `expanded` is the height it was printed with.
    virtual void ExportBand(TRpBandType band, long double x, long double y, long double expanded);
    // One line (or word) of text: code page 1250 bytes whose left edge, right edge or centre
    // (by `alignment`) and top lie at (x, y) in tenths of a millimetre.
    virtual void TextOutput(long double x, long double y, const FontSpec& font, QRgb color, HorizontalAlign alignment,
                            std::string_view text);
    virtual void TextOutputRec(const ExportText& info);

    // The device of the run, as Start was handed it; the recorded pages' device before.
    [[nodiscard]] const ExportDevice& Device() const { return device_; }

    // Start was called and Finish not yet.
    bool Active = false;
    std::filesystem::path FileName;
    // The report being exported, set by the report for the run; not owned.
    ExportedReport* Report = nullptr;

private:
    ExportDevice device_;
};

}  // namespace report::output
