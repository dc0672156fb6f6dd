// Report pages and XML documents that every reader accepts but that made drawing them cost
// without bound: giant turned texts around the page, thousands of fonts on one page, images
// decoded again at every paint. Built here for the tests and the benchmark.
#pragma once

#include "report/output/pages/page_format.h"

#include <QImage>
#include <QString>

#include <cstdint>
#include <filesystem>
#include <span>
#include <vector>

namespace testsupport {

// They are all A4 pages at 96 dpi: 794 x 1123 pixels.
inline constexpr int kPageWidth = 794;
inline constexpr int kPageHeight = 1123;

// `count` one-letter texts in a font beyond the largest size, turned 45 degrees, placed around
// the page up to 40,000 pixels away, none of their cells on the page (their ink may reach it).
[[nodiscard]] report::output::Page TurnedGiantTextsPage(int count = 1000);
// The same texts on the page: each covers it.
[[nodiscard]] report::output::Page TurnedGiantTextsOnPage(int count);
// `count` one-letter texts, each in a size of its own (1 point upwards): far below the page, or
// spread over it.
[[nodiscard]] report::output::Page FontSizesPage(int count = 5000, bool onPage = false);
// `count` texts of 8 points, each in a face name of its own that no system has.
[[nodiscard]] report::output::Page FaceNamesPage(int count = 5000, bool onPage = false);

// For comparison: a page like the activity list's, 130 lines of text in a frame.
[[nodiscard]] report::output::Page OrdinaryPage();

// Writes `page` as a report file of one page; false when the file cannot be written.
[[nodiscard]] bool WriteReportFile(const report::output::Page& page, const std::filesystem::path& file);
// The same from the page's bytes.
[[nodiscard]] bool WriteReportFile(std::span<const std::uint8_t> page, const std::filesystem::path& file);

// The bytes of an A4 page (second version) that stores `count` pictures of `side` x `side`
// pixels, each zeros as one zlib stream (about a thousandth of their size), and draws each
// once over the page: a few bytes claiming a huge picture that every reader accepts.
[[nodiscard]] std::vector<std::uint8_t> PictureBombPage(int side = 16384, int count = 1);

// An XML document of one A4 page with `count` text items in a font beyond the largest size,
// turned 45 degrees, around the page up to 10 m away, none of their cells on it.
[[nodiscard]] QString TurnedGiantTextsXml(int count = 300);
// An XML document of one A4 page with `count` image items of `picture` (as BMP, LZW coded),
// each with padding of its own after the end code, so no two share their data.
[[nodiscard]] QString ImagesXml(int count, const QImage& picture);
// An XML document of one A4 page with `count` PNG pictures of `side` x `side` pixels with an
// alpha channel, each one colour of its own, as hexadecimal text.
[[nodiscard]] QString PngImagesXml(int count, int side);
// A picture whose BMP data is about `bytes` long: one colour, `width` pixels across.
[[nodiscard]] QImage PlainPicture(std::size_t bytes, int width = 1024);

}  // namespace testsupport
