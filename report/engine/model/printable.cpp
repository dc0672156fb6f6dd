#include "report/engine/model/printable.h"

#include "report/engine/model/band.h"
#include "report/engine/model/flag_scope.h"
#include "report/engine/model/print_run.h"
#include "report/engine/model/report_model.h"
#include "report/output/canvas/rounding.h"
#include "report/output/printer/rp_printer.h"

#include <map>
#include <typeindex>

namespace report::engine {
namespace {

using enum TRpPrintableSize::Index;

bool IsHorizontal(int index) { return index == kLeft || index == kWidth; }

}  // namespace

// ---- Size ----

TRpPrintableSize::TRpPrintableSize(TRpPrintable& owner) : owner_(owner) {}

long double TRpPrintableSize::GetValue(int index) const
{
    if (index < kHeight || index > kWidth)
        return 0;
    // Pixels already carry the zoom; it is not applied a second time.
    return ToUnits(Units, IsHorizontal(index), values_[static_cast<std::size_t>(index)]);
}

void TRpPrintableSize::SetValue(int index, long double value)
{
    if (index < kHeight || index > kWidth)
        return;
    values_[static_cast<std::size_t>(index)] = FromUnits(Units, IsHorizontal(index), value);
    ApplyToControl();
}

long double TRpPrintableSize::Native(int index) const
{
    if (index < kHeight || index > kWidth)
        return 0;
    return values_[static_cast<std::size_t>(index)];
}

void TRpPrintableSize::ApplyToControl()
{
    if (Updating)
        return;
    const FlagScope applying(Updating);
    const auto pixels = [this](int index) {
        return output::RoundHalfEvenInt(
            ToUnits(TRpUnit::Pixels, IsHorizontal(index), values_[static_cast<std::size_t>(index)]));
    };
    owner_.SetBounds(pixels(kLeft), pixels(kTop), pixels(kWidth), pixels(kHeight));
}

// ---- Editor ----

const std::type_info& TRpPrintableEditor::ControlClass() const { return typeid(TRpPrintable); }

namespace {

std::map<std::type_index, TRpEditorFactory>& EditorClasses()
{
    static std::map<std::type_index, TRpEditorFactory> classes;
    return classes;
}

}  // namespace

void RegisterEditorClass(const std::type_info& controlClass, TRpEditorFactory factory)
{
    if (factory == nullptr) {
        EditorClasses().erase(controlClass);
    } else {
        EditorClasses()[controlClass] = factory;
    }
}

TRpEditorFactory RegisteredEditorClass(const std::type_info& controlClass)
{
    const auto it = EditorClasses().find(controlClass);
    return it != EditorClasses().end() ? it->second : nullptr;
}

// ---- Printable ----

TRpPrintable::TRpPrintable() : Size(*this)
{
    Frame.OnChange = [this] { Repaint(); };
    TRpPrintable::SetBounds(0, 0, 10, 10);
}

void TRpPrintable::Repaint()
{
    if (report_ != nullptr)
        report_->Repaint();
}

void TRpPrintable::SetEnabled(bool enabled)
{
    enabled_ = enabled;
    Repaint();
}

void TRpPrintable::SetAlignment(TAlignment alignment)
{
    alignment_ = alignment;
    if (alignToBand_)
        AlignIt();
    Repaint();
}

void TRpPrintable::SetAlignToBand(bool align)
{
    alignToBand_ = align;
    AlignIt();
}

void TRpPrintable::SetFrame(const TRpFrame& frame)
{
    Frame.SetColor(frame.Color());
    for (int side = 0; side < 4; ++side) {
        const bool draw[] = {frame.DrawTop(), frame.DrawBottom(), frame.DrawLeft(), frame.DrawRight()};
        Frame.SetDraw(side, draw[side]);
    }
    Frame.SetStyle(frame.Style());
    Frame.SetWidth(frame.Width());
    Repaint();
}

bool TRpPrintable::IsLoading() const { return loading_ || (report_ != nullptr && report_->IsLoading()); }

void TRpPrintable::SetBounds(int left, int top, int width, int height)
{
    if (Size.Updating) {
        bounds_ = QRect(left, top, width, height);
        if (report_ != nullptr)
            report_->Repaint();
    } else if (IsLoading()) {
        if (left != 0)
            saved_.moveLeft(left);
        if (top != 0)
            saved_.moveTop(top);
        if (width != 0)
            saved_.setWidth(width);
        if (height != 0)
            saved_.setHeight(height);
    } else {
        // Only values that really changed are written: a size whose pixel reading rounds to the
        // bound keeps its exact native value. (Not through BeginPixels: its saved unit would be
        // overwritten if this runs inside another BeginPixels of the same size.)
        const TRpUnit units = Size.Units;
        Size.Units = TRpUnit::Pixels;
        const std::pair<int, int> order[] = {{0, height}, {3, width}, {2, top}, {1, left}};
        for (const auto& [index, pixels] : order) {
            if (pixels != output::RoundHalfEvenInt(Size.GetValue(index)))
                Size.SetValue(index, pixels);
        }
        Size.Units = units;
    }
    if (alignToBand_ && !aligning_)
        AlignIt();
}

void TRpPrintable::SetZoom(std::int32_t zoom)
{
    if (zoom <= 0)
        return;
    Size.Zoom = zoom;
    Size.ApplyToControl();
}

void TRpPrintable::Loaded()
{
    loading_ = false;
    if (IsLoading())
        return;  // the report is still being built; it calls again when done
    Size.ApplyToControl();
    const QRect& b = bounds_;
    const int left = b.left() == 0 && saved_.left() != 0 ? saved_.left() : b.left();
    const int top = b.top() == 0 && saved_.top() != 0 ? saved_.top() : b.top();
    const int width = b.width() == 0 && saved_.width() != 0 ? saved_.width() : b.width();
    const int height = b.height() == 0 && saved_.height() != 0 ? saved_.height() : b.height();
    if (QRect(left, top, width, height) != b)
        SetBounds(left, top, width, height);
}

void TRpPrintable::SetParent(TRpBasePanel* parent)
{
    parent_ = parent;
    TRpReportModel* report = nullptr;
    if (auto* asReport = dynamic_cast<TRpReportModel*>(parent)) {
        Size.Units = asReport->GetUnits();
        report = asReport;
    } else if (auto* band = dynamic_cast<TRpCustomBand*>(parent)) {
        Size.Units = band->Size.Units;
        report = band->ParentReport();
    }
    report_ = report;
    Size.ParentReport = report;
    Frame.ParentReport = report;
    if (parent != nullptr) {
        const int left = bounds_.left();
        const int top = bounds_.top();
        if (report != nullptr) {
            Size.Zoom = report->Zoom();
            Size.ApplyToControl();
        }
        // The control keeps its pixel place on the new parent.
        SetBounds(left, top, bounds_.width(), bounds_.height());
    }
    ParentChanged();
}

void TRpPrintable::AlignIt()
{
    if (!alignToBand_)
        return;
    const FlagScope aligning(aligning_);
    const auto* band = dynamic_cast<const TRpCustomBand*>(parent_);
    int left = bounds_.left();
    switch (alignment_) {
    case TAlignment::taLeftJustify:
        left = 0;
        break;
    case TAlignment::taRightJustify:
        if (band != nullptr)
            left = band->Bounds().width() - bounds_.width();
        break;
    case TAlignment::taCenter:
        if (band != nullptr)
            left = (band->Bounds().width() - bounds_.width()) / 2;
        break;
    }
    SetBounds(left, bounds_.top(), bounds_.width(), bounds_.height());
}

void TRpPrintable::Prepare()
{
    printing_ = true;
    run_ = report_ != nullptr ? report_->PrintRun() : nullptr;
    printer_ = run_ != nullptr ? &run_->Printer() : nullptr;
}

void TRpPrintable::Unprepare()
{
    printing_ = false;
    // The run frees its printer object after every print, export and preview.
    run_ = nullptr;
    printer_ = nullptr;
}

void TRpPrintable::Notify(const void*, int operation)
{
    if (operation == kNotifyBandResized)
        AlignIt();
}

void TRpPrintable::GetExpandedHeight(long double&) {}

QRect TRpPrintable::DeviceRect(int ofsX, int ofsY) const
{
    const long double left = ofsX + Size.Native(kLeft);
    const long double top = ofsY + Size.Native(kTop);
    return output::GdiRect(printer_->DeviceX(left), printer_->DeviceY(top),
                           printer_->DeviceX(left + Size.Native(kWidth)),
                           printer_->DeviceY(top + Size.Native(kHeight)));
}

void TRpPrintable::Print(int ofsX, int ofsY)
{
    if (run_ == nullptr || printer_ == nullptr || !run_->PrintToDevice() || !Frame.AnyFrame())
        return;
    output::Canvas* canvas = printer_->GetCanvas();
    if (canvas == nullptr)
        return;
    Frame.PaintFrame(*canvas, DeviceRect(ofsX, ofsY), printer_->XFactor(), printer_->YFactor());
}

void TRpPrintable::Paint(output::Canvas& canvas)
{
    if (printing_)
        return;
    const int w = bounds_.width();
    const int h = bounds_.height();
    if (!IsTransparent()) {
        canvas.SetBrush(output::Brush{qRgb(255, 255, 255), output::BrushStyle::Solid});
        canvas.FillRect(QRect(0, 0, w, h));
    }
    PaintMarksAndFrame(canvas);
}

void TRpPrintable::PaintMarksAndFrame(output::Canvas& canvas) const
{
    const int w = bounds_.width();
    const int h = bounds_.height();
    // Two 4-pixel strokes meeting at each corner.
    canvas.SetPen(output::Pen{qRgb(0, 0, 0), output::PenStyle::Solid, 1});
    for (const auto& [x, dx] : {std::pair{0, 1}, std::pair{w - 1, -1}}) {
        for (const auto& [y, dy] : {std::pair{0, 1}, std::pair{h - 1, -1}}) {
            canvas.Line(x, y, x + 4 * dx, y);
            canvas.Line(x, y, x, y + 4 * dy);
        }
    }
    TRpFrame view = Frame;
    view.ParentReport = nullptr;
    view.OnChange = nullptr;
    const long double factor = Size.Zoom * (TRpUnitBase::ScreenDPI / 254.0L) / 100;
    view.PaintFrame(canvas, output::GdiRect(0, 0, w - 1, h - 1), factor, factor);
}

}  // namespace report::engine
