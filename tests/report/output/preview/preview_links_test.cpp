#include "report/output/preview/preview_links.h"

#include "report/output/preview/rp_preview.h"

#include <QMouseEvent>
#include <QTest>

#include <gtest/gtest.h>

namespace report::output {
namespace {

// Records what the shell is asked to open, for as long as it lives.
class ShellRecorder {
public:
    ShellRecorder()
    {
        previous_ = SetShellOpener([this](const QString& target, QWidget*) { opened.push_back(target); });
    }
    ~ShellRecorder()
    {
        SetShellOpener(std::move(previous_));
        ReleaseHyperlinkHandlers();
    }
    ShellRecorder(const ShellRecorder&) = delete;
    ShellRecorder& operator=(const ShellRecorder&) = delete;

    QStringList opened;

private:
    ShellOpener previous_;
};

TEST(OpenHyperlinkTest, PrefixesChooseShellOrHandler)
{
    struct Row {
        const char* link;
        const char* shell;    // what the shell opens, or nullptr
        const char* handled;  // what the "app:" handler gets, or nullptr
    };
    const Row rows[] = {
        {"EXT:https://example.org/a", "https://example.org/a", nullptr},
        {"ext:/tmp/x.pdf", "/tmp/x.pdf", nullptr},
        {"INT:app:page=3", nullptr, "page=3"},
        {"int:other", nullptr, nullptr},
        {"app:row=2", nullptr, "row=2"},
        // The handler's prefix is compared with case.
        {"APP:row=2", "APP:row=2", nullptr},
        {"https://example.org", "https://example.org", nullptr},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.link);
        ShellRecorder shell;
        QStringList handled;
        AddHyperlinkHandler(QStringLiteral("app:"), [&](TRpPrinter*, const QString& rest) { handled << rest; });
        OpenHyperlink(nullptr, QString::fromLatin1(row.link));
        EXPECT_EQ(shell.opened, row.shell ? QStringList{QString::fromLatin1(row.shell)} : QStringList());
        EXPECT_EQ(handled, row.handled ? QStringList{QString::fromLatin1(row.handled)} : QStringList());
    }
}

TEST(OpenHyperlinkTest, TheFirstMatchingHandlerTakesTheLink)
{
    ShellRecorder shell;
    QStringList calls;
    AddHyperlinkHandler(QStringLiteral("a"), [&](TRpPrinter*, const QString& rest) { calls << "a:" + rest; });
    AddHyperlinkHandler(QStringLiteral("ab"), [&](TRpPrinter*, const QString& rest) { calls << "ab:" + rest; });
    EXPECT_TRUE(OfferHyperlink(nullptr, QStringLiteral("abc")));
    EXPECT_FALSE(OfferHyperlink(nullptr, QStringLiteral("xyz")));
    EXPECT_EQ(calls, QStringList{QStringLiteral("a:bc")});
}

TEST(TRpPreviewImageTest, LinksAreFoundAtZoomWithTheirEdges)
{
    TRpPreviewImage image;
    EXPECT_TRUE(image.LinkAt(10, 10).isEmpty());  // no links at all
    image.SetLinks(std::vector<TRpLinkRecord>{{10, 10, 20, 20, QStringLiteral("first")},
                                              {15, 15, 40, 40, QStringLiteral("second")}});
    struct Row {
        int zoom, x, y;
        const char* link;
    };
    const Row rows[] = {
        {100, 10, 10, "first"}, {100, 20, 20, "first"},  {100, 21, 21, "second"}, {100, 41, 40, ""},
        {200, 20, 20, "first"}, {200, 80, 80, "second"}, {200, 82, 80, ""},       {50, 5, 5, "first"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(std::to_string(row.zoom) + ": " + std::to_string(row.x) + "," + std::to_string(row.y));
        image.SetZoom(row.zoom);
        EXPECT_EQ(image.LinkAt(row.x, row.y), QString::fromLatin1(row.link));
    }
    EXPECT_EQ(image.CurrentLink(), QStringLiteral("first"));
}

TEST(TRpPreviewImageTest, MovingOverALinkAndClickingItTellsTheHandler)
{
    ShellRecorder shell;
    TRpPreviewImage image;
    image.resize(200, 200);
    image.SetLinks(std::vector<TRpLinkRecord>{{10, 10, 50, 50, QStringLiteral("EXT:/tmp/a.pdf")}});
    std::vector<std::pair<TRpHyperlinkEventType, QString>> events;
    bool handle = false;
    image.OnHyperlink = [&](TRpPrinter*, TRpHyperlinkEventType type, const QString& link, bool& handled) {
        events.emplace_back(type, link);
        handled = handle;
    };
    image.show();
    QTest::mouseMove(&image, QPoint(20, 20));
    EXPECT_TRUE(image.OverLink());
    QTest::mouseMove(&image, QPoint(30, 30));  // still over it: nothing new
    QTest::mouseClick(&image, Qt::LeftButton, {}, QPoint(30, 30));
    handle = true;
    QTest::mouseClick(&image, Qt::LeftButton, {}, QPoint(30, 30));
    QTest::mouseMove(&image, QPoint(100, 100));
    EXPECT_FALSE(image.OverLink());
    const std::vector<std::pair<TRpHyperlinkEventType, QString>> expected = {
        {TRpHyperlinkEventType::heCursorMoveOver, QStringLiteral("EXT:/tmp/a.pdf")},
        {TRpHyperlinkEventType::heGoto, QStringLiteral("EXT:/tmp/a.pdf")},
        {TRpHyperlinkEventType::heGoto, QStringLiteral("EXT:/tmp/a.pdf")},
        {TRpHyperlinkEventType::heCursorMoveAway, QString()},
    };
    EXPECT_EQ(events, expected);
    // Only the click the handler left alone was opened, without its prefix.
    EXPECT_EQ(shell.opened, QStringList{QStringLiteral("/tmp/a.pdf")});
}

}  // namespace
}  // namespace report::output
