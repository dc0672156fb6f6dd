#include "report/output/preview/rp_preview.h"

#include "tests/report/output/preview/preview_fixture.h"

#include <QCoreApplication>
#include <QDragEnterEvent>
#include <QFocusEvent>
#include <QMimeData>
#include <QMouseEvent>
#include <QScrollBar>
#include <QTest>

#include <string>
#include <utility>
#include <vector>

namespace report::output {
namespace {

using testing::DocumentText;
using testing::PreviewTest;

class RpPreviewTest : public PreviewTest {
protected:
    void SetUp() override
    {
        PreviewTest::SetUp();
        printerObject_ = std::make_unique<TRpPrinter>();
        control_ = std::make_unique<TRpPreview>();
    }
    void TearDown() override
    {
        control_.reset();
        printerObject_.reset();
        PreviewTest::TearDown();
    }

    // A control of `width` x `height` on a finished document of `pages` A4 pages.
    void Show(int width, int height, int pages = 2)
    {
        Record(Printer(), NumberedPages(pages));
        Control().resize(width, height);
        Control().SetRpPrinter(&Printer());
        Control().show();
        QCoreApplication::processEvents();
    }

    TRpPrinter& Printer() { return *printerObject_; }
    TRpPreview& Control() { return *control_; }

    std::unique_ptr<TRpPrinter> printerObject_;
    std::unique_ptr<TRpPreview> control_;
};

TEST_F(RpPreviewTest, ZoomTakesTwoToTwoThousandPercent)
{
    Show(600, 400);
    struct Row {
        int zoom;
        int result;
    };
    const Row rows[] = {{2, 2}, {1, 2}, {2000, 2000}, {2001, 2000}, {0, 2000}, {-5, 2000}, {150, 150}};
    for (const Row& row : rows) {
        SCOPED_TRACE(row.zoom);
        Control().ZoomToFit();
        const int before = Control().Zoom();
        Control().SetZoom(row.zoom);
        const bool taken = row.zoom >= 2 && row.zoom <= 2000;
        EXPECT_EQ(Control().Zoom(), taken ? row.result : before);
        EXPECT_EQ(Control().ZoomState(), taken ? TRpZoomState::rpZoomOther : TRpZoomState::rpZoomToFit);
    }
}

TEST_F(RpPreviewTest, ZoomToWidthAndToFitTakeThePagesOwnSize)
{
    // No printer is installed: the printer object has no paper of its own to go by.
    ASSERT_FALSE(Printer().PrintersPresent());
    Show(600, 400);
    Control().ZoomToWidth();
    EXPECT_EQ(Control().Zoom(), 68);  // round(600 / 794 x 90)
    EXPECT_EQ(Control().ZoomState(), TRpZoomState::rpZoomToWidth);
    // A4 is 794 x 1123 pixels at 96 dpi: the smaller of round(600 / 794 x 95) = 72 and
    // round(400 / 1123 x 95) = 34.
    Control().ZoomToFit();
    EXPECT_EQ(Control().Zoom(), 34);
    EXPECT_EQ(Control().ZoomState(), TRpZoomState::rpZoomToFit);
    Control().resize(600, 2000);
    EXPECT_EQ(Control().Zoom(), 72);  // a resize fits again
}

TEST_F(RpPreviewTest, ALandscapePageIsLaidOutAsItIs)
{
    Printer().Settings().SetPaperSize(TRpPaperSize::A4);
    Printer().Settings().SetOrientation(1);
    Printer().BeginDoc();
    Printer().NewPage();
    Printer().EndDoc();
    Control().resize(600, 400);
    Control().SetRpPrinter(&Printer());
    Control().SetZoom(100);
    EXPECT_EQ(Control().PageSizeTenths(), QSize(2970, 2100));
    EXPECT_EQ(Control().Image().size(), QSize(1123 + 4, 794 + 4));
}

TEST_F(RpPreviewTest, ASmallImageIsCentredAndALargeOneStartsAtTheTopLeft)
{
    Show(600, 400);
    Control().SetZoom(20);  // 159 x 225 pixels and the 4 of the shadow
    QCoreApplication::processEvents();
    const QRect small = Control().Image().geometry();
    EXPECT_EQ(small.size(), QSize(163, 229));
    const QSize room = Control().viewport()->size();
    // Centred to the pixel, whichever way the odd one falls.
    EXPECT_LE(std::abs(2 * small.left() + small.width() - room.width()), 1);
    EXPECT_LE(std::abs(2 * small.top() + small.height() - room.height()), 1);

    Control().SetZoom(200);
    QCoreApplication::processEvents();
    EXPECT_EQ(Control().Image().pos(), QPoint(0, 0));
    EXPECT_EQ(Control().horizontalScrollBar()->value(), 0);
    EXPECT_EQ(Control().verticalScrollBar()->value(), 0);
    EXPECT_GT(Control().verticalScrollBar()->maximum(), 0);
}

TEST_F(RpPreviewTest, PageNumbersOutsideTheDocumentAreIgnored)
{
    Show(600, 400, 3);
    Control().SetZoom(200);
    Control().verticalScrollBar()->setValue(100);
    for (const int page : {0, -1, 4, 99}) {
        Control().SetPageNumber(page);
        EXPECT_EQ(Control().PageNumber(), 1) << page;
        EXPECT_EQ(Control().verticalScrollBar()->value(), 100) << page;
    }
    Control().SetPageNumber(3);
    EXPECT_EQ(Control().PageNumber(), 3);
    EXPECT_EQ(Control().Image().PageNumber(), 3);
    EXPECT_TRUE(Control().Image().PageMetafile() != nullptr);
    EXPECT_EQ(Control().verticalScrollBar()->value(), 0);
}

TEST_F(RpPreviewTest, APageFinishedWhileShownIsReloaded)
{
    // Page 2 is open while the control shows it; it arrives with the finished-page message.
    Control().resize(600, 400);
    Control().SetRpPrinter(&Printer());
    std::vector<int> available;
    Control().OnPageAvailable = [&](TRpPreview&, int page) { available.push_back(page); };
    Record(Printer(), NumberedPages(2), false);
    QCoreApplication::processEvents();
    Control().SetPageNumber(2);
    EXPECT_EQ(Control().PageNumber(), 2);
    EXPECT_EQ(Control().Image().PageMetafile(), nullptr);
    Printer().EndDoc();
    QCoreApplication::processEvents();
    EXPECT_TRUE(Control().Image().PageMetafile() != nullptr);
    EXPECT_EQ(available, (std::vector<int>{1, 2}));
}

TEST_F(RpPreviewTest, AttachingSwitchesThePreviewOnAndDestroyingSwitchesItOff)
{
    Record(Printer(), NumberedPages(1));
    TRpPrinter other;
    Record(other, NumberedPages(1));
    {
        TRpPreview preview;
        preview.SetRpPrinter(&Printer());
        EXPECT_TRUE(Printer().PreviewActive());
        EXPECT_EQ(Printer().GetClientWindow(), &preview);
        preview.SetRpPrinter(&other);
        EXPECT_FALSE(Printer().PreviewActive());
        EXPECT_EQ(Printer().GetClientWindow(), nullptr);
        EXPECT_TRUE(other.PreviewActive());
    }
    EXPECT_FALSE(other.PreviewActive());
    EXPECT_EQ(other.GetClientWindow(), nullptr);
}

TEST_F(RpPreviewTest, APrinterObjectFreedFirstIsForgotten)
{
    auto printer = std::make_unique<TRpPrinter>();
    Record(*printer, NumberedPages(2));
    Control().SetRpPrinter(printer.get());
    printer.reset();
    EXPECT_EQ(Control().RpPrinter(), nullptr);
    Control().SetPageNumber(2);
    EXPECT_EQ(Control().PageNumber(), 1);
}

TEST_F(RpPreviewTest, ProgressIsPassedOn)
{
    Show(600, 400);
    std::vector<int> progress;
    Control().OnProgressUpdate = [&](TRpPreview&, int percent) { progress.push_back(percent); };
    Printer().SetProgress(40);
    Printer().SetProgress(60);
    QCoreApplication::processEvents();
    EXPECT_EQ(progress, (std::vector<int>{40, 60}));
}

TEST_F(RpPreviewTest, EnteringTheControlFitsThePageAgainAsAResizeDoes)
{
    Record(Printer(), NumberedPages(1));
    Control().SetRpPrinter(&Printer());
    struct Row {
        Qt::FocusReason reason;
        int zoom;
    };
    // Fitted to 600 x 400, the control grows to 600 x 2000 unseen: entering it fits it again
    // (the width then decides: round(600 / 794 x 95)); a click on the page, the window coming
    // back to the front or a menu closing is no entering.
    const Row rows[] = {
        {Qt::TabFocusReason, 72},      {Qt::BacktabFocusReason, 72}, {Qt::OtherFocusReason, 72},
        {Qt::ShortcutFocusReason, 72}, {Qt::MouseFocusReason, 34},   {Qt::ActiveWindowFocusReason, 34},
        {Qt::PopupFocusReason, 34},    {Qt::MenuBarFocusReason, 34},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.reason);
        Control().resize(600, 400);
        Control().ZoomToFit();
        Control().resize(600, 2000);
        ASSERT_EQ(Control().Zoom(), 34) << "a hidden control is laid out again only when shown";
        QFocusEvent entering(QEvent::FocusIn, row.reason);
        QCoreApplication::sendEvent(&Control(), &entering);
        EXPECT_EQ(Control().Zoom(), row.zoom);
        EXPECT_EQ(Control().ZoomState(), TRpZoomState::rpZoomToFit);
    }
}

// Logs the page events the control hands on, with the sender checked.
class PageEventLog {
public:
    explicit PageEventLog(TRpPreview& control) : control_(control) {}

