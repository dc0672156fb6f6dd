// What the text controls' tests share: a run whose room on the page the test sets, a report
// whose line breaking measures 5 pixels per byte, and an export filter that keeps the text it
// gets.
#pragma once

#include "report/engine/controls/label.h"
#include "report/engine/model/text_measure.h"
#include "report/engine/run/report.h"
#include "tests/report/engine/model/printable_fixture.h"

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace enginetest {

// A report with the print layout's page that measures 5 pixels per byte.
class ScriptedReport : public report::engine::TRpReport {
public:
    ScriptedReport();
};

// 5 pixels per byte (so the report's TextWidth is 5n + 1) and 11 pixels a line.
class FiveByteMeasurer final : public report::engine::TRpTextMeasurer {
public:
    static constexpr int kLineHeight = 11;
    [[nodiscard]] int TextWidth(const report::output::FontSpec&, std::string_view text) override
    {
        return 5 * static_cast<int>(text.size());
    }
    [[nodiscard]] int TextHeight(const report::output::FontSpec&) override { return kLineHeight; }
};

// Keeps every text line and control handed over.
class TextFilter : public RecordingFilter {
public:
    struct Line {
        long double x;
        long double y;
        report::output::FontSpec font;
        QRgb color;
        report::output::HorizontalAlign alignment;
        std::string text;
    };
    void TextOutput(long double x, long double y, const report::output::FontSpec& font, QRgb color,
                    report::output::HorizontalAlign alignment, std::string_view text) override
    {
        lines.push_back({x, y, font, color, alignment, std::string(text)});
    }
    [[nodiscard]] std::vector<std::string> Texts() const;
    std::vector<Line> lines;
};

class LabelTest : public PrintableTest {
protected:
    // The print layout's page on a scripted report with the 5-pixel measurer and one band of
    // `bandHeight` x `bandWidth` tenths of a millimetre (the page footer's width is 734 px);
    // the printer object has page 1 open.
    void StartReport(Device device = Device::Record96, long double bandHeight = 42.3L, long double bandWidth = 1942);
    // The same on `report`.
    void StartReportOn(std::unique_ptr<ScriptedReport> report, Device device = Device::Record96,
                       long double bandHeight = 42.3L, long double bandWidth = 1942);
    // The real measuring device instead of the 5-pixel one.
    void MeasureForReal();
    // The run has `space` tenths of a millimetre left below the current position.
    void SetSpace(std::int32_t space) { run_->space = space; }
    // The band has grown by `expanded` while its controls print.
    void SetExpanded(long double expanded) { run_->SetExpanded(*band_, expanded); }

    // A control of class T on the band at pixel bounds (left, top, width, height), AutoSize off.
    template <class T = report::engine::TRpLabel>
    T& Place(int left, int top, int width, int height)
    {
        T& control = band_->NewPrintable<T>();
        control.SetAutoSize(false);
        control.SetBounds(left, top, width, height);
        return control;
    }
    // A control of class T on the band at (Height, Left, Top, Width) in tenths, AutoSize off, 7 pt.
    template <class T = report::engine::TRpLabel>
    T& PlaceAt(const std::vector<long double>& values)
    {
        T& control = band_->NewPrintable<T>();
        control.SetAutoSize(false);
        control.Size.ReadValues(values);
        report::output::FontSpec font = control.Font();
        font.points = 7;
        control.SetFont(font);
        return control;
    }

    // The lines of a label formatted for the first time with caption `text` and the zoom,
    // bounds, font, word wrap and AutoSize of `like`.
    [[nodiscard]] std::vector<std::string> FreshLines(const report::engine::TRpLabel& like, const std::string& text);

    [[nodiscard]] ScriptedReport& Report() { return static_cast<ScriptedReport&>(*report_); }
    // The canvas's line height of the control's font in tenths, as the print takes it.
    [[nodiscard]] long double LineHeight(const report::engine::TRpCustomLabel& control);
};

}  // namespace enginetest
