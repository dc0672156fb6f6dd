// The printout of the card in memory: the holder's and the card's data, the driver's activity
// day by day in two columns with an icon per row, then the places and the vehicles used, and a
// footer with the program's name and the page number. The form is never shown: it holds the
// report, builds the card's text lists when it is made and feeds the report one row at a time.
#pragma once

#include "report/engine/controls/image.h"
#include "report/engine/controls/label.h"
#include "report/engine/controls/shape.h"
#include "report/engine/controls/sysdata.h"
#include "report/engine/model/band.h"
#include "report/engine/run/report.h"
#include "tacho/card_image.h"
#include "utility/dialprogres.h"

#include <QImage>

#include <memory>
#include <string>
#include <vector>

namespace app {

class Tf_tcDruk {
public:
    // Lays the report out and builds the text lists of `card` (normally tacho::CardImage,
    // which it reads until it is freed), with the hourglass and then the progress window up.
    explicit Tf_tcDruk(const tacho::CardImageData& card = tacho::CardImage);
    ~Tf_tcDruk();
    Tf_tcDruk(const Tf_tcDruk&) = delete;
    Tf_tcDruk& operator=(const Tf_tcDruk&) = delete;

    report::engine::TRpReport RpReport1;

    // Bands and controls, owned by the report.
    report::engine::TRpBand* TitleBand1 = nullptr;
    report::engine::TRpChildBand* ChildBand2 = nullptr;
    report::engine::TRpBand* ColumnHeaderBand1 = nullptr;
    report::engine::TRpBand* DetailBand1 = nullptr;
    report::engine::TRpBand* SummaryBand1 = nullptr;
    report::engine::TRpChildBand* ChildBand1 = nullptr;
    report::engine::TRpChildBand* ChildBand4 = nullptr;
    report::engine::TRpChildBand* ChildBand5 = nullptr;
    report::engine::TRpBand* PageFooterBand1 = nullptr;
    report::engine::TRpChildBand* ChildBand3 = nullptr;
    report::engine::TRpLabel* RpLabel1 = nullptr;
    report::engine::TRpLabel* RpLabel2 = nullptr;
    report::engine::TRpLabel* RpLabel3 = nullptr;
    report::engine::TRpLabel* RpLabel4 = nullptr;
    report::engine::TRpLabel* RpLabel5 = nullptr;
    report::engine::TRpLabel* RpLabel9 = nullptr;
    report::engine::TRpLabel* RpLabel11 = nullptr;
    report::engine::TRpLabel* RpLabel12 = nullptr;
    report::engine::TRpShape* RpShape1 = nullptr;
    report::engine::TRpLabel* RpLabel10 = nullptr;
    report::engine::TRpImage* RpImage1 = nullptr;
    report::engine::TRpLabel* RpLabel6n = nullptr;
    report::engine::TRpLabel* RpLabel6 = nullptr;
    report::engine::TRpMemo* RpMemo2 = nullptr;
    report::engine::TRpLabel* RpLabel7 = nullptr;
    report::engine::TRpMemo* RpMemo1 = nullptr;
    report::engine::TRpLabel* RpLabel8 = nullptr;
    report::engine::TRpSysData* RpSysData1 = nullptr;

    // The row icons, whose pictures are copied into RpImage1.
    QImage Image1;
    QImage Image2;
    QImage Image3;
    QImage Image4;
    QImage Image5;
    QImage Image6;
    QImage Image7;

    // Index in ActivityLines of the row being printed; -1 before the first row of a run.
    int RowIndex = -1;
    // The detail rows: the day lines and the keyed vehicle lines, sorted by key.
    std::vector<std::string> ActivityLines;
    // "YYYYMMDD=counter" of every day, read by the vehicles list.
    std::vector<std::string> DayValues;
    std::vector<std::string> PlaceLines;
    std::vector<std::string> VehicleLines;
    std::vector<std::string> VehicleActivityLines;
    // First and last day of the activity list; today until the list is built.
    double DateFrom = 0;
    double DateTo = 0;

    // Events of the report run.
    void RpReport1BeforePrint(report::engine::TCustomRpReport& sender, bool& printReport);
    void RpReport1NeedData(report::engine::TRpBasePanel& sender, bool& moreData);
    void DetailBand1BeforePrint(report::engine::TRpCustomBand& sender, bool& printBand);
    void SummaryBand1BeforePrint(report::engine::TRpCustomBand& sender, bool& printBand);
    // Bound to no band.
    void ChildBand1BeforePrint(report::engine::TRpCustomBand& sender, bool& printBand);
    void ChildBand4BeforePrint(report::engine::TRpCustomBand& sender, bool& printBand);
    void RpLabel1Print(report::engine::TRpCustomLabel& sender, std::string& value);
    void RpLabel2Print(report::engine::TRpCustomLabel& sender, std::string& value);
    void RpLabel3Print(report::engine::TRpCustomLabel& sender, std::string& value);
    void RpLabel4Print(report::engine::TRpCustomLabel& sender, std::string& value);
    void RpLabel5Print(report::engine::TRpCustomLabel& sender, std::string& value);
    // Bound to the footer's RpLabel8.
    void RpLabel7Print(report::engine::TRpCustomLabel& sender, std::string& value);

    // The progress window of the first run; null once it has closed.
    [[nodiscard]] utility::Tf_progres* ProgressWindow() const { return progress_.get(); }

private:
    void FormCreate();
    void FormDestroy();
    // Every band, control, size and font of the report (tc_druk_layout.cpp).
    void BuildReport();
    void BindEvents();

    const tacho::CardImageData& card_;
    std::unique_ptr<utility::Tf_progres> progress_;
};

// The report title of a card: the first 13 characters of the surname and the first 11 of the
// first names run together without blanks, then the first and the last day (short dates).
[[nodiscard]] std::string CardReportTitle(const tacho::CardImageData& card, double dateFrom, double dateTo);

// The print road's entry: builds the printout of the card in memory, shows its preview (print
// and PDF from there) and frees it when the preview closes.
void PreviewCardReport();

}  // namespace app
