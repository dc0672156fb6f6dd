// An XML report document as the XML viewer shows it: its header (page size, paper, orientation),
// its pages of items, each page drawn at a zoom on a canvas, the clickable items of the page on
// show and the search over its text items.
#pragma once

#include "report/output/canvas/canvas.h"
#include "report/output/canvas/measure.h"
#include "report/output/xml/rpx_reader.h"

#include <QImage>
#include <QRect>
#include <QString>

#include <cstddef>
#include <filesystem>
#include <list>
#include <memory>
#include <optional>
#include <unordered_map>
#include <vector>

namespace report::output {

// One clickable item of the page on show, in pixels of its picture.
struct TPageItem {
    QRect rect;
    int number = 0;  // "DBR"
    QString id;      // "CID"
    QString text;
    bool band = false;  // a band, not a control
};

// A text item of the document, for the search.
struct TRpXIndexEntry {
    QString text;
    int page = 0;
    double x = 0;  // millimetres
    double y = 0;
};

// Pages larger than this (millimetres) a side are refused.
inline constexpr double kMaxRpxPageMm = 5000;
// Page pictures larger than this are not made.
inline constexpr int kMaxRpxPictureSide = 16384;
inline constexpr qint64 kMaxRpxPicturePixels = 32LL * 1024 * 1024;
// Image data, and an image's decoded pixels (4 bytes each), larger than this are not shown.
inline constexpr std::size_t kMaxRpxImageBytes = 64u * 1024 * 1024;
// A page shows images of this many bytes of decoded pixels at most, in drawing order; the later
// ones say they are not available. Half of what a document keeps: the page on show and one
// more (a thumbnail) fit together.
inline constexpr std::size_t kMaxRpxPageImageBytes = 128u * 1024 * 1024;
// A document keeps its decoded pictures up to this many bytes of pixels.
inline constexpr std::size_t kMaxRpxKeptImageBytes = 256u * 1024 * 1024;

// The pictures of a document's image items, each decoded once, straight from the item's data
// into its image, and kept while the kept ones fit kMaxRpxKeptImageBytes (the one drawn
// longest ago goes first, never one drawn on the page on show); items of the same data share
// one picture.
class TRpXImageCache {
public:
    explicit TRpXImageCache(std::size_t pageBytes = kMaxRpxPageImageBytes,
                            std::size_t keptBytes = kMaxRpxKeptImageBytes);
    TRpXImageCache(const TRpXImageCache&) = delete;
    TRpXImageCache& operator=(const TRpXImageCache&) = delete;
    ~TRpXImageCache();

    // The picture of image item `item` (its text, LZW coded when `lzw`); a null image when it
    // cannot be decoded or when its pixels would take the images drawn on the page so far
    // (`pageBytes`, bytes of their decoded pixels, which it is added to) past the page's bytes.
    // The pixels are counted from the image's header, before it is decoded. Drawn on the page
    // on show (`shown`), it stays kept until another page is shown.
    [[nodiscard]] QImage Picture(const TRpDocnode& item, bool lzw, std::size_t& pageBytes, bool shown = false);
    // Another page is on show: the pictures of the one before may go.
    void NewShownPage() { ++shownMark_; }
    // Pictures decoded so far, and the bytes of those kept.
    [[nodiscard]] long long Decodes() const { return decodes_; }
    [[nodiscard]] std::size_t KeptBytes() const { return keptBytes_; }

private:
    struct Key {
        QString text;  // shares the item's text
        bool lzw = false;
        bool operator==(const Key&) const = default;
    };
    struct KeyHash {
        std::size_t operator()(const Key& key) const;
    };
    struct Slot {
        std::optional<std::size_t> pixelBytes;  // decoded; nullopt until known
        bool broken = false;                    // the data hold no picture that can be shown
        bool decoded = false;
        QImage picture;
        std::list<Slot*>::iterator kept;
        unsigned long long shownMark = 0;  // drawn on the page on show while equal to shownMark_
    };
    [[nodiscard]] Slot& SlotOf(const TRpDocnode& item, bool lzw);
    void Keep(Slot& slot);

