#include "report/output/codec/deflate_memo.h"

#include "report/output/codec/deflate.h"

#include <algorithm>

namespace report::output {

DeflateMemo::DeflateMemo(std::size_t maxInputs, std::size_t maxInputBytes)
    : maxInputs_(maxInputs), maxInputBytes_(maxInputBytes)
{}

const std::vector<std::uint8_t>& DeflateMemo::Deflated(std::span<const std::uint8_t> plain)
{
    for (const Entry& entry : entries_) {
        if (std::ranges::equal(entry.plain, plain))
            return entry.coded;
    }
    if (maxInputs_ == 0 || plain.size() > maxInputBytes_) {
        uncached_ = Deflate(plain);
        return uncached_;
    }
    Entry fresh{.plain = {plain.begin(), plain.end()}, .coded = Deflate(plain)};
    if (entries_.size() < maxInputs_) {
        entries_.push_back(std::move(fresh));
        return entries_.back().coded;
    }
    // Oldest first out: a report's icons are few, and all come back soon.
    Entry& replaced = entries_[next_];
    next_ = (next_ + 1) % maxInputs_;
    replaced = std::move(fresh);
    return replaced.coded;
}

}  // namespace report::output
