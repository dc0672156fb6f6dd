#include "report/output/xml/rpx_viewer.h"

#include "report/output/preview/rp_standard_preview.h"
#include "tests/support/message_recorder.h"
#include "tests/support/modal_dialog.h"

#include <QAccessible>
#include <QAction>
#include <QBuffer>
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
#include <QScrollArea>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>

#include <gtest/gtest.h>

#include <fstream>

namespace report::output {
namespace {

using testsupport::OnModalDialog;

struct Event {
    TPrevEventType type;
    QString name;
    QString text;
    int number;
    bool operator==(const Event&) const = default;
};

// Three A4 pages: page 1 with a text control, a band and a graphic, page 2 with "Jazda",
// page 3 with "jazda" and "Jazda dalej".
QString ThreePages()
{
    return QStringLiteral(
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<QXDoc>\n"
        "<Header Pagewidth=\"210\" Pageheight=\"297\" "
        "PaperName=\"A4\">\n<Orientation>portrait</Orientation>\n</Header>\n"
        "<Page Number=\"1\">\n"
        "<Item Type=\"band\" X=\"0\" Y=\"0\" Width=\"210\" Height=\"50\" CID=\"Detail\" DBR=\"0\"/>\n"
        "<Item Type=\"text\" X=\"10\" Y=\"20\" Width=\"30\" Height=\"10\" CID=\"Label1\" DBR=\"6\">Kierowca</Item>\n"
        "<Item Type=\"graphic\" X=\"10\" Y=\"100\" Width=\"50\" Height=\"1\" SP=\"2\" LW=\"0.5\" Color=\"000000\"/>\n"
        "</Page>\n"
        "<Page Number=\"2\">\n<Item Type=\"text\" X=\"10\" Y=\"200\" Height=\"10\" "
        "Color=\"000000\">Jazda</Item>\n</Page>\n"
        "<Page Number=\"3\">\n<Item Type=\"text\" X=\"10\" Y=\"20\" Height=\"10\" Color=\"000000\">jazda</Item>\n"
        "<Item Type=\"text\" X=\"10\" Y=\"40\" Height=\"10\" Color=\"000000\">Jazda dalej</Item>\n</Page>\n"
        "</QXDoc>\n");
}

class RpxViewerTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        viewer_ = new TRpXStandardViewer;
        viewer_->OnPrevXEvent = [this](QObject* sender, TPrevEventType type, const QString& name, const QString& text,
                                       int number) {
            EXPECT_EQ(sender, viewer_.data());
            events_.push_back({type, name, text, number});
        };
        QString error;
        auto document = TRpXDocument::FromText(ThreePages(), error);
        ASSERT_NE(document, nullptr) << error.toStdString();
        viewer_->AttachDocument(std::move(document), QStringLiteral("lista.xml"));
        viewer_->show();
        QCoreApplication::processEvents();
    }
    void TearDown() override
    {
        if (viewer_)
            viewer_->close();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        EXPECT_TRUE(viewer_.isNull());
    }

    QString Panel(int i) const { return viewer_->StatusPanel(i).text(); }
    void Search(const char* text, bool matchCase)
    {
        OnModalDialog([text, matchCase](QDialog& dialog) {
            auto& search = dynamic_cast<TRpXSearchDlg&>(dialog);
            search.Edit1->setText(QString::fromUtf8(text));
            search.CheckBox1->setChecked(matchCase);
            search.SpeedButton2->click();
        });
        viewer_->Command("FindButton")->trigger();
    }
    QStringList ResultLines() const
    {
        auto* list = viewer_->findChild<QListWidget*>(QStringLiteral("SearchResultBox"));
        QStringList lines;
        for (int i = 0; i < list->count(); ++i)
            lines << list->item(i)->text();
        return lines;
    }
    // Red pixels of the page on show.
    int RedPixels() const
    {
        const QImage& picture = viewer_->PageImage();
        int red = 0;
        for (int y = 0; y < picture.height(); ++y)
            for (int x = 0; x < picture.width(); ++x)
                red += picture.pixel(x, y) == qRgb(255, 0, 0);
        return red;
    }
    QPoint Centre(const char* id) const
    {
        for (const TPageItem& item : viewer_->Image().Items())
            if (item.id == QLatin1String(id))
                return item.rect.center();
        ADD_FAILURE() << "no item " << id;
        return {};
    }

    QPointer<TRpXStandardViewer> viewer_;
    std::vector<Event> events_;
};

