#include "tests/app/preview_card_fixture.h"

#include "app/startup.h"
#include "report/output/preview/rp_standard_preview.h"
#include "tests/support/card_builder.h"
#include "tests/support/modal_dialog.h"
#include "tests/support/pdf_check.h"
#include "utility/paths.h"

#include <QApplication>
#include <QClipboard>
#include <QDeadlineTimer>
#include <QFileDialog>
#include <QGuiApplication>
#include <QPushButton>
#include <QRegularExpression>
#include <QTimer>

namespace apptest {

using testsupport::ChangeWord;
using testsupport::TimeReal;

tacho::CardImageData NowakCardImage()
{
    testsupport::CardBuilder card;
    card.Surname("Nowak", 2)
        .FirstNames("Anna", 2)
        .IssuingAuthority("Urz\xb1"
                          "d Testowy",
                          2);
    card.CardNumber("D800101123450001").BirthDate(0x19750517).DrivingLicence(0x1a, "PL123456789");
    card.CardDates(TimeReal(2010, 1, 1), TimeReal(2010, 1, 2), TimeReal(2015, 1, 1));
    card.Day(TimeReal(2011, 5, 17), 0x0123, 250,
             {ChangeWord(0, 0, 0, 3, 6 * 60), ChangeWord(0, 0, 0, 0, 14 * 60 + 30)});
    return card.Image();
}

void PreviewCardTest::SetUp()
{
    CardFileWindowTest::SetUp();
    app::InitializeUnits();
}

void PreviewCardTest::TearDown()
{
    app::FinalizeUnits();
    CardFileWindowTest::TearDown();
}

std::unique_ptr<app::Tf_tcGlow> PreviewCardTest::OpenCard(const tacho::CardImageData& card)
{
    const std::filesystem::path file = Path("karta.DDD");
    WriteFile(file, DddBytes(card));
    auto window = std::make_unique<app::Tf_tcGlow>();
    window->show();
    window->OpenCardFile(file);
    EXPECT_TRUE(window->BitBtnDruk1->isVisible());
    return window;
}

bool PreviewCardTest::Preview(app::Tf_tcGlow& window,
                              const std::function<void(report::output::TRpStandardPreview&)>& inPreview)
{
    // The pages are made before the preview shows, and the run lets events through meanwhile:
    // the preview is looked for until it is the modal window.
    bool shown = false;
    QDeadlineTimer deadline(std::chrono::minutes(5));
    QTimer poll;
    poll.setInterval(20);
    QObject::connect(&poll, &QTimer::timeout, [&] {
        auto* preview = qobject_cast<report::output::TRpStandardPreview*>(QApplication::activeModalWidget());
        if (preview == nullptr || !preview->isVisible()) {
            if (deadline.hasExpired()) {
                poll.stop();
                ADD_FAILURE() << "no preview showed";
            }
            return;
        }
        poll.stop();
        shown = true;
        inPreview(*preview);
        if (preview->isVisible())
            preview->close();
    });
    poll.start();
    window.BitBtnDruk1->click();
    poll.stop();
    return shown;
}

QStringList PreviewCardTest::SaveFromPreview(report::output::TRpStandardPreview& preview,
                                             const std::filesystem::path& name)
{
    QStringList lines;
    testsupport::OnModalDialog([&](QDialog& dialog) {
        auto* files = dynamic_cast<QFileDialog*>(&dialog);
        ASSERT_NE(files, nullptr);
        lines = files->nameFilters();
        files->selectNameFilter(lines.value(0));
        files->selectFile(utility::PathToQString(name));
        static_cast<QDialog*>(files)->accept();
    });
    preview.SaveClick();
    return lines;
}

std::string PdfText(const std::filesystem::path& path, int page)
{
    QStringList arguments{QStringLiteral("pdftotext"), QStringLiteral("-raw"), QStringLiteral("-enc"),
                          QStringLiteral("UTF-8")};
    if (page > 0)
        arguments << QStringLiteral("-f") << QString::number(page) << QStringLiteral("-l") << QString::number(page);
    arguments << utility::PathToQString(path) << QStringLiteral("-");
    const testsupport::ToolResult result = testsupport::RunTool(arguments);
    EXPECT_EQ(result.exitCode, 0) << result.err;
    return QString::fromStdString(result.out)
        .replace(QRegularExpression(QStringLiteral("[ \\t]+")), QStringLiteral(" "))
        .toStdString();
}

int PdfPages(const std::filesystem::path& path)
{
    const testsupport::ToolResult result =
        testsupport::RunTool({QStringLiteral("pdfinfo"), utility::PathToQString(path)});
    const QRegularExpressionMatch pages =
        QRegularExpression(QStringLiteral(R"(Pages:\s+(\d+))")).match(QString::fromStdString(result.out));
    return result.exitCode == 0 && pages.hasMatch() ? pages.captured(1).toInt() : -1;
}

QString ClipboardText() { return QGuiApplication::clipboard()->text(); }

}  // namespace apptest
