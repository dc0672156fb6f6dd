#include "app/oknoreklamowe.h"

#include "app/maker.h"
#include "app/tc_glow.h"
#include "tests/app/local_http_server.h"
#include "tests/app/main_window_fixture.h"
#include "tests/support/modal_dialog.h"
#include "utility/cp1250.h"
#include "utility/paths.h"

#include <QApplication>
#include <QBuffer>
#include <QDialog>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QLabel>
#include <QPushButton>
#include <QTimer>

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>

using namespace app;
using apptest::LocalHttpServer;

namespace {

namespace fs = std::filesystem;

QByteArray Picture(int width, int height, const char* format)
{
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(QColor(20, 140, 60));
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    EXPECT_TRUE(image.save(&buffer, format)) << format;
    return bytes;
}

class SponsorWindow : public apptest::MainWindowTest {
protected:
    void SetUp() override
    {
        MainWindowTest::SetUp();
        fs::create_directories(Folder());
    }

    void WriteHere(const char* name, const QByteArray& bytes) const
    {
        QFile file(QString::fromStdString(Path(name).string()));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
    }

    QByteArray ReadHere(const char* name) const
    {
        QFile file(QString::fromStdString(Path(name).string()));
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
    }

    // Shows the window over the program folder and waits until its timer's work is over.
    std::unique_ptr<Tf_oknoReklamowe> Run(const QUrl& site)
    {
        auto window = std::make_unique<Tf_oknoReklamowe>(Folder(), site);
        window->show();
        EXPECT_TRUE(apptest::ProcessEventsUntil([&] { return window->IsFinished(); }));
        EXPECT_EQ(QApplication::overrideCursor(), nullptr) << "the hourglass stayed";
        return window;
    }

    static void ExpectFixedText(const Tf_oknoReklamowe& window)
    {
        EXPECT_FALSE(window.Memo1a->isHidden());
        EXPECT_TRUE(window.Image1->isHidden());
        EXPECT_EQ(window.size(), QSize(534, 295));
    }

    static void ExpectPicture(const Tf_oknoReklamowe& window, QSize picture)
    {
        EXPECT_TRUE(window.Memo1a->isHidden());
        EXPECT_FALSE(window.Image1->isHidden());
        EXPECT_EQ(window.Image1->size(), picture);
        EXPECT_EQ(window.size(), QSize(picture.width(), picture.height() + 40));
        EXPECT_EQ(window.Panel1->geometry(), QRect(0, picture.height(), picture.width(), 40));
    }