    void Attach(TRpPageMouseEvents& events)
    {
        events.OnClick = [this](QWidget& sender) { Add(sender, "click"); };
        events.OnDblClick = [this](QWidget& sender) { Add(sender, "double click"); };
        events.OnMouseDown = [this](QWidget& sender, Qt::MouseButton button, Qt::KeyboardModifiers shift, QPoint at) {
            Add(sender, "down " + Button(button) + Shift(shift) + Point(at));
        };
        events.OnMouseUp = [this](QWidget& sender, Qt::MouseButton button, Qt::KeyboardModifiers shift, QPoint at) {
            Add(sender, "up " + Button(button) + Shift(shift) + Point(at));
        };
        events.OnMouseMove = [this](QWidget& sender, Qt::MouseButtons buttons, Qt::KeyboardModifiers shift, QPoint at) {
            Add(sender, std::string("move ") + (buttons & Qt::LeftButton ? "L" : "-") + Shift(shift) + Point(at));
        };
        events.OnDragOver = [this](QWidget& sender, QObject* source, QPoint at, TDragState state, bool& accept) {
            static const char* const states[] = {"enter", "leave", "move"};
            Add(sender, std::string("drag ") + states[static_cast<int>(state)] + (source ? " from" : "") +
                            (state == TDragState::dsDragLeave ? "" : Point(at)));
            accept = acceptDrops;
        };
        events.OnDragDrop = [this](QWidget& sender, QObject* source, QPoint at) {
            Add(sender, std::string("drop") + (source ? " from" : "") + Point(at));
        };
        events.OnEndDrag = [this](QWidget& sender, QObject* target, QPoint) {
            Add(sender, std::string("end drag ") + (target ? "taken" : "not taken"));
        };
    }

