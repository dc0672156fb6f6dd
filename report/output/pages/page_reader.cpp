// The checked page reader: every length is compared with the bytes it claims before use.
#include "report/output/codec/deflate.h"
#include "report/output/pages/page_format.h"

#include <algorithm>
#include <optional>
#include <string>
#include <utility>

namespace report::output {
namespace {

// A bounded little-endian cursor: each read checks what is left and fails without moving.
class Cursor {
public:
    explicit Cursor(std::span<const std::uint8_t> bytes) : bytes_(bytes) {}

    [[nodiscard]] std::size_t Left() const { return bytes_.size() - pos_; }
    [[nodiscard]] std::size_t Pos() const { return pos_; }
    bool U16(std::uint16_t& v) { return Get(2, v); }
    bool U32(std::uint32_t& v) { return Get(4, v); }
    bool I32(int& v)
    {
        std::uint32_t u = 0;
        if (!Get(4, u))
            return false;
        v = static_cast<int>(u);
        return true;
    }
    bool Bytes(std::size_t n, std::string& out)
    {
        if (n > Left())
            return false;
        out.assign(reinterpret_cast<const char*>(bytes_.data() + pos_), n);
        pos_ += n;
        return true;
    }
    // The next n bytes as a cursor of their own.
    bool Sub(std::size_t n, Cursor& out)
    {
        if (n > Left())
            return false;
        out = Cursor(bytes_.subspan(pos_, n));
        pos_ += n;
        return true;
    }
    [[nodiscard]] std::span<const std::uint8_t> Rest() const { return bytes_.subspan(pos_); }

private:
    bool Get(int n, std::uint32_t& v)
    {
        if (static_cast<std::size_t>(n) > Left())
            return false;
        v = 0;
        for (int i = 0; i < n; ++i)
            v |= static_cast<std::uint32_t>(bytes_[pos_ + static_cast<std::size_t>(i)]) << (8 * i);
        pos_ += static_cast<std::size_t>(n);
        return true;
    }
    bool Get(int n, std::uint16_t& v)
    {
        std::uint32_t u = 0;
        if (!Get(n, u))
            return false;
        v = static_cast<std::uint16_t>(u);
        return true;
    }

    std::span<const std::uint8_t> bytes_;
    std::size_t pos_ = 0;
};

bool InRange(long long v) { return v >= -kCoordinateLimit && v <= kCoordinateLimit; }

QRgb ColorOf(std::uint32_t v) { return 0xFF000000u | (v & 0xFFFFFFu); }

std::string SizeText(std::uint32_t width, std::uint32_t height)
{
    return std::to_string(width) + " x " + std::to_string(height);
}

std::string Mib(std::uint64_t bytes)
{
    constexpr std::uint64_t kMib = 1024 * 1024;
    return std::to_string((bytes + kMib - 1) / kMib) + " MiB";
}

// A PictureData record: its fields and bytes as the page holds them, made a picture when a
// record first draws it.
struct StoredData {
    std::uint32_t width = 0;
    std::uint32_t height = 0;
    PictureCoding coding = PictureCoding::Raw;
    std::span<const std::uint8_t> data;
    std::optional<PagePicture> picture;
};

// What the records of one page share while it is read.
struct PageState {
    Page& page;
    std::uint16_t major;
    const PictureBudget& budget;
    std::vector<StoredData> pictures;  // PictureData records so far, by number

    // Counts a picture drawn for the first time against the page's budget; an error text
    // when it would pass it.
    std::string Charge(std::uint64_t bytes)
    {
        if (bytes > budget.pageBytes - std::min(page.pictureBytes, budget.pageBytes))
            return "draws pictures of " + Mib(page.pictureBytes + bytes) + " decoded, more than the " +
                   Mib(budget.pageBytes) + " a page may hold";
        page.pictureBytes += bytes;
        return {};
    }
};

// Reads the fields of one record; returns an error text, empty when the record is good.
class RecordReader {
public:
    RecordReader(Cursor payload, PageState& state) : c_(payload), page_(state.page), state_(state) {}