    LocalHttpServer server_;
};

TEST_F(SponsorWindow, DownloadsAndShowsThePictureWithItsPanel)
{
    struct Case {
        const char* name;
        const char* format;
        QSize size;
    };
    const Case cases[] = {
        {"baner_1.jpg", "JPG", {120, 80}},
        {"Baner-2.JPG", "JPG", {300, 150}},
        {"promo.bmp", "BMP", {64, 200}},
        {"PROMO_X.BmP", "BMP", {90, 45}},
    };
    ASSERT_TRUE(server_.IsListening());
    for (const Case& c : cases) {
        const QByteArray picture = Picture(c.size.width(), c.size.height(), c.format);
        const QByteArray description = QByteArray(c.name) + "\r\nhttps://sponsor.example/oferta?x=1\r\n";
        server_.Serve(QStringLiteral("/reklama/obr.inf"), description);
        server_.Serve(QStringLiteral("/reklama/") + QString::fromLatin1(c.name), picture);
        const auto window = Run(server_.Site());
        ExpectPicture(*window, c.size);
        EXPECT_EQ(window->Link(), QUrl(QStringLiteral("https://sponsor.example/oferta?x=1"))) << c.name;
        EXPECT_EQ(window->Image1->toolTip(), QStringLiteral("https://sponsor.example/oferta?x=1")) << c.name;
        EXPECT_EQ(ReadHere("obr.inf"), description) << c.name;
        EXPECT_EQ(ReadHere(c.name), picture) << c.name;
        window->Image1->click();
        ASSERT_EQ(shell_.urls.size(), 1u) << c.name;
        EXPECT_EQ(shell_.urls.back(), window->Link()) << c.name;
        shell_.urls.clear();
    }
    EXPECT_EQ(server_.Requests().first(), QStringLiteral("/reklama/obr.inf"));
}

TEST_F(SponsorWindow, WithoutTheSiteTheCopiesAlreadyHereServe)
{
    const QByteArray description = "stary.jpg\nhttp://sponsor.example/\n";
    WriteHere("obr.inf", description);
    WriteHere("stary.jpg", Picture(77, 33, "JPG"));
    const auto window = Run(apptest::DeadSite());
    ExpectPicture(*window, QSize(77, 33));
    EXPECT_EQ(window->Link(), QUrl(QStringLiteral("http://sponsor.example/")));
    EXPECT_EQ(ReadHere("obr.inf"), description) << "a failed download must keep the old description";
}

TEST_F(SponsorWindow, AFailedPictureDownloadKeepsTheFixedTextAndTheOldPicture)
{
    const QByteArray old = Picture(10, 10, "BMP");
    WriteHere("baner.bmp", old);
    server_.Serve(QStringLiteral("/reklama/obr.inf"), "baner.bmp\nhttp://sponsor.example/\n");
    server_.Serve(QStringLiteral("/reklama/baner.bmp"), "gone", 404);
    const auto window = Run(server_.Site());
    ExpectFixedText(*window);
    EXPECT_EQ(ReadHere("baner.bmp"), old);
}

TEST_F(SponsorWindow, NothingToShowLeavesTheFixedText)
{
    const char* shop = kMakerShopWebSite;
    struct Case {
        const char* what;
        const char* description;
        const char* picture;
        const char* link;
    };
    const Case cases[] = {
        {"no site, nothing kept", nullptr, nullptr, shop},
        {"one line only", "baner.jpg\n", nullptr, shop},
        {"empty description", "", nullptr, shop},
        {"not a JPEG", "baner.jpg\nhttp://sponsor.example/\n", "BM this is text", "http://sponsor.example/"},
        {"not a bitmap", "baner.bmp\nhttp://sponsor.example/\n", "\xFF\xD8 not a bitmap", "http://sponsor.example/"},
    };
    for (const Case& c : cases) {
        QFile::remove(QString::fromStdString(Path("obr.inf").string()));
        if (c.description)
            WriteHere("obr.inf", c.description);
        if (c.picture) {
            WriteHere("baner.jpg", c.picture);
            WriteHere("baner.bmp", c.picture);
        }
        const auto window = Run(apptest::DeadSite());
        SCOPED_TRACE(c.what);
        ExpectFixedText(*window);
        EXPECT_EQ(window->Link(), QUrl(QString::fromUtf8(c.link)));
        EXPECT_FALSE(window->Memo1a->text().isEmpty());
    }
}

TEST_F(SponsorWindow, RefusesPictureNamesThatAreNotPlainNames)
{
    const char* const names[] = {
        "../baner.jpg",  "../../etc/baner.bmp", "/tmp/baner.jpg", "sub/baner.jpg", "..\\baner.jpg", "baner.jpg.exe",
        "baner.jpeg",    "baner.png",           "baner",          ".jpg",          "ba ner.jpg",    "ba%2Fner.jpg",
        "baner.jpg?x=1", "\xB3\xF3\x64\xBC.jpg"};
    const QByteArray picture = Picture(20, 20, "JPG");
    for (const char* name : names) {
        server_.Serve(QStringLiteral("/reklama/obr.inf"), QByteArray(name) + "\nhttp://sponsor.example/\n");
        server_.Serve(QStringLiteral("/reklama/") + QString::fromLatin1(name), picture);
        const auto window = Run(server_.Site());
        SCOPED_TRACE(name);
        ExpectFixedText(*window);
        EXPECT_EQ(server_.Requests(), QStringList{QStringLiteral("/reklama/obr.inf")});
        const QStringList left = QDir(utility::PathToQString(Folder())).entryList(QDir::Files | QDir::Hidden);
        EXPECT_EQ(left, QStringList{QStringLiteral("obr.inf")});
        EXPECT_FALSE(QFile::exists(QDir(dir_.path()).filePath(QStringLiteral("baner.jpg"))));
        server_.ClearRequests();
    }
}

TEST_F(SponsorWindow, OpensOnlyWebLinks)
{
    struct Case {
        const char* link;
        bool accepted;
    };
    const Case cases[] = {
        {"file:///etc/passwd", false},
        {"FILE:///home", false},
        // Links with a host but not of the web.
        {"ftp://host/x", false},
        {"file://host/x", false},
        {"mailto:x@sponsor.example", false},
        {"javascript:alert(1)", false},
        {"/reklama/strona.html", false},
        {"http://", false},
        {"", false},
        {"HTTPS://sponsor.example/a", true},
        {"http://sponsor.example:8080/b", true},
    };
    const QByteArray picture = Picture(30, 20, "BMP");
    for (const Case& c : cases) {
        server_.Serve(QStringLiteral("/reklama/obr.inf"), QByteArray("baner.bmp\n") + c.link + "\n");
        server_.Serve(QStringLiteral("/reklama/baner.bmp"), picture);
        const auto window = Run(server_.Site());
        SCOPED_TRACE(c.link);
        ExpectPicture(*window, QSize(30, 20));
        const QUrl expected =
            c.accepted ? QUrl(QString::fromLatin1(c.link)) : QUrl(QString::fromUtf8(kMakerShopWebSite));
        EXPECT_EQ(window->Link(), expected);
        window->Image1->click();
        ASSERT_EQ(shell_.urls.size(), 1u);
        EXPECT_EQ(shell_.urls.back(), expected);
        EXPECT_TRUE(IsOpenableLink(shell_.urls.back()));
        shell_.urls.clear();
    }
}

TEST_F(SponsorWindow, ClosingDuringTheDownloadLeavesNothingBehind)
{
    const QByteArray description = "baner.jpg\nhttp://sponsor.example/\n";
    WriteHere("obr.inf", description);
    server_.Hold(QStringLiteral("/reklama/obr.inf"));
    {
        Tf_oknoReklamowe window(Folder(), server_.Site());
        window.show();
        ASSERT_TRUE(apptest::ProcessEventsUntil([&] { return !server_.Requests().isEmpty(); }));
        EXPECT_FALSE(window.IsFinished());
        EXPECT_NE(QApplication::overrideCursor(), nullptr) << "the hourglass shows while it downloads";
    }
    QCoreApplication::processEvents();
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
    EXPECT_EQ(ReadHere("obr.inf"), description);
    const QStringList left = QDir(utility::PathToQString(Folder())).entryList(QDir::Files | QDir::Hidden);
    EXPECT_EQ(left, QStringList{QStringLiteral("obr.inf")});
}

TEST_F(SponsorWindow, ShowAdWindowFetchesFromTheSiteInTheVariable)
{
    server_.Serve(QStringLiteral("/reklama/obr.inf"), "okno.jpg\nhttp://sponsor.example/\n");
    server_.Serve(QStringLiteral("/reklama/okno.jpg"), Picture(50, 60, "JPG"));
    qputenv(kSponsorSiteVariable, server_.Site().toString().toUtf8());
    EXPECT_EQ(SponsorSite(), server_.Site());
    bool shown = false;
    testsupport::OnModalDialog([&](QDialog& dialog) {
        auto* window = qobject_cast<Tf_oknoReklamowe*>(&dialog);
        ASSERT_NE(window, nullptr);
        EXPECT_EQ(window->objectName(), QStringLiteral("f_oknoReklamowe"));
        EXPECT_TRUE(apptest::ProcessEventsUntil([&] { return window->IsFinished(); }));
        ExpectPicture(*window, QSize(50, 60));
        shown = true;
        dialog.accept();
    });
    ShowAdWindow();
    qunsetenv(kSponsorSiteVariable);
    EXPECT_TRUE(shown);
    EXPECT_EQ(ReadHere("okno.jpg").left(2), QByteArray("\xFF\xD8"));
    EXPECT_EQ(SponsorSite(), QUrl(QString::fromUtf8(kMakerWebSite)));
}

TEST_F(SponsorWindow, TheMainWindowsMenuOpensIt)
{
    qputenv(kSponsorSiteVariable, apptest::DeadSite().toString().toUtf8());
    app::Tf_tcGlow main;
    bool shown = false;
    testsupport::OnModalDialog([&](QDialog& dialog) {
        auto* window = qobject_cast<Tf_oknoReklamowe*>(&dialog);
        ASSERT_NE(window, nullptr);
        EXPECT_TRUE(window->windowTitle().startsWith(QStringLiteral("Reklama ")));
        EXPECT_TRUE(window->Timer1->isSingleShot());
        EXPECT_EQ(window->Timer1->interval(), 200);
        EXPECT_TRUE(apptest::ProcessEventsUntil([&] { return window->IsFinished(); }));
        ExpectFixedText(*window);
        shown = true;
        dialog.accept();
    });
    main.Reklama1->trigger();
    qunsetenv(kSponsorSiteVariable);
    EXPECT_TRUE(shown);
}

TEST(SponsorNames, AcceptsOnlyPlainBmpAndJpgNames)
{
    struct Case {
        const char* name;
        bool accepted;
    };
    const Case cases[] = {
        {"a.jpg", true},    {"A-b_9.JPG", true}, {"x.Bmp", true},     {"obr.inf", false},  {"a.jpg.", false},
        {".bmp", false},    {"a..jpg", false},   {"a/b.jpg", false},  {"a\\b.jpg", false}, {"a:b.jpg", false},
        {"a b.bmp", false}, {"", false},         {"abc.jpgx", false}, {"\xE9.jpg", false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(IsAcceptablePictureName(c.name), c.accepted) << c.name;
    EXPECT_TRUE(IsAcceptablePictureName(std::string(251, 'a') + ".jpg"));
    EXPECT_FALSE(IsAcceptablePictureName(std::string(252, 'a') + ".jpg"));
}

}  // namespace
