#include "report/output/pages/page_pictures.h"

#include <QHashFunctions>

#include <cstring>

namespace report::output {
namespace {

std::size_t PixelHash(const QImage& argb)
{
    const std::size_t size = qHashMulti(0, argb.width(), argb.height());
    if (argb.isNull())
        return size;
    return qHashBits(argb.constBits(), static_cast<std::size_t>(argb.sizeInBytes()), size);
}

bool SamePixels(const QImage& a, const QImage& b)
{
    if (a.size() != b.size() || a.isNull() != b.isNull())
        return false;
    // ARGB32 rows have no padding: the pixels are one block.
    return a.isNull() || std::memcmp(a.constBits(), b.constBits(), static_cast<std::size_t>(a.sizeInBytes())) == 0;
}

}  // namespace

std::optional<std::size_t> PagePictures::ByKey(const QImage& image) const
{
    // A null image has key 0, which the first image made in a process may also have.
    if (image.isNull())
        return std::nullopt;
    const auto found = byKey_.find(image.cacheKey());
    if (found == byKey_.end())
        return std::nullopt;
    return found->second;
}

std::size_t PagePictures::Keep(const QImage& argb, bool* added)
{
    const std::size_t hash = PixelHash(argb);
    const auto [first, last] = byPixels_.equal_range(hash);
    for (auto it = first; it != last; ++it) {
        if (SamePixels(pictures_[it->second], argb)) {
            if (added)
                *added = false;
            Remember(argb, it->second);
            return it->second;
        }
    }
    const std::size_t number = pictures_.size();
    pictures_.push_back(argb);
    byPixels_.emplace(hash, number);
    Remember(argb, number);
    if (added)
        *added = true;
    return number;
}

void PagePictures::Remember(const QImage& image, std::size_t number)
{
    if (!image.isNull())
        byKey_.insert_or_assign(image.cacheKey(), number);
}

}  // namespace report::output
