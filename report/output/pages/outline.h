// The outline a recorded document may carry: entries of caption, level, rectangle, page and
// identifier, shown as a tree. The page list empties it with every new document.
#pragma once

#include <QPointer>
#include <QRect>
#include <QTreeWidget>

#include <cstdint>
#include <string>
#include <vector>

namespace report::output {

// Levels deeper than this hang under the deepest one.
inline constexpr std::int32_t kOutlineLevels = 32;

struct TRpOutlineEntry {
    std::string caption;  // at most 51 characters, code page 1250
    std::int32_t level = 1;  // 1 is the top
    std::int32_t left = 0, top = 0, right = 0, bottom = 0;
    std::int32_t page = 0;
    std::int32_t id = 0;
};

class TRpOutline {
public:
    // Forgets every entry; a tree view shown is emptied.
    void Clear();
    // Appends an entry (its caption cut to 51 characters) and shows it in the tree view.
    void Add(TRpOutlineEntry entry);
    [[nodiscard]] const std::vector<TRpOutlineEntry>& Entries() const { return entries_; }

    // Stores the tree view (not owned; nullptr: none) and fills it.
    void SetTreeView(QTreeWidget* view);
    [[nodiscard]] QTreeWidget* TreeView() const { return view_; }

    // The rectangle and page of the first entry with identifier `id`; false, with an empty
    // rectangle and page 0, when there is none.
    [[nodiscard]] bool Find(std::int32_t id, QRect& rect, std::int32_t& page) const;

private:
    void Fill();

    std::vector<TRpOutlineEntry> entries_;
    QPointer<QTreeWidget> view_;
};

}  // namespace report::output
