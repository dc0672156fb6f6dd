// The data loops of a run: each controller's rows from a data set's cursor or from OnNeedData,
// the groups around them and the sub-levels hanging on them.
#include "report/engine/model/controller.h"
#include "report/engine/model/group.h"
#include "report/engine/model/report_model.h"
#include "report/engine/printing/paging.h"
#include "report/engine/printing/query_params.h"
#include "report/expr/ev_environment.h"
#include "report/expr/rp_dataset.h"
#include "report/output/printer/rp_printer.h"

#include <QCoreApplication>

#include <algorithm>
#include <chrono>

namespace report::engine {
namespace {

// Window messages are handled in the middle of a run: the progress window's Cancel, the
// preview's paint and close.
void ProcessMessages()
{
    if (QCoreApplication::instance() != nullptr)
        QCoreApplication::processEvents();
}

// Between rows messages are handled when the progress figure moved and otherwise at most this
// often: a row takes microseconds, and handling them for every row cost half the layout run.
constexpr std::chrono::milliseconds kMessagesEvery{10};

expr::TRpEvEnvironment* FunctionsOf(TRpReportModel* report) { return report != nullptr ? &report->Functions : nullptr; }

// The report's own level when it runs on data (a report that publishes its data set); null
// for a report whose own level has no rows of its own.
const TRpController* MainLevel(const TRpReportModel& report)
{
    return dynamic_cast<const TRpController*>(&report.Controller());
}

}  // namespace

void TRpPaging::ProcessMessagesBetweenRows()
{
    const auto now = std::chrono::steady_clock::now();
    if (!progressPosted_ && now - messagesHandled_ < kMessagesEvery)
        return;
    messagesHandled_ = now;
    progressPosted_ = false;
    ProcessMessages();
}

void TRpPaging::RunDataLoop(TRpCustomController& controller)
{
    if (auto* level = dynamic_cast<TRpController*>(&controller)) {
        RunLevel(*level);
        return;
    }
    if (controller.ParentReport != nullptr && controller.PrintIfEmpty)
        PrintEmptyPass(controller);
}

void TRpPaging::PrintEmptyPass(TRpCustomController& controller)
{
    auto* level = dynamic_cast<TRpController*>(&controller);
    if (level != nullptr) {
        if (level->ParentReport == nullptr)
            return;
        OutputBand(level->Header);
    }
    PrintBeforeDetail(controller);
    if (level != nullptr)
        OutputBand(level->Detail);
    PrintAfterDetail(controller);
    if (level != nullptr)
        OutputBand(level->Footer);
}

void TRpPaging::PrintBeforeDetail(const TRpCustomController& controller)
{
    const std::vector<TRpCustomController*> subs = controller.BeforeDetail();
    for (TRpCustomController* sub : subs)
        RunDataLoop(*sub);
}

void TRpPaging::PrintAfterDetail(const TRpCustomController& controller)
{
    const std::vector<TRpCustomController*> subs = controller.AfterDetail();
    for (TRpCustomController* sub : subs)
        RunDataLoop(*sub);
}

bool TRpPaging::FetchFirst(TRpController& level, bool& moreData)
{
    if (expr::TRpDataSet* data = level.ActiveDataSet()) {
        if (level.FillParams) {
            if (expr::TRpEvEnvironment* functions = FunctionsOf(level.ParentReport))
                FillQueryParams(*data, *functions);
        }
        data->First();
        moreData = !data->Eof();
        if (!moreData && level.PrintIfEmpty) {
            PrintEmptyPass(level);
            return false;
        }
        return true;
    }
    if (level.OnNeedData)
        level.OnNeedData(level.Parent != nullptr ? *level.Parent : *level.ParentReport, moreData);
    return true;
}

void TRpPaging::PrintStart(TRpController& level)
{
    const bool own = &level == &report_.Controller();
    if (level.Header != nullptr) {
        OutputBand(level.Header);
        if (own)
            skipForceNewPage_ = true;
    }
    if (own && (pageNumber_ <= 1 || partOfJob_)) {
        TRpCustomBand* columnHeader = report_.Bands.Band(3);
        if (columnHeader != nullptr && columnHeader->Enabled()) {
            OutputBand(columnHeader);
            skipForceNewPage_ = true;
        }
    }
}

void TRpPaging::FetchNext(TRpController& level, bool& moreData)
{
    if (expr::TRpDataSet* data = level.ActiveDataSet()) {
        data->Next();
        moreData = !data->Eof();
        return;
    }
    moreData = false;
    if (level.OnNeedData)
        level.OnNeedData(level.Parent != nullptr ? *level.Parent : *level.ParentReport, moreData);
}

void TRpPaging::FinishGroupsOfRow(TRpController& level, bool changed)
{
    if (!changed)
        return;
    // The footers see the last row of the group they close.
    if (expr::TRpDataSet* data = level.ActiveDataSet()) {
        data->Prior();
        PrintGroupFooters(level);
        data->Next();
    } else {
        PrintGroupFooters(level);
    }
}

int TRpPaging::NextProgress(const TRpController& level, int progress, std::int32_t recordCount) const
{
    const TRpController* main = MainLevel(report_);
    expr::TRpDataSet* data = level.ActiveDataSet();
    if (main != nullptr && data != nullptr && data == main->DataSet() && recordCount != 0) {
        return static_cast<int>(static_cast<std::int64_t>(level.DetailNumber()) * 100 / recordCount);
    }
    // Rows known beforehand: rows printed of rows, as for a data set. Stepping by 2 and starting
    // over above 100 would run the bar through its whole length again and again on a long run.
    if (data == nullptr && level.NeedDataRows > 0 && level.OnNeedData) {
        return static_cast<int>(
            std::min<std::int64_t>(static_cast<std::int64_t>(level.DetailNumber()) * 100 / level.NeedDataRows, 100));
    }
    progress += 2;
    return progress > 100 ? 5 : progress;
}

void TRpPaging::PostProgress(int progress, int& posted)
{
    // A row that leaves the figure as it was posts nothing.
    if (progress != posted || printer_.Progress() != progress) {
        printer_.SetProgress(progress);
        posted = progress;
        progressPosted_ = true;
    }
}

void TRpPaging::PrintLevelFooter(TRpController& level)
{
    if (level.Footer == nullptr)
        return;
    if (pageNumber_ == 0)
        StartNewPage();
    if (level.Footer->Size.Height > AvailableSpace())
        StartNewColumn();
    OutputBand(level.Footer);
}

void TRpPaging::RunLevel(TRpController& level)
{
    // Without a report nothing can print, not even the empty pass.
    if (level.ParentReport == nullptr)
        return;
    bool moreData = true;
    std::int32_t recordCount = 1;
    for (TRpGroup* group : level.Groups())
        group->HasValue = false;
    if (level.ActiveDataSet() == nullptr && !level.OnNeedData) {
        if (level.PrintIfEmpty)
            PrintEmptyPass(level);
        return;
    }
    if (level.ActiveDataSet() != nullptr) {
        // The record count of a report running on data: its own level's active data set's.
        if (const TRpController* main = MainLevel(report_)) {
            const expr::TRpDataSet* data = main->ActiveDataSet();
            recordCount = data != nullptr ? data->RecordCount() : 1;
        }
    }
    if (!FetchFirst(level, moreData))
        return;
    SetDetailNumber(level, 0);
    if (level.Detail != nullptr)
        SetDetailController(*level.Detail, &level);
    if (!moreData)
        return;
    ProcessMessages();
    if (cancelled_)
        return;
    PrintStart(level);
    (void)CheckGroups(level);
    // A sub-level starting must not swallow a stop asked for during its master's row.
    if (&level == &report_.Controller())
        stopRequested_ = false;
    int progress = 0;
    int posted = -1;
    while (moreData) {
        ProcessMessagesBetweenRows();
        if (cancelled_ || printer_.Cancelled())
            return;
        SetDetailNumber(level, level.DetailNumber() + 1);
        PrintGroupHeaders(level);
        PrintBeforeDetail(level);
        OutputBand(level.Detail);
        PrintAfterDetail(level);
        FetchNext(level, moreData);
        FinishGroupsOfRow(level, CheckGroups(level));
        progress = NextProgress(level, progress, recordCount);
        PostProgress(progress, posted);
        moreData = moreData && !stopRequested_;
        if (report_.PagesInPreview > 0)
            moreData = moreData && printer_.PageCount() <= report_.PagesInPreview;
    }
    printer_.SetProgress(100);
    // Groups whose footer the last row printed are done; every other one closes now.
    for (TRpGroup* group : level.Groups())
        group->Changed = !group->Changed;
    PrintGroupFooters(level);
    PrintLevelFooter(level);
}

bool TRpPaging::CheckGroups(const TRpCustomController& controller)
{
    const std::vector<TRpGroup*>& groups = controller.Groups();
    std::size_t changedAt = groups.size();
    for (std::size_t i = 0; i < groups.size(); ++i) {
        groups[i]->Evaluate();
        if (groups[i]->Changed) {
            changedAt = i;
            break;
        }
    }
    if (changedAt == groups.size())
        return false;
    for (std::size_t i = changedAt + 1; i < groups.size(); ++i)
        groups[i]->Restart();
    return true;
}

void TRpPaging::PrintGroupHeaders(const TRpCustomController& controller)
{
    for (TRpGroup* group : controller.Groups()) {
        if (!group->Changed)
            continue;
        OutputBand(group);
        group->Open = true;
        group->HeaderPage = pageNumber_;
    }
}

void TRpPaging::PrintGroupFooters(const TRpCustomController& controller)
{
    const std::vector<TRpGroup*>& groups = controller.Groups();
    for (auto it = groups.rbegin(); it != groups.rend(); ++it) {
        TRpGroup* group = *it;
        if (!group->Changed)
            continue;
        OutputBand(group->FooterBand());
        group->Open = false;
    }
}

void TRpPaging::ReprintGroupHeaders(const TRpCustomController& controller)
{
    if (controller.ParentReport == nullptr)
        return;
    const std::vector<TRpGroup*>& groups = controller.Groups();
    if (std::ranges::any_of(groups, [](const TRpGroup* group) { return group->Changed; }))
        return;
    for (TRpCustomController* sub : controller.BeforeDetail())
        ReprintGroupHeaders(*sub);
    std::size_t reprinted = groups.size();
    for (std::size_t i = 0; i < groups.size(); ++i) {
        TRpGroup& group = *groups[i];
        if (group.ReprintOnNewPage && group.Open && group.HeaderPage != pageNumber_) {
            group.Changed = true;
            group.HeaderPage = pageNumber_;
            reprinted = i;
            break;
        }
        group.Changed = false;
    }
    if (reprinted < groups.size()) {
        for (std::size_t i = reprinted + 1; i < groups.size(); ++i)
            groups[i]->Restart();
        PrintGroupHeaders(controller);
    }
    for (TRpCustomController* sub : controller.AfterDetail())
        ReprintGroupHeaders(*sub);
}

}  // namespace report::engine
