// The printout's form without a report run: its lists, the row rules, the title, the label
// texts, the progress window and the icons.
#include "app/tc_druk.h"

#include "app/startup.h"
#include "app/tc_druk_icons.h"
#include "tacho/list_lines.h"
#include "tests/support/card_builder.h"
#include "tests/support/message_recorder.h"
#include "utility/cp1250.h"
#include "utility/datetime.h"
#include "utility/formatsettings.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QPointer>
#include <QProgressBar>

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <memory>
#include <set>

namespace {

using app::Tf_tcDruk;
using report::engine::TRpPrintableSize;
using testsupport::CardBuilder;
using testsupport::ChangeWord;
using testsupport::TimeReal;
using utility::Pl;

constexpr long double kTenthsPerPixel = 254.0L / 96.0L;

// A card holder with one day of driving and rest.
CardBuilder NowakCard()
{
    CardBuilder card;
    card.Surname("Nowak").FirstNames("Anna").CardNumber("D800101123450001").IssuingAuthority("Urzad Testowy");
    card.BirthDate(0x19750517).DrivingLicence(0x1a, "PL123456789");
    card.CardDates(TimeReal(2010, 1, 1), TimeReal(2010, 1, 2), TimeReal(2015, 1, 1));
    card.Day(TimeReal(2011, 5, 17), 0x0123, 250,
             {ChangeWord(0, 0, 0, 3, 6 * 60), ChangeWord(0, 0, 0, 0, 14 * 60 + 30)});
    return card;
}

class DrukTest : public ::testing::Test {
protected:
    // The form of `card`; the card must outlive it.
    std::unique_ptr<Tf_tcDruk> Make(const CardBuilder& card)
    {
        card_ = card.Image();
        return std::make_unique<Tf_tcDruk>(card_);
    }

