// The expression unit: the function library and the global environment, made at program start
// and freed at close-down.
#pragma once

#include <cstdint>

namespace report::expr {

class TRpLibrary;
class TRpEvEnvironment;

// Makes the library with the 21 built-in functions and the global environment with
// APPSTARTTIME, APPSTARTDATE (the clock's time and date now) and APPNAME (the application's name
// at this moment), each a string constant. A unit already started is closed down first.
void InitializeExpressionUnit();
// Frees the global environment and the library. Evaluators and environments that outlive the
// unit never call into it again.
void FinalizeExpressionUnit();

// nullptr before start-up and after close-down.
TRpLibrary* FunctionLibrary();
TRpEvEnvironment* GlobalEnvironment();
// A number that changes with every start-up; 0 while the unit is not started.
std::uint64_t ExpressionUnitGeneration();

}  // namespace report::expr
