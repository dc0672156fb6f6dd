// The sorted, duplicate-free name list of the card layer, optionally with one object per name.
// Names compare case-insensitively, as reader names do on the system the program came from;
// the order decides which reader is "the first".
#pragma once

#include <algorithm>
#include <stdexcept>
#include <string>
#include <string_view>
#include <utility>
#include <variant>
#include <vector>

namespace smartcard {

// <0, 0, >0 as `a` sorts before, equal to or after `b`, ignoring ASCII case.
int CompareNames(std::string_view a, std::string_view b);

template <typename T = std::monostate>
class TSortedList {
public:
    struct Item {
        std::string name;
        T object;
    };

    int Count() const { return static_cast<int>(items_.size()); }
    bool Empty() const { return items_.empty(); }
    const std::string& Name(int i) const { return At(i).name; }
    T& Object(int i) { return items_[Checked(i)].object; }
    const T& Object(int i) const { return At(i).object; }

    // Index of `name`, -1 when absent.
    int IndexOf(std::string_view name) const
    {
        const auto it = LowerBound(name);
        return it != items_.end() && CompareNames(it->name, name) == 0 ? static_cast<int>(it - items_.begin()) : -1;
    }
    bool Contains(std::string_view name) const { return IndexOf(name) >= 0; }

    // Index of the new entry; a name already there keeps its entry (and object).
    int Add(std::string name, T object = T{})
    {
        const auto it = LowerBound(name);
        if (it != items_.end() && CompareNames(it->name, name) == 0)
            return static_cast<int>(it - items_.begin());
        const auto at = items_.insert(it, Item{std::move(name), std::move(object)});
        return static_cast<int>(at - items_.begin());
    }
    // std::out_of_range "List index out of bounds (i)" outside 0..Count-1.
    void Delete(int i) { items_.erase(items_.begin() + Checked(i)); }
    bool Remove(std::string_view name)
    {
        const int i = IndexOf(name);
        if (i < 0)
            return false;
        Delete(i);
        return true;
    }
    void Clear() { items_.clear(); }

    std::vector<std::string> Names() const
    {
        std::vector<std::string> names;
        names.reserve(items_.size());
        for (const Item& item : items_)
            names.push_back(item.name);
        return names;
    }

    auto begin() { return items_.begin(); }
    auto end() { return items_.end(); }
    auto begin() const { return items_.begin(); }
    auto end() const { return items_.end(); }

private:
    typename std::vector<Item>::const_iterator LowerBound(std::string_view name) const
    {
        return std::lower_bound(items_.begin(), items_.end(), name,
                                [](const Item& item, std::string_view n) { return CompareNames(item.name, n) < 0; });
    }
    std::size_t Checked(int i) const
    {
        if (i < 0 || i >= Count())
            throw std::out_of_range("List index out of bounds (" + std::to_string(i) + ")");
        return static_cast<std::size_t>(i);
    }
    const Item& At(int i) const { return items_[Checked(i)]; }

    std::vector<Item> items_;
};

}  // namespace smartcard
