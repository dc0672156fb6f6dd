#include "tests/report/engine/printing/fake_controls.h"

#include "report/engine/model/band.h"
#include "report/engine/model/report_model.h"
#include "report/engine/printing/paging.h"
#include "report/output/printer/rp_printer.h"

#include <utility>

namespace enginetest {

FakeBox::FakeBox(std::string name, CallLog& log) : log_(log) { Name = std::move(name); }

std::string FakeBox::Where(long double x, long double y) const
{
    const auto* paging = dynamic_cast<const report::engine::TRpPaging*>(ParentReport()->PrintRun());
    if (paging == nullptr)
        return "outside a run";
    return "page " + std::to_string(paging->PageNumber()) + " col " + std::to_string(paging->CurrentColumn()) + " at " +
           std::to_string(static_cast<int>(x)) + ',' + std::to_string(static_cast<int>(y)) + " dev " +
           std::to_string(paging->Printer().DeviceX(x)) + ',' + std::to_string(paging->Printer().DeviceY(y));
}

void FakeBox::Print(int ofsX, int ofsY) { log_.push_back(Name + ":Print " + Where(ofsX, ofsY)); }

FakeLines::FakeLines(std::string name, CallLog& log, int lines, long double lineHeight)
    : FakeBox(std::move(name), log), lines_(lines), lineHeight_(lineHeight)
{}

void FakeLines::Print(int ofsX, int ofsY)
{
    auto* band = dynamic_cast<report::engine::TRpCustomBand*>(Parent());
    log_.push_back(Name + ":Print " + Where(ofsX, ofsY));
    if (PrintFinished)
        next_ = 0;
    const long double y = ofsY + Size.Native(report::engine::TRpPrintableSize::kTop);
    const long double height = Size.Native(report::engine::TRpPrintableSize::kHeight);
    long double bottom = y + height + 1;
    long double curY = y;
    long double extra = 0;
    bool started = false;
    printedLast_ = 0;
    while (next_ < lines_) {
        if (curY + lineHeight_ > bottom) {
            if (band == nullptr || !band->CanExpand(lineHeight_))
                break;
            (void)band->ExpandBand(extra, started, lineHeight_);
            bottom = y + height + 1 + extra;
        }
        ++next_;
        ++printedLast_;
        log_.push_back(Name + ':' + std::to_string(next_) + ' ' +
                       Where(ofsX + Size.Native(report::engine::TRpPrintableSize::kLeft), curY));
        curY += lineHeight_;
    }
    PrintFinished = next_ >= lines_;
}

}  // namespace enginetest
