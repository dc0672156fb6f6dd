#include "report/engine/controls/label.h"

#include "report/engine/model/band.h"
#include "report/engine/model/flag_scope.h"
#include "report/engine/model/report_model.h"
#include "report/output/canvas/rounding.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace report::engine {
namespace {

// Where a word ends: a blank, a hyphen or a carriage return (find_first_of asks memchr for
// every character, and this runs for every character of every row).
std::size_t FindBreak(std::string_view text)
{
    const auto at = std::ranges::find_if(text, [](char c) { return c == ' ' || c == '-' || c == '\r'; });
    return at == text.end() ? std::string_view::npos : static_cast<std::size_t>(at - text.begin());
}

}  // namespace

// The line being collected from one paragraph's words.
struct TRpCustomLabel::Paragraph {
    std::string line;
    // What is measured of the line: the line with the next word is measured from there.
    TRpTextMeasurer::LineSum measured;
    // Without word wrap the first overflowing word stops the paragraph: its last line is not kept.
    bool stopped = false;
};

TRpCustomLabel::TRpCustomLabel() = default;

void TRpCustomLabel::Repaint()
{
    if (ParentReport() != nullptr)
        ParentReport()->Repaint();
}

void TRpCustomLabel::SetAutoSize(bool autoSize)
{
    autoSize_ = autoSize;
    FormatLines();
    Repaint();
}

void TRpCustomLabel::SetAutoStretch(bool autoStretch)
{
    autoStretch_ = autoStretch;
    Repaint();
}

void TRpCustomLabel::SetWordWrap(bool wordWrap)
{
    wordWrap_ = wordWrap;
    Repaint();
}

void TRpCustomLabel::SetTransparent(bool transparent)
{
    transparent_ = transparent;
    Repaint();
}

const output::FontSpec& TRpCustomLabel::Font() const
{
    if (parentFont_) {
        if (const auto* band = dynamic_cast<const TRpCustomBand*>(Parent()))
            return band->Font();
        if (ParentReport() != nullptr)
            return ParentReport()->Font;
    }
    return font_;
}

void TRpCustomLabel::SetFont(const output::FontSpec& font)
{
    font_ = font;
    parentFont_ = false;
    FormatLines();
    Repaint();
}

void TRpCustomLabel::SetParentFont(bool parentFont)
{
    if (parentFont_ == parentFont)
        return;
    // Leaving the parent's font keeps the font the control shows now.
    if (!parentFont)
        font_ = Font();
    parentFont_ = parentFont;
    FormatLines();
    Repaint();
}

void TRpCustomLabel::SetLines(const utility::StringList& lines)
{
    lines_ = lines;
    Repaint();
}

void TRpCustomLabel::SetCaption(const std::string& caption)
{
    caption_ = caption;
    printText_ = caption;
    FormatLines();
    Repaint();
}

void TRpCustomLabel::SetName(const std::string& name)
{
    if (caption_.empty() || caption_ == Name)
        SetCaption(name);
    Name = name;
}

void TRpCustomLabel::Loaded()
{
    TRpPrintable::Loaded();
    if (FontSize > 0 && Font().points != FontSize) {
        output::FontSpec font = Font();
        font.points = FontSize;
        SetFont(font);
    }
}

TRpTextMeasurer& TRpCustomLabel::OwnMeasurer()
{
    if (!ownMeasurer_)
        ownMeasurer_ = std::make_unique<TRpDeviceMeasurer>();
    return *ownMeasurer_;
}

int TRpCustomLabel::MeasureWidth(std::string_view text)
{
    TRpTextMeasurer::LineSum fresh;
    return MeasureWidth(text, fresh);
}

int TRpCustomLabel::MeasureWidth(std::string_view text, TRpTextMeasurer::LineSum& sum)
{
    if (TRpReportModel* report = ParentReport()) {
        const int width = output::MulDiv(report->GrownTextWidth(Font(), text, sum), Size.Zoom, 100);
        // Only a width beyond the int range fails here: such a text fits nowhere.
        return width < 0 ? std::numeric_limits<int>::max() : width;
    }
    return std::max(OwnMeasurer().GrownTextWidth(Font(), text, sum), 0);
}

int TRpCustomLabel::ScreenLineHeight()
{
    if (TRpReportModel* report = ParentReport())
        return std::max(output::MulDiv(report->TextHeight(Font()), Size.Zoom, 100), 0);
    return std::max(OwnMeasurer().TextHeight(Font()), 0);
}

int TRpCustomLabel::OneLineHeight()
{
    TRpReportModel* report = ParentReport();
    return report == nullptr ? 0 : report->TextHeight(Font()) * Size.Zoom / 100 + 1;
}

