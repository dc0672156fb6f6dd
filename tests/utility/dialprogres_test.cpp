#include "utility/dialprogres.h"

#include "tests/support/modal_dialog.h"
#include "utility/cp1250.h"

#include <QElapsedTimer>
#include <QGuiApplication>
#include <QProgressBar>
#include <QScreen>
#include <QTest>
#include <QTextEdit>

#include <gtest/gtest.h>

using namespace utility;

namespace {

QProgressBar* Bar(Tf_progres& window, const char* name)
{
    return window.findChild<QProgressBar*>(QString::fromLatin1(name));
}

QString MemoOf(Tf_progres& window) { return window.findChild<QTextEdit*>(QStringLiteral("Memo1"))->toPlainText(); }

// Counts the paints of a bar and keeps the value each one showed.
class BarPaints : public QObject {
public:
    explicit BarPaints(QProgressBar& bar) : bar_(bar) { bar.installEventFilter(this); }
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (watched == &bar_ && event->type() == QEvent::Paint) {
            ++count;
            last = bar_.value();
        }
        return false;
    }
    int count = 0;
    int last = -1;

private:
    QProgressBar& bar_;
};

}  // namespace

TEST(Progress, OpenClampsTheRange)
{
    struct Case {
        int min;
        int max;
        int barMin;
        int barMax;
    };
    const Case cases[] = {
        {5, 5, 5, 6}, {-3, 10, 0, 10}, {-3, -5, 0, 1}, {2, 1, 2, 3}, {0, 100, 0, 100}, {-1, 0, 0, 1},
    };
    for (const Case& c : cases) {
        std::unique_ptr<Tf_progres> window;
        EXPECT_TRUE(ProgressOpen(c.min, c.max, "Odczyt", "Czekaj", window));
        ASSERT_NE(window, nullptr);
        QProgressBar* bar = Bar(*window, "ProgressBar1");
        EXPECT_EQ(bar->minimum(), c.barMin) << c.min << ".." << c.max;
        EXPECT_EQ(bar->maximum(), c.barMax) << c.min << ".." << c.max;
        ProgressClose(window);
    }
}

TEST(Progress, WindowAndTexts)
{
    std::unique_ptr<Tf_progres> window;
    ASSERT_TRUE(ProgressOpen(0, 10, Pl("Odczyt karty"), Pl("Czytam plik"), window));
    EXPECT_EQ(testsupport::FindTopLevel(QStringLiteral("Tf_progres")), window.get());
    EXPECT_EQ(window->windowTitle(), QString::fromUtf8("Odczyt karty"));
    EXPECT_EQ(window->size(), QSize(360, 62));
    EXPECT_TRUE(window->windowFlags().testFlag(Qt::WindowStaysOnTopHint));
    EXPECT_FALSE(window->windowFlags().testFlag(Qt::WindowCloseButtonHint));
    EXPECT_FALSE(window->isModal());
    const QRect screen = QGuiApplication::primaryScreen()->geometry();
    EXPECT_EQ(window->frameGeometry().top(), screen.top() + 120);
    EXPECT_LE(std::abs(window->frameGeometry().center().x() - screen.center().x()), 1);
    EXPECT_TRUE(Bar(*window, "ProgressBar1")->isVisible());
    EXPECT_FALSE(Bar(*window, "ProgressBar2")->isVisible());
    EXPECT_EQ(MemoOf(*window), QStringLiteral("Czytam plik"));

    ProgressStep(1, Pl("EF_Identification"), window.get());
    EXPECT_EQ(MemoOf(*window), QStringLiteral("Czytam plik\nEF_Identification"));
    ProgressStep(2, Pl("Zakończono"), window.get());
    EXPECT_EQ(MemoOf(*window), QString::fromUtf8("Czytam plik\nZakończono"));

    ProgressClose(window);
    EXPECT_EQ(window, nullptr);
    EXPECT_EQ(testsupport::FindTopLevel(QStringLiteral("Tf_progres")), nullptr);
    ProgressClose(window);
    EXPECT_EQ(window, nullptr);
}

TEST(Progress, EmptyOpeningTextHasNoHeader)
{
    std::unique_ptr<Tf_progres> window;
    ASSERT_TRUE(ProgressOpen(0, 3, "Wydruk", "", window));
    ProgressStep(1, Pl("strona 1"), window.get());
    EXPECT_EQ(MemoOf(*window), QStringLiteral("strona 1"));
    ProgressClose(window);
}

TEST(Progress, StepClampsThePosition)
{
    struct Case {
        int min;
        int max;
        int first;
        int second;
        int expected;
    };
    const Case cases[] = {
        {0, 10, 4, 4, 4},  {0, 10, 4, 25, 10},  // above the range: the end
        {5, 20, 6, 2, 5},                       // below the minimum but not negative: the start
        {0, 10, 3, -1, 3},                      // negative: the bar stays
        {0, 10, 10, 0, 0},
    };
    for (const Case& c : cases) {
        std::unique_ptr<Tf_progres> window;
        ASSERT_TRUE(ProgressOpen(c.min, c.max, "Odczyt", "", window));
        ProgressStep(c.first, "", window.get());
        ProgressStep(c.second, "", window.get());
        EXPECT_EQ(Bar(*window, "ProgressBar1")->value(), c.expected)
            << c.min << ".." << c.max << " steps " << c.first << ", " << c.second;
        ProgressClose(window);
    }
}

