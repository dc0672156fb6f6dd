// The distinct pictures of one page, each kept once. A picture drawn again is found by its
// QImage cache key (the same image, unchanged since) and otherwise by its pixels.
#pragma once

#include <QImage>

#include <cstddef>
#include <optional>
#include <unordered_map>
#include <vector>

namespace report::output {

class PagePictures {
public:
    // The number of the picture an image with this cache key was kept as; never for a null image.
    [[nodiscard]] std::optional<std::size_t> ByKey(const QImage& image) const;
    // The number of the kept picture with the pixels of `argb` (Format_ARGB32, or null), keeping
    // it first when there is none; `added` tells which. Later ByKey calls find `argb` too.
    std::size_t Keep(const QImage& argb, bool* added = nullptr);
    // Later ByKey calls for `image` answer `number`.
    void Remember(const QImage& image, std::size_t number);

    [[nodiscard]] const QImage& operator[](std::size_t number) const { return pictures_[number]; }
    [[nodiscard]] std::size_t Size() const { return pictures_.size(); }

private:
    std::vector<QImage> pictures_;
    std::unordered_map<qint64, std::size_t> byKey_;
    std::unordered_multimap<std::size_t, std::size_t> byPixels_;  // pixel hash -> number
};

}  // namespace report::output