    tacho::CardImageData card_{};
    testsupport::MessageRecorder boxes_;
};

// ---- The row rules ----

enum class Icon { None, Image1, Image2, Image3, Image4, Image5, Image6, Image7 };

const QImage& IconOf(const Tf_tcDruk& form, Icon icon)
{
    const std::array<const QImage*, 7> images{&form.Image1, &form.Image2, &form.Image3, &form.Image4,
                                              &form.Image5, &form.Image6, &form.Image7};
    return *images.at(static_cast<std::size_t>(icon) - 1);
}

struct RowCase {
    const char* line;     // UTF-8
    const char* caption;  // UTF-8
    Icon icon;            // None: Image5's picture, disabled
};

const RowCase kRowCases[] = {
    {"2011-05-17 0123. 00:00:00 AC#    09:29:59/przerwa-odpoczynek", "    09:29:59", Icon::Image2},
    {"2011-05-17 0123. 00:00:00 AG#    00:00:00/czynność nieistotna", "    00:00:00/czynność nieistotna", Icon::Image5},
    {"2011-05-17 0123. 06:00:00 BB# 06:00:00 Karta włożona, w slocie kierowcy/ jeden kierowca/prowadzenie",
     " 06:00:00 Karta włożona, w slocie kierowcy/ jeden kierowca", Icon::Image3},
    {"2011-05-17 0123. 00:00:00 AD#    00:00:00/dyspozycyjność", "    00:00:00", Icon::Image1},
    {"2011-05-17 0123. 00:00:00 AE#    00:00:00/praca", "    00:00:00", Icon::Image4},
    {"2011-05-17 0123. 06:00:00 BA#PL WX1234 używany od: 2011-05-17 06:00:35 stan licznika: 123456 km /wyj",
     "PL WX1234 używany od: 2011-05-17 06:00:35 stan licznika: 123456 km ", Icon::Image6},
    {"2011-05-18 0124. 14:30:25 BB#PL WX1234 używany do: 2011-05-18 14:30:25 stan licznika: 123999km /przyj",
     "PL WX1234 używany do: 2011-05-18 14:30:25 stan licznika: 123999km ", Icon::Image7},
    {"2011-05-17 0123. 00:00:00 AA#123. Data: 2011-05-17 (Wtorek)", "123. Data: 2011-05-17 (Wtorek)", Icon::None},
    {"K#abc/xyz", "abc/xyz", Icon::None},
    // No "/": the whole text is the keyword.
    {"K#praca", "", Icon::Image4},
    // No "#": the whole line is the text.
    {"abc/odpoczynek", "abc", Icon::Image2},
    // Only the first "#" ends the key.
    {"K#a#b/dysp", "a#b", Icon::Image1},
    // The table's order decides between keywords.
    {"K#x/odpoczynek po pracy", "x", Icon::Image4},
    {"", "", Icon::None},
};

TEST_F(DrukTest, EachRowGetsItsCaptionIconAndPlace)
{
    const auto form = Make(NowakCard());
    for (const RowCase& c : kRowCases) {
        SCOPED_TRACE(c.line);
        form->ActivityLines = {Pl(c.line)};
        form->RowIndex = 0;
        bool printBand = true;
        form->DetailBand1BeforePrint(*form->DetailBand1, printBand);
        EXPECT_TRUE(printBand);
        EXPECT_EQ(form->RpLabel6n->Caption(), Pl(c.caption));
        const bool withIcon = c.icon != Icon::None;
        EXPECT_EQ(form->RpImage1->Enabled(), withIcon);
        EXPECT_EQ(form->RpImage1->Picture(), IconOf(*form, withIcon ? c.icon : Icon::Image5));
        // 25 and 310 pixels beside the icon, 10 and 345 without it, at 96 dpi.
        const long double left = (withIcon ? 25 : 10) * kTenthsPerPixel;
        const long double width = (withIcon ? 310 : 345) * kTenthsPerPixel;
        EXPECT_NEAR(static_cast<double>(form->RpLabel6n->Size.Native(TRpPrintableSize::kLeft)),
                    static_cast<double>(left), 1e-3);
        EXPECT_NEAR(static_cast<double>(form->RpLabel6n->Size.Native(TRpPrintableSize::kWidth)),
                    static_cast<double>(width), 1e-3);
    }
}

TEST_F(DrukTest, RowPlacesAreTheNinetySixDpiConversions)
{
    const auto form = Make(NowakCard());
    form->RowIndex = 0;
    bool printBand = true;
    const struct {
        const char* line;
        double left;
        double width;
    } cases[] = {{"K#a/praca", 66.1458, 820.2083}, {"K#a/xyz", 26.4583, 912.8125}};
    for (const auto& c : cases) {
        form->ActivityLines = {c.line};
        form->DetailBand1BeforePrint(*form->DetailBand1, printBand);
        EXPECT_NEAR(static_cast<double>(form->RpLabel6n->Size.Native(TRpPrintableSize::kLeft)), c.left, 1e-4) << c.line;
        EXPECT_NEAR(static_cast<double>(form->RpLabel6n->Size.Native(TRpPrintableSize::kWidth)), c.width, 1e-4)
            << c.line;
    }
}

TEST_F(DrukTest, RowTextAndKeywordStopAt255Characters)
{
    const auto form = Make(NowakCard());
    const struct {
        std::string text;
        std::string caption;
        bool icon;
    } cases[] = {
        // The "/" lies beyond the 255th character: the row has no keyword.
        {std::string(255, 'a') + "/praca", std::string(255, 'a'), false},
        {std::string(250, 'a') + "/praca", std::string(250, 'a'), true},
        // The keyword is cut with the text: "/pra" leaves no "prac".
        {std::string(251, 'a') + "/praca", std::string(251, 'a') + "/pra", false},
    };
    for (const auto& c : cases) {
        form->ActivityLines = {"key#" + c.text};
        form->RowIndex = 0;
        bool printBand = true;
        form->DetailBand1BeforePrint(*form->DetailBand1, printBand);
        EXPECT_EQ(form->RpLabel6n->Caption(), c.caption) << c.text.size();
        EXPECT_EQ(form->RpImage1->Enabled(), c.icon) << c.text.size();
    }
}

TEST_F(DrukTest, ABandNotToBePrintedIsLeftAlone)
{
    const auto form = Make(NowakCard());
    form->ActivityLines = {"K#abc/praca", "K#def/xyz"};
    form->RowIndex = 0;
    bool printBand = true;
    form->DetailBand1BeforePrint(*form->DetailBand1, printBand);
    form->RowIndex = 1;
    printBand = false;
    form->DetailBand1BeforePrint(*form->DetailBand1, printBand);
    EXPECT_FALSE(printBand);
    EXPECT_EQ(form->RpLabel6n->Caption(), "abc");
    EXPECT_TRUE(form->RpImage1->Enabled());
    EXPECT_EQ(form->RpImage1->Picture(), form->Image4);
}

// ---- The title ----

struct TitleCase {
    std::string_view surname;  // ISO/IEC 8859-2 card bytes
    std::string_view firstNames;
    int fromYear, fromMonth, fromDay;
    int toYear, toMonth, toDay;
    const char* title;  // UTF-8
};

const TitleCase kTitleCases[] = {
    {"Nowak", "Anna", 2011, 5, 17, 2011, 5, 17, "NowakAnna 2011-05-17 2011-05-17"},
    {"Brz\xea"
     "czyszczykiewicz",
     "Grzegorz Jan", 2024, 1, 1, 2024, 12, 30, "BrzęczyszczykGrzegorzJa 2024-01-01 2024-12-30"},
    {"De La Cruz", "Jan", 2020, 2, 29, 2021, 3, 1, "DeLaCruzJan 2020-02-29 2021-03-01"},
    {"", "", 2011, 5, 17, 2011, 5, 18, " 2011-05-17 2011-05-18"},
};

TEST(DrukTitle, NamesRunTogetherThenTheTwoDays)
{
    for (const TitleCase& c : kTitleCases) {
        CardBuilder card;
        card.Surname(c.surname, 2).FirstNames(c.firstNames, 2);
        EXPECT_EQ(app::CardReportTitle(card.Image(), utility::EncodeDate(c.fromYear, c.fromMonth, c.fromDay),
                                       utility::EncodeDate(c.toYear, c.toMonth, c.toDay)),
                  Pl(c.title))
            << c.title;
    }
}

TEST_F(DrukTest, ACardWithoutDaysIsTitledWithTodayTwice)
{
    CardBuilder card;
    card.Surname("Nowak").FirstNames("Anna");
    const std::string before = utility::FormatShortDate(utility::Now());
    const auto form = Make(card);
    const std::string after = utility::FormatShortDate(utility::Now());
    EXPECT_TRUE(form->ActivityLines.empty());
    EXPECT_EQ(form->DateFrom, form->DateTo);
    const std::string today = utility::FormatShortDate(form->DateFrom);
    EXPECT_TRUE(today == before || today == after) << today;
    EXPECT_EQ(app::CardReportTitle(card_, form->DateFrom, form->DateTo), "NowakAnna " + today + " " + today);
}

// ---- The lists ----

TEST_F(DrukTest, ListsOfTheCardSortedByKeyAndStable)
{
    CardBuilder card = NowakCard();
    // Two changes in one minute: driving first, then work, as the card holds them.
    card.Day(TimeReal(2011, 5, 18), 0x0124, 10, {ChangeWord(0, 0, 0, 3, 6 * 60), ChangeWord(0, 0, 0, 2, 6 * 60)});
    card.Vehicle(0, {.odometerBegin = 123456,
                     .odometerEnd = 123999,
                     .firstUse = TimeReal(2011, 5, 17, 6, 0, 35),
                     .lastUse = TimeReal(2011, 5, 18, 14, 30, 25),
                     .nation = 0x1a,
                     .registration = "WX1234"});
    card.VehiclePointer(0);
    card.Place(0, {.entryTime = TimeReal(2011, 5, 17, 6, 0), .entryType = 0, .country = 0x1a, .odometer = 123456});
    card.PlacePointer(0);
    const auto form = Make(card);

    EXPECT_EQ(form->DateFrom, utility::EncodeDate(2011, 5, 17));
    EXPECT_EQ(form->DateTo, utility::EncodeDate(2011, 5, 18));
    EXPECT_EQ(form->DayValues, (std::vector<std::string>{"20110517=123", "20110518=124"}));
    ASSERT_EQ(form->VehicleActivityLines.size(), 2u);
    EXPECT_EQ(form->VehicleLines.size(), 1u);
    EXPECT_EQ(form->PlaceLines.size(), 1u);
    ASSERT_EQ(form->ActivityLines.size(), 2 * 12 + 2 + 2 + form->VehicleActivityLines.size());
    for (const std::string& line : form->VehicleActivityLines)
        EXPECT_NE(std::find(form->ActivityLines.begin(), form->ActivityLines.end(), line), form->ActivityLines.end());
    EXPECT_TRUE(std::is_sorted(
        form->ActivityLines.begin(), form->ActivityLines.end(),
        [](const std::string& a, const std::string& b) { return tacho::KeyOfLine(a) < tacho::KeyOfLine(b); }));
    const auto at = [&](std::string_view ending) {
        return std::find_if(form->ActivityLines.begin(), form->ActivityLines.end(), [&](const std::string& line) {
            return line.starts_with("2011-05-18 0124. 06:00:00 BB#") && line.ends_with(ending);
        });
    };
    ASSERT_NE(at("/prowadzenie"), form->ActivityLines.end());
    ASSERT_NE(at("/praca"), form->ActivityLines.end());
    EXPECT_LT(at("/prowadzenie"), at("/praca"));
}

TEST_F(DrukTest, MemosTakeThePlacesAndTheVehicles)
{
    const auto form = Make(NowakCard());
    form->PlaceLines = {"place 1", "place 2"};
    form->VehicleLines = {"vehicle 1", "vehicle 2", "vehicle 3"};
    bool printBand = true;
    form->SummaryBand1BeforePrint(*form->SummaryBand1, printBand);
    EXPECT_EQ(form->RpMemo2->Lines(), form->PlaceLines);
    EXPECT_TRUE(form->RpMemo1->Lines().empty());
    form->ChildBand4BeforePrint(*form->ChildBand4, printBand);
    EXPECT_EQ(form->RpMemo1->Lines(), form->VehicleLines);
    // Each fills its memo anew.
    form->PlaceLines = {"place 3"};
    form->SummaryBand1BeforePrint(*form->SummaryBand1, printBand);
    EXPECT_EQ(form->RpMemo2->Lines(), form->PlaceLines);
    EXPECT_TRUE(printBand);
}

// ---- The label texts ----

TEST_F(DrukTest, TitleLabelsTellTheCardAndItsHolder)
{
    const auto form = Make(NowakCard());
    using Handler = void (Tf_tcDruk::*)(report::engine::TRpCustomLabel&, std::string&);
    const struct {
        Handler handler;
        report::engine::TRpLabel* label;
        const char* value;  // UTF-8
    } cases[] = {
        {&Tf_tcDruk::RpLabel1Print, form->RpLabel1, "Dane z karty nr D800101123450001"},
        {&Tf_tcDruk::RpLabel2Print, form->RpLabel2, "Kierowca: Nowak Anna"},
        {&Tf_tcDruk::RpLabel3Print, form->RpLabel3,
         "PESEL: 80010112345, data ur.: 1975-05-17, numer prawa jazdy: PL123456789"},
        {&Tf_tcDruk::RpLabel4Print, form->RpLabel4,
         "Karta: wydana przez: Urzad Testowy, ważna od 2010-01-02 do 2015-01-01"},
        {&Tf_tcDruk::RpLabel5Print, form->RpLabel5, "Z okresu od 2011-05-17 do 2011-05-17"},
        {&Tf_tcDruk::RpLabel7Print, form->RpLabel8,
         "Program Kartovan: czytanie kart kierowców prod.: https://www.morvane.example/ "
         "https://sklep.morvane.example/"},
    };
    for (const auto& c : cases) {
        std::string value = c.label->Caption();
        (form.get()->*c.handler)(*c.label, value);
        EXPECT_EQ(value, Pl(c.value));
    }
    // The events are the labels' print events; RpLabel7Print serves the footer's RpLabel8.
    for (const auto& c : cases) {
        ASSERT_TRUE(c.label->OnPrint);
        std::string value;
        c.label->OnPrint(*c.label, value);
        EXPECT_EQ(value, Pl(c.value)) << c.label->Name;
    }
    EXPECT_FALSE(form->RpLabel7->OnPrint);
}

// ---- The progress window ----

TEST_F(DrukTest, ProgressStepsEveryTwentyRowsAndClosesAtTheEndOfTheData)
{
    // Three days of 12 lines and five changes: 41 rows.
    CardBuilder card;
    card.Day(TimeReal(2011, 5, 17), 0x0001, 1, {ChangeWord(0, 0, 0, 3, 60), ChangeWord(0, 0, 0, 0, 120)});
    card.Day(TimeReal(2011, 5, 18), 0x0002, 1, {ChangeWord(0, 0, 0, 3, 60), ChangeWord(0, 0, 0, 0, 120)});
    card.Day(TimeReal(2011, 5, 19), 0x0003, 1, {ChangeWord(0, 0, 0, 2, 60)});
    const auto form = Make(card);
    ASSERT_EQ(form->ActivityLines.size(), 41u);
    ASSERT_NE(form->ProgressWindow(), nullptr);
    QProgressBar* bar = form->ProgressWindow()->findChild<QProgressBar*>(QStringLiteral("ProgressBar1"));
    ASSERT_NE(bar, nullptr);
    EXPECT_EQ(bar->maximum(), 41);
    EXPECT_LT(bar->value(), 0) << "the bar moves only with the rows";

    form->RowIndex = -1;
    for (int request = 1; request <= 41; ++request) {
        bool moreData = true;
        form->RpReport1NeedData(*form->DetailBand1, moreData);
        const int row = request - 1;
        EXPECT_TRUE(moreData) << row;
        EXPECT_EQ(form->RowIndex, row);
        ASSERT_NE(form->ProgressWindow(), nullptr) << row;
        EXPECT_EQ(bar->value(), row / 20 * 20) << row;
    }
    bool moreData = true;
    form->RpReport1NeedData(*form->DetailBand1, moreData);
    EXPECT_FALSE(moreData);
    EXPECT_EQ(form->ProgressWindow(), nullptr);

    // A later run finds no window and steps nothing.
    form->RowIndex = -1;
    moreData = true;
    form->RpReport1NeedData(*form->DetailBand1, moreData);
    EXPECT_TRUE(moreData);
    EXPECT_EQ(form->ProgressWindow(), nullptr);
}

TEST_F(DrukTest, ProgressWindowGoesWithTheFormWhenNoRunEnded)
{
    auto form = Make(NowakCard());
    ASSERT_NE(form->ProgressWindow(), nullptr);
    QPointer<QWidget> window = form->ProgressWindow();
    form.reset();
    EXPECT_TRUE(window.isNull());
}

// ---- The icons ----

TEST(DrukIcons, SevenDistinctIconsDrawnInTheVisibleCorner)
{
    const std::array<QImage, 7> icons = app::DrawActivityIcons();
    std::set<QByteArray> distinct;
    for (std::size_t n = 0; n < icons.size(); ++n) {
        SCOPED_TRACE(n + 1);
        const QImage& icon = icons[n];
        EXPECT_EQ(icon.size(), QSize(29, 32));
        const bool alpha = n >= 5;
        EXPECT_EQ(icon.hasAlphaChannel(), alpha);
        const QRgb background = alpha ? qRgba(0, 0, 0, 0) : qRgb(255, 255, 255);
        int ink = 0;
        int outside = 0;
        for (int y = 0; y < icon.height(); ++y) {
            for (int x = 0; x < icon.width(); ++x) {
                const QRgb pixel = icon.pixel(x, y);
                const bool blank = alpha ? qAlpha(pixel) == 0 : pixel == background;
                if (blank)
                    continue;
                if (x < app::kIconInkWidth && y < app::kIconInkHeight)
                    ++ink;
                else
                    ++outside;
            }
        }
        EXPECT_GT(ink, 20);
        EXPECT_EQ(outside, 0);
        distinct.insert(
            QByteArray(reinterpret_cast<const char*>(icon.constBits()), static_cast<int>(icon.sizeInBytes())));
    }
    EXPECT_EQ(distinct.size(), icons.size());
}

TEST_F(DrukTest, TheFormHoldsTheIconsAndTheRowStartsWithImage5)
{
    const auto form = Make(NowakCard());
    const std::array<QImage, 7> icons = app::DrawActivityIcons();
    const std::array<const QImage*, 7> held{&form->Image1, &form->Image2, &form->Image3, &form->Image4,
                                            &form->Image5, &form->Image6, &form->Image7};
    for (std::size_t n = 0; n < icons.size(); ++n)
        EXPECT_EQ(*held[n], icons[n]) << n + 1;
    EXPECT_EQ(form->RpImage1->Picture(), form->Image5);
}

}  // namespace

