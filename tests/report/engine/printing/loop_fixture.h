// The print layout run by its report's data loop through a paging of the test's, with a one-line
// box on every band that logs where it prints, and the progress the loop posts.
#pragma once

#include "report/engine/printing/paging.h"
#include "report/engine/run/report.h"
#include "tests/report/engine/model/printable_fixture.h"
#include "tests/report/engine/printing/fake_controls.h"

#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace enginetest {

// What the tests of the paging share: a paging of the report onto the printer object, which goes
// before the report and the printer object do.
class PagingTest : public PrintableTest {
protected:
    void TearDown() override;
    // A paging of the report onto the printer object, exporting into `exportTo_` when set,
    // started before page 1.
    report::engine::TRpPaging& StartPaging();
    // The paging, then the report and the printer object go.
    void DropReport();

    std::unique_ptr<report::engine::TRpPaging> paging_;
    // While set, the paging exports into it and prints to no device.
    report::output::TRpExportFilter* exportTo_ = nullptr;
};

class DataLoopTest : public PagingTest {
protected:
    // The print layout with a box on every band (its log line starts with the band's name); the
    // Detail band 367 px wide, the Summary with ForceNewPage.
    void Build();
    report::engine::TRpCustomBand& Band(const std::string& name);
    // A band of class T placed on the report with a box of its own: `name`, `height` tenths of
    // a millimetre.
    template <class T, class... Args>
    T& Place(const std::string& name, long double height, Args&&... args)
    {
        auto band = std::make_unique<T>(std::forward<Args>(args)...);
        band->Name = name;
        const long double values[] = {height, 1000};
        band->Size.ReadValues(values);
        T& placed = static_cast<T&>(report_->InsertBand(std::move(band)));
        placed.template NewPrintable<FakeBox>(name, log_);
        return placed;
    }

    // The paging started as a run starts it before its data loop, the controller collected and
    // prepared; the progress the printer object posts is kept in `progress_`.
    void StartRun();
    // The last page finished (unless cancelled), the controller unprepared, the document ended.
    void EndRun();
    // StartRun, the data loop of the report's controller, EndRun.
    void Run();

    // The log lines of band `name`'s box, without the name.
    [[nodiscard]] std::vector<std::string> Prints(const std::string& name) const;
    // The band names of the log lines in order (any line: the part before ':').
    [[nodiscard]] std::vector<std::string> Sequence() const;

    CallLog log_;
    std::vector<int> progress_;
};

}  // namespace enginetest
