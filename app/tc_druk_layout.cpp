// The printout's report: page, bands and controls with their sizes (tenths of a millimetre)
// and fonts.
#include "app/tc_druk.h"
#include "app/tc_druk_icons.h"
#include "utility/cp1250.h"

#include <array>

namespace app {
namespace {

using namespace report::engine;
using report::output::FontSpec;

// Every font of the printout: "Arial" with the east-European character set, which makes the
// PDF writer use code page 1250.
FontSpec Arial(int points, bool bold = false, bool italic = false)
{
    return FontSpec{.face = "Arial", .points = points, .bold = bold, .italic = italic, .charset = 238};
}

struct Box {
    long double left;
    long double top;
    long double width;
    long double height;
};

void Place(TRpPrintable& control, const Box& box)
{
    const std::array<long double, 4> values{box.height, box.left, box.top, box.width};
    control.Size.ReadValues(values);
}

template <class Band>
Band& AddBand(TRpReport& report, const char* name, long double height, long double width,
              TRpCustomBand* parent = nullptr, TRpBandType type = TRpBandType::rbChild)
{
    std::unique_ptr<Band> band;
    if constexpr (std::is_same_v<Band, TRpChildBand>) {
        band = std::make_unique<TRpChildBand>();
        band->SetParentBand(parent);
    } else {
        band = std::make_unique<TRpBand>(type);
    }
    band->Name = name;
    const std::array<long double, 2> size{height, width};
    band->Size.ReadValues(size);
    return static_cast<Band&>(report.InsertBand(std::move(band)));
}

template <class Label>
Label& AddText(TRpCustomBand& band, const char* name, const Box& box, const FontSpec& font)
{
    auto& label = band.NewPrintable<Label>();
    label.SetName(name);
    label.SetFont(font);
    Place(label, box);
    return label;
}

TRpLabel& AddLabel(TRpCustomBand& band, const char* name, const Box& box, const FontSpec& font, const char* utf8Caption)
{
    auto& label = AddText<TRpLabel>(band, name, box, font);
    label.SetCaption(utility::Pl(utf8Caption));
    return label;
}

// A remark under the title: transparent, growing with its text.
TRpLabel& AddRemark(TRpCustomBand& band, const char* name, const Box& box, bool bold, const char* utf8Caption)
{
    auto& label = AddLabel(band, name, box, Arial(7, bold), utf8Caption);
    label.SetTransparent(true);
    label.SetAutoStretch(true);
    return label;
}

// A text of fixed size that breaks into lines and grows the band.
template <class Label>
Label& AddBlock(TRpCustomBand& band, const char* name, const Box& box)
{
    auto& label = AddText<Label>(band, name, box, Arial(7));
    label.SetAutoSize(false);
    label.SetWordWrap(true);
    label.SetAutoStretch(true);
    // Placed again: the empty text sized the control while it still sized itself.
    Place(label, box);
    return label;
}

}  // namespace

void Tf_tcDruk::BuildReport()
{
    TRpReport& r = RpReport1;
    r.Page.SetUnits(TRpUnit::MM);
    r.Page.SetPaperSize(report::output::TRpPaperSize::A4);
    r.Page.SetOrientation(TPrinterOrientation::poPortrait);
    r.Page.SetLeftMargin(10);
    r.Page.SetRightMargin(6);
    r.Page.SetTopMargin(10);
    r.Page.SetBottomMargin(10);
    r.Page.SetColumns(2);
    r.Page.SetColumnSpace(0);
    r.SetZoom(100);
    r.Font = Arial(10);
    r.FirstPageHeader = true;
    r.LastPageFooter = true;
    r.SetPrintIfEmpty(true);
    // The layout's entries besides PAGENUMBER, COLUMNNUMBER and REPORTTITLE.
    r.Functions.AddFunction("RPSTRINGSBAND1", "0");
    r.Functions.AddFunction("RPLOOPBAND1", "0");
    r.PreviewInitialState = report::output::TPreviewWindowState::wsMaximized;
    r.PrevInitialZoom = report::output::TRpZoomState::rpZoomOther;
    r.PreviewDefaultSaveType = report::output::TPrevSaveType::stPDF;

    TitleBand1 = &AddBand<TRpBand>(r, "TitleBand1", 365.1L, 1942, nullptr, TRpBandType::rbTitle);
    ChildBand2 = &AddBand<TRpChildBand>(r, "ChildBand2", 68.8L, 1942, TitleBand1);
    ColumnHeaderBand1 = &AddBand<TRpBand>(r, "ColumnHeaderBand1", 7.9L, 971, nullptr, TRpBandType::rbColumnHeader);
    DetailBand1 = &AddBand<TRpBand>(r, "DetailBand1", 42.3L, 971, nullptr, TRpBandType::rbDetail);
    DetailBand1->SetFont(Arial(7));
    SummaryBand1 = &AddBand<TRpBand>(r, "SummaryBand1", 55.6L, 1942, nullptr, TRpBandType::rbSummary);
    SummaryBand1->ForceNewPage = true;
    ChildBand1 = &AddBand<TRpChildBand>(r, "ChildBand1", 50.3L, 1942, SummaryBand1);
    ChildBand4 = &AddBand<TRpChildBand>(r, "ChildBand4", 55.6L, 1942, ChildBand1);
    ChildBand5 = &AddBand<TRpChildBand>(r, "ChildBand5", 50.3L, 1942, ChildBand4);
    PageFooterBand1 = &AddBand<TRpBand>(r, "PageFooterBand1", 42.3L, 1942, nullptr, TRpBandType::rbPageFooter);
    PageFooterBand1->ForceNewPage = true;
    ChildBand3 = &AddBand<TRpChildBand>(r, "ChildBand3", 15.9L, 1942, PageFooterBand1);

    RpLabel1 = &AddLabel(*TitleBand1, "RpLabel1", {0, 0, 447.1L, 52.9L}, Arial(12, true), "Dane z karty kierowcy");
    RpLabel5 = &AddLabel(*TitleBand1, "RpLabel5", {60.9L, 47.6L, 174.6L, 52.9L}, Arial(11, true), "Z okresu:");
    RpLabel2 = &AddLabel(*TitleBand1, "RpLabel2", {60.9L, 119.1L, 187.9L, 52.9L}, Arial(11, true), "Kierowca:");
    RpLabel3 = &AddLabel(*TitleBand1, "RpLabel3", {248.7L, 169.3L, 174.6L, 52.9L}, Arial(11), "Kierowca:");
    RpLabel4 = &AddLabel(*TitleBand1, "RpLabel4", {60.9L, 222.3L, 113.8L, 50.3L}, Arial(11, true), "Karta:");
    RpLabel9 = &AddRemark(*TitleBand1, "RpLabel9", {10.6L, 267.2L, 76.7L, 34.4L}, false, "Uwagi:");
    RpLabel11 = &AddRemark(*TitleBand1, "RpLabel11", {10.6L, 296.3L, 402.2L, 34.4L}, false,
                           "1. Terminy podane są w czasie UTC");
    RpLabel12 = &AddRemark(*TitleBand1, "RpLabel12", {10.6L, 325.4L, 1812.4L, 37.0L}, true,
                           "2. Wydruk sporządzono z danych zapisanych w karcie kierowcy; "
                           "nie zastępuje on wydruku z tachografu.");
    RpShape1 = &TitleBand1->NewPrintable<TRpShape>();
    RpShape1->Name = "RpShape1";
    RpShape1->SetShape(TRpShapeType::rpsHorLine);
    Place(*RpShape1, {7.9L, 357.2L, 1926.2L, 7.9L});

    RpLabel10 =
        &AddLabel(*ChildBand2, "RpLabel10", {15.9L, 18.5L, 309.6L, 45.0L}, Arial(8, true), "Aktywność kierowcy");

    const std::array<QImage, 7> icons = DrawActivityIcons();
    Image1 = icons[0];
    Image2 = icons[1];
    Image3 = icons[2];
    Image4 = icons[3];
    Image5 = icons[4];
    Image6 = icons[5];
    Image7 = icons[6];
    RpImage1 = &DetailBand1->NewPrintable<TRpImage>();
    RpImage1->Name = "RpImage1";
    Place(*RpImage1, {18.5L, 0, 76.7L, 42.3L});
    RpImage1->SetPicture(Image5);
    RpLabel6n = &AddBlock<TRpLabel>(*DetailBand1, "RpLabel6n", {119.0625L, 0, 817.5625L, 42.3333L});

    RpLabel6 = &AddLabel(*SummaryBand1, "RpLabel6", {15.9L, 7.9L, 113.8L, 45.0L}, Arial(8, true), "Miejsca");
    RpMemo2 = &AddBlock<TRpMemo>(*ChildBand1, "RpMemo2", {5.3L, 0, 955.1L, 45.0L});
    RpLabel7 = &AddLabel(*ChildBand4, "RpLabel7", {15.9L, 7.9L, 251.4L, 45.0L}, Arial(8, true), "Używane pojazdy");
    RpMemo1 = &AddBlock<TRpMemo>(*ChildBand5, "RpMemo1", {5.3L, 0, 955.1L, 45.0L});

    RpLabel8 = &AddLabel(*PageFooterBand1, "RpLabel8", {0, 5.3L, 97.9L, 34.4L}, Arial(7, false, true), "Program ");
    RpLabel8->SetAlignToBand(true);
    RpSysData1 = &AddText<TRpSysData>(*PageFooterBand1, "RpSysData1", {1775.4L, 5.3L, 166.7L, 34.4L}, Arial(7));
    RpSysData1->SetData(rpsPageNumber);
    RpSysData1->SetText("Strona ");
    RpSysData1->SetAlignment(TAlignment::taRightJustify);
    RpSysData1->SetAlignToBand(true);
}

}  // namespace app