namespace {

// ---- The layout ----

using report::engine::TRpBandType;

TEST_F(DrukTest, PageAndBandsOfTheLayout)
{
    const auto form = Make(NowakCard());
    const report::engine::TRpReport& r = form->RpReport1;
    EXPECT_EQ(r.Page.PaperSize(), report::output::TRpPaperSize::A4);
    EXPECT_EQ(r.Page.Orientation(), report::engine::TPrinterOrientation::poPortrait);
    const struct {
        int index;
        long double tenths;
    } page[] = {{0, 100}, {1, 2970}, {2, 100}, {3, 2100}, {4, 100}, {5, 60}, {6, 0}};
    for (const auto& p : page)
        EXPECT_NEAR(static_cast<double>(r.NativePage(p.index)), static_cast<double>(p.tenths), 1e-6) << p.index;
    EXPECT_EQ(r.Page.Columns(), 2);
    EXPECT_EQ(r.Zoom(), 100);
    EXPECT_EQ(r.Font.face, "Arial");
    EXPECT_EQ(r.Font.points, 10);
    EXPECT_EQ(r.Font.charset, 238);
    EXPECT_TRUE(r.FirstPageHeader);
    EXPECT_TRUE(r.LastPageFooter);
    EXPECT_TRUE(r.PrintIfEmpty());
    EXPECT_EQ(r.PreviewInitialState, report::output::TPreviewWindowState::wsMaximized);
    EXPECT_EQ(r.PrevInitialZoom, report::output::TRpZoomState::rpZoomOther);
    EXPECT_EQ(r.PreviewDefaultSaveType, report::output::TPrevSaveType::stPDF);
    report::expr::TRpEvEnvironment& functions = form->RpReport1.Functions;
    functions.Prepare();
    for (const char* entry : {"PAGENUMBER", "COLUMNNUMBER", "REPORTTITLE", "RPSTRINGSBAND1", "RPLOOPBAND1"})
        EXPECT_NE(functions.EntryElement(entry), nullptr) << entry;
    EXPECT_EQ(functions.EntryElement("RPNOSUCHBAND1"), nullptr);
    functions.Unprepare();

    const struct {
        const char* name;
        TRpBandType type;
        const char* parent;
        long double height;
        long double width;
        bool forceNewPage;
    } bands[] = {
        {"TitleBand1", TRpBandType::rbTitle, "", 365.1L, 1942, false},
        {"ChildBand2", TRpBandType::rbChild, "TitleBand1", 68.8L, 1942, false},
        {"ColumnHeaderBand1", TRpBandType::rbColumnHeader, "", 7.9L, 971, false},
        {"DetailBand1", TRpBandType::rbDetail, "", 42.3L, 971, false},
        {"PageFooterBand1", TRpBandType::rbPageFooter, "", 42.3L, 1942, true},
        {"ChildBand3", TRpBandType::rbChild, "PageFooterBand1", 15.9L, 1942, false},
        {"SummaryBand1", TRpBandType::rbSummary, "", 55.6L, 1942, true},
        {"ChildBand1", TRpBandType::rbChild, "SummaryBand1", 50.3L, 1942, false},
        {"ChildBand4", TRpBandType::rbChild, "ChildBand1", 55.6L, 1942, false},
        {"ChildBand5", TRpBandType::rbChild, "ChildBand4", 50.3L, 1942, false},
    };
    const auto& list = r.BandList();
    ASSERT_EQ(list.size(), std::size(bands));
    for (const auto& want : bands) {
        SCOPED_TRACE(want.name);
        const auto found = std::find_if(list.begin(), list.end(), [&](const auto* b) { return b->Name == want.name; });
        ASSERT_NE(found, list.end());
        const report::engine::TRpCustomBand& band = **found;
        EXPECT_EQ(band.BandType(), want.type);
        EXPECT_EQ(band.ParentBand() ? band.ParentBand()->Name : std::string(), want.parent);
        EXPECT_NEAR(static_cast<double>(band.Size.Height), static_cast<double>(want.height), 1e-6);
        // The layout gives every band a width of whole 96-dpi pixels.
        EXPECT_NEAR(static_cast<double>(band.Size.Width), static_cast<double>(want.width), 0.05);
        EXPECT_EQ(band.ForceNewPage, want.forceNewPage);
        EXPECT_EQ(band.Color, qRgb(255, 255, 255));
    }
    // Only the detail, the summary and the vehicles heading have a before-print event.
    for (const report::engine::TRpCustomBand* band : list) {
        const bool bound = band == form->DetailBand1 || band == form->SummaryBand1 || band == form->ChildBand4;
        EXPECT_EQ(static_cast<bool>(band->BeforePrint), bound) << band->Name;
    }
    EXPECT_TRUE(r.BeforePrint);
    EXPECT_TRUE(r.OnNeedData);
    EXPECT_EQ(form->DetailBand1->Font().points, 7);
    EXPECT_EQ(form->DetailBand1->Font().charset, 238);
}

TEST_F(DrukTest, TextControlsOfTheLayout)
{
    const auto form = Make(NowakCard());
    using report::engine::TRpCustomLabel;
    const struct {
        const TRpCustomLabel* control;
        const report::engine::TRpCustomBand* band;
        long double left;
        long double top;
        int points;
        bool bold;
        bool italic;
        bool autoSize;
        bool stretches;
        bool transparent;
    } controls[] = {
        {form->RpLabel1, form->TitleBand1, 0, 0, 12, true, false, true, false, false},
        {form->RpLabel5, form->TitleBand1, 60.9L, 47.6L, 11, true, false, true, false, false},
        {form->RpLabel2, form->TitleBand1, 60.9L, 119.1L, 11, true, false, true, false, false},
        {form->RpLabel3, form->TitleBand1, 248.7L, 169.3L, 11, false, false, true, false, false},
        {form->RpLabel4, form->TitleBand1, 60.9L, 222.3L, 11, true, false, true, false, false},
        {form->RpLabel9, form->TitleBand1, 10.6L, 267.2L, 7, false, false, true, true, true},
        {form->RpLabel11, form->TitleBand1, 10.6L, 296.3L, 7, false, false, true, true, true},
        {form->RpLabel12, form->TitleBand1, 10.6L, 325.4L, 7, true, false, true, true, true},
        {form->RpLabel10, form->ChildBand2, 15.9L, 18.5L, 8, true, false, true, false, false},
        {form->RpLabel6n, form->DetailBand1, 119.0625L, 0, 7, false, false, false, true, false},
        {form->RpLabel6, form->SummaryBand1, 15.9L, 7.9L, 8, true, false, true, false, false},
        {form->RpMemo2, form->ChildBand1, 5.3L, 0, 7, false, false, false, true, false},
        {form->RpLabel7, form->ChildBand4, 15.9L, 7.9L, 8, true, false, true, false, false},
        {form->RpMemo1, form->ChildBand5, 5.3L, 0, 7, false, false, false, true, false},
        {form->RpLabel8, form->PageFooterBand1, 0, 5.3L, 7, false, true, true, false, false},
    };
    for (const auto& c : controls) {
        SCOPED_TRACE(c.control->Name);
        EXPECT_EQ(c.control->Parent(), c.band);
        EXPECT_NEAR(static_cast<double>(c.control->Size.Native(TRpPrintableSize::kLeft)), static_cast<double>(c.left),
                    1e-3);
        EXPECT_NEAR(static_cast<double>(c.control->Size.Native(TRpPrintableSize::kTop)), static_cast<double>(c.top),
                    1e-3);
        const report::output::FontSpec& font = c.control->Font();
        EXPECT_EQ(font.face, "Arial");
        EXPECT_EQ(font.charset, 238);
        EXPECT_EQ(font.points, c.points);
        EXPECT_EQ(font.bold, c.bold);
        EXPECT_EQ(font.italic, c.italic);
        EXPECT_EQ(c.control->AutoSize(), c.autoSize);
        EXPECT_EQ(c.control->AutoStretch(), c.stretches);
        EXPECT_EQ(c.control->Transparent(), c.transparent);
        EXPECT_TRUE(c.control->WordWrap());
    }
    // The fixed-size texts keep their widths.
    EXPECT_NEAR(static_cast<double>(form->RpLabel6n->Size.Native(TRpPrintableSize::kWidth)), 817.5625, 1e-3);
    EXPECT_NEAR(static_cast<double>(form->RpMemo1->Size.Native(TRpPrintableSize::kWidth)), 955.1, 1e-3);
    EXPECT_NEAR(static_cast<double>(form->RpMemo2->Size.Native(TRpPrintableSize::kWidth)), 955.1, 1e-3);
    // The footer: the program at the band's left, the page number at its right.
    EXPECT_TRUE(form->RpLabel8->AlignToBand());
    EXPECT_EQ(form->RpLabel8->Alignment(), report::engine::TAlignment::taLeftJustify);
    EXPECT_TRUE(form->RpSysData1->AlignToBand());
    EXPECT_EQ(form->RpSysData1->Alignment(), report::engine::TAlignment::taRightJustify);
    EXPECT_EQ(form->RpSysData1->Data(), report::engine::rpsPageNumber);
    EXPECT_EQ(form->RpSysData1->Text(), "Strona ");
    EXPECT_EQ(form->RpSysData1->Font().points, 7);
    EXPECT_EQ(form->RpSysData1->Parent(), form->PageFooterBand1);
    EXPECT_EQ(form->RpSysData1->Bounds().right() + 1, form->PageFooterBand1->Bounds().width());
    EXPECT_EQ(form->RpShape1->Shape(), report::engine::TRpShapeType::rpsHorLine);
    EXPECT_NEAR(static_cast<double>(form->RpShape1->Size.Native(TRpPrintableSize::kWidth)), 1926.2, 1e-3);
    EXPECT_NEAR(static_cast<double>(form->RpImage1->Size.Native(TRpPrintableSize::kLeft)), 18.5, 1e-3);
    EXPECT_NEAR(static_cast<double>(form->RpImage1->Size.Native(TRpPrintableSize::kWidth)), 76.7, 1e-3);
    EXPECT_NEAR(static_cast<double>(form->RpImage1->Size.Native(TRpPrintableSize::kHeight)), 42.3, 1e-3);
}

}  // namespace

namespace {

TEST_F(DrukTest, EachRunStartsAtTheFirstRowWithTheTitleOnTheClipboard)
{
    const auto form = Make(NowakCard());
    form->RpReport1.ReportTitle = utility::Pl("NowakAnna 2011-05-17 2011-05-17");
    form->RowIndex = 7;
    QGuiApplication::clipboard()->setText(QStringLiteral("something else"));
    bool printReport = true;
    form->RpReport1.BeforePrint(form->RpReport1, printReport);
    EXPECT_TRUE(printReport);
    EXPECT_EQ(form->RowIndex, -1);
    EXPECT_EQ(QGuiApplication::clipboard()->text(), QStringLiteral("NowakAnna 2011-05-17 2011-05-17"));
}

}  // namespace
