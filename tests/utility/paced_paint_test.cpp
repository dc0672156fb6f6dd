// A window whose paints are paced: a burst of changes is drawn once at its start and once more
// when the interval is over, with the last figures; input is never held back.
#include "utility/paced_paint.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QEvent>
#include <QProgressBar>
#include <QPushButton>
#include <QTest>
#include <QVBoxLayout>
#include <QWidget>

#include <gtest/gtest.h>

#include <chrono>

namespace {

// Counts the paints a widget gets and keeps the bar value each one showed.
class PaintLog : public QObject {
public:
    explicit PaintLog(QProgressBar& bar) : bar_(bar) { bar.installEventFilter(this); }
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (watched == &bar_ && event->type() == QEvent::Paint) {
            ++paints;
            lastPainted = bar_.value();
        }
        return false;
    }
    int paints = 0;
    int lastPainted = -1;

private:
    QProgressBar& bar_;
};

TEST(PacedPaint, ABurstOfChangesIsDrawnOnceAndThenWithItsLastFigures)
{
    using namespace std::chrono_literals;
    constexpr auto kInterval = 1000ms;
    QWidget window;
    auto* layout = new QVBoxLayout(&window);
    auto* bar = new QProgressBar(&window);
    // Every step moves the percentage the bar shows, so every one asks for a repaint.
    bar->setRange(0, 30);
    auto* cancel = new QPushButton(QStringLiteral("Anuluj"), &window);
    layout->addWidget(bar);
    layout->addWidget(cancel);
    int clicks = 0;
    QObject::connect(cancel, &QPushButton::clicked, [&] { ++clicks; });
    utility::PacePaints(window, kInterval);
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    // The first paints of the window are over and the interval has passed.
    QTest::qWait(static_cast<int>(kInterval.count()) + 100);

    PaintLog log(*bar);
    QElapsedTimer burst;
    burst.start();
    // QProgressBar repaints at once on its own when its value moves; each change is let
    // through the event loop as a long run lets it.
    for (int value = 1; value <= 30; ++value) {
        bar->setValue(value);
        QCoreApplication::processEvents();
    }
    QTest::mouseClick(cancel, Qt::LeftButton);
    ASSERT_LT(burst.elapsed(), kInterval.count()) << "the burst took longer than the interval";
    EXPECT_EQ(log.paints, 1);
    EXPECT_EQ(log.lastPainted, 1);
    EXPECT_EQ(bar->value(), 30);  // the figure itself is set at once
    EXPECT_EQ(clicks, 1);         // and input goes through at once

    QTest::qWait(static_cast<int>(kInterval.count()) + 200);
    EXPECT_EQ(log.paints, 2);
    EXPECT_EQ(log.lastPainted, 30);
}

TEST(PacedPaint, AQuietWindowPaintsAtOnce)
{
    QWidget window;
    auto* bar = new QProgressBar(&window);
    bar->setRange(0, 10);
    utility::PacePaints(window, std::chrono::milliseconds(50));
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    PaintLog log(*bar);
    for (int value = 1; value <= 3; ++value) {
        QTest::qWait(120);
        const int before = log.paints;
        bar->setValue(value);
        QCoreApplication::processEvents();
        EXPECT_EQ(log.paints, before + 1);
        EXPECT_EQ(log.lastPainted, value);
    }
}

}  // namespace