TEST_F(RpxViewerTest, TheStatusBarShowsZoomPageAndTitle)
{
    EXPECT_EQ(Panel(0), QStringLiteral("Zoom: 100  %"));
    EXPECT_EQ(Panel(1), QStringLiteral("Page: 1 of 3"));
    EXPECT_EQ(Panel(2), QStringLiteral("lista.xml"));
    EXPECT_EQ(viewer_->PageImage().size(), QSize(794, 1123));
    viewer_->NextPageClick();
    EXPECT_EQ(Panel(1), QStringLiteral("Page: 2 of 3"));
    QTest::keyClick(viewer_, Qt::Key_End);
    EXPECT_EQ(Panel(1), QStringLiteral("Page: 3 of 3"));
    viewer_->Command("FirstPage")->trigger();
    EXPECT_EQ(Panel(1), QStringLiteral("Page: 1 of 3"));
}

TEST_F(RpxViewerTest, ZoomFollowsTheBoxAndNeverFallsToNothing)
{
    viewer_->resize(700, 600);
    QCoreApplication::processEvents();
    auto* box = viewer_->findChild<QScrollArea*>(QStringLiteral("ScrollBox"));
    viewer_->ZoomToWidthClick();
    EXPECT_DOUBLE_EQ(viewer_->Zoom(), (box->width() - 25) * 100.0 / (210 * 3.7795));
    viewer_->ZoomToFitClick();
    EXPECT_DOUBLE_EQ(viewer_->Zoom(), (box->height() - 30) * 100.0 / (297 * 3.7795));
    // A box too small for any page.
    viewer_->resize(150, 120);
    QCoreApplication::processEvents();
    EXPECT_GT(viewer_->Zoom(), 0);
    EXPECT_FALSE(viewer_->PageImage().isNull());
    viewer_->ZoomTo100Click();
    EXPECT_EQ(Panel(0), QStringLiteral("Zoom: 100  %"));
}

TEST_F(RpxViewerTest, GoToPageTakesANumberInRangeElsePageOne)
{
    struct Row {
        const char* answer;  // nullptr: cancelled
        int page;
    };
    for (const Row& row : {Row{"3", 3}, Row{"9", 1}, Row{"2", 2}, Row{"x", 1}, Row{nullptr, 1}}) {
        SCOPED_TRACE(row.answer ? row.answer : "cancel");
        OnModalDialog([&row](QDialog& dialog) {
            auto& box = dynamic_cast<QInputDialog&>(dialog);
            EXPECT_EQ(box.windowTitle(), QStringLiteral("Select Page"));
            EXPECT_EQ(box.labelText(), QStringLiteral("Go to page >>"));
            if (row.answer) {
                box.setTextValue(QString::fromLatin1(row.answer));
                box.accept();
            } else {
                box.reject();
            }
        });
        viewer_->Command("GotoPageButton")->trigger();
        EXPECT_EQ(Panel(1), QStringLiteral("Page: %1 of 3").arg(row.page));
    }
}

TEST_F(RpxViewerTest, ItemsTellTheOwnerWhenTheMouseMeetsThem)
{
    QWidget& page = viewer_->Image();
    QTest::mouseMove(&page, Centre("Label1"));
    EXPECT_EQ(Panel(3), QStringLiteral("Kierowca"));
    QTest::mousePress(&page, Qt::LeftButton, {}, Centre("Label1"));
    QTest::mouseMove(&page, QPoint(400, 1000));
    EXPECT_EQ(Panel(3), QString());
    QTest::mousePress(&page, Qt::LeftButton, {}, QPoint(600, 150));  // on the band only
    QTest::mousePress(&page, Qt::LeftButton, {}, QPoint(600, 900));  // on nothing
    const std::vector<Event> expected = {
        {TPrevEventType::etMouseOver, QStringLiteral("Label1"), QStringLiteral("Kierowca"), 7},
        {TPrevEventType::etControlClick, QStringLiteral("Label1"), QStringLiteral("Kierowca"), 7},
        {TPrevEventType::etMouseOut, QString(), QString(), 0},
        {TPrevEventType::etBandClick, QStringLiteral("Detail"), QString(), 1},
    };
    EXPECT_EQ(events_, expected);
}