bool TRpCustomLabel::BreaksAsLastTime() const
{
    if (!lastBreak_)
        return false;
    const BreakInputs& last = *lastBreak_;
    const TRpReportModel* report = ParentReport();
    const bool caption = UsesCaption();
    return last.report == report && last.measurerChanges == (report != nullptr ? report->MeasurerChanges() : 0) &&
           last.zoom == Size.Zoom && last.width == Bounds().width() && last.autoSize == autoSize_ &&
           last.wordWrap == wordWrap_ && last.caption == caption && last.font == Font() &&
           (caption ? last.text == printText_ : last.lines == lines_);
}

void TRpCustomLabel::KeepBreakInputs()
{
    if (!lastBreak_)
        lastBreak_ = BreakInputs{};
    BreakInputs& last = *lastBreak_;
    const TRpReportModel* report = ParentReport();
    last.report = report;
    last.measurerChanges = report != nullptr ? report->MeasurerChanges() : 0;
    last.font = Font();
    last.zoom = Size.Zoom;
    last.width = Bounds().width();
    last.autoSize = autoSize_;
    last.wordWrap = wordWrap_;
    last.caption = UsesCaption();
    if (last.caption) {
        last.text = printText_;
        last.lines.clear();
    } else {
        last.lines = lines_;
        last.text.clear();
    }
}

void TRpCustomLabel::FormatLines()
{
    if (Parent() == nullptr)
        return;
    // The breaking is skipped when it would give the lines it gave last time; the sizing after
    // it runs either way.
    const bool breaking = !BreaksAsLastTime();
    if (breaking) {
        lastBreak_.reset();
        formatted_.clear();
    }
    if (UsesCaption()) {
        if (breaking) {
            FormatParagraph(printText_);
            KeepBreakInputs();
        }
        if (ParentReport() != nullptr && !sizing_) {
            const int height = OneLineHeight();
            const QRect& b = Bounds();
            if (b.height() < height)
                SetBounds(b.left(), b.top(), b.width(), height);
        }
    } else if (breaking) {
        if (autoSize_) {
            formatted_ = lines_;
        } else {
            for (const std::string& line : lines_)
                FormatParagraph(line);
        }
        KeepBreakInputs();
    }
    if (autoSize_ && ParentReport() != nullptr && !sizing_)
        SizeToLines();
}

void TRpCustomLabel::FormatParagraph(std::string_view text)
{
    std::string withoutFeeds;
    std::string_view rest = text;
    if (text.find('\n') != std::string_view::npos) {
        withoutFeeds = utility::RemoveChar(text, '\n');
        rest = withoutFeeds;
    }
    // A carriage return is a hard break; a text ending with one gives a last empty line.
    for (std::size_t cr = rest.find('\r'); cr != std::string_view::npos; cr = rest.find('\r')) {
        FormatPlain(rest.substr(0, cr));
        rest.remove_prefix(cr + 1);
    }
    FormatPlain(rest);
}

void TRpCustomLabel::FormatPlain(std::string_view text)
{
    if (autoSize_) {
        formatted_.emplace_back(text);
        return;
    }
    Paragraph paragraph;
    while (!text.empty()) {
        // A word runs up to and including its break character, so blanks and hyphens stay at
        // the end of the line they close.
        const std::size_t end = FindBreak(text);
        const std::size_t length = end == std::string_view::npos ? text.size() : end + 1;
        FormatWord(paragraph, text.substr(0, length));
        text.remove_prefix(length);
    }
    if (!paragraph.stopped)
        formatted_.push_back(std::move(paragraph.line));
}

template <class Fits>
std::size_t TRpCustomLabel::FittingLength(std::string_view word, Fits fits)
{
    // Widths grow with every character (advances are summed without kerning), so the first
    // start that does not fit ends the search.
    std::size_t length = 0;
    TRpTextMeasurer::LineSum measured;
    while (length < word.size() && fits(MeasureWidth(word.substr(0, length + 1), measured)))
        ++length;
    return length;
}