    std::string Read(std::uint16_t tag)
    {
        namespace pr = page_record;
        switch (static_cast<PageTag>(tag)) {
        case PageTag::Pen:
            return ReadPen();
        case PageTag::Brush:
            return ReadBrush();
        case PageTag::Font:
            return ReadFont();
        case PageTag::Text:
            return ReadText();
        case PageTag::Fill:
            return ReadRectRecord<pr::Fill>();
        case PageTag::Rectangle:
            return ReadRectRecord<pr::Rectangle>();
        case PageTag::Ellipse:
            return ReadRectRecord<pr::Ellipse>();
        case PageTag::Clip:
            return ReadRectRecord<pr::Clip>();
        case PageTag::RoundRect:
            return ReadRoundRect();
        case PageTag::Line:
            return ReadLine();
        case PageTag::Picture:
            return ReadPicture();
        case PageTag::NoClip:
            page_.records.emplace_back(pr::NoClip{});
            return {};
        case PageTag::PictureData:
            return state_.major >= 2 ? ReadPictureData() : std::string();
        case PageTag::PictureUse:
            return state_.major >= 2 ? ReadPictureUse() : std::string();
        }
        return {};  // a tag of a later minor version: skipped
    }

private:
    static std::string Short() { return "is shorter than its fields"; }
    static std::string Beyond() { return "has a coordinate beyond 16777216 pixels"; }

    bool Rect(QRect& rect, std::string& error)
    {
        int l = 0, t = 0, r = 0, b = 0;
        if (!c_.I32(l) || !c_.I32(t) || !c_.I32(r) || !c_.I32(b)) {
            error = Short();
            return false;
        }
        if (!InRange(l) || !InRange(t) || !InRange(r) || !InRange(b)) {
            error = Beyond();
            return false;
        }
        rect = GdiRect(l, t, r, b);
        return true;
    }

    template <typename T>
    std::string ReadRectRecord()
    {
        T record;
        std::string error;
        if (!Rect(record.rect, error))
            return error;
        page_.records.emplace_back(std::move(record));
        return {};
    }

    std::string ReadPen()
    {
        std::uint32_t color = 0;
        std::uint16_t style = 0;
        int width = 0;
        if (!c_.U32(color) || !c_.U16(style) || !c_.I32(width))
            return Short();
        if (style >= kPenStyleCount)
            return "has an unknown pen style " + std::to_string(style);
        if (!InRange(width))
            return Beyond();
        page_.records.emplace_back(page_record::SetPen{{ColorOf(color), static_cast<PenStyle>(style), width}});
        return {};
    }

    std::string ReadBrush()
    {
        std::uint32_t color = 0;
        std::uint16_t style = 0;
        if (!c_.U32(color) || !c_.U16(style))
            return Short();
        if (style >= kBrushStyleCount)
            return "has an unknown brush style " + std::to_string(style);
        page_.records.emplace_back(page_record::SetBrush{{ColorOf(color), static_cast<BrushStyle>(style)}});
        return {};
    }

    std::string ReadFont()
    {
        FontSpec f;
        std::uint32_t color = 0;
        std::uint16_t styles = 0, charset = 0, faceLength = 0;
        if (!c_.I32(f.points) || !c_.I32(f.orientation) || !c_.U32(color) || !c_.U16(styles) || !c_.U16(charset) ||
            !c_.U16(faceLength))
            return Short();
        if (!InRange(f.points))
            return "has a font size beyond 16777216 points";
        if (!c_.Bytes(faceLength, f.face))
            return "has a face name that runs past the record";
        f.color = ColorOf(color);
        f.bold = (styles & 1) != 0;
        f.italic = (styles & 2) != 0;
        f.underline = (styles & 4) != 0;
        f.strikeOut = (styles & 8) != 0;
        f.charset = charset;
        page_.records.emplace_back(page_record::SetFont{std::move(f)});
        return {};
    }

    std::string ReadText()
    {
        page_record::Text t;
        std::uint16_t align = 0, background = 0;
        std::uint32_t color = 0, count = 0;
        if (!c_.I32(t.x) || !c_.I32(t.y) || !c_.U16(align) || !c_.U16(background) || !c_.U32(color) || !c_.U32(count))
            return Short();
        if (!InRange(t.x) || !InRange(t.y))
            return Beyond();
        if ((align & 3) == 3)
            return "has an unknown text alignment";
        if (background > 1)
            return "has an unknown background mode";
        if (!c_.Bytes(count, t.bytes))
            return "has a text count that runs past the record";
        t.align.horizontal = static_cast<HorizontalAlign>(align & 3);
        t.align.rightToLeft = (align & 0x100) != 0;
        t.background = {background == 1, ColorOf(color)};
        page_.records.emplace_back(std::move(t));
        return {};
    }

