// The printout of the card in memory: its text lists, the events that feed the report, and the
// print road's entry.
#include "app/tc_druk.h"

#include "app/maker.h"
#include "app/startup.h"
#include "tacho/activity_list.h"
#include "tacho/activity_ring.h"
#include "tacho/decoders.h"
#include "tacho/list_lines.h"
#include "tacho/vehicles_places.h"
#include "utility/cp1250.h"
#include "utility/datetime.h"
#include "utility/dialogi.h"
#include "utility/formatsettings.h"
#include "utility/stringi.h"
#include "utility/win_ext.h"

#include <QApplication>

#include <algorithm>
#include <array>
#include <cmath>
#include <limits>
#include <string_view>

namespace app {
namespace {

using report::engine::TCustomRpReport;
using report::engine::TRpCustomBand;
using report::engine::TRpCustomLabel;

// The most characters of a row's text and of its keyword that count.
constexpr std::size_t kMaxRowText = 255;
// The progress window moves every this many rows.
constexpr int kProgressRows = 20;

// Row icons by the keyword after the row's last "/": the first rule whose text the keyword
// contains wins.
struct IconRule {
    std::string_view keyword;
    QImage Tf_tcDruk::*icon;
};
constexpr std::array<IconRule, 7> kIconRules{{
    {"prac", &Tf_tcDruk::Image4},
    {"odpo", &Tf_tcDruk::Image2},
    {"dysp", &Tf_tcDruk::Image1},
    {"prowadzenie", &Tf_tcDruk::Image3},
    {"nieistot", &Tf_tcDruk::Image5},
    {"wyj", &Tf_tcDruk::Image6},
    {"przyj", &Tf_tcDruk::Image7},
}};
constexpr std::string_view kUnweighedKeyword = "nieistot";

// The row text with its icon (left 25, width 310 pixels) or, without one, over the icon's
// place (left 10, width 345 pixels); pixels of the 96-dpi design device.
constexpr int kTextLeftBesideIcon = 25;
constexpr int kTextWidthBesideIcon = 310;
constexpr int kTextLeftAlone = 10;
constexpr int kTextWidthAlone = 345;

void LetMessagesRun() { QApplication::processEvents(); }

double Today() { return std::floor(utility::Now()); }

std::string YmdOfTimeReal(const tacho::CardImageData& card, std::size_t offset)
{
    return utility::DateToYMDText(tacho::TimeRealToDate(tacho::ImageField(card, offset, 4)));
}

void MoveRowText(report::engine::TRpLabel& label, int left, int width)
{
    const QRect& bounds = label.Bounds();
    label.SetBounds(left, bounds.top(), width, bounds.height());
}

}  // namespace

Tf_tcDruk::Tf_tcDruk(const tacho::CardImageData& card)
    : RpReport1([] { return report::output::TRpPaperSize::A4; }, false), card_(card)
{
    BuildReport();
    BindEvents();
    FormCreate();
}

Tf_tcDruk::~Tf_tcDruk() { FormDestroy(); }

void Tf_tcDruk::BindEvents()
{
    RpReport1.BeforePrint = std::bind_front(&Tf_tcDruk::RpReport1BeforePrint, this);
    RpReport1.OnNeedData = std::bind_front(&Tf_tcDruk::RpReport1NeedData, this);
    // The recording is done (or the run ended early): the progress window has had its use.
    RpReport1.AfterPreview = [this](TCustomRpReport&) { utility::ProgressClose(progress_); };
    DetailBand1->BeforePrint = std::bind_front(&Tf_tcDruk::DetailBand1BeforePrint, this);
    SummaryBand1->BeforePrint = std::bind_front(&Tf_tcDruk::SummaryBand1BeforePrint, this);
    ChildBand4->BeforePrint = std::bind_front(&Tf_tcDruk::ChildBand4BeforePrint, this);
    RpLabel1->OnPrint = std::bind_front(&Tf_tcDruk::RpLabel1Print, this);
    RpLabel2->OnPrint = std::bind_front(&Tf_tcDruk::RpLabel2Print, this);
    RpLabel3->OnPrint = std::bind_front(&Tf_tcDruk::RpLabel3Print, this);
    RpLabel4->OnPrint = std::bind_front(&Tf_tcDruk::RpLabel4Print, this);
    RpLabel5->OnPrint = std::bind_front(&Tf_tcDruk::RpLabel5Print, this);
    RpLabel8->OnPrint = std::bind_front(&Tf_tcDruk::RpLabel7Print, this);
}

void Tf_tcDruk::FormCreate()
{
    DateFrom = Today();
    DateTo = DateFrom;
    {
        // The hourglass goes whatever the list builder does.
        const auto hourglass = utility::HourglassScope();
        LetMessagesRun();
        tacho::BuildDailyActivityList(card_, DateFrom, DateTo, ActivityLines, DayValues);
    }
    utility::ProgressOpen(0, static_cast<int>(ActivityLines.size()),
                          utility::Pl("Podgląd pliku zawierającego dane z karty kierowcy"), "", progress_);
    LetMessagesRun();
    tacho::BuildVehiclesList(card_, VehicleLines, VehicleActivityLines, DayValues);
    LetMessagesRun();
    ActivityLines.insert(ActivityLines.end(), VehicleActivityLines.begin(), VehicleActivityLines.end());
    LetMessagesRun();
    // By key only, and stably: two changes in one minute keep the card's order.
    tacho::SortLinesByKey(ActivityLines);
    LetMessagesRun();
    tacho::BuildPlacesList(card_, PlaceLines);
    LetMessagesRun();
    // Every run prints each row once: its progress is the rows printed of these.
    RpReport1.NeedDataRows = static_cast<std::int32_t>(
        std::min<std::size_t>(ActivityLines.size(), std::numeric_limits<std::int32_t>::max()));
}

void Tf_tcDruk::FormDestroy()
{
    utility::ProgressClose(progress_);
    ActivityLines.clear();
    DayValues.clear();
    PlaceLines.clear();
    VehicleLines.clear();
    VehicleActivityLines.clear();
}

void Tf_tcDruk::RpReport1BeforePrint(TCustomRpReport& /*sender*/, bool& /*printReport*/)
{
    RowIndex = -1;
    utility::SetClipboardText(RpReport1.ReportTitle);
}

void Tf_tcDruk::RpReport1NeedData(report::engine::TRpBasePanel& /*sender*/, bool& moreData)
{
    ++RowIndex;
    moreData = RowIndex < static_cast<int>(ActivityLines.size());
    if (!moreData)
        utility::ProgressClose(progress_);
    else if (RowIndex % kProgressRows == 0)
        utility::ProgressStep(RowIndex, "", progress_.get());
}

void Tf_tcDruk::DetailBand1BeforePrint(TRpCustomBand& /*sender*/, bool& printBand)
{
    if (!printBand)
        return;
    std::string_view text;
    if (RowIndex >= 0 && RowIndex < static_cast<int>(ActivityLines.size()))
        text = ActivityLines[static_cast<std::size_t>(RowIndex)];
    if (const std::size_t hash = text.find('#'); hash != std::string_view::npos)
        text.remove_prefix(hash + 1);
    text = text.substr(0, kMaxRowText);
    // 1-based; 0 when the text has no "/": then the keyword is the whole text.
    const auto slash = static_cast<std::size_t>(utility::LastPos("/", text));
    std::string caption(text.substr(0, slash == 0 ? 0 : slash - 1));
    const std::string_view keyword = text.substr(slash, kMaxRowText);

    MoveRowText(*RpLabel6n, kTextLeftBesideIcon, kTextWidthBesideIcon);
    RpImage1->SetEnabled(true);
    const IconRule* match = nullptr;
    for (const IconRule& rule : kIconRules) {
        if (keyword.find(rule.keyword) != std::string_view::npos) {
            match = &rule;
            break;
        }
    }
    if (match != nullptr) {
        RpImage1->SetPicture(this->*(match->icon));
        if (match->keyword == kUnweighedKeyword)
            caption = text;
    } else {
        caption = text;
        RpImage1->SetPicture(Image5);
        RpImage1->SetEnabled(false);
        MoveRowText(*RpLabel6n, kTextLeftAlone, kTextWidthAlone);
    }
    RpLabel6n->SetCaption(caption);
}

void Tf_tcDruk::SummaryBand1BeforePrint(TRpCustomBand& /*sender*/, bool& /*printBand*/)
{
    RpMemo2->SetLines(PlaceLines);
}

void Tf_tcDruk::ChildBand1BeforePrint(TRpCustomBand& /*sender*/, bool& /*printBand*/) {}

void Tf_tcDruk::ChildBand4BeforePrint(TRpCustomBand& /*sender*/, bool& /*printBand*/)
{
    RpMemo1->SetLines(VehicleLines);
}

void Tf_tcDruk::RpLabel1Print(TRpCustomLabel& /*sender*/, std::string& value)
{
    namespace field = tacho::field;
    value = "Dane z karty nr " +
            tacho::FixedText(tacho::ImageField(card_, field::kCardNumber, field::kDriverIdentificationLength));
    // A missing index is left out rather than printed as a NUL character.
    for (const std::size_t index : {field::kCardReplacementIndex, field::kCardRenewalIndex})
        if (card_[index] != 0)
            value += static_cast<char>(card_[index]);
}

void Tf_tcDruk::RpLabel2Print(TRpCustomLabel& /*sender*/, std::string& value)
{
    value = "Kierowca: " + tacho::CardHolderSurname(card_) + " " + tacho::CardHolderFirstNames(card_);
}

void Tf_tcDruk::RpLabel3Print(TRpCustomLabel& /*sender*/, std::string& value)
{
    const auto birth = tacho::ImageField(card_, tacho::field::kCardHolderBirthDate, 4);
    const std::optional<double> birthDate = tacho::DatefToDate({birth[0], birth[1], birth[2], birth[3]});
    value = "PESEL: " + tacho::CardHolderPesel(card_) +
            ", data ur.: " + (birthDate ? utility::DateToYMDText(*birthDate) : std::string()) +
            ", numer prawa jazdy: " + tacho::DrivingLicenceNumber(card_);
}

void Tf_tcDruk::RpLabel4Print(TRpCustomLabel& /*sender*/, std::string& value)
{
    value = "Karta: wydana przez: " + tacho::CardIssuingAuthorityName(card_) + utility::Pl(", ważna od ") +
            YmdOfTimeReal(card_, tacho::field::kCardValidityBegin) + " do " +
            YmdOfTimeReal(card_, tacho::field::kCardExpiryDate);
}

void Tf_tcDruk::RpLabel5Print(TRpCustomLabel& /*sender*/, std::string& value)
{
    const tacho::ActivitySpan span = tacho::GetActivitySpan(card_);
    value = "Z okresu od " + utility::FormatShortDate(span.first) + " do " + utility::FormatShortDate(span.last);
}

void Tf_tcDruk::RpLabel7Print(TRpCustomLabel& /*sender*/, std::string& value)
{
    value = "Program " + utility::Pl(kApplicationTitle) + " prod.: " + kMakerWebSite + " " + kMakerShopWebSite;
}

std::string CardReportTitle(const tacho::CardImageData& card, double dateFrom, double dateTo)
{
    const std::string names =
        tacho::CardHolderSurname(card).substr(0, 13) + " " + tacho::CardHolderFirstNames(card).substr(0, 11);
    return utility::RemoveSpaces(names) + " " + utility::FormatShortDate(dateFrom) + " " +
           utility::FormatShortDate(dateTo);
}

void PreviewCardReport()
{
    Tf_tcDruk form;
    form.RpReport1.ReportTitle = CardReportTitle(tacho::CardImage, form.DateFrom, form.DateTo);
    (void)form.RpReport1.PreviewReport();
}

}  // namespace app