    std::vector<std::string> lines;
    bool acceptDrops = true;

private:
    static std::string Button(Qt::MouseButton button) { return button == Qt::LeftButton ? "L" : "R"; }
    static std::string Shift(Qt::KeyboardModifiers shift) { return shift & Qt::ShiftModifier ? " shift" : ""; }
    static std::string Point(QPoint at)
    {
        std::string text(1, ' ');
        text += std::to_string(at.x());
        text += ',';
        text += std::to_string(at.y());
        return text;
    }
    void Add(QWidget& sender, const std::string& line)
    {
        EXPECT_EQ(&sender, &control_.Image()) << line;
        lines.push_back(line);
    }

    TRpPreview& control_;
};

// Sends `page` the mouse event Qt makes of a press, release, move or double click.
void Mouse(QWidget& page, QEvent::Type type, Qt::MouseButton button, QPoint at, Qt::KeyboardModifiers shift = {})
{
    const Qt::MouseButtons held = type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::MouseButtons(button);
    QMouseEvent event(type, QPointF(at), QPointF(page.mapToGlobal(at)), button, held, shift);
    QCoreApplication::sendEvent(&page, &event);
}

TEST_F(RpPreviewTest, ClicksAndMovesOnThePageFireTheControlsEvents)
{
    PageEventLog log(Control());
    log.Attach(Control());
    Show(600, 400);
    TRpPreviewImage& page = Control().Image();
    Mouse(page, QEvent::MouseMove, Qt::NoButton, QPoint(10, 12));
    Mouse(page, QEvent::MouseButtonPress, Qt::LeftButton, QPoint(30, 40));
    Mouse(page, QEvent::MouseButtonRelease, Qt::LeftButton, QPoint(30, 40));
    // A double click as Qt gives it: the second press comes before the double click.
    Mouse(page, QEvent::MouseButtonPress, Qt::LeftButton, QPoint(31, 41));
    Mouse(page, QEvent::MouseButtonRelease, Qt::LeftButton, QPoint(31, 41));
    Mouse(page, QEvent::MouseButtonPress, Qt::LeftButton, QPoint(31, 41));
    Mouse(page, QEvent::MouseButtonDblClick, Qt::LeftButton, QPoint(31, 41));
    Mouse(page, QEvent::MouseButtonRelease, Qt::LeftButton, QPoint(31, 41));
    // The right button clicks nothing.
    Mouse(page, QEvent::MouseButtonPress, Qt::RightButton, QPoint(5, 6), Qt::ShiftModifier);
    Mouse(page, QEvent::MouseButtonRelease, Qt::RightButton, QPoint(5, 6), Qt::ShiftModifier);
    // Dragged off the page before letting go: no click.
    Mouse(page, QEvent::MouseButtonPress, Qt::LeftButton, QPoint(50, 60));
    Mouse(page, QEvent::MouseMove, Qt::LeftButton, QPoint(20, 60));
    Mouse(page, QEvent::MouseButtonRelease, Qt::LeftButton, QPoint(-3, 60));
    const std::vector<std::string> expected = {
        "move - 10,12", "down L 30,40", "click",        "up L 30,40", "down L 31,41",     "click",
        "up L 31,41",   "down L 31,41", "double click", "up L 31,41", "down R shift 5,6", "up R shift 5,6",
        "down L 50,60", "move L 20,60", "up L -3,60",
    };
    EXPECT_EQ(log.lines, expected);
}

TEST_F(RpPreviewTest, DragsOverThePageFireTheControlsEvents)
{
    PageEventLog log(Control());
    log.Attach(Control());
    Show(600, 400);
    TRpPreviewImage& page = Control().Image();
    QMimeData data;
    data.setText(QStringLiteral("x"));
    enum class End { Drop, Leave };
    struct Row {
        bool accept;
        End end;
        std::vector<std::string> lines;
    };
    // Once entered the page hears of every move whatever it answers; only a yes takes the drop.
    const Row rows[] = {
        {true, End::Drop, {"drag enter 20,30", "drag move 21,31", "drop 21,31"}},
        {false, End::Drop, {"drag enter 20,30", "drag move 21,31"}},
        {true, End::Leave, {"drag enter 20,30", "drag move 21,31", "drag leave"}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(::testing::Message() << row.accept << (row.end == End::Drop ? " drop" : " leave"));
        log.lines.clear();
        log.acceptDrops = row.accept;
        QDragEnterEvent enter(QPoint(20, 30), Qt::CopyAction, &data, Qt::LeftButton, {});
        QCoreApplication::sendEvent(&page, &enter);
        EXPECT_TRUE(enter.isAccepted());
        EXPECT_EQ(enter.dropAction(), row.accept ? Qt::CopyAction : Qt::IgnoreAction);
        QDragMoveEvent move(QPoint(21, 31), Qt::CopyAction, &data, Qt::LeftButton, {});
        QCoreApplication::sendEvent(&page, &move);
        EXPECT_EQ(move.isAccepted(), row.accept);
        if (row.end == End::Drop) {
            QDropEvent drop(QPointF(21, 31), Qt::CopyAction, &data, Qt::LeftButton, {});
            QCoreApplication::sendEvent(&page, &drop);
            EXPECT_EQ(drop.isAccepted(), row.accept);
        } else {
            QDragLeaveEvent leave;
            QCoreApplication::sendEvent(&page, &leave);
        }
        EXPECT_EQ(log.lines, row.lines);
    }
    // A drag begun on the page ends with nothing taking it here.
    log.lines.clear();
    page.BeginDrag();
    EXPECT_EQ(log.lines, std::vector<std::string>{"end drag not taken"});
}

TEST_F(RpPreviewTest, WithoutAHandlerThePageTakesNoDrop)
{
    Show(600, 400);
    QMimeData data;
    QDragEnterEvent enter(QPoint(20, 30), Qt::CopyAction, &data, Qt::LeftButton, {});
    QCoreApplication::sendEvent(&Control().Image(), &enter);
    EXPECT_FALSE(enter.isAccepted());
}

TEST_F(RpPreviewTest, TheControlsLinkEventsAreThePages)
{
    std::vector<std::pair<TRpHyperlinkEventType, QString>> events;
    Control().SetOnHyperlink([&](TRpPrinter* sender, TRpHyperlinkEventType type, const QString& link, bool& handled) {
        EXPECT_EQ(sender, &Printer());
        events.emplace_back(type, link);
        handled = true;
    });
    Show(600, 400);
    EXPECT_TRUE(Control().OnHyperlink());
    Control().Image().SetLinks(std::vector<TRpLinkRecord>{{10, 10, 50, 50, QStringLiteral("INT:row=2")}});
    QTest::mouseMove(&Control().Image(), QPoint(20, 20));
    QTest::mouseClick(&Control().Image(), Qt::LeftButton, {}, QPoint(20, 20));
    const std::vector<std::pair<TRpHyperlinkEventType, QString>> expected = {
        {TRpHyperlinkEventType::heCursorMoveOver, QStringLiteral("INT:row=2")},
        {TRpHyperlinkEventType::heGoto, QStringLiteral("INT:row=2")},
    };
    EXPECT_EQ(events, expected);
}

TEST_F(RpPreviewTest, TheOutlineFillsTheTreeGiven)
{
    Show(600, 400);
    Printer().PageList().Outline().Add(TRpOutlineEntry{"Rozdzia\xB3", 1, 0, 0, 0, 0, 1, 1});
    QTreeWidget tree;
    Control().SetOutline(&tree);
    ASSERT_EQ(tree.topLevelItemCount(), 1);
    EXPECT_EQ(tree.topLevelItem(0)->text(0), QString::fromUtf8("Rozdział"));
    EXPECT_EQ(Control().Outline(), &tree);
    // The tree follows the outline, and the outline of a printer object given later.
    Printer().PageList().Outline().Add(TRpOutlineEntry{"Podrozdzia\xB3", 2, 0, 0, 0, 0, 1, 2});
    ASSERT_EQ(tree.topLevelItemCount(), 1);
    EXPECT_EQ(tree.topLevelItem(0)->childCount(), 1);
    TRpPrinter other;
    other.PageList().Outline().Add(TRpOutlineEntry{"Inny", 1, 0, 0, 0, 0, 1, 3});
    Control().SetRpPrinter(&other);
    ASSERT_EQ(tree.topLevelItemCount(), 1);
    EXPECT_EQ(tree.topLevelItem(0)->text(0), QStringLiteral("Inny"));
    Control().SetRpPrinter(nullptr);
}

}  // namespace
}  // namespace report::output
