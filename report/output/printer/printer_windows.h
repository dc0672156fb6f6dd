// The windows a printer object talks to besides its report (export/report_interfaces.h): the
// window that follows the run's progress (preview control or progress window), and the preview
// window's factory. The windows are built elsewhere; the printer object knows them only by these
// interfaces.
#pragma once

#include <functional>
#include <memory>

class QObject;
class QWidget;

namespace report::output {

class TRpPrinter;

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
