// The printout printed from its preview on this build's printing rig: what the queue writes has
// the pages of the PDF saved from the same preview, and looks the same.
#include "report/output/preview/rp_standard_preview.h"
#include "report/output/printer/printer_service.h"
#include "tests/app/preview_card_fixture.h"
#include "tests/support/card_builder.h"
#include "tests/support/pdf_check.h"
#include "tests/support/print_rig.h"
#include "utility/paths.h"

#include <QClipboard>
#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QSet>
#include <QThread>

#include <gtest/gtest.h>

#include <map>

namespace apptest {
namespace {

using report::output::TRpStandardPreview;
using testsupport::ChangeWord;
using testsupport::PrintRig;
using testsupport::TimeReal;

// Twelve days of twelve changes: the rows run over two pages.
tacho::CardImageData TwoPageCard()
{
    testsupport::CardBuilder card;
    card.Surname("Nowak", 2)
        .FirstNames("Anna", 2)
        .IssuingAuthority("Urz\xb1"
                          "d Testowy",
                          2);
    card.CardNumber("D800101123450001").BirthDate(0x19750517).DrivingLicence(0x1a, "PL123456789");
    card.CardDates(TimeReal(2010, 1, 1), TimeReal(2010, 1, 2), TimeReal(2015, 1, 1));
    for (int day = 0; day < 12; ++day) {
        std::vector<std::uint16_t> changes;
        for (int i = 0; i < 12; ++i)
            changes.push_back(ChangeWord(0, 0, 0, (day + i) % 4, i * 110 + day));
        card.Day(TimeReal(2011, 5, 1 + day), static_cast<std::uint16_t>(0x0100 + day), 100, changes);
    }
    return card.Image();
}

// The PDF files of a folder with the time each was last written.
std::map<QString, QDateTime> PdfFiles(const QDir& folder)
{
    std::map<QString, QDateTime> files;
    for (const QFileInfo& file : folder.entryInfoList({QStringLiteral("*.pdf")}, QDir::Files))
        files.emplace(file.fileName(), file.lastModified());
    return files;
}

// The PDF file the queue writes after `before` was listed, once the queue is empty. The queue
// names a file by its title, so a print that ran before may have left one of the same name.
std::optional<QString> WaitForNewPdf(const PrintRig& rig, const QDir& folder,
                                     const std::map<QString, QDateTime>& before)
{
    for (int tries = 0; tries < 600; ++tries) {
        const testsupport::ToolResult pending =
            testsupport::RunTool({QStringLiteral("lpstat"), QStringLiteral("-o"), rig.Queue()});
        if (pending.exitCode == 0 && QString::fromStdString(pending.out).trimmed().isEmpty()) {
            for (const auto& [name, written] : PdfFiles(folder)) {
                const auto old = before.find(name);
                if (old == before.end() || old->second != written)
                    return folder.filePath(name);
            }
        }
        QThread::msleep(100);
    }
    return std::nullopt;
}

// Dark pixels of `a` with no dark pixel of `b` within `reach` pixels, and all dark pixels of `a`.
std::pair<int, int> UnmatchedInk(const QImage& a, const QImage& b, int reach)
{
    const auto dark = [](const QImage& image, int x, int y) {
        return x >= 0 && y >= 0 && x < image.width() && y < image.height() && qGray(image.pixel(x, y)) < 128;
    };
    int unmatched = 0;
    int ink = 0;
    for (int y = 0; y < a.height(); ++y) {
        for (int x = 0; x < a.width(); ++x) {
            if (!dark(a, x, y))
                continue;
            ++ink;
            bool found = false;
            for (int dy = -reach; dy <= reach && !found; ++dy)
                for (int dx = -reach; dx <= reach && !found; ++dx)
                    found = dark(b, x + dx, y + dy);
            if (!found)
                ++unmatched;
        }
    }
    return {unmatched, ink};
}

TEST_F(PreviewCardTest, PrintedFromThePreviewAsItIsSaved)
{
    const PrintRig rig;
    ASSERT_TRUE(rig.Ready()) << "the printing rig is not up (KARTOVAN_PRINT_RIG_DIR)";
    report::output::SystemPrinter& shared = report::output::SharedPrinter();
    shared.Refresh();
    const qsizetype queue = shared.Printers().indexOf(rig.Queue());
    ASSERT_GE(queue, 0);
    shared.SetIndex(static_cast<int>(queue));
    const QDir out(qEnvironmentVariable("KARTOVAN_PRINT_RIG_DIR") + QStringLiteral("/out"));
    const std::map<QString, QDateTime> before = PdfFiles(out);

    const auto window = OpenCard(TwoPageCard());
    const std::filesystem::path pdf = Path("raport.PDF");
    const QString title = QStringLiteral("NowakAnna 2011-05-01 2011-05-12");
    int pages = 0;
    ASSERT_TRUE(Preview(*window, [&](TRpStandardPreview& preview) {
        pages = preview.RpPrinter()->PageCount();
        (void)SaveFromPreview(preview, Folder() / "raport");
        QGuiApplication::clipboard()->clear();
        preview.PrintClick();
        // The print ran the report again.
        EXPECT_EQ(ClipboardText(), title);
        // The preview still shows its own recording.
        EXPECT_EQ(preview.RpPrinter()->PageCount(), pages);
    }));
    EXPECT_GE(pages, 2);
    ASSERT_EQ(PdfPages(pdf), pages);

    const std::optional<QString> printed = WaitForNewPdf(rig, out, before);
    ASSERT_TRUE(printed.has_value()) << "the queue wrote no new file";
    const std::optional<testsupport::PdfInfo> info = testsupport::ReadPdfInfo(*printed);
    ASSERT_TRUE(info.has_value());
    EXPECT_EQ(info->pages, pages);
    EXPECT_NEAR(info->pageSize.width(), 595.3, 1.5);
    EXPECT_NEAR(info->pageSize.height(), 841.9, 1.5);

    const QString saved = utility::PathToQString(pdf);
    for (int page = 1; page <= pages; ++page) {
        SCOPED_TRACE(page);
        const QImage paper = testsupport::RenderPdfPage(*printed, page, 96);
        const QImage file = testsupport::RenderPdfPage(saved, page, 96);
        ASSERT_FALSE(paper.isNull());
        ASSERT_FALSE(file.isNull());
        EXPECT_LE(std::abs(paper.width() - file.width()), 1);
        EXPECT_LE(std::abs(paper.height() - file.height()), 1);
        const auto [missing, paperInk] = UnmatchedInk(paper, file, 2);
        const auto [lost, fileInk] = UnmatchedInk(file, paper, 2);
        EXPECT_GT(fileInk, 1000);
        // Glyph shapes of the two fonts differ a little; whole lines or icons missing would not.
        EXPECT_LE(missing, paperInk / 50) << missing << " of " << paperInk;
        EXPECT_LE(lost, fileInk / 50) << lost << " of " << fileInk;
    }
}

}  // namespace
}  // namespace apptest
