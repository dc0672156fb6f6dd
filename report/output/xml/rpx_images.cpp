// The pictures of an XML document's image items: read from the item's data into their image in
// one pass (LZW decoded as the image reader asks for the bytes), counted by their pixels before
// they are decoded, and kept for the document's paints.
#include "report/output/codec/lzw.h"
#include "report/output/xml/rpx_document.h"

#include <QBuffer>
#include <QIODevice>
#include <QImageReader>

#include <algorithm>
#include <array>

namespace report::output {
namespace {

constexpr std::size_t kBytesPerPixel = 4;

int HexDigit(char16_t c)
{
    if (c >= u'0' && c <= u'9')
        return c - u'0';
    if (c >= u'a' && c <= u'f')
        return c - u'a' + 10;
    if (c >= u'A' && c <= u'F')
        return c - u'A' + 10;
    return -1;
}

// The bytes of hexadecimal pairs; other characters are skipped.
std::string HexBytes(const QString& hexText)
{
    std::string bytes;
    bytes.reserve(static_cast<std::size_t>(hexText.size() / 2));
    int high = -1;
    for (const QChar c : hexText) {
        const int digit = HexDigit(c.unicode());
        if (digit < 0)
            continue;
        if (high < 0) {
            high = digit;
        } else {
            bytes.push_back(static_cast<char>(high << 4 | digit));
            high = -1;
        }
    }
    return bytes;
}

// The bytes an LZW code decodes to (`size` of them), as a device that decodes them while they
// are read, straight into the reader's memory. A read behind what was decoded starts the
// decoding again.
class LzwDevice final : public QIODevice {
public:
    LzwDevice(std::string_view code, qint64 size) : code_(code), size_(size)
    {
        open(QIODevice::ReadOnly | QIODevice::Unbuffered);
    }

    bool isSequential() const override { return false; }
    qint64 size() const override { return size_; }

protected:
    qint64 readData(char* data, qint64 maxSize) override
    {
        const qint64 at = pos();
        if (!decoder_ || at < decoded_) {
            decoder_.reset();
            decoder_.emplace(code_);
            decoded_ = 0;
        }
        std::array<char, 4096> skipped;
        while (decoded_ < at) {
            const auto n = decoder_->Read(std::span<char>(
                skipped.data(), static_cast<std::size_t>(std::min<qint64>(skipped.size(), at - decoded_))));
            if (n == 0)
                return -1;
            decoded_ += static_cast<qint64>(n);
        }
        const auto n = static_cast<qint64>(decoder_->Read(
            std::span<char>(data, static_cast<std::size_t>(std::clamp<qint64>(size_ - at, 0, maxSize)))));
        decoded_ += n;
        return n == 0 && decoder_->Error() ? -1 : n;
    }
    qint64 writeData(const char*, qint64) override { return -1; }

private:
    std::string_view code_;
    qint64 size_;
    std::optional<LzwDecoder> decoder_;
    qint64 decoded_ = 0;
};

// An image item's picture as it is read: the item's data before an image reader, which reads
// the header (the picture's size) first and the pixels when asked.
class PictureSource {
public:
    PictureSource(const QString& hexText, bool lzw) : bytes_(HexBytes(hexText))
    {
        if (lzw) {
            // The data's size, and that they decode, are known without decoding them.
            const std::optional<std::size_t> size = LzwDecodedSize(bytes_, kMaxRpxImageBytes);
            if (!size)
                return;
            lzw_.emplace(bytes_, static_cast<qint64>(*size));
            reader_.setDevice(&*lzw_);
        } else {
            if (bytes_.size() > kMaxRpxImageBytes)
                return;
            // The data as they are, without a copy.
            raw_ = QByteArray::fromRawData(bytes_.data(), static_cast<qsizetype>(bytes_.size()));
            buffer_.setBuffer(&raw_);
            buffer_.open(QIODevice::ReadOnly);
            reader_.setDevice(&buffer_);
        }
        reader_.setAllocationLimit(static_cast<int>(kMaxRpxImageBytes / (1024 * 1024)));
    }
    PictureSource(const PictureSource&) = delete;
    PictureSource& operator=(const PictureSource&) = delete;

    // The bytes of the decoded pixels, from the header; nullopt when the data hold no picture
    // or one past kMaxRpxImageBytes, 0 when its header does not tell its size.
    [[nodiscard]] std::optional<std::size_t> PixelBytes()
    {
        if (!reader_.device())
            return std::nullopt;
        const QSize size = reader_.size();
        if (!size.isValid())
            return reader_.canRead() ? std::optional<std::size_t>(0) : std::nullopt;
        const std::size_t bytes =
            static_cast<std::size_t>(size.width()) * static_cast<std::size_t>(size.height()) * kBytesPerPixel;
        if (bytes > kMaxRpxImageBytes)
            return std::nullopt;
        return bytes;
    }

