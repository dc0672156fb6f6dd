#include "tests/report/engine/controls/label_fixture.h"

#include "report/engine/model/band.h"

namespace enginetest {

ScriptedReport::ScriptedReport() : TRpReport([] { return report::output::TRpPaperSize::A4; }, false)
{
    Page.SetUnits(report::engine::TRpUnit::MM);
    Page.SetLeftMargin(10);
    Page.SetRightMargin(6);
    Page.SetTopMargin(10);
    Page.SetBottomMargin(10);
    Page.SetColumns(2);
    Page.SetColumnSpace(0);
    SetMeasurer(std::make_unique<FiveByteMeasurer>());
}

std::vector<std::string> TextFilter::Texts() const
{
    std::vector<std::string> texts;
    for (const Line& line : lines)
        texts.push_back(line.text);
    return texts;
}

void LabelTest::StartReport(Device device, long double bandHeight, long double bandWidth)
{
    StartReportOn(std::make_unique<ScriptedReport>(), device, bandHeight, bandWidth);
}

void LabelTest::StartReportOn(std::unique_ptr<ScriptedReport> report, Device device, long double bandHeight,
                              long double bandWidth)
{
    Start(device);
    ReplaceReport(std::move(report));
    band_ = &report::engine::CreateBand(*report_, report::engine::TRpBandType::rbPageFooter);
    const long double values[] = {bandHeight, bandWidth};
    band_->Size.ReadValues(values);
}

void LabelTest::MeasureForReal() { report_->SetMeasurer(nullptr); }

std::vector<std::string> LabelTest::FreshLines(const report::engine::TRpLabel& like, const std::string& text)
{
    report::engine::TRpLabel& fresh = Place(0, 0, 1, 1);
    fresh.SetZoom(like.Size.Zoom);
    const QRect& b = like.Bounds();
    fresh.SetBounds(b.left(), b.top(), b.width(), b.height());
    fresh.SetFont(like.Font());
    fresh.SetWordWrap(like.WordWrap());
    fresh.SetAutoSize(like.AutoSize());
    fresh.SetCaption(text);
    std::vector<std::string> lines = fresh.FormattedLines();
    band_->FreePrintable(fresh);
    return lines;
}

long double LabelTest::LineHeight(const report::engine::TRpCustomLabel& control)
{
    report::output::Canvas& canvas = *printer_->GetCanvas();
    canvas.SetFont(control.Font());
    return canvas.TextHeight("W") / printer_->YFactor();
}

}  // namespace enginetest
