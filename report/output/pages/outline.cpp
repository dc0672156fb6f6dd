#include "report/output/pages/outline.h"

#include "report/output/canvas/canvas.h"
#include "utility/cp1250.h"

#include <QTreeWidgetItem>

#include <algorithm>
#include <array>

namespace report::output {
namespace {

constexpr std::size_t kCaptionLength = 51;

}  // namespace

void TRpOutline::Clear()
{
    entries_.clear();
    if (view_)
        view_->clear();
}

void TRpOutline::Add(TRpOutlineEntry entry)
{
    if (entry.caption.size() > kCaptionLength)
        entry.caption.resize(kCaptionLength);
    entries_.push_back(std::move(entry));
    Fill();
}

void TRpOutline::SetTreeView(QTreeWidget* view)
{
    view_ = view;
    Fill();
}

bool TRpOutline::Find(std::int32_t id, QRect& rect, std::int32_t& page) const
{
    const auto found = std::find_if(entries_.begin(), entries_.end(),
                                    [id](const TRpOutlineEntry& entry) { return entry.id == id; });
    if (found == entries_.end()) {
        rect = QRect();
        page = 0;
        return false;
    }
    rect = GdiRect(found->left, found->top, found->right, found->bottom);
    page = found->page;
    return true;
}

void TRpOutline::Fill()
{
    if (!view_)
        return;
    view_->setUpdatesEnabled(false);
    view_->clear();
    // The node last placed at each level; an entry hangs under the one of the level above it.
    std::array<QTreeWidgetItem*, kOutlineLevels> parents{};
    for (const TRpOutlineEntry& entry : entries_) {
        // A level read from a file may be anything: keep it within the table.
        const std::int32_t level = std::clamp(entry.level, 1, kOutlineLevels);
        QTreeWidgetItem* parent = level > 1 ? parents[static_cast<std::size_t>(level - 2)] : nullptr;
        auto* item = parent ? new QTreeWidgetItem(parent) : new QTreeWidgetItem(view_.data());
        item->setText(0, utility::Cp1250ToQString(entry.caption));
        parents[static_cast<std::size_t>(level - 1)] = item;
    }
    view_->setUpdatesEnabled(true);
}

}  // namespace report::output