TEST_F(RpxViewerTest, PrintSaveAndSetUpAreTheOwnersToDo)
{
    viewer_->Command("Print")->trigger();
    viewer_->Command("SaveReport")->trigger();
    viewer_->Command("PrintSetup")->trigger();
    const std::vector<Event> expected = {
        {TPrevEventType::etPrintButton, QString(), QString(), 0},
        {TPrevEventType::etSaveButton, QString(), QString(), 0},
        {TPrevEventType::etPrintSetup, QString(), QString(), 0},
    };
    EXPECT_EQ(events_, expected);
    EXPECT_EQ(static_cast<int>(TPrevEventType::etBandClick), 6);
    EXPECT_EQ(static_cast<int>(TPrevEventType::etMouseOut), 7);
}

TEST_F(RpxViewerTest, SearchListsHitsInOrderAndFramesOnlyThem)
{
    auto* results = viewer_->findChild<QListWidget*>(QStringLiteral("SearchResultBox"));
    Search("jazda", false);
    EXPECT_EQ(ResultLines(),
              (QStringList{QStringLiteral("Jazda"), QStringLiteral("jazda"), QStringLiteral("Jazda dalej")}));
    EXPECT_EQ(Panel(1), QStringLiteral("Page: 2 of 3"));  // the first hit's page
    EXPECT_GT(RedPixels(), 0);

    Search("Jazda", true);
    EXPECT_EQ(ResultLines(), (QStringList{QStringLiteral("Jazda"), QStringLiteral("Jazda dalej")}));
    results->setCurrentRow(1);
    viewer_->SearchResultBoxClick();
    EXPECT_EQ(Panel(1), QStringLiteral("Page: 3 of 3"));
    // Page 3 holds "jazda" too, which this search did not find: one frame, not two.
    const int oneFrame = RedPixels();
    Search("jazda", false);
    viewer_->LastPageClick();
    EXPECT_GT(RedPixels(), oneFrame);

    Search("Odpoczynek", false);
    EXPECT_EQ(ResultLines(), QStringList{QStringLiteral("No matching text")});
    EXPECT_FALSE(results->isEnabled());
    EXPECT_EQ(RedPixels(), 0);
    auto* dialog = new TRpXSearchDlg;
    EXPECT_EQ(dialog->windowTitle(), QStringLiteral("RPX Text Search"));
    EXPECT_EQ(dialog->Label1->text(), QStringLiteral("Search for :"));
    EXPECT_EQ(dialog->CheckBox1->text(), QStringLiteral("Match Case"));
    EXPECT_EQ(dialog->SpeedButton1->text(), QStringLiteral("Cancel"));
    EXPECT_EQ(dialog->SpeedButton2->text(), QStringLiteral("Search"));
    delete dialog;
}

TEST_F(RpxViewerTest, ABadFileIsReportedAndTheDocumentStays)
{
    QTemporaryDir folder;
    const std::filesystem::path bad = std::filesystem::path(folder.path().toStdString()) / "zla.RPX";
    std::ofstream(bad) << "<QXDoc>\n<Header Pageheight=\"297\"/>\n</QXDoc>\n";
    testsupport::MessageRecorder messages;
    OnModalDialog([&](QDialog& dialog) {
        auto& files = dynamic_cast<QFileDialog&>(dialog);
        EXPECT_TRUE(files.testOption(QFileDialog::DontUseNativeDialog));
        EXPECT_EQ(files.nameFilters(), QStringList{QStringLiteral("XML and RPX files (*.xml *.XML *.rpx *.RPX)")});
        files.selectFile(QString::fromStdString(bad.string()));
        dialog.accept();
    });
    viewer_->Command("LoadReport")->trigger();
    ASSERT_EQ(messages.Messages().size(), 1u);
    EXPECT_EQ(messages.Messages()[0].text, "page width missing");
    EXPECT_EQ(Panel(1), QStringLiteral("Page: 1 of 3"));
    EXPECT_EQ(Panel(2), QStringLiteral("lista.xml"));
}

TEST_F(RpxViewerTest, AGoodFileReplacesTheDocument)
{
    QTemporaryDir folder;
    const std::filesystem::path file = std::filesystem::path(folder.path().toStdString()) / "inna.xml";
    std::ofstream(file)
        << "<QXDoc>\n<Header Pagewidth=\"297\" Pageheight=\"210\"/>\n<Page Number=\"1\">\n</Page>\n</QXDoc>\n";
    ASSERT_TRUE(viewer_->OpenFile(file));
    EXPECT_EQ(Panel(1), QStringLiteral("Page: 1 of 1"));
    EXPECT_EQ(viewer_->PageImage().size(), QSize(1123, 794));
    EXPECT_EQ(viewer_->findChild<QListView*>(QStringLiteral("ThumbGrid"))->model()->rowCount(), 1);
}