void TRpCustomLabel::FormatWord(Paragraph& paragraph, std::string_view word)
{
    const int w = Bounds().width();
    std::string& line = paragraph.line;
    while (!word.empty()) {
        // The line with the word, built in a buffer kept from word to word.
        candidate_.assign(line);
        candidate_ += word;
        TRpTextMeasurer::LineSum grown = paragraph.measured;
        if (MeasureWidth(candidate_, grown) <= w) {
            line += word;
            paragraph.measured = grown;
            return;
        }
        paragraph.measured = {};
        std::string_view rest = word;
        const bool alone = line.empty();
        if (alone) {
            // Alone on a line and still too wide: cut to the characters that stay below the width.
            std::size_t length = FittingLength(word, [w](int width) { return width < w; });
            // With word wrap the rest goes on the next lines, so each piece must take something.
            if (wordWrap_)
                length = std::max<std::size_t>(length, 1);
            line.assign(word.substr(0, length));
            rest = word.substr(length);
        }
        if (wordWrap_ && rest.empty())
            return;  // the last piece stays the current line
        formatted_.push_back(std::move(line));
        line.clear();
        if (!alone && MeasureWidth(word) > w) {
            // Wider than the control: its own line, shortened until it fits.
            std::size_t length = FittingLength(word, [w](int width) { return width <= w; });
            if (wordWrap_)
                length = std::max<std::size_t>(length, 1);
            rest = word.substr(length);
            if (wordWrap_ && rest.empty()) {
                line.assign(word);
                return;
            }
            formatted_.emplace_back(word.substr(0, length));
        }
        if (!wordWrap_) {
            // Without word wrap the overflow is clipped and the paragraph stops.
            paragraph.stopped = true;
            return;
        }
        // What is left of the word starts the new line, broken again when still too wide.
        word = rest;
    }
}

void TRpCustomLabel::SizeToLines()
{
    int maxWidth = 0;
    for (const std::string& line : formatted_)
        maxWidth = std::max(maxWidth, MeasureWidth(line));
    if (Frame.DrawLeft())
        maxWidth += Frame.Width();
    if (Frame.DrawRight())
        maxWidth += Frame.Width();
    const FlagScope sizing(sizing_);
    TAlignment alignment = Alignment();
    if (UseRightToLeftAlignment() && alignment != TAlignment::taCenter) {
        alignment = alignment == TAlignment::taLeftJustify ? TAlignment::taRightJustify : TAlignment::taLeftJustify;
    }
    const QRect b = Bounds();
    int left = b.left();
    if (alignment == TAlignment::taRightJustify)
        left += b.width() - maxWidth;
    if (alignment == TAlignment::taCenter)
        left += (b.width() - maxWidth) / 2;
    SetBounds(left, b.top(), maxWidth, std::max(b.height(), OneLineHeight()));
}

void TRpCustomLabel::Paint(output::Canvas& canvas)
{
    if (IsPrinting())
        return;
    output::FontSpec font = Font();
    font.points = static_cast<int>(std::lround(font.points * static_cast<double>(Size.Zoom) / 100.0));
    canvas.SetFont(font);
    TRpPrintable::Paint(canvas);
    if (!UsesCaption() && !lines_.empty())
        caption_.clear();
    FormatLines();
    const int width = Bounds().width();
    const int lineHeight = canvas.TextHeight("W");
    // The frame's width in points at the screen's resolution and the zoom.
    const int inset = static_cast<int>(std::lround(Frame.Width() / 72.0 * TRpUnitBase::ScreenDPI * Size.Zoom / 100.0));
    int y = Frame.AnyFrame() && Frame.DrawTop() ? inset : 0;
    int x = Frame.AnyFrame() && Frame.DrawLeft() ? inset : 0;
    output::TextAlign align;
    align.rightToLeft = UseRightToLeftReading();
    const bool mirrored = UseRightToLeftAlignment();
    switch (Alignment()) {
    case TAlignment::taLeftJustify:
        align.horizontal = mirrored ? output::HorizontalAlign::Right : output::HorizontalAlign::Left;
        break;
    case TAlignment::taRightJustify:
        align.horizontal = mirrored ? output::HorizontalAlign::Left : output::HorizontalAlign::Right;
        break;
    case TAlignment::taCenter:
        align.horizontal = output::HorizontalAlign::Center;
        break;
    }
    if (align.horizontal == output::HorizontalAlign::Right)
        x += width;
    if (align.horizontal == output::HorizontalAlign::Center)
        x += width / 2;
    canvas.SetFont(font);
    canvas.SetTextAlign(align);
    canvas.SetBackground(output::Background{.opaque = false});
    for (const std::string& line : formatted_) {
        canvas.TextOut(x, y, line);
        y += lineHeight;
    }
}

void TRpMemo::GetExpandedHeight(long double& newHeight)
{
    FormatLines();
    newHeight = static_cast<long double>(ScreenLineHeight()) * static_cast<long double>(FormattedLines().size());
}

TRpEditorFactory TRpLabel::GetEditorClass() const { return RegisteredEditorClass(typeid(TRpLabel)); }

}  // namespace report::engine
