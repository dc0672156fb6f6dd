// The print layout's page and bands (the activity list), built in code in any order.
#pragma once

#include "report/engine/run/report.h"

#include <array>
#include <memory>
#include <span>
#include <string>
#include <vector>

namespace testsupport {

// One band of the print layout: name, type, the band it is a child of (empty for none) and
// its stored height in tenths of a millimetre.
struct ProgramBand {
    const char* name;
    report::engine::TRpBandType type;
    const char* parent;
    long double height;
};

// In the print order the report must come to.
extern const std::array<ProgramBand, 10> kProgramBands;

// A report with the print layout's page: A4 portrait, margins 100 left, 60 right, 100 top and
// bottom (tenths of a millimetre), two columns with no space, millimetres, zoom 100.
std::unique_ptr<report::engine::TRpReport> MakeProgramReport();

// Creates the print layout's bands on `report` in the order given by `order` (indices into
// kProgramBands); a child band gets its parent before it is placed, whether or not the
// parent is on the report yet.
void AddProgramBands(report::engine::TRpReport& report, std::span<const int> order);

// The band named `name` in the report's band list; fails the test when there is none.
report::engine::TRpCustomBand& BandNamed(const report::engine::TRpReportModel& report, const std::string& name);

// The names of the band list in order.
std::vector<std::string> BandNames(const report::engine::TRpReportModel& report);

}  // namespace testsupport
