// The outline a recorded document may carry: entries of caption, level, rectangle, page and
// identifier. Nothing fills it yet; the page list empties it with every new document.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace report::output {

struct TRpOutlineEntry {
    std::string caption;  // at most 51 characters, code page 1250
    std::int32_t level = 1;  // 1 is the top
    std::int32_t left = 0, top = 0, right = 0, bottom = 0;
    std::int32_t page = 0;
    std::int32_t id = 0;
};

class TRpOutline {
public:
    void Clear() { entries_.clear(); }
    [[nodiscard]] const std::vector<TRpOutlineEntry>& Entries() const { return entries_; }

private:
    std::vector<TRpOutlineEntry> entries_;
};

}  // namespace report::output
