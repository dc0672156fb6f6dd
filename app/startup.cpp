// Program main block.
#include "app/startup.h"

#include "app/tc_glow.h"
#include "report/editors/label_editor.h"
#include "report/engine/model/report_unit.h"
#include "report/expr/expr_unit.h"
#include "report/output/export/export_filter_library.h"
#include "report/output/preview/rp_standard_preview.h"
#include "smartcard/winscard_api.h"
#include "tacho/card_image.h"
#include "utility/cp1250.h"
#include "utility/dialogi.h"
#include "utility/formatsettings.h"
#include "utility/stringi.h"

#include <QApplication>
#include <QDir>
#include <QIconEngine>
#include <QLibraryInfo>
#include <QLoggingCategory>
#include <QPainter>

#include <exception>
#include <functional>
#include <optional>
#include <vector>

namespace app {

Q_LOGGING_CATEGORY(lcStartup, "kartovan.app.startup")

namespace {

struct Unit {
    const char* name;
    std::function<void()> initialize;
    std::function<void()> finalize;
};

// The program's unit table, in initialization order; the main window's unit comes last.
const std::vector<Unit>& UnitTable()
{
    static const std::vector<Unit> units = {
        {"vaspcsc", [] { smartcard::InitSCardBinding(); }, [] { smartcard::FinalizeSCardBinding(); }},
        {"random", [] { (void)utility::RandomEngine(); }, nullptr},
        {"stringi",
         [] {
             (void)utility::ForbiddenFileNameChars();
             (void)utility::PolishFormatSettings();
             (void)utility::AlphanumericAlphabet();
         },
         nullptr},
        {"tcBib", [] { tacho::InitializeTcBib(); }, nullptr},
        // Before the program sets its own name: the global environment's AppName keeps the one
        // the application has now.
        {"RpExpr", [] { report::expr::InitializeExpressionUnit(); }, [] { report::expr::FinalizeExpressionUnit(); }},
        // The design view's colours by the display's depth, the locale's measurement system.
        {"RpReport", [] { report::engine::InitializeReportUnit(); }, [] { report::engine::FinalizeReportUnit(); }},
        // The design-time editors sit above the engine: they hand the controls their editors.
        {"RpLabelEdit", [] { report::editors::RegisterLabelEditors(); },
         [] { report::editors::UnregisterLabelEditors(); }},
        {"RpPrntr",
         [] {
             report::output::CreateExportFilterLibrary();
             report::output::InitializePreviewUnit();
         },
         [] {
             report::output::FinalizePreviewUnit();
             report::output::ReleaseExportFilterLibrary();
         }},
        {"tc_glow", [] { WriteProgramFolderKey(); }, nullptr},
    };
    return units;
}

std::size_t g_initialized = 0;

}  // namespace

void InitializeUnits()
{
    const auto& units = UnitTable();
    while (g_initialized < units.size()) {
        const Unit& u = units[g_initialized];
        if (u.initialize)
            u.initialize();
        ++g_initialized;
    }
}

void FinalizeUnits()
{
    const auto& units = UnitTable();
    while (g_initialized > 0) {
        const Unit& u = units[--g_initialized];
        if (u.finalize)
            u.finalize();
    }
}

namespace {

// One folder per size in the resources, built from the icon the desktop entry names.
QIcon ReadProgramIcon()
{
    QIcon icon;
    const QDir sizes(QStringLiteral(":/icons"));
    for (const QString& size : sizes.entryList(QDir::Dirs))
        icon.addFile(sizes.filePath(size + QStringLiteral("/" KARTOVAN_APP_ID ".png")));
    return icon;
}

// The program's icon, read when it is first drawn or asked about: QIcon::addFile decodes every
// picture at once, a tenth of the start-up, and where the platform shows no window icon
// (Wayland, offscreen) nothing ever asks.
class DeferredIconEngine final : public QIconEngine {
public:
    void paint(QPainter* painter, const QRect& rect, QIcon::Mode mode, QIcon::State state) override
    {
        Icon().paint(painter, rect, Qt::AlignCenter, mode, state);
    }
    QSize actualSize(const QSize& size, QIcon::Mode mode, QIcon::State state) override
    {
        return Icon().actualSize(size, mode, state);
    }
    QPixmap pixmap(const QSize& size, QIcon::Mode mode, QIcon::State state) override
    {
        return Icon().pixmap(size, mode, state);
    }
    QPixmap scaledPixmap(const QSize& size, QIcon::Mode mode, QIcon::State state, qreal scale) override
    {
        return Icon().pixmap(size, scale, mode, state);
    }
    QList<QSize> availableSizes(QIcon::Mode mode, QIcon::State state) override
    {
        return Icon().availableSizes(mode, state);
    }
    // The pictures are built into the program.
    bool isNull() override { return false; }
    QString key() const override { return QStringLiteral("KartovanDeferredIcon"); }
    QIconEngine* clone() const override { return new DeferredIconEngine(*this); }

private:
    QIcon& Icon()
    {
        if (!icon_)
            icon_ = ReadProgramIcon();
        return *icon_;
    }

    std::optional<QIcon> icon_;
};

}  // namespace

QIcon ProgramIcon() { return QIcon(new DeferredIconEngine); }

std::unique_ptr<QTranslator> InstallQtPolishTranslation()
{
    auto translator = std::make_unique<QTranslator>();
    const QString folder = QLibraryInfo::path(QLibraryInfo::TranslationsPath);
    if (!translator->load(QStringLiteral("qtbase_pl"), folder) ||
        !QCoreApplication::installTranslator(translator.get())) {
        qCWarning(lcStartup) << "Qt's Polish translation not found in" << folder;
        return nullptr;
    }
    return translator;
}

int RunMainWindow(const std::function<std::unique_ptr<QWidget>()>& createMainWindow)
{
    std::unique_ptr<QWidget> window;
    try {
        window = createMainWindow();
        window->show();
    } catch (const std::exception& e) {
        // Without a main window the program cannot work: say so instead of ending silently.
        utility::ErrorBox(utility::Pl("Nie można uruchomić programu:\r\n") + utility::Utf8ToCp1250(e.what()));
        return 1;
    } catch (...) {
        utility::ErrorBox(utility::Pl("Nie można uruchomić programu."));
        return 1;
    }
    return QApplication::exec();
}

int RunProgram(int argc, char** argv)
{
    QApplication application(argc, argv);
    const std::unique_ptr<QTranslator> polish = InstallQtPolishTranslation();
    InitializeUnits();
    // The title names the program to the user; the plain name keys its data folder, which a
    // colon and blanks would make awkward on every platform.
    QApplication::setApplicationName(QStringLiteral("Kartovan"));
    // The desktop entry's name lets the desktop match the windows to the menu entry and its
    // icon (Wayland shows no window icon of its own).
    QGuiApplication::setDesktopFileName(QStringLiteral(KARTOVAN_APP_ID));
    QApplication::setWindowIcon(ProgramIcon());
    const int code = RunMainWindow([] { return std::make_unique<Tf_tcGlow>(QCoreApplication::arguments()); });
    FinalizeUnits();
    return code;
}

}  // namespace app
