#include "report/output/preview/rp_standard_preview.h"

#include "report/output/export/export_filter_library.h"
#include "report/output/viewer/search_dialog.h"
#include "tests/report/output/preview/preview_fixture.h"
#include "tests/support/message_recorder.h"
#include "tests/support/modal_dialog.h"
#include "utility/cp1250.h"

#include <QAccessible>
#include <QAction>
#include <QCheckBox>
#include <QClipboard>
#include <QCoreApplication>
#include <QFileDialog>
#include <QGuiApplication>
#include <QInputDialog>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QListWidget>
#include <QPushButton>
#include <QScrollBar>
#include <QTabWidget>
#include <QTest>
#include <QToolButton>

#include <fstream>

namespace report::output {
namespace {

using testing::DocumentText;
using testing::FakePreviewedReport;
using testing::PreviewTest;
using testsupport::OnModalDialog;

class StandardPreviewTest : public PreviewTest {
protected:
    void SetUp() override
    {
        PreviewTest::SetUp();
        report_ = std::make_unique<FakePreviewedReport>();
        report_->options.PrevInitialZoom = TRpZoomState::rpZoomOther;
        report_->options.Zoom = 100;
        report_->options.PreviewWidth = 700;
        report_->options.PreviewHeight = 500;
    }
    void TearDown() override
    {
        CloseWindows();
        report_.reset();
        PreviewTest::TearDown();
    }

    // A printer object of the report, owned by it, with `pages`.
    TRpPrinter& ReportPrinter(const DocumentText& pages, bool finish = true)
    {
        report_->owned = std::make_unique<TRpPrinter>(report_.get());
        report_->owned->SetReportWindow(report_.get());
        Record(*report_->owned, pages, finish);
        return *report_->owned;
    }

