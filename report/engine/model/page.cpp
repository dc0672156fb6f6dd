#include "report/engine/model/page.h"

#include "report/engine/model/report_model.h"
#include "report/output/canvas/rounding.h"

#include <utility>

namespace report::engine {
namespace {

bool IsHorizontal(int index) { return index >= TRpPage::kWidth; }

}  // namespace

TRpPage::TRpPage(TRpReportModel* report, bool usMeasure) : TRpUnitBase(usMeasure), Report(report)
{
    ParentReport = report;
    if (usMeasure) {
        Units = TRpUnit::Inches;
        SetPaperSize(output::TRpPaperSize::Letter);
        for (int index : {kTopMargin, kBottomMargin, kRightMargin, kLeftMargin})
            SetValue(index, 0.5L);
    } else {
        Units = TRpUnit::MM;
        SetPaperSize(output::TRpPaperSize::A4);
        for (int index : {kTopMargin, kBottomMargin, kLeftMargin, kRightMargin})
            SetValue(index, 10);
    }
    ruler_ = true;
    columns_ = 1;
    Continuous = false;
}

long double TRpPage::GetValue(int index) const
{
    const int field = index >= kBottomMargin && index <= kRightMargin ? index : kColumnSpace;
    return ToUnits(Units, IsHorizontal(field), values_[static_cast<std::size_t>(field)]);
}

void TRpPage::SetValue(int index, long double value)
{
    if (index < kBottomMargin || index > kColumnSpace)
        return;
    if ((index == kLength || index == kWidth) && paperSize_ != output::TRpPaperSize::Custom)
        return;
    values_[static_cast<std::size_t>(index)] = FromUnits(Units, IsHorizontal(index), value);
    if (index == kBottomMargin || index == kLength || index == kWidth) {
        ApplyToControl();
        LayoutBands();
    } else {
        LayoutBands();
        Repaint();
    }
}

void TRpPage::SetColumns(std::int32_t columns)
{
    if (columns < 1 || columns == columns_)
        return;
    columns_ = columns;
    LayoutBands();
    Repaint();
}

void TRpPage::SetOrientation(TPrinterOrientation orientation)
{
    if (paperSize_ == output::TRpPaperSize::Custom && orientation != orientation_) {
        std::swap(values_[kWidth], values_[kLength]);
        ApplyToControl();
    }
    orientation_ = orientation;
    if (Report != nullptr)
        Report->PrinterSettings.Orientation = orientation;
    SetPaperSize(paperSize_);
}

void TRpPage::SetPaperSize(output::TRpPaperSize paperSize)
{
    if (paperSize != output::TRpPaperSize::Default && paperSize != output::TRpPaperSize::Custom) {
        BeginPixels();
        Units = TRpUnit::MM;
        paperSize_ = output::TRpPaperSize::Custom;
        output::PaperDimensions paper = output::PaperDimensionsOf(paperSize);
        if (orientation_ == TPrinterOrientation::poLandscape)
            std::swap(paper.widthMm, paper.heightMm);
        SetValue(kWidth, paper.widthMm);
        SetValue(kLength, paper.heightMm);
        EndPixels();
        LayoutBands();
    }
    paperSize_ = paperSize;
}

void TRpPage::SetRuler(bool ruler)
{
    if (ruler == ruler_ || Report == nullptr)
        return;
    ruler_ = ruler;
    Repaint();
    Report->SetUnits(Units);
}

void TRpPage::SetUnits(TRpUnit unit)
{
    Units = unit;
    Repaint();
}

void TRpPage::ApplyToControl()
{
    if (Updating || Report == nullptr)
        return;
    Updating = true;
    Report->PixelSize = QSize(output::RoundHalfEvenInt(ToUnits(TRpUnit::Pixels, true, values_[kWidth])),
                              output::RoundHalfEvenInt(ToUnits(TRpUnit::Pixels, false, values_[kLength])));
    Updating = false;
}

void TRpPage::LayoutBands()
{
    if (Report != nullptr)
        Report->LayoutBands();
}

void TRpPage::Repaint()
{
    if (Report != nullptr)
        Report->Repaint();
}

}  // namespace report::engine
