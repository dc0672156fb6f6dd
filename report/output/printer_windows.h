// The windows a printer object talks to: the report that owns the run, the window that follows
// the run's progress (preview control or progress window), and the preview window's factory.
// The report and the windows are built elsewhere; the printer object knows them only by these
// interfaces.
#pragma once

#include <QObject>

#include <functional>
#include <memory>

class QWidget;

namespace report::output {

class TRpPrinter;
struct TRpPrinterSettings;

// The report as its printer object sees it. Message 1026 arrives queued (posted), 1028 direct
// (sent).
class ReportWindow : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;

    // 1026: run the report again, straight to the printer.
    virtual void PrintToPrinterMessage() = 0;
    // 1028: the preview of `printer` is closing. The report lets go of it with
    // TRpPrinter::Release, which frees it once the printer object's own calls have returned.
    virtual void ClosePreviewMessage(TRpPrinter& printer) = 0;

    // The report's printer choices; the printer object takes UseStandardprinter and MemoryLimit.
    [[nodiscard]] virtual const TRpPrinterSettings& PrinterSettings() const = 0;
    // Whether printing and exporting show a progress window.
    [[nodiscard]] virtual bool ShowProgress() const = 0;
    // Fires the report's AfterPrint event.
    virtual void AfterPrint() = 0;
    // True while the report exports through a filter.
    [[nodiscard]] virtual bool Exporting() const = 0;
    // True while the report is being destroyed.
    [[nodiscard]] virtual bool Destroying() const = 0;
    // The report page's width and length in 0.1 mm.
    [[nodiscard]] virtual long double PageWidth() const = 0;
    [[nodiscard]] virtual long double PageLength() const = 0;
};

// A window that follows a run: messages 1024 (progress) and 1025 (finished pages) arrive queued.
// The window outlives nothing: the printer object watches WindowObject() and forgets the window
// when it is destroyed.
class ClientWindow {
public:
    virtual ~ClientWindow() = default;
    // The window's object, for queued calls and to know when it is gone.
    [[nodiscard]] virtual QObject* WindowObject() = 0;
    // 1024: the run is `percent` done.
    virtual void ProgressMessage(int percent) = 0;
    // 1025: `count` pages are complete.
    virtual void FinishedPagesMessage(int count) = 0;
    // The printer object is going away; a preview control lets go of it here.
    virtual void DetachPrinter(TRpPrinter& printer) { static_cast<void>(printer); }
};

// The progress window of a direct print.
class ProgressWindow : public ClientWindow {
public:
    virtual void Show() = 0;
    virtual void Hide() = 0;
};
// Makes the progress window for a printer object; set by the program at start-up. Without one
// no progress is shown.
using ProgressWindowFactory = std::function<std::unique_ptr<ProgressWindow>(TRpPrinter& printer)>;
void SetProgressWindowClass(ProgressWindowFactory factory);
[[nodiscard]] const ProgressWindowFactory& ProgressWindowClass();

// Opens preview windows for printer objects. This base opens none.
class PreviewInterface {
public:
    virtual ~PreviewInterface() = default;
    // Opens a preview window without modality; the window, or nullptr.
    virtual QWidget* Show(TRpPrinter& printer);
    // Shows a preview window modally and returns when it has closed: the window (it may be
    // gone by then; never touched by the caller), or nullptr when none opened.
    virtual QWidget* ShowModal(TRpPrinter& printer);
};
using PreviewInterfaceFactory = std::function<std::unique_ptr<PreviewInterface>()>;
// The factory the printer object uses for its previews; set by the program at start-up.
// Without one (or with an empty one) the base interface is used.
void SetPreviewInterfaceClass(PreviewInterfaceFactory factory);
[[nodiscard]] std::unique_ptr<PreviewInterface> MakePreviewInterface();

}  // namespace report::output
