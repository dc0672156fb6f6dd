// Bands: the horizontal strips a report is stacked from, and the child bands that print before
// or after another band.
#pragma once

#include "report/engine/model/band_size.h"
#include "report/engine/model/base_panel.h"
#include "report/output/canvas/canvas.h"
#include "report/output/export/export_filter.h"

#include <QRect>

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace report::engine {

class TRpReportModel;
class TRpCustomController;
class TRpCustomBand;

// One band type for both halves: export filters are told which band they receive.
using TRpBandType = report::output::TRpBandType;
inline constexpr int kBandTypeCount = 12;

enum class TCBPrintOrder : std::uint8_t { cboAfterParent, cboBeforeParent, cboBeforeAndAfter };

// The design view's caption of a band type ("Title" .. "Child").
[[nodiscard]] std::string_view BandTypeCaption(TRpBandType type);
// The first part of a new band's name ("TitleBand" .. "ChildBand").
[[nodiscard]] std::string_view BandTypeNamePrefix(TRpBandType type);

// `printBand` starts True; setting it False leaves the band out this time.
using TRpBandBeforePrintEvent = std::function<void(TRpCustomBand& sender, bool& printBand)>;
using TRpBandAfterPrintEvent = std::function<void(TRpCustomBand& sender, bool bandPrinted)>;

class TRpCustomBand : public TRpBasePanel {
public:
    // The band's height and width. Writing a value resizes the band, and the report lays its
    // bands out again.
    class BandSize final : public TRpBandSize {
    public:
        explicit BandSize(TRpCustomBand& band);
        void ApplyToControl() override;

    private:
        TRpCustomBand& band_;
    };

    ~TRpCustomBand() override;

    std::string Name;
    TRpBandBeforePrintEvent BeforePrint;
    TRpBandAfterPrintEvent AfterPrint;
    // Printed at the bottom of the page.
    bool AlignToBottom = false;
    // No background fill.
    bool TransparentBand = false;
    bool ForceNewColumn = false;
    bool ForceNewPage = false;
    // The background takes the precalculated height.
    bool PreCaluculateBandHeight = false;
    // A new column when the whole band does not fit.
    bool KeepOnOnePage = false;
    BandSize Size;
    // True while the report's layout moves the band.
    bool LayingOut = false;

    [[nodiscard]] TRpBandType BandType() const { return bandType_; }
    [[nodiscard]] TRpReportModel* ParentReport() const { return report_; }

    // The report's font while ParentFont is set.
    [[nodiscard]] const output::FontSpec& Font() const;
    // Clears ParentFont.
    void SetFont(const output::FontSpec& font);
    [[nodiscard]] bool ParentFont() const { return parentFont_; }
    void SetParentFont(bool parentFont) { parentFont_ = parentFont; }

    // The first band of the report's band list of type rbChild whose ParentBand is this band.
    [[nodiscard]] TRpCustomBand* ChildBand() const;
    [[nodiscard]] bool HasChild() const { return ChildBand() != nullptr; }
    // True makes a child band on the report when there is none (nothing without a report);
    // False frees the child, its own child taking its place.
    void SetHasChild(bool hasChild);

    // The band whose height counts in this band's fit test; not owned.
    [[nodiscard]] TRpCustomBand* LinkBand() const { return link_; }
    // Refused (false, nothing changes) when the LinkBand chain from `band` leads back here.
    bool SetLinkBand(TRpCustomBand* band);

    // The band a child band belongs to; null for every other band.
    [[nodiscard]] virtual TRpCustomBand* ParentBand() const { return nullptr; }
    // A group header whose group is open (header printed, footer not yet): printed again, it
    // asks for no new page.
    [[nodiscard]] virtual bool GroupOpen() const { return false; }

    // The pixel rectangle on the report's design page.
    [[nodiscard]] const QRect& Bounds() const { return bounds_; }
    // Applied as given while the size or the layout moves the band, which then lays the
    // report's bands out again unless it is the layout that moves it. A resize from elsewhere
    // takes only the height, as the new Size.Height, and keeps the band where it is.
    virtual void SetBounds(int left, int top, int width, int height);
    void SetZoom(std::int32_t zoom) override;
    virtual void SetUnits(TRpUnit units);
    // `removed` goes (freed or taken off its report): references to it are cleared.
    virtual void Notification(TRpCustomBand& removed);
    // After construction: the size is applied to the band again.
    virtual void Loaded();

    [[nodiscard]] virtual std::string_view Caption() const { return BandTypeCaption(bandType_); }
    [[nodiscard]] virtual std::string_view NamePrefix() const { return BandTypeNamePrefix(bandType_); }
    virtual void SetParentReport(TRpReportModel* report);
    // A slot for band classes to extend; gives back its argument.
    [[nodiscard]] virtual std::intptr_t Hook(std::intptr_t value) { return value; }

    [[nodiscard]] QRect ClientRect() const override { return QRect(0, 0, bounds_.width(), bounds_.height()); }
    [[nodiscard]] const TRpReportModel* PanelReport() const override { return report_; }
    void Repaint() override;
    void DrawRuler(output::Canvas& canvas, TRpUnit units) override;
    // Design view: background, ruler, outline, frame and the type caption at the lower left.
    void Paint(output::Canvas& canvas) override;

    // True once the report has begun to free the band.
    [[nodiscard]] bool Destroying() const { return destroying_; }

    // ---- Printing in a run ----
    // How far the band has grown below its design height (tenths of a millimetre) while its
    // controls print; set by the run that prints the band and grown by ExpandBand.
    [[nodiscard]] long double Expanded() const { return expanded_; }
    // The controller whose data loop prints the band as its Detail; set by that loop, not owned.
    [[nodiscard]] TRpCustomController* DetailController() const { return detailController_; }
    // The result of the last KeepTogether.
    [[nodiscard]] long double CalculatedHeight() const { return calculatedHeight_; }

    // The precalculated full height of the band: the design height, or what the controls that
    // grow (memos, database pictures) need with the space below the tallest of them.
    void KeepTogether(long double& height);
    // The design height, with `includeLinks` plus the heights along the LinkBand chain.
    [[nodiscard]] long double LinkedHeight(bool includeLinks) const;
    // True when the band, grown by `extra` more, still fits the room the printing run has
    // left (none outside a run).
    [[nodiscard]] bool CanExpand(long double extra) const;
    // Grows the band for a control; true when it was already tall enough. Nothing changes
    // (false) when CanExpand(extra) is false.
    bool ExpandBand(long double& newExpanded, bool& started, long double extra);

protected:
    explicit TRpCustomBand(TRpBandType type);
    void StoreBandType(TRpBandType type) { bandType_ = type; }
    // Whether following `next` from `start` reaches this band.
    [[nodiscard]] bool ChainReaches(const TRpCustomBand* start, TRpCustomBand* (*next)(const TRpCustomBand&)) const;

private:
    friend class TRpReportModel;
    friend class TRpChildBand;
    friend class TRpPrintRun;
    // Keeps `from`'s reference to this band known, so it is cleared when this band goes.
    void AddReferrer(TRpCustomBand& from) { referrers_.push_back(&from); }
    void RemoveReferrer(TRpCustomBand& from);
    // Placing on a report or taking off (null); only the report that owns the band calls it.
    void SetParent(TRpReportModel* report);
    // Tells every band that refers to this one that it goes.
    void ReleaseReferrers();

    TRpBandType bandType_;
    TRpReportModel* report_ = nullptr;
    QRect bounds_;
    TRpCustomBand* link_ = nullptr;
    std::vector<TRpCustomBand*> referrers_;
    output::FontSpec font_{.face = "Arial", .points = 10};
    bool parentFont_ = true;
    bool destroying_ = false;
    long double expanded_ = 0;
    long double calculatedHeight_ = 0;
    TRpCustomController* detailController_ = nullptr;
};

class TRpBand : public TRpCustomBand {
public:
    explicit TRpBand(TRpBandType type = TRpBandType::rbTitle) : TRpCustomBand(type) {}
    // Stored; on a report the band list is rebuilt and laid out.
    void SetBandType(TRpBandType type);
};

class TRpChildBand : public TRpCustomBand {
public:
    TRpChildBand() : TRpCustomBand(TRpBandType::rbChild) {}
    ~TRpChildBand() override;

    TCBPrintOrder PrintOrder = TCBPrintOrder::cboAfterParent;

    [[nodiscard]] TRpCustomBand* ParentBand() const override { return parent_; }
    // Refused (false, nothing changes) when the ParentBand chain from `band` leads back here.
    // Stored also before the band is on a report; on one, the band list is rebuilt and laid out.
    bool SetParentBand(TRpCustomBand* band);
    void Notification(TRpCustomBand& removed) override;

private:
    TRpCustomBand* parent_ = nullptr;
};

}  // namespace report::engine
