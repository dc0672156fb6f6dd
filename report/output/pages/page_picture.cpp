#include "report/output/pages/page_picture.h"

#include "report/output/codec/deflate.h"

#include <algorithm>
#include <bit>
#include <cstring>
#include <utility>

namespace report::output {

bool PictureMemory::Take(std::uint64_t bytes)
{
    std::lock_guard guard(lock_);
    if (bytes > limit_ - used_)
        return false;
    used_ += bytes;
    return true;
}

void PictureMemory::Give(std::uint64_t bytes)
{
    std::lock_guard guard(lock_);
    used_ -= std::min(bytes, used_);
}

std::uint64_t PictureMemory::Used() const
{
    std::lock_guard guard(lock_);
    return used_;
}

struct PagePicture::State {
    std::uint32_t width = 0;
    std::uint32_t height = 0;
    PictureCoding coding = PictureCoding::Raw;
    std::vector<std::uint8_t> data;  // as the page stores it; let go once decoded
    std::shared_ptr<PictureMemory> memory;
    std::mutex lock;
    QImage image;
    bool done = false;        // decoded, or found not to decode
    std::uint64_t taken = 0;  // of `memory`

    ~State()
    {
        if (memory)
            memory->Give(taken);
    }

    [[nodiscard]] std::uint64_t Bytes() const { return std::uint64_t{width} * height * 4; }

    // Called under `lock` until done.
    void Decode()
    {
        const std::uint64_t bytes = Bytes();
        if (bytes == 0)
            return Finish();
        if (memory && !memory->Take(bytes))
            return;  // not now: the document's other pictures hold the memory
        taken = memory ? bytes : 0;
        image = QImage(static_cast<int>(width), static_cast<int>(height), QImage::Format_ARGB32);
        if (image.isNull() || !Unpack(std::span<std::uint8_t>(image.bits(), static_cast<std::size_t>(bytes))))
            image = QImage();
        Finish();
    }

    // The stored bytes as pixels in `pixels` (ARGB32 rows have no padding: one block).
    [[nodiscard]] bool Unpack(std::span<std::uint8_t> pixels) const
    {
        if (coding == PictureCoding::Deflated) {
            if (!InflateExact(data, pixels))
                return false;
        } else {
            if (data.size() != pixels.size())
                return false;
            std::memcpy(pixels.data(), data.data(), pixels.size());
        }
        if constexpr (std::endian::native == std::endian::big) {
            for (std::size_t at = 0; at < pixels.size(); at += 4) {
                std::swap(pixels[at], pixels[at + 3]);
                std::swap(pixels[at + 1], pixels[at + 2]);
            }
        }
        return true;
    }

    void Finish()
    {
        done = true;
        std::vector<std::uint8_t>().swap(data);
        if (image.isNull() && memory) {
            memory->Give(taken);
            taken = 0;
        }
    }
};

PagePicture::PagePicture(QImage image) : state_(std::make_shared<State>())
{
    state_->width = static_cast<std::uint32_t>(image.width());
    state_->height = static_cast<std::uint32_t>(image.height());
    state_->image = std::move(image);
    state_->done = true;
}

PagePicture PagePicture::Stored(std::uint32_t width, std::uint32_t height, PictureCoding coding,
                                std::span<const std::uint8_t> data, std::shared_ptr<PictureMemory> memory)
{
    PagePicture picture;
    picture.state_ = std::make_shared<State>();
    State& state = *picture.state_;
    state.width = width;
    state.height = height;
    state.coding = coding;
    state.data.assign(data.begin(), data.end());
    state.memory = std::move(memory);
    return picture;
}

QImage PagePicture::Image() const
{
    if (!state_)
        return {};
    std::lock_guard guard(state_->lock);
    if (!state_->done)
        state_->Decode();
    return state_->image;
}

QSize PagePicture::Size() const
{
    return state_ ? QSize(static_cast<int>(state_->width), static_cast<int>(state_->height)) : QSize(0, 0);
}

std::uint64_t PagePicture::DecodedBytes() const { return state_ ? state_->Bytes() : 0; }

}  // namespace report::output