    static void Press(TRpStandardPreview& window, const char* command) { window.Command(command)->trigger(); }
    static QString PagePanel(TRpStandardPreview& window) { return window.StatusPanel(1).text(); }
    // A key given to the widget that has the focus inside the window.
    static void Key(TRpStandardPreview& window, Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
    {
        QWidget* target = window.focusWidget() ? window.focusWidget() : &window;
        QTest::keyClick(target, key, modifiers);
    }
    static void Search(TRpStandardPreview& window, const char* utf8, bool matchCase)
    {
        OnModalDialog([utf8, matchCase](QDialog& dialog) {
            auto& search = dynamic_cast<TSearchDlg&>(dialog);
            search.Edit1->setText(QString::fromUtf8(utf8));
            search.CheckBox1->setChecked(matchCase);
            search.SpeedButton2->click();
        });
        Press(window, "FindButton");
    }
    static QStringList ResultLines(TRpStandardPreview& window)
    {
        auto* list = window.findChild<QListWidget*>(QStringLiteral("SearchResultBox"));
        QStringList lines;
        for (int i = 0; i < list->count(); ++i)
            lines << list->item(i)->text();
        return lines;
    }

    std::unique_ptr<FakePreviewedReport> report_;
};

TEST_F(StandardPreviewTest, KeysPageThroughAFinishedDocumentWhateverHasTheFocus)
{
    TRpStandardPreview& window = Open(ReportPrinter(NumberedPages(5)));
    // The thumbnail list has the focus: it would take these keys for itself.
    window.findChild<QListView*>(QStringLiteral("ThumbGrid"))->setFocus();
    struct Row {
        Qt::Key key;
        Qt::KeyboardModifiers modifiers;
        int page;
    };
    const Row rows[] = {
        {Qt::Key_End, Qt::NoModifier, 5},
        {Qt::Key_Home, Qt::NoModifier, 1},
        {Qt::Key_PageDown, Qt::ControlModifier, 5},
        {Qt::Key_PageUp, Qt::ControlModifier, 1},
        {Qt::Key_PageDown, Qt::NoModifier, 2},
        {Qt::Key_PageDown, Qt::NoModifier, 3},
        {Qt::Key_PageUp, Qt::NoModifier, 2},
        {Qt::Key_PageDown, Qt::ShiftModifier, 3},
        {Qt::Key_PageUp, Qt::ControlModifier | Qt::ShiftModifier, 2},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.key);
        Key(window, row.key, row.modifiers);
        EXPECT_EQ(window.Preview().PageNumber(), row.page);
        EXPECT_EQ(PagePanel(window), QStringLiteral("Page %1 of 5").arg(row.page));
    }
    // The thumbnail list follows without paging back.
    EXPECT_EQ(window.findChild<QListView*>(QStringLiteral("ThumbGrid"))->currentIndex().row(), 1);
}

TEST_F(StandardPreviewTest, WhileTheDocumentIsMadeTheLastPageIsTheLastCompleteOne)
{
    TRpStandardPreview& window = Open(ReportPrinter(NumberedPages(3), false));
    window.LastPageClick();
    EXPECT_EQ(window.Preview().PageNumber(), 2);
    EXPECT_FALSE(window.Command("Print")->isEnabled());
    EXPECT_FALSE(window.Command("FindButton")->isEnabled());
    EXPECT_TRUE(window.Command("CancelButton")->isEnabled());
    // The window stays while the document is made.
    window.close();
    EXPECT_TRUE(window.isVisible());
}

TEST_F(StandardPreviewTest, UpAndDownScrollAndTurnPagesAtTheirEnds)
{
    TRpStandardPreview& window = Open(ReportPrinter(NumberedPages(3)));
    QScrollBar* bar = window.Preview().verticalScrollBar();
    ASSERT_GT(bar->maximum(), bar->singleStep());
    ASSERT_EQ(bar->singleStep(), 43);

    Key(window, Qt::Key_Up);  // atop page 1: nowhere to go
    EXPECT_EQ(window.Preview().PageNumber(), 1);
    EXPECT_EQ(bar->value(), 0);
    Key(window, Qt::Key_Down);
    EXPECT_EQ(bar->value(), 43);

    window.NextPageClick();
    bar->setValue(bar->maximum());
    Key(window, Qt::Key_Down);  // at the bottom of page 2
    EXPECT_EQ(window.Preview().PageNumber(), 3);
    EXPECT_EQ(bar->value(), 0);
    Key(window, Qt::Key_Up);  // at the top of page 3
    EXPECT_EQ(window.Preview().PageNumber(), 2);
    EXPECT_EQ(bar->value(), bar->maximum() - 43);
    EXPECT_EQ(PagePanel(window), QStringLiteral("Page 2 of 3"));
}

TEST_F(StandardPreviewTest, TheWheelActsAsUpAndDown)
{
    TRpStandardPreview& window = Open(ReportPrinter(NumberedPages(3)));
    QWidget* page = window.Preview().viewport();
    QScrollBar* bar = window.Preview().verticalScrollBar();
    const QPoint at = page->rect().center();
    const auto turn = [&](int delta) {
        QWheelEvent wheel(at, page->mapToGlobal(at), QPoint(), QPoint(0, delta), Qt::NoButton, Qt::NoModifier,
                          Qt::NoScrollPhase, false);
        QCoreApplication::sendEvent(page, &wheel);
    };
    turn(-120);
    EXPECT_EQ(bar->value(), 43);
    turn(0);
    EXPECT_EQ(bar->value(), 43);
    turn(120);
    EXPECT_EQ(bar->value(), 0);
    turn(120);
    EXPECT_EQ(window.Preview().PageNumber(), 1);
    bar->setValue(bar->maximum());
    turn(-120);
    EXPECT_EQ(window.Preview().PageNumber(), 2);
}

TEST_F(StandardPreviewTest, GoToPageTakesANumberInRangeElsePageOne)
{
    TRpStandardPreview& window = Open(ReportPrinter(NumberedPages(5)));
    struct Row {
        const char* answer;  // nullptr: the box is cancelled
        int page;
    };
    const Row rows[] = {{"3", 3}, {"0", 1}, {"4", 4}, {"99", 1}, {"5", 5}, {"ab", 1}, {" 2 ", 2}, {nullptr, 2}};
    for (const Row& row : rows) {
        SCOPED_TRACE(row.answer ? row.answer : "cancel");
        OnModalDialog([&row](QDialog& dialog) {
            auto& box = dynamic_cast<QInputDialog&>(dialog);
            EXPECT_EQ(box.windowTitle(), QStringLiteral("Select a page from 1 to 5"));
            EXPECT_EQ(box.labelText(), QStringLiteral("Enter page number"));
            if (row.answer) {
                box.setTextValue(QString::fromLatin1(row.answer));
                box.accept();
            } else {
                box.setTextValue(QStringLiteral("4"));
                box.reject();
            }
        });
        Press(window, "GotoPageButton");
        EXPECT_EQ(window.Preview().PageNumber(), row.page);
    }
}

TEST_F(StandardPreviewTest, TheStatusBarCountsPages)
{
    TRpStandardPreview& window = Open(ReportPrinter(NumberedPages(1)));
    EXPECT_EQ(PagePanel(window), QStringLiteral("Page 1 of 1"));
    EXPECT_EQ(window.StatusPanel(2).text(), QStringLiteral("Lista"));
    EXPECT_EQ(window.windowTitle(), QStringLiteral("Report Preview : Lista"));
}

TEST_F(StandardPreviewTest, SearchListsThePagesThatHoldTheText)
{
    DocumentText pages = NumberedPages(6);
    pages[1].push_back("KOD ABC");
    pages[3].push_back(utility::Pl("Miasto ŁÓDŹ"));
    pages[4].push_back("kod abc, " + utility::Pl("łódź"));
    TRpStandardPreview& window = Open(ReportPrinter(pages));
    auto* results = window.findChild<QListWidget*>(QStringLiteral("SearchResultBox"));
    auto* label = window.findChild<QLabel*>(QStringLiteral("SearchTextLabel"));

    struct Row {
        const char* text;
        bool matchCase;
        QStringList lines;
    };
    const Row rows[] = {
        {"abc", false, {"Page 2", "Page 5"}}, {"abc", true, {"Page 5"}}, {"łódź", false, {"Page 4", "Page 5"}},
        {"ŁÓDŹ", true, {"Page 4"}},           {"B", true, {"Page 2"}},   {"xyz", false, {"No matching text"}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.text);
        Search(window, row.text, row.matchCase);
        EXPECT_EQ(ResultLines(window), row.lines);
        EXPECT_EQ(label->text(), QString::fromUtf8(row.text));
        EXPECT_EQ(results->isEnabled(), row.lines.front() != QStringLiteral("No matching text"));
    }

    Search(window, "abc", false);
    // The search does not bring its page forward: the user does.
    auto* tabs = window.findChild<QTabWidget*>(QStringLiteral("Tabs"));
    EXPECT_EQ(tabs->currentIndex(), 0);
    tabs->setCurrentIndex(1);
    QTest::mouseClick(results->viewport(), Qt::LeftButton, {}, results->visualItemRect(results->item(1)).center());
    EXPECT_EQ(window.Preview().PageNumber(), 5);
    EXPECT_EQ(PagePanel(window), QStringLiteral("Page 5 of 6"));
}

TEST_F(StandardPreviewTest, ACancelledSearchKeepsTheResults)
{
    TRpStandardPreview& window = Open(ReportPrinter(NumberedPages(3)));
    Search(window, "Page 3", false);
    OnModalDialog([](QDialog& dialog) { dynamic_cast<TSearchDlg&>(dialog).SpeedButton1->click(); });
    Press(window, "FindButton");
    EXPECT_EQ(ResultLines(window), QStringList{QStringLiteral("Page 3")});
}

TEST_F(StandardPreviewTest, TheSearchDialogHasItsTexts)
{
    TSearchDlg dialog;
    EXPECT_EQ(dialog.windowTitle(), QStringLiteral("Search for Text"));
    EXPECT_EQ(dialog.Label1->text(), QStringLiteral("Search Text"));
    EXPECT_EQ(dialog.CheckBox1->text(), QStringLiteral("Match case"));
    EXPECT_EQ(dialog.SpeedButton1->text(), QStringLiteral("Cancel"));
    EXPECT_EQ(dialog.SpeedButton2->text(), QStringLiteral("Search"));
    EXPECT_TRUE(dialog.Cancelled());
}

TEST_F(StandardPreviewTest, ButtonsCarryTheirHintsForScreenReaders)
{
    TRpStandardPreview& window = Open(ReportPrinter(NumberedPages(5)));
    const std::pair<const char*, const char*> hints[] = {
        {"ZoomFit", "Zoom to fit"},
        {"ZoomToWidth", "Zoom to width"},
        {"Zoom100", "100% Size"},
        {"FirstPage", "First page"},
        {"PreviousPage", "Previous page"},
        {"nextPage", "Next page"},
        {"LastPage", "Last page"},
        {"GotoPageButton", "Select a Page"},
        {"FindButton", "Search for Text"},
        {"copybutton", "Copy page to clipboard"},
        {"PrintSetup", "Printer setup"},
        {"Print", "Print"},
        {"LoadReport", "Load report"},
        {"SaveReport", "Save report"},
        {"CancelButton", "Cancel the report"},
    };
    for (const auto& [name, hint] : hints) {
        SCOPED_TRACE(name);
        auto* button = window.findChild<QToolButton*>(QString::fromLatin1(name));
        ASSERT_NE(button, nullptr);
        QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(button);
        ASSERT_NE(accessible, nullptr);
        EXPECT_EQ(accessible->text(QAccessible::Name), QString::fromLatin1(hint));
        EXPECT_EQ(button->toolTip(), QString::fromLatin1(hint));
    }
    auto* exit = window.findChild<QPushButton*>(QStringLiteral("ExitButton"));
    ASSERT_NE(exit, nullptr);
    EXPECT_EQ(QAccessible::queryAccessibleInterface(exit)->text(QAccessible::Name), QStringLiteral("Close"));
    EXPECT_EQ(exit->toolTip(), QStringLiteral("Close Preview"));

    QAccessibleInterface* next =
        QAccessible::queryAccessibleInterface(window.findChild<QToolButton*>(QStringLiteral("nextPage")));
    ASSERT_NE(next->actionInterface(), nullptr);
    next->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
    EXPECT_TRUE(QTest::qWaitFor([&] { return PagePanel(window) == QStringLiteral("Page 2 of 5"); }));

    auto* tabs = window.findChild<QTabWidget*>(QStringLiteral("Tabs"));
    EXPECT_EQ(tabs->tabText(0), QStringLiteral("ThumbNails"));
    EXPECT_EQ(tabs->tabText(1), QStringLiteral("Search Results"));
}

TEST_F(StandardPreviewTest, ItOpensAfterTheRunWithEveryCommandButCancel)
{
    TRpStandardPreview& window = Open(ReportPrinter(NumberedPages(2)));
    for (const char* name :
         {"ZoomFit", "ZoomToWidth", "Zoom100", "FirstPage", "PreviousPage", "nextPage", "LastPage", "GotoPageButton",
          "FindButton", "copybutton", "PrintSetup", "Print", "LoadReport", "SaveReport"})
        EXPECT_TRUE(window.Command(name)->isEnabled()) << name;
    EXPECT_FALSE(window.Command("CancelButton")->isEnabled());
    EXPECT_TRUE(window.Command("Zoom100")->isChecked());
    EXPECT_EQ(report_->events.front().first, TStandPrevEventType::spOpen);
}

TEST_F(StandardPreviewTest, PanesFollowTheReportsChoices)
{
    struct Row {
        bool thumbs, search;
    };
    for (const Row row : {Row{true, true}, Row{true, false}, Row{false, true}, Row{false, false}}) {
        SCOPED_TRACE(std::to_string(row.thumbs) + std::to_string(row.search));
        report_->options.PrevShowThumbs = row.thumbs;
        report_->options.PrevShowSearch = row.search;
        TRpStandardPreview& window = Open(ReportPrinter(NumberedPages(2)));
        auto* tabs = window.findChild<QTabWidget*>(QStringLiteral("Tabs"));
        EXPECT_EQ(tabs->isVisible(), row.thumbs || row.search);
        EXPECT_EQ(tabs->isTabVisible(0), row.thumbs);
        EXPECT_EQ(tabs->isTabVisible(1), row.search);
        EXPECT_EQ(window.findChild<QToolButton*>(QStringLiteral("FindButton"))->isVisible(), row.search);
        CloseWindows();
    }
}

TEST_F(StandardPreviewTest, ThumbnailsShowEveryPageAndPageWhenChosen)
{
    TRpStandardPreview& window = Open(ReportPrinter(NumberedPages(4)));
    auto* grid = window.findChild<QListView*>(QStringLiteral("ThumbGrid"));
    QAbstractItemModel* model = grid->model();
    ASSERT_EQ(model->rowCount(), 4);
    EXPECT_EQ(model->data(model->index(2, 0), Qt::DisplayRole).toString(), QStringLiteral("3"));
    const QImage picture = model->data(model->index(2, 0), Qt::DecorationRole).value<QImage>();
    ASSERT_FALSE(picture.isNull());
    EXPECT_EQ(picture.size(), grid->iconSize());
    EXPECT_GT(picture.height(), picture.width());  // A4 upright
    grid->setCurrentIndex(model->index(2, 0));
    EXPECT_EQ(window.Preview().PageNumber(), 3);
    EXPECT_EQ(PagePanel(window), QStringLiteral("Page 3 of 4"));
}

TEST_F(StandardPreviewTest, PagesArrivingWhileTheDocumentIsMade)
{
    report_->pagesInPreview = 3;
    TRpPrinter& printer = ReportPrinter(NumberedPages(2), false);
    TRpStandardPreview& window = Open(printer);
    auto* grid = window.findChild<QListView*>(QStringLiteral("ThumbGrid"));
    printer.NewPage();  // page 2 is complete, 3 is open
    QCoreApplication::processEvents();
    EXPECT_EQ(grid->model()->rowCount(), 2);
    EXPECT_FALSE(window.Command("LastPage")->isEnabled());
    EXPECT_TRUE(window.Command("CancelButton")->isEnabled());
    EXPECT_EQ(report_->stopRequests, 1);  // three pages are there
    printer.EndDoc();
    QCoreApplication::processEvents();
    EXPECT_EQ(grid->model()->rowCount(), 3);
    EXPECT_TRUE(window.Command("LastPage")->isEnabled());
    EXPECT_FALSE(window.Command("CancelButton")->isEnabled());
    EXPECT_EQ(PagePanel(window), QStringLiteral("Page 1 of 3"));
}

TEST_F(StandardPreviewTest, ProgressShowsInStepsOfFive)
{
    TRpPrinter& printer = ReportPrinter(NumberedPages(1), false);
    TRpStandardPreview& window = Open(printer);
    struct Row {
        int percent;
        const char* shown;
    };
    const Row rows[] = {{3, "0%"}, {5, "5%"}, {7, "5%"}, {10, "10%"}, {40, "40%"}, {100, ""}};
    for (const Row& row : rows) {
        printer.SetProgress(row.percent);
        QCoreApplication::processEvents();
        EXPECT_EQ(window.StatusPanel(0).text(), QString::fromLatin1(row.shown)) << row.percent;
    }
}

TEST_F(StandardPreviewTest, CopyPutsThePageOnTheClipboard)
{
    DocumentText pages = {{"Jazda", "Odpoczynek"}};
    TRpStandardPreview& window = Open(ReportPrinter(pages));
    QGuiApplication::clipboard()->clear();
    Press(window, "copybutton");
    const QImage copied = QGuiApplication::clipboard()->image();
    ASSERT_EQ(copied.size(), QSize(794, 1123));
    int ink = 0;
    for (int y = 0; y < 100; ++y)
        for (int x = 0; x < 200; ++x)
            ink += qGray(copied.pixel(x, y)) < 128;
    EXPECT_GT(ink, 20);
}

TEST_F(StandardPreviewTest, CommandsTheReportTakesAreLeftToIt)
{
    report_->handles = {TStandPrevEventType::spCopy, TStandPrevEventType::spPrint, TStandPrevEventType::spCancel};
    TRpStandardPreview& window = Open(ReportPrinter(NumberedPages(2)));
    QGuiApplication::clipboard()->clear();
    Press(window, "copybutton");
    Press(window, "Print");
    window.CancelButtonClick();
    EXPECT_TRUE(QGuiApplication::clipboard()->image().isNull());
    EXPECT_EQ(report_->prints, 0);
    EXPECT_FALSE(window.RpPrinter()->Cancelled());
    const std::vector<std::pair<TStandPrevEventType, std::string>> offered = {
        {TStandPrevEventType::spOpen, ""},
        {TStandPrevEventType::spCopy, "Copy"},
        {TStandPrevEventType::spPrint, "Print"},
        {TStandPrevEventType::spCancel, "Cancel"},
    };
    EXPECT_EQ(report_->events, offered);
}

TEST_F(StandardPreviewTest, PrintRunsTheReportAgainAndTheWindowWaitsForIt)
{
    TRpStandardPreview& window = Open(ReportPrinter(NumberedPages(2)));
    bool stayed = false;
    report_->duringPrint = [&] {
        // Esc, pumped while the report prints, finds a window that will not close under it.
        QTest::keyClick(&window, Qt::Key_Escape);
        stayed = window.isVisible();
    };
    Press(window, "Print");
    EXPECT_EQ(report_->prints, 1);
    EXPECT_TRUE(stayed);
    EXPECT_TRUE(window.isVisible());
}

TEST_F(StandardPreviewTest, ClosingHandsThePrinterObjectBackToTheReport)
{
    QPointer<TRpPrinter> printer = &ReportPrinter(NumberedPages(2));
    QPointer<TRpStandardPreview> window = &Open(*printer);
    Key(*window, Qt::Key_Escape);
    EXPECT_EQ(report_->closeMessages, 1);
    EXPECT_TRUE(printer.isNull());
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(window.isNull());
}

TEST_F(StandardPreviewTest, ThePrinterObjectsPreviewOpensTheWindow)
{
    InitializePreviewUnit();
    TRpPrinter& printer = ReportPrinter(NumberedPages(2));
    bool opened = false;
    OnModalDialog([&](QDialog& dialog) {
        opened = dialog.objectName() == QStringLiteral("TRpStandardPreview") && dialog.isModal();
        EXPECT_EQ(dynamic_cast<TRpStandardPreview&>(dialog).StatusPanel(1).text(), QStringLiteral("Page 1 of 2"));
        dialog.close();
    });
    QPointer<TRpPrinter> alive = &printer;
    printer.PreviewModal();
    EXPECT_TRUE(opened);
    EXPECT_TRUE(alive.isNull());  // the report let go of it when the window closed
    FinalizePreviewUnit();
}

TEST_F(StandardPreviewTest, APrinterObjectWithoutAReportIsShownAtOneHundredPercent)
{
    TRpPrinter printer;
    printer.SetTitle(QStringLiteral("Bez raportu"));
    Record(printer, NumberedPages(2));
    TRpStandardPreview& window = Open(printer);
    EXPECT_EQ(window.Preview().Zoom(), 100);
    EXPECT_TRUE(window.isMaximized());
    EXPECT_EQ(window.windowTitle(), QStringLiteral("Report Preview : Bez raportu"));
    window.close();
    EXPECT_FALSE(printer.PreviewActive());
}

}  // namespace
}  // namespace report::output