    // The picture; a null image when it cannot be decoded.
    [[nodiscard]] QImage Read()
    {
        QImage picture;
        if (!reader_.device() || !reader_.read(&picture))
            return {};
        // Drawn as it is read; pictures of fewer (or more) bits a pixel become 32-bit once
        // here instead of at every paint.
        if (picture.depth() != 32)
            picture = picture.convertToFormat(picture.hasAlphaChannel() ? QImage::Format_ARGB32 : QImage::Format_RGB32);
        return picture;
    }

private:
    std::string bytes_;
    QByteArray raw_;
    QBuffer buffer_;
    std::optional<LzwDevice> lzw_;
    QImageReader reader_;  // after its devices: it goes first
};

}  // namespace

std::optional<std::size_t> LzwDecodedSize(std::string_view code, std::size_t limit)
{
    constexpr unsigned kClear = 256;
    constexpr unsigned kEnd = 257;
    constexpr unsigned kFirstFree = 258;
    constexpr unsigned kTable = 4096;
    std::array<std::size_t, kTable> length{};
    for (unsigned c = 0; c < kFirstFree; ++c)
        length[c] = 1;
    unsigned nextFree = kFirstFree;
    int width = 9;
    std::uint32_t waitingBits = 0;
    int waiting = 0;
    std::size_t pos = 0;
    std::size_t total = 0;
    while (true) {
        while (waiting < width) {
            if (pos >= code.size())
                return std::nullopt;
            waitingBits = (waitingBits << 8) | static_cast<unsigned char>(code[pos++]);
            waiting += 8;
        }
        waiting -= width;
        const unsigned c = (waitingBits >> waiting) & ((1u << width) - 1);
        waitingBits &= (1u << waiting) - 1;
        if (c == kEnd)
            return total;
        if (c == kClear) {
            nextFree = kFirstFree;
            width = 9;
            continue;
        }
        if (c >= nextFree || nextFree >= kTable)
            return std::nullopt;
        total += length[c];
        if (total > limit)
            return std::nullopt;
        length[nextFree] = length[c] + 1;
        ++nextFree;
        if (nextFree == 512 || nextFree == 1024 || nextFree == 2048)
            ++width;
    }
}

QImage RpxImage(const QString& hexText, bool lzw)
{
    PictureSource source(hexText, lzw);
    if (!source.PixelBytes())
        return {};
    return source.Read();
}

std::size_t TRpXImageCache::KeyHash::operator()(const Key& key) const { return qHash(key.text, key.lzw ? 1u : 0u); }

TRpXImageCache::TRpXImageCache(std::size_t pageBytes, std::size_t keptBytes)
    : pageLimit_(pageBytes), keptLimit_(keptBytes)
{}

TRpXImageCache::~TRpXImageCache() = default;

TRpXImageCache::Slot& TRpXImageCache::SlotOf(const TRpDocnode& item, bool lzw)
{
    Slot*& known = byItem_[&item];
    if (!known) {
        std::unique_ptr<Slot>& shared = byData_[Key{item.Text, lzw}];
        if (!shared)
            shared = std::make_unique<Slot>();
        known = shared.get();
    }
    return *known;
}

QImage TRpXImageCache::Picture(const TRpDocnode& item, bool lzw, std::size_t& pageBytes, bool shown)
{
    Slot& slot = SlotOf(item, lzw);
    // Open when this call has read the header: the pixels follow from the same reading.
    std::optional<PictureSource> source;
    if (!slot.pixelBytes && !slot.broken) {
        source.emplace(item.Text, lzw);
        slot.pixelBytes = source->PixelBytes();
        slot.broken = !slot.pixelBytes;
    }
    const std::size_t left = pageLimit_ - std::min(pageBytes, pageLimit_);
    if (slot.broken || *slot.pixelBytes > left)
        return {};
    if (shown)
        slot.shownMark = shownMark_;
    if (slot.decoded) {
        pageBytes += *slot.pixelBytes;
        if (!slot.picture.isNull())
            kept_.splice(kept_.begin(), kept_, slot.kept);
        return slot.picture;
    }
    if (!source)
        source.emplace(item.Text, lzw);
    QImage picture = source->Read();
    ++decodes_;
    // A header without the size: counted now that the pixels are there.
    const auto bytes = static_cast<std::size_t>(picture.sizeInBytes());
    slot.pixelBytes = std::max(*slot.pixelBytes, bytes);
    if (bytes > left)
        return {};
    pageBytes += *slot.pixelBytes;
    slot.picture = std::move(picture);
    slot.decoded = true;
    if (!slot.picture.isNull())
        Keep(slot);
    return slot.picture;
}

void TRpXImageCache::Keep(Slot& slot)
{
    kept_.push_front(&slot);
    slot.kept = kept_.begin();
    keptBytes_ += static_cast<std::size_t>(slot.picture.sizeInBytes());
    // The one drawn longest ago goes first; the picture just made and those of the page on
    // show stay.
    for (auto it = kept_.end(); keptBytes_ > keptLimit_ && it != std::next(kept_.begin());) {
        Slot* old = *--it;
        if (old->shownMark == shownMark_)
            continue;
        keptBytes_ -= static_cast<std::size_t>(old->picture.sizeInBytes());
        old->picture = QImage();
        old->decoded = false;
        it = kept_.erase(it);
    }
}

}  // namespace report::output
