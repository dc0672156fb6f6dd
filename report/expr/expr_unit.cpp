#include "report/expr/expr_unit.h"

#include "report/expr/ev_environment.h"
#include "report/expr/ev_library.h"
#include "report/expr/rp_clock.h"
#include "utility/cp1250.h"
#include "utility/formatsettings.h"

#include <QCoreApplication>

#include <memory>

namespace report::expr {
namespace {

struct Unit {
    std::unique_ptr<TRpFunctionLibrary> library;
    std::unique_ptr<TRpEvEnvironment> global;
    std::uint64_t generation = 0;
    std::uint64_t lastGeneration = 0;
};

Unit& TheUnit()
{
    static Unit unit;
    return unit;
}

std::string Quoted(const std::string& text) { return "'" + text + "'"; }

}  // namespace

void InitializeExpressionUnit()
{
    FinalizeExpressionUnit();
    Unit& unit = TheUnit();
    auto library = std::make_unique<TRpFunctionLibrary>();
    RegisterBuiltInFunctions(*library);
    auto global = std::make_unique<TRpEvEnvironment>();
    const double now = RpNow();
    global->AddFunction("AppStartTime", Quoted(utility::FormatLongTime(now)));
    global->AddFunction("AppStartDate", Quoted(utility::FormatShortDate(now)));
    global->AddFunction("AppName", Quoted(utility::QStringToCp1250(QCoreApplication::applicationName())));
    unit.library = std::move(library);
    unit.global = std::move(global);
    unit.generation = ++unit.lastGeneration;
}

void FinalizeExpressionUnit()
{
    Unit& unit = TheUnit();
    // Detach first: the entries' evaluators, freed with the environment, must find no unit to
    // unprepare in.
    std::unique_ptr<TRpEvEnvironment> global = std::move(unit.global);
    std::unique_ptr<TRpFunctionLibrary> library = std::move(unit.library);
    unit.generation = 0;
    global.reset();
    library.reset();
}

TRpLibrary* FunctionLibrary() { return TheUnit().library.get(); }

TRpEvEnvironment* GlobalEnvironment() { return TheUnit().global.get(); }

std::uint64_t ExpressionUnitGeneration() { return TheUnit().generation; }

}  // namespace report::expr