    std::string ReadRoundRect()
    {
        page_record::RoundRect r;
        std::string error;
        if (!Rect(r.rect, error))
            return error;
        if (!c_.I32(r.cornerWidth) || !c_.I32(r.cornerHeight))
            return Short();
        if (!InRange(r.cornerWidth) || !InRange(r.cornerHeight))
            return Beyond();
        page_.records.emplace_back(r);
        return {};
    }

    std::string ReadLine()
    {
        page_record::Line l;
        if (!c_.I32(l.x0) || !c_.I32(l.y0) || !c_.I32(l.x1) || !c_.I32(l.y1))
            return Short();
        if (!InRange(l.x0) || !InRange(l.y0) || !InRange(l.x1) || !InRange(l.y1))
            return Beyond();
        page_.records.emplace_back(l);
        return {};
    }

    std::string ReadPicture()
    {
        page_record::Picture p;
        std::string error;
        if (!Rect(p.rect, error))
            return error;
        std::uint32_t width = 0, height = 0, stride = 0;
        if (!c_.U32(width) || !c_.U32(height) || !c_.U32(stride))
            return Short();
        if (width > kMaxPictureSide || height > kMaxPictureSide)
            return "has a picture larger than 16384 pixels a side";
        const std::uint64_t rowBytes = std::uint64_t{width} * 4;
        if (height > 0 && stride < rowBytes)
            return "has a picture row stride shorter than its width";
        // The last row needs only its pixels, not the whole stride.
        const std::uint64_t needed = height == 0 ? 0 : std::uint64_t{stride} * (height - 1) + rowBytes;
        if (needed > c_.Left())
            return "has picture pixels that run past the record";
        if (std::string over = state_.Charge(rowBytes * height); !over.empty())
            return over;
        if (width > 0 && height > 0) {
            QImage image(static_cast<int>(width), static_cast<int>(height), QImage::Format_ARGB32);
            if (image.isNull())
                return "has a picture that does not fit in memory";
            const std::span<const std::uint8_t> pixels = c_.Rest();
            for (std::uint32_t y = 0; y < height; ++y) {
                auto* line = reinterpret_cast<QRgb*>(image.scanLine(static_cast<int>(y)));
                const std::uint8_t* row = pixels.data() + std::uint64_t{stride} * y;
                for (std::uint32_t x = 0; x < width; ++x) {
                    const std::uint8_t* px = row + 4 * x;
                    line[x] = static_cast<QRgb>(px[0]) | static_cast<QRgb>(px[1]) << 8 |
                              static_cast<QRgb>(px[2]) << 16 | static_cast<QRgb>(px[3]) << 24;
                }
            }
            p.picture = std::move(image);
        }
        page_.records.emplace_back(std::move(p));
        return {};
    }

    std::string ReadPictureData()
    {
        std::uint32_t width = 0, height = 0, count = 0;
        std::uint16_t coding = 0;
        if (!c_.U32(width) || !c_.U32(height) || !c_.U16(coding) || !c_.U32(count))
            return Short();
        if (width > kMaxPictureSide || height > kMaxPictureSide)
            return "has a picture larger than 16384 pixels a side";
        if (coding != static_cast<std::uint16_t>(PictureCoding::Raw) &&
            coding != static_cast<std::uint16_t>(PictureCoding::Deflated))
            return "has an unknown picture coding " + std::to_string(coding);
        Cursor data(std::span<const std::uint8_t>{});
        if (!c_.Sub(count, data))
            return "has picture pixels that run past the record";
        const bool deflated = coding == static_cast<std::uint16_t>(PictureCoding::Deflated);
        const std::uint64_t plain = std::uint64_t{width} * height * 4;
        if (!deflated && count != plain)
            return "has " + std::to_string(count) + " bytes of pixels for a " + SizeText(width, height) + " picture";
        // A few bytes cannot claim a huge picture.
        if (deflated && plain > MostInflatedSize(count))
            return "has compressed pixels that do not decode to a " + SizeText(width, height) + " picture";
        state_.pictures.push_back({width, height, static_cast<PictureCoding>(coding), data.Rest(), std::nullopt});
        return {};
    }

