// The pictures of recorded pages: a picture a page stores is decoded when it is first drawn, not
// when the page is read, within a budget of decoded memory that the pages of one document share.
#pragma once

#include <QImage>
#include <QSize>

#include <cstdint>
#include <memory>
#include <mutex>
#include <span>
#include <vector>

namespace report::output {

// How a PictureData record holds its pixels: the rows of u32 ARGB as they are, or those bytes
// as one zlib stream.
enum class PictureCoding : std::uint16_t { Raw = 0, Deflated = 1 };

// Decoded picture bytes a page may draw: pictures of more than this (from their declared sizes)
// make the page unreadable. Pages are recorded at 96 dpi: one wholly covered by pictures at that
// density is 3.6 MB on A4 and 55 MB on the largest paper there is, and the printout's pages
// draw some tens of kilobytes.
inline constexpr std::uint64_t kMaxPagePictureBytes = 256ULL * 1024 * 1024;
// Decoded picture bytes the pages of one open document hold at once: the page on show and
// another one being drawn (a thumbnail, a print, a copy) of up to half the page budget. With the
// rest of the preview this stays under half a gigabyte whatever the file.
inline constexpr std::uint64_t kMaxDocumentPictureBytes = 384ULL * 1024 * 1024;

// The decoded picture memory of one document's pages: each stored picture takes its bytes
// before it is decoded and gives them back when it is freed. Safe to share between threads.
class PictureMemory {
public:
    explicit PictureMemory(std::uint64_t limit = kMaxDocumentPictureBytes) : limit_(limit) {}
    PictureMemory(const PictureMemory&) = delete;
    PictureMemory& operator=(const PictureMemory&) = delete;

    // Takes `bytes`; false, taking nothing, when that would pass the limit.
    [[nodiscard]] bool Take(std::uint64_t bytes);
    void Give(std::uint64_t bytes);
    [[nodiscard]] std::uint64_t Used() const;
    [[nodiscard]] std::uint64_t Limit() const { return limit_; }

private:
    mutable std::mutex lock_;
    const std::uint64_t limit_;
    std::uint64_t used_ = 0;
};

// One picture of a page: an image drawn in memory (what the recorder keeps), or the bytes a
// page stores, decoded on the first Image() into Format_ARGB32 and kept while any copy of the
// picture lives. Copies share the image and the decoding.
class PagePicture {
public:
    PagePicture() = default;
    // A picture already in memory (may be null).
    // Implicit: a page's records are built from the images drawn.
    PagePicture(QImage image);
    // `width` x `height` pixels stored as `coding` in `data` (a raw picture's bytes number
    // exactly 4 x width x height: the reader checks that). Decoded within `memory` when given.
    [[nodiscard]] static PagePicture Stored(std::uint32_t width, std::uint32_t height, PictureCoding coding,
                                            std::span<const std::uint8_t> data,
                                            std::shared_ptr<PictureMemory> memory = nullptr);

    // The pixels; a null image for a picture of no pixels, for bytes that do not decode to the
    // picture's size, and while `memory` cannot take the picture (asked again at the next call).
    [[nodiscard]] QImage Image() const;
    // Width and height, known without decoding.
    [[nodiscard]] QSize Size() const;
    // The bytes the picture takes decoded: 4 x width x height.
    [[nodiscard]] std::uint64_t DecodedBytes() const;
    // Whether copies of this picture and `other` share one picture.
    [[nodiscard]] bool Shares(const PagePicture& other) const { return state_ == other.state_; }

    // The same pixels (decodes both).
    bool operator==(const PagePicture& other) const { return Image() == other.Image(); }

private:
    struct State;
    std::shared_ptr<State> state_;
};

}  // namespace report::output