    std::unordered_map<const TRpDocnode*, Slot*> byItem_;
    std::unordered_map<Key, std::unique_ptr<Slot>, KeyHash> byData_;
    std::size_t pageLimit_;
    std::size_t keptLimit_;
    std::list<Slot*> kept_;  // most recently drawn first
    std::size_t keptBytes_ = 0;
    long long decodes_ = 0;
    unsigned long long shownMark_ = 1;
};

class TRpXDocument {
public:
    // The document read from `text`; nullptr with `error` (English) when it has no "<QXDoc"
    // root, or its header lacks a page size ("page width missing", "page height missing") or
    // has one that is no positive number up to kMaxRpxPageMm.
    [[nodiscard]] static std::unique_ptr<TRpXDocument> FromText(const QString& text, QString& error);
    // The same from a file, in the encoding it declares.
    [[nodiscard]] static std::unique_ptr<TRpXDocument> FromFile(const std::filesystem::path& fileName, QString& error);

    [[nodiscard]] double PageWidth() const { return pageWidth_; }    // millimetres
    [[nodiscard]] double PageHeight() const { return pageHeight_; }  // millimetres
    [[nodiscard]] const QString& PaperName() const { return paperName_; }
    [[nodiscard]] int Orientation() const { return orientation_; }  // 0 portrait, 1 landscape
    [[nodiscard]] int PageCount() const { return static_cast<int>(pages_.size()); }
    [[nodiscard]] const TRpDocnode& Root() const { return *root_; }

    // The picture size of a page at `zoom` percent: round(round(mm x 3.7795) x zoom / 100)
    // each way, halves to even.
    [[nodiscard]] QSize PictureSize(double zoom) const;
    // Draws page `n` at `zoom` on `canvas` (at 96 pixels per inch): layer 2, then 1, then 0.
    // Text items containing `search` (with `matchCase`, else in any case) get a red frame;
    // an empty search frames nothing. Images are drawn only with `images`, else a grey box,
    // from the document's pictures (Images); one that begins beyond the page is not drawn.
    // Returns the page's clickable items.
    std::vector<TPageItem> DrawPage(int n, double zoom, Canvas& canvas, const QString& search = QString(),
                                    bool matchCase = false, bool images = true) const;
    // The page as a white picture; a null image when the picture would exceed the caps.
    [[nodiscard]] QImage PagePicture(int n, double zoom, std::vector<TPageItem>* items = nullptr,
                                     const QString& search = QString(), bool matchCase = false,
                                     bool images = true) const;

    // Page `n` is the one on show from now on: the pictures drawn for it stay decoded while it is.
    void SetShownPage(int n);

    // Every text item, page by page.
    [[nodiscard]] std::vector<TRpXIndexEntry> SearchIndex() const;

    // The document's fonts (96 dpi) and pictures, kept for all its paints: PagePicture draws
    // with them, so each font is made and each picture decoded once.
    [[nodiscard]] MeasureDevice& Fonts() const { return *fonts_; }
    [[nodiscard]] TRpXImageCache& Images() const { return *images_; }

private:
    TRpXDocument() = default;
    [[nodiscard]] bool ReadHeader(QString& error);
    void CollectPages();

    std::unique_ptr<TRpDocnode> root_;
    double pageWidth_ = 0;
    double pageHeight_ = 0;
    QString paperName_;
    int orientation_ = 0;
    std::vector<const TRpDocnode*> pages_;  // in document order
    int shownPage_ = 0;
    std::unique_ptr<MeasureDevice> fonts_ = std::make_unique<MeasureDevice>(kMeasureDpi);
    std::unique_ptr<TRpXImageCache> images_ = std::make_unique<TRpXImageCache>();
};

// A colour given as hexadecimal red, green and blue in the last six characters; white when
// fewer than six or not hexadecimal.
[[nodiscard]] QRgb RpxColor(const QString& value);

// The number of bytes an LZW code stream decodes to; nullopt when the stream is broken or the
// count passes `limit`. Nothing is decoded.
[[nodiscard]] std::optional<std::size_t> LzwDecodedSize(std::string_view code, std::size_t limit);

// An image item's picture from its text (hexadecimal byte pairs, LZW coded when `lzw`), decoded
// as its data are read; a null image when the data cannot be decoded, they or the pixels pass
// kMaxRpxImageBytes, or they hold no picture.
[[nodiscard]] QImage RpxImage(const QString& hexText, bool lzw);

}  // namespace report::output
