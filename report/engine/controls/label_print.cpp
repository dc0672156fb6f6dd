// Printing a text control: its lines on the page canvas and to an export filter.
#include "report/engine/controls/label.h"
#include "report/engine/model/band.h"
#include "report/engine/model/print_run.h"
#include "report/output/canvas/rounding.h"
#include "report/output/export/export_filter.h"
#include "report/output/printer/rp_printer.h"

#include <algorithm>
#include <cmath>
#include <utility>
#include <vector>

namespace report::engine {
namespace {

using enum TRpPrintableSize::Index;

constexpr QRgb kWhite = qRgb(255, 255, 255);

bool IsWhite(QRgb color) { return (color & 0xFFFFFFu) == (kWhite & 0xFFFFFFu); }

output::HorizontalAlign ToHorizontal(TAlignment alignment)
{
    switch (alignment) {
    case TAlignment::taRightJustify:
        return output::HorizontalAlign::Right;
    case TAlignment::taCenter:
        return output::HorizontalAlign::Center;
    case TAlignment::taLeftJustify:
        break;
    }
    return output::HorizontalAlign::Left;
}

// The words of a line for justified output: split at blanks, empty ones dropped.
std::vector<std::string_view> SplitWords(std::string_view text)
{
    std::vector<std::string_view> words;
    std::size_t at = 0;
    while (at < text.size()) {
        const std::size_t blank = text.find(' ', at);
        const std::size_t end = blank == std::string_view::npos ? text.size() : blank;
        if (end > at)
            words.push_back(text.substr(at, end - at));
        at = end + 1;
    }
    return words;
}

// Puts a text back when the scope is left, however it is left.
class RestoreText {
public:
    explicit RestoreText(std::string& text) : text_(text), saved_(text) {}
    ~RestoreText()
    {
        if (active_)
            text_ = std::move(saved_);
    }
    RestoreText(const RestoreText&) = delete;
    RestoreText& operator=(const RestoreText&) = delete;
    void Arm() { active_ = true; }

private:
    std::string& text_;
    std::string saved_;
    bool active_ = false;
};

}  // namespace

// What one print works with: the printer and the export filter of the run, the control's box
// (after sizing, with the frame's inset for the text) and the position of the next line, in
// tenths of a millimetre.
struct TRpCustomLabel::PrintState {
    output::TRpPrinter& printer;
    output::TRpExportFilter* filter = nullptr;
    bool drawing = false;
    bool exporting = false;
    bool autoStretch = false;
    long double x0 = 0;  // the control's box
    long double y0 = 0;
    long double w = 0;
    long double h = 0;
    long double x = 0;  // the box with the frame's inset
    long double y = 0;
    long double lh = 0;
    long double tx = 0;  // where a line is written, by the alignment
    long double curY = 0;
    long double bottom = 0;
    long double extra = 0;
    TAlignment alignment = TAlignment::taLeftJustify;
};

void TRpCustomLabel::Prepare()
{
    TRpPrintable::Prepare();
    // A run that ended midway (an exception) must not leave the next one mid-text.
    PrintFinished = true;
    currentLine_ = 0;
    SetCaption(std::string(caption_));
}

TRpCustomBand* TRpCustomLabel::ParentBand() const { return dynamic_cast<TRpCustomBand*>(Parent()); }

void TRpCustomLabel::Print(int ofsX, int ofsY)
{
    if (!IsEnabled())
        return;
    putDown_ = false;
    if (RpPrinter() == nullptr)
        Prepare();
    output::TRpPrinter* printer = RpPrinter();
    if (printer == nullptr || ParentReport() == nullptr)
        return;
    output::Canvas* canvas = printer->GetCanvas();
    if (canvas == nullptr)
        return;
    canvas->SetFont(Font());
    const long double lh = canvas->TextHeight("W") / printer->YFactor();
    PrintText(*canvas, autoStretch_, ofsX + Size.Native(kLeft), ofsY + Size.Native(kTop), Size.Native(kWidth),
              Size.Native(kHeight), lh);
}

void TRpCustomLabel::PrintText(output::Canvas& canvas, bool autoStretch, long double x, long double y, long double w,
                               long double h, long double lh)
{
    const TRpPrintRun* run = PrintRun();
    output::TRpPrinter* printer = RpPrinter();
    if (run == nullptr || printer == nullptr)
        return;
    putDown_ = false;
    const long double leftBefore = Size.Native(kLeft);
    RestoreText restore(printText_);
    if (OnPrint) {
        std::string value = printText_;
        OnPrint(*this, value);
        // The handler may have changed the font or the size.
        canvas.SetFont(Font());
        h = Size.Native(kHeight);
        lh = canvas.TextHeight("W") / printer->YFactor();
        if (value != printText_) {
            restore.Arm();
            printText_ = std::move(value);
        }
    }
    // Formatted at every print: the text may have changed in a band's BeforePrint or in OnPrint.
    FormatLines();
    // Sizing may have moved and widened the control: its box is where it is now.
    x += Size.Native(kLeft) - leftBefore;
    w = Size.Native(kWidth);

    PrintState state{.printer = *printer, .filter = run->ExportFilter()};
    state.drawing = run->PrintToDevice();
    state.exporting = state.filter != nullptr;
    state.autoStretch = autoStretch;
    state.x0 = x;
    state.y0 = y;
    state.w = w;
    state.h = h;
    state.lh = lh;
    PrintBackground(canvas, state);

    // The text starts inside the drawn sides of the frame (its width is in points; -1, a
    // hairline, takes no room).
    const long double inset = std::max(0.0L, std::round(Frame.Width() / 72.0L * 254.0L));
    if (Frame.AnyFrame()) {
        if (Frame.DrawTop())
            y += inset;
        if (Frame.DrawLeft())
            x += inset;
    }
    state.x = x;
    state.y = y;
    state.alignment = Alignment();
    if (UseRightToLeftAlignment() && state.alignment != TAlignment::taCenter) {
        state.alignment =
            state.alignment == TAlignment::taLeftJustify ? TAlignment::taRightJustify : TAlignment::taLeftJustify;
    }
    state.bottom = y + h + 1;
    state.curY = y;
    state.tx = x;
    if (state.alignment == TAlignment::taRightJustify)
        state.tx += w;
    if (state.alignment == TAlignment::taCenter)
        state.tx += w / 2;
    canvas.SetBackground(output::Background{.opaque = false});
    canvas.SetTextAlign(output::TextAlign{ToHorizontal(state.alignment), UseRightToLeftReading()});

    const bool resumed = !PrintFinished;
    if (PrintFinished)
        currentLine_ = 0;
    grown_ = false;
    int printed = 0;
    const int count = static_cast<int>(FormattedLines().size());
    while (currentLine_ < count && NextLineFits(canvas, state)) {
        PrintLine(canvas, state, FormattedLines()[static_cast<std::size_t>(currentLine_)]);
        ++currentLine_;
        ++printed;
    }
    PrintFinished = currentLine_ >= count || !autoStretch;
    putDown_ = printed > 0;
    // A resumed print starts at the top of a fresh column: a line that does not fit there never
    // will, and the band would open columns without end. The rest is dropped.
    if (!PrintFinished && resumed && printed == 0) {
        PrintFinished = true;
        currentLine_ = 0;
    }
    canvas.RemoveClip();
    if ((state.drawing || state.exporting) && Frame.AnyFrame()) {
        const QRect box = output::GdiRect(printer->DeviceX(state.x0), printer->DeviceY(state.y0),
                                          printer->DeviceX(state.x0 + w), printer->DeviceY(state.y0 + h + state.extra));
        Frame.PaintFrame(canvas, box, printer->XFactor(), printer->YFactor());
    }
}

void TRpCustomLabel::PrintBackground(output::Canvas& canvas, const PrintState& state)
{
    if (transparent_)
        return;
    const output::TRpPrinter& printer = state.printer;
    if (state.exporting && !IsWhite(Color)) {
        output::ExportShape shape;
        shape.shape = output::TRpShapeType::rpsRectangle;
        shape.rect = QRect(printer.DeviceX(state.x0), printer.DeviceY(state.y0), printer.DeviceWidth(state.w),
                           printer.DeviceHeight(state.h));
        shape.pen.style = output::PenStyle::Clear;
        shape.brush = output::Brush{Color, output::BrushStyle::Solid};
        state.filter->ExportControl(shape, shape.rect.left(), shape.rect.top());
    }
    if (state.drawing) {
        output::Pen pen = canvas.GetPen();
        pen.width = 0;
        canvas.SetPen(pen);
        canvas.SetBrush(output::Brush{Color, output::BrushStyle::Solid});
        canvas.FillRect(output::GdiRect(printer.DeviceX(state.x0), printer.DeviceY(state.y0),
                                        printer.DeviceX(state.x0 + state.w), printer.DeviceY(state.y0 + state.h)));
    }
}

bool TRpCustomLabel::NextLineFits(output::Canvas& canvas, PrintState& state)
{
    if (state.curY + state.lh <= state.bottom)
        return true;
    TRpCustomBand* band = ParentBand();
    if (!state.autoStretch || band == nullptr || !band->CanExpand(state.lh))
        return false;
    const long double before = state.extra;
    // Whether the band grew or already was tall enough, the control now reaches Expanded.
    (void)band->ExpandBand(state.extra, grown_, state.lh);
    state.bottom = state.y + state.h + 1 + state.extra;
    if (state.drawing && !transparent_) {
        const output::TRpPrinter& printer = state.printer;
        canvas.SetBrush(output::Brush{Color, output::BrushStyle::Solid});
        canvas.FillRect(output::GdiRect(printer.DeviceX(state.x0), printer.DeviceY(state.y0 + state.h + before),
                                        printer.DeviceX(state.x0 + state.w),
                                        printer.DeviceY(state.y0 + state.h + state.extra)));
    }
    return true;
}

void TRpCustomLabel::PrintLine(output::Canvas& canvas, PrintState& state, const std::string& text)
{
    if (state.drawing && !text.empty()) {
        if (FullJustify) {
            // Draws and exports the words and moves to the next line itself.
            PrintJustified(canvas, state, text);
            return;
        }
        canvas.TextOut(state.printer.DeviceX(state.tx), state.printer.DeviceY(state.curY), text);
    }
    if (state.exporting) {
        if (FullJustify) {
            PrintJustified(canvas, state, text);
        } else {
            state.filter->TextOutput(state.tx, state.curY, Font(), Color, ToHorizontal(state.alignment), text);
        }
    }
    state.curY += state.lh;
}

void TRpCustomLabel::PrintJustified(output::Canvas& canvas, PrintState& state, const std::string& text)
{
    const output::TRpPrinter& printer = state.printer;
    const std::vector<std::string_view> words = SplitWords(text);
    long double sum = 0;
    for (const std::string_view word : words)
        sum += canvas.TextWidth(word);
    const long double available = printer.DeviceWidth(state.w);
    const long double blank = canvas.TextWidth(" ");
    long double gap = blank;
    if (words.size() >= 2 && available > sum)
        gap = (available - sum) / static_cast<long double>(words.size() - 1);
    if (gap > MaxBreakChars * blank)
        gap = blank;
    // From the left edge whatever the alignment: the gaps already fill the width.
    const int x0 = printer.DeviceX(state.x);
    const int y = printer.DeviceY(state.curY);
    const output::TextAlign saved = canvas.GetTextAlign();
    canvas.SetTextAlign(output::TextAlign{output::HorizontalAlign::Left, saved.rightToLeft});
    long double x = x0;
    for (const std::string_view word : words) {
        const int at = output::RoundHalfEvenInt(x);
        if (state.drawing)
            canvas.TextOut(at, y, word);
        if (state.exporting) {
            const long double tenths = state.x + (at - x0) / printer.XFactor();
            state.filter->TextOutput(tenths, state.curY, Font(), Color, output::HorizontalAlign::Left, word);
        }
        x += canvas.TextWidth(word) + gap;
    }
    canvas.SetTextAlign(saved);
    if (state.drawing)
        state.curY += state.lh;
}

}  // namespace report::engine
