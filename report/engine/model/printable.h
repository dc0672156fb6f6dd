// The base of every control that puts something on a report page, and its size in report units.
#pragma once

#include "report/engine/model/frame.h"
#include "report/engine/model/units.h"
#include "report/output/canvas/canvas.h"

#include <QRect>
#include <QRgb>

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <typeinfo>

namespace report::output {
class TRpPrinter;
}

namespace report::engine {

class TRpBasePanel;
class TRpPrintRun;
class TRpPrintable;
class TRpReportModel;

enum class TAlignment : std::uint8_t { taLeftJustify, taRightJustify, taCenter };
enum class TExportType : std::uint8_t { exptText, exptNumeric, exptFormula };

// What a band sends its children when it has changed size.
inline constexpr int kNotifyBandResized = 2;

// The control's rectangle relative to its parent in tenths of a millimetre, read and written in
// `Units`; index 0 Height, 1 Left, 2 Top, 3 Width, and the value list ("Values") in that order.
class TRpPrintableSize : public TRpUnitBase {
public:
    // The indices of the four values.
    enum Index : int { kHeight, kLeft, kTop, kWidth };

    explicit TRpPrintableSize(TRpPrintable& owner);

    // The value of `index` in `Units`; an index other than 0 to 3 reads 0.
    [[nodiscard]] long double GetValue(int index) const;
    // Stores `value` given in `Units`, then moves the control; other indices change nothing.
    void SetValue(int index, long double value);

    [[nodiscard]] long double Height() const { return GetValue(kHeight); }
    [[nodiscard]] long double Left() const { return GetValue(kLeft); }
    [[nodiscard]] long double Top() const { return GetValue(kTop); }
    [[nodiscard]] long double Width() const { return GetValue(kWidth); }
    void SetHeight(long double v) { SetValue(kHeight, v); }
    void SetLeft(long double v) { SetValue(kLeft, v); }
    void SetTop(long double v) { SetValue(kTop, v); }
    void SetWidth(long double v) { SetValue(kWidth, v); }

    // The stored value of `index` in tenths of a millimetre, whatever `Units` is.
    [[nodiscard]] long double Native(int index) const;

    // The control's pixel bounds become the values, rounded (halves to even).
    void ApplyToControl() override;

protected:
    [[nodiscard]] std::size_t ValueCount() const override { return values_.size(); }
    [[nodiscard]] long double StoredValue(std::size_t i) const override { return values_[i]; }
    void StoreValue(std::size_t i, long double value) override { values_[i] = value; }

private:
    TRpPrintable& owner_;
    std::array<long double, 4> values_{20, 20, 20, 20};
};

// The design-time editor of a control. The base answers neutral values; label and expression
// editors fill the rest in.
class TRpPrintableEditor {
public:
    explicit TRpPrintableEditor(TRpPrintable& control) : Control(control) {}
    virtual ~TRpPrintableEditor() = default;
    TRpPrintableEditor(const TRpPrintableEditor&) = delete;
    TRpPrintableEditor& operator=(const TRpPrintableEditor&) = delete;

    [[nodiscard]] virtual QRgb GetColor() const { return 0; }
    // The control's font; null for the base.
    [[nodiscard]] virtual const output::FontSpec* GetFont() const { return nullptr; }
    [[nodiscard]] virtual const std::type_info& ControlClass() const;
    [[nodiscard]] virtual std::string GetText() const { return {}; }
    // Start of the names new controls of the class get ("RPLABEL1").
    [[nodiscard]] virtual std::string NamePrefix() const { return {}; }
    [[nodiscard]] virtual std::string Description() const { return {}; }
    [[nodiscard]] virtual TAlignment GetAlignment() const { return TAlignment::taLeftJustify; }
    virtual void SetAlignment(TAlignment) {}
    virtual void SetColor(QRgb color) = 0;
    virtual void SetFont(const output::FontSpec& font) = 0;
    virtual void SetText(const std::string& text) = 0;
    // Runs the control's settings dialog; true when it was closed with OK.
    virtual bool Edit() = 0;

    TRpPrintable& Control;
};

// Makes the editor of a control; null for a control without one.
using TRpEditorFactory = std::unique_ptr<TRpPrintableEditor> (*)(TRpPrintable& control);

// The editors live above the engine and hand their factories in when they start (null takes
// one back); a control's GetEditorClass answers the factory registered for its class, if any.
void RegisterEditorClass(const std::type_info& controlClass, TRpEditorFactory factory);
[[nodiscard]] TRpEditorFactory RegisteredEditorClass(const std::type_info& controlClass);

class TRpPrintable {
public:
    // 10 by 10 pixels, white, left aligned.
    TRpPrintable();
    virtual ~TRpPrintable() = default;
    TRpPrintable(const TRpPrintable&) = delete;
    TRpPrintable& operator=(const TRpPrintable&) = delete;