namespace report::output {
namespace {

class PreviewFilesTest : public StandardPreviewTest {
protected:
    // Answers the next file dialog with `file`, or cancels it.
    static void ChooseFile(const std::filesystem::path& file, int filterLine = 1)
    {
        OnModalDialog([file, filterLine](QDialog& dialog) {
            auto& files = dynamic_cast<QFileDialog&>(dialog);
            EXPECT_TRUE(files.testOption(QFileDialog::DontUseNativeDialog));
            files.selectNameFilter(files.nameFilters().value(filterLine - 1));
            files.selectFile(QString::fromStdU16String(file.u16string()));
            dialog.accept();  // the file dialog's own accept, which reads the name
        });
    }
};

TEST_F(PreviewFilesTest, ALoadedReportFileIsShownAndPrintedAsRecorded)
{
    const std::filesystem::path file = SaveReportFile("loaded.rpp", NumberedPages(3));
    TRpStandardPreview& window = Open(ReportPrinter(NumberedPages(5)));
    window.LastPageClick();
    ChooseFile(file);
    Press(window, "LoadReport");
    EXPECT_EQ(window.RpPrinter()->PageCount(), 3);
    EXPECT_EQ(window.Preview().PageNumber(), 1);
    EXPECT_EQ(PagePanel(window), QStringLiteral("Page 1 of 3"));
    EXPECT_EQ(window.StatusPanel(2).text(), QString::fromStdU16String(file.u16string()));
    EXPECT_EQ(window.findChild<QListView*>(QStringLiteral("ThumbGrid"))->model()->rowCount(), 3);
    ASSERT_TRUE(report_->paper.has_value());
    EXPECT_EQ(*report_->paper, std::make_pair(TRpPaperSize::A4, 0));
    EXPECT_TRUE(window.Command("Print")->isEnabled());
    EXPECT_TRUE(window.Command("SaveReport")->isEnabled());
    // The loaded pages are printed as they are, not by running the report again.
    Press(window, "Print");
    EXPECT_EQ(report_->prints, 0);
    Search(window, "Page 3", true);
    EXPECT_EQ(ResultLines(window), QStringList{QStringLiteral("Page 3")});
}

TEST_F(PreviewFilesTest, AFileThatCannotBeLoadedLeavesThePagesOnShow)
{
    const std::filesystem::path bad = folder_ / "bad.rpp";
    {
        std::ofstream out(bad, std::ios::binary);
        out << std::string(300, 'x');
    }
    const std::filesystem::path missing = folder_ / "missing.rpp";
    struct Row {
        std::filesystem::path file;
        const char* message;  // nullptr: the loader's own
    };
    for (const Row& row : {Row{bad, nullptr}, Row{missing, "File does not exist"}}) {
        SCOPED_TRACE(row.file.string());
        testsupport::MessageRecorder messages;
        TRpStandardPreview& window = Open(ReportPrinter(NumberedPages(4)));
        window.NextPageClick();
        ChooseFile(row.file);
        Press(window, "LoadReport");
        ASSERT_EQ(messages.Messages().size(), 1u);
        EXPECT_EQ(messages.Messages()[0].kind, utility::MessageKind::Error);
        if (row.message) {
            EXPECT_EQ(messages.Messages()[0].text, row.message);
        }
        EXPECT_EQ(window.RpPrinter()->PageCount(), 4);
        EXPECT_FALSE(window.RpPrinter()->ReportFileLoaded());
        EXPECT_EQ(window.Preview().PageNumber(), 2);
        EXPECT_TRUE(window.Preview().Image().PageMetafile() != nullptr);
        EXPECT_EQ(PagePanel(window), QStringLiteral("Page 2 of 4"));
        EXPECT_FALSE(report_->paper.has_value());
        CloseWindows();
    }
}

TEST_F(PreviewFilesTest, AReportFileIsSavedByItsName)
{
    TRpStandardPreview& window = Open(ReportPrinter(NumberedPages(2)));
    ChooseFile(folder_ / "saved.rpp");
    Press(window, "SaveReport");
    TRpPrinter reader;
    std::string error;
    ASSERT_TRUE(reader.LoadRecordedDocument(folder_ / "saved.rpp", error)) << error;
    EXPECT_EQ(reader.PageCount(), 2);
}

TEST_F(PreviewFilesTest, PrinterSetUpGoesToThePrinterObjectAndTheReport)
{
    UseOfficePrinter();
    struct Row {
        int bin;
        bool loaded;
        bool customBin;
    };
    for (const Row row : {Row{2, false, false}, Row{15, false, true}, Row{2, true, false}}) {
        SCOPED_TRACE(std::to_string(row.bin) + (row.loaded ? " loaded" : ""));
        report_->settings = TRpPrinterSettings{};
        TRpPrinterSettings chosen;
        chosen.PrinterIndex = 0;
        chosen.Copies = 3;
        chosen.CustomBinCode = row.bin;
        chosen.Collate = 1;
        chosen.FirstPage = 2;
        chosen.LastPage = 3;
        chosen.PrintQuality = 300;
        report_->setupAnswer = chosen;
        TRpPrinter& printer = ReportPrinter(NumberedPages(3));
        if (row.loaded)
            printer.SetReportFileLoaded(true);
        TRpStandardPreview& window = Open(printer);
        Press(window, "PrintSetup");
        EXPECT_EQ(report_->setups, 1);
        EXPECT_EQ(printer.Settings().Copies(), 3);  // the printer declares copies
        EXPECT_EQ(printer.Settings().Collate(), 1);
        EXPECT_EQ(printer.Settings().PrintQuality(), 300);
        EXPECT_EQ(printer.Settings().UseCustomBinCode(), row.customBin);
        if (row.customBin) {
            EXPECT_EQ(printer.Settings().CustomBinCode(), 15);
        }
        EXPECT_EQ(printer.FirstPage(), 2);
        EXPECT_EQ(printer.LastPage(), 3);
        const TRpPrinterSettings& kept = report_->settings;
        if (row.loaded) {
            EXPECT_EQ(kept.Copies, 1);  // a loaded file's choices are not the report's
        } else {
            EXPECT_EQ(kept.Copies, 3);
            EXPECT_EQ(kept.FirstPage, 2);
            EXPECT_EQ(kept.LastPage, 3);
            EXPECT_EQ(kept.UseCustomBinCode, row.customBin);
            EXPECT_EQ(row.customBin ? kept.CustomBinCode : static_cast<int>(kept.OutputBin), row.customBin ? 15 : 2);
        }
        CloseWindows();
        report_->setups = 0;
    }
}

TEST_F(PreviewFilesTest, ACancelledPrinterSetUpChangesNothing)
{
    UseOfficePrinter();
    TRpPrinter& printer = ReportPrinter(NumberedPages(1));
    TRpStandardPreview& window = Open(printer);
    const int copies = printer.Settings().Copies();
    Press(window, "PrintSetup");
    EXPECT_EQ(report_->setups, 1);
    EXPECT_EQ(printer.Settings().Copies(), copies);
    EXPECT_EQ(printer.FirstPage(), 0);
    EXPECT_EQ(report_->settings.Copies, 1);
}

}  // namespace
}  // namespace report::output

