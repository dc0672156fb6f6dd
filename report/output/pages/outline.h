// The outline a recorded document may carry: entries of caption, level, rectangle, page and
// identifier. The page list empties it with every new document; a window that shows it is told
// of every change.
#pragma once

#include <QRect>

#include <cstdint>
#include <functional>
#include <string>
#include <utility>
#include <vector>

namespace report::output {

// Levels deeper than this hang under the deepest one.
inline constexpr std::int32_t kOutlineLevels = 32;

struct TRpOutlineEntry {
    std::string caption;     // at most 51 characters, code page 1250
    std::int32_t level = 1;  // 1 is the top
    std::int32_t left = 0, top = 0, right = 0, bottom = 0;
    std::int32_t page = 0;
    std::int32_t id = 0;
};

class TRpOutline {
public:
    using ChangeHandler = std::function<void(const TRpOutline& outline)>;

    // Forgets every entry.
    void Clear();
    // Appends an entry, its caption cut to 51 characters.
    void Add(TRpOutlineEntry entry);
    [[nodiscard]] const std::vector<TRpOutlineEntry>& Entries() const { return entries_; }

    // Called after every Clear and Add (empty: nobody is told); replaces the one before.
    void SetOnChange(ChangeHandler onChange) { onChange_ = std::move(onChange); }

    // The rectangle and page of the first entry with identifier `id`; false, with an empty
    // rectangle and page 0, when there is none.
    [[nodiscard]] bool Find(std::int32_t id, QRect& rect, std::int32_t& page) const;

private:
    void Changed() const;

    std::vector<TRpOutlineEntry> entries_;
    ChangeHandler onChange_;
};

}  // namespace report::output
