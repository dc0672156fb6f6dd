// What a report run answers and the events a report fires around it.
#pragma once

#include "report/output/export/report_interfaces.h"

#include <cstdint>
#include <functional>
#include <string>

class QWidget;

namespace report::output {
class TRpPrinter;
}  // namespace report::output

namespace report::engine {

class TCustomRpReport;

// How an entry point that starts a run (preview, print, export) ended.
enum class TRpRunResult : std::uint8_t {
    Done,       // the run was made (and shown, printed or written)
    Busy,       // another run of the report is under way: nothing was started
    NoPrinter,  // printing was asked for and no printer is installed
    Cancelled,  // the run was cancelled, or BeforePrint refused it: nothing was shown or written
};

// The preview window's own buttons, as OnPrevXEvent would be told them.
enum class TPrevEventType : std::uint8_t {
    etPrintButton,
    etSaveButton,
    etControlClick,
    etLoadButton,
    etPrintSetup,
    etMouseOver,
    etBandClick
};

// `printReport` false skips the run.
using TRpReportBeforePrintEvent = std::function<void(TCustomRpReport& sender, bool& printReport)>;
using TRpAfterPrintEvent = std::function<void(TCustomRpReport& sender)>;
using TRpAfterPreviewEvent = std::function<void(TCustomRpReport& sender)>;
// Replaces the standard preview window: called with the printer object to show.
using TRpPreviewEvent = std::function<void(output::TRpPrinter& printer)>;
// Offered every command of the standard preview window first; `handled` true takes it.
using TRpStandPrevEvent = std::function<void(QWidget& sender, output::TStandPrevEventType eventType,
                                             const std::string& contName, bool& handled)>;
// Kept for the preview; the engine never fires it.
using TRpPreviewXEvent = std::function<void(TCustomRpReport& sender, TPrevEventType eventType)>;

}  // namespace report::engine
