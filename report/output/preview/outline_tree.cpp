#include "report/output/preview/outline_tree.h"

#include "utility/cp1250.h"

#include <QPointer>
#include <QTreeWidget>
#include <QTreeWidgetItem>

#include <algorithm>
#include <array>

namespace report::output {
namespace {

// Empties `view` and fills it with the outline's entries, in one batch.
void FillOutlineTree(QTreeWidget& view, const TRpOutline& outline)
{
    view.setUpdatesEnabled(false);
    view.clear();
    // The node last placed at each level; an entry hangs under the one of the level above it.
    std::array<QTreeWidgetItem*, kOutlineLevels> parents{};
    for (const TRpOutlineEntry& entry : outline.Entries()) {
        // A level read from a file may be anything: keep it within the table.
        const std::int32_t level = std::clamp(entry.level, 1, kOutlineLevels);
        QTreeWidgetItem* parent = level > 1 ? parents[static_cast<std::size_t>(level - 2)] : nullptr;
        auto* item = parent ? new QTreeWidgetItem(parent) : new QTreeWidgetItem(&view);
        item->setText(0, utility::Cp1250ToQString(entry.caption));
        parents[static_cast<std::size_t>(level - 1)] = item;
    }
    view.setUpdatesEnabled(true);
}

}  // namespace

void ShowOutline(TRpOutline& outline, QTreeWidget* view)
{
    if (view == nullptr) {
        outline.SetOnChange({});
        return;
    }
    // A view that is gone is left alone.
    outline.SetOnChange([tree = QPointer<QTreeWidget>(view)](const TRpOutline& changed) {
        if (tree)
            FillOutlineTree(*tree, changed);
    });
    FillOutlineTree(*view, outline);
}

}  // namespace report::output
