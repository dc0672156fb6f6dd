#include "report/engine/model/band.h"

#include "report/engine/model/print_run.h"
#include "report/engine/model/report_model.h"
#include "report/output/canvas/rounding.h"

#include <algorithm>
#include <array>
#include <cstdlib>
#include <memory>

namespace report::engine {
namespace {

constexpr std::array<std::string_view, kBandTypeCount> kCaptions{
    "Title",        "Page Header", "Detail",        "Page Footer", "Summary", "Group Header",
    "Group Footer", "Sub Detail",  "Column Header", "Overlay",     "Wild",    "Child"};
constexpr std::array<std::string_view, kBandTypeCount> kNamePrefixes{
    "TitleBand",       "PageHeaderBand", "DetailBand",       "PageFooterBand", "SummaryBand", "GroupHeaderBand",
    "GroupFooterBand", "SubDetailBand",  "ColumnHeaderBand", "OverlayBand",    "WildBand",    "ChildBand"};

// Design pixels per tenth of a millimetre: the design view draws frames at the screen's scale.
constexpr long double kScreenFactor = TRpUnitBase::ScreenDPI / 254.0L;
// Screen pixels per tenth of a millimetre, as the keep-together height takes them.
constexpr long double kPixelsPerTenth = 0.377952755905512L;

std::size_t TypeIndex(TRpBandType type)
{
    return std::min<std::size_t>(static_cast<std::size_t>(type), kBandTypeCount - 1);
}

TRpCustomBand* NextLink(const TRpCustomBand& band) { return band.LinkBand(); }
TRpCustomBand* NextParent(const TRpCustomBand& band) { return band.ParentBand(); }

// Clears a flag however the scope is left.
struct FlagScope {
    explicit FlagScope(bool& flag) : flag_(flag) { flag_ = true; }
    ~FlagScope() { flag_ = false; }
    FlagScope(const FlagScope&) = delete;
    FlagScope& operator=(const FlagScope&) = delete;
    bool& flag_;
};

}  // namespace

std::string_view BandTypeCaption(TRpBandType type) { return kCaptions[TypeIndex(type)]; }

std::string_view BandTypeNamePrefix(TRpBandType type) { return kNamePrefixes[TypeIndex(type)]; }

TRpCustomBand::BandSize::BandSize(TRpCustomBand& band) : band_(band) {}

void TRpCustomBand::BandSize::ApplyToControl()
{
    if (Updating)
        return;
    const FlagScope applying(Updating);
    const QRect& at = band_.bounds_;
    band_.SetBounds(at.left(), at.top(), output::RoundHalfEvenInt(ToUnits(TRpUnit::Pixels, true, Width)),
                    output::RoundHalfEvenInt(ToUnits(TRpUnit::Pixels, false, Height)));
}

TRpCustomBand::TRpCustomBand(TRpBandType type) : Size(*this), bandType_(type) { Size.ApplyToControl(); }

TRpCustomBand::~TRpCustomBand()
{
    destroying_ = true;
    if (link_ != nullptr)
        link_->RemoveReferrer(*this);
    ReleaseReferrers();
}

const output::FontSpec& TRpCustomBand::Font() const
{
    return parentFont_ && report_ != nullptr ? report_->Font : font_;
}

void TRpCustomBand::SetFont(const output::FontSpec& font)
{
    font_ = font;
    parentFont_ = false;
}

TRpCustomBand* TRpCustomBand::ChildBand() const
{
    if (report_ == nullptr)
        return nullptr;
    for (TRpCustomBand* band : report_->BandList()) {
        if (band->BandType() == TRpBandType::rbChild && band->ParentBand() == this)
            return band;
    }
    return nullptr;
}

void TRpCustomBand::SetHasChild(bool hasChild)
{
    TRpCustomBand* child = ChildBand();
    if (hasChild) {
        if (child != nullptr || report_ == nullptr)
            return;
        auto made = std::make_unique<TRpChildBand>();
        (void)made->SetParentBand(this);
        report_->InsertBand(std::move(made));
        return;
    }
    if (child == nullptr)
        return;
    // The child's own child takes the child's place in the chain.
    if (auto* grandchild = dynamic_cast<TRpChildBand*>(child->ChildBand()))
        (void)grandchild->SetParentBand(this);
    report_->FreeBand(*child);
}

bool TRpCustomBand::ChainReaches(const TRpCustomBand* start, TRpCustomBand* (*next)(const TRpCustomBand&)) const
{
    std::vector<const TRpCustomBand*> seen;
    for (const TRpCustomBand* band = start; band != nullptr; band = next(*band)) {
        if (band == this)
            return true;
        // Chains are refused before they close, so this only guards against a loop elsewhere.
        if (std::ranges::find(seen, band) != seen.end())
            return false;
        seen.push_back(band);
    }
    return false;
}

bool TRpCustomBand::SetLinkBand(TRpCustomBand* band)
{
    if (band != nullptr && ChainReaches(band, NextLink))
        return false;
    if (link_ != nullptr)
        link_->RemoveReferrer(*this);
    link_ = band;
    if (link_ != nullptr)
        link_->AddReferrer(*this);
    return true;
}

void TRpCustomBand::RemoveReferrer(TRpCustomBand& from)
{
    const auto it = std::ranges::find(referrers_, &from);
    if (it != referrers_.end())
        referrers_.erase(it);
}

void TRpCustomBand::ReleaseReferrers()
{
    const std::vector<TRpCustomBand*> referrers = std::move(referrers_);
    referrers_.clear();
    for (TRpCustomBand* band : referrers)
        band->Notification(*this);
}

void TRpCustomBand::Notification(TRpCustomBand& removed)
{
    if (link_ == &removed)
        link_ = nullptr;
}

void TRpCustomBand::SetBounds(int left, int top, int width, int height)
{
    if (report_ != nullptr && report_->IsLoading())
        return;
    if (Size.Updating || LayingOut) {
        bounds_ = QRect(left, top, width, height);
        if (!LayingOut && report_ != nullptr)
            report_->LayoutBands();
        for (const std::unique_ptr<TRpPrintable>& printable : Printables()) {
            if (printable->AlignToBand())
                printable->Notify(this, kNotifyBandResized);
        }
        return;
    }
    // Resized from elsewhere: the new height becomes the band's size, the position stays.
    // (Converted here rather than through BeginPixels: this may run inside another holder's
    // BeginPixels, whose saved unit must survive.)
    if (height != bounds_.height()) {
        Size.Height = Size.FromUnits(TRpUnit::Pixels, false, height);
        Size.ApplyToControl();
    }
    if (report_ != nullptr) {
        report_->PageImage = QImage();
        report_->Repaint();
    }
}

void TRpCustomBand::SetZoom(std::int32_t zoom)
{
    if (zoom <= 0)
        return;
    TRpBasePanel::SetZoom(zoom);
    Size.Zoom = zoom;
    Size.ApplyToControl();
    for (const std::unique_ptr<TRpPrintable>& printable : Printables())
        printable->SetZoom(zoom);
}

void TRpCustomBand::SetUnits(TRpUnit units)
{
    Size.SetUnits(units);
    Repaint();
    for (const std::unique_ptr<TRpPrintable>& printable : Printables())
        printable->Size.SetUnits(units);
}

void TRpCustomBand::Loaded()
{
    Size.ApplyToControl();
    for (const std::unique_ptr<TRpPrintable>& printable : Printables())
        printable->Loaded();
}

void TRpCustomBand::SetParentReport(TRpReportModel* report)
{
    const bool changed = report != report_;
    report_ = report;
    Frame.ParentReport = report;
    // Controls placed while the band had no report (or another) now belong to this one.
    if (changed)
        RelinkPrintables();
}

void TRpCustomBand::SetParent(TRpReportModel* report)
{
    if (report_ != nullptr && report_ != report)
        report_->RemoveBand(*this);
    SetParentReport(report);
    Size.ParentReport = report;
    if (report == nullptr)
        return;
    SetZoom(report->Zoom());
    report->AddBand(*this);
}

void TRpCustomBand::Repaint()
{
    if (report_ != nullptr)
        report_->Repaint();
}

void TRpCustomBand::DrawRuler(output::Canvas& canvas, TRpUnit units)
{
    if (report_ != nullptr)
        RulerFontSize = std::abs(report_->Font.points);
    TRpBasePanel::DrawRuler(canvas, units);
}

void TRpCustomBand::Paint(output::Canvas& canvas)
{
    TRpBasePanel::Paint(canvas);
    const TRpDesignScheme scheme = report_ != nullptr ? report_->DesignScheme : HighColorDesignScheme();
    if (report_ != nullptr)
        DrawRuler(canvas, report_->GetUnits());
    const QRect area = ClientRect();
    canvas.SetPen(output::Pen{scheme.outlineColor, scheme.outlineStyle, 1});
    canvas.SetBrush(output::Brush{scheme.outlineColor, output::BrushStyle::Clear});
    canvas.Rectangle(area);
    // A copy without the report: the design view never reaches an export filter.
    TRpFrame view = Frame;
    view.ParentReport = nullptr;
    view.OnChange = nullptr;
    view.PaintFrame(canvas, area, kScreenFactor, kScreenFactor);
    canvas.SetFont(scheme.rulerFont);
    canvas.SetTextAlign(output::TextAlign{});
    canvas.SetBackground(output::Background{.opaque = false});
    const int textHeight = canvas.TextHeight("W");
    canvas.TextOut(0, area.height() - textHeight - 4, Caption());
}

long double TRpCustomBand::LinkedHeight(bool includeLinks) const
{
    long double height = Size.Height;
    if (!includeLinks)
        return height;
    for (const TRpCustomBand* band = link_; band != nullptr && band != this; band = band->link_)
        height += band->Size.Height;
    return height;
}

bool TRpCustomBand::CanExpand(long double extra) const
{
    if (report_ == nullptr)
        return false;
    const TRpPrintRun* run = report_->PrintRun();
    return output::RoundHalfEvenInt(Size.Height + expanded_ + extra) <= (run != nullptr ? run->AvailableSpace() : 0);
}

bool TRpCustomBand::ExpandBand(long double& newExpanded, bool& started, long double extra)
{
    if (!CanExpand(extra))
        return false;
    if (!started && extra < expanded_) {
        newExpanded = expanded_;
        started = true;
        return true;
    }
    expanded_ += extra;
    newExpanded = expanded_;
    started = true;
    return false;
}

void TRpCustomBand::KeepTogether(long double& height)
{
    calculatedHeight_ = Size.Height;
    long double extra = 0;
    for (const auto& control : Printables()) {
        if (!control->CountsForKeepTogether() || !control->Enabled())
            continue;
        long double needed = control->Bounds().height();
        control->GetExpandedHeight(needed);
        const long double bottom = (control->Bounds().top() + needed) / kPixelsPerTenth;
        if (bottom > calculatedHeight_) {
            calculatedHeight_ = bottom;
            extra = (bounds_.height() - control->Bounds().top() - control->Bounds().height() + 1) / kPixelsPerTenth;
        }
    }
    height = calculatedHeight_ + std::max<long double>(extra, 0);
}

void TRpBand::SetBandType(TRpBandType type)
{
    StoreBandType(type);
    if (TRpReportModel* report = ParentReport(); report != nullptr) {
        report->RebuildBandList();
        report->LayoutBands();
    }
}

TRpChildBand::~TRpChildBand()
{
    if (parent_ != nullptr)
        parent_->RemoveReferrer(*this);
}

bool TRpChildBand::SetParentBand(TRpCustomBand* band)
{
    if (band != nullptr && ChainReaches(band, NextParent))
        return false;
    if (parent_ != nullptr)
        parent_->RemoveReferrer(*this);
    parent_ = band;
    if (parent_ != nullptr)
        parent_->AddReferrer(*this);
    if (TRpReportModel* report = ParentReport(); report != nullptr && !report->IsDestroying()) {
        report->RebuildBandList();
        report->LayoutBands();
    }
    return true;
}

void TRpChildBand::Notification(TRpCustomBand& removed)
{
    TRpCustomBand::Notification(removed);
    if (parent_ == &removed)
        parent_ = nullptr;
}

}  // namespace report::engine