TEST(Progress, StepRestoresAChangedRange)
{
    std::unique_ptr<Tf_progres> window;
    ASSERT_TRUE(ProgressOpen(2, 8, "Odczyt", "", window));
    Bar(*window, "ProgressBar1")->setRange(0, 100);
    ProgressStep(50, "", window.get());
    QProgressBar* bar = Bar(*window, "ProgressBar1");
    EXPECT_EQ(bar->minimum(), 2);
    EXPECT_EQ(bar->maximum(), 8);
    EXPECT_EQ(bar->value(), 8);
    ProgressClose(window);
}

TEST(Progress, StepWithoutWindowDoesNothing)
{
    ProgressStep(3, "nic", nullptr);
    std::unique_ptr<Tf_progres> none;
    ProgressClose(none);
    EXPECT_EQ(none, nullptr);
    EXPECT_EQ(testsupport::FindTopLevel(QStringLiteral("Tf_progres")), nullptr);
}

TEST(Progress, OpenReplacesAnOpenWindow)
{
    std::unique_ptr<Tf_progres> window;
    ASSERT_TRUE(ProgressOpen(0, 5, "Pierwsze", "", window));
    ASSERT_TRUE(ProgressOpen(0, 5, "Drugie", "", window));
    EXPECT_EQ(testsupport::FindTopLevel(QStringLiteral("Tf_progres")), window.get());
    EXPECT_EQ(window->windowTitle(), QStringLiteral("Drugie"));
    ProgressClose(window);
    EXPECT_EQ(testsupport::FindTopLevel(QStringLiteral("Tf_progres")), nullptr);
}

TEST(Progress, StepsAreDrawnAtMostAboutTenTimesASecondAndTheLastOneIsShown)
{
    std::unique_ptr<Tf_progres> window;
    ASSERT_TRUE(ProgressOpen(0, 400, Pl("Podgląd"), "", window));
    ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));
    QTest::qWait(200);
    QProgressBar* bar = Bar(*window, "ProgressBar1");
    BarPaints paints(*bar);
    QElapsedTimer burst;
    burst.start();
    // The printout steps its window every 20 rows; each step used to repaint it at once.
    for (int row = 0; row < 400; row += 20)
        ProgressStep(row, "", window.get());
    const qint64 elapsed = burst.elapsed();
    EXPECT_EQ(bar->value(), 380);
    // One paint at the burst's start, then at most one a tenth of a second.
    EXPECT_LE(paints.count, 1 + elapsed / 100) << elapsed << " ms";
    QTest::qWait(300);
    EXPECT_EQ(paints.last, 380);
}

TEST(Progress, AStepThatChangesNothingDrawsNothing)
{
    std::unique_ptr<Tf_progres> window;
    ASSERT_TRUE(ProgressOpen(0, 10, "Odczyt", "", window));
    ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));
    ProgressStep(4, Pl("plik"), window.get());
    QTest::qWait(200);
    BarPaints paints(*Bar(*window, "ProgressBar1"));
    int memoPaints = 0;
    struct Counter : QObject {
        int& n;
        explicit Counter(int& count) : n(count) {}
        bool eventFilter(QObject*, QEvent* event) override
        {
            if (event->type() == QEvent::Paint)
                ++n;
            return false;
        }
    } counter(memoPaints);
    window->findChild<QTextEdit*>(QStringLiteral("Memo1"))->viewport()->installEventFilter(&counter);
    for (int i = 0; i < 5; ++i)
        ProgressStep(4, Pl("plik"), window.get());
    QTest::qWait(200);
    EXPECT_EQ(paints.count, 0);
    EXPECT_EQ(memoPaints, 0);
    EXPECT_EQ(MemoOf(*window), QStringLiteral("plik"));
}

// Opening texts set again start the memo afresh: the next step shows its text, even the text it
// showed before them.
TEST(Progress, OpeningTextsSetAgainShowTheNextStep)
{
    std::unique_ptr<Tf_progres> window;
    ASSERT_TRUE(ProgressOpen(0, 10, "Odczyt", "", window));
    ProgressStep(1, Pl("plik"), window.get());
    window->SetOpeningText("Odczyt", "");
    EXPECT_EQ(MemoOf(*window), QString());
    ProgressStep(2, Pl("plik"), window.get());
    EXPECT_EQ(MemoOf(*window), QStringLiteral("plik"));
    ProgressClose(window);
}

// A step that moves the bar or changes the text brings the window forward.
TEST(Progress, AStepThatChangesSomethingActivatesTheWindow)
{
    std::unique_ptr<Tf_progres> window;
    ASSERT_TRUE(ProgressOpen(0, 10, "Odczyt", "", window));
    ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));
    QWidget other;
    other.show();
    const auto activateOther = [&] {
        other.activateWindow();
        return QTest::qWaitForWindowActive(&other);
    };
    ASSERT_TRUE(activateOther());
    ProgressStep(3, "", window.get());
    EXPECT_TRUE(QTest::qWaitForWindowActive(window.get()));
    ASSERT_TRUE(activateOther());
    ProgressStep(3, Pl("plik"), window.get());
    EXPECT_TRUE(QTest::qWaitForWindowActive(window.get()));
    ProgressClose(window);
}
