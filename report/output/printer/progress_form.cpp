#include "report/output/printer/progress_form.h"

#include "report/output/printer/rp_printer.h"
#include "utility/paced_paint.h"

#include <QApplication>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>

namespace report::output {

TRpProgressForm::TRpProgressForm(TRpPrinter* printer)
    : QDialog(QApplication::activeModalWidget(), Qt::Dialog | Qt::WindowStaysOnTopHint), rpPrinter_(printer)
{
    setObjectName("TRpProgressForm");
    setWindowTitle(kPrintingProgressCaption);
    setModal(false);
    setFixedSize(149, 97);
    BuildControls();
    utility::PacePaints(*this);
    // The modal window may close before the run ends; the form is its creator's, not the
    // window's, so it must not go down with it.
    if (QWidget* owner = parentWidget())
        connect(owner, &QObject::destroyed, this, &TRpProgressForm::LeaveDyingParent);
}

TRpProgressForm::~TRpProgressForm() = default;

void TRpProgressForm::BuildControls()
{
    gauge_ = new QProgressBar(this);
    gauge_->setObjectName("Gauge");
    gauge_->setGeometry(16, 18, 114, 16);
    gauge_->setRange(0, 100);
    gauge_->setValue(0);
    gauge_->setTextVisible(false);

    info_ = new QLabel(this);
    info_->setObjectName("Info");
    info_->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    info_->setGeometry(0, 44, 145, info_->fontMetrics().height());
    info_->setTextFormat(Qt::PlainText);

    cancelButton_ = new QPushButton("Cancel", this);
    cancelButton_->setObjectName("CancelButton");
    cancelButton_->setGeometry(36, 68, 75, 25);
    connect(cancelButton_, &QPushButton::clicked, this, &TRpProgressForm::CancelButtonClick);
}

void TRpProgressForm::LeaveDyingParent()
{
    const bool shown = isVisible();
    setParent(nullptr, windowFlags());
    if (shown)
        show();
}

void TRpProgressForm::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    if (centred_)
        return;
    centred_ = true;
    if (const QScreen* shownOn = screen()) {
        const QRect area = shownOn->geometry();
        const QSize size = frameGeometry().size();
        move(area.x() + (area.width() - size.width()) / 2, area.y() + (area.height() - size.height()) / 2);
    }
}

void TRpProgressForm::ProgressMessage(int percent)
{
    // The message only says that the progress moved; the printer object's value is the one shown.
    static_cast<void>(percent);
    if (!rpPrinter_)
        return;
    const int progress = rpPrinter_->Progress();
    if (progress % 5 != 0)
        return;
    // Set only when the figure changes; drawn with the window's next paced paint.
    if (gauge_->value() != progress || info_->text().isEmpty()) {
        gauge_->setValue(progress);
        info_->setText(QString::number(progress) + "% " + " Completed");
    }
    QCoreApplication::processEvents();
}

void TRpProgressForm::FinishedPagesMessage(int count) { static_cast<void>(count); }

void TRpProgressForm::DetachPrinter(TRpPrinter& printer)
{
    if (rpPrinter_ == &printer)
        rpPrinter_ = nullptr;
}

void TRpProgressForm::CancelButtonClick()
{
    if (!rpPrinter_)
        return;
    if (ReportWindow* report = rpPrinter_->ParentReport())
        report->RequestStop();
    rpPrinter_->Cancel();
}

}  // namespace report::output
