#include "tests/support/program_bands.h"

#include <gtest/gtest.h>

#include <map>

namespace testsupport {

using report::engine::TRpBand;
using report::engine::TRpBandType;
using report::engine::TRpChildBand;
using report::engine::TRpCustomBand;

const std::array<ProgramBand, 10> kProgramBands{{
    {"TitleBand1", TRpBandType::rbTitle, "", 365.1L},
    {"ChildBand2", TRpBandType::rbChild, "TitleBand1", 68.8L},
    {"ColumnHeaderBand1", TRpBandType::rbColumnHeader, "", 7.9L},
    {"DetailBand1", TRpBandType::rbDetail, "", 42.3L},
    {"SummaryBand1", TRpBandType::rbSummary, "", 55.6L},
    {"ChildBand1", TRpBandType::rbChild, "SummaryBand1", 50.3L},
    {"ChildBand4", TRpBandType::rbChild, "ChildBand1", 55.6L},
    {"ChildBand5", TRpBandType::rbChild, "ChildBand4", 50.3L},
    {"PageFooterBand1", TRpBandType::rbPageFooter, "", 42.3L},
    {"ChildBand3", TRpBandType::rbChild, "PageFooterBand1", 15.9L},
}};

std::unique_ptr<report::engine::TRpReport> MakeProgramReport()
{
    auto report = std::make_unique<report::engine::TRpReport>([] { return report::output::TRpPaperSize::A4; }, false);
    auto& page = report->Page;
    page.SetUnits(report::engine::TRpUnit::MM);
    page.SetLeftMargin(10);
    page.SetRightMargin(6);
    page.SetTopMargin(10);
    page.SetBottomMargin(10);
    page.SetColumns(2);
    page.SetColumnSpace(0);
    return report;
}

void AddProgramBands(report::engine::TRpReport& report, std::span<const int> order)
{
    // Every band exists before any is placed, so a child can name its parent first.
    std::map<std::string, std::unique_ptr<TRpCustomBand>> made;
    for (const ProgramBand& spec : kProgramBands) {
        std::unique_ptr<TRpCustomBand> band;
        if (spec.type == TRpBandType::rbChild) {
            band = std::make_unique<TRpChildBand>();
        } else {
            band = std::make_unique<TRpBand>(spec.type);
        }
        band->Name = spec.name;
        const long double values[] = {spec.height, 1000};
        band->Size.ReadValues(values);
        made.emplace(spec.name, std::move(band));
    }
    std::map<std::string, TRpCustomBand*> all;
    for (auto& [name, band] : made)
        all[name] = band.get();
    for (const ProgramBand& spec : kProgramBands) {
        if (*spec.parent == '\0')
            continue;
        auto* child = dynamic_cast<TRpChildBand*>(all.at(spec.name));
        ASSERT_NE(child, nullptr);
        ASSERT_TRUE(child->SetParentBand(all.at(spec.parent)));
    }
    for (int index : order) {
        const std::string name = kProgramBands.at(static_cast<std::size_t>(index)).name;
        report.InsertBand(std::move(made.at(name)));
    }
}

TRpCustomBand& BandNamed(const report::engine::TRpReportModel& report, const std::string& name)
{
    for (TRpCustomBand* band : report.BandList()) {
        if (band->Name == name)
            return *band;
    }
    ADD_FAILURE() << "no band " << name;
    throw std::runtime_error("no band " + name);
}

std::vector<std::string> BandNames(const report::engine::TRpReportModel& report)
{
    std::vector<std::string> names;
    for (const TRpCustomBand* band : report.BandList())
        names.push_back(band->Name);
    return names;
}

}  // namespace testsupport
