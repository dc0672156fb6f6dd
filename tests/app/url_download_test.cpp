#include "app/url_download.h"

#include "tests/app/local_http_server.h"
#include "tests/app/main_window_fixture.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <optional>

using namespace app;

namespace {

class UrlDownload : public ::testing::Test {
protected:
    std::filesystem::path Target() const { return std::filesystem::path(dir_.path().toStdString()) / "plik.bin"; }

    void WriteTarget(const QByteArray& bytes) const
    {
        QFile file(QString::fromStdString(Target().string()));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
    }

    QByteArray ReadTarget() const
    {
        QFile file(QString::fromStdString(Target().string()));
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
    }

    // Runs one download to the end; the outcome `done` reported.
    std::optional<bool> Fetch(const QUrl& url, qint64 maxBytes)
    {
        std::optional<bool> outcome;
        QNetworkAccessManager manager;
        DownloadToFile(manager, url, Target(), DownloadLimits{maxBytes, 10000}, [&](bool ok) { outcome = ok; });
        EXPECT_FALSE(outcome.has_value()) << "done ran inside the call";
        EXPECT_TRUE(apptest::ProcessEventsUntil([&] { return outcome.has_value(); }));
        return outcome;
    }

    QStringList Entries() const { return QDir(dir_.path()).entryList(QDir::Files | QDir::Hidden); }

    QTemporaryDir dir_;
    apptest::LocalHttpServer server_;
};

TEST_F(UrlDownload, ReplacesTheFileOnlyWithACompleteAnswer)
{
    const QByteArray big(100'000, 'x');
    struct Case {
        const char* what;
        int status;
        QByteArray body;
        qint64 max;
        bool ok;
    };
    const Case cases[] = {
        {"ok", 200, "nowa tresc", 1000, true},       {"exactly the limit", 200, "12345", 5, true},
        {"empty answer", 200, "", 10, true},         {"large answer", 200, big, 100'000, true},
        {"over the limit", 200, "123456", 5, false}, {"large answer over the limit", 200, big, 99'999, false},
        {"not found", 404, "nie ma", 1000, false},   {"server error", 500, "blad", 1000, false},
        {"no content", 204, "", 1000, false},
    };
    for (const Case& c : cases) {
        WriteTarget("stara tresc");
        server_.Serve(QStringLiteral("/plik"), c.body, c.status);
        SCOPED_TRACE(c.what);
        EXPECT_EQ(Fetch(server_.Site().resolved(QUrl(QStringLiteral("plik"))), c.max), c.ok);
        EXPECT_EQ(ReadTarget(), c.ok ? c.body : QByteArray("stara tresc"));
        EXPECT_EQ(Entries(), QStringList{QStringLiteral("plik.bin")});
    }
}

TEST_F(UrlDownload, FailsWithoutAServerOrAWritableFolder)
{
    EXPECT_EQ(Fetch(apptest::DeadSite().resolved(QUrl(QStringLiteral("plik"))), 1000), false);
    EXPECT_EQ(ReadTarget(), QByteArray("<missing>"));

    server_.Serve(QStringLiteral("/plik"), "tresc");
    const std::filesystem::path missing = std::filesystem::path(dir_.path().toStdString()) / "brak" / "plik.bin";
    std::optional<bool> outcome;
    QNetworkAccessManager manager;
    DownloadToFile(manager, server_.Site().resolved(QUrl(QStringLiteral("plik"))), missing, DownloadLimits{1000, 10000},
                   [&](bool ok) { outcome = ok; });
    ASSERT_TRUE(apptest::ProcessEventsUntil([&] { return outcome.has_value(); }));
    EXPECT_FALSE(*outcome);
    EXPECT_FALSE(std::filesystem::exists(missing));
}

TEST_F(UrlDownload, AnAbortedDownloadNeverReportsAndKeepsTheFile)
{
    WriteTarget("stara tresc");
    server_.Hold(QStringLiteral("/plik"));
    bool reported = false;
    QNetworkAccessManager manager;
    QNetworkReply* reply = DownloadToFile(manager, server_.Site().resolved(QUrl(QStringLiteral("plik"))), Target(),
                                          DownloadLimits{1000, 10000}, [&](bool) { reported = true; });
    ASSERT_TRUE(apptest::ProcessEventsUntil([&] { return !server_.Requests().isEmpty(); }));
    AbortDownload(reply);
    QCoreApplication::processEvents();
    EXPECT_FALSE(reported);
    EXPECT_EQ(ReadTarget(), QByteArray("stara tresc"));
    EXPECT_EQ(Entries(), QStringList{QStringLiteral("plik.bin")});
}

}  // namespace
