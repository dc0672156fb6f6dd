// The progress window of a print or export run.
// Clicks go through the window system, where a modal window blocks the windows it does not own.
#define QTEST_QPA_MOUSE_HANDLING

#include "report/output/printer/progress_form.h"

#include "report/output/printer/rp_printer.h"
#include "tests/report/output/printer/rp_printer_fixture.h"
#include "tests/support/modal_dialog.h"

#include <QApplication>
#include <QDialog>
#include <QElapsedTimer>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>
#include <QTest>

#include <gtest/gtest.h>

namespace report::output {
namespace {

using testing::FakeReport;
using testing::RpPrinterTest;

using ProgressFormTest = RpPrinterTest;

std::vector<QWidget*> ProgressWindows()
{
    std::vector<QWidget*> found;
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        if (qobject_cast<TRpProgressForm*>(widget))
            found.push_back(widget);
    }
    return found;
}

TEST_F(ProgressFormTest, IsASmallWindowOnTopWithAGaugeALabelAndCancel)
{
    TRpPrinter printer;
    TRpProgressForm form(&printer);
    EXPECT_EQ(form.RpPrinter(), &printer);
    EXPECT_EQ(form.windowTitle(), "Printing progress");
    EXPECT_TRUE(form.windowFlags().testFlag(Qt::WindowStaysOnTopHint));
    EXPECT_TRUE(form.isWindow());
    EXPECT_EQ(form.size(), QSize(149, 97));
    EXPECT_EQ(form.Gauge()->geometry(), QRect(16, 18, 114, 16));
    EXPECT_EQ(form.Info()->geometry().topLeft(), QPoint(0, 44));
    EXPECT_EQ(form.Info()->width(), 145);
    EXPECT_TRUE(form.Info()->alignment().testFlag(Qt::AlignHCenter));
    EXPECT_EQ(form.CancelButton()->geometry(), QRect(36, 68, 75, 25));
    EXPECT_EQ(form.CancelButton()->text(), "Cancel");

    form.show();
    EXPECT_FALSE(form.isModal());
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
    const QRect screen = form.screen()->geometry();
    const QRect frame = form.frameGeometry();
    EXPECT_EQ(frame.left(), screen.left() + (screen.width() - frame.width()) / 2);
    EXPECT_EQ(frame.top(), screen.top() + (screen.height() - frame.height()) / 2);
}

TEST_F(ProgressFormTest, ShowsThePrintersProgressOnAMultipleOfFive)
{
    // `before`: a figure shown first, none when negative. The first 0 is shown too, though the
    // gauge stands at 0 already.
    struct Row {
        int before;
        int progress;
        int carried;
        int gauge;
        const char* info;
    };
    const Row rows[] = {
        {-1, 0, 0, 0, "0%  Completed"},     {10, 42, 42, 10, "10%  Completed"},     {10, 45, 45, 45, "45%  Completed"},
        {10, 45, 42, 45, "45%  Completed"}, {10, 100, 100, 100, "100%  Completed"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.progress);
        TRpPrinter printer;
        TRpProgressForm form(&printer);
        if (row.before >= 0) {
            printer.SetProgress(row.before);
            form.ProgressMessage(row.before);
        }
        printer.SetProgress(row.progress);
        form.ProgressMessage(row.carried);
        EXPECT_EQ(form.Gauge()->value(), row.gauge);
        EXPECT_EQ(form.Info()->text(), row.info);
    }
}

TEST_F(ProgressFormTest, FollowsTheRunAsItsClientWindow)
{
    TRpPrinter printer;
    TRpProgressForm form(&printer);
    printer.SetClientWindow(&form);
    printer.SetProgress(35);
    EXPECT_EQ(form.Gauge()->value(), 0);  // posted, not yet handled
    QCoreApplication::processEvents();
    EXPECT_EQ(form.Gauge()->value(), 35);
    EXPECT_EQ(form.Info()->text(), "35%  Completed");
    printer.SetFinishedPages(3);
    QCoreApplication::processEvents();
    EXPECT_EQ(form.Gauge()->value(), 35);

    // Without its printer object the window shows nothing new and its Cancel does nothing.
    auto gone = std::make_unique<TRpPrinter>();
    TRpProgressForm orphan(gone.get());
    gone.reset();
    orphan.ProgressMessage(50);
    orphan.CancelButton()->click();
    EXPECT_EQ(orphan.Gauge()->value(), 0);
}

// A long run hears its Cancel through the progress messages: each lets waiting window messages
// through.
TEST_F(ProgressFormTest, EachFigureLetsAWaitingCancelThrough)
{
    FakeReport report;
    TRpPrinter printer(&report);
    TRpProgressForm form(&printer);
    QMetaObject::invokeMethod(form.CancelButton(), &QPushButton::click, Qt::QueuedConnection);
    printer.SetProgress(5);
    form.ProgressMessage(5);
    EXPECT_EQ(report.stopRequests, 1);
    EXPECT_TRUE(printer.Cancelled());
}

// Counts the paints of the window's label and keeps the text the last one showed.
class PaintCount : public QObject {
public:
    explicit PaintCount(QLabel& label) : label_(label) { label.installEventFilter(this); }
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (watched == &label_ && event->type() == QEvent::Paint) {
            ++count;
            last = label_.text();
        }
        return false;
    }
    int count = 0;
    QString last;

private:
    QLabel& label_;
};

