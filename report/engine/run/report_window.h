// The report as the output side sees it: the window that its printer objects, preview windows,
// progress windows and export filters talk to. Owned by the report; every call goes on to it.
#pragma once

#include "report/output/export/report_interfaces.h"
#include "report/output/printer/printer_windows.h"

#include <QObject>

#include <optional>
#include <string>

namespace report::engine {

class TCustomRpReport;

class TRpReportWindow : public output::PreviewedReport, public output::ClientWindow {
    Q_OBJECT
public:
    explicit TRpReportWindow(TCustomRpReport& report);

    [[nodiscard]] TCustomRpReport& Report() const { return report_; }

    // ReportWindow. 1026 and the runs started from the preview show what they raise in an
    // error box: they are called from the event loop.
    void PrintToPrinterMessage() override;
    void ClosePreviewMessage(output::TRpPrinter& printer) override;
    [[nodiscard]] const output::TRpPrinterSettings& PrinterSettings() const override;
    [[nodiscard]] bool ShowProgress() const override;
    void AfterPrint() override;
    [[nodiscard]] bool Exporting() const override;
    [[nodiscard]] bool Destroying() const override;
    void RequestStop() override;
    [[nodiscard]] long double PageWidth() const override;
    [[nodiscard]] long double PageLength() const override;

    // PreviewedReport
    [[nodiscard]] output::TRpPreviewOptions PreviewOptions() const override;
    [[nodiscard]] QString ReportTitle() const override;
    [[nodiscard]] int PageOrientation() const override;
    void SetPagePaper(output::TRpPaperSize size, int orientation) override;
    [[nodiscard]] bool OnStandPrevEvent(QWidget& sender, output::TStandPrevEventType eventType,
                                        const std::string& contName) override;
    [[nodiscard]] int PagesInPreview() const override;
    void SetPrinterSettings(const output::TRpPrinterSettings& settings) override;
    void PrintToPrinter() override;
    [[nodiscard]] std::optional<output::TRpPrinterSettings> ShowPrinterSetup() override;
    void ExportWithFilter(output::TRpExportFilter& filter) override;

    // ClientWindow: 1024 is not followed; 1025 keeps page 1 of the printer object.
    [[nodiscard]] QObject* WindowObject() override { return this; }
    void ProgressMessage(int percent) override;
    void FinishedPagesMessage(int count) override;

    // 1029: preview while generating; what it raises is shown in an error box.
    void PreviewWhileGeneratingMessage();

    // Set while the report's destructor runs.
    bool destroying = false;

private:
    TCustomRpReport& report_;
};

}  // namespace report::engine
