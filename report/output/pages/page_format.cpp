#include "report/output/pages/page_format.h"

#include "report/output/canvas/rounding.h"
#include "report/output/codec/deflate_memo.h"

#include <bit>
#include <concepts>
#include <cstring>
#include <limits>
#include <stdexcept>
#include <type_traits>

namespace report::output {
namespace {

// ---- writing -------------------------------------------------------------------------------

class Writer {
public:
    std::vector<std::uint8_t> bytes;

    void U16(std::uint32_t v) { Put(v, 2); }
    void U32(std::uint32_t v) { Put(v, 4); }
    void I32(int v) { Put(static_cast<std::uint32_t>(v), 4); }
    void Rect(const QRect& r)
    {
        const Edges e = EdgesOf(r);
        I32(e.left);
        I32(e.top);
        I32(e.right);
        I32(e.bottom);
    }
    void Bytes(std::string_view s)
    {
        const std::size_t at = bytes.size();
        bytes.resize(at + s.size());
        if (!s.empty())
            std::memcpy(bytes.data() + at, s.data(), s.size());
    }
    void Bytes(std::span<const std::uint8_t> b) { bytes.insert(bytes.end(), b.begin(), b.end()); }
    // Starts a record; EndRecord fills in its payload length.
    std::size_t BeginRecord(PageTag tag)
    {
        U16(static_cast<std::uint16_t>(tag));
        U32(0);
        return bytes.size();
    }
    void EndRecord(std::size_t payloadStart)
    {
        const std::size_t length = bytes.size() - payloadStart;
        if (length > std::numeric_limits<std::uint32_t>::max())
            throw std::length_error("page record too long");
        Patch(payloadStart - 4, static_cast<std::uint32_t>(length));
    }
    void Patch(std::size_t at, std::uint32_t v)
    {
        for (int i = 0; i < 4; ++i)
            bytes[at + static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(v >> (8 * i));
    }

private:
    void Put(std::uint32_t v, int n)
    {
        for (int i = 0; i < n; ++i)
            bytes.push_back(static_cast<std::uint8_t>(v >> (8 * i)));
    }
};

std::uint32_t Rgb(QRgb c) { return c & 0xFFFFFFu; }

std::uint16_t AlignBits(const TextAlign& a)
{
    return static_cast<std::uint16_t>(static_cast<unsigned>(a.horizontal) | (a.rightToLeft ? 0x100u : 0u));
}

void WritePayload(Writer& w, const page_record::SetPen& r)
{
    w.U32(Rgb(r.pen.color));
    w.U16(static_cast<std::uint16_t>(r.pen.style));
    w.I32(ClampCoordinate(r.pen.width));
}

void WritePayload(Writer& w, const page_record::SetBrush& r)
{
    w.U32(Rgb(r.brush.color));
    w.U16(static_cast<std::uint16_t>(r.brush.style));
}

void WritePayload(Writer& w, const page_record::SetFont& r)
{
    const FontSpec& f = r.font;
    w.I32(ClampCoordinate(f.points));
    w.I32(f.orientation);
    w.U32(Rgb(f.color));
    w.U16((f.bold ? 1u : 0u) | (f.italic ? 2u : 0u) | (f.underline ? 4u : 0u) | (f.strikeOut ? 8u : 0u));
    w.U16(static_cast<std::uint16_t>(f.charset));
    const std::string_view face = std::string_view(f.face).substr(0, std::numeric_limits<std::uint16_t>::max());
    w.U16(static_cast<std::uint16_t>(face.size()));
    w.Bytes(face);
}

void WritePayload(Writer& w, const page_record::Text& r)
{
    w.I32(ClampCoordinate(r.x));
    w.I32(ClampCoordinate(r.y));
    w.U16(AlignBits(r.align));
    w.U16(r.background.opaque ? 1 : 0);
    w.U32(Rgb(r.background.color));
    if (r.bytes.size() > std::numeric_limits<std::uint32_t>::max())
        throw std::length_error("page text too long");
    w.U32(static_cast<std::uint32_t>(r.bytes.size()));
    w.Bytes(r.bytes);
}

void WritePayload(Writer& w, const page_record::RoundRect& r)
{
    w.Rect(r.rect);
    w.I32(ClampCoordinate(r.cornerWidth));
    w.I32(ClampCoordinate(r.cornerHeight));
}

void WritePayload(Writer& w, const page_record::Line& r)
{
    w.I32(ClampCoordinate(r.x0));
    w.I32(ClampCoordinate(r.y0));
    w.I32(ClampCoordinate(r.x1));
    w.I32(ClampCoordinate(r.y1));
}

// The picture's rows of u32 ARGB, little-endian, without padding.
std::vector<std::uint8_t> PixelBytes(const QImage& argb)
{
    std::vector<std::uint8_t> bytes(static_cast<std::size_t>(argb.width()) * 4 *
                                    static_cast<std::size_t>(argb.height()));
    const int width = argb.width();
    const auto row = static_cast<std::size_t>(width) * 4;
    std::size_t at = 0;
    for (int y = 0; y < argb.height(); ++y, at += row) {
        const auto* line = reinterpret_cast<const QRgb*>(argb.constScanLine(y));
        if constexpr (std::endian::native == std::endian::little) {
            if (row != 0)
                std::memcpy(bytes.data() + at, line, row);
        } else {
            for (int x = 0; x < width; ++x) {
                for (int i = 0; i < 4; ++i)
                    bytes[at + static_cast<std::size_t>(x) * 4 + static_cast<std::size_t>(i)] =
                        static_cast<std::uint8_t>(line[x] >> (8 * i));
            }
        }
    }
    return bytes;
}

// A report's icons come back on every page; deflating them once per thread is enough (a
// run may record its pages in a thread of its own). Icons are small: larger pictures are
// deflated each time rather than held.
const std::vector<std::uint8_t>& DeflatedPixels(std::span<const std::uint8_t> pixels)
{
    thread_local DeflateMemo memo(32, 64 * 1024);
    return memo.Deflated(pixels);
}

// Stores a picture for the uses that follow: deflated when that is smaller.
void WritePictureData(Writer& w, const QImage& argb)
{
    const std::vector<std::uint8_t> pixels = PixelBytes(argb);
    static const std::vector<std::uint8_t> kNone;
    const std::vector<std::uint8_t>& deflated = pixels.empty() ? kNone : DeflatedPixels(pixels);
    const bool smaller = !pixels.empty() && deflated.size() < pixels.size();
    const std::vector<std::uint8_t>& data = smaller ? deflated : pixels;
    const std::size_t start = w.BeginRecord(PageTag::PictureData);
    w.U32(static_cast<std::uint32_t>(argb.width()));
    w.U32(static_cast<std::uint32_t>(argb.height()));
    w.U16(static_cast<std::uint16_t>(smaller ? PictureCoding::Deflated : PictureCoding::Raw));
    w.U32(static_cast<std::uint32_t>(data.size()));  // at most 16384 x 16384 x 4
    w.Bytes(data);
    w.EndRecord(start);
}

// A picture is stored where the page first draws it and used by number from then on.
void WritePicture(Writer& w, const page_record::Picture& r, PagePictures& pictures)
{
    const QImage image = r.picture.Image();
    std::optional<std::size_t> number = pictures.ByKey(image);
    if (!number) {
        const QImage argb = image.isNull() ? QImage() : image.convertToFormat(QImage::Format_ARGB32);
        if (argb.width() > kMaxPictureSide || argb.height() > kMaxPictureSide)
            throw std::length_error("page picture too large");
        bool added = false;
        number = pictures.Keep(argb, &added);
        pictures.Remember(image, *number);
        if (added)
            WritePictureData(w, argb);
    }
    const std::size_t start = w.BeginRecord(PageTag::PictureUse);
    w.Rect(r.rect);
    w.U32(static_cast<std::uint32_t>(*number));
    w.EndRecord(start);
}

void WritePayload(Writer&, const page_record::NoClip&) {}

// Records whose payload is their rectangle alone.
template <class R>
concept RectangleRecord = std::same_as<R, page_record::Fill> || std::same_as<R, page_record::Rectangle> ||
    std::same_as<R, page_record::Ellipse> || std::same_as<R, page_record::Clip>;

template <RectangleRecord R>
void WritePayload(Writer& w, const R& r)
{
    w.Rect(r.rect);
}

// The tag each record is written under.
constexpr PageTag TagOf(const page_record::SetPen&) { return PageTag::Pen; }
constexpr PageTag TagOf(const page_record::SetBrush&) { return PageTag::Brush; }
constexpr PageTag TagOf(const page_record::SetFont&) { return PageTag::Font; }
constexpr PageTag TagOf(const page_record::Text&) { return PageTag::Text; }
constexpr PageTag TagOf(const page_record::Fill&) { return PageTag::Fill; }
constexpr PageTag TagOf(const page_record::Rectangle&) { return PageTag::Rectangle; }
constexpr PageTag TagOf(const page_record::RoundRect&) { return PageTag::RoundRect; }
constexpr PageTag TagOf(const page_record::Ellipse&) { return PageTag::Ellipse; }
constexpr PageTag TagOf(const page_record::Line&) { return PageTag::Line; }
constexpr PageTag TagOf(const page_record::Clip&) { return PageTag::Clip; }
constexpr PageTag TagOf(const page_record::NoClip&) { return PageTag::NoClip; }

void WriteRecord(Writer& w, const PageRecord& record, PagePictures& pictures)
{
    std::visit(
        [&](const auto& r) {
            if constexpr (std::same_as<std::decay_t<decltype(r)>, page_record::Picture>) {
                WritePicture(w, r, pictures);
            } else {
                const std::size_t start = w.BeginRecord(TagOf(r));
                WritePayload(w, r);
                w.EndRecord(start);
            }
        },
        record);
}

}  // namespace

PageHeader PageHeaderFor(int widthTenths, int lengthTenths, int dpi)
{
    PageHeader h;
    h.widthTenths = widthTenths;
    h.lengthTenths = lengthTenths;
    h.dpiX = dpi;
    h.dpiY = dpi;
    h.pixelWidth = RoundHalfEvenInt(static_cast<long double>(widthTenths) * dpi / 254.0L);
    h.pixelHeight = RoundHalfEvenInt(static_cast<long double>(lengthTenths) * dpi / 254.0L);
    return h;
}

std::vector<std::uint8_t> EncodePage(const Page& page)
{
    Writer w;
    w.Bytes("KVPG");
    w.U16(kPageMajorVersion);
    w.U16(kPageMinorVersion);
    w.U16(kPageHeaderSize);
    w.U16(0);
    w.U32(0);  // page length, patched below
    w.I32(page.header.widthTenths);
    w.I32(page.header.lengthTenths);
    w.U16(static_cast<std::uint16_t>(page.header.dpiX));
    w.U16(static_cast<std::uint16_t>(page.header.dpiY));
    w.I32(page.header.pixelWidth);
    w.I32(page.header.pixelHeight);
    PagePictures pictures;
    for (const PageRecord& record : page.records)
        WriteRecord(w, record, pictures);
    if (w.bytes.size() > std::numeric_limits<std::uint32_t>::max())
        throw std::length_error("page too long");
    w.Patch(12, static_cast<std::uint32_t>(w.bytes.size()));
    return std::move(w.bytes);
}

void ForEachText(const Page& page, const std::function<bool(const page_record::Text&)>& visit)
{
    for (const PageRecord& record : page.records) {
        if (const auto* text = std::get_if<page_record::Text>(&record)) {
            if (!visit(*text))
                return;
        }
    }
}

}  // namespace report::output
