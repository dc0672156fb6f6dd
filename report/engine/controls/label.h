// Text controls: a label printing its caption and a memo printing its lines, broken into lines
// by the control's width and printed line by line while they fit, growing the band or carrying
// the rest to the next column or page.
#pragma once

#include "report/engine/model/printable.h"
#include "report/engine/model/text_measure.h"
#include "report/output/canvas/canvas.h"
#include "utility/stringi.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <utility>

namespace report::engine {

class TRpCustomBand;
class TRpCustomLabel;

enum class TBiDiMode : std::uint8_t { bdLeftToRight, bdRightToLeft, bdRightToLeftNoAlign, bdRightToLeftReadingOnly };

// Fired before each print with the text about to print in `value`; a changed value is printed
// instead, for this print only.
using TRpLabelOnPrintEvent = std::function<void(TRpCustomLabel& sender, std::string& value)>;

class TRpCustomLabel : public TRpPrintable {
public:
    // White, not transparent, AutoSize, word wrap, the parent's font.
    TRpCustomLabel();

    // No breaking of paragraphs: the control takes the width of its widest line.
    [[nodiscard]] bool AutoSize() const { return autoSize_; }
    void SetAutoSize(bool autoSize);
    // Lines that do not fit make the band grow, or continue on the next column or page.
    [[nodiscard]] bool AutoStretch() const { return autoStretch_; }
    void SetAutoStretch(bool autoStretch);
    // A word that would overflow the line starts a new line.
    [[nodiscard]] bool WordWrap() const { return wordWrap_; }
    void SetWordWrap(bool wordWrap);
    // No background is painted or exported.
    [[nodiscard]] bool Transparent() const { return transparent_; }
    void SetTransparent(bool transparent);
    [[nodiscard]] bool IsTransparent() const override { return transparent_; }

    // The parent's font (band or report) while ParentFont is set.
    [[nodiscard]] const output::FontSpec& Font() const;
    // Clears ParentFont; the lines are formatted again.
    void SetFont(const output::FontSpec& font);
    [[nodiscard]] bool ParentFont() const { return parentFont_; }
    void SetParentFont(bool parentFont);
    // The point size read from the stored form ("FontSize"); above 0 it becomes the font's size
    // at Loaded, so the printed size does not depend on the screen the form was made on.
    std::int32_t FontSize = 0;
    void ReadFontSize(std::int32_t points) { FontSize = points; }
    [[nodiscard]] std::int32_t WriteFontSize() const { return Font().points; }

    TBiDiMode BiDiMode = TBiDiMode::bdLeftToRight;
    bool ParentBiDiMode = true;
    // Right-to-left alignment mirrors left and right; right-to-left reading flags the text.
    [[nodiscard]] bool UseRightToLeftAlignment() const { return BiDiMode == TBiDiMode::bdRightToLeft; }
    [[nodiscard]] bool UseRightToLeftReading() const { return BiDiMode != TBiDiMode::bdLeftToRight; }

    // The text as set by the program or the form.
    [[nodiscard]] const std::string& Caption() const { return caption_; }
    // The text formatted and printed: the caption, replaced for one print by OnPrint.
    [[nodiscard]] const std::string& TextToPrint() const { return printText_; }
    // The memo text.
    [[nodiscard]] const utility::StringList& Lines() const { return lines_; }
    // Copies `lines`.
    void SetLines(const utility::StringList& lines);
    // The formatted lines, one per printed line.
    [[nodiscard]] const utility::StringList& FormattedLines() const { return formatted_; }
    // Index of the next formatted line to print; kept between the prints of an unfinished control.
    [[nodiscard]] int CurrentLine() const { return currentLine_; }

    TRpLabelOnPrintEvent OnPrint;
    // (Memo) stretch the blanks so that each line fills the width, up to MaxBreakChars blanks.
    bool FullJustify = false;
    std::int32_t MaxBreakChars = 5;

    // True when the text comes from the caption (labels), False when from Lines (memos).
    [[nodiscard]] virtual bool UsesCaption() const { return true; }
    // Rebuilds the formatted lines and, with AutoSize, sizes the control. Nothing without a parent.
    virtual void FormatLines();

    // Renames the control; a caption that is empty or equal to the old name follows the new one.
    void SetName(const std::string& name);

