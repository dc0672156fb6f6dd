#include "report/output/pages/outline.h"

#include "report/output/canvas/canvas.h"

#include <algorithm>

namespace report::output {
namespace {

constexpr std::size_t kCaptionLength = 51;

}  // namespace

void TRpOutline::Clear()
{
    entries_.clear();
    Changed();
}

void TRpOutline::Add(TRpOutlineEntry entry)
{
    if (entry.caption.size() > kCaptionLength)
        entry.caption.resize(kCaptionLength);
    entries_.push_back(std::move(entry));
    Changed();
}

bool TRpOutline::Find(std::int32_t id, QRect& rect, std::int32_t& page) const
{
    const auto found =
        std::find_if(entries_.begin(), entries_.end(), [id](const TRpOutlineEntry& entry) { return entry.id == id; });
    if (found == entries_.end()) {
        rect = QRect();
        page = 0;
        return false;
    }
    rect = GdiRect(found->left, found->top, found->right, found->bottom);
    page = found->page;
    return true;
}

void TRpOutline::Changed() const
{
    if (onChange_)
        onChange_(*this);
}

}  // namespace report::output