namespace report::output {
namespace {

TEST_F(PreviewFilesTest, ANameOfAnUnknownKindIsRefusedWithAMessage)
{
    TRpStandardPreview& window = Open(ReportPrinter(NumberedPages(2)));
    const std::pair<const char*, const char*> names[] = {{"raport.pdfx", ".PDFX"}, {"raport.txt", ".TXT"}};
    for (const auto& [name, kind] : names) {
        SCOPED_TRACE(name);
        testsupport::MessageRecorder messages;
        ChooseFile(folder_ / name);
        Press(window, "SaveReport");
        ASSERT_EQ(messages.Messages().size(), 1u);
        EXPECT_EQ(messages.Messages()[0].kind, utility::MessageKind::Error);
        EXPECT_NE(messages.Messages()[0].text.find(kind), std::string::npos);
        EXPECT_FALSE(std::filesystem::exists(folder_ / name));
    }
    EXPECT_EQ(report_->exports, 0);
}

}  // namespace
}  // namespace report::output

namespace report::output {
namespace {

// A filter that writes nothing: what it was made for is what the test looks at.
class NamedFilter : public TRpExportFilter {
public:
    using TRpExportFilter::TRpExportFilter;
    std::string GetExtension() const override { return "PDF"; }
    std::string GetFilterName() const override { return "PDF document"; }
};

class PreviewExportTest : public PreviewFilesTest {
protected:
    void SetUp() override
    {
        PreviewFilesTest::SetUp();
        CreateExportFilterLibrary();
        ExportFilterLibrary()->AddFilter(ExportFilterClassOf<NamedFilter>());
        report_->options.PreviewDefaultSaveType = TPrevSaveType::stPDF;
        report_->onExport = [this](TRpExportFilter& filter) {
            exported_.push_back(filter.FileName);
            EXPECT_NE(dynamic_cast<NamedFilter*>(&filter), nullptr);
        };
    }
    void TearDown() override
    {
        ReleaseExportFilterLibrary();
        PreviewFilesTest::TearDown();
    }

