#include "report/engine/model/report_unit.h"

#include "report/engine/model/units.h"

#include <QGuiApplication>
#include <QLocale>
#include <QScreen>

namespace report::engine {
namespace {

struct UnitValues {
    int count = 0;
    TRpDesignScheme scheme = HighColorDesignScheme();
    QString localeName;
};

UnitValues& Values()
{
    static UnitValues values;
    return values;
}

}  // namespace

int DisplayColorCount(int bitsPerPixel)
{
    if (bitsPerPixel >= 1 && bitsPerPixel <= 8)
        return 1 << bitsPerPixel;
    return -1;
}

TRpDesignScheme DesignSchemeFor(int colorCount)
{
    return colorCount >= 0 && colorCount <= 256 ? PaletteDesignScheme() : HighColorDesignScheme();
}

void InitializeReportUnit()
{
    UnitValues& values = Values();
    if (values.count++ > 0)
        return;
    // Without a screen (no GUI application yet) the display counts as high-colour.
    const QScreen* screen = qobject_cast<QGuiApplication*>(QCoreApplication::instance()) != nullptr
                                ? QGuiApplication::primaryScreen()
                                : nullptr;
    values.scheme = DesignSchemeFor(screen != nullptr ? DisplayColorCount(screen->depth()) : -1);
    values.localeName = QLocale::system().name();
    static_cast<void>(UsesUSMeasure());
}

void FinalizeReportUnit()
{
    UnitValues& values = Values();
    if (values.count == 0)
        return;
    if (--values.count == 0) {
        values.scheme = HighColorDesignScheme();
        values.localeName.clear();
    }
}

bool ReportUnitInitialized() { return Values().count > 0; }

TRpDesignScheme CurrentDesignScheme() { return Values().scheme; }

QString SystemLocaleName() { return Values().localeName; }

}  // namespace report::engine
