// Recorded report pages: a canvas that records, the page format it writes (ours, little-endian),
// a checked reader, and replay of a page onto any canvas.
//
// Header: "KVPG", u16 major (2), u16 minor (0), u16 header size, u16 flags, u32 page length in
// bytes, i32 width and length in 0.1 mm, u16 dpi x and y, i32 pixel width and height.
// Then records: u16 tag, u32 payload length, payload (PageTag lists them). Readers skip
// unknown tags and payload bytes beyond the fields they know. Version 2 keeps each distinct
// picture of a page once (PictureData) and draws it by number (PictureUse); pages of version 1,
// which store every picture where it is drawn, are read as before.
#pragma once

#include "report/output/canvas/canvas.h"
#include "report/output/canvas/measure.h"
#include "report/output/pages/page_picture.h"
#include "report/output/pages/page_pictures.h"

#include <QByteArray>
#include <QImage>
#include <QRect>

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace report::output {

inline constexpr std::uint16_t kPageMajorVersion = 2;
inline constexpr std::uint16_t kPageOldestMajorVersion = 1;  // the oldest the reader still reads
inline constexpr std::uint16_t kPageMinorVersion = 0;
inline constexpr std::uint16_t kPageHeaderSize = 36;
inline constexpr int kMaxPictureSide = 16384;

enum class PageTag : std::uint16_t {
    Pen = 1,    // u32 colour 0xRRGGBB, u16 style, i32 width
    Brush = 2,  // u32 colour, u16 style
    Font = 3,   // i32 points, i32 orientation, u32 colour, u16 style bits (1 bold, 2 italic,
                // 4 underline, 8 strike-out), u16 charset, u16 face length, face bytes
    Text = 4,   // i32 x, i32 y, u16 alignment (bits 0-1: 0 left, 1 right, 2 centre; bit 8
                // right-to-left), u16 background (0 transparent, 1 opaque), u32 background
                // colour, u32 count, bytes
    Fill = 5,   // i32 left, top, right, bottom (as every rectangle below)
    Rectangle = 6,
    RoundRect = 7,  // rectangle, i32 corner width, i32 corner height
    Ellipse = 8,
    Line = 9,      // i32 x0, y0, x1, y1
    Picture = 10,  // rectangle, u32 width, u32 height, u32 stride, pixels (u32 ARGB each);
                   // written by version 1, still read
    Clip = 11,     // rectangle
    NoClip = 12,   // no payload
    // Version 2 (skipped as unknown in pages of version 1):
    PictureData = 13,  // a picture for the uses after it, numbered from 0 in page order: u32
                       // width, u32 height, u16 coding (PictureCoding), u32 count, count bytes
    PictureUse = 14,   // rectangle, u32 number of a picture stored before it
};

struct PageHeader {
    int widthTenths = 0;   // page width in 0.1 mm
    int lengthTenths = 0;  // page length in 0.1 mm
    int dpiX = kMeasureDpi;
    int dpiY = kMeasureDpi;
    int pixelWidth = 0;
    int pixelHeight = 0;
    bool operator==(const PageHeader&) const = default;
};
// A page of the given size recorded at `dpi`: pixel size = size x dpi / 254, rounded half to even.
[[nodiscard]] PageHeader PageHeaderFor(int widthTenths, int lengthTenths, int dpi = kMeasureDpi);

namespace page_record {
struct SetPen {
    Pen pen;
    bool operator==(const SetPen&) const = default;
};
struct SetBrush {
    Brush brush;
    bool operator==(const SetBrush&) const = default;
};
struct SetFont {
    FontSpec font;
    bool operator==(const SetFont&) const = default;
};
struct Text {
    int x = 0;
    int y = 0;
    TextAlign align;
    Background background;
    std::string bytes;  // code page 1250
    bool operator==(const Text&) const = default;
};
struct Fill {
    QRect rect;
    bool operator==(const Fill&) const = default;
};
struct Rectangle {
    QRect rect;
    bool operator==(const Rectangle&) const = default;
};
struct RoundRect {
    QRect rect;
    int cornerWidth = 0;
    int cornerHeight = 0;
    bool operator==(const RoundRect&) const = default;
};
struct Ellipse {
    QRect rect;
    bool operator==(const Ellipse&) const = default;
};
struct Line {
    int x0 = 0, y0 = 0, x1 = 0, y1 = 0;
    bool operator==(const Line&) const = default;
};
struct Picture {
    QRect rect;
    PagePicture picture;  // Format_ARGB32; null for a picture of no pixels
    bool operator==(const Picture&) const = default;
};
struct Clip {
    QRect rect;
    bool operator==(const Clip&) const = default;
};
struct NoClip {
    bool operator==(const NoClip&) const = default;
};
}  // namespace page_record

using PageRecord = std::variant<page_record::SetPen, page_record::SetBrush, page_record::SetFont, page_record::Text,
                                page_record::Fill, page_record::Rectangle, page_record::RoundRect, page_record::Ellipse,
                                page_record::Line, page_record::Picture, page_record::Clip, page_record::NoClip>;

struct Page {
    PageHeader header;
    std::vector<PageRecord> records;
    // Pages read: the decoded bytes of the distinct stored pictures its records draw.
    std::uint64_t pictureBytes = 0;
};

// The page's bytes. Throws std::length_error for a page of 4 GiB or more.
[[nodiscard]] std::vector<std::uint8_t> EncodePage(const Page& page);

struct ReadPageResult {
    std::optional<Page> page;
    std::string error;  // English, says what is wrong and where; empty when `page` is set
};
// What the pictures of a page read may take: `pageBytes` decoded for the distinct pictures its
// records draw, and `memory` (none: no bound) shared with the other pages of its document.
struct PictureBudget {
    std::uint64_t pageBytes = kMaxPagePictureBytes;
    std::shared_ptr<PictureMemory> memory;
};
// Checks and reads a page; refuses a wrong magic or major version, lengths that disagree with
// the bytes, a record past the page or shorter than its fields, a count or picture past its
// record, a picture over kMaxPictureSide a side, raw pixels that do not give the picture's size
// or compressed ones too few to, a use of a picture not stored before it, pictures drawn that
// would take more than the budget's page bytes decoded (from their sizes, before any is
// decoded), coordinates beyond kCoordinateLimit. A stored picture is decoded when it is first
// drawn (see PagePicture): one that no record draws costs nothing, and one whose compressed
// pixels turn out not to give its size is drawn as nothing. The uses of one stored picture
// share it.
[[nodiscard]] ReadPageResult ReadPage(std::span<const std::uint8_t> bytes, const PictureBudget& budget = {});
[[nodiscard]] ReadPageResult ReadPage(const QByteArray& bytes, const PictureBudget& budget = {});

// Draws the page stretched into `target` on `canvas`, cut to `target`. The canvas's settings are
// put back afterwards and its clip removed.
void ReplayPage(const Page& page, Canvas& canvas, const QRect& target);

// Calls `visit` for each text record in page order until it returns false.
void ForEachText(const Page& page, const std::function<bool(const page_record::Text&)>& visit);

// A canvas that records what is drawn on it as a page. Pen, brush and font are recorded when a
// drawing first uses them after a change. A picture drawn again shares the first drawing's
// QImage, so the page stores it once. Text is measured as the page's resolution gives it.
class PageRecorder final : public Canvas {
public:
    explicit PageRecorder(const PageHeader& header);

    [[nodiscard]] const Page& GetPage() const { return page_; }
    [[nodiscard]] std::vector<std::uint8_t> Bytes() const { return EncodePage(page_); }

    void FillRect(const QRect& rect) override;
    void Rectangle(const QRect& rect) override;
    void RoundRect(const QRect& rect, int cornerWidth, int cornerHeight) override;
    void Ellipse(const QRect& rect) override;
    void Line(int x0, int y0, int x1, int y1) override;
    void TextOut(int x, int y, std::string_view text) override;
    void DrawPicture(const QRect& rect, const QImage& picture) override;
    void SetClipRect(const QRect& rect) override;
    void RemoveClip() override;
    [[nodiscard]] int TextWidth(std::string_view text) override;
    [[nodiscard]] int TextHeight(std::string_view text) override;
    [[nodiscard]] int Dpi() const override { return page_.header.dpiY; }

private:
    void UsePen();
    void UseBrush();
    void UseFont();

    Page page_;
    MeasureDevice measure_;
    std::optional<Pen> recordedPen_;
    std::optional<Brush> recordedBrush_;
    std::optional<FontSpec> recordedFont_;
    PagePictures pictures_;
};

}  // namespace report::output