TEST_F(ProgressFormTest, IsDrawnAtMostAboutTenTimesASecondAndShowsTheLastFigure)
{
    TRpPrinter printer;
    TRpProgressForm form(&printer);
    printer.SetClientWindow(&form);
    form.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));
    QTest::qWait(200);
    PaintCount paints(*form.Info());
    QElapsedTimer burst;
    burst.start();
    for (int percent = 0; percent <= 100; ++percent) {
        printer.SetProgress(percent);
        QCoreApplication::processEvents();
    }
    const qint64 elapsed = burst.elapsed();
    EXPECT_EQ(form.Gauge()->value(), 100);
    EXPECT_EQ(form.Info()->text(), "100%  Completed");
    // One paint at the burst's start, then at most one a tenth of a second.
    EXPECT_LE(paints.count, 1 + elapsed / 100) << elapsed << " ms";
    QTest::qWait(300);
    EXPECT_EQ(paints.last, "100%  Completed");
}

// Paints held back must not hold back the Cancel.
TEST_F(ProgressFormTest, CancelAnswersAtOnceWhileThePaintsAreHeld)
{
    FakeReport report;
    TRpPrinter printer(&report);
    TRpProgressForm form(&printer);
    printer.SetClientWindow(&form);
    form.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));
    QTest::qWait(200);
    PaintCount paints(*form.Info());
    printer.SetProgress(5);
    QCoreApplication::processEvents();
    printer.SetProgress(10);
    QCoreApplication::processEvents();
    ASSERT_EQ(paints.last, "5%  Completed");  // 10 waits for the interval to pass
    QTest::mouseClick(form.CancelButton(), Qt::LeftButton);
    EXPECT_EQ(report.stopRequests, 1);
    EXPECT_TRUE(printer.Cancelled());
}

TEST_F(ProgressFormTest, CancelStopsTheReportAndCancelsThePrinter)
{
    FakeReport report;
    TRpPrinter printer(&report);
    TRpProgressForm form(&printer);
    form.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));
    QTest::mouseClick(form.CancelButton(), Qt::LeftButton);
    EXPECT_EQ(report.stopRequests, 1);
    EXPECT_TRUE(printer.Cancelled());

    TRpPrinter alone;
    TRpProgressForm other(&alone);
    other.CancelButtonClick();
    EXPECT_TRUE(alone.Cancelled());
}

TEST_F(ProgressFormTest, CancelWorksWhileAModalWindowIsUp)
{
    FakeReport report;
    TRpPrinter printer(&report);
    QDialog preview;
    preview.setObjectName("preview");
    bool bystanderPressed = false;
    QPushButton bystander("Elsewhere");
    QObject::connect(&bystander, &QPushButton::clicked, [&] { bystanderPressed = true; });
    bystander.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&bystander));
    testsupport::OnModalDialog([&](QDialog& modal) {
        TRpProgressForm form(&printer);
        form.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));
        EXPECT_TRUE(form.isWindow());
        // A window the modal one does not own takes no click: the check means something.
        QTest::mouseClick(&bystander, Qt::LeftButton);
        EXPECT_FALSE(bystanderPressed);
        QTest::mouseClick(form.CancelButton(), Qt::LeftButton);
        EXPECT_EQ(report.stopRequests, 1);
        EXPECT_TRUE(printer.Cancelled());
        modal.accept();
    });
    preview.exec();
}

TEST_F(ProgressFormTest, OutlivesTheModalWindowItWasShownOver)
{
    auto preview = std::make_unique<QDialog>();
    std::unique_ptr<TRpProgressForm> form;
    TRpPrinter printer;
    testsupport::OnModalDialog([&](QDialog& modal) {
        form = std::make_unique<TRpProgressForm>(&printer);
        form->show();
        modal.accept();
    });
    preview->exec();
    ASSERT_TRUE(form);
    EXPECT_EQ(form->parentWidget(), preview.get());
    preview.reset();
    EXPECT_EQ(form->parentWidget(), nullptr);
    EXPECT_TRUE(form->isVisible());
    EXPECT_TRUE(form->isWindow());
    form.reset();  // its creator's to destroy, once
}

TEST_F(ProgressFormTest, PrintsOfRecordedPagesLeaveNoWindowBehind)
{
    FakeReport report;
    report.showProgress = true;
    TRpPrinter printer(&report);
    Run(printer, 3);
    printer.SetReprintRecorded(true);
    for (int print = 1; print <= 2; ++print) {
        SCOPED_TRACE(print);
        std::size_t during = 0;
        const QMetaObject::Connection watch =
            QObject::connect(&printer, &TRpPrinter::ProgressPosted, [&] { during = ProgressWindows().size(); });
        printer.PrintRecordedPages();
        QObject::disconnect(watch);
        EXPECT_EQ(during, 1u);
        EXPECT_TRUE(ProgressWindows().empty());
        EXPECT_EQ(printer.GetClientWindow(), nullptr);
    }
    EXPECT_EQ(service_->jobs.size(), 2u);
}

}  // namespace
}  // namespace report::output
