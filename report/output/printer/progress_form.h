// The small window that follows a print or an export run: how far it is, and a Cancel button that
// stops it.
#pragma once

#include "report/output/printer/printer_windows.h"

#include <QDialog>
#include <QPointer>

class QLabel;
class QProgressBar;
class QPushButton;

namespace report::output {

class TRpPrinter;

inline constexpr char kPrintingProgressCaption[] = "Printing progress";
// The caption an export run gives the window.
inline constexpr char kExportingProgressCaption[] = "Exporting Progress";

// Shown without modality, on top, centred on the screen. Its creator owns it, makes it the
// printer object's client window for the run, and destroys it when the run ends.
//
// While a modal window is up (a print started from the modal preview) the form is made that
// window's child, still a window of its own: otherwise the modal window would block its Cancel.
class TRpProgressForm : public QDialog, public ClientWindow {
    Q_OBJECT
public:
    // `printer` (may be null) is the printer object whose progress the window shows.
    explicit TRpProgressForm(TRpPrinter* printer = nullptr);
    ~TRpProgressForm() override;
    TRpProgressForm(const TRpProgressForm&) = delete;
    TRpProgressForm& operator=(const TRpProgressForm&) = delete;

    [[nodiscard]] TRpPrinter* RpPrinter() const { return rpPrinter_; }
    void SetRpPrinter(TRpPrinter* printer) { rpPrinter_ = printer; }

    [[nodiscard]] QProgressBar* Gauge() const { return gauge_; }
    [[nodiscard]] QLabel* Info() const { return info_; }
    [[nodiscard]] QPushButton* CancelButton() const { return cancelButton_; }

    // ClientWindow. Message 1024: shows the printer object's own progress (not `percent`) when it
    // is a multiple of 5, then lets waiting window messages through. The window is drawn at
    // most about ten times a second (utility::PacePaints).
    QObject* WindowObject() override { return this; }
    void ProgressMessage(int percent) override;
    void FinishedPagesMessage(int count) override;
    void DetachPrinter(TRpPrinter& printer) override;

    // Asks the printer object's report to stop and cancels the printer object.
    void CancelButtonClick();

protected:
    void showEvent(QShowEvent* event) override;

private:
    void BuildControls();
    void LeaveDyingParent();

    QPointer<TRpPrinter> rpPrinter_;
    QProgressBar* gauge_ = nullptr;
    QLabel* info_ = nullptr;
    QPushButton* cancelButton_ = nullptr;
    bool centred_ = false;
};

}  // namespace report::output