    std::string Name;
    std::int32_t Tag = 0;
    QRgb Color = qRgb(255, 255, 255);
    bool Visible = true;
    // Stored with the control; no output reads them.
    TExportType ExportAs = TExportType::exptText;
    std::int32_t XLColumn = 0;
    // Owned; its changes mark the view for drawing again.
    TRpFrame Frame;
    TRpPrintableSize Size;
    // False while a text control has lines left for the next column or page.
    bool PrintFinished = true;

    [[nodiscard]] bool Enabled() const { return enabled_; }
    void SetEnabled(bool enabled);
    [[nodiscard]] TAlignment Alignment() const { return alignment_; }
    // Realigns when AlignToBand is set.
    virtual void SetAlignment(TAlignment alignment);
    [[nodiscard]] bool AlignToBand() const { return alignToBand_; }
    void SetAlignToBand(bool align);
    // Copies the settings of `frame` into the control's own frame.
    void SetFrame(const TRpFrame& frame);

    [[nodiscard]] TRpReportModel* ParentReport() const { return report_; }
    [[nodiscard]] TRpBasePanel* Parent() const { return parent_; }
    // The run printing the report, between Prepare and Unprepare; null otherwise.
    [[nodiscard]] TRpPrintRun* PrintRun() const { return run_; }
    // The run's printer object between Prepare and Unprepare; null otherwise.
    [[nodiscard]] output::TRpPrinter* RpPrinter() const { return printer_; }
    [[nodiscard]] bool IsPrinting() const { return printing_; }

    // Pixel bounds relative to the parent, at the size's zoom.
    [[nodiscard]] const QRect& Bounds() const { return bounds_; }
    // Pixel bounds that arrived while loading, kept for Loaded.
    [[nodiscard]] const QRect& SavedBounds() const { return saved_; }
    // New pixel bounds. While loading, non-zero values are kept aside; otherwise each value
    // that differs from the size's rounded pixel reading is written into the size.
    virtual void SetBounds(int left, int top, int width, int height);
    // The size takes `zoom` (percent) and the bounds follow.
    void SetZoom(std::int32_t zoom);
    // Built piece by piece (values, streamed bounds) until Loaded.
    void BeginLoading() { loading_ = true; }
    // The bounds follow the stored values, and any that came out 0 take the saved bound.
    virtual void Loaded();
    [[nodiscard]] bool IsLoading() const;

    // True when Enabled or not Visible.
    [[nodiscard]] virtual bool IsEnabled() const { return enabled_ || !Visible; }
    // The design-time editor's factory; null for this base, whose editor class is abstract.
    [[nodiscard]] virtual TRpEditorFactory GetEditorClass() const { return nullptr; }
    // Moves the control to its band's left edge, right edge or centre (AlignToBand only).
    virtual void AlignIt();
    // Before a run: printing, with the run and the printer object of the report's run.
    virtual void Prepare();
    // Draws the control with its band's top left at (ofsX, ofsY), tenths of a millimetre on
    // the page; the base draws the frame.
    virtual void Print(int ofsX, int ofsY);
    // kNotifyBandResized realigns; other operations do nothing here.
    virtual void Notify(const void* sender, int operation);
    // After a run: not printing, no printer object.
    virtual void Unprepare();
    // Leaves `newHeight` (pixels) as it is; controls whose content may be taller change it.
    virtual void GetExpandedHeight(long double& newHeight);
    virtual void ExpandedHook() {}
    // Whether the band's keep-together height asks this control for its expanded height.
    [[nodiscard]] virtual bool CountsForKeepTogether() const { return false; }
    // Whether the last Print put anything on the page.
    [[nodiscard]] virtual bool PutAnythingDown() const { return true; }

    // Design view on a canvas in the control's own pixels: white background, corner marks,
    // frame. Nothing while printing.
    virtual void Paint(output::Canvas& canvas);
    // Whether the design view leaves the background unfilled.
    [[nodiscard]] virtual bool IsTransparent() const { return false; }

protected:
    // After the control has been placed on a new parent (or taken off one: null).
    virtual void ParentChanged() {}
    // The frame in device pixels at the band offsets (tenths of a millimetre).
    [[nodiscard]] QRect DeviceRect(int ofsX, int ofsY) const;
    // The design view's corner marks and frame.
    void PaintMarksAndFrame(output::Canvas& canvas) const;

private:
    friend class TRpBasePanel;
    // Placing on a report or a band (null: taking off); only the panel that owns it calls it.
    void SetParent(TRpBasePanel* parent);
    void Repaint();

    TRpBasePanel* parent_ = nullptr;
    TRpReportModel* report_ = nullptr;
    TRpPrintRun* run_ = nullptr;
    output::TRpPrinter* printer_ = nullptr;
    QRect bounds_;
    QRect saved_;
    TAlignment alignment_ = TAlignment::taLeftJustify;
    bool alignToBand_ = false;
    bool aligning_ = false;
    bool enabled_ = true;
    bool printing_ = false;
    bool loading_ = false;
};

}  // namespace report::engine