TEST_F(RpxViewerTest, ThumbnailsCopyAndClosing)
{
    auto* grid = viewer_->findChild<QListView*>(QStringLiteral("ThumbGrid"));
    ASSERT_EQ(grid->model()->rowCount(), 3);
    EXPECT_FALSE(grid->model()->data(grid->model()->index(1, 0), Qt::DecorationRole).value<QImage>().isNull());
    grid->setCurrentIndex(grid->model()->index(2, 0));
    EXPECT_EQ(Panel(1), QStringLiteral("Page: 3 of 3"));
    viewer_->copybuttonClick();
    EXPECT_EQ(QGuiApplication::clipboard()->image().size(), QSize(794, 1123));
    QAccessibleInterface* next =
        QAccessible::queryAccessibleInterface(viewer_->findChild<QToolButton*>(QStringLiteral("nextPage")));
    EXPECT_EQ(next->text(QAccessible::Name), QStringLiteral("Next page"));
    viewer_->close();
    EXPECT_EQ(grid->currentIndex().row(), 0);
}

// The page on show and the thumbnails with their pictures: each picture decoded once, for
// every repaint, zoom and page turned.
TEST_F(RpxViewerTest, PicturesAreDecodedOnceForThePageAndTheThumbnails)
{
    const auto item = [](QRgb colour) {
        QImage picture(30, 20, QImage::Format_RGB32);
        picture.fill(colour);
        QByteArray bmp;
        QBuffer buffer(&bmp);
        buffer.open(QIODevice::WriteOnly);
        picture.save(&buffer, "BMP");
        return QStringLiteral("<Item Type=\"image\" X=\"10\" Y=\"10\">%1</Item>").arg(QString::fromLatin1(bmp.toHex()));
    };
    QString error;
    auto document = TRpXDocument::FromText(
        QStringLiteral("<QXDoc>\n<Header Pagewidth=\"210\" Pageheight=\"297\"/>\n<Page Number=\"1\">\n%1\n</Page>\n"
                       "<Page Number=\"2\">\n%2\n</Page>\n</QXDoc>\n")
            .arg(item(qRgb(200, 0, 0)), item(qRgb(0, 0, 200))),
        error);
    ASSERT_NE(document, nullptr) << error.toStdString();
    const TRpXDocument& shown = *document;
    viewer_->SetThumbnailImages(true);
    viewer_->AttachDocument(std::move(document), QStringLiteral("obrazy.xml"));
    static_cast<void>(viewer_->grab());
    EXPECT_EQ(shown.Images().Decodes(), 2);
    viewer_->ZoomTo100Click();
    viewer_->NextPageClick();
    viewer_->PrevPageClick();
    static_cast<void>(viewer_->grab());
    EXPECT_EQ(shown.Images().Decodes(), 2);
    EXPECT_EQ(viewer_->PageImage().pixel(45, 45), qRgb(200, 0, 0));
}

TEST(RpxViewerFactoryTest, TheStartUpChoosesTheStandardViewer)
{
    EXPECT_EQ(dynamic_cast<TRpXMLStandardPreviewInterface*>(MakeXMLPreviewInterface().get()), nullptr);
    InitializePreviewUnit();
    std::unique_ptr<TRpXMLPreviewInterface> previews = MakeXMLPreviewInterface();
    ASSERT_NE(dynamic_cast<TRpXMLStandardPreviewInterface*>(previews.get()), nullptr);
    QString error;
    previews->AttachDocument(TRpXDocument::FromText(ThreePages(), error), QStringLiteral("x"));
    EXPECT_EQ(previews->PageImage().size(), QSize(794, 1123));
    std::vector<TPrevEventType> events;
    previews->OnPrevXEvent = [&](QObject*, TPrevEventType type, const QString&, const QString&, int) {
        events.push_back(type);
    };
    QPointer<QWidget> shown = previews->Show();
    ASSERT_FALSE(shown.isNull());
    shown->findChild<QAction*>(QStringLiteral("Print"))->trigger();
    EXPECT_EQ(events, std::vector<TPrevEventType>{TPrevEventType::etPrintButton});
    previews.reset();  // the viewer on show stays
    EXPECT_FALSE(shown.isNull());
    shown->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(shown.isNull());
    FinalizePreviewUnit();
}

}  // namespace
}  // namespace report::output