    std::string ReadPictureUse()
    {
        page_record::Picture p;
        std::string error;
        if (!Rect(p.rect, error))
            return error;
        std::uint32_t number = 0;
        if (!c_.U32(number))
            return Short();
        if (number >= state_.pictures.size())
            return "refers to picture " + std::to_string(number) + ", which the page does not hold before it";
        StoredData& stored = state_.pictures[number];
        if (!stored.picture) {
            // Checked from the sizes before any memory is taken; decoded when drawn.
            if (std::string over = state_.Charge(std::uint64_t{stored.width} * stored.height * 4); !over.empty())
                return over;
            stored.picture =
                PagePicture::Stored(stored.width, stored.height, stored.coding, stored.data, state_.budget.memory);
        }
        p.picture = *stored.picture;
        page_.records.emplace_back(std::move(p));
        return {};
    }

    Cursor c_;
    Page& page_;
    PageState& state_;
};

std::string ReadHeader(Cursor& c, std::size_t size, PageHeader& h, std::uint16_t& headerSize, std::uint16_t& major)
{
    std::string magic;
    std::uint16_t minor = 0, flags = 0, dpiX = 0, dpiY = 0;
    std::uint32_t length = 0;
    if (!c.Bytes(4, magic) || magic != "KVPG")
        return "Not a page: the bytes do not start with KVPG";
    if (!c.U16(major) || !c.U16(minor) || !c.U16(headerSize) || !c.U16(flags) || !c.U32(length) ||
        !c.I32(h.widthTenths) || !c.I32(h.lengthTenths) || !c.U16(dpiX) || !c.U16(dpiY) || !c.I32(h.pixelWidth) ||
        !c.I32(h.pixelHeight))
        return "Page header is cut short";
    if (major < kPageOldestMajorVersion || major > kPageMajorVersion)
        return "Page format version " + std::to_string(major) + " is not supported";
    if (length != size)
        return "Page length " + std::to_string(length) + " does not match the " + std::to_string(size) + " bytes given";
    if (headerSize < kPageHeaderSize || headerSize > size)
        return "Page header size " + std::to_string(headerSize) + " is wrong";
    if (dpiX == 0 || dpiY == 0)
        return "Page resolution is zero";
    if (h.pixelWidth <= 0 || h.pixelHeight <= 0 || h.pixelWidth > kCoordinateLimit || h.pixelHeight > kCoordinateLimit)
        return "Page pixel size is out of range";
    if (!InRange(h.widthTenths) || !InRange(h.lengthTenths))
        return "Page size is out of range";
    h.dpiX = dpiX;
    h.dpiY = dpiY;
    return {};
}

}  // namespace

ReadPageResult ReadPage(std::span<const std::uint8_t> bytes, const PictureBudget& budget)
{
    ReadPageResult result;
    Page page;
    Cursor c(bytes);
    std::uint16_t headerSize = 0;
    std::uint16_t major = 0;
    result.error = ReadHeader(c, bytes.size(), page.header, headerSize, major);
    if (!result.error.empty())
        return result;
    PageState state{page, major, budget, {}};
    Cursor records(bytes.subspan(headerSize));
    while (records.Left() > 0) {
        const std::size_t offset = headerSize + records.Pos();
        std::uint16_t tag = 0;
        std::uint32_t length = 0;
        Cursor payload(std::span<const std::uint8_t>{});
        if (!records.U16(tag) || !records.U32(length) || !records.Sub(length, payload)) {
            result.error = "Record at byte " + std::to_string(offset) + " runs past the page";
            return result;
        }
        const std::string error = RecordReader(payload, state).Read(tag);
        if (!error.empty()) {
            result.error = "Record at byte " + std::to_string(offset) + " (tag " + std::to_string(tag) + ") " + error;
            return result;
        }
    }
    result.page = std::move(page);
    return result;
}

ReadPageResult ReadPage(const QByteArray& bytes, const PictureBudget& budget)
{
    return ReadPage(std::span<const std::uint8_t>(reinterpret_cast<const std::uint8_t*>(bytes.constData()),
                                                  static_cast<std::size_t>(bytes.size())),
                    budget);
}

}  // namespace report::output
