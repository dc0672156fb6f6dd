// Program main block.
#include "app/startup.h"

#include "app/tc_glow.h"
#include "utility/formatsettings.h"
#include "utility/stringi.h"

#include <QApplication>
#include <QMessageBox>

#include <exception>
#include <functional>
#include <vector>

namespace app {
namespace {

struct Unit {
    const char* name;
    std::function<void()> initialize;
    std::function<void()> finalize;
};

// The program's unit table, in initialization order.
const std::vector<Unit>& UnitTable()
{
    static const std::vector<Unit> units = {
        {"random", [] { (void)utility::RandomEngine(); }, nullptr},
        {"stringi",
         [] {
             (void)utility::ForbiddenFileNameChars();
             (void)utility::PolishFormatSettings();
             (void)utility::AlphanumericAlphabet();
         },
         nullptr},
    };
    return units;
}

std::size_t g_initialized = 0;

} // namespace

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

int RunProgram(int argc, char** argv)
{
    QApplication application(argc, argv);
    int code = 0;
    try {
        InitializeUnits();
        QApplication::setApplicationName(QString::fromUtf8(kApplicationTitle));
        Tf_tcGlow window;
        window.show();
        code = QApplication::exec();
    } catch (const std::exception& e) {
        // A failure while the main window is created must not end the program silently.
        QMessageBox::critical(nullptr, QString::fromUtf8(kApplicationTitle),
                              QString::fromUtf8("Nie można uruchomić programu:\n") + QString::fromLocal8Bit(e.what()));
        code = 1;
    }
    FinalizeUnits();
    return code;
}

} // namespace app