    // The base preparation, then the print text is the caption again, formatted from its first line.
    void Prepare() override;
    // Prints the lines that fit from the current line on (see PrintText).
    void Print(int ofsX, int ofsY) override;
    // The font size read from the form wins over the stored font.
    void Loaded() override;
    // False when the last print put no line on the page.
    [[nodiscard]] bool PutAnythingDown() const override { return putDown_; }

    // Design view: background, marks and frame, and the formatted lines.
    void Paint(output::Canvas& canvas) override;

protected:
    // Caption and print text := `caption`; formats and repaints.
    void SetCaption(const std::string& caption);
    // The print text until the next Prepare or SetCaption (a computed value about to print).
    void SetTextToPrint(std::string text) { printText_ = std::move(text); }
    // Prints the formatted lines from the current line while they fit in the box (x, y, w, h)
    // or, with `autoStretch`, while the band can grow by one line height `lh` (all in tenths of
    // a millimetre). Sets PrintFinished; grows the band through its ExpandBand.
    void PrintText(output::Canvas& canvas, bool autoStretch, long double x, long double y, long double w, long double h,
                   long double lh);
    void ParentChanged() override
    {
        lastBreak_.reset();
        FormatLines();
    }
    void Repaint();

    // Width of `text` as the line breaking measures it, in the control's pixels.
    [[nodiscard]] int MeasureWidth(std::string_view text);
    // The same for a text that grows, the measure of its start kept in `sum`.
    [[nodiscard]] int MeasureWidth(std::string_view text, TRpTextMeasurer::LineSum& sum);
    // Height of one line of the control's font in screen pixels at the control's zoom; the
    // report's measure when the control has one, else the control's own.
    [[nodiscard]] int ScreenLineHeight();

private:
    struct Paragraph;
    struct PrintState;

    // What the text was last broken into lines with. Breaking the same text in the same font,
    // width and zoom on the same measurer gives the same lines, and a control is formatted more
    // than once for each print (its caption set, then its print), so the lines are kept then.
    struct BreakInputs {
        const TRpReportModel* report = nullptr;
        std::uint64_t measurerChanges = 0;
        output::FontSpec font;
        int zoom = 0;
        int width = 0;
        bool autoSize = false;
        bool wordWrap = false;
        bool caption = false;
        std::string text;
        utility::StringList lines;
    };
    [[nodiscard]] bool BreaksAsLastTime() const;
    void KeepBreakInputs();

    void FormatParagraph(std::string_view text);
    void FormatPlain(std::string_view text);
    void FormatWord(Paragraph& paragraph, std::string_view word);
    // Length of the longest start of `word` whose width `fits`.
    template <class Fits>
    std::size_t FittingLength(std::string_view word, Fits fits);
    void SizeToLines();
    [[nodiscard]] int OneLineHeight();
    [[nodiscard]] TRpTextMeasurer& OwnMeasurer();

    void PrintBackground(output::Canvas& canvas, const PrintState& state);
    [[nodiscard]] bool NextLineFits(output::Canvas& canvas, PrintState& state);
    void PrintLine(output::Canvas& canvas, PrintState& state, const std::string& text);
    void PrintJustified(output::Canvas& canvas, PrintState& state, const std::string& text);
    [[nodiscard]] TRpCustomBand* ParentBand() const;

    bool autoSize_ = true;
    bool autoStretch_ = false;
    bool wordWrap_ = true;
    bool transparent_ = false;
    bool parentFont_ = true;
    bool sizing_ = false;
    bool putDown_ = true;
    // The band has grown for this control in the current print.
    bool grown_ = false;
    int currentLine_ = 0;
    std::string caption_;
    std::string printText_;
    utility::StringList lines_;
    utility::StringList formatted_;
    // The current line with the next word, as FormatWord measures it.
    std::string candidate_;
    std::optional<BreakInputs> lastBreak_;
    output::FontSpec font_{.face = "Arial", .points = 10};
    std::unique_ptr<TRpTextMeasurer> ownMeasurer_;
};

class TRpLabel : public TRpCustomLabel {
public:
    using TRpCustomLabel::SetCaption;
    // The label editor, once the editors have registered it.
    [[nodiscard]] TRpEditorFactory GetEditorClass() const override;
};

class TRpMemo : public TRpCustomLabel {
public:
    [[nodiscard]] bool UsesCaption() const override { return false; }
    // Formats, then `newHeight` := the line height times the number of lines, in screen pixels
    // at the control's zoom.
    void GetExpandedHeight(long double& newHeight) override;
    [[nodiscard]] bool CountsForKeepTogether() const override { return true; }
};

}  // namespace report::engine
