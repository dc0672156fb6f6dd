// An XML report document as the XML viewer shows it: its header (page size, paper, orientation),
// its pages of items, each page drawn at a zoom on a canvas, the clickable items of the page on
// show and the search over its text items.
#pragma once

#include "report/output/canvas/canvas.h"
#include "report/output/xml/rpx_reader.h"

#include <QImage>
#include <QRect>
#include <QString>

#include <filesystem>
#include <memory>
#include <optional>
#include <vector>

namespace report::output {

// One clickable item of the page on show, in pixels of its picture.
struct TPageItem {
    QRect rect;
    int number = 0;      // "DBR"
    QString id;          // "CID"
    QString text;
    bool band = false;   // a band, not a control
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
// Decoded image data larger than this is not shown.
inline constexpr std::size_t kMaxRpxImageBytes = 64u * 1024 * 1024;

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
    // an empty search frames nothing. Images are drawn only with `images`, else a grey box.
    // Returns the page's clickable items.
    std::vector<TPageItem> DrawPage(int n, double zoom, Canvas& canvas, const QString& search = QString(),
                                    bool matchCase = false, bool images = true) const;
    // The page as a white picture; a null image when the picture would exceed the caps.
    [[nodiscard]] QImage PagePicture(int n, double zoom, std::vector<TPageItem>* items = nullptr,
                                     const QString& search = QString(), bool matchCase = false,
                                     bool images = true) const;

    // Every text item, page by page.
    [[nodiscard]] std::vector<TRpXIndexEntry> SearchIndex() const;

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
};

// A colour given as hexadecimal red, green and blue in the last six characters; white when
// fewer than six or not hexadecimal.
[[nodiscard]] QRgb RpxColor(const QString& value);

// The number of bytes an LZW code stream decodes to; nullopt when the stream is broken or the
// count passes `limit`. Nothing is decoded.
[[nodiscard]] std::optional<std::size_t> LzwDecodedSize(std::string_view code, std::size_t limit);

// An image item's picture from its text (hexadecimal byte pairs, LZW coded when `lzw`); a null
// image when the data cannot be decoded, passes kMaxRpxImageBytes or is no picture.
[[nodiscard]] QImage RpxImage(const QString& hexText, bool lzw);

}  // namespace report::output
