#include "report/engine/model/base_panel.h"

#include "report/engine/model/report_model.h"
#include "report/output/canvas/rounding.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <stdexcept>
#include <string>

namespace report::engine {
namespace {

// Design pixels per tenth of a millimetre at zoom 100.
constexpr long double kPixelsPerTenth = TRpUnitBase::ScreenDPI / 254.0L;

struct GridSpec {
    long double stepX = 0;   // pixels between vertical lines
    long double stepY = 0;   // pixels between horizontal lines
    int heavyEvery = 0;      // every n-th line heavy; 0: none
    bool light = true;       // light lines drawn at all
    int linesPerNumber = 1;  // heavy lines count up by one unit of the number
};

bool GridFor(TRpUnit units, std::int32_t zoom, std::int32_t fontSize, GridSpec& grid)
{
    const long double perTenth = kPixelsPerTenth * zoom / 100;
    switch (units) {
    case TRpUnit::Inches:
        grid = {63.5L * perTenth, 63.5L * perTenth, 4, zoom > 49, 4};
        return true;
    case TRpUnit::MM:
        grid = {50 * perTenth, 50 * perTenth, 2, zoom > 59, 2};
        return true;
    case TRpUnit::Characters: {
        const long double size = fontSize != 0 ? std::abs(static_cast<long double>(fontSize)) : 10;
        grid = {80 / size / 2.54L * 10 * perTenth, 145.3L / size / 2.54L * 10 * perTenth, 0, true, 1};
        return true;
    }
    case TRpUnit::Pixels:
    case TRpUnit::Native:
        break;
    }
    return false;
}

}  // namespace

TRpBasePanel::TRpBasePanel()
{
    Frame.OnChange = [this] { Repaint(); };
}

TRpBasePanel::~TRpBasePanel() = default;

TRpPrintable& TRpBasePanel::InsertPrintable(std::unique_ptr<TRpPrintable> printable)
{
    if (printable == nullptr)
        throw std::invalid_argument("InsertPrintable: no control");
    TRpPrintable& placed = *printable;
    printables_.push_back(std::move(printable));
    placed.SetParent(this);
    return placed;
}

std::unique_ptr<TRpPrintable> TRpBasePanel::TakePrintable(TRpPrintable& printable)
{
    const auto it = std::ranges::find_if(printables_, [&](const auto& p) { return p.get() == &printable; });
    if (it == printables_.end())
        return nullptr;
    std::unique_ptr<TRpPrintable> taken = std::move(*it);
    printables_.erase(it);
    taken->SetParent(nullptr);
    return taken;
}

void TRpBasePanel::RelinkPrintables()
{
    for (const std::unique_ptr<TRpPrintable>& printable : printables_)
        printable->SetParent(this);
}

void TRpBasePanel::SetZoom(std::int32_t zoom)
{
    if (zoom <= 0)
        return;
    zoom_ = zoom;
}

void TRpBasePanel::SetEnabled(bool enabled)
{
    enabled_ = enabled;
    Repaint();
}

void TRpBasePanel::Paint(output::Canvas& canvas)
{
    canvas.SetBrush(output::Brush{enabled_ ? Color : qRgb(192, 192, 192), output::BrushStyle::Solid});
    canvas.FillRect(ClientRect());
}

void TRpBasePanel::DrawRuler(output::Canvas& canvas, TRpUnit units)
{
    const TRpReportModel* report = PanelReport();
    if (report == nullptr || !report->Page.Ruler())
        return;
    canvas.SetFont(report->DesignScheme.rulerFont);
    DrawGrid(canvas, units, false);
}

void TRpBasePanel::DrawGrid(output::Canvas& canvas, TRpUnit units, bool numbered) const
{
    GridSpec grid;
    const TRpReportModel* report = PanelReport();
    if (report == nullptr || !GridFor(units, zoom_, RulerFontSize, grid))
        return;
    const TRpDesignScheme& scheme = report->DesignScheme;
    const output::Pen light{scheme.lightGridColor, scheme.lightGridStyle, 1};
    const output::Pen heavy{scheme.heavyGridColor, scheme.heavyGridStyle, 1};
    canvas.SetBackground(output::Background{.opaque = false});
    const QRect area = ClientRect();
    // One pass for the vertical lines, one for the horizontal ones. Lines that would lie
    // closer than a pixel apart are not drawn at all: they would only paint the area over.
    for (const bool vertical : {true, false}) {
        const long double step = vertical ? grid.stepX : grid.stepY;
        const int extent = vertical ? area.width() : area.height();
        const long long stride = grid.light || grid.heavyEvery == 0 ? 1 : grid.heavyEvery;
        if (!(step * static_cast<long double>(stride) >= 1))
            continue;
        for (long long k = stride;; k += stride) {
            const int at = output::RoundHalfEvenInt(step * static_cast<long double>(k));
            if (at >= extent)
                break;
            const bool isHeavy = grid.heavyEvery > 0 && k % grid.heavyEvery == 0;
            canvas.SetPen(isHeavy ? heavy : light);
            if (vertical) {
                canvas.Line(at, 0, at, area.height());
            } else {
                canvas.Line(0, at, area.width(), at);
            }
            if (numbered && isHeavy) {
                const std::string number = std::to_string(k / grid.linesPerNumber);
                if (vertical) {
                    canvas.TextOut(at + 1, 1, number);
                } else {
                    canvas.TextOut(1, at + 1, number);
                }
            }
        }
    }
}

}  // namespace report::engine
