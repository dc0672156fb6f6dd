#include "app/startup.h"

#include "app/tc_glow.h"
#include "report/expr/ev_environment.h"
#include "report/expr/expr_unit.h"
#include "report/output/export/export_filter_library.h"
#include "report/output/pdf/pdf_document.h"
#include "report/output/preview/rp_standard_preview.h"
#include "tests/app/main_window_fixture.h"
#include "tests/support/modal_dialog.h"
#include "utility/cp1250.h"
#include "utility/dialogi.h"

#include <QApplication>
#include <QFileDialog>
#include <QIcon>
#include <QImage>
#include <QLabel>
#include <QMessageBox>
#include <QPainter>
#include <QPixmap>
#include <QPushButton>
#include <QTimer>

#include <algorithm>
#include <stdexcept>

namespace apptest {
namespace {

using StartupTest = MainWindowTest;

TEST_F(StartupTest, EachUnitInitializesOnceAndAgainOnlyAfterFinalization)
{
    app::FinalizeUnits();
    app::InitializeUnits();
    EXPECT_EQ(SettingPath("katKTExe"), ExecutableFolder());
    SetSetting("katKTExe", "inny");
    app::InitializeUnits();  // already initialized: nothing runs again
    EXPECT_EQ(Setting("katKTExe"), "inny");
    app::FinalizeUnits();
    app::InitializeUnits();
    EXPECT_EQ(SettingPath("katKTExe"), ExecutableFolder());
    app::FinalizeUnits();
}

TEST_F(StartupTest, TheMainWindowOffersPdfInTheRegistryMadeAtStartUp)
{
    using report::output::ExportFilterLibrary;
    app::FinalizeUnits();
    EXPECT_EQ(ExportFilterLibrary(), nullptr);
    app::InitializeUnits();
    ASSERT_NE(ExportFilterLibrary(), nullptr);
    EXPECT_EQ(ExportFilterLibrary()->FindFilter("PDF"), nullptr);
    {
        const app::Tf_tcGlow window;
        const report::output::TRpExportFilterLibraryEntry* entry = ExportFilterLibrary()->FindFilter("pdf");
        ASSERT_NE(entry, nullptr);
        const auto filter = entry->FilterClass.create("raport.pdf");
        EXPECT_NE(dynamic_cast<report::output::TRpPDFDocumentFilter*>(filter.get()), nullptr);
        EXPECT_EQ(ExportFilterLibrary()->GetFilterString(), "ZudevAzerov file(*.RPP)|*.RPP|PDF document (*.PDF)|*.PDF");
    }
    EXPECT_EQ(ExportFilterLibrary()->FindFilter("PDF"), nullptr);
    app::FinalizeUnits();
    EXPECT_EQ(ExportFilterLibrary(), nullptr);
}

TEST_F(StartupTest, TheExpressionUnitLivesFromStartUpToCloseDown)
{
    app::FinalizeUnits();
    const QString before = QCoreApplication::applicationName();
    QCoreApplication::setApplicationName(QStringLiteral("nazwa przy starcie"));
    app::InitializeUnits();
    QCoreApplication::setApplicationName(before);
    ASSERT_NE(report::expr::FunctionLibrary(), nullptr);
    report::expr::TRpEvEnvironment* global = report::expr::GlobalEnvironment();
    ASSERT_NE(global, nullptr);
    report::expr::TRpEvaluator evaluator;
    const report::expr::TRpEvResult name = evaluator.Calculate("APPNAME");
    EXPECT_EQ(utility::Cp1250ToUtf8(name.StringValue), "nazwa przy starcie");
    evaluator.Prepare("UPPER(AppName)");  // still prepared at close-down
    app::FinalizeUnits();
    EXPECT_EQ(report::expr::GlobalEnvironment(), nullptr);
    EXPECT_EQ(report::expr::FunctionLibrary(), nullptr);
}

TEST_F(StartupTest, PreviewsOpenTheStandardWindowFromStartUpToCloseDown)
{
    app::FinalizeUnits();
    EXPECT_EQ(dynamic_cast<report::output::TRpStandardPreviewInterface*>(report::output::MakePreviewInterface().get()),
              nullptr);
    app::InitializeUnits();
    EXPECT_NE(dynamic_cast<report::output::TRpStandardPreviewInterface*>(report::output::MakePreviewInterface().get()),
              nullptr);
    app::FinalizeUnits();
    EXPECT_EQ(dynamic_cast<report::output::TRpStandardPreviewInterface*>(report::output::MakePreviewInterface().get()),
              nullptr);
}

TEST_F(StartupTest, TheMainWindowRunsUntilItIsClosed)
{
    QWidget* shown = nullptr;
    const int code = app::RunMainWindow([&] {
        auto window = std::make_unique<app::Tf_tcGlow>();
        shown = window.get();
        QTimer::singleShot(0, window.get(), &QWidget::close);
        return window;
    });
    EXPECT_EQ(code, 0);
    EXPECT_NE(shown, nullptr);
    EXPECT_TRUE(boxes_.Messages().empty());
}

TEST_F(StartupTest, AFailureWhileCreatingTheMainWindowIsShownAndEndsWithAnError)
{
    const int code = app::RunMainWindow([]() -> std::unique_ptr<QWidget> { throw std::runtime_error("no display"); });
    EXPECT_NE(code, 0);
    ASSERT_EQ(boxes_.Messages().size(), 1u);
    EXPECT_EQ(boxes_.Messages()[0].kind, utility::MessageKind::Error);
    EXPECT_NE(boxes_.Messages()[0].text.find("no display"), std::string::npos);
}

// Whatever the user's locale, the standard boxes and dialogs speak Polish like the windows.
// The program's icon, read when it is first wanted, in every size of the icon theme, each
// picture at its own size and drawn.
TEST_F(StartupTest, TheProgramIconHasEverySizeOfTheIconTheme)
{
    const QIcon icon = app::ProgramIcon();
    EXPECT_FALSE(icon.isNull());
    QList<QSize> sizes;
    for (const int side : {16, 24, 32, 48, 64, 128, 256})
        sizes.push_back(QSize(side, side));
    QList<QSize> available = icon.availableSizes();
    std::sort(available.begin(), available.end(), [](QSize a, QSize b) { return a.width() < b.width(); });
    EXPECT_EQ(available, sizes);
    const auto drawn = [](const QImage& picture) {
        for (int y = 0; y < picture.height(); ++y)
            for (int x = 0; x < picture.width(); ++x)
                if (qAlpha(picture.pixel(x, y)) != 0)
                    return true;
        return false;
    };
    for (const QSize& size : sizes) {
        const QImage picture = icon.pixmap(size).toImage().convertToFormat(QImage::Format_ARGB32);
        EXPECT_EQ(picture.size(), size);
        EXPECT_TRUE(drawn(picture)) << size.width();
    }
    QImage painted(40, 40, QImage::Format_ARGB32);
    painted.fill(Qt::transparent);
    {
        QPainter painter(&painted);
        icon.paint(&painter, painted.rect());
    }
    EXPECT_TRUE(drawn(painted));
}

TEST_F(StartupTest, StandardButtonsAndDialogsSpeakPolish)
{
    const std::unique_ptr<QTranslator> polish = app::InstallQtPolishTranslation();
    ASSERT_NE(polish, nullptr) << "scripts/setup.sh installs qt6-translations-l10n";

    // The real Qt boxes, not the test's recorder.
    utility::MessageBoxes* recorder = utility::SetMessageBoxes(nullptr);
    QString yes;
    QString no;
    testsupport::OnModalDialog([&](QDialog& dialog) {
        auto& box = dynamic_cast<QMessageBox&>(dialog);
        yes = box.button(QMessageBox::Yes)->text();
        no = box.button(QMessageBox::No)->text();
        box.button(QMessageBox::No)->click();
    });
    const bool answer = utility::ConfirmYesNo(utility::Pl("Czy zmienić nazwę pliku?"));
    utility::SetMessageBoxes(recorder);
    EXPECT_FALSE(answer);
    EXPECT_EQ(yes, QStringLiteral("&Tak"));
    EXPECT_EQ(no, QStringLiteral("&Nie"));

    app::Tf_tcGlow window;
    const auto* lookIn = window.OpenKF()->findChild<QLabel*>(QStringLiteral("lookInLabel"));
    ASSERT_NE(lookIn, nullptr) << "Qt's own file dialog";
    EXPECT_EQ(lookIn->text(), QStringLiteral("Szukaj w:"));
}

}  // namespace
}  // namespace apptest