    std::vector<std::filesystem::path> exported_;
};

TEST_F(PreviewExportTest, TheNameAndTheLineChooseReportFileOrFilter)
{
    TRpStandardPreview& window = Open(ReportPrinter(NumberedPages(2)));
    OnModalDialog([](QDialog& dialog) {
        EXPECT_EQ(dynamic_cast<QFileDialog&>(dialog).nameFilters(),
                  (QStringList{QStringLiteral(".PDF (*.PDF *.pdf)"), QStringLiteral("ZudevAzerov file (*.RPP *.rpp)"),
                               QStringLiteral("PDF document (*.PDF *.pdf)")}));
        EXPECT_TRUE(dynamic_cast<QFileDialog&>(dialog).defaultSuffix().isEmpty());
        dialog.reject();
    });
    Press(window, "SaveReport");

    struct Row {
        const char* name;
        int line;
        const char* written;   // the report file written, or nullptr
        const char* exported;  // the file the filter was made for, or nullptr
    };
    const Row rows[] = {
        {"report", 1, nullptr, "report.PDF"},     {"report", 3, nullptr, "report.PDF"},
        {"report", 2, "report.RPP", nullptr},     {"raport.rpp", 1, "raport.rpp", nullptr},
        {"raport.rpp", 3, "raport.rpp", nullptr}, {"lista.pdf", 2, nullptr, "lista.pdf"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(std::string(row.name) + " line " + std::to_string(row.line));
        exported_.clear();
        ChooseFile(folder_ / row.name, row.line);
        Press(window, "SaveReport");
        if (row.written) {
            EXPECT_TRUE(std::filesystem::exists(folder_ / row.written));
            std::filesystem::remove(folder_ / row.written);
        }
        EXPECT_EQ(exported_, row.exported ? std::vector<std::filesystem::path>{folder_ / row.exported}
                                          : std::vector<std::filesystem::path>{});
    }
}

TEST_F(PreviewExportTest, LoadedPagesAreNotExportedAsTheLiveReport)
{
    const std::filesystem::path file = SaveReportFile("loaded.rpp", NumberedPages(3));
    TRpStandardPreview& window = Open(ReportPrinter(NumberedPages(1)));
    ChooseFile(file);
    Press(window, "LoadReport");
    testsupport::MessageRecorder messages;
    ChooseFile(folder_ / "report.pdf", 3);
    Press(window, "SaveReport");
    EXPECT_TRUE(exported_.empty());
    ASSERT_EQ(messages.Messages().size(), 1u);
    EXPECT_NE(messages.Messages()[0].text.find(".RPP"), std::string::npos);
    // As a report file they are saved as they are.
    ChooseFile(folder_ / "again.rpp", 3);
    Press(window, "SaveReport");
    TRpPrinter reader;
    std::string error;
    ASSERT_TRUE(reader.LoadRecordedDocument(folder_ / "again.rpp", error)) << error;
    EXPECT_EQ(reader.PageCount(), 3);
}

}  // namespace
}  // namespace report::output
