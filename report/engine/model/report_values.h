// What the system data and expression controls read of a report while it runs; the report's run
// serves them.
#pragma once

#include "report/expr/rp_dataset.h"

#include <optional>
#include <string>

namespace report::expr {
class TRpEvEnvironment;
}  // namespace report::expr

namespace report::engine {

// The values of a report run that the controls read.
class TRpReportValues {
public:
    virtual ~TRpReportValues() = default;
    [[nodiscard]] virtual int PageNumber() const = 0;
    [[nodiscard]] virtual std::string ReportTitle() const = 0;
    // The record count and number of the main data loop; nullopt when the report has none.
    [[nodiscard]] virtual std::optional<int> RecordCount() const = 0;
    [[nodiscard]] virtual std::optional<int> RecordNumber() const = 0;
    // The data sets and the environment (Functions) that expressions of the report use.
    [[nodiscard]] virtual expr::TRpDataSetList* DataSetList() = 0;
    [[nodiscard]] virtual expr::TRpEvEnvironment* Functions() = 0;
};

}  // namespace report::engine
