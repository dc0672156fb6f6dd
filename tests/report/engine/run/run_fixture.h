// What the report run's tests share: a made-up printer, a preview that shows no window but
// keeps what it was given, a window that keeps the progress it is told, and the print layout
// with a logging box on every band, fed by OnNeedData.
#pragma once

#include "report/engine/run/report.h"
#include "report/output/export/export_filter.h"
#include "report/output/printer/printer_service.h"
#include "report/output/printer/printer_windows.h"
#include "report/output/printer/rp_printer.h"
#include "tests/report/engine/printing/fake_controls.h"
#include "tests/support/fake_printer_service.h"
#include "tests/support/message_recorder.h"

#include <QObject>
#include <QPointer>

#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace enginetest {

// What the previews were shown.
struct PreviewLog {
    int modal = 0;
    int modeless = 0;
    // The bytes of every page of the last preview, when it closed (modal) or was shown.
    std::vector<std::string> pages;
    // The finished-page counts (1025) the modal preview was told while it showed.
    std::vector<int> finishedPages;
    // Runs while the modal preview is up, before it closes.
    std::function<void(report::output::TRpPrinter&)> whileShown;
    // The modal preview closes itself (as its window would) before returning.
    bool closeModal = true;
    // The last modeless preview's printer object.
    QPointer<report::output::TRpPrinter> open;
    // Runs once the modeless preview's document is finished; without it the preview closes
    // itself then.
    std::function<void(report::output::TRpPrinter&)> afterModelessRun;
};

class FakePreviews final : public report::output::PreviewInterface {
public:
    explicit FakePreviews(PreviewLog& log) : log_(log) {}
    // Active at once; the document is read when the run has finished.
    QWidget* Show(report::output::TRpPrinter& printer) override;
    // Active and the printer object's client window; lets queued work run (a run generating
    // into it), keeps the pages, then closes.
    QWidget* ShowModal(report::output::TRpPrinter& printer) override;

private:
    PreviewLog& log_;
};

// The bytes of every page of `printer`'s document.
std::vector<std::string> RecordedPages(report::output::TRpPrinter& printer);

// Keeps every progress message (1024) and finished-page count (1025) it gets.
class ProgressLog final : public QObject, public report::output::ClientWindow {
public:
    QObject* WindowObject() override { return this; }
    void ProgressMessage(int percent) override { progress.push_back(percent); }
    void FinishedPagesMessage(int count) override { finished.push_back(count); }
    std::vector<int> progress;
    std::vector<int> finished;
};

// Keeps the calls of a run, in order: "Start 2100,2970", "NewPage", "EndPage", "Finish".
class CallFilter : public report::output::TRpExportFilter {
public:
    void Start(std::int32_t width, std::int32_t length, const report::output::FontSpec& font,
               const report::output::ExportDevice& device) override;
    void NewPage() override;
    void EndPage() override;
    void Finish() override;
    std::vector<std::string> calls;
    // Runs at Finish.
    std::function<void()> onFinish;
};

class RunTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // The print layout of the activity list: every band with a logging box, the Detail band
    // 367 px wide with a BeforePrint, the Summary and the page footer forced to a new page; rows
    // by OnNeedData, `rows_` of them. Calls to OnNeedData are counted in needData_.
    void Build();
    // Replaces the printers with none.
    void RemovePrinters();
    [[nodiscard]] report::engine::TRpCustomBand& Band(const std::string& name) const;
    // The box lines ("page P col C at X,Y ...") of band `name`, in order.
    [[nodiscard]] std::vector<std::string> Prints(const std::string& name) const;
    // Lines of the log that start with `prefix`.
    [[nodiscard]] std::vector<std::string> Logged(const std::string& prefix) const;
    // Lets queued calls run.
    static void Flush();

    std::unique_ptr<report::engine::TRpReport> report_;
    CallLog log_;
    PreviewLog previews_;
    int rows_ = 0;
    int needData_ = 0;
    // Runs in every OnNeedData call, with the call's number (from 1).
    std::function<void(int call)> onNeedData_;
    testsupport::FakePrinterService* service_ = nullptr;
    testsupport::MessageRecorder messages_;

private:
    std::unique_ptr<report::output::PrinterService> previous_;
};

}  // namespace enginetest
