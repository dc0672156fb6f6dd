// The report's bands: ownership, the band list in print order and the layout of the design page.
#include "report/engine/model/report_model.h"
#include "report/output/canvas/rounding.h"

#include <algorithm>
#include <cmath>
#include <stdexcept>

namespace report::engine {
namespace {

bool Contains(const std::vector<TRpCustomBand*>& list, const TRpCustomBand* band)
{
    return std::ranges::find(list, band) != list.end();
}

// A child band is as wide as the first band up its ParentBand chain that is no child band;
// one without such a band (its parent was freed) is as wide as a column.
bool IsFullWidth(const TRpCustomBand& band)
{
    const TRpCustomBand* owner = &band;
    std::vector<const TRpCustomBand*> seen;
    while (owner != nullptr && owner->BandType() == TRpBandType::rbChild) {
        if (std::ranges::find(seen, owner) != seen.end())
            return false;
        seen.push_back(owner);
        owner = owner->ParentBand();
    }
    if (owner == nullptr)
        return false;
    switch (owner->BandType()) {
    case TRpBandType::rbTitle:
    case TRpBandType::rbPageHeader:
    case TRpBandType::rbPageFooter:
    case TRpBandType::rbSummary:
    case TRpBandType::rbOverlay:
        return true;
    default:
        return false;
    }
}

}  // namespace

TRpCustomBand& TRpReportModel::InsertBand(std::unique_ptr<TRpCustomBand> band)
{
    if (band == nullptr)
        throw std::invalid_argument("InsertBand: no band");
    TRpCustomBand& placed = *band;
    ownedBands_.push_back(std::move(band));
    placed.SetParent(this);
    return placed;
}

std::unique_ptr<TRpCustomBand> TRpReportModel::TakeBand(TRpCustomBand& band)
{
    const auto owns = [&band](const std::unique_ptr<TRpCustomBand>& p) { return p.get() == &band; };
    if (std::ranges::find_if(ownedBands_, owns) == ownedBands_.end())
        return nullptr;
    band.ReleaseReferrers();
    // Controllers and bands of any level may name it (masters, group footers, sub-detail bands).
    controller_->Notification(band);
    for (TRpCustomController* controller : controllers_)
        controller->Notification(band);
    for (const std::unique_ptr<TRpCustomBand>& other : ownedBands_) {
        if (other.get() != &band)
            other->Notification(band);
    }
    // Out of the owned bands before the band list is rebuilt, so no level collects it again.
    const auto it = std::ranges::find_if(ownedBands_, owns);
    std::unique_ptr<TRpCustomBand> taken = std::move(*it);
    ownedBands_.erase(it);
    band.SetParent(nullptr);
    return taken;
}

void TRpReportModel::FreeBand(TRpCustomBand& band)
{
    const auto owns = [&band](const std::unique_ptr<TRpCustomBand>& p) { return p.get() == &band; };
    if (std::ranges::find_if(ownedBands_, owns) == ownedBands_.end())
        return;
    band.destroying_ = true;
    (void)TakeBand(band);
}

void TRpReportModel::AddBand(TRpCustomBand& band)
{
    if (band.ParentReport() != this || Contains(bandList_, &band))
        return;
    bandList_.push_back(&band);
    RebuildBandList();
    LayoutBands();
}

void TRpReportModel::RemoveBand(TRpCustomBand& band)
{
    if (destroying_)
        return;
    const auto it = std::ranges::find(bandList_, &band);
    if (it == bandList_.end())
        return;
    bandList_.erase(it);
    RebuildBandList();
    LayoutBands();
}

void TRpReportModel::RebuildBandList()
{
    if (IsLoading() || destroying_)
        return;
    WireBands();
    controller_->Collect();
    std::vector<TRpCustomBand*> list;
    list.reserve(bandList_.size());
    const auto addType = [this, &list](TRpBandType type) {
        for (TRpCustomBand* band : bandList_) {
            if (band->BandType() == type)
                AddBandAndChildren(band, list);
        }
    };
    addType(TRpBandType::rbPageHeader);
    addType(TRpBandType::rbTitle);
    addType(TRpBandType::rbColumnHeader);
    controller_->AddBands(list);
    addType(TRpBandType::rbPageFooter);
    for (TRpCustomBand* band : bandList_)
        AddBandAndChildren(band, list);
    bandList_ = std::move(list);
}

void TRpReportModel::AddBandAndChildren(TRpCustomBand* band, std::vector<TRpCustomBand*>& list) const
{
    if (band == nullptr || band->Destroying() || Contains(list, band))
        return;
    list.push_back(band);
    for (TRpCustomBand* child = band->ChildBand(); child != nullptr; child = child->ChildBand()) {
        if (child->Destroying() || Contains(list, child))
            break;
        list.push_back(child);
    }
}

void TRpReportModel::LayoutBands()
{
    if (IsLoading() || destroying_)
        return;
    const std::vector<long double> page = Page.WriteValues();
    const auto pixels = [this](long double tenths) { return Page.ToUnits(TRpUnit::Pixels, true, tenths); };
    const long double left = pixels(page[4]);
    const long double right = pixels(page[5]);
    const long double space = pixels(page[6]);
    const int columns = Page.Columns();
    // Whole pixels: the page between the margins, and a column of it.
    const int fullWidth = std::max(0, output::RoundHalfEvenInt(PixelSize.width() - left - right));
    const long double columnRoom = fullWidth - space * (columns - 1);
    const int columnWidth = columnRoom > 0 ? static_cast<int>(std::trunc(columnRoom / columns)) : 0;
    const int x = output::RoundHalfEvenInt(left);
    long double y = Page.ToUnits(TRpUnit::Pixels, false, page[2]);
    const std::vector<TRpCustomBand*> bands = bandList_;
    for (TRpCustomBand* band : bands) {
        band->LayingOut = true;
        band->SetBounds(x, output::RoundHalfEvenInt(y), band->Bounds().width(), band->Bounds().height());
        y += band->Bounds().height();
        const int width = IsFullWidth(*band) ? fullWidth : columnWidth;
        band->Size.Width = band->Size.FromUnits(TRpUnit::Pixels, true, width);
        band->Size.ApplyToControl();
        band->LayingOut = false;
    }
}

void TRpReportModel::Loaded()
{
    loading_ = false;
    for (const std::unique_ptr<TRpCustomBand>& band : ownedBands_)
        band->Loaded();
    for (const std::unique_ptr<TRpPrintable>& printable : Printables())
        printable->Loaded();
    RebuildBandList();
    LayoutBands();
}

std::vector<std::string> TRpReportModel::ComponentNames() const
{
    std::vector<std::string> names;
    for (const std::unique_ptr<TRpCustomBand>& band : ownedBands_) {
        names.push_back(band->Name);
        for (const std::unique_ptr<TRpPrintable>& printable : band->Printables())
            names.push_back(printable->Name);
    }
    for (const std::unique_ptr<TRpPrintable>& printable : Printables())
        names.push_back(printable->Name);
    return names;
}

}  // namespace report::engine
